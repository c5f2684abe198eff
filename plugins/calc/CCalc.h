#pragma once
// The calculation box: a read-only number computed from an expression over
// other elements' values, kept current as they change, and following their
// renames.

#include "CPropGroups.h"
#include "CVisualPgCtrlNumeric.h"

#include <QSet>
#include <QStringList>

class TCalc;

// The names an expression refers to, sorted and upper-cased: every name that
// is not followed by "(", whether an element of that name exists or not, so
// that an element added or renamed later is followed as well.
class TCalcExprWalker
{
public:
    void SetNames(QStringList names);
    const QStringList &Names() const { return m_names; }
    bool Contains(const QString &upperName) const;

private:
    QStringList m_names;
};

// Its CharacterStyle is the style of the box's own character group.
class TCalcPropGroupCharacter : public TPropGroupCharacter
{
    Q_OBJECT
public:
    using TPropGroupCharacter::TPropGroupCharacter;
};

class TCalc : public TVisualPgCtrlNumeric
{
    Q_OBJECT
    Q_PROPERTY(QString CalcExpression READ CalcExpression WRITE SetCalcExpression)
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupFill *VisualFillProps READ VisualFillProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupPad *VisualPadProps READ VisualPadProps)
    Q_PROPERTY(TPropGroupParagraph *VisualParagraphProps READ VisualParagraphProps)
    Q_PROPERTY(TPropGroupPosSize *VisualPosSizeProps READ VisualPosSizeProps)

public:
    static constexpr int Kind = 80;
    // What the box shows while its expression reaches back to itself.
    static QString CircRefText() { return QStringLiteral("CIRC. REF."); }

    explicit TCalc(TComponent *owner);
    ~TCalc() override;

    QString CalcExpression() const { return m_expression; }
    // Unless the box is being read, every box recalculates.
    void SetCalcExpression(const QString &text);
    // The property editor's way of setting an expression.
    static void ExpressionUpdate(QWidget *element, const QString &text);
    void ExpressionUpdateMethod(QWidget *control, const QString &text)
    {
        ExpressionUpdate(control, text);
    }

    // The two functions every expression may call.
    long double _Max(long double a, long double b) const { return a > b ? a : b; }
    long double _Min(long double a, long double b) const { return a < b ? a : b; }

    // Upper case, no blanks or line breaks, each whole name FLOAT taken out with
    // the first "," after it made a decimal point.
    static QString FormatExpr(const QString &text);
    // The prepared text with each element's name replaced by its value in
    // parentheses; false when an element's value is not a number.
    bool ParsedExpr(const QString &prepared, QString &parsed) const;
    // Each name of the expression matching oldName (ignoring case) becomes newName.
    static QString RenamedExpr(const QString &expression, const QString &oldName,
                               const QString &newName);
    // The names an expression refers to (see TCalcExprWalker).
    static QStringList ReferencedNames(const QString &expression);

    const TCalcExprWalker &Walker() const { return m_walker; }
    // Whether the expression reaches, through calculation boxes, a circle of them.
    bool CircRef() const;
    bool Computed() const { return m_computed; }
    // Forgets the cached value; the next AsFloat evaluates again.
    void Invalidate();
    // Evaluates when needed and shows the value as the box's text.
    void Recalculate();
    // How many times the expression was really evaluated: for tests and benchmarks.
    int EvalCount() const { return m_evalCount; }

    int ClassTypeID() const override { return Kind; }
    void AfterConstruction() override;
    void SetName(const QString &name) override;
    Extended AsFloat() const override;
    QString DisplayText(const QString &text) const override;
    bool IsCalcField() const override { return true; }
    TPropGroupCharacter *CreateCharacterProps() override;
    void AddRemovePropHelperInf(TPropHelper *helper) override;
    int HlpCtx(const QString &name) override;
    void RegisterPropertyEditors() override;
    bool ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value) override;
    void Dispatch(TMessage &message) override;

protected:
    bool event(QEvent *event) override;

private:
    Extended Evaluate() const;
    // The value an element contributes, as text the evaluator reads; false when not a number.
    bool ElementValue(const TBasePgCtrl *element, QString &value) const;
    // When an element the expression reads goes, the box and its dependants recompute.
    void WatchElement(const QObject *element) const;

    QString m_expression;
    TCalcExprWalker m_walker;
    mutable Extended m_cached = 0;
    mutable bool m_computed = false;
    mutable bool m_computing = false;
    // An evaluation came back to this box while it ran.
    mutable bool m_reentered = false;
    mutable int m_evalCount = 0;
    mutable QSet<const QObject *> m_watched;
};

// General float-to-text: up to 15 significant digits, "NAN" for not a number.
QString CalcFloatToStr(Extended value);
