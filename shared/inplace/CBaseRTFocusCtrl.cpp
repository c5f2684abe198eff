#include "CBaseRTFocusCtrl.h"

#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CException.h"
#include "CPrinterPage.h"
#include "CWYSIWYGEngine.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <climits>

namespace {
// Pixels at 100 % by which the control stands out from its element.
constexpr int kFrameMargin = 3;
constexpr int kFrameWidth = 2;
const QColor kFrameColor(0xFF, 0x00, 0x00);

bool ShowsBar(TScrollStyle bars, TScrollStyle which)
{
    return bars == which || bars == sbBoth;
}
} // namespace

TBaseRTFocusCtrl::TBaseRTFocusCtrl(TVisualPgCtrl *owner, bool tabOnEnterKey, bool tabOnUpDownKeys,
                                   bool createScrollBars, const TPropGroupScrollingParams &params)
    // An unplaced element keeps the control inside itself rather than as a window of its own.
    : QWidget(owner->parentWidget() ? owner->parentWidget() : owner), m_owner(owner),
      m_tabOnEnterKey(tabOnEnterKey), m_tabOnUpDownKeys(tabOnUpDownKeys), m_params(params)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setToolTip(owner->Hint());
    // A new control starts without a selection; keyboard arrival selects all afterwards.
    owner->SetSelStart(0);
    owner->SetSelLength(0);
    owner->installEventFilter(this);
    if (createScrollBars)
        PrepScrollBars();
    SendMessage(GlobalMainForm, VRMSGEditStateChanged, ObjectParam(this), 1);

    m_dblClickTimer = new QTimer(this);
    m_dblClickTimer->setSingleShot(true);
    m_dblClickTimer->setInterval(QApplication::doubleClickInterval());
    connect(m_dblClickTimer, &QTimer::timeout, this, &TBaseRTFocusCtrl::DblClickTimeElapsed);
    m_dblClickTimer->start();
}

TBaseRTFocusCtrl::~TBaseRTFocusCtrl() = default;

int TBaseRTFocusCtrl::Zoom() const
{
    const TPrinterPage *page = GlobalPgScrollBox(GlobalActivePgIdx());
    if (!page && m_owner)
        page = m_owner->ParentPage();
    return page ? page->Zoom() : 100;
}

int TBaseRTFocusCtrl::Scaled(int value) const
{
    return TPrinterPage::Scale(Zoom(), value);
}

int TBaseRTFocusCtrl::ScrollBarExtent() const
{
    return Scaled(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
}

QPoint TBaseRTFocusCtrl::ToOwner(const QPoint &point) const
{
    if (!m_owner)
        return point;
    return m_owner->mapFrom(window(), mapTo(window(), point));
}

QRect TBaseRTFocusCtrl::CalcInPlaceEditArea(bool withBars) const
{
    if (!m_owner)
        return geometry();
    QRect area = parentWidget() == m_owner ? m_owner->rect() : m_owner->geometry();
    const int m = Scaled(kFrameMargin);
    area.adjust(-m, -m, m, m);
    if (withBars) {
        if (HorzScrollBarShown())
            area.setBottom(area.bottom() + ScrollBarExtent());
        if (VertScrollBarShown())
            area.setRight(area.right() + ScrollBarExtent());
    }
    return area;
}

void TBaseRTFocusCtrl::OwnerResized()
{
    setGeometry(CalcInPlaceEditArea(true));
    PositionScrollBars();
}

void TBaseRTFocusCtrl::PrepScrollBars()
{
    const auto make = [this](Qt::Orientation orientation, int range, int position, bool shown,
                             void (TBaseRTFocusCtrl::*changed)()) {
        auto *bar = new QScrollBar(orientation, this);
        bar->setRange(0, range);
        bar->setValue(position);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setVisible(shown);
        connect(bar, &QScrollBar::valueChanged, this, [this, changed] { (this->*changed)(); });
        return bar;
    };
    if (ShowsBar(m_params.Direction, sbHorz) && !m_horzBar) {
        m_horzBarShown = ShowsBar(m_params.Bars, sbHorz);
        m_horzBar = make(Qt::Horizontal, m_params.HorzRange, m_params.HorzPos, m_horzBarShown,
                         &TBaseRTFocusCtrl::HorzScrollBarChange);
    }
    if (ShowsBar(m_params.Direction, sbVert) && !m_vertBar) {
        m_vertBarShown = ShowsBar(m_params.Bars, sbVert);
        m_vertBar = make(Qt::Vertical, m_params.VertRange, m_params.VertPos, m_vertBarShown,
                         &TBaseRTFocusCtrl::VertScrollBarChange);
    }
}

void TBaseRTFocusCtrl::PositionScrollBars()
{
    if (HorzScrollBarShown())
        m_horzBar->setGeometry(HorzScrollBarPos());
    if (VertScrollBarShown())
        m_vertBar->setGeometry(VertScrollBarPos());
}

QRect TBaseRTFocusCtrl::HorzScrollBarPos() const
{
    const int m = Scaled(kFrameMargin);
    const int h = ScrollBarExtent();
    const int w = VertScrollBarShown() ? ScrollBarExtent() : 0;
    const int left = m + 1;
    const int top = height() - h - m;
    const int right = width() - w - m;
    return QRect(left, top, right - left, h);
}

QRect TBaseRTFocusCtrl::VertScrollBarPos() const
{
    const int m = Scaled(kFrameMargin);
    const int h = HorzScrollBarShown() ? ScrollBarExtent() : 0;
    const int w = ScrollBarExtent();
    const int left = width() - w - m;
    const int top = m + 1;
    const int bottom = height() - h - m;
    return QRect(left, top, w, bottom - top);
}

void TBaseRTFocusCtrl::GetContextMenuState(TContextMenuState &state) const
{
    state = TContextMenuState();
}

void TBaseRTFocusCtrl::PaintBkGnd()
{
    // Qt composes the page beneath; repainting that part of it repaints the control too.
    if (QWidget *parent = parentWidget())
        parent->update(geometry());
    update();
}

void TBaseRTFocusCtrl::DoPaintBkGnd(QPainter &canvas)
{
    QWidget *parent = parentWidget();
    if (!parent || m_renderingBkGnd)
        return;
    if (const auto *page = dynamic_cast<TComponent *>(parent);
        page && (page->ComponentState() & csDestroying))
        return;
    QPixmap beneath(size());
    beneath.fill(Qt::transparent);
    m_renderingBkGnd = true;
    parent->render(&beneath, QPoint(), QRegion(geometry()),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    m_renderingBkGnd = false;
    canvas.drawPixmap(0, 0, beneath);
}

void TBaseRTFocusCtrl::DrawFocusRect(QPainter &canvas)
{
    if (m_owner && m_owner->CreatingEditor())
        return;
    const int w = qMax(1, Scaled(kFrameWidth));
    const QRect r = rect();
    // Inside the frame: the pen never reaches past the client rectangle.
    canvas.fillRect(QRect(r.left(), r.top(), r.width(), w), kFrameColor);
    canvas.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), kFrameColor);
    canvas.fillRect(QRect(r.left(), r.top(), w, r.height()), kFrameColor);
    canvas.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), kFrameColor);
}

void TBaseRTFocusCtrl::paintEvent(QPaintEvent *)
{
    // Rendering the page for the background must not draw the frame into it.
    if (m_renderingBkGnd)
        return;
    QPainter canvas(this);
    DrawFocusRect(canvas);
}

void TBaseRTFocusCtrl::SelectAll()
{
    if (!m_owner)
        return;
    TWYSIWYGEngine *engine = m_owner->WYSIWYGEngine();
    if (engine->NeedsBuild())
        m_owner->BuildWYSIWYGInf(true, false);
    // The end-of-text entry is not part of the text.
    m_owner->SetSelStart(0);
    m_owner->SetSelLength(qMax(0, engine->TextDataCount() - 1));
    m_owner->update();
}

void TBaseRTFocusCtrl::MoveFocus(bool forward)
{
    if (!m_owner)
        return;
    try {
        m_owner->SelectCtrl(forward, -1, INT_MAX);
    } catch (const EVeloraError &error) {
        Global_MessageDlg(GlobalAppTitle(), error.Message(), mtError, mbOK, 0);
    }
}

void TBaseRTFocusCtrl::KeyDown(int &key, Qt::KeyboardModifiers shift)
{
    const bool withShift = shift.testFlag(Qt::ShiftModifier);
    int move = 0; // 1 forward, -1 backward
    switch (key) {
    case Qt::Key_Tab:
        move = withShift ? -1 : 1;
        break;
    case Qt::Key_Backtab:
        move = -1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!withShift && m_tabOnEnterKey)
            move = 1;
        break;
    case Qt::Key_Down:
        if (m_tabOnUpDownKeys)
            move = 1;
        break;
    case Qt::Key_Up:
        if (m_tabOnUpDownKeys)
            move = -1;
        break;
    default:
        break;
    }
    if (move == 0)
        return;
    key = 0;
    MoveFocus(move > 0);
}

void TBaseRTFocusCtrl::KeyPress(QChar &key)
{
    // Destroying the control here would pull it from under its own key handling.
    if (key.unicode() == 27 && m_owner)
        PostMessage(GlobalMainForm, VRMSGCommitEdit, ObjectParam(m_owner));
}

void TBaseRTFocusCtrl::keyPressEvent(QKeyEvent *event)
{
    int key = event->key();
    KeyDown(key, event->modifiers());
    if (key != 0) {
        QString text = event->text();
        if (text.isEmpty() && key == Qt::Key_Escape)
            text = QChar(27);
        for (QChar c : std::as_const(text))
            KeyPress(c);
    }
    // The keys stay here; the page must not scroll on them.
    event->accept();
}

bool TBaseRTFocusCtrl::focusNextPrevChild(bool)
{
    // TAB moves between elements in their order, not between Qt widgets.
    return false;
}

void TBaseRTFocusCtrl::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    // Another window or a menu (opened with the mouse or the keyboard) took the keyboard for a
    // while; the focus comes back here, caret and selection as they were.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason
        || event->reason() == Qt::MenuBarFocusReason)
        return;
    DoExit();
}

void TBaseRTFocusCtrl::DoExit()
{
    // A control its owner has let go of has nothing left to commit.
    if (!m_owner || m_owner->Editor() != this)
        return;
    SendMessage(GlobalMainForm, VRMSGEditStateChanged, ObjectParam(this), 0);
    if (GlobalClearingProject)
        m_owner->KillFocus();
    else
        PostMessage(GlobalMainForm, VRMSGCommitEdit, ObjectParam(m_owner));
}

void TBaseRTFocusCtrl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, const QPoint &)
{
    if (!m_dblClickTimer)
        return;
    const bool doubleClick = !m_dblClickElapsed && button == Qt::LeftButton;
    delete m_dblClickTimer.data();
    if (doubleClick)
        DblClick();
}

void TBaseRTFocusCtrl::MouseMove(Qt::KeyboardModifiers, const QPoint &point)
{
    if (m_owner)
        setCursor(m_owner->GetCursor(ToOwner(point)));
}

void TBaseRTFocusCtrl::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    event->accept();
    MouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TBaseRTFocusCtrl::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    MouseMove(event->modifiers(), event->position().toPoint());
}

bool TBaseRTFocusCtrl::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: a dying owner still sends events, and comparing casts it.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched == m_owner)
        OwnerResized();
    return QWidget::eventFilter(watched, event);
}

void TBaseRTFocusCtrl::OwnerTextChanged()
{
    PaintBkGnd();
}

void TBaseRTFocusCtrl::Dispatch(TMessage &)
{
    // Nothing of its own to answer: text changes arrive through OwnerTextChanged.
}
