#pragma once
// What a property group asks of the element that owns it when a value changes.
// Owners that are not elements (page settings) answer nothing; groups then
// only report their change code.

#include <QString>

class TPropGroupOwner
{
public:
    virtual ~TPropGroupOwner() = default;

    virtual void PropGroupRepaint() = 0;
    // Lays the text out again (BuildWYSIWYGInf(true, repaint)).
    virtual void PropGroupRelayout(bool repaint) = 0;
    // The character group changed colour, font name, size or style.
    virtual void PropGroupFontChanged() = 0;
    virtual bool PropGroupIsFixedStyle() const = 0;

    virtual QString PropGroupText() const = 0;
    virtual void PropGroupSetText(const QString &text) = 0;
    virtual QString PropGroupHint() const = 0;
    virtual void PropGroupSetHint(const QString &hint) = 0;

    virtual void PropGroupReadOnlyChanged() = 0;
    virtual void PropGroupRequiredChanged() = 0;
    // A millimetre value of the position-and-size group changed (code 1 to 4).
    virtual void PropGroupPosSizeChanged(int code) = 0;
};
