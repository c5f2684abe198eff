#pragma once
// The names of the elements a dialog may insert into a text, all or page by page
// (tab "All", then a tab a page when there are several), with a line saying when a
// page has none. A click hands a name over, a double-click confirms it.

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <utility>

class QLabel;
class QListWidget;
class QTabBar;

class TElementFieldList : public QWidget
{
public:
    // noFieldsText: what the list shows while it is empty.
    TElementFieldList(const QString &noFieldsText, QWidget *parent);

    // Each name with its page (from 0), in the order they are listed.
    void SetCandidates(QList<std::pair<QString, int>> candidates);
    std::function<void(const QString &name, bool confirm)> OnPick;

    QTabBar *PageTabs() const { return m_tabs; }
    QListWidget *FieldList() const { return m_fields; }
    QLabel *NoFieldsLabel() const { return m_noFields; }

private:
    void Fill();

    QList<std::pair<QString, int>> m_candidates;
    QTabBar *m_tabs;
    QListWidget *m_fields;
    QLabel *m_noFields;
};
