#pragma once
// The combo box's in-place editor: the shared editor with the drop-down
// button and list, the list keys, and auto-completion from the items.

#include "CBaseRTEditFocusCtrl.h"

#include <QPointer>

class TCustomCombo;
class TComboInPlaceList;
class TComboInPlaceButton;

class TComboInPlaceEdit : public TBaseRTEditFocusCtrl
{
    Q_OBJECT

public:
    int HelpContext() const { return 21; }

    TComboInPlaceEdit(TCustomCombo *owner, const TBaseRTEditFocusCtrlParamss &params);
    ~TComboInPlaceEdit() override;

    TComboInPlaceList *List() const { return m_list; }
    TComboInPlaceButton *Button() const { return m_button; }
    bool Dropped() const;
    void DropDown();
    void RollUp();
    void SetDown(bool down);
    void SelectListItem(int index, bool close);
    // Extra width of an outside button that only the editor shows.
    int BtnInc() const;

    bool ValidText(const QString &text) const override;
    QRect CalcInPlaceEditArea(bool withBars) const override;
    void GetContextMenuState(TContextMenuState &state) const override;
    void OwnerResized() override;

protected:
    void KeyDown(int &key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar &key) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                   const QPoint &point) override;
    void DoExit() override;

private:
    TCustomCombo *Combo() const;
    void MoveItem(int delta);
    void AutoComplete(const QString &before);

    QPointer<TComboInPlaceList> m_list; // deleted with the editor
    TComboInPlaceButton *m_button; // Qt child
};
