#include "CPageControl.h"

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
