#include "CPageControl.h"

#include <QChildEvent>
#include <QResizeEvent>

QWidget *TTabSheet::PageView() const
{
    for (QObject *child : children())
        if (child->isWidgetType())
            return static_cast<QWidget *>(child);
    return nullptr;
}

TTabSheet *TPageControl::AddPage(const QString &caption)
{
    auto *sheet = new TTabSheet(this);
    addTab(sheet, caption);
    return sheet;
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
