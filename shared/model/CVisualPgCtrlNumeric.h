#pragma once
// The base of elements whose text may be a number (text box, combo box,
// calculation box): number formatting for display, numeric validation with
// range messages, and the value calculations read.

#include "CBasePgCtrl.h"
#include "CPropGroups.h"
#include "CPropGroupsNumber.h"

// Text as a number: blanks around it, an optional sign, digits with "." as the
// decimal point, an optional exponent; nothing else. False when it does not convert.
bool Global_TextToFloat(const QString &text, Extended &value);

class TVisualPgCtrlNumericPropGroupGeneral : public TPropGroupGeneral
{
    Q_OBJECT
    Q_PROPERTY(int GeneralMaxChars READ GeneralMaxChars WRITE SetGeneralMaxChars)
    Q_CLASSINFO("Default:GeneralMaxChars", "0")

public:
    using TPropGroupGeneral::TPropGroupGeneral;

    // 0 is no limit.
    int GeneralMaxChars() const { return m_maxChars; }
    void SetGeneralMaxChars(int value) { m_maxChars = value; }

private:
    int m_maxChars = 0;
};

// Whether the in-place editor moves on when the decimal point is typed, or
// when the text reaches the maximum length.
class TVisualPgCtrlNumericPropGroupTABOn : public TPropGroupTABOn
{
    Q_OBJECT
    Q_PROPERTY(bool TABOnDecimalPoint READ TABOnDecimalPoint WRITE SetTABOnDecimalPoint)
    Q_CLASSINFO("Default:TABOnDecimalPoint", "false")
    Q_PROPERTY(bool TABOnMaxChars READ TABOnMaxChars WRITE SetTABOnMaxChars)
    Q_CLASSINFO("Default:TABOnMaxChars", "false")

public:
    using TPropGroupTABOn::TPropGroupTABOn;

    bool TABOnDecimalPoint() const { return m_decimalPoint; }
    void SetTABOnDecimalPoint(bool value) { m_decimalPoint = value; }
    bool TABOnMaxChars() const { return m_maxChars; }
    void SetTABOnMaxChars(bool value) { m_maxChars = value; }

private:
    bool m_decimalPoint = false;
    bool m_maxChars = false;
};

class TVisualPgCtrlNumeric : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupNumber *VisualNumberProps READ VisualNumberProps)

public:
    explicit TVisualPgCtrlNumeric(TComponent *owner);

    TPropGroupNumber *VisualNumberProps() const { return m_number; }
    // The substituted groups, typed.
    TVisualPgCtrlNumericPropGroupGeneral *NumericGeneralProps() const;
    TVisualPgCtrlNumericPropGroupTABOn *NumericTABOnProps() const;

    TPropGroupGeneral *CreateGeneralProps() override;
    TPropGroupTABOn *CreateTABOnProps() override;
    void SetValidationErrMsgs() override;
    void AddRemovePropHelperInf(TPropHelper *helper) override;
    // Unfocused numbers show formatted; while focused the raw text is edited.
    QString DisplayText(const QString &text) const override;
    QString GetValidationHTML(int index) const override;
    bool HasHTMLValidation() const override;
    int HlpCtx(const QString &name) override;
    bool IsCalcField() const override;
    void Validate() override;

    // Raises EVeloraError when the text is not a number.
    virtual QString DoFormat(const QString &text, bool separateThousands) const;
    virtual QString GetOutOfRange_VEM() const;
    // The value calculations read; 0 when the text is not a number.
    virtual Extended AsFloat() const;

private:
    // Padding is for display only; values are read unpadded.
    QString FormatNumber(const QString &text, bool separateThousands, bool pad) const;

    TPropGroupNumber *m_number; // Qt child
};
