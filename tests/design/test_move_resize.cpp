// Moving and resizing with the mouse and the keyboard: what lands in the bounds,
// what the host is told, and what the surface shows during and after a drag.

#include "DesignerFixture.h"

namespace {

TEST_F(DesignerTest, DraggingMovesTheSelectionOnceAndADragBackChangesNothing)
{
    auto *a = Add(QStringLiteral("A"), QRect(100, 100, 80, 30));
    auto *b = Add(QStringLiteral("B"), QRect(100, 200, 80, 30));
    Click(Centre(a));
    Click(Centre(b), Qt::ShiftModifier);
    const QImage selected = Shot();

    // Away and back again: no bounds change, no report, nothing left on the page.
    QTest::mousePress(Engine(), Qt::LeftButton, {}, Centre(a));
    Move(Centre(a) + QPoint(40, 25));
    const QImage dragging = Shot();
    EXPECT_NE(dragging, selected);
    // The outline of the dragged place, in the drag colour, while the control stays.
    EXPECT_EQ(dragging.pixelColor(OnEngine(a, QPoint(140, 125)) + QPoint(0, 0)), Qt::black);
    EXPECT_EQ(a->geometry(), QRect(100, 100, 80, 30));
    Move(Centre(a));
    QTest::mouseRelease(Engine(), Qt::LeftButton, {}, Centre(a));
    EXPECT_EQ(a->geometry(), QRect(100, 100, 80, 30));
    EXPECT_TRUE(Moved.isEmpty());
    EXPECT_EQ(Shot(), selected);

    Drag(Centre(a), Centre(a) + QPoint(30, 20));
    EXPECT_EQ(a->geometry(), QRect(130, 120, 80, 30));
    EXPECT_EQ(b->geometry(), QRect(130, 220, 80, 30));
    ASSERT_EQ(Moved.size(), 1);
    EXPECT_EQ(Moved[0].Ctrls, QList<QWidget *>({a, b}));
    EXPECT_EQ(Moved[0].Key, 0);
    EXPECT_EQ(Moved[0].Grabber, dgNone);

    // The right button selects but never moves.
    Drag(Centre(a), Centre(a) + QPoint(30, 20), {}, Qt::RightButton);
    EXPECT_EQ(a->geometry(), QRect(130, 120, 80, 30));
    EXPECT_EQ(Moved.size(), 1);
}

TEST_F(DesignerTest, AResizePastTheOppositeEdgeGivesANormalRectangleAndTellsTheFlip)
{
    auto *a = Add(QStringLiteral("A"), QRect(200, 200, 60, 30));
    Click(Centre(a));
    const int ofs = designer->GrabbersOfs();
    const QPoint right = Engine()->GrabberRect(dgRightCenter, a, ofs).center();
    QTest::mouseMove(Engine(), right);
    EXPECT_EQ(Engine()->Grabber(), dgRightCenter);
    EXPECT_EQ(Engine()->cursor().shape(), Qt::SizeHorCursor);

    Drag(right, right - QPoint(100, 0));
    EXPECT_EQ(a->geometry(), QRect(160, 200, 40, 30));
    ASSERT_EQ(Moved.size(), 1);
    EXPECT_EQ(Moved[0].Grabber, dgRightCenter);
    EXPECT_TRUE(Moved[0].Horz);
    EXPECT_FALSE(Moved[0].Vert);

    // A corner past both edges.
    const QPoint corner = Engine()->GrabberRect(dgBottomRight, a, ofs).center();
    QTest::mouseMove(Engine(), corner);
    EXPECT_EQ(Engine()->cursor().shape(), Qt::SizeFDiagCursor);
    Drag(corner, corner - QPoint(50, 50));
    EXPECT_EQ(a->geometry(), QRect(150, 180, 10, 20));
    ASSERT_EQ(Moved.size(), 2);
    EXPECT_TRUE(Moved[1].Horz);
    EXPECT_TRUE(Moved[1].Vert);

    // A press elsewhere without a hover first is no grab of the last grabber.
    auto *other = Add(QStringLiteral("Other"), QRect(500, 500, 60, 30));
    Drag(Centre(other), Centre(other) + QPoint(10, 0));
    EXPECT_EQ(Selected(), QList<QWidget *>({other}));
    EXPECT_EQ(a->geometry(), QRect(150, 180, 10, 20));
    EXPECT_EQ(other->geometry(), QRect(510, 500, 60, 30));
}

TEST_F(DesignerTest, KeysNudgeMoveByOneOrEightAndResizeNeverBelowOnePixel)
{
    auto *a = Add(QStringLiteral("A"), QRect(200, 200, 60, 30));
    auto *thin = Add(QStringLiteral("Thin"), QRect(400, 200, 1, 30));
    Click(Centre(a));

    QTest::keyClick(Engine(), Qt::Key_Right);
    QTest::keyClick(Engine(), Qt::Key_Up);
    EXPECT_EQ(a->geometry(), QRect(200, 200, 60, 30));
    EXPECT_TRUE(Moved.isEmpty());

    QTest::keyClick(Engine(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(a->geometry(), QRect(201, 200, 60, 30));
    QTest::keyClick(Engine(), Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(a->geometry(), QRect(201, 208, 60, 30));
    QTest::keyClick(Engine(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(a->geometry(), QRect(201, 208, 61, 30));
    QTest::keyClick(Engine(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(a->geometry(), QRect(201, 208, 61, 29));
    ASSERT_EQ(Moved.size(), 4);
    EXPECT_EQ(Moved[0].Key, int(Qt::Key_Right));
    EXPECT_EQ(Moved[0].Grabber, dgNone);
    EXPECT_EQ(Moved[2].Grabber, dgRightCenter);
    EXPECT_EQ(Moved[3].Grabber, dgBottomCenter);

    designer->OnSuperNudge = [](TCustomSurfaceDesigner *, int &step) {
        step = 5;
    };
    QTest::keyClick(Engine(), Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(a->geometry(), QRect(196, 208, 61, 29));

    // The host may hold a control in place.
    designer->OnCanMove = [a](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        allow = ctrl != a;
    };
    QTest::keyClick(Engine(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(a->geometry(), QRect(196, 208, 61, 29));
    designer->OnCanMove = nullptr;

    Click(Centre(thin));
    QTest::keyClick(Engine(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(thin->geometry(), QRect(400, 200, 1, 30));
}

} // namespace
