#pragma once
// The number group of numeric elements: how a number is shown (decimals,
// thousands, zero padding, zero for an empty text) and which values the
// element accepts (numerics only, minimum and maximum).

#include "CPropGroups.h"

namespace VeloraNumberEnums {
Q_NAMESPACE

// Where zeros are added to reach the padding width.
enum TZeroPad { zpNone, zpLeft, zpRight };
Q_ENUM_NS(TZeroPad)

} // namespace VeloraNumberEnums

using namespace VeloraNumberEnums;

class TPropGroupNumber;

// Zero padding: the mode is the number group's own NumberZeroPad, so both
// identifiers are streamed with the same value.
class TPropGroupNumberPadding : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(VeloraNumberEnums::TZeroPad NumberPadding READ NumberPadding WRITE SetNumberPadding)
    Q_CLASSINFO("Default:NumberPadding", "zpNone")
    Q_PROPERTY(int NumberPaddingWidth READ NumberPaddingWidth WRITE SetNumberPaddingWidth)
    Q_CLASSINFO("Default:NumberPaddingWidth", "0")

public:
    // Reports go to the element through the number group.
    TPropGroupNumberPadding(QObject *owner, TPropGroupNumber *number);

    TZeroPad NumberPadding() const;
    void SetNumberPadding(TZeroPad value);
    int NumberPaddingWidth() const { return m_width; }
    void SetNumberPaddingWidth(int value);

    int HlpCtx(const QString &name) const override;

private:
    TPropGroupNumber *m_number;
    int m_width = 0;
};

class TPropGroupNumber : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(int NumberDecPlaces READ NumberDecPlaces WRITE SetNumberDecPlaces)
    Q_CLASSINFO("Default:NumberDecPlaces", "2")
    Q_PROPERTY(bool NumberDisplayZero READ NumberDisplayZero WRITE SetNumberDisplayZero)
    Q_CLASSINFO("Default:NumberDisplayZero", "true")
    Q_PROPERTY(Extended NumberMaxValue READ NumberMaxValue WRITE SetNumberMaxValue)
    Q_PROPERTY(Extended NumberMinValue READ NumberMinValue WRITE SetNumberMinValue)
    Q_PROPERTY(bool NumberNumericsOnly READ NumberNumericsOnly WRITE SetNumberNumericsOnly)
    Q_CLASSINFO("Default:NumberNumericsOnly", "false")
    Q_PROPERTY(TPropGroupNumberPadding *NumberPaddingProps READ NumberPaddingProps)
    Q_PROPERTY(
        bool NumberSeparateThousands READ NumberSeparateThousands WRITE SetNumberSeparateThousands)
    Q_CLASSINFO("Default:NumberSeparateThousands", "false")
    Q_PROPERTY(VeloraNumberEnums::TZeroPad NumberZeroPad READ NumberZeroPad WRITE SetNumberZeroPad)
    Q_CLASSINFO("Default:NumberZeroPad", "zpNone")

public:
    explicit TPropGroupNumber(QObject *owner);

    int NumberDecPlaces() const { return m_decPlaces; }
    void SetNumberDecPlaces(int value) { Change(m_decPlaces, value, 1); }
    bool NumberDisplayZero() const { return m_displayZero; }
    void SetNumberDisplayZero(bool value) { Change(m_displayZero, value, 2); }
    // Limits are kept as entered; both 0 means no range.
    Extended NumberMaxValue() const { return m_maxValue; }
    void SetNumberMaxValue(Extended value) { Change(m_maxValue, value, 3); }
    Extended NumberMinValue() const { return m_minValue; }
    void SetNumberMinValue(Extended value) { Change(m_minValue, value, 4); }
    bool NumberNumericsOnly() const { return m_numericsOnly; }
    void SetNumberNumericsOnly(bool value) { Change(m_numericsOnly, value, 5); }
    TPropGroupNumberPadding *NumberPaddingProps() const { return m_padding; }
    bool NumberSeparateThousands() const { return m_separateThousands; }
    void SetNumberSeparateThousands(bool value) { Change(m_separateThousands, value, 6); }
    TZeroPad NumberZeroPad() const { return m_zeroPad; }
    void SetNumberZeroPad(TZeroPad value) { Change(m_zeroPad, value, 7); }

    bool RangeSet() const { return m_minValue != 0 || m_maxValue != 0; }

    int HlpCtx(const QString &name) const override;

protected:
    void PropertyChanged(int code) override;

private:
    // Calculations that read this element start over, and the element shows the new form.
    void Recalculate();

    TPropGroupNumberPadding *m_padding;
    int m_decPlaces = 2;
    bool m_displayZero = true;
    Extended m_maxValue = 0;
    Extended m_minValue = 0;
    bool m_numericsOnly = false;
    bool m_separateThousands = false;
    TZeroPad m_zeroPad = zpNone;
};
