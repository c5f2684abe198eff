#pragma once
// The combo box: a numeric-capable text element with a drop-down button and
// a list of items. The editable kind takes any text, the list-only kind only
// an item or nothing; an empty (or, list-only, non-item) entry shows a prompt
// on screen and counts as not filled. Paper shows the chosen value only.

#include "CComboInPlaceList.h"
#include "CPropEditors.h"
#include "CVisualPgCtrlNumeric.h"

class QPainter;

// Draws the drop-down button into rect; themed when the style has one.
void ComboInPlaceButtonDraw(QPainter &canvas, const QRect &rect, bool themed);

class TComboPropGroupButton : public TPropGroup
{
    Q_OBJECT
    Q_PROPERTY(bool ButtonAlwaysDisplay READ ButtonAlwaysDisplay WRITE SetButtonAlwaysDisplay)
    Q_CLASSINFO("Default:ButtonAlwaysDisplay", "true")
    Q_PROPERTY(VeloraComboEnums::TComboButtonPosition ButtonPosition READ ButtonPosition WRITE
                   SetButtonPosition)
    Q_CLASSINFO("Default:ButtonPosition", "bsInside")

public:
    explicit TComboPropGroupButton(TCustomCombo *owner);

    bool ButtonAlwaysDisplay() const { return m_alwaysDisplay; }
    void SetButtonAlwaysDisplay(bool value) { Change(m_alwaysDisplay, value, 1); }
    TComboButtonPosition ButtonPosition() const { return m_position; }
    void SetButtonPosition(TComboButtonPosition value) { Change(m_position, value, 2); }

protected:
    void PropertyChanged(int code) override;

private:
    TCustomCombo *m_combo;
    bool m_alwaysDisplay = true;
    TComboButtonPosition m_position = bsInside;
};

class TCustomComboPropGroupGeneral : public TVisualPgCtrlNumericPropGroupGeneral
{
    Q_OBJECT
    Q_PROPERTY(VeloraComboEnums::TCustomComboInputType GeneralInputType READ GeneralInputType WRITE
                   SetGeneralInputType)
    Q_CLASSINFO("Default:GeneralInputType", "ccitText")
    Q_PROPERTY(QString GeneralPrompt READ GeneralPrompt WRITE SetGeneralPrompt)

public:
    static constexpr int InputTypeChanged = 20;
    static constexpr int PromptChanged = 21;

    using TVisualPgCtrlNumericPropGroupGeneral::TVisualPgCtrlNumericPropGroupGeneral;

    TCustomComboInputType GeneralInputType() const { return m_inputType; }
    void SetGeneralInputType(TCustomComboInputType value);
    QString GeneralPrompt() const { return m_prompt; }
    void SetGeneralPrompt(const QString &value) { Change(m_prompt, value, PromptChanged); }
    QString *PromptField() { return &m_prompt; }

protected:
    void PropertyChanged(int code) override;

private:
    TCustomComboInputType m_inputType = ccitText;
    QString m_prompt;
};

class TCustomComboPropGroupResetForm : public TPropGroupCommonResetForm
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

// Views on the general and number groups, as the text box has them.
class TComboPropGroupValidation : public TPropGroupValidation
{
    Q_OBJECT
    Q_PROPERTY(int ValidationMaxChars READ ValidationMaxChars WRITE SetValidationMaxChars)
    Q_CLASSINFO("Default:ValidationMaxChars", "0")
    Q_PROPERTY(Extended ValidationNumberMaxValue READ ValidationNumberMaxValue WRITE
                   SetValidationNumberMaxValue)
    Q_PROPERTY(Extended ValidationNumberMinValue READ ValidationNumberMinValue WRITE
                   SetValidationNumberMinValue)
    Q_PROPERTY(bool ValidationNumberNumericsOnly READ ValidationNumberNumericsOnly WRITE
                   SetValidationNumberNumericsOnly)
    Q_CLASSINFO("Default:ValidationNumberNumericsOnly", "false")
    Q_PROPERTY(QString ValidationRestrictTo READ ValidationRestrictTo WRITE SetValidationRestrictTo)

public:
    explicit TComboPropGroupValidation(TCustomCombo *owner);

    int ValidationMaxChars() const;
    void SetValidationMaxChars(int value);
    Extended ValidationNumberMaxValue() const;
    void SetValidationNumberMaxValue(Extended value);
    Extended ValidationNumberMinValue() const;
    void SetValidationNumberMinValue(Extended value);
    bool ValidationNumberNumericsOnly() const;
    void SetValidationNumberNumericsOnly(bool value);
    QString ValidationRestrictTo() const;
    void SetValidationRestrictTo(const QString &value);

private:
    TCustomCombo *m_combo;
};

class TCustomCombo : public TVisualPgCtrlNumeric
{
    Q_OBJECT

public:
    explicit TCustomCombo(TComponent *owner);

    TCustomComboPropGroupGeneral *ComboGeneralProps() const;
    TComboPropGroupList *ComboListProps() const { return m_list; }
    TComboPropGroupButton *ComboButtonProps() const { return m_button; }
    TCustomComboPropGroupResetForm *VisualResetFormProps() const { return m_resetForm; }
    TComboType ListType() const { return m_list->ListType(); }
    QString Prompt() const;
    TCustomComboInputType InputType() const;

    // Unscaled width of the drop-down button.
    int ButtonWidth() const { return m_buttonWidth; }
    // Where the button lies, element coordinates at the current zoom; for an
    // outside button that is not always shown, right of the element.
    QRect ButtonRect() const;
    // True when the entry shows the prompt instead of its text.
    bool PromptShown() const;
    // Index of the item equal to text (letter case aside), or -1.
    int ExactItemIndex(const QString &text) const;
    // Button settings changed: the text area and the layout follow.
    void ButtonChanged();
    void InputTypeChanged(TCustomComboInputType type);
    QString EmailFailure() const;

    TPropGroupGeneral *CreateGeneralProps() override;
    void SetValidationErrMsgs() override;
    QList<TValidationCheck> ValidationChecks() const override;
    QString DisplayText(const QString &text) const override;
    bool Filled() const override;
    bool Aquired(TVisualPgCtrl *&element, QString &message, bool check, int pass) override;
    void Validate() override;
    QString GetValidationHTML(int index) const override;
    void ResetContent() override;
    QWidget *DoCreateEdit(const QPoint &point) override;
    void DoPaint(const QRect &rect, QPainter &canvas, bool onScreen) override;
    void DrawText(const QRect &rect, QPainter &canvas, int first, int last, bool onScreen,
                  TColor color) override;
    Qt::CursorShape GetCursor(const QPoint &point) const override;
    void *GetData(int index) override;
    bool ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value) override;
    void RegisterPropertyEditors() override;
    int HlpCtx(const QString &name) override;
    void AddRemovePropHelperInf(TPropHelper *helper) override;
    void Dispatch(TMessage &message) override;

private:
    void ListItemsUpdate(QWidget *control, const QString &value);
    QString Message(int index) const;

    TComboPropGroupList *m_list; // Qt child
    TComboPropGroupButton *m_button; // Qt child
    TCustomComboPropGroupResetForm *m_resetForm; // Qt child
    int m_buttonWidth;
};

class TCombo : public TCustomCombo
{
    Q_OBJECT
    Q_PROPERTY(TComboPropGroupButton *ComboButtonProps READ ComboButtonProps)
    Q_PROPERTY(TComboPropGroupList *ComboListProps READ ComboListProps)
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
    static constexpr int Kind = 70;

    explicit TCombo(TComponent *owner) : TCustomCombo(owner) { }

    int ClassTypeID() const override { return Kind; }
    TPropGroupValidation *CreateValidationProps() override;
    void AddRemovePropHelperInf(TPropHelper *helper) override;

private:
    TPropGroupCommonResetForm *ResetFormProps() const { return VisualResetFormProps(); }
};
