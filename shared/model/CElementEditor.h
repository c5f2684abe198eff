#pragma once
// What an element asks of the in-place editor it made while it has the focus.
// The run-time focus controls implement it; the element knows nothing more of
// them, so the model does not depend on the editing controls built on it.

class TElementEditor
{
public:
    virtual ~TElementEditor() = default;
    // The element moved, changed size or changed its edit area.
    virtual void OwnerResized() = 0;
    // Selects the element's whole text.
    virtual void SelectAll() = 0;
    // The element's text changed and its layout was rebuilt: show it again.
    virtual void OwnerTextChanged() = 0;
};
