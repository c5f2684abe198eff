#include "CStExpression.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

enum class TToken {
    End,
    Number,
    Name,
    LParen,
    RParen,
    ListSep,
    Plus,
    Minus,
    Times,
    Divide,
    Equal,
    Power
};

bool IsLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Names are ASCII, so lowering only A to Z keeps every column where it was.
QString LowerAscii(const QString &text)
{
    QString lower = text;
    for (QChar &c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return lower;
}

constexpr long double Int64Limit = 9223372036854775808.0L; // 2^63

// Conversions that cannot hold the value give NaN, which the evaluator reports as a fault.
long double ThroughInt64(long double x)
{
    return x >= -Int64Limit && x < Int64Limit ? static_cast<long double>(std::int64_t(x)) : NAN;
}

long double ThroughInt32(long double x)
{
    return x >= INT_MIN && x <= INT_MAX ? static_cast<long double>(int(x)) : NAN;
}

} // namespace

QString StExprErrorMessage(int code)
{
    switch (code) {
    case exprEmptyExpression:
        return QStringLiteral("Empty expression");
    case exprBadNumber:
        return QStringLiteral("Error in floating point number");
    case exprUnknownCharacter:
        return QStringLiteral("Unknown character");
    case exprOperandExpected:
        return QStringLiteral("Expected function, number, sign, or (");
    case exprNumericError:
        return QStringLiteral("Numeric error");
    case exprInvalidExpression:
        return QStringLiteral("Invalid expression");
    case exprStackOverflow:
        return QStringLiteral("Operand stack overflow");
    case exprUnknownIdentifier:
        return QStringLiteral("Unknown function identifier");
    case exprLeftParenExpected:
        return QStringLiteral("Left parenthesis expected");
    case exprRightParenExpected:
        return QStringLiteral("Right parenthesis expected");
    case exprListSeparatorExpected:
        return QStringLiteral("List separator expected");
    case exprDuplicateIdentifier:
        return QStringLiteral("Duplicate identifier");
    default:
        return {};
    }
}

TStExprSeparators TStExprSeparators::FromLocale(const QLocale &locale)
{
    TStExprSeparators separators;
    const QString decimal = locale.decimalPoint();
    if (!decimal.isEmpty())
        separators.DecimalSeparator = decimal.at(0);
    if (separators.DecimalSeparator == u',')
        separators.ListSeparator = QLatin1Char(';');
    return separators;
}

// One evaluation: reads the text token by token and computes each rule's value as it is parsed.
// Every recursion passes through Factor, which bounds the nesting.
class TStExpression::TParser
{
public:
    explicit TParser(TStExpression &owner)
        : m_owner(owner), m_text(LowerAscii(owner.m_expression)),
          m_decimal(owner.m_separators.DecimalSeparator.unicode()),
          m_list(owner.m_separators.ListSeparator.unicode())
    { }

    long double Evaluate()
    {
        NextToken();
        if (m_token == TToken::End)
            Fail(exprEmptyExpression);
        const long double value = Expression();
        if (m_token != TToken::End)
            Fail(exprInvalidExpression);
        return value;
    }

private:
    class TDepthGuard
    {
    public:
        explicit TDepthGuard(TParser &parser) : m_parser(parser)
        {
            if (++m_parser.m_depth > MaxNestingDepth)
                m_parser.Fail(exprStackOverflow);
        }
        ~TDepthGuard() { --m_parser.m_depth; }
        TDepthGuard(const TDepthGuard &) = delete;
        TDepthGuard &operator=(const TDepthGuard &) = delete;

    private:
        TParser &m_parser;
    };

    [[noreturn]] void Fail(int code) { m_owner.RaiseError(code, m_tokenStart + 1); }

    long double Checked(long double value, int code, int column)
    {
        if (!std::isfinite(value))
            m_owner.RaiseError(code, column);
        return value;
    }

    char16_t At(qsizetype pos) const { return pos < m_text.size() ? m_text.at(pos).unicode() : 0; }

    void NextToken()
    {
        while (At(m_pos) == u' ' || At(m_pos) == u'\t')
            ++m_pos;
        m_tokenStart = int(m_pos);
        if (m_pos >= m_text.size()) {
            m_token = TToken::End;
            return;
        }
        const char16_t c = At(m_pos);
        if (IsLetter(c))
            return ReadName();
        if (IsDigit(c) || c == m_decimal)
            return ReadNumber();
        ++m_pos;
        if (c == m_list)
            m_token = TToken::ListSep;
        else if (c == u'(')
            m_token = TToken::LParen;
        else if (c == u')')
            m_token = TToken::RParen;
        else if (c == u'+')
            m_token = TToken::Plus;
        else if (c == u'-')
            m_token = TToken::Minus;
        else if (c == u'*')
            m_token = TToken::Times;
        else if (c == u'/')
            m_token = TToken::Divide;
        else if (c == u'=')
            m_token = TToken::Equal;
        else if (c == u'^')
            m_token = TToken::Power;
        else
            Fail(exprUnknownCharacter);
    }

    void ReadName()
    {
        const qsizetype start = m_pos;
        while (IsLetter(At(m_pos)) || IsDigit(At(m_pos)))
            ++m_pos;
        m_name = QStringView(m_text).mid(start, m_pos - start);
        m_token = TToken::Name;
    }

    void ReadNumber()
    {
        m_digits.clear();
        if (At(m_pos) == m_decimal)
            m_digits += '0';
        for (char16_t c = At(m_pos); IsDigit(c) || c == m_decimal; c = At(++m_pos))
            m_digits += c == m_decimal ? '.' : char(c);
        if (At(m_pos) == u'e' || At(m_pos) == u'E') {
            m_digits += 'e';
            const char16_t sign = At(++m_pos);
            if (sign != u'+' && sign != u'-' && !IsDigit(sign))
                Fail(exprBadNumber);
            m_digits += char(sign);
            for (char16_t c = At(++m_pos); IsDigit(c); c = At(++m_pos))
                m_digits += char(c);
        }
        const char *end = m_digits.data() + m_digits.size();
        const auto [ptr, ec] = std::from_chars(m_digits.data(), end, m_number);
        if (ec != std::errc() || ptr != end)
            Fail(exprBadNumber);
        m_token = TToken::Number;
    }

    long double Expression()
    {
        long double value = Term();
        while (m_token == TToken::Plus || m_token == TToken::Minus) {
            const bool add = m_token == TToken::Plus;
            const int column = m_tokenStart + 1;
            NextToken();
            const long double right = Term();
            value = Checked(add ? value + right : value - right, exprNumericError, column);
        }
        return value;
    }

    long double Term()
    {
        long double value = Factor();
        while (m_token == TToken::Times || m_token == TToken::Divide) {
            const bool multiply = m_token == TToken::Times;
            const int column = m_tokenStart + 1;
            NextToken();
            const long double right = Factor();
            value = Checked(multiply ? value * right : value / right, exprMulDivFault, column);
        }
        return value;
    }

    long double Factor()
    {
        const TDepthGuard guard(*this);
        const long double value = Base();
        if (m_token != TToken::Power)
            return value;
        const int column = m_tokenStart + 1;
        NextToken();
        const long double exponent = Factor();
        return Checked(std::pow(value, exponent), exprNumericError, column);
    }

    long double Base()
    {
        switch (m_token) {
        case TToken::Number: {
            const long double value = m_number;
            NextToken();
            return value;
        }
        case TToken::Name:
            return NameItem();
        case TToken::LParen: {
            NextToken();
            const long double value = Expression();
            if (m_token != TToken::RParen)
                Fail(exprInvalidExpression);
            NextToken();
            return value;
        }
        case TToken::Plus:
            NextToken();
            return Factor();
        case TToken::Minus:
            NextToken();
            return -Factor();
        default:
            Fail(exprOperandExpected);
        }
    }

    long double NameItem()
    {
        const QStringView name = m_name;
        const int column = m_tokenStart + 1;
        NextToken();
        if (m_owner.m_allowEqual && m_token == TToken::Equal) {
            NextToken();
            const long double value = Expression();
            m_owner.AddConstant(name.toString(), value);
            return value;
        }
        const int index = m_owner.FindIdent(name);
        if (index >= 0)
            return Identifier(index, column);
        if (!m_owner.m_onGetIdentValue)
            m_owner.RaiseError(exprUnknownIdentifier, column);
        long double value = 0;
        m_owner.m_onGetIdentValue(m_owner, name.toString(), value);
        return value;
    }

    long double Identifier(int index, int column)
    {
        const TIdentifier &identifier = m_owner.m_identifiers[index];
        switch (identifier.Kind) {
        case TIdentKind::Constant:
            return identifier.Value;
        case TIdentKind::Variable:
            return *identifier.Variable;
        case TIdentKind::Function:
        case TIdentKind::Method:
            break;
        }
        const int count = identifier.ParamCount;
        long double args[3] = {};
        if (count > 0) {
            if (m_token != TToken::LParen)
                Fail(exprLeftParenExpected);
            NextToken();
            for (int i = 0; i < count; ++i) {
                if (i > 0) {
                    if (m_token != TToken::ListSep)
                        Fail(exprListSeparatorExpected);
                    NextToken();
                }
                args[i] = Expression();
            }
            if (m_token != TToken::RParen)
                Fail(exprRightParenExpected);
            NextToken();
        }
        // The arguments may have defined constants, which can move the table.
        return Checked(m_owner.m_identifiers.at(index).Invoke(args), exprNumericError, column);
    }

    TStExpression &m_owner;
    const QString m_text;
    const char16_t m_decimal;
    const char16_t m_list;
    qsizetype m_pos = 0;
    int m_depth = 0;
    TToken m_token = TToken::End;
    int m_tokenStart = 0;
    QStringView m_name;
    long double m_number = 0;
    std::string m_digits;
};

TStExpression::TStExpression(const TStExprSeparators &separators) : m_separators(separators)
{
    AddBuiltIns();
}

long double TStExpression::AnalyzeExpression()
{
    m_lastError = 0;
    m_errorPosition = 0;
    TParser parser(*this);
    return parser.Evaluate();
}

int TStExpression::GetAsInteger()
{
    const long double rounded = std::nearbyint(AnalyzeExpression());
    if (!(rounded >= INT_MIN && rounded <= INT_MAX))
        throw std::range_error("Expression value out of integer range");
    return int(rounded);
}

QString TStExpression::GetAsString()
{
    const long double value = AnalyzeExpression();
    char buffer[64];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    text.replace(QLatin1Char('.'), m_separators.DecimalSeparator);
    return text;
}

void TStExpression::AddIdentifier(TIdentifier identifier)
{
    identifier.Name = identifier.Name.toLower();
    if (FindIdent(identifier.Name) >= 0)
        RaiseError(exprDuplicateIdentifier, 0);
    m_identifiers.push_back(std::move(identifier));
    if (!m_addingBuiltIns && m_onAddIdentifier)
        m_onAddIdentifier(*this);
}

void TStExpression::AddConstant(const QString &name, long double value)
{
    AddIdentifier({name, TIdentKind::Constant, 0, value, nullptr, {}});
}

void TStExpression::AddVariable(const QString &name, const long double *value)
{
    AddIdentifier({name, TIdentKind::Variable, 0, 0, value, {}});
}

void TStExpression::AddFunction0Param(const QString &name, TStFunction0Param function)
{
    AddIdentifier({name, TIdentKind::Function, 0, 0, nullptr, [function](const long double *) {
                       return function();
                   }});
}

void TStExpression::AddFunction1Param(const QString &name, TStFunction1Param function)
{
    AddIdentifier({name, TIdentKind::Function, 1, 0, nullptr, [function](const long double *a) {
                       return function(a[0]);
                   }});
}

void TStExpression::AddFunction2Param(const QString &name, TStFunction2Param function)
{
    AddIdentifier({name, TIdentKind::Function, 2, 0, nullptr, [function](const long double *a) {
                       return function(a[0], a[1]);
                   }});
}

void TStExpression::AddFunction3Param(const QString &name, TStFunction3Param function)
{
    AddIdentifier({name, TIdentKind::Function, 3, 0, nullptr, [function](const long double *a) {
                       return function(a[0], a[1], a[2]);
                   }});
}

void TStExpression::AddMethod(const QString &name, int paramCount, TInvoker invoke)
{
    AddIdentifier({name, TIdentKind::Method, paramCount, 0, nullptr, std::move(invoke)});
}

void TStExpression::AddBuiltIns()
{
    m_addingBuiltIns = true;
    AddFunction1Param(QStringLiteral("abs"), [](long double x) { return std::fabs(x); });
    AddFunction1Param(QStringLiteral("arctan"), [](long double x) { return std::atan2(x, 1.0L); });
    AddFunction1Param(QStringLiteral("cos"), [](long double x) { return std::cos(x); });
    AddFunction1Param(QStringLiteral("exp"), [](long double x) { return std::exp(x); });
    AddFunction1Param(QStringLiteral("frac"), [](long double x) { return x - std::trunc(x); });
    AddFunction1Param(QStringLiteral("int"), [](long double x) { return std::trunc(x); });
    AddFunction1Param(QStringLiteral("trunc"),
                      [](long double x) { return ThroughInt64(std::trunc(x)); });
    AddFunction1Param(QStringLiteral("ln"), [](long double x) { return std::log(x); });
    AddFunction0Param(QStringLiteral("pi"), []() { return 3.1415926535897932385L; });
    AddFunction1Param(QStringLiteral("round"),
                      [](long double x) { return ThroughInt64(std::nearbyint(x)); });
    AddFunction1Param(QStringLiteral("sin"), [](long double x) { return std::sin(x); });
    AddFunction1Param(QStringLiteral("sqr"), [](long double x) { return x * x; });
    AddFunction1Param(QStringLiteral("sqrt"), [](long double x) { return std::sqrt(x); });
    AddFunction1Param(QStringLiteral("arccos"), [](long double x) { return std::acos(x); });
    AddFunction1Param(QStringLiteral("arcsin"), [](long double x) { return std::asin(x); });
    AddFunction2Param(QStringLiteral("arctan2"),
                      [](long double y, long double x) { return std::atan2(y, x); });
    AddFunction1Param(QStringLiteral("tan"), [](long double x) { return std::tan(x); });
    AddFunction1Param(QStringLiteral("cotan"),
                      [](long double x) { return std::cos(x) / std::sin(x); });
    AddFunction2Param(QStringLiteral("hypot"),
                      [](long double x, long double y) { return std::hypot(x, y); });
    AddFunction1Param(QStringLiteral("cosh"), [](long double x) { return std::cosh(x); });
    AddFunction1Param(QStringLiteral("sinh"), [](long double x) { return std::sinh(x); });
    AddFunction1Param(QStringLiteral("tanh"), [](long double x) { return std::tanh(x); });
    AddFunction1Param(QStringLiteral("arccosh"), [](long double x) { return std::acosh(x); });
    AddFunction1Param(QStringLiteral("arcsinh"), [](long double x) { return std::asinh(x); });
    AddFunction1Param(QStringLiteral("arctanh"), [](long double x) { return std::atanh(x); });
    AddFunction1Param(QStringLiteral("lnxp1"), [](long double x) { return std::log1p(x); });
    AddFunction1Param(QStringLiteral("log10"), [](long double x) { return std::log10(x); });
    AddFunction1Param(QStringLiteral("log2"), [](long double x) { return std::log2(x); });
    AddFunction2Param(QStringLiteral("logn"),
                      [](long double base, long double x) { return std::log(x) / std::log(base); });
    AddFunction1Param(QStringLiteral("ceil"),
                      [](long double x) { return ThroughInt32(std::ceil(x)); });
    AddFunction1Param(QStringLiteral("floor"),
                      [](long double x) { return ThroughInt32(std::floor(x)); });
    m_addingBuiltIns = false;
}

void TStExpression::RemoveIdentifier(const QString &name)
{
    const int index = FindIdent(name.toLower());
    if (index >= 0)
        m_identifiers.erase(m_identifiers.begin() + index);
}

void TStExpression::ClearIdentifiers()
{
    m_identifiers.clear();
}

void TStExpression::GetIdentList(QStringList &list) const
{
    list.clear();
    for (const TIdentifier &identifier : m_identifiers)
        list.append(identifier.Name);
}

int TStExpression::FindIdent(QStringView name) const
{
    for (size_t i = 0; i < m_identifiers.size(); ++i) {
        const QString &candidate = m_identifiers[i].Name;
        if (candidate.size() == name.size() && candidate == name)
            return int(i);
    }
    return -1;
}

void TStExpression::RaiseError(int code, int column)
{
    m_lastError = code;
    m_errorPosition = column;
    throw EStExprError(StExprErrorMessage(code), code, column);
}

long double AnalyzeExpr(const QString &text, const TStExprSeparators &separators)
{
    TStExpression expression(separators);
    expression.SetExpression(text);
    return expression.AnalyzeExpression();
}
