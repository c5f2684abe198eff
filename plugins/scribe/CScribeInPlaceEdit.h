#pragma once
// The text box's in-place editor: the shared editor with scroll bars that
// remember their place in the element, and no way to copy a password out.

#include "CBaseRTEditFocusCtrl.h"

class TCustomScribe;

class TScribeInPlaceEdit : public TBaseRTEditFocusCtrl
{
    Q_OBJECT

public:
    // Help topic of the editor.
    int HelpContext() const { return 25; }

    TScribeInPlaceEdit(TCustomScribe *owner, const TBaseRTEditFocusCtrlParamss &params,
                       bool createScrollBars);

    void HorzScrollBarChange() override;
    void VertScrollBarChange() override;
    void GetContextMenuState(TContextMenuState &state) const override;
    void CopyClick() override;
    void CutClick() override;

private:
    // Null once the element is gone.
    TCustomScribe *Scribe() const;
    bool IsPassword() const;
};
