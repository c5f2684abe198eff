// What the host can change: where a dragged control goes, the colour of the
// grabbers, group resizing, a band taken as the rectangle of a new element,
// and double-clicks.

#include "DesignerFixture.h"

namespace {

TEST_F(DesignerTest, TheHostSnapsDraggedControlsAndColoursTheGrabbers)
{
    auto *a = Add(QStringLiteral("A"), QRect(100, 100, 80, 30));
    QList<bool> viaKeys;
    designer->OnCtrlMoving
        = [&](TCustomSurfaceDesigner *, QWidget *, QRect &bounds, bool viaKbd, int, int) {
              viaKeys.append(viaKbd);
              bounds.moveTopLeft(QPoint(bounds.x() / 10 * 10, bounds.y() / 10 * 10));
          };
    Drag(Centre(a), Centre(a) + QPoint(13, 27));
    EXPECT_EQ(a->geometry(), QRect(110, 120, 80, 30));
    QTest::keyClick(Engine(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(a->geometry(), QRect(110, 120, 80, 30)); // 111 snapped back
    ASSERT_FALSE(viaKeys.isEmpty());
    EXPECT_FALSE(viaKeys.front());
    EXPECT_TRUE(viaKeys.back());

    designer->OnGetPrepTypeColor
        = [](TCustomSurfaceDesigner *, TSurfaceDesignerEngineSurfacePrepType useage, QWidget *,
             TColor &color) {
              if (useage == ptActive)
                  color = clRed;
          };
    designer->SetRoundGrabbers(true);
    designer->SetGrabbersColor(clRed);
    const QRect corner = Engine()->GrabberRect(dgBottomRight, a, designer->GrabbersOfs());
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixelColor(corner.center()), QColor(Qt::red));
    // Round: the square's corner stays the paper's.
    EXPECT_NE(shot.pixelColor(corner.topLeft()), QColor(Qt::red));
}

TEST_F(DesignerTest, GroupGrabbersResizeEveryControlOnlyWhenAllowed)
{
    auto *a = Add(QStringLiteral("A"), QRect(100, 100, 80, 30));
    auto *b = Add(QStringLiteral("B"), QRect(100, 200, 80, 30));
    Click(Centre(a));
    Click(Centre(b), Qt::ShiftModifier);
    const QPoint corner = Engine()->GrabberRect(dgBottomRight, b, 0).center();

    // Without group resizing the corner is just a press on the control: a move.
    Drag(corner, corner + QPoint(20, 10));
    EXPECT_EQ(b->geometry(), QRect(120, 210, 80, 30));
    EXPECT_EQ(a->geometry(), QRect(120, 110, 80, 30));

    designer->SetGroupResize(true);
    const QPoint moved = Engine()->GrabberRect(dgBottomRight, b, 0).center();
    QTest::mouseMove(Engine(), moved);
    EXPECT_EQ(Engine()->cursor().shape(), Qt::SizeFDiagCursor);
    Drag(moved, moved + QPoint(20, 10));
    EXPECT_EQ(a->geometry(), QRect(120, 110, 100, 40));
    EXPECT_EQ(b->geometry(), QRect(120, 210, 100, 40));
    ASSERT_EQ(Moved.size(), 2);
    EXPECT_EQ(Moved[1].Grabber, dgBottomRight);
}

TEST_F(DesignerTest, AnInsertBandSelectsNothingAndADoubleClickIsReportedOnRelease)
{
    auto *a = Add(QStringLiteral("A"), QRect(100, 100, 80, 30));
    Engine()->InsertBanding = true;
    Drag(Centre(a) + QPoint(60, 40), Centre(a) - QPoint(20, 10));
    EXPECT_TRUE(Selected().isEmpty());
    bool horz, vert;
    EXPECT_EQ(Engine()->NormalizeRect(Engine()->BandRect(), horz, vert),
              QRect(Centre(a) - QPoint(20, 10), QSize(80, 50)));
    EXPECT_TRUE(horz && vert);
    Engine()->InsertBanding = false;

    int doubleClicks = 0;
    designer->OnDblClick = [&](TCustomSurfaceDesigner *) {
        ++doubleClicks;
    };
    // The window system follows the second press with a release; QTest does not.
    QTest::mouseDClick(Engine(), Qt::LeftButton, {}, Centre(a));
    EXPECT_EQ(doubleClicks, 0);
    QTest::mouseRelease(Engine(), Qt::LeftButton, {}, Centre(a));
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(Selected(), QList<QWidget *>({a}));
    designer->OnDblClick = nullptr;
}

} // namespace

namespace {

TEST_F(DesignerTest, HoveringAControlHintsItsNameAsTheHostWordsIt)
{
    auto *a = Add(QStringLiteral("Amount"), QRect(100, 100, 80, 30));
    designer->OnGetCtrlDesignerHint = [](TCustomSurfaceDesigner *, QWidget *, QString &hint) {
        hint = QStringLiteral("Text box - ") + hint;
    };
    QTest::mouseMove(Engine(), Centre(a));
    EXPECT_EQ(Engine()->ShownHint(), QStringLiteral("Text box - Amount"));
    QTest::mouseMove(Engine(), OnEngine(a, QPoint(600, 600)));
    EXPECT_TRUE(Engine()->ShownHint().isEmpty());
    // A press hides it.
    QTest::mouseMove(Engine(), Centre(a));
    QTest::mousePress(Engine(), Qt::LeftButton, {}, Centre(a));
    EXPECT_TRUE(Engine()->ShownHint().isEmpty());
    QTest::mouseRelease(Engine(), Qt::LeftButton, {}, Centre(a));
}

} // namespace
