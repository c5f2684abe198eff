#include "CPropGroupsNumber.h"

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPropGroupOwner.h"

TPropGroupNumberPadding::TPropGroupNumberPadding(QObject *owner, TPropGroupNumber *number)
    : TPropGroup(owner), m_number(number)
{ }

TZeroPad TPropGroupNumberPadding::NumberPadding() const
{
    return m_number->NumberZeroPad();
}

void TPropGroupNumberPadding::SetNumberPadding(TZeroPad value)
{
    m_number->SetNumberZeroPad(value);
}

void TPropGroupNumberPadding::SetNumberPaddingWidth(int value)
{
    if (value == m_width)
        return;
    m_width = value;
    m_number->PropChanged(8);
}

int TPropGroupNumberPadding::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {{"NumberPadding", 161}, {"NumberPaddingWidth", 206}};
    return GetHlpCtx(name, table);
}

// ---------------------------------------------------------------------------

TPropGroupNumber::TPropGroupNumber(QObject *owner)
    : TPropGroup(owner), m_padding(new TPropGroupNumberPadding(owner, this))
{
    m_padding->setParent(this);
}

int TPropGroupNumber::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[]
        = {{"NumberDecPlaces", 104},        {"NumberDisplayZero", 114},  {"NumberMaxValue", 149},
           {"NumberMinValue", 149},         {"NumberNumericsOnly", 157}, {"NumberZeroPad", 161},
           {"NumberSeparateThousands", 179}};
    if (const int topic = GetHlpCtx(name, table))
        return topic;
    return m_padding->HlpCtx(name);
}

void TPropGroupNumber::PropertyChanged(int code)
{
    const bool value = code == 1 || code == 3 || code == 4 || code == 7 || code == 8;
    if (code == 5 || (m_numericsOnly && value))
        Recalculate();
    else if (m_numericsOnly && (code == 2 || code == 6))
        if (TPropGroupOwner *element = Element())
            element->PropGroupRelayout(true);
    TPropGroup::PropertyChanged(code);
}

void TPropGroupNumber::Recalculate()
{
    // A document being read is calculated once it is all there.
    if (OwnerLoading() || GlobalLoadingProject)
        return;
    GlobalNotifyCtrls(VRMSGCalcReset, 1, 0, true);
    GlobalNotifyCtrls(VRMSGCalcUpdate, 0, 0, true);
    if (auto *element = qobject_cast<TVisualPgCtrl *>(Owner()))
        element->TextChanged();
}
