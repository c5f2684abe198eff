#include "CBaseElementHintForm.h"

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPrinterPage.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace {
// How far below the pointer the hint sits: the height of the cursor where Qt knows it,
// else the size the desktop gives its cursors.
int CursorHeight()
{
    const QCursor *cursor = QApplication::overrideCursor();
    if (cursor && !cursor->pixmap().isNull())
        return cursor->pixmap().height();
    const int size = qEnvironmentVariableIntValue("XCURSOR_SIZE");
    return size > 0 ? size : 24;
}
} // namespace

TBaseElementHintForm::TBaseElementHintForm(QWidget *dialog, TFilter filter)
    : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), m_dialog(dialog),
      m_filter(std::move(filter))
{
    setObjectName(QStringLiteral("ElementHintForm"));
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setMargin(3);
    m_timer.setInterval(50);
    connect(&m_timer, &QTimer::timeout, this,
            [this] { Track(QCursor::pos(), m_altHeld ? Qt::AltModifier : Qt::NoModifier); });
    // The dialog's key events tell whether Alt is held; while tracking, the mouse too.
    qApp->installEventFilter(this);
}

TBaseElementHintForm::~TBaseElementHintForm()
{
    qApp->removeEventFilter(this);
    SetTracking(false);
}

void TBaseElementHintForm::Start()
{
    m_timer.start();
}

void TBaseElementHintForm::Stop()
{
    m_timer.stop();
    SetTracking(false);
}

QString TBaseElementHintForm::PickedName(const TVisualPgCtrl *element) const
{
    return element->Name();
}

QString TBaseElementHintForm::HintText(const TVisualPgCtrl *element) const
{
    return PickedName(element);
}

TVisualPgCtrl *TBaseElementHintForm::ElementAt(const QPoint &globalPos) const
{
    TPrinterPage *page = GlobalPgScrollBox(GlobalActivePgIdx());
    if (!page || !page->isVisible())
        return nullptr;
    // Children are stacked in list order: the last one lies on top.
    const QObjectList children = page->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto *element = qobject_cast<TVisualPgCtrl *>(*it);
        if (!element || !element->isVisible() || (m_filter && !m_filter(element)))
            continue;
        if (element->rect().contains(element->mapFromGlobal(globalPos)))
            return element;
    }
    return nullptr;
}

void TBaseElementHintForm::Track(const QPoint &globalPos, Qt::KeyboardModifiers modifiers)
{
    const bool insideDialog
        = m_dialog && m_dialog->isVisible() && m_dialog->frameGeometry().contains(globalPos);
    SetTracking(modifiers.testFlag(Qt::AltModifier) && !insideDialog);
    if (m_tracking)
        ShowHintAt(globalPos);
}

void TBaseElementHintForm::ShowHintAt(const QPoint &globalPos)
{
    m_tracked = ElementAt(globalPos);
    if (!m_tracked) {
        hide();
        return;
    }
    setText(HintText(m_tracked));
    adjustSize();
    move(globalPos + QPoint(0, CursorHeight()));
    show();
    raise();
}

void TBaseElementHintForm::SetTracking(bool on)
{
    if (on == m_tracking)
        return;
    m_tracking = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::PointingHandCursor);
        // The page lies in a window the dialog may block: its mouse comes to the dialog.
        if (m_dialog)
            m_dialog->grabMouse();
    } else {
        if (m_dialog && QWidget::mouseGrabber() == m_dialog)
            m_dialog->releaseMouse();
        QApplication::restoreOverrideCursor();
        m_tracked = nullptr;
        hide();
    }
}

bool TBaseElementHintForm::FromDialog(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    return m_dialog && widget && widget->window() == m_dialog;
}

bool TBaseElementHintForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (FromDialog(watched)) {
            const auto *key = static_cast<QKeyEvent *>(event);
            // Some desktops report a modifier key's own press or release without its flag.
            if (key->key() == Qt::Key_Alt)
                m_altHeld = type == QEvent::KeyPress;
            else
                m_altHeld = key->modifiers().testFlag(Qt::AltModifier);
            if (!m_altHeld)
                SetTracking(false);
        }
        break;
    case QEvent::Hide:
    case QEvent::Close:
    case QEvent::WindowDeactivate:
        if (watched == m_dialog) {
            m_altHeld = false;
            SetTracking(false);
        }
        break;
    case QEvent::MouseMove:
        if (m_tracking)
            Track(static_cast<QMouseEvent *>(event)->globalPosition().toPoint(), Qt::AltModifier);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        if (!m_tracking)
            break;
        const QPoint at = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        // Over the dialog the mouse is the dialog's again.
        if (m_dialog && m_dialog->frameGeometry().contains(at)) {
            SetTracking(false);
            break;
        }
        TVisualPgCtrl *element = ElementAt(at);
        // The page keeps its clicks while picking: they choose a name instead.
        if (!element)
            break;
        if (type != QEvent::MouseButtonRelease && OnPick)
            OnPick(PickedName(element), type == QEvent::MouseButtonDblClick);
        return true;
    }
    default:
        break;
    }
    return QLabel::eventFilter(watched, event);
}

void TBaseElementHintForm::ReplaceSelection(QPlainTextEdit *edit, const QString &text)
{
    QTextCursor cursor = edit->textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(text);
    cursor.setPosition(start);
    cursor.setPosition(start + int(text.size()), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

void TBaseElementHintForm::ReplaceSelection(QLineEdit *edit, const QString &text)
{
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    edit->insert(text);
    edit->setSelection(start, int(text.size()));
}
