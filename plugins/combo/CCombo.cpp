#include "CCombo.h"

#include "CComboInPlaceEdit.h"
#include "CException.h"
#include "CGlobal.h"
#include "CPlugInContract.h"
#include "CPrinterPage.h"
#include "CPropHelper.h"

#include <QApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>

// ---------------------------------------------------------------------------
// Groups

TComboPropGroupButton::TComboPropGroupButton(TCustomCombo *owner)
    : TPropGroup(owner), m_combo(owner)
{ }

void TComboPropGroupButton::PropertyChanged(int code)
{
    if (!OwnerLoading())
        m_combo->ButtonChanged();
    TPropGroup::PropertyChanged(code);
}

void TCustomComboPropGroupGeneral::SetGeneralInputType(TCustomComboInputType value)
{
    if (m_inputType == value)
        return;
    m_inputType = value;
    // A document holds the number setting as it was saved.
    if (OwnerLoading())
        return;
    if (auto *combo = qobject_cast<TCustomCombo *>(Owner()))
        combo->InputTypeChanged(value);
    PropChanged(InputTypeChanged);
}

void TCustomComboPropGroupGeneral::PropertyChanged(int code)
{
    if (code == PromptChanged)
        if (TPropGroupOwner *element = Element())
            element->PropGroupRelayout(true);
    TVisualPgCtrlNumericPropGroupGeneral::PropertyChanged(code);
}

TComboPropGroupValidation::TComboPropGroupValidation(TCustomCombo *owner)
    : TPropGroupValidation(owner), m_combo(owner)
{ }

int TComboPropGroupValidation::ValidationMaxChars() const
{
    const auto *general = m_combo->NumericGeneralProps();
    return general ? general->GeneralMaxChars() : 0;
}

void TComboPropGroupValidation::SetValidationMaxChars(int value)
{
    if (auto *general = m_combo->NumericGeneralProps())
        general->SetGeneralMaxChars(value);
}

Extended TComboPropGroupValidation::ValidationNumberMaxValue() const
{
    return m_combo->VisualNumberProps()->NumberMaxValue();
}

void TComboPropGroupValidation::SetValidationNumberMaxValue(Extended value)
{
    m_combo->VisualNumberProps()->SetNumberMaxValue(value);
}

Extended TComboPropGroupValidation::ValidationNumberMinValue() const
{
    return m_combo->VisualNumberProps()->NumberMinValue();
}

void TComboPropGroupValidation::SetValidationNumberMinValue(Extended value)
{
    m_combo->VisualNumberProps()->SetNumberMinValue(value);
}

bool TComboPropGroupValidation::ValidationNumberNumericsOnly() const
{
    return m_combo->VisualNumberProps()->NumberNumericsOnly();
}

void TComboPropGroupValidation::SetValidationNumberNumericsOnly(bool value)
{
    m_combo->VisualNumberProps()->SetNumberNumericsOnly(value);
}

QString TComboPropGroupValidation::ValidationRestrictTo() const
{
    const TPropGroupGeneral *general = m_combo->VisualGeneralProps();
    return general ? general->GeneralRestrictTo() : QString();
}

void TComboPropGroupValidation::SetValidationRestrictTo(const QString &value)
{
    if (TPropGroupGeneral *general = m_combo->VisualGeneralProps())
        general->SetGeneralRestrictTo(value);
}

// ---------------------------------------------------------------------------
// TCustomCombo

TCustomCombo::TCustomCombo(TComponent *owner)
    : TVisualPgCtrlNumeric(owner), m_list(new TComboPropGroupList(this)),
      m_button(new TComboPropGroupButton(this)),
      m_resetForm(new TCustomComboPropGroupResetForm(this)),
      m_buttonWidth(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent))
{
    resize(121, 25);
    SecondInnerMargins = QMargins(0, 0, m_buttonWidth, 0);
}

TCustomComboPropGroupGeneral *TCustomCombo::ComboGeneralProps() const
{
    return qobject_cast<TCustomComboPropGroupGeneral *>(VisualGeneralProps());
}

QString TCustomCombo::Prompt() const
{
    const auto *general = ComboGeneralProps();
    return general ? general->GeneralPrompt() : QString();
}

TCustomComboInputType TCustomCombo::InputType() const
{
    const auto *general = ComboGeneralProps();
    return general ? general->GeneralInputType() : ccitText;
}

QRect TCustomCombo::ButtonRect() const
{
    const TPrinterPage *page = ParentPage();
    const int w = page ? page->Scale(m_buttonWidth) : m_buttonWidth;
    switch (m_button->ButtonPosition()) {
    case bsInside: {
        const QRect inner = AdjRectBy(rect(), VisualBorderProps(), nullptr, true, false, true);
        return QRect(inner.right() - w + 1, inner.top(), w, inner.height());
    }
    case bsOutside:
        break;
    }
    if (m_button->ButtonAlwaysDisplay())
        return QRect(width() - w, 0, w, height());
    return QRect(width(), 0, w, height());
}

int TCustomCombo::ExactItemIndex(const QString &text) const
{
    const QStringList items = m_list->Items();
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items.at(i).compare(text, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

bool TCustomCombo::PromptShown() const
{
    if (ListType() == ctDropDown)
        return Text().isEmpty();
    // An exact match: a text that merely begins an item is no choice.
    return ExactItemIndex(Text()) < 0;
}

void TCustomCombo::ButtonChanged()
{
    const bool inside = m_button->ButtonPosition() == bsInside || m_button->ButtonAlwaysDisplay();
    SecondInnerMargins = QMargins(0, 0, inside ? m_buttonWidth : 0, 0);
    CalcEditArea();
    BuildWYSIWYGInf(true, true);
}

void TCustomCombo::InputTypeChanged(TCustomComboInputType type)
{
    VisualNumberProps()->SetNumberNumericsOnly(type == ccitNumeric);
}

TPropGroupGeneral *TCustomCombo::CreateGeneralProps()
{
    return new TCustomComboPropGroupGeneral(this);
}

void TCustomCombo::SetValidationErrMsgs()
{
    TVisualPgCtrlNumeric::SetValidationErrMsgs();
    QStringList messages = VisualValidationProps()->ValidationErrMsgsList();
    messages << QStringLiteral("<Name> contains an invalid email address!");
    VisualValidationProps()->SetValidationErrMsgsList(messages);
}

QList<TValidationCheck> TCustomCombo::ValidationChecks() const
{
    return {{QStringLiteral("Required"), 0},
            {QStringLiteral("Invalid Number/Range"), 1},
            {QStringLiteral("Invalid Email Address"), 2}};
}

QString TCustomCombo::DisplayText(const QString &text) const
{
    // While editing the entry itself shows, so the caret and the text agree.
    if (Editor() || CreatingEditor() || !PromptShown())
        return TVisualPgCtrlNumeric::DisplayText(text);
    // Not formatted as a number: the prompt is words.
    return TVisualPgCtrl::DisplayText(Prompt());
}

bool TCustomCombo::Filled() const
{
    return !Text().isEmpty() && !PromptShown();
}

QString TCustomCombo::Message(int index) const
{
    QString text = VisualValidationProps()->ValidationErrMsgsList().value(index);
    static const QRegularExpression tag(QStringLiteral("<Name>"),
                                        QRegularExpression::CaseInsensitiveOption);
    return text.replace(tag, Name());
}

QString TCustomCombo::EmailFailure() const
{
    if (InputType() != ccitEmail || Text().isEmpty() || Global_IsValidEmail(Text()))
        return {};
    return Message(2);
}

bool TCustomCombo::Aquired(TVisualPgCtrl *&element, QString &message, bool check, int pass)
{
    element = this;
    if (check && !Filled()) {
        message = GetRequired_VEM();
        return false;
    }
    if (!TVisualPgCtrlNumeric::Aquired(element, message, check, pass))
        return false;
    element = this;
    message = EmailFailure();
    return message.isEmpty();
}

void TCustomCombo::Validate()
{
    TVisualPgCtrlNumeric::Validate();
    const QString failure = EmailFailure();
    if (!failure.isEmpty())
        throw EVeloraError(failure);
}

QString TCustomCombo::GetValidationHTML(int index) const
{
    QString html = TVisualPgCtrlNumeric::GetValidationHTML(index);
    if (!VisualValidationProps()->ValidationRequired())
        return html;
    // A web form checks a drop-down list's choice with its own code, in place of the text's.
    const QString text
        = QStringLiteral("        '%1', '#q', '0', '%2'").arg(Name(), GetRequired_VEM());
    const QString choice
        = QStringLiteral("        '%1', '#q', '1', '%2'").arg(Name(), GetRequired_VEM());
    if (html.contains(text))
        return html.replace(text, choice);
    return html.isEmpty() ? choice : html + QStringLiteral(",\r\n") + choice;
}

void TCustomCombo::ResetContent()
{
    TVisualPgCtrlNumeric::ResetContent();
    if (!m_resetForm->ResetFormCanBeReset())
        return;
    const QString text = m_resetForm->ResetFormTextOnReset();
    if (ListType() == ctDropDownList && !text.isEmpty() && ExactItemIndex(text) < 0)
        return;
    SetText(text);
}

QWidget *TCustomCombo::DoCreateEdit(const QPoint &point)
{
    BuildWYSIWYGInf(true, false);
    if (auto *existing = qobject_cast<TComboInPlaceEdit *>(Editor()))
        return existing;
    const bool listOnly = ListType() == ctDropDownList;
    TBaseRTEditFocusCtrlParamss params
        = BaseRTEditFocusCtrlParams(this, listOnly ? QPoint(-1, -1) : point);
    params.FixedSize = true;
    params.WholeNumbersOnly = VisualNumberProps()->NumberDecPlaces() == 0;
    params.MaxChars = 0;
    params.NumericsOnly = VisualNumberProps()->NumberNumericsOnly();
    params.WordWrap = false;
    params.Scrolling = TPropGroupScrollingParams();
    // Parented to the page by the editor itself; the element frees it with FreeEdit.
    auto *editor = new TComboInPlaceEdit(this, params);
    editor->OwnerResized();
    editor->setFocus();
    if (m_list->ListAutoDrop() || (point.x() >= 0 && ButtonRect().contains(point)))
        editor->DropDown();
    return editor;
}

void TCustomCombo::DoPaint(const QRect &rect, QPainter &canvas, bool onScreen)
{
    TVisualPgCtrlNumeric::DoPaint(rect, canvas, onScreen);
    // The button is part of the screen only; paper shows the value.
    if (onScreen && m_button->ButtonAlwaysDisplay())
        ComboInPlaceButtonDraw(canvas, ButtonRect().translated(rect.topLeft()),
                               ClassTypeID() == 240);
}

void TCustomCombo::DrawText(const QRect &rect, QPainter &canvas, int first, int last, bool onScreen,
                            TColor color)
{
    // Paper carries the choice only; a prompt is no choice.
    if (!onScreen && PromptShown())
        return;
    TVisualPgCtrlNumeric::DrawText(rect, canvas, first, last, onScreen, color);
}

Qt::CursorShape TCustomCombo::GetCursor(const QPoint &point) const
{
    return EditArea().contains(point) ? Qt::IBeamCursor : TVisualPgCtrlNumeric::GetCursor(point);
}

void *TCustomCombo::GetData(int index)
{
    switch (index) {
    case 0:
        return m_list->ItemsField();
    case 1:
        return m_list->DropRowsField();
    case 2:
        return m_list->TypeField();
    case 3:
        return ComboGeneralProps() ? ComboGeneralProps()->PromptField() : nullptr;
    default:
        return TVisualPgCtrlNumeric::GetData(index);
    }
}

void TCustomCombo::ListItemsUpdate(QWidget *control, const QString &value)
{
    if (auto *combo = qobject_cast<TCustomCombo *>(control))
        combo->ComboListProps()->SetListItems(value);
}

bool TCustomCombo::ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value)
{
    if (!propertyName.isEmpty()
        && propertyName.compare(QLatin1String("ListItems"), Qt::CaseInsensitive) != 0)
        return TVisualPgCtrlNumeric::ShowPropEditor(propertyName, recordUndo, value);
    const QString old = m_list->ListItems();
    if (!GlobalGetTextDlg(old, QStringLiteral("Drop Down List Items"), false, value, 71))
        return false;
    if (value == old)
        return true;
    if (recordUndo && GlobalRecordDblClickUndo)
        GlobalRecordDblClickUndo(this, QStringLiteral("ListItems"), old, value);
    ApplyPropChange(static_cast<TUpdateMethod>(&TCustomCombo::ListItemsUpdate), value);
    PostMessage(GlobalMainForm, VRMSGEditStateChanged);
    GlobalMadeChange();
    return true;
}

void TCustomCombo::RegisterPropertyEditors()
{
    TVisualPgCtrlNumeric::RegisterPropertyEditors();
    RegisterPropertyEditor({QStringLiteral("QString"), QStringLiteral("TComboPropGroupList"),
                            QStringLiteral("TPropEditorComboListItems"),
                            QStringLiteral("ListItems"), TPropEditorKind::Dialog});
    RegisterPropertyEditor({QStringLiteral("QStringList"),
                            QStringLiteral("TComboPropGroupValidation"),
                            QStringLiteral("TPropEditorComboVEMs"),
                            QStringLiteral("ValidationErrMsgsList"), TPropEditorKind::Dialog});
}

int TCustomCombo::HlpCtx(const QString &name)
{
    if (name.compare(QLatin1String("ListItems"), Qt::CaseInsensitive) == 0)
        return 71;
    return TVisualPgCtrlNumeric::HlpCtx(name);
}

void TCustomCombo::AddRemovePropHelperInf(TPropHelper *helper)
{
    TVisualPgCtrlNumeric::AddRemovePropHelperInf(helper);
    for (const char *id : {"GeneralDisplay", "GeneralReadOnly", "FixedWrapWidth", "FixedVertGap"})
        helper->RemoveInfo(QLatin1String(id));
    static const std::pair<const char *, std::pair<int, const char *>> entries[] = {
        {"GeneralInputType", {421, "Input Type"}},
        {"GeneralPrompt", {423, "Prompt"}},
        {"ComboButtonProps", {500, "Button"}},
        {"ButtonAlwaysDisplay", {510, "Always Display"}},
        {"ButtonPosition", {520, "Position"}},
        {"ComboListProps", {600, "List"}},
        {"ListItems", {620, "Items"}},
        {"ListSorted", {630, "Sorted"}},
        {"ListType", {640, "Type"}},
        {"ListDropRows", {650, "Drop Rows"}},
        {"ListAutoDrop", {660, "Automatic Drop"}},
        {"ListBorderProps", {665, "Border"}},
        {"ListFillProps", {670, "Fill"}},
        {"ListPadProps", {675, "Pad (Pixels)"}},
        {"ListCharacterProps", {680, "Character"}},
        {"VisualResetFormProps", {2500, "On Reset Form"}},
        {"ResetFormCanBeReset", {2510, "Can Be Reset"}},
        {"ResetFormTextOnReset", {2520, "Text On Reset"}},
    };
    for (const auto &[id, info] : entries)
        helper->AddInfo(QLatin1String(id), QLatin1String(info.second), info.first);
}

void TCustomCombo::Dispatch(TMessage &message)
{
    if (message.Msg == ::VRMSGDblClickDlgSetPropVal) {
        const auto *name = reinterpret_cast<const QString *>(message.WParam);
        const auto *value = reinterpret_cast<const QString *>(message.LParam);
        if (name && value && name->compare(QLatin1String("ListItems"), Qt::CaseInsensitive) == 0) {
            m_list->SetListItems(*value);
            return;
        }
    }
    TVisualPgCtrlNumeric::Dispatch(message);
}

// ---------------------------------------------------------------------------
// TCombo

TPropGroupValidation *TCombo::CreateValidationProps()
{
    return new TComboPropGroupValidation(this);
}

void TCombo::AddRemovePropHelperInf(TPropHelper *helper)
{
    TCustomCombo::AddRemovePropHelperInf(helper);
    for (const char *id : {"GeneralMaxChars", "GeneralRestrictTo", "NumberNumericsOnly",
                           "NumberMinValue", "NumberMaxValue"})
        helper->RemoveInfo(QLatin1String(id));
    static const std::pair<const char *, std::pair<int, const char *>> entries[] = {
        {"ValidationMaxChars", {3020, "Maximum Characters"}},
        {"ValidationRestrictTo", {3030, "Restrict To"}},
        {"ValidationNumberMinValue", {3050, "Minimum Value"}},
        {"ValidationNumberMaxValue", {3060, "Maximum Value"}},
    };
    for (const auto &[id, info] : entries)
        helper->AddInfo(QLatin1String(id), QLatin1String(info.second), info.first);
}

VELORA_REGISTER_ELEMENT(TCombo)
