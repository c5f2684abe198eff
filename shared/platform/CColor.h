#pragma once
// Colours as documents store them: a 32-bit value 0x00BBGGRR, with the named
// constants written as identifiers. Values with the high bit set name a
// system colour (its index in the low byte).

#include <QColor>
#include <QMetaType>
#include <QString>
#include <cstdint>

struct TColor
{
    std::int32_t Value = 0;

    constexpr TColor() = default;
    constexpr explicit TColor(std::int32_t value) : Value(value) { }
    constexpr bool operator==(const TColor &) const = default;

    static constexpr TColor FromRGB(int r, int g, int b)
    {
        return TColor(std::int32_t((b & 0xFF) << 16 | (g & 0xFF) << 8 | (r & 0xFF)));
    }
    constexpr bool IsSystem() const { return Value < 0; }
};
Q_DECLARE_METATYPE(TColor)

constexpr std::int32_t SysColor(int index)
{
    return std::int32_t(0x80000000u | unsigned(index));
}

inline constexpr TColor clBlack {0x000000}, clMaroon {0x000080}, clGreen {0x008000},
    clOlive {0x008080}, clNavy {0x800000}, clPurple {0x800080}, clTeal {0x808000},
    clGray {0x808080}, clSilver {0xC0C0C0}, clRed {0x0000FF}, clLime {0x00FF00},
    clYellow {0x00FFFF}, clBlue {0xFF0000}, clFuchsia {0xFF00FF}, clAqua {0xFFFF00},
    clWhite {0xFFFFFF}, clMoneyGreen {0xC0DCC0}, clSkyBlue {0xF0CAA6}, clCream {0xF0FBFF},
    clMedGray {0xA4A0A0}, clNone {0x1FFFFFFF}, clDefault {0x20000000};

inline constexpr TColor clScrollBar {SysColor(0)}, clBackground {SysColor(1)},
    clActiveCaption {SysColor(2)}, clInactiveCaption {SysColor(3)}, clMenu {SysColor(4)},
    clWindow {SysColor(5)}, clWindowFrame {SysColor(6)}, clMenuText {SysColor(7)},
    clWindowText {SysColor(8)}, clCaptionText {SysColor(9)}, clActiveBorder {SysColor(10)},
    clInactiveBorder {SysColor(11)}, clAppWorkSpace {SysColor(12)}, clHighlight {SysColor(13)},
    clHighlightText {SysColor(14)}, clBtnFace {SysColor(15)}, clBtnShadow {SysColor(16)},
    clGrayText {SysColor(17)}, clBtnText {SysColor(18)}, clInactiveCaptionText {SysColor(19)},
    clBtnHighlight {SysColor(20)}, cl3DDkShadow {SysColor(21)}, cl3DLight {SysColor(22)},
    clInfoText {SysColor(23)}, clInfoBk {SysColor(24)};

// Identifier of a named colour ("clNavy"), or an empty string.
QString ColorToIdent(TColor color);
// Looks a colour identifier up without regard to case.
bool IdentToColor(const QString &ident, TColor *color);
// The identifier where one exists, otherwise "$00BBGGRR".
QString ColorToString(TColor color);
// Accepts an identifier, "$hex", "0xhex" or a decimal number.
bool StringToColor(const QString &text, TColor *color);

// System colours resolve through the application palette; clNone is transparent.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor &color);
