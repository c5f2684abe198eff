#include "CColor.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace {
struct TColorIdent
{
    TColor Color;
    const char *Name;
};

constexpr std::array<TColorIdent, 47> kIdents {{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
}};

QColor SystemColor(int index)
{
    const QPalette pal = QGuiApplication::palette();
    switch (index) {
    case 1:
    case 12:
        return pal.color(QPalette::Dark);
    case 2:
        return pal.color(QPalette::Highlight);
    case 3:
    case 17:
    case 19:
        return pal.color(QPalette::Disabled, QPalette::Text);
    case 4:
    case 5:
        return pal.color(QPalette::Base);
    case 6:
    case 8:
    case 7:
    case 9:
        return pal.color(QPalette::Text);
    case 13:
        return pal.color(QPalette::Highlight);
    case 14:
        return pal.color(QPalette::HighlightedText);
    case 16:
        return pal.color(QPalette::Mid);
    case 18:
        return pal.color(QPalette::ButtonText);
    case 20:
    case 22:
        return pal.color(QPalette::Light);
    case 21:
        return pal.color(QPalette::Shadow);
    case 23:
        return pal.color(QPalette::ToolTipText);
    case 24:
        return pal.color(QPalette::ToolTipBase);
    default:
        return pal.color(QPalette::Button);
    }
}
} // namespace

QString ColorToIdent(TColor color)
{
    for (const auto &entry : kIdents)
        if (entry.Color == color)
            return QString::fromLatin1(entry.Name);
    return {};
}

bool IdentToColor(const QString &ident, TColor *color)
{
    for (const auto &entry : kIdents) {
        if (ident.compare(QLatin1String(entry.Name), Qt::CaseInsensitive) == 0) {
            *color = entry.Color;
            return true;
        }
    }
    return false;
}

QString ColorToString(TColor color)
{
    const QString ident = ColorToIdent(color);
    if (!ident.isEmpty())
        return ident;
    return QStringLiteral("$%1").arg(quint32(color.Value), 8, 16, QLatin1Char('0')).toUpper();
}

bool StringToColor(const QString &text, TColor *color)
{
    const QString t = text.trimmed();
    if (IdentToColor(t, color))
        return true;
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(u'$'))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > UINT32_MAX)
        return false;
    *color = TColor(std::int32_t(quint32(v)));
    return true;
}

QColor ColorToQColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    if (color == clDefault)
        return SystemColor(5);
    if (color.IsSystem())
        return SystemColor(color.Value & 0xFF);
    const quint32 v = quint32(color.Value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &color)
{
    if (color.alpha() == 0)
        return clNone;
    return TColor::FromRGB(color.red(), color.green(), color.blue());
}
