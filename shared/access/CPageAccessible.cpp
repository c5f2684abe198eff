#include "CPageAccessible.h"

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"

#include <QAccessible>
#include <algorithm>

namespace {
// The page's index in the document, or -1 for a page outside it.
int PageIndexOf(const QObject *page)
{
    const int count = GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
    for (int i = 0; i < count; ++i)
        if (GlobalPgScrollBox(i) == page)
            return i;
    return -1;
}
} // namespace

TPageAccessible::TPageAccessible(QWidget *page) : QAccessibleWidget(page) { }

QString TPageAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name)
        return QAccessibleWidget::text(t);
    const auto *page = qobject_cast<const TPrinterPage *>(object());
    return page ? page->Name() : QString();
}

QList<TVisualPgCtrl *> TPageAccessible::Elements() const
{
    QList<TVisualPgCtrl *> others;
    for (QObject *child : object()->children())
        if (auto *element = qobject_cast<TVisualPgCtrl *>(child); element && !element->isHidden())
            others.append(element);
    std::stable_sort(others.begin(), others.end(), [](TVisualPgCtrl *a, TVisualPgCtrl *b) {
        return a->TabOrder() < b->TabOrder();
    });
    // The focusable ones exactly as TAB visits them, whatever ties its sort broke.
    QList<TVisualPgCtrl *> order;
    const int index = PageIndexOf(object());
    if (index >= 0 && !others.isEmpty())
        order = others.first()->BuildTABOrderList(index);
    for (TVisualPgCtrl *element : std::as_const(order))
        others.removeOne(element);
    // What TAB passes over usually sums up what it visits: read after it.
    return order + others;
}

int TPageAccessible::childCount() const
{
    return int(Elements().size());
}

QAccessibleInterface *TPageAccessible::child(int index) const
{
    const QList<TVisualPgCtrl *> elements = Elements();
    return index >= 0 && index < elements.size()
        ? QAccessible::queryAccessibleInterface(elements[index])
        : nullptr;
}

int TPageAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    return int(Elements().indexOf(qobject_cast<TVisualPgCtrl *>(child->object())));
}
