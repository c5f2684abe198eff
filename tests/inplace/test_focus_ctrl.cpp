// The run-time focus control on a real window: where it lies and what it
// draws, its scroll bars, moving between elements with the keyboard, leaving,
// and an element that refuses to be left with a text that is no number.

#include "CBaseRTFocusCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CVisualPgCtrlNumeric.h"
#include "CWYSIWYGEngine.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {
class TProbeFocusCtrl : public TBaseRTFocusCtrl
{
public:
    using TBaseRTFocusCtrl::TBaseRTFocusCtrl;
    void DblClick() override { ++DoubleClicks; }
    void HorzScrollBarChange() override { ++HorzChanges; }
    void Elapse() { DblClickTimeElapsed(); }
    bool WindowOpen() const { return DblClickWindowOpen(); }
    int DoubleClicks = 0;
    int HorzChanges = 0;
};

// A numeric kind whose editor is the plain focus control.
class TFocusBox : public TVisualPgCtrlNumeric
{
    Q_OBJECT
public:
    using TVisualPgCtrlNumeric::TVisualPgCtrlNumeric;
    int ClassTypeID() const override { return 20; }
    QWidget *DoCreateEdit(const QPoint &) override
    {
        return new TProbeFocusCtrl(this, VisualTABOnProps()->TABOnEnterKey(),
                                   VisualTABOnProps()->TABOnUpDownKeys(),
                                   Scrolling.Direction != sbNone, Scrolling);
    }
    Qt::CursorShape GetCursor(const QPoint &) const override { return Qt::IBeamCursor; }
    TProbeFocusCtrl *Ctrl() const { return dynamic_cast<TProbeFocusCtrl *>(Editor()); }
    TPropGroupScrollingParams Scrolling;
};

// What the filler's main window does with the focus control's messages.
class TFillerStandIn : public QWidget, public TMessageTarget
{
public:
    TFillerStandIn()
    {
        auto *layout = new QVBoxLayout(this);
        Elsewhere = new QLineEdit(this);
        layout->addWidget(Elsewhere);
        Pages = new TPageControl(nullptr, this);
        layout->addWidget(Pages, 1);
        resize(1000, 900);
    }
    void Dispatch(TMessage &m) override
    {
        Received.append(m.Msg);
        if (m.Msg == VRMSGEditStateChanged && m.WParam) {
            auto *source
                = dynamic_cast<TContextMenuStateSource *>(reinterpret_cast<QObject *>(m.WParam));
            TContextMenuState state;
            state.Undo = state.Cut = state.Paste = state.SelectAll = true;
            if (source)
                source->GetContextMenuState(state);
            EditStates.append(
                {int(m.LParam), state.Undo || state.Cut || state.Paste || state.SelectAll});
        }
        // Only the element holding the focus has an edit to commit.
        if (m.Msg == VRMSGCommitEdit && TVisualPgCtrl::FocusedElement()
            && m.WParam == ObjectParam(TVisualPgCtrl::FocusedElement()))
            SendMessage(TVisualPgCtrl::FocusedElement(), VRMSGCommitEdit);
    }
    QLineEdit *Elsewhere;
    TPageControl *Pages;
    QList<std::uint32_t> Received;
    // (announced state, any command enabled)
    QList<std::pair<int, bool>> EditStates;
};

class FocusCtrl : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        GlobalMainForm = &window;
        GlobalPagesPageControl = window.Pages;
        GlobalFilling = true;
        for (int i = 0; i < 2; ++i) {
            auto *view = new TPrinterPage(window.Pages, window.Pages->AddPage(QStringLiteral("P")));
            view->resize(900, 800);
            views.append(view);
        }
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override
    {
        delete window.Pages;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        GlobalPagesPageControl = nullptr;
        GlobalMainForm = nullptr;
        GlobalFilling = false;
        GlobalClearingProject = false;
    }
    TFocusBox *AddBox(const QString &name, int tabOrder, QPoint at)
    {
        auto *box = CreateComponent<TFocusBox>(window.Pages);
        box->setParent(views[0]);
        box->SetName(name);
        box->SetTabOrder(tabOrder);
        box->setGeometry(QRect(at, QSize(120, 30)));
        box->CalcRelBounds(true, true, true, true, true, true);
        box->show();
        return box;
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        QCoreApplication::processEvents();
    }
    static TVisualPgCtrl *Focused() { return TVisualPgCtrl::FocusedElement(); }

    TFillerStandIn window;
    QList<TPrinterPage *> views;
};

bool IsRed(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y) == QColor(Qt::red);
}
} // namespace

TEST_F(FocusCtrl, StandsOutFromTheElementByTheZoomAndLetsThePageShowThrough)
{
    TFocusBox *box = AddBox(QStringLiteral("Box"), 0, {200, 200});
    box->VisualFillProps()->SetFillColor(clBlue);
    box->VisualFillProps()->SetFillTransparent(false);
    box->SetHint(QStringLiteral("Amount in euros"));
    views[0]->SetZoom(200);
    box->SetFocus(QPoint(-1, -1));
    TProbeFocusCtrl *ctrl = box->Ctrl();
    ASSERT_TRUE(ctrl);
    EXPECT_EQ(ctrl->parentWidget(), views[0]);
    EXPECT_EQ(ctrl->geometry(), box->geometry().adjusted(-6, -6, 6, 6));
    EXPECT_EQ(QApplication::focusWidget(), ctrl);

    // A 4-pixel frame, then the sheet, then the element's own fill beneath the control.
    const QImage image = views[0]->grab(ctrl->geometry()).toImage();
    const int midY = image.height() / 2;
    for (int x = 0; x < 4; ++x) {
        EXPECT_TRUE(IsRed(image, x, midY)) << x;
        EXPECT_TRUE(IsRed(image, image.width() - 1 - x, midY)) << x;
        EXPECT_TRUE(IsRed(image, image.width() / 2, x)) << x;
    }
    EXPECT_FALSE(IsRed(image, 4, midY));
    EXPECT_EQ(image.pixelColor(5, midY), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(image.width() / 2, midY), QColor(Qt::blue));

    // The background it paints for itself is the page without its frame.
    QImage beneath(ctrl->size(), QImage::Format_RGB32);
    beneath.fill(Qt::black);
    {
        QPainter canvas(&beneath);
        ctrl->DoPaintBkGnd(canvas);
    }
    EXPECT_EQ(beneath.pixelColor(1, midY), QColor(Qt::white));
    EXPECT_EQ(beneath.pixelColor(beneath.width() / 2, midY), QColor(Qt::blue));

    // Zooming back re-places the element, and the control follows.
    views[0]->SetZoom(100);
    EXPECT_EQ(ctrl->geometry(), box->geometry().adjusted(-3, -3, 3, 3));
    box->move(box->pos() + QPoint(10, 0));
    EXPECT_EQ(ctrl->geometry(), box->geometry().adjusted(-3, -3, 3, 3));
    EXPECT_EQ(ctrl->toolTip(), QStringLiteral("Amount in euros"));
    box->KillFocus();
}

TEST_F(FocusCtrl, ScrollBarsExistAsAskedAndOnlyShownOnesTakeRoom)
{
    TFocusBox *box = AddBox(QStringLiteral("Box"), 0, {200, 200});
    box->Scrolling = {sbBoth, sbHorz, 600, 10, 20, 800};
    box->SetFocus(QPoint(-1, -1));
    TProbeFocusCtrl *ctrl = box->Ctrl();
    ASSERT_TRUE(ctrl && ctrl->HorzScrollBar() && ctrl->VertScrollBar());
    const int ext = ctrl->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ctrl);
    EXPECT_TRUE(ctrl->HorzScrollBar()->isVisible());
    EXPECT_FALSE(ctrl->VertScrollBar()->isVisible());
    EXPECT_EQ(ctrl->geometry(), box->geometry().adjusted(-3, -3, 3, 3 + ext));
    EXPECT_EQ(ctrl->HorzScrollBar()->geometry(),
              QRect(4, ctrl->height() - ext - 3, ctrl->width() - 3 - 4, ext));
    EXPECT_EQ(ctrl->HorzScrollBar()->maximum(), 800);
    EXPECT_EQ(ctrl->HorzScrollBar()->value(), 10);
    EXPECT_EQ(ctrl->HorzScrollBar()->focusPolicy(), Qt::NoFocus);
    ctrl->HorzScrollBar()->setValue(50);
    EXPECT_EQ(ctrl->HorzChanges, 1);
    box->KillFocus();

    box->Scrolling.Bars = sbBoth;
    box->SetFocus(QPoint(-1, -1));
    ctrl = box->Ctrl();
    EXPECT_EQ(ctrl->geometry(), box->geometry().adjusted(-3, -3, 3 + ext, 3 + ext));
    EXPECT_EQ(ctrl->HorzScrollBar()->geometry().right(), ctrl->width() - ext - 3 - 1);
    EXPECT_EQ(ctrl->VertScrollBar()->geometry(),
              QRect(ctrl->width() - ext - 3, 4, ext, ctrl->height() - ext - 3 - 4));
    box->KillFocus();
}

TEST_F(FocusCtrl, KeysMoveThroughTheTabOrderAsTheElementsAllow)
{
    TFocusBox *a = AddBox(QStringLiteral("A"), 0, {100, 100});
    TFocusBox *b = AddBox(QStringLiteral("B"), 1, {100, 200});
    TFocusBox *c = AddBox(QStringLiteral("C"), 2, {100, 300});
    a->SetFocus(QPoint(-1, -1));
    QPointer<QWidget> first = a->Editor();

    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), b);
    EXPECT_EQ(QApplication::focusWidget(), b->Editor());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    Press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), a);
    Press(Qt::Key_Return);
    EXPECT_EQ(Focused(), b);
    Press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), b);
    Press(Qt::Key_Down);
    Press(Qt::Key_Up);
    EXPECT_EQ(Focused(), b);

    // The flags are the element's when its control is made.
    for (TFocusBox *box : {a, b, c})
        box->VisualTABOnProps()->SetTABOnUpDownKeys(true);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), c);
    // The empty second page is passed over.
    Press(Qt::Key_Down);
    EXPECT_EQ(Focused(), a);
    EXPECT_EQ(window.Pages->ActivePageIndex(), 0);
    Press(Qt::Key_Up);
    EXPECT_EQ(Focused(), c);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), b);
    // Keyboard arrival selects the whole text.
    b->SetText(QStringLiteral("12"));
    Press(Qt::Key_Tab);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(b->SelStart(), 0);
    EXPECT_EQ(b->SelLength(), 2);
    EXPECT_EQ(QApplication::focusWidget(), b->Editor());
}

TEST_F(FocusCtrl, EscapeAndLeavingCommitThroughTheMainWindow)
{
    TFocusBox *a = AddBox(QStringLiteral("A"), 0, {100, 100});
    a->SetFocus(QPoint(-1, -1));
    ASSERT_EQ(window.EditStates, (QList<std::pair<int, bool>> {{1, false}}));

    Press(Qt::Key_Escape);
    EXPECT_FALSE(a->Focused());
    EXPECT_EQ(a->Editor(), nullptr);
    EXPECT_EQ(window.Received.count(VRMSGCommitEdit), 1);

    a->SetFocus(QPoint(-1, -1));
    window.EditStates.clear();
    QTest::mouseClick(window.Elsewhere, Qt::LeftButton);
    EXPECT_EQ(window.EditStates, (QList<std::pair<int, bool>> {{0, false}}));
    EXPECT_TRUE(a->Focused());
    QCoreApplication::processEvents();
    EXPECT_FALSE(a->Focused());

    // While the project is being cleared the element lets go at once.
    a->SetFocus(QPoint(-1, -1));
    GlobalClearingProject = true;
    QTest::mouseClick(window.Elsewhere, Qt::LeftButton);
    EXPECT_FALSE(a->Focused());
}

TEST_F(FocusCtrl, ANumberThatIsRefusedKeepsTheFocusWithItsTextSelected)
{
    TFocusBox *a = AddBox(QStringLiteral("Amount"), 0, {100, 100});
    TFocusBox *b = AddBox(QStringLiteral("B"), 1, {100, 200});
    a->VisualNumberProps()->SetNumberNumericsOnly(true);
    a->SetText(QStringLiteral("abc"));
    QTest::mouseClick(a, Qt::LeftButton);
    ASSERT_TRUE(a->Focused());
    const auto kept = [&] {
        return Focused() == a && !b->Focused() && QApplication::focusWidget() == a->Editor()
            && a->SelStart() == 0 && a->SelLength() == 3;
    };

    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Not a valid number."));
    Press(Qt::Key_Tab);
    EXPECT_TRUE(kept());
    EXPECT_EQ(ScriptedDialogs().Shown().last().Type, mtError);

    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Not a valid number."));
    QTest::mouseClick(window.Elsewhere, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(kept());

    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Not a valid number."));
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(kept());

    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Not a valid number."));
    Press(Qt::Key_Escape);
    EXPECT_TRUE(kept());

    // Above the maximum the element's own range message shows.
    a->VisualNumberProps()->SetNumberMaxValue(100);
    QStringList messages = a->VisualValidationProps()->ValidationErrMsgsList();
    messages[1] = QStringLiteral("<Name> may not exceed 100.");
    a->VisualValidationProps()->SetValidationErrMsgsList(messages);
    a->SetText(QStringLiteral("150"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Amount may not exceed 100."));
    Press(Qt::Key_Tab);
    EXPECT_TRUE(kept());

    a->SetText(QStringLiteral("50"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), b);
    EXPECT_EQ(a->WYSIWYGEngine()->WrappedText(), QStringLiteral("50.00"));
    ScriptedDialogs().VerifyAllUsed();
}

TEST_F(FocusCtrl, OnlyALeftClickSoonAfterArrivingIsADoubleClick)
{
    TFocusBox *a = AddBox(QStringLiteral("A"), 0, {100, 100});
    QTest::mouseClick(a, Qt::LeftButton);
    TProbeFocusCtrl *ctrl = a->Ctrl();
    ASSERT_TRUE(ctrl);
    EXPECT_EQ(a->SelLength(), 0);
    QTest::mouseClick(ctrl, Qt::LeftButton);
    QTest::mouseClick(ctrl, Qt::LeftButton);
    EXPECT_EQ(ctrl->DoubleClicks, 1);
    EXPECT_FALSE(ctrl->WindowOpen());
    a->KillFocus();

    // A right click is none, and it closes the window.
    QTest::mouseClick(a, Qt::LeftButton);
    ctrl = a->Ctrl();
    QTest::mouseClick(ctrl, Qt::RightButton);
    QTest::mouseClick(ctrl, Qt::LeftButton);
    EXPECT_EQ(ctrl->DoubleClicks, 0);
    a->KillFocus();

    QTest::mouseClick(a, Qt::LeftButton);
    ctrl = a->Ctrl();
    ctrl->Elapse();
    QTest::mouseClick(ctrl, Qt::LeftButton);
    EXPECT_EQ(ctrl->DoubleClicks, 0);

    // The pointer over the control shows the element's cursor.
    // Sent directly: a synthesized move is dropped when the pointer is already there.
    const QPointF at = ctrl->rect().center();
    QMouseEvent move(QEvent::MouseMove, at, ctrl->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(ctrl, &move);
    EXPECT_EQ(ctrl->cursor().shape(), Qt::IBeamCursor);
    a->KillFocus();
}

#include "test_focus_ctrl.moc"
