#include "CComboInPlaceEdit.h"

#include "CCombo.h"
#include "CComboInPlaceButton.h"
#include "CComboInPlaceList.h"
#include "CComponent.h"
#include "CGlobal.h"

TComboInPlaceEdit::TComboInPlaceEdit(TCustomCombo *owner, const TBaseRTEditFocusCtrlParamss &params)
    : TBaseRTEditFocusCtrl(owner, params, false),
      m_list(CreateComponent<TComboInPlaceList>(nullptr)), m_button(new TComboInPlaceButton(this))
{
    m_list->hide();
    m_list->setFocusPolicy(Qt::NoFocus);
}

TComboInPlaceEdit::~TComboInPlaceEdit()
{
    // Parented to the page while dropped, so the page may have taken it already.
    delete m_list.data();
}

TCustomCombo *TComboInPlaceEdit::Combo() const
{
    return qobject_cast<TCustomCombo *>(OwnerElement());
}

bool TComboInPlaceEdit::Dropped() const
{
    // Hidden, not invisible: the page may sit in a window that is not shown.
    return m_list && m_list->parentWidget() && !m_list->isHidden();
}

int TComboInPlaceEdit::BtnInc() const
{
    const TCustomCombo *combo = Combo();
    if (!combo || combo->ComboButtonProps()->ButtonPosition() != bsOutside
        || combo->ComboButtonProps()->ButtonAlwaysDisplay())
        return 0;
    return Scaled(combo->ButtonWidth());
}

void TComboInPlaceEdit::DropDown()
{
    TCustomCombo *combo = Combo();
    if (!combo || !m_list || Dropped())
        return;
    m_list->Assign(combo, this);
    // Nothing to choose from: no empty box to open.
    if (m_list->ItemCount() == 0)
        return;
    m_list->Drop(combo, BtnInc());
    m_list->SetItemIndex(m_list->FindItem(combo->Text()));
}

void TComboInPlaceEdit::RollUp()
{
    if (!Dropped())
        return;
    m_list->hide();
    m_list->setParent(nullptr);
}

void TComboInPlaceEdit::SetDown(bool down)
{
    if (down)
        DropDown();
    else
        RollUp();
}

void TComboInPlaceEdit::SelectListItem(int index, bool close)
{
    TCustomCombo *combo = Combo();
    if (!combo || !m_list || index < 0 || index >= m_list->ItemCount())
        return;
    const QString item = m_list->Items().at(index);
    if (combo->Text() != item && !ReplaceTextChecked(item))
        return;
    SelectAll();
    m_list->SetItemIndex(index);
    if (close)
        RollUp();
    GlobalMadeChange();
}

void TComboInPlaceEdit::MoveItem(int delta)
{
    if (!m_list || m_list->ItemCount() == 0)
        return;
    const int from = m_list->ItemIndex() < 0 && delta > 0 ? -1 : m_list->ItemIndex();
    m_list->SetItemIndex(qBound(0, from + delta, m_list->ItemCount() - 1));
}

bool TComboInPlaceEdit::ValidText(const QString &text) const
{
    const TCustomCombo *combo = Combo();
    if (!combo || combo->ListType() != ctDropDownList || text.isEmpty())
        return true;
    const QStringList items = combo->ComboListProps()->Items();
    return GlobalStrInList(text, QString(), &items) >= 0;
}

QRect TComboInPlaceEdit::CalcInPlaceEditArea(bool withBars) const
{
    return TBaseRTEditFocusCtrl::CalcInPlaceEditArea(withBars).adjusted(0, 0, BtnInc(), 0);
}

void TComboInPlaceEdit::OwnerResized()
{
    TBaseRTEditFocusCtrl::OwnerResized();
    if (const TCustomCombo *combo = Combo())
        m_button->setGeometry(combo->ButtonRect().translated(combo->pos() - pos()));
    m_button->show();
}

void TComboInPlaceEdit::GetContextMenuState(TContextMenuState &state) const
{
    TBaseRTEditFocusCtrl::GetContextMenuState(state);
    // Only an item may stand in a list-only box; edits would lead elsewhere.
    if (const TCustomCombo *combo = Combo(); combo && combo->ListType() == ctDropDownList)
        state = TContextMenuState();
}

void TComboInPlaceEdit::KeyDown(int &key, Qt::KeyboardModifiers shift)
{
    const bool alt = shift.testFlag(Qt::AltModifier);
    if (key == Qt::Key_F4 || (alt && (key == Qt::Key_Down || key == Qt::Key_Up))) {
        SetDown(!Dropped());
        key = 0;
        return;
    }
    if (Dropped()) {
        // At least one row further, even in a one-row list.
        const int page = qMax(1, m_list->VisibleRows() - 1);
        switch (key) {
        case Qt::Key_Up:
            MoveItem(-1);
            break;
        case Qt::Key_Down:
            MoveItem(1);
            break;
        case Qt::Key_PageUp:
            MoveItem(-page);
            break;
        case Qt::Key_PageDown:
            MoveItem(page);
            break;
        case Qt::Key_Home:
            m_list->SetItemIndex(0);
            break;
        case Qt::Key_End:
            m_list->SetItemIndex(m_list->ItemCount() - 1);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_list->ItemIndex() >= 0)
                SelectListItem(m_list->ItemIndex(), true);
            else
                RollUp();
            break;
        case Qt::Key_Escape:
            RollUp();
            break;
        default:
            TBaseRTEditFocusCtrl::KeyDown(key, shift);
            return;
        }
        key = 0;
        return;
    }
    TBaseRTEditFocusCtrl::KeyDown(key, shift);
}

void TComboInPlaceEdit::KeyPress(QChar &key)
{
    const TCustomCombo *combo = Combo();
    const QString before = combo ? combo->Text() : QString();
    TBaseRTEditFocusCtrl::KeyPress(key);
    if (Combo())
        AutoComplete(before);
}

void TComboInPlaceEdit::AutoComplete(const QString &before)
{
    TCustomCombo *combo = Combo();
    const QString typed = combo->Text();
    if (typed == before)
        return;
    const QStringList items = combo->ComboListProps()->Items();
    const int index = GlobalStrInList(typed, QString(), &items);
    if (Dropped())
        m_list->SetItemIndex(index);
    if (index < 0 || ListIdxToStrIdx(Caret()) != typed.size() + 1)
        return;
    const QString item = items.at(index);
    if (item == typed || !item.startsWith(typed, Qt::CaseInsensitive))
        return;
    if (!ReplaceTextChecked(item))
        return;
    // The completed part stays selected, so the next key types over it.
    const int from = StrIdxToListIdx(int(typed.size()) + 1);
    SetCharPos(StrIdxToListIdx(int(item.size()) + 1));
    combo->SetSelStart(from);
    combo->SetSelLength(Caret() - from);
    combo->update();
}

void TComboInPlaceEdit::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                  const QPoint &point)
{
    if (button == Qt::LeftButton) {
        const TCustomCombo *combo = Combo();
        if (Dropped())
            RollUp();
        else if (combo && combo->ListType() == ctDropDownList
                 && combo->rect().contains(ToOwner(point)))
            DropDown();
    }
    TBaseRTEditFocusCtrl::MouseDown(button, shift, point);
}

void TComboInPlaceEdit::DoExit()
{
    RollUp();
    // The letter case follows the item, whatever was typed.
    if (TCustomCombo *combo = Combo(); combo && combo->Editor() == this
        && combo->ListType() == ctDropDownList && !combo->Text().isEmpty()) {
        const QStringList items = combo->ComboListProps()->Items();
        const int index = GlobalStrInList(combo->Text(), QString(), &items);
        if (index >= 0 && items.at(index) != combo->Text())
            combo->SetText(items.at(index));
    }
    TBaseRTEditFocusCtrl::DoExit();
}
