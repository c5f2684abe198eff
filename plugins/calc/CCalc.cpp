#include "CCalc.h"

#include "CCalcExprPropEditorForm.h"
#include "CCalcGraph.h"
#include "CGlobal.h"
#include "CPlugInContract.h"
#include "CPropEditors.h"
#include "CPropHelper.h"
#include "CStExpression.h"

#include <QEvent>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {
constexpr Extended kNaN = std::numeric_limits<Extended>::quiet_NaN();

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsNameStart(QChar c)
{
    const QChar u = c.toUpper();
    return (u >= u'A' && u <= u'Z') || c == u'_';
}

bool IsNameChar(QChar c)
{
    return IsNameStart(c) || IsDigit(c);
}

// End of the number literal starting at i, exponent included, so that its "E"
// is never read as the start of a name.
qsizetype NumberEnd(const QString &text, qsizetype i)
{
    while (i < text.size() && (IsDigit(text.at(i)) || text.at(i) == u'.'))
        ++i;
    if (i < text.size() && text.at(i).toUpper() == u'E') {
        qsizetype j = i + 1;
        if (j < text.size() && (text.at(j) == u'+' || text.at(j) == u'-'))
            ++j;
        if (j < text.size() && IsDigit(text.at(j))) {
            while (j < text.size() && IsDigit(text.at(j)))
                ++j;
            return j;
        }
    }
    return i;
}

qsizetype NameEnd(const QString &text, qsizetype i)
{
    while (i < text.size() && IsNameChar(text.at(i)))
        ++i;
    return i;
}

// A name followed by "(" (blanks between allowed) is a function, never an element.
bool IsCall(const QString &text, qsizetype end)
{
    while (end < text.size() && text.at(end).isSpace())
        ++end;
    return end < text.size() && text.at(end) == u'(';
}

// The shortest text that reads back as the same value; "." is the decimal point.
QString NumberText(Extended value)
{
    char buffer[128];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? QString::fromLatin1(buffer, int(end - buffer))
                                : QStringLiteral("0");
}

// The separators of the evaluator are fixed, so texts read the same under any locale.
TStExprSeparators FixedSeparators()
{
    return TStExprSeparators {QLatin1Char('.'), QLatin1Char(',')};
}
} // namespace

QString CalcFloatToStr(Extended value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    return QString::number(double(value), 'g', 15);
}

// ---------------------------------------------------------------------------
// TCalcExprWalker

void TCalcExprWalker::SetNames(QStringList names)
{
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    m_names = std::move(names);
}

bool TCalcExprWalker::Contains(const QString &upperName) const
{
    return std::binary_search(m_names.begin(), m_names.end(), upperName);
}

// ---------------------------------------------------------------------------
// TCalc

TCalc::TCalc(TComponent *owner) : TVisualPgCtrlNumeric(owner)
{
    resize(121, 25);
    TCalcGraph::Instance().Add(this);
}

TCalc::~TCalc()
{
    TCalcGraph::Instance().Remove(this);
}

void TCalc::AfterConstruction()
{
    TVisualPgCtrlNumeric::AfterConstruction();
    // A new box's own settings are no change anyone must hear of.
    const TGlobalFlagScope quiet(GlobalLoadingProject);
    VisualGeneralProps()->SetGeneralReadOnly(true);
    VisualNumberProps()->SetNumberNumericsOnly(true);
    VisualParagraphProps()->SetParagraphHorzAlign(taRightJustify);
    VisualParagraphProps()->SetParagraphVertAlign(taVerticalCenter);
    VisualParagraphProps()->ParagraphFixed()->SetFixedVertGap(0);
}

void TCalc::SetName(const QString &name)
{
    const QString old = Name();
    TVisualPgCtrlNumeric::SetName(name);
    if (Name() != old)
        TCalcGraph::Instance().BoxRenamed(this, old);
}

void TCalc::SetCalcExpression(const QString &text)
{
    if (text == m_expression)
        return;
    m_expression = text;
    const QStringList oldNames = m_walker.Names();
    m_walker.SetNames(ReferencedNames(text));
    TCalcGraph::Instance().ReferencesChanged(this, oldNames);
    Invalidate();
    // A document being read is calculated once it is all there.
    if (IsLoading() || GlobalLoadingProject)
        return;
    GlobalNotifyCtrls(VRMSGCalcReset, 0, 0, true);
    GlobalNotifyCtrls(VRMSGCalcUpdate, 0, 0, true);
}

void TCalc::ExpressionUpdate(QWidget *element, const QString &text)
{
    if (auto *calc = qobject_cast<TCalc *>(element))
        calc->SetCalcExpression(text);
}

QString TCalc::FormatExpr(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text)
        if (c != u' ' && c != u'\r' && c != u'\n' && c != u'\t')
            result += c.toUpper();
    for (qsizetype i = 0; i < result.size();) {
        const QChar c = result.at(i);
        if (IsDigit(c) || c == u'.') {
            i = NumberEnd(result, i);
            continue;
        }
        if (!IsNameStart(c)) {
            ++i;
            continue;
        }
        const qsizetype end = NameEnd(result, i);
        if (QStringView(result).mid(i, end - i) != QLatin1String("FLOAT")) {
            i = end;
            continue;
        }
        result.remove(i, end - i);
        if (const qsizetype comma = result.indexOf(u',', i); comma >= 0)
            result[comma] = u'.';
    }
    return result;
}

QStringList TCalc::ReferencedNames(const QString &expression)
{
    const QString prepared = FormatExpr(expression);
    QStringList names;
    for (qsizetype i = 0; i < prepared.size();) {
        const QChar c = prepared.at(i);
        if (IsDigit(c) || c == u'.') {
            i = NumberEnd(prepared, i);
        } else if (IsNameStart(c)) {
            const qsizetype end = NameEnd(prepared, i);
            if (!IsCall(prepared, end))
                names.append(prepared.mid(i, end - i));
            i = end;
        } else {
            ++i;
        }
    }
    return names;
}

QString TCalc::RenamedExpr(const QString &expression, const QString &oldName,
                           const QString &newName)
{
    QString result = expression;
    for (qsizetype i = 0; i < result.size();) {
        const QChar c = result.at(i);
        if (IsDigit(c) || c == u'.') {
            i = NumberEnd(result, i);
            continue;
        }
        if (!IsNameStart(c)) {
            ++i;
            continue;
        }
        const qsizetype end = NameEnd(result, i);
        if (!IsCall(result, end)
            && QStringView(result).mid(i, end - i).compare(oldName, Qt::CaseInsensitive) == 0) {
            result.replace(i, end - i, newName);
            i += newName.size();
        } else {
            i = end;
        }
    }
    return result;
}

bool TCalc::ElementValue(const TBasePgCtrl *element, QString &value) const
{
    if (const auto *calc = qobject_cast<const TCalc *>(element)) {
        const Extended number = calc->AsFloat();
        if (std::isnan(number))
            return false;
        value = NumberText(number);
        return true;
    }
    const auto *visual = qobject_cast<const TVisualPgCtrl *>(element);
    QString reduced;
    for (const QChar c : visual->DisplayText(visual->Text()))
        if (IsDigit(c) || c == u'-' || c == u'.')
            reduced += c;
    // Nothing to read is 0 only when nothing was entered; words are not a number.
    if (reduced.isEmpty()) {
        value = QStringLiteral("0");
        return visual->Text().trimmed().isEmpty();
    }
    Extended number = 0;
    if (!Global_TextToFloat(reduced, number))
        return false;
    value = NumberText(number);
    return true;
}

void TCalc::WatchElement(const QObject *element) const
{
    if (m_watched.contains(element))
        return;
    m_watched.insert(element);
    connect(element, &QObject::destroyed, this, [this, element] {
        m_watched.remove(element);
        if (GlobalClearingProject)
            return;
        // Once the element is wholly gone; dropped if this box goes first.
        auto *self = const_cast<TCalc *>(this);
        QMetaObject::invokeMethod(
            self, [self] { TCalcGraph::Instance().SettleFrom(self); }, Qt::QueuedConnection);
    });
}

bool TCalc::ParsedExpr(const QString &prepared, QString &parsed) const
{
    parsed.clear();
    const TComponent *owner = Owner();
    for (qsizetype i = 0; i < prepared.size();) {
        const QChar c = prepared.at(i);
        if (IsDigit(c) || c == u'.') {
            const qsizetype end = NumberEnd(prepared, i);
            parsed += QStringView(prepared).mid(i, end - i);
            i = end;
            continue;
        }
        if (!IsNameStart(c)) {
            parsed += c;
            ++i;
            continue;
        }
        const qsizetype end = NameEnd(prepared, i);
        const QString name = prepared.mid(i, end - i);
        i = end;
        const TComponent *found
            = owner && !IsCall(prepared, end) ? owner->FindComponent(name) : nullptr;
        const auto *element
            = found ? qobject_cast<const TVisualPgCtrl *>(found->Object()) : nullptr;
        if (!element) {
            parsed += name;
            continue;
        }
        WatchElement(element);
        QString value;
        if (!ElementValue(element, value))
            return false;
        // In parentheses, so that a sign or an operator in a value cannot change the expression.
        parsed += u'(' + value + u')';
    }
    return true;
}

bool TCalc::CircRef() const
{
    return m_reentered || TCalcGraph::Instance().InCycle(this);
}

void TCalc::Invalidate()
{
    m_computed = false;
    m_reentered = false;
}

Extended TCalc::Evaluate() const
{
    if (m_expression.trimmed().isEmpty())
        return 0;
    QString parsed;
    if (!ParsedExpr(FormatExpr(m_expression), parsed))
        return kNaN;
    TStExpression expression(FixedSeparators());
    expression.AddMethod2Param(QStringLiteral("Max"), this, &TCalc::_Max);
    expression.AddMethod2Param(QStringLiteral("Min"), this, &TCalc::_Min);
    expression.SetExpression(parsed);
    ++m_evalCount;
    Extended value = 0;
    try {
        value = expression.AnalyzeExpression();
    } catch (const EStExprError &error) {
        // A multiply or divide fault shows 0; any other fault is not a number.
        return error.ErrorCode() == exprMulDivFault ? 0 : kNaN;
    }
    if (!std::isfinite(value))
        return kNaN;
    return GlobalSetDecPlaces(value, std::clamp(VisualNumberProps()->NumberDecPlaces(), 0, 18));
}

Extended TCalc::AsFloat() const
{
    if (CircRef())
        return kNaN;
    if (m_computed)
        return m_cached;
    if (IsLoading())
        return m_cached = kNaN;
    // Coming back here while evaluating is a circle, however it was reached.
    if (m_computing) {
        m_reentered = true;
        return kNaN;
    }
    m_computing = true;
    struct TReset
    {
        bool &Flag;
        ~TReset() { Flag = false; }
    } reset {m_computing};
    m_cached = Evaluate();
    m_computed = true;
    return m_cached;
}

void TCalc::Recalculate()
{
    const QString text = CalcFloatToStr(AsFloat());
    if (text != Text())
        SetText(text);
    else
        BuildWYSIWYGInf(true, true);
}

QString TCalc::DisplayText(const QString &text) const
{
    if (CircRef())
        return CircRefText();
    if (std::isnan(m_cached) || m_cached != 0 || VisualNumberProps()->NumberDisplayZero())
        return TVisualPgCtrlNumeric::DisplayText(text);
    return {};
}

TPropGroupCharacter *TCalc::CreateCharacterProps()
{
    return new TCalcPropGroupCharacter(this);
}

void TCalc::AddRemovePropHelperInf(TPropHelper *helper)
{
    TVisualPgCtrlNumeric::AddRemovePropHelperInf(helper);
    for (const char *id :
         {"GeneralDefaultText", "GeneralMaxChars", "GeneralRequired", "GeneralReadOnly",
          "GeneralRestrictTo", "FixedVertGap", "NumberNumericsOnly", "NumberMinValue",
          "NumberMaxValue", "NumberZeroPad"})
        helper->RemoveInfo(QLatin1String(id));
    helper->AddInfo(QStringLiteral("CalcExpression"), QStringLiteral("Expression"), 30);
    helper->AddInfo(QStringLiteral("CharacterStyle"), QStringLiteral("Style"), 925);
}

int TCalc::HlpCtx(const QString &name)
{
    if (name.compare(QLatin1String(metaObject()->className()), Qt::CaseInsensitive) == 0)
        return 67;
    if (name.compare(QLatin1String("CalcExpression"), Qt::CaseInsensitive) == 0)
        return 118;
    return TVisualPgCtrlNumeric::HlpCtx(name);
}

void TCalc::RegisterPropertyEditors()
{
    TVisualPgCtrlNumeric::RegisterPropertyEditors();
    RegisterPropertyEditor({QStringLiteral("QString"), QString(),
                            QStringLiteral("TPropEditorCalcExpression"),
                            QStringLiteral("CalcExpression"), TPropEditorKind::Dialog});
}

bool TCalc::ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value)
{
    if (!propertyName.isEmpty()
        && propertyName.compare(QLatin1String("CalcExpression"), Qt::CaseInsensitive) != 0)
        return TVisualPgCtrlNumeric::ShowPropEditor(propertyName, recordUndo, value);
    const QString old = m_expression;
    if (!TCalcExprPropEditorForm::Edit(this, value))
        return false;
    if (value == old)
        return true;
    if (recordUndo && GlobalRecordDblClickUndo)
        GlobalRecordDblClickUndo(this, QStringLiteral("CalcExpression"), old, value);
    ApplyPropChange(static_cast<TUpdateMethod>(&TCalc::ExpressionUpdateMethod), value);
    PostMessage(GlobalMainForm, VRMSGEditStateChanged);
    GlobalMadeChange();
    return true;
}

bool TCalc::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange)
        TCalcGraph::Instance().ParentChanged(this);
    return TVisualPgCtrlNumeric::event(event);
}

void TCalc::Dispatch(TMessage &message)
{
    switch (message.Msg) {
    case VRMSGCalcReset:
        if (!IsLoading()) {
            TCalcGraph::Instance().MarkStale();
            Invalidate();
        }
        break;
    case VRMSGCalcUpdate:
        // Pasted boxes are told once the paste is whole, with their inputs in place.
        if (!IsLoading() && !GlobalPasting) {
            TCalcGraph &graph = TCalcGraph::Instance();
            if (graph.Stale())
                graph.SettleAll(Owner());
            else
                Recalculate();
        }
        break;
    default:
        break;
    }
    TVisualPgCtrlNumeric::Dispatch(message);
    switch (message.Msg) {
    case VRMSGVisualPgCtrlTextChanged:
        // One box answers for all, however many are told.
        if (TCalcGraph::Instance().Follower() == this)
            if (const auto *element = ParamObject<TBasePgCtrl>(message.WParam))
                TCalcGraph::Instance().TextChanged(element);
        break;
    case VRMSGBasePgCtrlNameChanged: {
        const auto *renamed = ParamObject<TBasePgCtrl>(message.WParam);
        const auto *oldName = reinterpret_cast<const QString *>(message.LParam);
        if (renamed && oldName)
            TCalcGraph::Instance().ElementRenamed(renamed, *oldName);
        break;
    }
    case ::VRMSGDblClickDlgSetPropVal: {
        const auto *name = reinterpret_cast<const QString *>(message.WParam);
        const auto *value = reinterpret_cast<const QString *>(message.LParam);
        if (name && value
            && name->compare(QLatin1String("CalcExpression"), Qt::CaseInsensitive) == 0)
            SetCalcExpression(*value);
        break;
    }
    default:
        break;
    }
}

VELORA_REGISTER_ELEMENT(TCalc)
