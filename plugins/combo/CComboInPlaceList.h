#pragma once
// The combo box's list settings, and the drop-down list itself: a form
// element laid out by the text engine, so its rows look exactly like the
// element's text at any zoom. Only the visible rows are laid out, so a long
// list opens as fast as a short one.

#include "CBasePgCtrl.h"
#include "CComboTypes.h"
#include "CPropGroups.h"

#include <QPointer>

class QScrollBar;
class TCustomCombo;
class TComboInPlaceEdit;

class TComboInPlaceListBorderPropGroup : public TPropGroupBorder
{
    Q_OBJECT
public:
    using TPropGroupBorder::TPropGroupBorder;
    bool PropUsed(const QString &name) const override;
};

class TComboInPlaceListCharPropGroup : public TPropGroupCharacter
{
    Q_OBJECT
public:
    using TPropGroupCharacter::TPropGroupCharacter;
};

class TComboInPlaceListFillPropGroup : public TPropGroupFill
{
    Q_OBJECT
    Q_CLASSINFO("Default:FillColor", "clWhite")
public:
    explicit TComboInPlaceListFillPropGroup(QObject *owner);
    bool PropUsed(const QString &name) const override;
};

class TComboInPlaceListPadPropGroup : public TPropGroupPad
{
    Q_OBJECT
public:
    using TPropGroupPad::TPropGroupPad;
};

class TComboPropGroupList : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(bool ListAutoDrop READ ListAutoDrop WRITE SetListAutoDrop)
    Q_CLASSINFO("Default:ListAutoDrop", "false")
    Q_PROPERTY(TPropGroupBorder *ListBorderProps READ ListBorderProps)
    Q_PROPERTY(TPropGroupCharacter *ListCharacterProps READ ListCharacterProps)
    Q_PROPERTY(int ListDropRows READ ListDropRows WRITE SetListDropRows)
    Q_CLASSINFO("Default:ListDropRows", "8")
    Q_PROPERTY(TPropGroupFill *ListFillProps READ ListFillProps)
    Q_PROPERTY(QString ListItems READ ListItems WRITE SetListItems)
    Q_PROPERTY(TPropGroupPad *ListPadProps READ ListPadProps)
    Q_PROPERTY(bool ListSorted READ ListSorted WRITE SetListSorted)
    Q_CLASSINFO("Default:ListSorted", "false")
    Q_PROPERTY(VeloraComboEnums::TComboType ListType READ ListType WRITE SetListType)
    Q_CLASSINFO("Default:ListType", "ctDropDown")

public:
    static constexpr int ItemsChanged = 1;
    static constexpr int TypeChanged = 2;
    static constexpr int SortedChanged = 3;
    static constexpr int DropRowsChanged = 4;
    static constexpr int AutoDropChanged = 5;

    explicit TComboPropGroupList(TCustomCombo *owner);

    bool ListAutoDrop() const { return m_autoDrop; }
    void SetListAutoDrop(bool value) { Change(m_autoDrop, value, AutoDropChanged); }
    TPropGroupBorder *ListBorderProps() const { return m_border; }
    TPropGroupCharacter *ListCharacterProps() const { return m_character; }
    TPropGroupFill *ListFillProps() const { return m_fill; }
    TPropGroupPad *ListPadProps() const { return m_pad; }
    // Never below 1: a list with no rows could not be used (files may hold 0).
    int ListDropRows() const { return m_dropRows; }
    void SetListDropRows(int value) { Change(m_dropRows, qMax(1, value), DropRowsChanged); }
    // One item per line, CR LF; ";" also separates items as they are typed.
    QString ListItems() const { return m_items; }
    void SetListItems(const QString &value);
    bool ListSorted() const { return m_sorted; }
    void SetListSorted(bool value) { Change(m_sorted, value, SortedChanged); }
    TComboType ListType() const { return m_type; }
    void SetListType(TComboType value) { Change(m_type, value, TypeChanged); }

    // The items as the list shows them: split, and sorted when asked.
    QStringList Items() const;
    // Addresses handed out by the element's GetData.
    QString *ItemsField() { return &m_items; }
    int *DropRowsField() { return &m_dropRows; }
    TComboType *TypeField() { return &m_type; }

protected:
    void PropertyChanged(int code) override;

private:
    TCustomCombo *m_combo;
    bool m_autoDrop = false;
    int m_dropRows = 8;
    QString m_items;
    bool m_sorted = false;
    TComboType m_type = ctDropDown;
    TComboInPlaceListBorderPropGroup *m_border; // Qt child
    TComboInPlaceListCharPropGroup *m_character; // Qt child
    TComboInPlaceListFillPropGroup *m_fill; // Qt child
    TComboInPlaceListPadPropGroup *m_pad; // Qt child
};

class TComboInPlaceList : public TVisualPgCtrl
{
    Q_OBJECT

public:
    explicit TComboInPlaceList(TComponent *owner);

    // Takes the items and the look of the combo; the current item is cleared.
    void Assign(TCustomCombo *combo, TComboInPlaceEdit *editor);

    const QStringList &Items() const { return m_items; }
    int ItemCount() const { return int(m_items.size()); }
    // -1 for none.
    int ItemIndex() const { return m_itemIndex; }
    // Clamped to the list (or -1); the visible rows follow it.
    void SetItemIndex(int index);
    int VisibleRows() const { return m_visibleRows; }
    int FirstVisibleItem() const { return m_firstVisible; }
    void SetFirstVisibleItem(int first);
    // Index of the item under a point of this element, or -1.
    int ItemIndexFromPos(const QPoint &point);
    int FindItem(const QString &text) const;
    QScrollBar *ScrollBar() const { return m_scrollBar; }
    // Sizes and places the list under (or above) the combo on its page and shows it.
    void Drop(TCustomCombo *combo, int extraWidth);
    // Screen pixels of one row at the page's zoom.
    int RowHeight() const { return m_rowHeight; }

    bool CanFocus() const override { return false; }
    void DoPaint(const QRect &rect, QPainter &canvas, bool onScreen) override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // Lays out the visible rows only.
    void LayOutRows();
    // The band of a visible row (1 = the first shown), element coordinates.
    QRect RowRect(const QRect &rect, int row) const;

    QPointer<TComboInPlaceEdit> m_editor;
    QStringList m_items;
    int m_itemIndex = -1;
    int m_visibleRows = 1;
    int m_firstVisible = 0;
    int m_rowHeight = 0;
    // The engine's line pitch on screen, fractional so that many rows add up.
    Extended m_rowPitch = 1;
    int m_scrollBarWidth = 0;
    QScrollBar *m_scrollBar; // Qt child
};
