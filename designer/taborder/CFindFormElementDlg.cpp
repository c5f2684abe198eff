#include "CFindFormElementDlg.h"

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {
constexpr int kHelpContext = 60;
} // namespace

TFindFormElementDlg::TFindFormElementDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindFormElementDialog"));
    setWindowTitle(QStringLiteral(" Find"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setModal(false);
    setProperty("HelpContext", kHelpContext);

    auto *searchLabel = new QLabel(QStringLiteral("&Search"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("SearchEdit"));
    searchLabel->setBuddy(m_search);
    auto *listLabel = new QLabel(QStringLiteral("Project Form &Elements"), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ControlsListBox"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    listLabel->setBuddy(m_list);
    m_select = new QPushButton(QStringLiteral("Select"), this);
    m_select->setObjectName(QStringLiteral("SelectButton"));
    m_select->setDefault(true);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("CloseButton"));
    m_close->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_select);
    buttons->addWidget(m_close);
    auto *grid = new QGridLayout(this);
    grid->addWidget(searchLabel, 0, 0);
    grid->addWidget(m_search, 1, 0);
    grid->addWidget(listLabel, 2, 0);
    grid->addWidget(m_list, 3, 0);
    grid->addLayout(buttons, 4, 0);
    resize(260, 340);

    connect(m_search, &QLineEdit::textEdited, this, &TFindFormElementDlg::Search);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &TFindFormElementDlg::UpdateButtons);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TFindFormElementDlg::SelectChosen);
    connect(m_select, &QPushButton::clicked, this, &TFindFormElementDlg::SelectChosen);
    connect(m_close, &QPushButton::clicked, this, &TFindFormElementDlg::close);
    Fill();
}

void TFindFormElementDlg::Fill()
{
    const TBasePgCtrl *chosen = Chosen();
    m_elements.clear();
    if (TPageControl *pages = GlobalPagesPageControl)
        for (int i = 0; i < pages->ComponentCount(); ++i)
            if (auto *element = ComponentCast<TBasePgCtrl>(pages->Components(i));
                element && element->parentWidget())
                m_elements.append(element);
    std::stable_sort(m_elements.begin(), m_elements.end(), [](const auto &a, const auto &b) {
        return a->Name().compare(b->Name(), Qt::CaseInsensitive) < 0;
    });
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const QPointer<TBasePgCtrl> &element : std::as_const(m_elements))
        m_list->addItem(element->Name());
    const auto at = std::find(m_elements.cbegin(), m_elements.cend(), chosen);
    if (chosen && at != m_elements.cend())
        m_list->setCurrentRow(int(at - m_elements.cbegin()));
    UpdateButtons();
}

TBasePgCtrl *TFindFormElementDlg::Chosen() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    const int row = selected.isEmpty() ? -1 : m_list->row(selected.front());
    return row >= 0 && row < m_elements.size() ? m_elements.at(row).data() : nullptr;
}

void TFindFormElementDlg::Search(const QString &text)
{
    int found = -1;
    if (!text.trimmed().isEmpty())
        for (int row = 0; row < m_list->count() && found < 0; ++row)
            if (m_list->item(row)->text().left(text.size()).compare(text, Qt::CaseInsensitive) == 0)
                found = row;
    if (found >= 0) {
        m_list->setCurrentRow(found);
        m_list->scrollToItem(m_list->item(found));
    } else {
        m_list->clearSelection();
        m_list->setCurrentRow(-1);
    }
    UpdateButtons();
}

void TFindFormElementDlg::SelectChosen()
{
    QPointer<TBasePgCtrl> element = Chosen();
    if (!element)
        return;
    // Selecting on another page first shows that page; once shown, the element is selected.
    const int page = GlobalActivePgIdx();
    GlobalSelectElement(element, false);
    if (element && GlobalActivePgIdx() != page)
        GlobalSelectElement(element, false);
}

void TFindFormElementDlg::UpdateButtons()
{
    m_select->setEnabled(Chosen() != nullptr);
}

void TFindFormElementDlg::hideEvent(QHideEvent *event)
{
    // The window it belongs to takes the keys again, F12 among them, once this one is gone.
    if (QWidget *owner = parentWidget())
        QTimer::singleShot(0, owner, [owner] {
            if (owner->isVisible() && !QApplication::activeWindow())
                owner->activateWindow();
        });
    QDialog::hideEvent(event);
}

void TFindFormElementDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_search->setFocus(Qt::OtherFocusReason);
}
