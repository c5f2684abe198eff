#pragma once
// The calculation box's expression language: arithmetic on extended-precision values with named
// constants, variables, functions and bound methods, evaluated in one pass while it is parsed.

#include "CException.h"

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Raised by every failed evaluation; the message is the fixed text of the code.
class EStExprError : public EVeloraError
{
public:
    EStExprError(const QString &message, int errorCode, int errorColumn)
        : EVeloraError(message), m_errorCode(errorCode), m_errorColumn(errorColumn)
    { }
    int ErrorCode() const noexcept { return m_errorCode; }
    // 1-based position of the token at which the error was found; 0 when not in the text.
    int ErrorColumn() const noexcept { return m_errorColumn; }

private:
    int m_errorCode;
    int m_errorColumn;
};

enum TStExprErrorCode : int {
    exprEmptyExpression = 150,
    exprBadNumber = 151,
    exprUnknownCharacter = 152,
    exprOperandExpected = 153,
    exprNumericError = 154,
    exprInvalidExpression = 155,
    exprStackOverflow = 156,
    exprUnknownIdentifier = 157,
    exprLeftParenExpected = 158,
    exprRightParenExpected = 159,
    exprListSeparatorExpected = 160,
    exprDuplicateIdentifier = 161,
    exprMulDivFault = 162,
};

// The fixed message of an error code (empty for 162 and for unknown codes).
QString StExprErrorMessage(int code);

// The characters that separate decimals and arguments; injectable so that texts are read the
// same whatever the machine's locale.
struct TStExprSeparators
{
    QChar DecimalSeparator = QLatin1Char('.');
    QChar ListSeparator = QLatin1Char(',');

    // The locale's decimal separator; arguments are separated by ";" where the decimal
    // separator is "," and by "," otherwise.
    static TStExprSeparators FromLocale(const QLocale &locale = QLocale());
};

using TStFunction0Param = long double (*)();
using TStFunction1Param = long double (*)(long double);
using TStFunction2Param = long double (*)(long double, long double);
using TStFunction3Param = long double (*)(long double, long double, long double);

class TStExpression
{
public:
    // Called after each identifier the caller adds.
    using TAddIdentifierEvent = std::function<void(TStExpression &sender)>;
    // Gives the value (preset to 0) of a name that is not in the table. Handlers must not remove
    // identifiers while an evaluation runs.
    using TGetIdentValueEvent
        = std::function<void(TStExpression &sender, const QString &name, long double &value)>;

    // Nesting of parentheses, calls, signs and powers beyond which evaluation fails with 156 rather
    // than exhausting the machine stack.
    static constexpr int MaxNestingDepth = 500;

    explicit TStExpression(const TStExprSeparators &separators = TStExprSeparators::FromLocale());
    TStExpression(const TStExpression &) = delete;
    TStExpression &operator=(const TStExpression &) = delete;

    const QString &Expression() const { return m_expression; }
    void SetExpression(const QString &text) { m_expression = text; }
    const TStExprSeparators &Separators() const { return m_separators; }
    void SetSeparators(const TStExprSeparators &separators) { m_separators = separators; }
    bool AllowEqual() const { return m_allowEqual; }
    void SetAllowEqual(bool allow) { m_allowEqual = allow; }
    void SetOnAddIdentifier(TAddIdentifierEvent handler) { m_onAddIdentifier = std::move(handler); }
    void SetOnGetIdentValue(TGetIdentValueEvent handler) { m_onGetIdentValue = std::move(handler); }

    // Code and column of the last failure; 0 after a successful evaluation.
    int LastError() const { return m_lastError; }
    int ErrorPosition() const { return m_errorPosition; }

    // Evaluate the text; all three raise EStExprError.
    long double AnalyzeExpression();
    // Rounded to the nearest integer, ties to even; std::range_error when it does not fit 32 bits.
    int GetAsInteger();
    // Up to 15 significant digits, with the decimal separator.
    QString GetAsString();

    // Names are stored in lower case; a name already in the table raises 161.
    void AddConstant(const QString &name, long double value);
    // The value is read at each use and must outlive the entry.
    void AddVariable(const QString &name, const long double *value);
    void AddFunction0Param(const QString &name, TStFunction0Param function);
    void AddFunction1Param(const QString &name, TStFunction1Param function);
    void AddFunction2Param(const QString &name, TStFunction2Param function);
    void AddFunction3Param(const QString &name, TStFunction3Param function);
    // The object must outlive the entry.
    template<class T, class M>
    void AddMethod0Param(const QString &name, T *object, M method)
    {
        AddMethod(name, 0, [object, method](const long double *) {
            return static_cast<long double>((object->*method)());
        });
    }
    template<class T, class M>
    void AddMethod1Param(const QString &name, T *object, M method)
    {
        AddMethod(name, 1, [object, method](const long double *a) {
            return static_cast<long double>((object->*method)(a[0]));
        });
    }
    template<class T, class M>
    void AddMethod2Param(const QString &name, T *object, M method)
    {
        AddMethod(name, 2, [object, method](const long double *a) {
            return static_cast<long double>((object->*method)(a[0], a[1]));
        });
    }
    template<class T, class M>
    void AddMethod3Param(const QString &name, T *object, M method)
    {
        AddMethod(name, 3, [object, method](const long double *a) {
            return static_cast<long double>((object->*method)(a[0], a[1], a[2]));
        });
    }

    void RemoveIdentifier(const QString &name);
    void ClearIdentifiers();
    void GetIdentList(QStringList &list) const;
    // Exact comparison with the stored lower-case names.
    int FindIdent(QStringView name) const;

private:
    class TParser;
    friend class TParser;

    enum class TIdentKind { Constant, Variable, Function, Method };
    using TInvoker = std::function<long double(const long double *args)>;
    struct TIdentifier
    {
        QString Name;
        TIdentKind Kind = TIdentKind::Constant;
        int ParamCount = 0;
        long double Value = 0;
        const long double *Variable = nullptr;
        TInvoker Invoke;
    };

    void AddIdentifier(TIdentifier identifier);
    void AddMethod(const QString &name, int paramCount, TInvoker invoke);
    void AddBuiltIns();
    [[noreturn]] void RaiseError(int code, int column);

    QString m_expression;
    TStExprSeparators m_separators;
    std::vector<TIdentifier> m_identifiers;
    bool m_allowEqual = true;
    bool m_addingBuiltIns = false;
    TAddIdentifierEvent m_onAddIdentifier;
    TGetIdentValueEvent m_onGetIdentValue;
    int m_lastError = 0;
    int m_errorPosition = 0;
};

// Evaluates a text with a fresh expression object holding only the built-in functions.
long double AnalyzeExpr(const QString &text,
                        const TStExprSeparators &separators = TStExprSeparators::FromLocale());
