#include "CPropEditors.h"

#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CPropGroups.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
struct TCaption
{
    const char *Name;
    const char *Caption;
};

// Searched in order; the first row whose name matches wins.
constexpr TCaption kCaptions[] = {
    {"False", "No"},
    {"True", "Yes"},
    {"csUnchecked", "Unchecked"},
    {"csChecked", "Checked"},
    {"csNoSelection", "No Selection"},
    {"bsOutside", "Outside"},
    {"bsInside", "Inside"},
    {"ctDropDown", "Text Box With List"},
    {"ctDropDownList", "List Only"},
    {"zpNone", "None"},
    {"zpLeft", "Left"},
    {"zpRight", "Right"},
    {"ftFullPage", "Full Page"},
    {"ftMargins", "Page Margins"},
    {"poPortrait", "Portrait"},
    {"poLandscape", "Landscape"},
    {"taLeftJustify", "Left"},
    {"taRightJustify", "Right"},
    {"taCenter", "Center"},
    {"psVariable", "Variable"},
    {"psJustified", "Justified"},
    {"psFixed", "Fixed"},
    {"pdAutomatic", "Automatic"},
    {"pdLeftToRight", "Left To Right"},
    {"pdRightToLeft", "Right To Left"},
    {"tlTop", "Top"},
    {"tlCenter", "Center"},
    {"tlBottom", "Bottom"},
    {"dvDesigned", "Current"},
    {"dvActualSize", "Actual Size"},
    {"dvFitToWidth", "Fit To Width"},
    {"dvFitToPage", "Fit To Page"},
    {"tbitText", "Anything"},
    {"tbitNumeric", "Number"},
    {"tbitEmail", "Email Address"},
    {"tbitPassword", "Password"},
    {"ccitText", "Anything"},
    {"ccitNumeric", "Number"},
    {"ccitEmail", "Email Address"},
    // Check marks, pen modes and shapes of kinds that have no plug-in yet.
    {"isBlank", "Blank"},
    {"isTick", "Tick"},
    {"isCross", "Cross"},
    {"isCircle", "Circle"},
    {"isSquare", "Square"},
    {"isCustom", "Custom"},
    {"pmBlack", "Always Black"},
    {"pmWhite", "Always White"},
    {"pmNop", "Unchanged"},
    {"pmNot", "Inverse Of Screen"},
    {"pmCopy", "Color"},
    {"pmNotCopy", "Inverse Color"},
    {"pmMergePenNot", "Color And Inverse Screen"},
    {"pmMaskPenNot", "Common To Color And Inverse Screen"},
    {"pmMergeNotPen", "Inverse Color And Screen"},
    {"pmMaskNotPen", "Common To Inverse Color And Screen"},
    {"pmMerge", "Color And Screen"},
    {"pmNotMerge", "Inverse Of Color And Screen"},
    {"pmMask", "Common To Color And Screen"},
    {"pmNotMask", "Inverse Of Common"},
    {"pmXor", "Color Or Screen, Not Both"},
    {"pmNotXor", "Inverse Of Color Or Screen"},
    {"ssRectangle", "Rectangle"},
    {"ssSquare", "Square"},
    {"ssEllipse", "Ellipse"},
    {"ssCircle", "Circle"},
    {"ssLineX", "Horizontal Line"},
    {"ssLineY", "Vertical Line"},
    {"ssLine45TLBR", "Diagonal Line (\\)"},
    {"ssLine45TRBL", "Diagonal Line (/)"},
};
static_assert(std::size(kCaptions) == 69);
} // namespace

QString PropEditorTranslate(const QString &name)
{
    for (const TCaption &row : kCaptions)
        if (name.compare(QLatin1String(row.Name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(row.Caption);
    return name;
}

// ---------------------------------------------------------------------------
// TVEMPropEditForm

TVEMPropEditForm::TVEMPropEditForm(QWidget *owner, const QList<TValidationCheck> &checks)
    : TBaseForm(owner, true), m_checks(checks)
{
    setObjectName(QStringLiteral("VEMPropEditForm"));
    setWindowTitle(QStringLiteral("Validation Error Messages"));
    auto *grid = new QGridLayout(this);
    auto *failedLabel = new QLabel(QStringLiteral("Failed Validation"), this);
    auto *messageLabel = new QLabel(QStringLiteral("Error Message"), this);
    m_failed = new QListWidget(this);
    m_failed->setObjectName(QStringLiteral("FailedValidationList"));
    for (const TValidationCheck &check : m_checks)
        m_failed->addItem(check.Name);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("ErrorMessageMemo"));
    m_memo->setTabChangesFocus(true);
    failedLabel->setBuddy(m_failed);
    messageLabel->setBuddy(m_memo);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    grid->addWidget(failedLabel, 0, 0);
    grid->addWidget(messageLabel, 0, 1);
    grid->addWidget(m_failed, 1, 0);
    grid->addWidget(m_memo, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
    grid->setColumnStretch(1, 2);
    resize(520, 260);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_failed, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
    connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
        const int row = m_failed->currentRow();
        if (m_showing || row < 0)
            return;
        m_messages[m_checks.at(row).Index] = m_memo->toPlainText();
    });
    if (!m_checks.isEmpty())
        m_failed->setCurrentRow(0);
}

void TVEMPropEditForm::SetVEMs(const QStringList &messages)
{
    m_messages = messages;
    // A document from an older kind may hold fewer messages than there are checks.
    int needed = 0;
    for (const TValidationCheck &check : std::as_const(m_checks))
        needed = qMax(needed, check.Index + 1);
    while (m_messages.size() < needed)
        m_messages << QString();
    ShowSelected();
}

void TVEMPropEditForm::ShowSelected()
{
    const int row = m_failed->currentRow();
    m_showing = true;
    m_memo->setPlainText(row >= 0 && m_checks.at(row).Index < m_messages.size()
                             ? m_messages.at(m_checks.at(row).Index)
                             : QString());
    m_memo->setEnabled(row >= 0);
    m_showing = false;
}

bool EditValidationErrMsgs(TVisualPgCtrl *element, QWidget *owner)
{
    TPropGroupValidation *validation = element ? element->VisualValidationProps() : nullptr;
    if (!validation)
        return false;
    TVEMPropEditForm form(owner, element->ValidationChecks());
    form.SetVEMs(validation->ValidationErrMsgsList());
    if (DialogService().ExecModal(form) != QDialog::Accepted)
        return false;
    if (form.VEMs() == validation->ValidationErrMsgsList())
        return true;
    validation->SetValidationErrMsgsList(form.VEMs());
    GlobalMadeChange();
    return true;
}

// ---------------------------------------------------------------------------
// Registry

namespace {
QList<TPropEditorRegistration> &Registrations()
{
    static QList<TPropEditorRegistration> registrations;
    return registrations;
}

bool SameEntry(const TPropEditorRegistration &a, const QString &propertyName,
               const QString &propertyType, const QString &groupClass)
{
    return a.PropertyName.compare(propertyName, Qt::CaseInsensitive) == 0
        && a.PropertyType == propertyType && a.GroupClass == groupClass;
}

// Literals of a plug-in live in its file, which may be unloaded: the registry keeps copies.
QString OwnCopy(const QString &text)
{
    return QString(text.constData(), text.size());
}
} // namespace

void RegisterPropertyEditor(const TPropEditorRegistration &given)
{
    const TPropEditorRegistration registration {
        OwnCopy(given.PropertyType), OwnCopy(given.GroupClass), OwnCopy(given.EditorClass),
        OwnCopy(given.PropertyName), given.Kind};
    for (TPropEditorRegistration &entry : Registrations())
        if (SameEntry(entry, registration.PropertyName, registration.PropertyType,
                      registration.GroupClass)) {
            entry = registration;
            return;
        }
    Registrations().append(registration);
}

const TPropEditorRegistration *FindPropertyEditor(const QString &propertyName,
                                                  const QString &propertyType,
                                                  const QString &groupClass)
{
    for (const TPropEditorRegistration &entry : std::as_const(Registrations()))
        if (SameEntry(entry, propertyName, propertyType, groupClass))
            return &entry;
    return nullptr;
}

bool PropEditorEditDialog(TBasePgCtrl *element, const QString &propertyName)
{
    QString value;
    if (!element || !element->ShowPropEditor(propertyName, false, value))
        return false;
    element->setProperty(propertyName.toLatin1().constData(), value);
    return true;
}
