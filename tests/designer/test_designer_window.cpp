// The designer window on a document: design mode on open, the designer following
// the active page, the switch to filling mode and back, and the element commands.

#include "DesignerTestWindow.h"

#include "CObjectInspectorForm.h"

#include <QDialog>
#include <QDockWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

namespace {
const TClassRegistration<TDesignTestBox> registerDesignBox;

using DesignerWindow = DesignerWindowTest;

TEST_F(DesignerWindow, OpensInDesignModeWithTheDesignerOnTheActivePage)
{
    Open();
    EXPECT_TRUE(window->DesignMode());
    EXPECT_FALSE(GlobalFilling);
    EXPECT_TRUE(window->Action(QStringLiteral("ViewDesigner"))->isChecked());
    EXPECT_TRUE(window->SurfaceDesigner1()->Active());
    EXPECT_EQ(window->SurfaceDesigner1()->Surface(), GlobalPgScrollBox(0));

    Click(Box(QStringLiteral("Box12")));
    EXPECT_EQ(Selected(), QList<QWidget *> {Box(QStringLiteral("Box12"))});
    SaveShot(QStringLiteral("designer_selected.png"));

    ShowPage(1);
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(window->SurfaceDesigner1()->Surface(), GlobalPgScrollBox(1));
    EXPECT_TRUE(Selected().isEmpty());
    Click(Box(QStringLiteral("Box21")));
    EXPECT_EQ(Selected(), QList<QWidget *> {Box(QStringLiteral("Box21"))});
}

TEST_F(DesignerWindow, FillingModeTypesWithUndoAndDesignModeKeepsEveryElement)
{
    Open();
    const QByteArray before = Trees();
    TDesignTestBox *box = Box(QStringLiteral("Box11"));
    Click(box);

    QTest::keyClick(window.get(), Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->DesignMode());
    EXPECT_TRUE(GlobalFilling);
    EXPECT_FALSE(window->SurfaceDesigner1()->Active());
    EXPECT_TRUE(window->Action(QStringLiteral("ViewValidateForm"))->isEnabled());
    // The selection stays for design mode, but nothing arranges elements meanwhile.
    EXPECT_FALSE(Enabled("ElementToFront"));
    EXPECT_FALSE(Enabled("PageInsert"));

    // Typing as in the filler, with the element's own undo.
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    QCoreApplication::processEvents();
    ASSERT_EQ(TVisualPgCtrl::FocusedElement(), box);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abc"));
    EXPECT_EQ(box->Text(), QStringLiteral("abc"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("ab"));
    EXPECT_EQ(window->DesignerUndoRedo().Count(), 0);
    SaveShot(QStringLiteral("designer_filling.png"));

    window->Action(QStringLiteral("ViewDesigner"))->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->DesignMode());
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), nullptr);
    EXPECT_TRUE(window->SurfaceDesigner1()->Active());
    EXPECT_EQ(window->SurfaceDesigner1()->Surface(), GlobalPgScrollBox(0));
    // Every element is still there, nothing selected: the page's own properties are shown.
    EXPECT_TRUE(Selected().isEmpty());
    for (const char *name : {"Box11", "Box12", "Box13", "Box21", "Box22", "Box23"})
        EXPECT_NE(Box(QString::fromLatin1(name)), nullptr) << name;
    // Apart from the typed text the document is as it was.
    box->SetText(QString());
    EXPECT_EQ(Trees(), before);
}

TEST_F(DesignerWindow, PastesLandEightAndSixteenPixelsOffAndTakeFreeNames)
{
    Open();
    TDesignTestBox *box = Box(QStringLiteral("Box11"));
    const QPoint origin = box->pos();
    Click(box);
    // Nothing copied yet: nothing to paste.
    EXPECT_FALSE(Enabled("EditPaste"));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(Enabled("EditPaste"));
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Selected().size(), 1);
    auto *first = qobject_cast<TDesignTestBox *>(Selected().front());
    ASSERT_TRUE(first);
    EXPECT_NE(first, box);
    EXPECT_EQ(first->pos(), origin + QPoint(8, 8));
    EXPECT_NE(first->Name(), box->Name());
    EXPECT_EQ(first->Owner(), GlobalPagesPageControl);
    Key(Qt::Key_V, Qt::ControlModifier);
    auto *second = qobject_cast<TDesignTestBox *>(Selected().front());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->pos(), origin + QPoint(16, 16));
    EXPECT_NE(second->Name(), first->Name());
    EXPECT_NE(second->Name(), box->Name());

    // The first paste after Cut lands where the cut element was, under its own name.
    Click(box, {}, QPoint(3, 3));
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Box(QStringLiteral("Box11")), nullptr);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Selected().size(), 1);
    auto *back = qobject_cast<TDesignTestBox *>(Selected().front());
    EXPECT_EQ(back->pos(), origin);
    EXPECT_EQ(back->Name(), QStringLiteral("Box11"));
}

TEST_F(DesignerWindow, LockedElementsSelectButDoNotMoveAndShowRed)
{
    Open();
    TDesignTestBox *box = Box(QStringLiteral("Box11"));
    box->VisualGeneralProps()->SetGeneralLocked(true);
    const QRect bounds = box->geometry();
    Click(box);
    EXPECT_EQ(Selected(), QList<QWidget *> {box});
    Key(Qt::Key_Right, Qt::ControlModifier);
    Drag(box, QPoint(40, 40));
    EXPECT_EQ(box->geometry(), bounds);
    EXPECT_EQ(window->DesignerUndoRedo().Count(), 0);
    // The grabbers, outside the box (which draws its own red outline), are drawn red.
    const auto redAround = [&] {
        QCoreApplication::processEvents();
        const QImage shot = window->grab().toImage();
        const QRect inner(box->mapTo(window.get(), QPoint(0, 0)), box->size());
        const QRect around = inner.adjusted(-8, -8, 8, 8);
        int red = 0;
        for (int y = around.top(); y <= around.bottom(); ++y)
            for (int x = around.left(); x <= around.right(); ++x)
                if (!inner.contains(x, y) && shot.pixelColor(x, y) == QColor(Qt::red))
                    ++red;
        return red;
    };
    const int locked = redAround();
    box->VisualGeneralProps()->SetGeneralLocked(false);
    Engine()->update();
    EXPECT_GT(locked, 20);
    EXPECT_EQ(redAround(), 0);
}

TEST_F(DesignerWindow, ADeletedPageComesBackWithItsSurfaceAndElementsUnderTheDocument)
{
    Open();
    ShowPage(1);
    QPointer<QWidget> surface = GlobalPgScrollBox(1);
    TDesignTestBox *box = Box(QStringLiteral("Box21"));
    const QByteArray before = Trees();

    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("Delete page 2. Are you sure ?"));
    Trigger("PageDelete");
    EXPECT_EQ(window->PagesPageControl()->PageCount(), 2);

    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Delete page 2. Are you sure ?"));
    Trigger("PageDelete");
    EXPECT_EQ(window->PagesPageControl()->PageCount(), 1);
    EXPECT_EQ(GlobalProjectProps->PageCount(), 1);
    EXPECT_FALSE(Global_FormElementRef(QStringLiteral("Box21")));
    ASSERT_TRUE(surface);
    // The last page stays.
    EXPECT_FALSE(Enabled("PageDelete"));

    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(window->PagesPageControl()->PageCount(), 2);
    EXPECT_EQ(GlobalPgScrollBox(1), surface.data());
    EXPECT_EQ(Box(QStringLiteral("Box21")), box);
    EXPECT_EQ(box->Owner(), GlobalPagesPageControl);
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_TRUE(Enabled("PageDelete"));
    EXPECT_EQ(Trees(), before);

    // Deleted again by redo and never brought back: freed with the history.
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->PagesPageControl()->PageCount(), 1);
    window->CloseDocument();
    EXPECT_FALSE(surface);
}

TEST_F(DesignerWindow, AnInsertedPageTakesTheActivePagesSettingsAndUndoes)
{
    Open(1);
    GlobalPgProps(0)->PageFillProps()->SetFillColor(TColor {0x00FF00});
    GlobalPgScrollBox(0)->SetZoom(75);
    const QByteArray before = Trees();
    EXPECT_FALSE(Enabled("PageDelete"));
    Trigger("PageInsert");
    ASSERT_EQ(window->PagesPageControl()->PageCount(), 2);
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(GlobalPgProps(1)->PageFillProps()->FillColor(), TColor {0x00FF00});
    EXPECT_EQ(GlobalPgScrollBox(1)->Zoom(), 75);
    EXPECT_TRUE(GlobalPgScrollBox(1)->isVisible());
    EXPECT_EQ(window->SurfaceDesigner1()->Surface(), GlobalPgScrollBox(1));
    EXPECT_TRUE(Enabled("PageDelete"));
    EXPECT_EQ(window->PagesPageControl()->tabText(1), QStringLiteral("2"));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->PagesPageControl()->PageCount(), 1);
    EXPECT_EQ(Trees(), before);
}

TEST_F(DesignerWindow, DraggingATabReordersThePagesAndRecordsFollow)
{
    Open();
    TProjectPropsPageProps *first = GlobalPgProps(0);
    TDesignTestBox *box = Box(QStringLiteral("Box11"));
    const QRect was = box->geometry();
    Click(box);
    Key(Qt::Key_Right, Qt::ControlModifier);
    ASSERT_NE(box->geometry(), was);

    // The first tab dragged past the second.
    QTabBar *tabs = window->PagesPageControl()->tabBar();
    const QPoint from = tabs->tabRect(0).center();
    const QPoint to = tabs->tabRect(1).center() + QPoint(tabs->tabRect(1).width() / 2, 0);
    QTest::mousePress(tabs, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 8; ++i) {
        const QPoint at = from + (to - from) * i / 8;
        QMouseEvent move(QEvent::MouseMove, at, tabs->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         {});
        QApplication::sendEvent(tabs, &move);
    }
    QTest::mouseRelease(tabs, Qt::LeftButton, {}, to);
    QTest::qWait(400); // the tab slides into place
    ASSERT_EQ(GlobalPgProps(1), first);
    EXPECT_EQ(box->ParentPage(), GlobalPgScrollBox(1));
    EXPECT_TRUE(GlobalProjectChanged);

    // The move is undone on the page the box now stands on.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(box->geometry(), was);
}

TEST_F(DesignerWindow, ADoubleClickDialogEditIsOneUndoableStepOnThatElementOnly)
{
    Open();
    TDesignTestBox *box = Box(QStringLiteral("Box11"));
    TDesignTestBox *other = Box(QStringLiteral("Box12"));
    const QString before = box->Text();
    Click(box);
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        if (auto *line = dialog.findChild<QLineEdit *>())
            line->setText(QStringLiteral("Hello"));
        else if (auto *memo = dialog.findChild<QPlainTextEdit *>())
            memo->setPlainText(QStringLiteral("Hello"));
        return int(QDialog::Accepted);
    });
    const QPoint at = OnEngine(box, box->rect().center());
    // The window system follows the second press with a release; QTest does not.
    QTest::mouseDClick(Engine(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(Engine(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    EXPECT_EQ(box->Text(), QStringLiteral("Hello"));
    EXPECT_EQ(other->Text(), before);
    ASSERT_EQ(window->DesignerUndoRedo().Count(), 1);

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), before);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("Hello"));
}

TEST_F(DesignerWindow, TheInspectorFollowsTheSelectionAndShowsThePageWhenNothingIs)
{
    Open();
    TObjectInspectorForm *inspector = window->Inspector();
    ASSERT_TRUE(inspector);
    QCoreApplication::processEvents();
    const QList<QObject *> page {GlobalPgProps(0)};
    EXPECT_EQ(inspector->Selection(), page);
    EXPECT_TRUE(window->findChild<QDockWidget *>(QStringLiteral("PropertiesDock"))->isVisible());

    Click(Box(QStringLiteral("Box11")));
    QCoreApplication::processEvents();
    EXPECT_EQ(inspector->Selection(), QList<QObject *> {Box(QStringLiteral("Box11"))});
    Key(Qt::Key_A, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(inspector->Selection().size(), 3);

    // An edit made through the inspector is one step for all three.
    ASSERT_TRUE(inspector->OnChangeProperty(inspector->Selection(),
                                            QStringLiteral("VisualBorderProps.BorderWidth"),
                                            QStringLiteral("4")));
    EXPECT_EQ(Box(QStringLiteral("Box13"))->VisualBorderProps()->BorderWidth(), 4);
    EXPECT_EQ(window->DesignerUndoRedo().Count(), 1);

    Key(Qt::Key_Delete);
    QCoreApplication::processEvents();
    EXPECT_EQ(inspector->Selection(), page);

    // Page > Properties shows them with nothing selected, on the page shown.
    ShowPage(1);
    Click(Box(QStringLiteral("Box21")));
    QCoreApplication::processEvents();
    Trigger("PageProperties");
    QCoreApplication::processEvents();
    EXPECT_TRUE(Selected().isEmpty());
    EXPECT_EQ(inspector->Selection(), QList<QObject *> {GlobalPgProps(1)});

    // Filling the form in leaves the inspector nothing to show.
    QTest::keyClick(window.get(), Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_TRUE(inspector->Selection().isEmpty());
    EXPECT_FALSE(window->findChild<QDockWidget *>(QStringLiteral("PropertiesDock"))->isVisible());
}

TEST_F(DesignerWindow, SelectAllIsDisabledOnceEverythingIsSelected)
{
    Open();
    Click(Box(QStringLiteral("Box11")));
    EXPECT_TRUE(Enabled("EditSelectAll"));
    EXPECT_TRUE(Enabled("ElementToFront"));
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected().size(), 3);
    EXPECT_FALSE(Enabled("EditSelectAll"));
    // With nothing selected nothing can be cut, copied or deleted.
    window->SurfaceDesigner1()->UnSelectAll();
    EXPECT_TRUE(Enabled("EditSelectAll"));
    EXPECT_FALSE(Enabled("EditCut"));
    EXPECT_FALSE(Enabled("EditDelete"));
    EXPECT_FALSE(Enabled("ElementToFront"));
}

TEST_F(DesignerWindow, ToFrontAndToBackReorderAndUndo)
{
    Open();
    TDesignTestBox *a = Box(QStringLiteral("Box11"));
    TDesignTestBox *c = Box(QStringLiteral("Box13"));
    const int aBefore = CommonGlobal_CtrlZOrder(a);
    const int cBefore = CommonGlobal_CtrlZOrder(c);
    ASSERT_LT(aBefore, cBefore);
    const QByteArray before = Trees();

    Click(a);
    Trigger("ElementToFront");
    EXPECT_EQ(CommonGlobal_CtrlZOrder(a), cBefore);
    // The scroll bars and the overlay stay above the elements.
    EXPECT_GT(CommonGlobal_CtrlZOrder(GlobalPgScrollBox(0)->VertScrollBar()),
              CommonGlobal_CtrlZOrder(a));
    EXPECT_GT(CommonGlobal_CtrlZOrder(Engine()), CommonGlobal_CtrlZOrder(a));
    const QByteArray front = Trees();
    EXPECT_NE(front, before);

    Click(c);
    Trigger("ElementToBack");
    EXPECT_EQ(CommonGlobal_CtrlZOrder(c), aBefore);
    // The sheet stays beneath.
    EXPECT_LT(CommonGlobal_CtrlZOrder(GlobalPgScrollBox(0)->PaintBox()),
              CommonGlobal_CtrlZOrder(c));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Trees(), front);
    EXPECT_EQ(Selected(), QList<QWidget *> {c});
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Trees(), before);
    Key(Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(Trees(), front);
}
} // namespace

namespace {
// A shipped example with the real plug-ins: the designer works on it in design mode.
TEST_F(DesignerWindow, DesignsAnExampleForm)
{
    const QString path = QStringLiteral(VELORA_BUILD_DIR "/examples/Invoice.vld");
    ASSERT_TRUE(QFile::exists(path));
    window = StartDesigner(QStringLiteral(VELORA_BIN_DIR "/"), path);
    ASSERT_TRUE(window->HasDocument());
    // Saved by the filler, the example opens filled in; the toggle turns design on.
    if (!window->DesignMode())
        QTest::keyClick(window.get(), Qt::Key_F4);
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->DesignMode());
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_GT(Selected().size(), 3);
    const QByteArray before = Trees();
    Key(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NE(Trees(), before);
    SaveShot(QStringLiteral("designer_example.png"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Trees(), before);
}
} // namespace
