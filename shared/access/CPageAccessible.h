#pragma once
// What assistive technology sees of a page surface: its elements in the order
// TAB visits them, then those TAB passes over (calculated and read-only
// values) in their TAB order.

#include <QAccessibleWidget>
#include <QList>

class TVisualPgCtrl;

class TPageAccessible : public QAccessibleWidget
{
public:
    explicit TPageAccessible(QWidget *page);

    QAccessible::Role role() const override { return QAccessible::Pane; }
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    // The shown elements of the page in reading order.
    QList<TVisualPgCtrl *> Elements() const;
};
