// Selecting on the page with the mouse and keys: click, Shift-click within one
// container only, the rubber band in either direction, looking into containers,
// Escape to the parent, and what the grabbers show.

#include "DesignerFixture.h"

namespace {

TEST_F(DesignerTest, ShiftClickAddsAndTogglesWithinOneContainerOnly)
{
    auto *a = Add(QStringLiteral("A"), QRect(100, 100, 80, 30));
    auto *b = Add(QStringLiteral("B"), QRect(100, 200, 80, 30));
    QFrame *panel = AddContainer(QRect(400, 100, 300, 300));
    auto *inner = Add(QStringLiteral("Inner"), QRect(20, 20, 80, 30), panel);

    Click(Centre(a));
    EXPECT_EQ(Selected(), QList<QWidget *>({a}));
    Click(Centre(b), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), QList<QWidget *>({a, b}));
    EXPECT_EQ(Engine()->SelectedCtrl(), b);

    // Another container's control is not added to the group.
    Click(Centre(inner), Qt::ShiftModifier);
    EXPECT_FALSE(Selected().contains(inner));

    // Two selected, one toggled off: the other one is the single selection again,
    // with the grabbers of a single selection (the middle ones too).
    Click(Centre(a));
    Click(Centre(b), Qt::ShiftModifier);
    // The grabber's row above the control's edge, on the bare paper.
    const QPoint topCentre
        = Engine()->GrabberRect(dgTopCenter, a, designer->GrabbersOfs()).topLeft() + QPoint(2, 0);
    EXPECT_NE(Shot().pixelColor(topCentre), Qt::black);
    Click(Centre(b), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), QList<QWidget *>({a}));
    EXPECT_EQ(Engine()->SelectedCtrl(), a);
    EXPECT_EQ(Shot().pixelColor(topCentre), Qt::black);
}

TEST_F(DesignerTest, ABandDrawnEitherWaySelectsTheSameControlsAndLeavesNothingBehind)
{
    auto *a = Add(QStringLiteral("A"), QRect(100, 100, 80, 30));
    auto *b = Add(QStringLiteral("B"), QRect(220, 160, 80, 30));
    Add(QStringLiteral("C"), QRect(400, 400, 80, 30));
    const QImage before = Shot();

    const QPoint topLeft = OnEngine(a, QPoint(80, 80));
    const QPoint bottomRight = OnEngine(a, QPoint(330, 200));
    Drag(topLeft, bottomRight);
    const QList<QWidget *> forwards = Selected();
    EXPECT_EQ(forwards, QList<QWidget *>({a, b}));

    Click(OnEngine(a, QPoint(600, 600))); // empty paper: nothing selected
    EXPECT_TRUE(Selected().isEmpty());
    EXPECT_EQ(Shot(), before);

    // Backwards; half-way the band shows as a dotted outline that goes with the release.
    QTest::mousePress(Engine(), Qt::LeftButton, {}, bottomRight);
    Move((topLeft + bottomRight) / 2);
    Move(topLeft);
    const QImage banding = Shot();
    EXPECT_NE(banding, before);
    EXPECT_TRUE(Engine()->Banding());
    QTest::mouseRelease(Engine(), Qt::LeftButton, {}, topLeft);
    EXPECT_EQ(Selected(), forwards);

    Click(OnEngine(a, QPoint(600, 600)));
    EXPECT_EQ(Shot(), before);
}

TEST_F(DesignerTest, ClicksReachIntoContainersAndEscapeClimbsOut)
{
    QFrame *panel = AddContainer(QRect(300, 100, 300, 300));
    auto *inner = Add(QStringLiteral("Inner"), QRect(20, 20, 80, 30), panel);
    auto *outer = Add(QStringLiteral("Outer"), QRect(100, 100, 80, 30));

    EXPECT_EQ(Engine()->CtrlAt(Centre(inner), false), inner);
    EXPECT_EQ(Engine()->CtrlAt(Centre(inner), true), panel);
    EXPECT_EQ(Engine()->CtrlAt(Centre(panel) + QPoint(100, 100), false), panel);
    EXPECT_EQ(Engine()->CtrlAt(Centre(outer), true), nullptr);

    Click(Centre(inner));
    EXPECT_EQ(Selected(), QList<QWidget *>({inner}));
    QTest::keyClick(Engine(), Qt::Key_Escape);
    EXPECT_EQ(Selected(), QList<QWidget *>({panel}));
    QTest::keyClick(Engine(), Qt::Key_Escape);
    EXPECT_TRUE(Selected().isEmpty());

    // Ctrl+drag inside the container bands inside it.
    Drag(OnEngine(panel, QPoint(310, 110)), OnEngine(panel, QPoint(420, 180)), Qt::ControlModifier);
    EXPECT_EQ(Selected(), QList<QWidget *>({inner}));
}

TEST_F(DesignerTest, SelectAllTakesEverySelectableControlAndUnselectReportsEachOnce)
{
    auto *a = Add(QStringLiteral("A"), QRect(100, 100, 80, 30));
    auto *b = Add(QStringLiteral("B"), QRect(600, 900, 80, 30));
    QList<QWidget *> unselected;
    designer->OnCtrlUnSelect = [&](TCustomSurfaceDesigner *, QWidget *ctrl) {
        unselected.append(ctrl);
    };
    designer->SelectAll();
    EXPECT_EQ(Selected(), QList<QWidget *>({a, b}));
    designer->UnSelectAll();
    EXPECT_EQ(unselected, QList<QWidget *>({b, a}));

    // A selected control freed elsewhere simply leaves the selection.
    designer->SelectAll();
    delete b;
    EXPECT_EQ(Selected(), QList<QWidget *>({a}));
    EXPECT_EQ(unselected.size(), 2) << unselected.size();
    Shot();
    designer->OnCtrlUnSelect = nullptr;
}

} // namespace
