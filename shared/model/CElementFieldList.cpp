#include "CElementFieldList.h"

#include "CGlobal.h"
#include "CPageControl.h"

#include <QLabel>
#include <QListWidget>
#include <QTabBar>
#include <QVBoxLayout>

TElementFieldList::TElementFieldList(const QString &noFieldsText, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("FieldTabs"));
    m_tabs->addTab(QStringLiteral("All"));
    const int pages = GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
    if (pages > 1)
        for (int i = 1; i <= pages; ++i)
            m_tabs->addTab(QString::number(i));
    layout->addWidget(m_tabs);
    m_fields = new QListWidget(this);
    m_fields->setObjectName(QStringLiteral("FieldList"));
    layout->addWidget(m_fields, 1);
    // Over the list, so that the empty list says why.
    m_noFields = new QLabel(noFieldsText, m_fields);
    m_noFields->setObjectName(QStringLiteral("NoFieldsLabel"));
    m_noFields->setAlignment(Qt::AlignCenter);
    m_noFields->setWordWrap(true);
    auto *over = new QVBoxLayout(m_fields);
    over->addWidget(m_noFields);

    connect(m_tabs, &QTabBar::currentChanged, this, [this] { Fill(); });
    connect(m_fields, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (OnPick)
            OnPick(item->text(), false);
    });
    connect(m_fields, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        if (OnPick)
            OnPick(item->text(), true);
    });
    Fill();
}

void TElementFieldList::SetCandidates(QList<std::pair<QString, int>> candidates)
{
    m_candidates = std::move(candidates);
    Fill();
}

void TElementFieldList::Fill()
{
    // Tab 0 is "All"; tab n shows page n.
    const int page = m_tabs->currentIndex() - 1;
    m_fields->clear();
    for (const auto &[name, index] : std::as_const(m_candidates))
        if (page < 0 || index == page)
            m_fields->addItem(name);
    m_noFields->setVisible(m_fields->count() == 0);
}
