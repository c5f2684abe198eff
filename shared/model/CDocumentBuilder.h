#pragma once
// A document made through the model without a main window: pages, their
// settings and elements, saved like the programs save. Used by the example
// generator, the tests and the benchmarks; it installs its own page control
// and project as the shared ones for its lifetime.

#include "CComponent.h"
#include "CPageControl.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"

#include <QList>
#include <QRect>
#include <QString>
#include <memory>

class QWidget;
class TFillerScrollBox;

class TDocumentBuilder
{
public:
    explicit TDocumentBuilder(int pages = 0);
    ~TDocumentBuilder();
    TDocumentBuilder(const TDocumentBuilder &) = delete;
    TDocumentBuilder &operator=(const TDocumentBuilder &) = delete;

    // Appends a page with its settings; returns its index.
    int AddPage(const QString &caption = QString());
    TFillerScrollBox *View(int page) const { return m_views.value(page); }
    TProjectPropsPageProps *Settings(int page) const { return Project.Page(page); }

    // An element of class T on a page, named, at a rectangle of the page view (screen
    // pixels at 100 % zoom).
    template<class T>
    T *Add(int page, const QString &name, const QRect &at)
    {
        auto *element = CreateComponent<T>(Pages());
        Place(element, element, page, name, at);
        return element;
    }

    TPageControl *Pages() const { return m_pages.get(); }
    bool Save(const QString &path);

    TProjectProps Project;
    TProjectInfo Info;

private:
    void Place(QWidget *widget, TComponent *component, int page, const QString &name,
               const QRect &at);

    std::unique_ptr<TPageControl> m_pages;
    QList<TFillerScrollBox *> m_views;
    QWidget *m_oldMain;
    TPageControl *m_oldPages;
    TProjectProps *m_oldProject;
};
