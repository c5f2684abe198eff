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
        setTabText(i, caption.isEmpty() ? QString::number(i + 1) : caption);
    }
}

void TPageControl::tabInserted(int index)
{
    QTabWidget::tabInserted(index);
    UpdateTabTexts();
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
