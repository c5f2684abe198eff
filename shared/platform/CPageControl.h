#pragma once
// The page control of a document: one tab sheet per page, each holding its
// page surface. It owns every sheet, surface and element, so element names are
// unique across the document.

#include "CComponent.h"
#include "CMessages.h"

#include <QTabWidget>

class TTabSheet : public QWidget, public TComponent
{
    Q_OBJECT
public:
    explicit TTabSheet(TComponent *owner, QWidget *parent = nullptr)
        : QWidget(parent), TComponent(this, owner)
    { }
    // The page surface: the sheet's first child widget, which fills the sheet.
    QWidget *PageView() const;

protected:
    void childEvent(QChildEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};

class TPageControl : public QTabWidget, public TComponent, public TMessageTarget
{
    Q_OBJECT
public:
    explicit TPageControl(TComponent *owner = nullptr, QWidget *parent = nullptr)
        : QTabWidget(parent), TComponent(this, owner)
    { }
    int PageCount() const { return count(); }
    TTabSheet *Pages(int index) const { return qobject_cast<TTabSheet *>(widget(index)); }
    int ActivePageIndex() const { return currentIndex(); }
    void SetActivePageIndex(int index) { setCurrentIndex(index); }
    // Adds a sheet owned by this control, with the caption given.
    TTabSheet *AddPage(const QString &caption);
};
