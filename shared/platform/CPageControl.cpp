#include "CPageControl.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTabBar>

QWidget *TTabSheet::PageView() const
{
    for (QObject *child : children())
        if (child->isWidgetType())
            return static_cast<QWidget *>(child);
    return nullptr;
}

TPageControl::TPageControl(TComponent *owner, QWidget *parent)
    : QTabWidget(parent), TComponent(this, owner)
{
    tabBar()->installEventFilter(this);
}

bool TPageControl::WouldChangeTab(QEvent *event) const
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int index = tabBar()->tabAt(mouse->position().toPoint());
        return mouse->button() == Qt::LeftButton && index >= 0 && index != currentIndex();
    }
    case QEvent::KeyPress:
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
        }
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

bool TPageControl::eventFilter(QObject *watched, QEvent *event)
{
    // The tab bar changes the tab inside its own handlers; asking must come first.
    if (watched == tabBar() && WouldChangeTab(event) && !AllowChange())
        return true;
    return QTabWidget::eventFilter(watched, event);
}

void TPageControl::keyPressEvent(QKeyEvent *event)
{
    const bool paging = event->modifiers().testFlag(Qt::ControlModifier)
        && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab
            || event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown);
    if (paging && !AllowChange()) {
        event->accept();
        return;
    }
    QTabWidget::keyPressEvent(event);
}

void TPageControl::SizeSheets()
{
    for (int i = 0; i < count(); ++i) {
        TTabSheet *sheet = Pages(i);
        if (!sheet || !sheet->parentWidget())
            continue;
        const QRect area = sheet->parentWidget()->contentsRect();
        if (area.isEmpty())
            continue;
        sheet->setGeometry(area);
        // A hidden sheet hears of its size only when shown; its page needs it now.
        if (QWidget *view = sheet->PageView())
            view->setGeometry(QRect(QPoint(0, 0), area.size()));
    }
}

void TPageControl::resizeEvent(QResizeEvent *event)
{
    QTabWidget::resizeEvent(event);
    SizeSheets();
}

void TPageControl::showEvent(QShowEvent *event)
{
    QTabWidget::showEvent(event);
    SizeSheets();
}

TTabSheet *TPageControl::AddPage(const QString &caption)
{
    auto *sheet = new TTabSheet(this);
    sheet->SetCaption(caption);
    addTab(sheet, QString());
    UpdateTabTexts();
    return sheet;
}

void TPageControl::UpdateTabTexts()
{
    for (int i = 0; i < count(); ++i) {
        const TTabSheet *sheet = Pages(i);
        const QString caption = sheet ? sheet->Caption() : QString();
        const QString text = caption.isEmpty() ? QString::number(i + 1) : caption;
        // Setting a tab's text lays the whole bar out again, even when it is the same.
        if (tabText(i) != text)
            setTabText(i, text);
    }
}

void TPageControl::tabInserted(int index)
{
    QTabWidget::tabInserted(index);
    UpdateTabTexts();
    SizeSheets();
}

void TPageControl::tabRemoved(int index)
{
    QTabWidget::tabRemoved(index);
    UpdateTabTexts();
}

TPageControl *TTabSheet::PageControl() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget())
        if (auto *pages = qobject_cast<TPageControl *>(w))
            return pages;
    return nullptr;
}

void TTabSheet::SetCaption(const QString &caption)
{
    m_caption = caption;
    if (TPageControl *pages = PageControl())
        pages->UpdateTabTexts();
}

void TTabSheet::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    if (event->added())
        if (QWidget *view = PageView())
            view->setGeometry(rect());
}

void TTabSheet::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (QWidget *view = PageView())
        view->setGeometry(rect());
}
