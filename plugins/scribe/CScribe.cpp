#include "CScribe.h"

#include "CException.h"
#include "CGlobal.h"
#include "CPlugInContract.h"
#include "CPrinterPage.h"
#include "CPropEditors.h"
#include "CPropHelper.h"
#include "CScribeInPlaceEdit.h"

#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

namespace {
// Ranges of the editor's scroll bars, pixels at 100 %.
constexpr int kVertScrollRange = 600;
constexpr int kHorzScrollRange = 800;
// Kinds whose data value 0 tells whether they are checked.
constexpr int kCheckKinds[] = {50, 60, 230, 235};
// Kinds whose text a box can be asked to repeat.
constexpr int kMatchKinds[] = {20, 70, 80, 90, 95, 205, 215, 217, 218, 240, 245, 250};

QString ReplaceTag(QString text, const QString &tag, const QString &value)
{
    const QRegularExpression pattern(QRegularExpression::escape(tag),
                                     QRegularExpression::CaseInsensitiveOption);
    return text.replace(pattern, value);
}

TBasePgCtrl *FormElement(const QString &name)
{
    return name.isEmpty() ? nullptr : qobject_cast<TBasePgCtrl *>(Global_FormElementRef(name));
}
} // namespace

// ---------------------------------------------------------------------------
// Groups

void TCustomScribePropGroupGeneral::SetGeneralInputType(TCustomScribeInputType value)
{
    if (m_inputType == value)
        return;
    m_inputType = value;
    // A document holds the settings the type implies as they were saved; deriving
    // them again while reading would undo later changes stored as defaults.
    if (OwnerLoading())
        return;
    if (auto *scribe = qobject_cast<TCustomScribe *>(Owner()))
        scribe->InputTypeChanged(value);
    PropChanged(InputTypeChanged);
}

void TCustomScribePropGroupGeneral::PropertyChanged(int code)
{
    if (code == PasswordChanged)
        if (TPropGroupOwner *element = Element())
            element->PropGroupRelayout(true);
    TVisualPgCtrlNumericPropGroupGeneral::PropertyChanged(code);
}

TScribePropGroupValidation::TScribePropGroupValidation(TCustomScribe *owner)
    : TPropGroupValidation(owner), m_scribe(owner)
{ }

int TScribePropGroupValidation::ValidationMaxChars() const
{
    const auto *general = m_scribe->NumericGeneralProps();
    return general ? general->GeneralMaxChars() : 0;
}

void TScribePropGroupValidation::SetValidationMaxChars(int value)
{
    if (auto *general = m_scribe->NumericGeneralProps())
        general->SetGeneralMaxChars(value);
}

Extended TScribePropGroupValidation::ValidationNumberMaxValue() const
{
    return m_scribe->VisualNumberProps()->NumberMaxValue();
}

void TScribePropGroupValidation::SetValidationNumberMaxValue(Extended value)
{
    m_scribe->VisualNumberProps()->SetNumberMaxValue(value);
}

Extended TScribePropGroupValidation::ValidationNumberMinValue() const
{
    return m_scribe->VisualNumberProps()->NumberMinValue();
}

void TScribePropGroupValidation::SetValidationNumberMinValue(Extended value)
{
    m_scribe->VisualNumberProps()->SetNumberMinValue(value);
}

bool TScribePropGroupValidation::ValidationNumberNumericsOnly() const
{
    return m_scribe->VisualNumberProps()->NumberNumericsOnly();
}

void TScribePropGroupValidation::SetValidationNumberNumericsOnly(bool value)
{
    m_scribe->VisualNumberProps()->SetNumberNumericsOnly(value);
}

QString TScribePropGroupValidation::ValidationRestrictTo() const
{
    const TPropGroupGeneral *general = m_scribe->VisualGeneralProps();
    return general ? general->GeneralRestrictTo() : QString();
}

void TScribePropGroupValidation::SetValidationRestrictTo(const QString &value)
{
    if (TPropGroupGeneral *general = m_scribe->VisualGeneralProps())
        general->SetGeneralRestrictTo(value);
}

// ---------------------------------------------------------------------------
// TCustomScribe

TCustomScribe::TCustomScribe(TComponent *owner)
    : TVisualPgCtrlNumeric(owner), m_resetForm(new TCustomScribePropGroupResetForm(this)),
      m_scrolling(new TPropGroupScrolling(this))
{
    resize(121, 25);
}

TCustomScribePropGroupGeneral *TCustomScribe::ScribeGeneralProps() const
{
    return qobject_cast<TCustomScribePropGroupGeneral *>(VisualGeneralProps());
}

TCustomScribePropGroupCharacter *TCustomScribe::ScribeCharacterProps() const
{
    return qobject_cast<TCustomScribePropGroupCharacter *>(VisualCharacterProps());
}

TScribePropGroupValidation *TCustomScribe::ScribeValidationProps() const
{
    return qobject_cast<TScribePropGroupValidation *>(VisualValidationProps());
}

TCustomScribeInputType TCustomScribe::InputType() const
{
    const auto *general = ScribeGeneralProps();
    return general ? general->GeneralInputType() : tbitText;
}

bool TCustomScribe::Password() const
{
    const auto *general = ScribeGeneralProps();
    return general && general->GeneralPassword();
}

void TCustomScribe::InputTypeChanged(TCustomScribeInputType type)
{
    if (auto *general = ScribeGeneralProps())
        general->SetGeneralPassword(type == tbitPassword);
    VisualNumberProps()->SetNumberNumericsOnly(type == tbitNumeric);
    if (type != tbitText && VisualParagraphProps())
        VisualParagraphProps()->SetParagraphWrap(false);
}

TPropGroupCharacter *TCustomScribe::CreateCharacterProps()
{
    return new TCustomScribePropGroupCharacter(this);
}

TPropGroupGeneral *TCustomScribe::CreateGeneralProps()
{
    return new TCustomScribePropGroupGeneral(this);
}

void TCustomScribe::SetValidationErrMsgs()
{
    TVisualPgCtrlNumeric::SetValidationErrMsgs();
    QStringList messages = VisualValidationProps()->ValidationErrMsgsList();
    messages << QStringLiteral("<Name> contains an invalid email address!")
             << QStringLiteral("<Name> must match <MatchName>!")
             << QStringLiteral("<CheckName> must be checked!");
    VisualValidationProps()->SetValidationErrMsgsList(messages);
}

QList<TValidationCheck> TCustomScribe::ValidationChecks() const
{
    return {{QStringLiteral("Required"), 0},
            {QStringLiteral("Invalid Number/Range"), 1},
            {QStringLiteral("Invalid Email Address"), 2},
            {QStringLiteral("Must Also Match"), 3},
            {QStringLiteral("Must Also Check"), 4}};
}

QStringList TCustomScribe::MustAlsoCheckCandidates()
{
    return Global_FillHTMLExportDropList(kCheckKinds);
}

QStringList TCustomScribe::MustAlsoMatchCandidates()
{
    return Global_FillHTMLExportDropList(kMatchKinds);
}

QStringList TCustomScribe::PropertyCandidates(const QString &propertyName) const
{
    if (propertyName == QLatin1String("ValidationMustAlsoCheck"))
        return MustAlsoCheckCandidates();
    if (propertyName == QLatin1String("ValidationMustAlsoMatch"))
        return MustAlsoMatchCandidates();
    return {};
}

void TCustomScribe::RegisterPropertyEditors()
{
    TVisualPgCtrlNumeric::RegisterPropertyEditors();
    for (const char *name : {"ValidationMustAlsoCheck", "ValidationMustAlsoMatch"})
        RegisterPropertyEditor({QStringLiteral("QString"), QString(),
                                QStringLiteral("TPropEditorElementCandidates"),
                                QString::fromLatin1(name), TPropEditorKind::String});
}

QString TCustomScribe::DisplayText(const QString &text) const
{
    const QString shown = TVisualPgCtrlNumeric::DisplayText(text);
    if (!Password())
        return shown;
    // One mask per character as the engine counts them (a surrogate pair is one).
    return QString(shown.toUcs4().size(), u'*');
}

QWidget *TCustomScribe::DoCreateEdit(const QPoint &point)
{
    BuildWYSIWYGInf(true, false);
    if (auto *existing = qobject_cast<TScribeInPlaceEdit *>(Editor()))
        return existing;
    TBaseRTEditFocusCtrlParamss params = BaseRTEditFocusCtrlParams(this, point);
    if (const auto *character = ScribeCharacterProps())
        params.FixedSize = character->CharacterFixedSize();
    params.Scrolling.Direction = m_scrolling->ScrollingDirection();
    params.Scrolling.Bars = m_scrolling->ScrollingBars();
    params.Scrolling.VertRange = kVertScrollRange;
    params.Scrolling.HorzRange = kHorzScrollRange;
    params.Scrolling.HorzPos = m_horzScrollPos;
    params.Scrolling.VertPos = m_vertScrollPos;
    // Parented to the page by the editor itself; the element frees it with FreeEdit.
    auto *editor
        = new TScribeInPlaceEdit(this, params, m_scrolling->ScrollingDirection() != sbNone);
    editor->OwnerResized();
    editor->setFocus();
    return editor;
}

void TCustomScribe::DrawText(const QRect &rect, QPainter &canvas, int first, int last,
                             bool onScreen, TColor color)
{
    // Scrolling is a way of looking at the box; paper always shows the text from its start.
    const bool scrolled = onScreen && (m_horzScrollPos != 0 || m_vertScrollPos != 0);
    if (!scrolled) {
        TVisualPgCtrlNumeric::DrawText(rect, canvas, first, last, onScreen, color);
        return;
    }
    const TPrinterPage *page = ParentPage();
    const int zoom = page ? page->Zoom() : 100;
    canvas.save();
    canvas.translate(-TPrinterPage::Scale(zoom, m_horzScrollPos),
                     -TPrinterPage::Scale(zoom, m_vertScrollPos));
    TVisualPgCtrlNumeric::DrawText(rect, canvas, first, last, onScreen, color);
    canvas.restore();
}

Qt::CursorShape TCustomScribe::GetCursor(const QPoint &point) const
{
    return EditArea().contains(point) ? Qt::IBeamCursor : TVisualPgCtrlNumeric::GetCursor(point);
}

bool TCustomScribe::IsDefaultTextSingleLine() const
{
    return InputType() != tbitText;
}

void TCustomScribe::ResetContent()
{
    TVisualPgCtrlNumeric::ResetContent();
    if (m_resetForm->ResetFormCanBeReset())
        SetText(m_resetForm->ResetFormTextOnReset());
}

bool TCustomScribe::ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value)
{
    return TVisualPgCtrlNumeric::ShowPropEditor(
        propertyName.isEmpty() ? QStringLiteral("GeneralHint") : propertyName, recordUndo, value);
}

int TCustomScribe::HlpCtx(const QString &name)
{
    if (name.compare(QLatin1String(metaObject()->className()), Qt::CaseInsensitive) == 0)
        return 78;
    if (name.compare(QLatin1String("GeneralInputType"), Qt::CaseInsensitive) == 0)
        return 137;
    return TVisualPgCtrlNumeric::HlpCtx(name);
}

QString TCustomScribe::Message(int index, const QString &otherTag, const QString &otherName) const
{
    QString text = ReplaceTag(VisualValidationProps()->ValidationErrMsgsList().value(index),
                              QStringLiteral("<Name>"), Name());
    return otherTag.isEmpty() ? text : ReplaceTag(text, otherTag, otherName);
}

QString TCustomScribe::EmailFailure() const
{
    if (InputType() != tbitEmail || Text().isEmpty() || Global_IsValidEmail(Text()))
        return {};
    return Message(2);
}

QString TCustomScribe::CrossElementFailure() const
{
    const TScribePropGroupValidation *validation = ScribeValidationProps();
    if (!validation)
        return {};
    const QString matchName = validation->ValidationMustAlsoMatch();
    if (const TBasePgCtrl *other = FormElement(matchName); other && other->Text() != Text())
        return Message(3, QStringLiteral("<MatchName>"), matchName);

    // Only kinds that are checked at all have a checked state to read.
    const QString checkName = validation->ValidationMustAlsoCheck();
    if (TBasePgCtrl *other = FormElement(checkName);
        other && std::ranges::find(kCheckKinds, other->ClassTypeID()) != std::end(kCheckKinds)) {
        const auto *checked = static_cast<const int *>(other->GetData(0));
        if (checked && *checked != 1)
            return Message(4, QStringLiteral("<CheckName>"), checkName);
    }
    return {};
}

void TCustomScribe::Validate()
{
    TVisualPgCtrlNumeric::Validate();
    const QString failure = EmailFailure();
    if (!failure.isEmpty())
        throw EVeloraError(failure);
}

bool TCustomScribe::Aquired(TVisualPgCtrl *&element, QString &message, bool check, int pass)
{
    if (!TVisualPgCtrlNumeric::Aquired(element, message, check, pass))
        return false;
    element = this;
    message = EmailFailure();
    if (message.isEmpty())
        message = CrossElementFailure();
    return message.isEmpty();
}

QString TCustomScribe::GetValidationHTML(int index) const
{
    QString html = TVisualPgCtrlNumeric::GetValidationHTML(index);
    const auto append = [&html](const QString &entry) {
        if (!html.isEmpty())
            html += QStringLiteral(",\r\n");
        html += entry;
    };
    if (InputType() == tbitEmail)
        append(QStringLiteral("        '%1', 'S', '2', '%2'").arg(Name(), Message(2)));
    if (const TScribePropGroupValidation *validation = ScribeValidationProps()) {
        const QString match = validation->ValidationMustAlsoMatch();
        if (!match.isEmpty())
            append(QStringLiteral("        '%1', '%2', '6', '%3'")
                       .arg(Name(), match, Message(3, QStringLiteral("<MatchName>"), match)));
        const QString checkName = validation->ValidationMustAlsoCheck();
        if (!checkName.isEmpty())
            append(
                QStringLiteral("        '%1', '%2', '5', '%3'")
                    .arg(Name(), checkName, Message(4, QStringLiteral("<CheckName>"), checkName)));
    }
    return html;
}

bool TCustomScribe::HasHTMLValidation() const
{
    const TScribePropGroupValidation *validation = ScribeValidationProps();
    return TVisualPgCtrlNumeric::HasHTMLValidation() || InputType() == tbitEmail
        || (validation
            && (!validation->ValidationMustAlsoMatch().isEmpty()
                || !validation->ValidationMustAlsoCheck().isEmpty()));
}

void TCustomScribe::AddRemovePropHelperInf(TPropHelper *helper)
{
    TVisualPgCtrlNumeric::AddRemovePropHelperInf(helper);
    static const std::pair<const char *, std::pair<int, const char *>> entries[] = {
        {"GeneralInputType", {435, "Input Type"}},
        {"CharacterFixedSize", {1125, "Fixed Size"}},
        {"ParagraphWrap", {1245, "Word Wrap"}},
        {"VisualScrollingProps", {1450, "Scrolling"}},
        {"ScrollingDirection", {1460, "Direction"}},
        {"ScrollingBars", {1470, "Scroll Bars"}},
        {"VisualResetFormProps", {2500, "On Reset Form"}},
        {"ResetFormCanBeReset", {2510, "Can Be Reset"}},
        {"ResetFormTextOnReset", {2520, "Text On Reset"}},
    };
    for (const auto &[id, info] : entries)
        helper->AddInfo(QLatin1String(id), QLatin1String(info.second), info.first);
}

void TCustomScribe::NameChanged(const QString &oldName, const QString &newName)
{
    TScribePropGroupValidation *validation = ScribeValidationProps();
    if (!validation || oldName.isEmpty())
        return;
    if (validation->ValidationMustAlsoCheck().compare(oldName, Qt::CaseInsensitive) == 0)
        validation->SetValidationMustAlsoCheck(newName);
    if (validation->ValidationMustAlsoMatch().compare(oldName, Qt::CaseInsensitive) == 0)
        validation->SetValidationMustAlsoMatch(newName);
}

void TCustomScribe::Dispatch(TMessage &message)
{
    switch (message.Msg) {
    case VRMSGIsPassword:
        message.Result = Password() ? 1 : 0;
        return;
    case VRMSGBasePgCtrlNameChanged: {
        const auto *renamed = ParamObject<TBasePgCtrl>(message.WParam);
        const auto *oldName = reinterpret_cast<const QString *>(message.LParam);
        if (renamed && renamed != this && oldName)
            NameChanged(*oldName, renamed->Name());
        break;
    }
    default:
        break;
    }
    TVisualPgCtrlNumeric::Dispatch(message);
}

// ---------------------------------------------------------------------------
// TScribe

TPropGroupValidation *TScribe::CreateValidationProps()
{
    return new TScribePropGroupValidation(this);
}

void TScribe::AddRemovePropHelperInf(TPropHelper *helper)
{
    TCustomScribe::AddRemovePropHelperInf(helper);
    for (const char *id : {"GeneralMaxChars", "GeneralRequired", "GeneralRestrictTo",
                           "NumberNumericsOnly", "NumberMinValue", "NumberMaxValue"})
        helper->RemoveInfo(QLatin1String(id));
    static const std::pair<const char *, std::pair<int, const char *>> entries[] = {
        {"ValidationMaxChars", {3020, "Maximum Characters"}},
        {"ValidationRestrictTo", {3030, "Restrict To"}},
        {"ValidationNumberMinValue", {3050, "Minimum Value"}},
        {"ValidationNumberMaxValue", {3060, "Maximum Value"}},
        {"ValidationMustAlsoMatch", {3070, "Must Also Match"}},
        {"ValidationMustAlsoCheck", {3080, "Must Also Check"}},
    };
    for (const auto &[id, info] : entries)
        helper->AddInfo(QLatin1String(id), QLatin1String(info.second), info.first);
}

VELORA_REGISTER_ELEMENT(TScribe)
