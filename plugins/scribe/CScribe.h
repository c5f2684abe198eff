#pragma once
// The text box: a numeric element into which a user types free text, a
// number, an e-mail address or a password. It adds the input type, password
// masking, fixed-size characters, a reset text and two checks against other
// elements (the text must also match one; another must also be checked).

#include "CPropGroups.h"
#include "CVisualPgCtrlNumeric.h"

namespace VeloraScribeEnums {
Q_NAMESPACE

enum TCustomScribeInputType { tbitText, tbitNumeric, tbitEmail, tbitPassword };
Q_ENUM_NS(TCustomScribeInputType)

} // namespace VeloraScribeEnums

using namespace VeloraScribeEnums;

class TCustomScribe;

class TCustomScribePropGroupGeneral : public TVisualPgCtrlNumericPropGroupGeneral
{
    Q_OBJECT
    Q_PROPERTY(VeloraScribeEnums::TCustomScribeInputType GeneralInputType READ GeneralInputType
                   WRITE SetGeneralInputType)
    Q_CLASSINFO("Default:GeneralInputType", "tbitText")
    Q_PROPERTY(bool GeneralPassword READ GeneralPassword WRITE SetGeneralPassword)
    Q_CLASSINFO("Default:GeneralPassword", "false")

public:
    static constexpr int InputTypeChanged = 20;
    static constexpr int PasswordChanged = 21;

    using TVisualPgCtrlNumericPropGroupGeneral::TVisualPgCtrlNumericPropGroupGeneral;

    TCustomScribeInputType GeneralInputType() const { return m_inputType; }
    void SetGeneralInputType(TCustomScribeInputType value);
    bool GeneralPassword() const { return m_password; }
    void SetGeneralPassword(bool value) { Change(m_password, value, PasswordChanged); }

protected:
    void PropertyChanged(int code) override;

private:
    TCustomScribeInputType m_inputType = tbitText;
    bool m_password = false;
};

class TCustomScribePropGroupCharacter : public TPropGroupCharacter
{
    Q_OBJECT
    Q_PROPERTY(bool CharacterFixedSize READ CharacterFixedSize WRITE SetCharacterFixedSize)
    Q_CLASSINFO("Default:CharacterFixedSize", "false")

public:
    using TPropGroupCharacter::TPropGroupCharacter;

    // Takes effect through the editor's parameters only.
    bool CharacterFixedSize() const { return m_fixedSize; }
    void SetCharacterFixedSize(bool value) { m_fixedSize = value; }

private:
    bool m_fixedSize = false;
};

class TCustomScribePropGroupResetForm : public TPropGroupCommonResetForm
{
    Q_OBJECT
    Q_PROPERTY(QString ResetFormTextOnReset READ ResetFormTextOnReset WRITE SetResetFormTextOnReset)

public:
    using TPropGroupCommonResetForm::TPropGroupCommonResetForm;

    QString ResetFormTextOnReset() const { return m_textOnReset; }
    void SetResetFormTextOnReset(const QString &value) { m_textOnReset = value; }

private:
    QString m_textOnReset;
};

// Validation with the text box checks. Several properties are views on the
// general and number groups, so a document holds those values twice.
class TScribePropGroupValidation : public TPropGroupValidation
{
    Q_OBJECT
    Q_PROPERTY(int ValidationMaxChars READ ValidationMaxChars WRITE SetValidationMaxChars)
    Q_CLASSINFO("Default:ValidationMaxChars", "0")
    Q_PROPERTY(QString ValidationMustAlsoCheck READ ValidationMustAlsoCheck WRITE
                   SetValidationMustAlsoCheck)
    Q_PROPERTY(QString ValidationMustAlsoMatch READ ValidationMustAlsoMatch WRITE
                   SetValidationMustAlsoMatch)
    Q_PROPERTY(Extended ValidationNumberMaxValue READ ValidationNumberMaxValue WRITE
                   SetValidationNumberMaxValue)
    Q_PROPERTY(Extended ValidationNumberMinValue READ ValidationNumberMinValue WRITE
                   SetValidationNumberMinValue)
    Q_PROPERTY(bool ValidationNumberNumericsOnly READ ValidationNumberNumericsOnly WRITE
                   SetValidationNumberNumericsOnly)
    Q_CLASSINFO("Default:ValidationNumberNumericsOnly", "false")
    Q_PROPERTY(QString ValidationRestrictTo READ ValidationRestrictTo WRITE SetValidationRestrictTo)

public:
    explicit TScribePropGroupValidation(TCustomScribe *owner);

    int ValidationMaxChars() const;
    void SetValidationMaxChars(int value);
    QString ValidationMustAlsoCheck() const { return m_mustAlsoCheck; }
    void SetValidationMustAlsoCheck(const QString &value) { Change(m_mustAlsoCheck, value, 10); }
    QString ValidationMustAlsoMatch() const { return m_mustAlsoMatch; }
    void SetValidationMustAlsoMatch(const QString &value) { Change(m_mustAlsoMatch, value, 11); }
    Extended ValidationNumberMaxValue() const;
    void SetValidationNumberMaxValue(Extended value);
    Extended ValidationNumberMinValue() const;
    void SetValidationNumberMinValue(Extended value);
    bool ValidationNumberNumericsOnly() const;
    void SetValidationNumberNumericsOnly(bool value);
    QString ValidationRestrictTo() const;
    void SetValidationRestrictTo(const QString &value);

private:
    TCustomScribe *m_scribe;
    QString m_mustAlsoCheck;
    QString m_mustAlsoMatch;
};

class TCustomScribe : public TVisualPgCtrlNumeric
{
    Q_OBJECT

public:
    explicit TCustomScribe(TComponent *owner);

    TCustomScribePropGroupGeneral *ScribeGeneralProps() const;
    TCustomScribePropGroupCharacter *ScribeCharacterProps() const;
    TCustomScribePropGroupResetForm *VisualResetFormProps() const { return m_resetForm; }
    TPropGroupScrolling *VisualScrollingProps() const { return m_scrolling; }
    // Null unless the kind's validation group is the text box one.
    TScribePropGroupValidation *ScribeValidationProps() const;
    TCustomScribeInputType InputType() const;
    bool Password() const;

    // Pixels at 100 % zoom, set by the editor's scroll bars.
    int HorzScrollPos() const { return m_horzScrollPos; }
    int VertScrollPos() const { return m_vertScrollPos; }
    void SetHorzScrollPos(int value) { m_horzScrollPos = value; }
    void SetVertScrollPos(int value) { m_vertScrollPos = value; }

    // What setting the input type does beyond storing it.
    void InputTypeChanged(TCustomScribeInputType type);
    // The e-mail check; empty when it passes.
    QString EmailFailure() const;
    // The checks against other elements; empty when they pass.
    QString CrossElementFailure() const;

    TPropGroupCharacter *CreateCharacterProps() override;
    TPropGroupGeneral *CreateGeneralProps() override;
    void SetValidationErrMsgs() override;
    QString DisplayText(const QString &text) const override;
    QList<TValidationCheck> ValidationChecks() const override;
    // What the inspector's drop lists offer for the two cross-element checks.
    static QStringList MustAlsoCheckCandidates();
    static QStringList MustAlsoMatchCandidates();
    // The inspector's suggestions for a text property; empty for the others.
    Q_INVOKABLE QStringList PropertyCandidates(const QString &propertyName) const;
    void RegisterPropertyEditors() override;
    QWidget *DoCreateEdit(const QPoint &point) override;
    void DrawText(const QRect &rect, QPainter &canvas, int first, int last, bool onScreen,
                  TColor color) override;
    Qt::CursorShape GetCursor(const QPoint &point) const override;
    bool IsDefaultTextSingleLine() const override;
    void ResetContent() override;
    bool ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value) override;
    int HlpCtx(const QString &name) override;
    void Validate() override;
    bool Aquired(TVisualPgCtrl *&element, QString &message, bool check, int pass) override;
    QString GetValidationHTML(int index) const override;
    bool HasHTMLValidation() const override;
    void AddRemovePropHelperInf(TPropHelper *helper) override;
    void Dispatch(TMessage &message) override;

private:
    // Entry index of the validation messages with the tags replaced.
    QString Message(int index, const QString &otherTag = QString(),
                    const QString &otherName = QString()) const;
    void NameChanged(const QString &oldName, const QString &newName);

    TCustomScribePropGroupResetForm *m_resetForm; // Qt child
    TPropGroupScrolling *m_scrolling; // Qt child
    int m_horzScrollPos = 0;
    int m_vertScrollPos = 0;
};

class TScribe : public TCustomScribe
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupFill *VisualFillProps READ VisualFillProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupPad *VisualPadProps READ VisualPadProps)
    Q_PROPERTY(TPropGroupParagraph *VisualParagraphProps READ VisualParagraphProps)
    Q_PROPERTY(TPropGroupPosSize *VisualPosSizeProps READ VisualPosSizeProps)
    Q_PROPERTY(TPropGroupCommonResetForm *VisualResetFormProps READ ResetFormProps)
    Q_PROPERTY(TPropGroupTABOn *VisualTABOnProps READ VisualTABOnProps)
    Q_PROPERTY(TPropGroupValidation *VisualValidationProps READ VisualValidationProps)

public:
    static constexpr int Kind = 20;

    explicit TScribe(TComponent *owner) : TCustomScribe(owner) { }

    int ClassTypeID() const override { return Kind; }
    TPropGroupValidation *CreateValidationProps() override;
    void AddRemovePropHelperInf(TPropHelper *helper) override;

private:
    TPropGroupCommonResetForm *ResetFormProps() const { return VisualResetFormProps(); }
};
