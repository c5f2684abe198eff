#include "CVisualPgCtrlNumeric.h"

#include "CException.h"
#include "CGlobal.h"
#include "CPropHelper.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>

namespace {
// The kind whose numbers keep the form they were typed in.
constexpr int kHTMLNumericKind = 218;
// Digits the fixed-point form is rounded to before its decimals are cut.
constexpr int kSignificantDigits = 18;

[[noreturn]] void RaiseNotAFloat(const QString &text)
{
    throw EVeloraError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

// Rounded half away from zero at the last decimal, after rounding to 18
// significant digits, as stored forms were always shown.
QString FormatFixed(Extended value, int decimals)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::scientific, kSignificantDigits - 1);
    if (error != std::errc())
        return QStringLiteral("0");
    const QString scientific = QString::fromLatin1(buffer, int(end - buffer));
    const bool negative = scientific.startsWith(u'-');
    const qsizetype e = scientific.indexOf(u'e');
    QString digits = scientific.mid(negative ? 1 : 0, e - (negative ? 1 : 0)).remove(u'.');
    // Digits before the decimal point.
    int point = scientific.mid(e + 1).toInt() + 1;
    if (point < 1) {
        digits.prepend(QString(1 - point, u'0'));
        point = 1;
    }
    if (digits.size() < point + decimals)
        digits.append(QString(point + decimals - digits.size(), u'0'));
    const int cut = point + decimals;
    if (cut < digits.size() && digits.at(cut) >= u'5') {
        int i = cut - 1;
        for (; i >= 0 && digits.at(i) == u'9'; --i)
            digits[i] = u'0';
        if (i >= 0) {
            digits[i] = QChar(digits.at(i).unicode() + 1);
        } else {
            digits.prepend(u'1');
            ++point;
        }
    }
    digits.truncate(point + decimals);
    QString whole = digits.left(point);
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    QString result = whole;
    if (decimals > 0)
        result += u'.' + digits.mid(point);
    const bool zero = !digits.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return negative && !zero ? u'-' + result : result;
}

QString FormatWhole(Extended value)
{
    Extended whole = std::nearbyint(value);
    if (whole == 0)
        whole = 0; // no "-0"
    char buffer[5000];
    const auto [end, error]
        = std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
    return error == std::errc() ? QString::fromLatin1(buffer, int(end - buffer))
                                : QStringLiteral("0");
}

QString WithNameTag(QString text, const QString &name)
{
    static const QRegularExpression nameTag(QStringLiteral("<name>"),
                                            QRegularExpression::CaseInsensitiveOption);
    return text.replace(nameTag, name);
}

// Limits as a short general number, the way the web form's script reads them.
QString GeneralNumber(Extended value)
{
    return QString::number(double(value), 'g', 15);
}
} // namespace

bool Global_TextToFloat(const QString &text, Extended &value)
{
    static const QRegularExpression number(
        QStringLiteral("^ *([+-]?)([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)? *$"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return false;
    // The parser takes no "+" sign.
    const QByteArray digits
        = (match.captured(1) == QLatin1String("-") ? QByteArrayLiteral("-") : QByteArray())
        + match.captured(2).toLatin1() + match.captured(3).toLatin1();
    Extended parsed = 0;
    const auto [end, error] = std::from_chars(
        digits.constData(), digits.constData() + digits.size(), parsed, std::chars_format::general);
    if (error != std::errc() || end != digits.constData() + digits.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

// ---------------------------------------------------------------------------

TVisualPgCtrlNumeric::TVisualPgCtrlNumeric(TComponent *owner)
    : TVisualPgCtrl(owner), m_number(new TPropGroupNumber(this))
{ }

TVisualPgCtrlNumericPropGroupGeneral *TVisualPgCtrlNumeric::NumericGeneralProps() const
{
    return qobject_cast<TVisualPgCtrlNumericPropGroupGeneral *>(VisualGeneralProps());
}

TVisualPgCtrlNumericPropGroupTABOn *TVisualPgCtrlNumeric::NumericTABOnProps() const
{
    return qobject_cast<TVisualPgCtrlNumericPropGroupTABOn *>(VisualTABOnProps());
}

TPropGroupGeneral *TVisualPgCtrlNumeric::CreateGeneralProps()
{
    return new TVisualPgCtrlNumericPropGroupGeneral(this);
}

TPropGroupTABOn *TVisualPgCtrlNumeric::CreateTABOnProps()
{
    return new TVisualPgCtrlNumericPropGroupTABOn(this);
}

void TVisualPgCtrlNumeric::SetValidationErrMsgs()
{
    TVisualPgCtrl::SetValidationErrMsgs();
    QStringList messages = VisualValidationProps()->ValidationErrMsgsList();
    messages.insert(1, QStringLiteral("<Name> is invalid!"));
    VisualValidationProps()->SetValidationErrMsgsList(messages);
}

void TVisualPgCtrlNumeric::AddRemovePropHelperInf(TPropHelper *helper)
{
    TVisualPgCtrl::AddRemovePropHelperInf(helper);
    helper->RemoveInfo(QStringLiteral("GeneralFocusControl"));
    static const std::pair<const char *, std::pair<int, const char *>> entries[] = {
        {"GeneralMaxChars", {425, "Maximum Characters"}},
        {"VisualNumberProps", {1400, "Numerics (Display)"}},
        {"NumberNumericsOnly", {1410, "Numerics Only"}},
        {"NumberMinValue", {1420, "Minimum Value"}},
        {"NumberMaxValue", {1430, "Maximum Value"}},
        {"NumberDecPlaces", {1440, "Decimal Places"}},
        {"NumberDisplayZero", {1460, "Display Zero"}},
        {"NumberSeparateThousands", {1480, "Separate Thousands"}},
        {"NumberPaddingProps", {1495, "Zero Pad"}},
        {"NumberPadding", {1496, "Pad"}},
        {"NumberPaddingWidth", {1497, "Width"}},
        {"TABOnMaxChars", {1530, "Maximum Characters"}},
        {"TABOnDecimalPoint", {1540, "Decimal Point"}},
    };
    for (const auto &[id, info] : entries)
        helper->AddInfo(QLatin1String(id), QLatin1String(info.second), info.first);
}

QString TVisualPgCtrlNumeric::FormatNumber(const QString &text, bool separateThousands,
                                           bool pad) const
{
    QString result = text;
    if (ComponentState() & csDestroying)
        return result;
    Extended value = 0;
    if (!Global_TextToFloat(text, value))
        RaiseNotAFloat(text);
    if (ClassTypeID() != kHTMLNumericKind) {
        const int decimals = qMin(m_number->NumberDecPlaces(), kSignificantDigits);
        result = decimals > 0 ? FormatFixed(value, decimals) : FormatWhole(value);
        Global_TextToFloat(result, value);
    }
    const bool negative = value < 0;

    const TZeroPad mode = m_number->NumberZeroPad();
    if (pad && mode != zpNone) {
        const int width = m_number->NumberPaddingProps()->NumberPaddingWidth() + (negative ? 1 : 0);
        while (result.size() < width) {
            if (mode == zpLeft)
                result.insert(negative ? 1 : 0, u'0');
            else
                result.append(u'0');
        }
    }

    if (separateThousands) {
        const qsizetype dot = result.indexOf(u'.');
        const qsizetype point = dot < 0 ? result.size() : dot;
        const qsizetype digits = point - (negative ? 1 : 0);
        const qsizetype separators = digits / 3 - (digits % 3 == 0 ? 1 : 0);
        for (qsizetype i = 1; i <= separators; ++i)
            result.insert(point - 3 * i, u',');
    }
    return result;
}

QString TVisualPgCtrlNumeric::DoFormat(const QString &text, bool separateThousands) const
{
    return FormatNumber(text, separateThousands, true);
}

QString TVisualPgCtrlNumeric::DisplayText(const QString &text) const
{
    if (m_number->NumberNumericsOnly() && !Focused()
        && (!text.isEmpty() || m_number->NumberDisplayZero())) {
        try {
            return DoFormat(text.isEmpty() ? QStringLiteral("0") : text,
                            m_number->NumberSeparateThousands());
        } catch (const EVeloraError &) {
            return QStringLiteral("NAN");
        }
    }
    return TVisualPgCtrl::DisplayText(text);
}

Extended TVisualPgCtrlNumeric::AsFloat() const
{
    const QString text = Text();
    if (text.isEmpty() || text == QLatin1String("-"))
        return 0;
    Extended value = 0;
    try {
        if (!Global_TextToFloat(FormatNumber(text, false, false), value))
            return 0;
    } catch (const EVeloraError &) {
        return 0;
    }
    return GlobalSetDecPlaces(value, qBound(0, m_number->NumberDecPlaces(), kSignificantDigits));
}

QString TVisualPgCtrlNumeric::GetOutOfRange_VEM() const
{
    return WithNameTag(VisualValidationProps()->ValidationErrMsgsList().value(1), Name());
}

void TVisualPgCtrlNumeric::Validate()
{
    TVisualPgCtrl::Validate();
    if (!m_number->NumberNumericsOnly() || Text().isEmpty())
        return;
    Extended value = 0;
    if (!Global_TextToFloat(Text(), value))
        throw EVeloraError(QStringLiteral("Not a valid number."));
    if (m_number->RangeSet()
        && (value > m_number->NumberMaxValue() || value < m_number->NumberMinValue()))
        throw EVeloraError(GetOutOfRange_VEM());
}

bool TVisualPgCtrlNumeric::HasHTMLValidation() const
{
    return TVisualPgCtrl::HasHTMLValidation() || m_number->RangeSet();
}

QString TVisualPgCtrlNumeric::GetValidationHTML(int index) const
{
    QString html = TVisualPgCtrl::GetValidationHTML(index);
    if (!m_number->RangeSet())
        return html;
    if (!html.isEmpty())
        html += QStringLiteral(",\r\n");
    return html
        + QStringLiteral("        '%1', '%2_%3', '1', '%4'")
              .arg(Name(), GeneralNumber(m_number->NumberMinValue()),
                   GeneralNumber(m_number->NumberMaxValue()), GetOutOfRange_VEM());
}

int TVisualPgCtrlNumeric::HlpCtx(const QString &name)
{
    static constexpr TPropHlpCtx table[]
        = {{"ValidationMaxChars", 147},       {"ValidationRestrictTo", 176},
           {"ValidationNumberMaxValue", 149}, {"ValidationNumberMinValue", 150},
           {"TABOnDecimalPoint", 105},        {"TABOnMaxChars", 148}};
    if (const int topic = TPropGroup::GetHlpCtx(name, table))
        return topic;
    if (const int topic = TVisualPgCtrl::HlpCtx(name))
        return topic;
    return m_number->HlpCtx(name);
}

bool TVisualPgCtrlNumeric::IsCalcField() const
{
    return m_number->NumberNumericsOnly();
}
