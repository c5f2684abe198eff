#include "CScribeInPlaceEdit.h"

#include "CDialogService.h"
#include "CScribe.h"

#include <QScrollBar>

TScribeInPlaceEdit::TScribeInPlaceEdit(TCustomScribe *owner,
                                       const TBaseRTEditFocusCtrlParamss &params,
                                       bool createScrollBars)
    : TBaseRTEditFocusCtrl(owner, params, createScrollBars)
{ }

TCustomScribe *TScribeInPlaceEdit::Scribe() const
{
    return qobject_cast<TCustomScribe *>(OwnerElement());
}

bool TScribeInPlaceEdit::IsPassword() const
{
    const TCustomScribe *scribe = Scribe();
    return scribe && scribe->Password();
}

void TScribeInPlaceEdit::HorzScrollBarChange()
{
    TCustomScribe *scribe = Scribe();
    if (!scribe || !HorzScrollBar())
        return;
    scribe->SetHorzScrollPos(HorzScrollBar()->value());
    // The element draws the text beneath this control.
    scribe->update();
    PaintBkGnd();
}

void TScribeInPlaceEdit::VertScrollBarChange()
{
    TCustomScribe *scribe = Scribe();
    if (!scribe || !VertScrollBar())
        return;
    scribe->SetVertScrollPos(VertScrollBar()->value());
    scribe->update();
    PaintBkGnd();
}

void TScribeInPlaceEdit::GetContextMenuState(TContextMenuState &state) const
{
    TBaseRTEditFocusCtrl::GetContextMenuState(state);
    if (IsPassword()) {
        state.Cut = false;
        state.Copy = false;
    }
}

// The selection of a password box is the clear text: the keyboard must not
// copy what the menu refuses to.
void TScribeInPlaceEdit::CopyClick()
{
    if (IsPassword()) {
        DialogService().Beep();
        return;
    }
    TBaseRTEditFocusCtrl::CopyClick();
}

void TScribeInPlaceEdit::CutClick()
{
    if (IsPassword()) {
        DialogService().Beep();
        return;
    }
    TBaseRTEditFocusCtrl::CutClick();
}
