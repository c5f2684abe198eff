#pragma once
// The palette: one tab per element group, a check-style button per kind and an
// "Element Selection" button first on every tab. Choosing a kind arms the page
// designer; the next band drawn on the page places an element of it. Which tabs
// and buttons show is stored in the settings file, section "Palette".

#include <QList>
#include <QWidget>

class QAction;
class QButtonGroup;
class QMenu;
class QTabWidget;
class QToolBar;
class QToolButton;
class TPlugIns;

class TPaletteForm : public QWidget
{
    Q_OBJECT
public:
    explicit TPaletteForm(QWidget *parent = nullptr);
    ~TPaletteForm() override;

    // A tab per group and a button per kind of the registry, visibility from the settings.
    void Fill(const TPlugIns &plugIns);
    // The chosen kind, 0 while "Element Selection" is down.
    int ChosenKind() const { return m_chosen; }
    bool KindChosen() const { return m_chosen != 0; }
    // "Element Selection" down again, the default cursor back.
    void Reset();
    // The button of the kind shows the registry's current glyph.
    void ReplaceGlyph(int kind);
    QTabWidget *PlugInPageControl() const { return m_tabs; }
    // The button of a kind, 0 for the active tab's "Element Selection"; null when none.
    QToolButton *KindButton(int kind) const;
    // Group tabs and kind buttons, visible or not, for the visibility dialog.
    int GroupCount() const;
    QString GroupName(int group) const;
    bool GroupVisible(int group) const;
    void SetGroupVisible(int group, bool visible);
    QList<int> GroupKinds(int group) const;
    QString KindName(int kind) const;
    bool KindVisible(int kind) const;
    // Showing a kind whose tab is hidden shows and activates the tab.
    void SetKindVisible(int kind, bool visible);
    // Writes every group's and kind's visibility to the settings.
    void StoreVisibility() const;

signals:
    // A kind was chosen (0: the choice was cleared by the user).
    void KindChoiceChanged(int kind);
    // The user took another tab.
    void PageChanged(int index);
    // "Hide/Show Plug-ins" was chosen from the palette's menu.
    void HideShowRequested();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    struct TGroup
    {
        QString Name;
        QToolBar *Bar;
        QButtonGroup *Buttons;
        QToolButton *Selection;
    };
    struct TKindButton
    {
        int Kind;
        QString Group;
        QString Name;
        QToolButton *Button;
        QAction *Action;
    };
    int FindGroup(const QString &name) const;
    int AddGroup(const QString &name);
    const TKindButton *FindKind(int kind) const;
    void Choose(int kind);
    void Clear();

    QTabWidget *m_tabs;
    QMenu *m_menu;
    QList<TGroup> m_groups;
    QList<TKindButton> m_kinds;
    int m_chosen = 0;
    bool m_filling = false;
};
