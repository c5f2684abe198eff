#include "CHideShowPluginsForm.h"

#include "CDialogService.h"
#include "CPaletteForm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kKindRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;
constexpr int kWasVisibleRole = Qt::UserRole + 2;
} // namespace

THideShowPluginsForm::THideShowPluginsForm(TPaletteForm &palette, QWidget *parent)
    : QDialog(parent), m_palette(palette), m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("HideShowPluginsForm"));
    setWindowTitle(QStringLiteral(" Hide/Show Plug-ins"));
    auto *layout = new QVBoxLayout(this);
    auto *advice = new QLabel(QStringLiteral("Click an item to toggle visibility."), this);
    layout->addWidget(advice);
    m_tree->setObjectName(QStringLiteral("PlugInsTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setItemsExpandable(false);
    layout->addWidget(m_tree);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    for (int group = 0; group < m_palette.GroupCount(); ++group) {
        auto *node = new QTreeWidgetItem(m_tree, {m_palette.GroupName(group)});
        node->setData(0, kKindRole, 0);
        node->setData(0, kGroupRole, group);
        node->setData(0, kWasVisibleRole, m_palette.GroupVisible(group));
        for (const int kind : m_palette.GroupKinds(group)) {
            auto *child = new QTreeWidgetItem(node, {m_palette.KindName(kind)});
            child->setData(0, kKindRole, kind);
            child->setData(0, kGroupRole, group);
            child->setData(0, kWasVisibleRole, m_palette.KindVisible(kind));
            if (QToolButton *button = m_palette.KindButton(kind))
                child->setIcon(0, button->icon());
        }
    }
    m_tree->expandAll();
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
    ShowStates();
    // The check box is the state icon; a click anywhere on the item toggles it.
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { Toggle(item); });
}

THideShowPluginsForm::~THideShowPluginsForm() = default;

void THideShowPluginsForm::Toggle(QTreeWidgetItem *item)
{
    const int kind = item->data(0, kKindRole).toInt();
    const int group = item->data(0, kGroupRole).toInt();
    if (kind == 0)
        m_palette.SetGroupVisible(group, !m_palette.GroupVisible(group));
    else
        m_palette.SetKindVisible(kind, !m_palette.KindVisible(kind));
    ShowStates();
}

void THideShowPluginsForm::ShowStates()
{
    const QSignalBlocker quiet(m_tree);
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *node = m_tree->topLevelItem(i);
        const int group = node->data(0, kGroupRole).toInt();
        node->setCheckState(0, m_palette.GroupVisible(group) ? Qt::Checked : Qt::Unchecked);
        for (int j = 0; j < node->childCount(); ++j) {
            QTreeWidgetItem *child = node->child(j);
            child->setCheckState(0,
                                 m_palette.KindVisible(child->data(0, kKindRole).toInt())
                                     ? Qt::Checked
                                     : Qt::Unchecked);
        }
    }
}

void THideShowPluginsForm::Restore()
{
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *node = m_tree->topLevelItem(i);
        for (int j = 0; j < node->childCount(); ++j) {
            QTreeWidgetItem *child = node->child(j);
            m_palette.SetKindVisible(child->data(0, kKindRole).toInt(),
                                     child->data(0, kWasVisibleRole).toBool());
        }
        // After the kinds, which may have shown it.
        m_palette.SetGroupVisible(node->data(0, kGroupRole).toInt(),
                                  node->data(0, kWasVisibleRole).toBool());
    }
}

bool THideShowPluginsForm::Run()
{
    if (DialogService().ExecModal(*this) == QDialog::Accepted) {
        m_palette.StoreVisibility();
        return true;
    }
    Restore();
    return false;
}
