#pragma once
// The page control of a document: one tab sheet per page, each holding its
// page surface. It owns every sheet, surface and element, so element names are
// unique across the document.

#include "CComponent.h"
#include "CMessages.h"

#include <QTabWidget>
#include <functional>

class TPageControl;

class TTabSheet : public QWidget, public TComponent
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit TTabSheet(TComponent *owner, QWidget *parent = nullptr)
        : QWidget(parent), TComponent(this, owner)
    { }
    // The page surface: the sheet's first child widget, which fills the sheet.
    QWidget *PageView() const;
    // The tab's text; an empty caption shows the page number.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    TPageControl *PageControl() const;
    void Loaded() override { SetCaption(m_caption); }

protected:
    void childEvent(QChildEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_caption;
};

class TPageControl : public QTabWidget, public TComponent, public TMessageTarget
{
    Q_OBJECT
public:
    explicit TPageControl(TComponent *owner = nullptr, QWidget *parent = nullptr);
    // Asked before the user takes another tab (mouse, keys, wheel); false keeps the
    // current one, as when the focused element refuses to let go of its text.
    std::function<bool()> OnChanging;
    int PageCount() const { return count(); }
    TTabSheet *Pages(int index) const { return qobject_cast<TTabSheet *>(widget(index)); }
    int ActivePageIndex() const { return currentIndex(); }
    void SetActivePageIndex(int index) { setCurrentIndex(index); }
    // Adds a sheet owned by this control, with the caption given.
    TTabSheet *AddPage(const QString &caption);
    // Tab texts from the sheets' captions, page numbers where they have none.
    void UpdateTabTexts();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void tabInserted(int index) override;
    void tabRemoved(int index) override;

private:
    bool AllowChange() const { return !OnChanging || OnChanging(); }
    bool WouldChangeTab(QEvent *event) const;
    // Every sheet gets the page area now, not when it is first shown: hidden pages fit
    // their zoom to the area they will be seen in.
    void SizeSheets();
};
