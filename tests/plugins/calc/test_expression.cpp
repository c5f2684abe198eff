#include "CStExpression.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

const TStExprSeparators Dot {QLatin1Char('.'), QLatin1Char(',')};
const TStExprSeparators Comma {QLatin1Char(','), QLatin1Char(';')};

long double Eval(const QString &text, const TStExprSeparators &separators = Dot)
{
    return AnalyzeExpr(text, separators);
}

struct TFailure
{
    int Code = 0;
    int Column = -1;
    QString Message;
};

TFailure FailureOf(TStExpression &expression, const QString &text)
{
    expression.SetExpression(text);
    try {
        expression.AnalyzeExpression();
    } catch (const EStExprError &e) {
        return {e.ErrorCode(), e.ErrorColumn(), e.Message()};
    }
    return {};
}

TFailure FailureOf(const QString &text, const TStExprSeparators &separators = Dot)
{
    TStExpression expression(separators);
    return FailureOf(expression, text);
}

// Shunting-yard over the same token forms, independent of the evaluator's recursive descent.
// Unary signs bind tighter than "*" and "/" but looser than "^", which groups to the right.
struct TReferenceFault
{
    int Code;
};

long double ReferenceEval(const std::string &text)
{
    std::vector<long double> values;
    std::vector<char> ops; // 'n' is unary minus, 'p' unary plus
    const auto precedence = [](char op) {
        switch (op) {
        case '+':
        case '-':
            return 1;
        case '*':
        case '/':
            return 2;
        case 'n':
        case 'p':
            return 3;
        default:
            return 4;
        }
    };
    const auto apply = [&values](char op) {
        if (op == 'n' || op == 'p') {
            values.back() = op == 'n' ? -values.back() : values.back();
            return;
        }
        const long double b = values.back();
        values.pop_back();
        long double &a = values.back();
        switch (op) {
        case '+':
            a = a + b;
            break;
        case '-':
            a = a - b;
            break;
        case '*':
            a = a * b;
            break;
        case '/':
            a = a / b;
            break;
        default:
            a = std::pow(a, b);
            break;
        }
        if (!std::isfinite(a))
            throw TReferenceFault {op == '*' || op == '/' ? 162 : 154};
    };
    bool expectOperand = true;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ')
            continue;
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            long double value = 0;
            const char *end
                = std::from_chars(text.data() + i, text.data() + text.size(), value).ptr;
            values.push_back(value);
            i = size_t(end - text.data()) - 1;
            expectOperand = false;
        } else if (c == '(') {
            ops.push_back(c);
        } else if (c == ')') {
            while (ops.back() != '(') {
                apply(ops.back());
                ops.pop_back();
            }
            ops.pop_back();
        } else if (expectOperand) {
            ops.push_back(c == '-' ? 'n' : 'p');
        } else {
            const bool rightAssoc = c == '^';
            while (!ops.empty() && ops.back() != '('
                   && (precedence(ops.back()) > precedence(c)
                       || (!rightAssoc && precedence(ops.back()) == precedence(c)))) {
                apply(ops.back());
                ops.pop_back();
            }
            ops.push_back(c);
            expectOperand = true;
        }
    }
    while (!ops.empty()) {
        apply(ops.back());
        ops.pop_back();
    }
    return values.back();
}

// Operands and operators in random sequence, with signs in any place the grammar allows one.
std::string RandomExpression(std::mt19937 &random, int depth)
{
    static const char *const numbers[] = {"0", "1", "2", "3", "7", "9", "2.5", ".5", "10"};
    static const char operators[] = {'+', '-', '*', '/', '^'};
    std::string text;
    const int operands = 1 + int(random() % 4);
    for (int i = 0; i < operands; ++i) {
        if (i > 0)
            text += operators[random() % 5];
        while (random() % 4 == 0)
            text += random() % 2 ? '-' : '+';
        if (depth > 0 && random() % 3 == 0)
            text += '(' + RandomExpression(random, depth - 1) + ')';
        else
            text += numbers[random() % std::size(numbers)];
        if (random() % 3 == 0)
            text += ' ';
    }
    return text;
}

struct TAccount
{
    int Count = 0;
    long double Deposit(long double a, long double b)
    {
        ++Count;
        return a - b;
    }
    long double Calls() const { return Count; }
};

} // namespace

TEST(StExpression, OperatorsSignsAndBuiltInsGiveTheirValues)
{
    EXPECT_EQ(Eval(QStringLiteral("2^3^2")), 512);
    EXPECT_EQ(Eval(QStringLiteral("-2^2")), -4);
    EXPECT_EQ(Eval(QStringLiteral("2*-3")), -6);
    EXPECT_EQ(Eval(QStringLiteral("8-4-2")), 2);
    EXPECT_EQ(Eval(QStringLiteral("8/4/2")), 1);
    EXPECT_EQ(Eval(QStringLiteral(" .5 +\t1e1 + 25E-1")), 13);
    EXPECT_EQ(Eval(QStringLiteral("PI")), Eval(QStringLiteral("pi")));
    EXPECT_EQ(Eval(QStringLiteral("pi")), 3.1415926535897932385L);
    EXPECT_EQ(Eval(QStringLiteral("round(2.5) + round(3.5)*10 + round(-2.5)*100")), -158);
    EXPECT_EQ(Eval(QStringLiteral("int(-2.7) + frac(-2.75) + trunc(2.7)")), -0.75L);
    EXPECT_EQ(Eval(QStringLiteral("floor(-2.5) * 10 + ceil(-2.5)")), -32);
    EXPECT_NEAR(
        double(Eval(QStringLiteral("logn(2, 8) + log2(4) + log10(1000) + Sqr(3) + Sqrt(16)"))), 21,
        1e-15);
    EXPECT_NEAR(double(Eval(QStringLiteral("arctan2(1, -1) / pi"))), 0.75, 1e-15);
    EXPECT_NEAR(double(Eval(QStringLiteral("arctan(1)*4 - pi + cotan(pi/4)"))), 1, 1e-15);
    EXPECT_NEAR(double(Eval(QStringLiteral("hypot(3, 4) + lnxp1(0) + arcsinh(sinh(1))"))), 6,
                1e-15);
}

TEST(StExpression, ErrorsCarryTheirCodeMessageAndColumn)
{
    struct TCase
    {
        const char *Text;
        int Code;
        int Column;
    };
    const TCase cases[] = {
        {"", 150, 1},          {"  ", 150, 3},        {"1..5", 151, 1},     {"2+1e ", 151, 3},
        {"1e+", 151, 1},       {"1 # 2", 152, 3},     {"1+*2", 153, 3},     {"2+", 153, 3},
        {"sqrt(-1)", 154, 1},  {"3 + ln(0)", 154, 5}, {"1e5000", 151, 1},   {"10^5000", 154, 3},
        {"pi()", 155, 3},      {"1 2", 155, 3},       {"(1+2", 155, 5},     {"2 = 3", 155, 3},
        {"nosuch(1)", 157, 1}, {"sin 1", 158, 5},     {"hypot(3)", 160, 8}, {"hypot(3 4)", 160, 9},
        {"sin(1, 2)", 159, 6}, {"1/0", 162, 2},       {"2*(0/0)", 162, 5},  {"ceil(2^40)", 154, 1},
    };
    for (const TCase &c : cases) {
        const TFailure failure = FailureOf(QString::fromLatin1(c.Text));
        EXPECT_EQ(failure.Code, c.Code) << c.Text;
        EXPECT_EQ(failure.Column, c.Column) << c.Text;
    }
    EXPECT_EQ(FailureOf(QStringLiteral("1/0")).Message, QString());
    EXPECT_EQ(FailureOf(QStringLiteral("#")).Message, QStringLiteral("Unknown character"));
    EXPECT_EQ(FailureOf(QStringLiteral(")")).Message,
              QStringLiteral("Expected function, number, sign, or ("));
    EXPECT_EQ(FailureOf(QStringLiteral("logn(2)")).Message,
              QStringLiteral("List separator expected"));

    TStExpression expression(Dot);
    FailureOf(expression, QStringLiteral("1 + sin 2"));
    EXPECT_EQ(expression.LastError(), 158);
    EXPECT_EQ(expression.ErrorPosition(), 9);
    expression.SetExpression(QStringLiteral("1"));
    EXPECT_EQ(expression.AnalyzeExpression(), 1);
    EXPECT_EQ(expression.LastError(), 0);
}

TEST(StExpression, IdentifiersOfEveryKindAreCalledWithTheirArguments)
{
    TStExpression expression(Dot);
    int added = 0;
    expression.SetOnAddIdentifier([&added](TStExpression &) { ++added; });
    long double rate = 2;
    TAccount account;
    expression.AddConstant(QStringLiteral("Base"), 100);
    expression.AddVariable(QStringLiteral("RATE"), &rate);
    expression.AddFunction3Param(
        QStringLiteral("digits"),
        [](long double a, long double b, long double c) { return a * 100 + b * 10 + c; });
    expression.AddMethod2Param(QStringLiteral("Deposit"), &account, &TAccount::Deposit);
    expression.AddMethod0Param(QStringLiteral("calls"), &account, &TAccount::Calls);
    EXPECT_EQ(added, 5);

    expression.SetExpression(
        QStringLiteral("base * rate + digits(1, 2+1, -4) + deposit(10, 3) * CALLS"));
    EXPECT_EQ(expression.AnalyzeExpression(), 200 + 126 + 7);
    rate = 3;
    EXPECT_EQ(expression.AnalyzeExpression(), 300 + 126 + 14);

    EXPECT_EQ(FailureOf(expression, QStringLiteral("digits(1, 2)")).Code, 160);
    try {
        expression.AddConstant(QStringLiteral("BASE"), 1);
        ADD_FAILURE() << "a duplicate name was accepted";
    } catch (const EStExprError &e) {
        EXPECT_EQ(e.ErrorCode(), 161);
        EXPECT_EQ(e.ErrorColumn(), 0);
    }

    QStringList names;
    expression.GetIdentList(names);
    ASSERT_EQ(names.size(), 31 + 5);
    EXPECT_EQ(names.first(), QStringLiteral("abs"));
    EXPECT_EQ(names.at(30), QStringLiteral("floor"));
    EXPECT_EQ(names.last(), QStringLiteral("calls"));
    EXPECT_EQ(expression.FindIdent(u"rate"), 32);
    EXPECT_EQ(expression.FindIdent(u"Rate"), -1);

    expression.RemoveIdentifier(QStringLiteral("Rate"));
    EXPECT_EQ(FailureOf(expression, QStringLiteral("rate")).Code, 157);
    QStringList asked;
    expression.SetOnGetIdentValue(
        [&asked](TStExpression &, const QString &name, long double &value) {
            asked.append(name);
            value += 5;
        });
    expression.SetExpression(QStringLiteral("Rate * 2"));
    EXPECT_EQ(expression.AnalyzeExpression(), 10);
    EXPECT_EQ(asked, QStringList {QStringLiteral("rate")});
    // The token after the name is already read, so the parenthesis is left over.
    EXPECT_EQ(FailureOf(expression, QStringLiteral("other(1)")).Code, 155);

    expression.ClearIdentifiers();
    expression.SetOnGetIdentValue({});
    EXPECT_EQ(FailureOf(expression, QStringLiteral("pi")).Code, 157);
}

TEST(StExpression, EqualDefinesAConstantOnlyOnce)
{
    TStExpression expression(Dot);
    int added = 0;
    expression.SetOnAddIdentifier([&added](TStExpression &) { ++added; });
    expression.SetExpression(QStringLiteral("x = 3"));
    EXPECT_EQ(expression.AnalyzeExpression(), 3);
    EXPECT_GE(expression.FindIdent(u"x"), 0);
    EXPECT_EQ(added, 1);
    const TFailure again = FailureOf(expression, QStringLiteral("x = 3"));
    EXPECT_EQ(again.Code, 161);
    EXPECT_EQ(again.Column, 0);

    expression.SetExpression(QStringLiteral("2 * (y = x + 1) + y"));
    EXPECT_EQ(expression.AnalyzeExpression(), 12);

    expression.SetAllowEqual(false);
    const TFailure refused = FailureOf(expression, QStringLiteral("x = 4"));
    EXPECT_EQ(refused.Code, 155);
    EXPECT_EQ(refused.Column, 3);
}

TEST(StExpression, IntegerAndTextFormsOfTheResult)
{
    TStExpression expression(Dot);
    expression.SetExpression(QStringLiteral("2.5"));
    EXPECT_EQ(expression.GetAsInteger(), 2);
    expression.SetExpression(QStringLiteral("-3.5"));
    EXPECT_EQ(expression.GetAsInteger(), -4);
    expression.SetExpression(QStringLiteral("2^31 - 1"));
    EXPECT_EQ(expression.GetAsInteger(), 2147483647);
    expression.SetExpression(QStringLiteral("2^31"));
    EXPECT_THROW(expression.GetAsInteger(), std::range_error);

    expression.SetExpression(QStringLiteral("1/4"));
    EXPECT_EQ(expression.GetAsString(), QStringLiteral("0.25"));
    expression.SetSeparators(Comma);
    expression.SetExpression(QStringLiteral("1/4"));
    EXPECT_EQ(expression.GetAsString(), QStringLiteral("0,25"));
}

TEST(StExpression, PrecedenceAndAssociativityMatchAReferenceEvaluator)
{
    std::mt19937 random(14);
    int faults = 0;
    for (int i = 0; i < 400; ++i) {
        const std::string text = RandomExpression(random, 3);
        long double expected = 0;
        int expectedCode = 0;
        try {
            expected = ReferenceEval(text);
        } catch (const TReferenceFault &fault) {
            expectedCode = fault.Code;
            ++faults;
        }
        const QString qtext = QString::fromStdString(text);
        if (expectedCode == 0)
            EXPECT_EQ(Eval(qtext), expected) << text;
        else
            EXPECT_EQ(FailureOf(qtext).Code, expectedCode) << text;
    }
    // The sample reaches both kinds of fault without being dominated by them.
    EXPECT_GT(faults, 10);
    EXPECT_LT(faults, 200);
}

TEST(StExpression, DeepNestingFailsWithAnErrorCode)
{
    const QString open = QString(10000, QLatin1Char('('));
    const QString close = QString(10000, QLatin1Char(')'));
    QString powers = QStringLiteral("1");
    for (int i = 0; i < 10000; ++i)
        powers += QStringLiteral("^1");
    QString calls;
    for (int i = 0; i < 10000; ++i)
        calls += QStringLiteral("abs(");
    const QString deep[] = {open + u'1' + close, QString(10000, QLatin1Char('-')) + u'1', powers,
                            calls + u'1' + close};
    for (const QString &text : deep) {
        const TFailure failure = FailureOf(text);
        EXPECT_EQ(failure.Code, 156) << text.left(10).toStdString();
        EXPECT_EQ(failure.Message, QStringLiteral("Operand stack overflow"));
    }
    EXPECT_EQ(FailureOf(open + u'1' + close).Column, TStExpression::MaxNestingDepth + 1);

    const int depth = TStExpression::MaxNestingDepth - 1;
    EXPECT_EQ(Eval(QString(depth, QLatin1Char('(')) + u'7' + QString(depth, QLatin1Char(')'))), 7);
}

TEST(StExpression, SeparatorsComeFromTheLocaleOrTheCaller)
{
    EXPECT_EQ(Eval(QStringLiteral("1,5 * 2"), Comma), 3);
    EXPECT_EQ(Eval(QStringLiteral("hypot(1,5; 2) + ,5"), Comma), 3);
    EXPECT_EQ(FailureOf(QStringLiteral("hypot(3,4)"), Comma).Code, 160);
    EXPECT_EQ(FailureOf(QStringLiteral("1,5,5"), Comma).Code, 151);
    EXPECT_EQ(FailureOf(QStringLiteral("1.5"), Comma).Code, 152);

    const TStExprSeparators german = TStExprSeparators::FromLocale(QLocale(QLocale::German));
    EXPECT_EQ(german.DecimalSeparator, u',');
    EXPECT_EQ(german.ListSeparator, u';');
    const TStExprSeparators c = TStExprSeparators::FromLocale(QLocale::c());
    EXPECT_EQ(c.DecimalSeparator, u'.');
    EXPECT_EQ(c.ListSeparator, u',');
}
