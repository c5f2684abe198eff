#include "CPaletteForm.h"

#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPlugIns.h"
#include "Cini.h"

#include <QAction>
#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr const char *kSection = "Palette";
constexpr QSize kButtonSize(26, 25);

QIcon KindIcon(const QPixmap *glyph)
{
    return glyph && !glyph->isNull() ? QIcon(*glyph) : QIcon();
}
} // namespace

TPaletteForm::TPaletteForm(QWidget *parent)
    : QWidget(parent), m_tabs(new QTabWidget(this)), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("PaletteForm"));
    setWindowTitle(QStringLiteral("Plug-Ins"));
    m_tabs->setObjectName(QStringLiteral("PlugInPageControl"));
    m_tabs->setTabPosition(QTabWidget::East);
    m_tabs->setDocumentMode(true);
    // Room for a row of buttons even before the plug-ins are in.
    setMinimumWidth(150);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    QAction *hideShow = m_menu->addAction(QStringLiteral("Hide/Show Plug-ins"));
    hideShow->setObjectName(QStringLiteral("HideShowPlugIns"));
    connect(hideShow, &QAction::triggered, this, &TPaletteForm::HideShowRequested);
    // Another tab means another set of kinds: the choice goes.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_filling)
            return;
        Reset();
        emit PageChanged(index);
    });
}

TPaletteForm::~TPaletteForm()
{
    if (m_chosen)
        QGuiApplication::restoreOverrideCursor();
}

void TPaletteForm::Clear()
{
    Reset();
    while (m_tabs->count() > 0) {
        QWidget *page = m_tabs->widget(0);
        m_tabs->removeTab(0);
        delete page;
    }
    m_groups.clear();
    m_kinds.clear();
}

int TPaletteForm::FindGroup(const QString &name) const
{
    for (int i = 0; i < m_groups.size(); ++i)
        if (m_groups.at(i).Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TPaletteForm::AddGroup(const QString &name)
{
    // The bar stands at the top of its tab, however tall the palette is made.
    auto *page = new QWidget(m_tabs);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(2, 2, 2, 2);
    auto *bar = new QToolBar(page);
    column->addWidget(bar);
    column->addStretch(1);
    bar->setObjectName(QStringLiteral("PaletteToolBar") + name);
    bar->setIconSize(kButtonSize - QSize(6, 6));
    bar->setMovable(false);
    auto *buttons = new QButtonGroup(bar);
    buttons->setExclusive(true);
    auto *selection = new QToolButton(bar);
    selection->setObjectName(QStringLiteral("ElementSelection"));
    selection->setCheckable(true);
    selection->setChecked(true);
    selection->setAutoRaise(true);
    selection->setFixedSize(kButtonSize);
    selection->setIcon(QIcon::fromTheme(QStringLiteral("edit-select"),
                                        QIcon(QStringLiteral(":/icons/element-selection.svg"))));
    selection->setToolTip(QStringLiteral("Element Selection"));
    bar->addWidget(selection);
    buttons->addButton(selection, 0);
    connect(buttons, &QButtonGroup::idClicked, this, [this](int kind) {
        Choose(kind);
        emit KindChoiceChanged(kind);
    });
    m_groups.append({name, bar, buttons, selection});
    // Kinds of no group gather on a tab that still needs a caption to be found.
    const int index = m_tabs->addTab(page, name.isEmpty() ? QStringLiteral("Other") : name);
    m_tabs->setTabVisible(index,
                          INIReadBool(GlobalAppINI, QString::fromLatin1(kSection), name, true));
    return index;
}

void TPaletteForm::Fill(const TPlugIns &plugIns)
{
    m_filling = true;
    Clear();
    for (const auto &plugIn : plugIns.List()) {
        TBasePgCtrl *prototype = plugIn->Instance();
        const int kind = plugIn->Kind();
        const QString group = prototype ? prototype->GetPlugInPaletteGroupName() : QString();
        QString name = prototype ? prototype->GetPlugInHint() : QString();
        if (name.isEmpty())
            name = plugIn->Hint().isEmpty() ? plugIn->ClassName() : plugIn->Hint();
        int index = FindGroup(group);
        if (index < 0)
            index = AddGroup(group);
        const TGroup &g = m_groups.at(index);
        auto *button = new QToolButton(g.Bar);
        button->setObjectName(QStringLiteral("Kind%1").arg(kind));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setFixedSize(kButtonSize);
        button->setIcon(KindIcon(plugIn->PaletteImage()));
        if (button->icon().isNull())
            button->setText(name.left(2));
        button->setToolTip(name);
        QAction *action = g.Bar->addWidget(button);
        action->setVisible(INIReadBool(GlobalAppINI, QString::fromLatin1(kSection), name, true));
        g.Buttons->addButton(button, kind);
        m_kinds.append({kind, g.Name, name, button, action});
    }
    // The first tab that shows.
    for (int i = 0; i < m_tabs->count(); ++i)
        if (m_tabs->isTabVisible(i)) {
            m_tabs->setCurrentIndex(i);
            break;
        }
    m_filling = false;
}

void TPaletteForm::Choose(int kind)
{
    const bool was = m_chosen != 0;
    m_chosen = kind;
    if (kind && !was)
        QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    else if (!kind && was)
        QGuiApplication::restoreOverrideCursor();
}

void TPaletteForm::Reset()
{
    Choose(0);
    for (const TGroup &g : std::as_const(m_groups))
        g.Selection->setChecked(true);
}

void TPaletteForm::ReplaceGlyph(int kind)
{
    const TKindButton *entry = FindKind(kind);
    const TPlugIn *plugIn = nullptr;
    if (entry && GlobalPlugIns && (plugIn = GlobalPlugIns->PlugIn(kind)))
        entry->Button->setIcon(KindIcon(plugIn->PaletteImage()));
}

const TPaletteForm::TKindButton *TPaletteForm::FindKind(int kind) const
{
    for (const TKindButton &entry : m_kinds)
        if (entry.Kind == kind)
            return &entry;
    return nullptr;
}

QToolButton *TPaletteForm::KindButton(int kind) const
{
    if (kind == 0) {
        const int index = m_tabs->currentIndex();
        return index >= 0 && index < m_groups.size() ? m_groups.at(index).Selection : nullptr;
    }
    const TKindButton *entry = FindKind(kind);
    return entry ? entry->Button : nullptr;
}

int TPaletteForm::GroupCount() const
{
    return int(m_groups.size());
}

QString TPaletteForm::GroupName(int group) const
{
    return m_groups.value(group).Name;
}

bool TPaletteForm::GroupVisible(int group) const
{
    return m_tabs->isTabVisible(group);
}

void TPaletteForm::SetGroupVisible(int group, bool visible)
{
    if (group < 0 || group >= m_groups.size())
        return;
    m_tabs->setTabVisible(group, visible);
    if (visible)
        m_tabs->setCurrentIndex(group);
}

QList<int> TPaletteForm::GroupKinds(int group) const
{
    QList<int> kinds;
    for (const TKindButton &entry : m_kinds)
        if (entry.Group == GroupName(group))
            kinds.append(entry.Kind);
    return kinds;
}

QString TPaletteForm::KindName(int kind) const
{
    const TKindButton *entry = FindKind(kind);
    return entry ? entry->Name : QString();
}

bool TPaletteForm::KindVisible(int kind) const
{
    const TKindButton *entry = FindKind(kind);
    return entry && entry->Action->isVisible();
}

void TPaletteForm::SetKindVisible(int kind, bool visible)
{
    const TKindButton *entry = FindKind(kind);
    if (!entry)
        return;
    entry->Action->setVisible(visible);
    const int group = FindGroup(entry->Group);
    if (visible && !GroupVisible(group))
        SetGroupVisible(group, true);
}

void TPaletteForm::StoreVisibility() const
{
    const QString section = QString::fromLatin1(kSection);
    for (int i = 0; i < m_groups.size(); ++i)
        INIWriteBool(GlobalAppINI, section, GroupName(i), GroupVisible(i));
    for (const TKindButton &entry : m_kinds)
        INIWriteBool(GlobalAppINI, section, entry.Name, entry.Action->isVisible());
}

void TPaletteForm::contextMenuEvent(QContextMenuEvent *event)
{
    m_menu->popup(event->globalPos());
}
