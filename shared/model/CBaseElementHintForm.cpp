#include "CBaseElementHintForm.h"

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPrinterPage.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

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
            [this] { Track(QCursor::pos(), QGuiApplication::queryKeyboardModifiers()); });
}

TBaseElementHintForm::~TBaseElementHintForm()
{
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
    if (!m_tracking)
        return;
    m_tracked = ElementAt(globalPos);
    if (!m_tracked) {
        hide();
        return;
    }
    setText(m_tracked->Name());
    adjustSize();
    move(globalPos + QPoint(0, 20));
    show();
    raise();
}

void TBaseElementHintForm::SetTracking(bool on)
{
    if (on == m_tracking)
        return;
    m_tracking = on;
    if (on) {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::PointingHandCursor);
    } else {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        m_tracked = nullptr;
        hide();
    }
}

bool TBaseElementHintForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (m_tracking
        && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
            || type == QEvent::MouseButtonRelease)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        TVisualPgCtrl *element = ElementAt(mouse->globalPosition().toPoint());
        // The page keeps its clicks while picking: they choose a name instead.
        if (!element)
            return QLabel::eventFilter(watched, event);
        if (type != QEvent::MouseButtonRelease && OnPick)
            OnPick(element->Name(), type == QEvent::MouseButtonDblClick);
        return true;
    }
    return QLabel::eventFilter(watched, event);
}
