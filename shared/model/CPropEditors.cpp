#include "CPropEditors.h"

#include "CBasePgCtrl.h"
#include "CColor.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CPrinterService.h"
#include "CProjectProps.h"
#include "CPropGroups.h"
#include "CPublished.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QPushButton>
#include <climits>
#include <cmath>

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

// ---------------------------------------------------------------------------
// Inspector row editors

namespace {
const QString &InvalidValueText()
{
    static const QString text = QStringLiteral("Invalid property value");
    return text;
}

// The element or page settings a property group belongs to (the object itself otherwise).
QObject *OwnerOfHolder(QObject *holder)
{
    for (QObject *o = holder; o; o = o->parent())
        if (qobject_cast<TBasePgCtrl *>(o) || qobject_cast<TProjectPropsPageProps *>(o))
            return o;
    return holder;
}

// The active page's elements, in the page's order.
QList<TBasePgCtrl *> ActivePageElements()
{
    QList<TBasePgCtrl *> result;
    if (TPrinterPage *page = GlobalPgScrollBox(GlobalActivePgIdx()))
        result = page->findChildren<TBasePgCtrl *>();
    return result;
}

class TPropEditorBoolean : public TPropEditorBaseOrd
{
public:
    using TPropEditorBaseOrd::TPropEditorBaseOrd;

protected:
    QStringList SetEnumStrings() const override
    {
        return {PropEditorTranslate(QStringLiteral("False")),
                PropEditorTranslate(QStringLiteral("True"))};
    }
    int OrdinalOf(const QString &stored) const override
    {
        return stored.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? 1 : 0;
    }
    QString StoredOf(int ordinal) const override
    {
        return ordinal ? QStringLiteral("true") : QStringLiteral("false");
    }
};

// Any enumeration: its members' captions from the caption table, in declaration order.
class TPropEditorEnumeration : public TPropEditorBaseOrd
{
public:
    using TPropEditorBaseOrd::TPropEditorBaseOrd;

protected:
    QStringList SetEnumStrings() const override
    {
        QStringList captions;
        const QMetaEnum e = Property().enumerator();
        for (int i = 0; i < e.keyCount(); ++i)
            captions << PropEditorTranslate(QString::fromLatin1(e.key(i)));
        return captions;
    }
};

class TPropEditorPageSize : public TPropEditorBaseOrd
{
public:
    using TPropEditorBaseOrd::TPropEditorBaseOrd;

protected:
    QStringList SetEnumStrings() const override { return PropEditorPaperSizeCaptions(); }
    int OrdinalOf(const QString &stored) const override { return stored.toInt(); }
    QString StoredOf(int ordinal) const override { return QString::number(ordinal); }
};

class TPropEditorPDFLink : public TPropEditorBaseStr
{
public:
    using TPropEditorBaseStr::TPropEditorBaseStr;

protected:
    QStringList SetSuggestions() const override
    {
        QStringList names;
        for (TBasePgCtrl *element : ActivePageElements())
            if (element->inherits("TPdfPane"))
                names << element->Name();
        return names << QString();
    }
};

class TPropEditorPageDefFocus : public TPropEditorBaseStr
{
public:
    using TPropEditorBaseStr::TPropEditorBaseStr;

protected:
    QStringList SetSuggestions() const override
    {
        QStringList names;
        for (TBasePgCtrl *element : ActivePageElements())
            if (GlobalCanFocus(element))
                names << element->Name();
        if (!names.isEmpty())
            names << QString();
        return names;
    }
};

// Names an element offers for one of its text properties (another element to check
// against, say), asked of the element when the list opens.
class TPropEditorElementCandidates : public TPropEditorBaseStr
{
public:
    using TPropEditorBaseStr::TPropEditorBaseStr;

protected:
    QStringList SetSuggestions() const override
    {
        QStringList names;
        QObject *owner = Holders().isEmpty() ? nullptr : OwnerOfHolder(Holders().first());
        if (owner)
            QMetaObject::invokeMethod(owner, "PropertyCandidates", Qt::DirectConnection,
                                      Q_RETURN_ARG(QStringList, names),
                                      Q_ARG(QString, PropertyName()));
        return names;
    }
};

class TPropEditorDisplayFormat : public TPropEditorBaseStr
{
public:
    TPropEditorDisplayFormat(const QList<QObject *> &holders, const QMetaProperty &property,
                             bool time)
        : TPropEditorBaseStr(holders, property), m_time(time)
    { }

protected:
    QStringList SetSuggestions() const override
    {
        return m_time ? PropEditorTimeFormats() : PropEditorDateFormats();
    }

private:
    bool m_time;
};

// The list of validation messages has no text form: the window stores it itself.
class TPropEditorVisualPgCtrlVEMs : public TPropEditor
{
public:
    using TPropEditor::TPropEditor;
    TPropEditorKind Kind() const override { return TPropEditorKind::Dialog; }
    QString DisplayText(const QString &) const override { return QStringLiteral("(Messages)"); }
    bool Edit(QString &) override
    {
        auto *element = Holders().isEmpty()
            ? nullptr
            : qobject_cast<TVisualPgCtrl *>(OwnerOfHolder(Holders().first()));
        EditValidationErrMsgs(element, QApplication::activeWindow());
        return false;
    }
};

enum class TBuiltIn {
    None,
    Boolean,
    Enumeration,
    PageSize,
    PDFLink,
    PageDefFocus,
    Candidates,
    Dialog,
    VEMs,
    DateFormat,
    TimeFormat,
    Text
};

// Editor classes by name, as registrations give them.
TBuiltIn BuiltInOfClass(const QString &editorClass)
{
    static const QHash<QString, TBuiltIn> classes {
        {QStringLiteral("TPropEditorBoolean"), TBuiltIn::Boolean},
        {QStringLiteral("TPropEditorPageSize"), TBuiltIn::PageSize},
        {QStringLiteral("TPropEditorPDFLink"), TBuiltIn::PDFLink},
        {QStringLiteral("TPropEditorPageDefFocus"), TBuiltIn::PageDefFocus},
        {QStringLiteral("TPropEditorElementCandidates"), TBuiltIn::Candidates},
        {QStringLiteral("TPropEditorVisualPgCtrlVEMs"), TBuiltIn::VEMs},
        {QStringLiteral("TPropEditorDateDisplayFormat"), TBuiltIn::DateFormat},
        {QStringLiteral("TPropEditorTimeDisplayFormat"), TBuiltIn::TimeFormat},
    };
    return classes.value(editorClass, TBuiltIn::None);
}

// The system's own editors for properties its elements and pages publish, so a row
// gets its editor whether or not a kind registered it.
TBuiltIn BuiltInOfProperty(const QString &name)
{
    static const QHash<QString, TBuiltIn> properties {
        {QStringLiteral("papersize"), TBuiltIn::PageSize},
        {QStringLiteral("pdflink"), TBuiltIn::PDFLink},
        {QStringLiteral("pagedefaultfocus"), TBuiltIn::PageDefFocus},
        {QStringLiteral("generaldefaulttext"), TBuiltIn::Dialog},
        {QStringLiteral("generalhint"), TBuiltIn::Dialog},
        {QStringLiteral("pagefilename"), TBuiltIn::Dialog},
        {QStringLiteral("validationerrmsgslist"), TBuiltIn::VEMs},
    };
    return properties.value(name.toLower(), TBuiltIn::None);
}
} // namespace

TPropEditor::TPropEditor(const QList<QObject *> &holders, const QMetaProperty &property)
    : m_holders(holders), m_property(property)
{ }

bool TPropEditor::StoredText(const QString &typed, QString &stored, QString &error) const
{
    const QString text = typed.trimmed();
    bool ok = true;
    switch (PropertyKindOf(m_property)) {
    case TPropertyKind::Ordinal: {
        const qlonglong v = text.toLongLong(&ok);
        const int type = m_property.metaType().id();
        if (ok && (type == QMetaType::Int || type == QMetaType::Long))
            ok = v >= INT_MIN && v <= INT_MAX;
        else if (ok && (type == QMetaType::UInt || type == QMetaType::ULong))
            ok = v >= 0 && v <= qlonglong(UINT_MAX);
        stored = text;
        break;
    }
    case TPropertyKind::Extended:
    case TPropertyKind::Floating: {
        // Infinities and NaN would spread through every layout computed from them.
        const double v = text.toDouble(&ok);
        ok = ok && std::isfinite(v);
        stored = text;
        break;
    }
    case TPropertyKind::Color: {
        TColor color;
        ok = StringToColor(text, &color);
        stored = text;
        break;
    }
    case TPropertyKind::Boolean:
        ok = text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0;
        stored = text.toLower();
        break;
    default:
        stored = typed;
        break;
    }
    if (!ok)
        error = InvalidValueText();
    return ok;
}

bool TPropEditor::Edit(QString &)
{
    return false;
}

const QStringList &TPropEditorBaseOrd::Captions() const
{
    if (!m_filled) {
        m_captions = SetEnumStrings();
        m_filled = true;
    }
    return m_captions;
}

int TPropEditorBaseOrd::FindValue(const QString &text) const
{
    const QString wanted = text.trimmed();
    const QStringList &captions = Captions();
    for (int i = 0; i < captions.size(); ++i)
        if (captions.at(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TPropEditorBaseOrd::OrdinalOf(const QString &stored) const
{
    const QMetaEnum e = Property().enumerator();
    for (int i = 0; i < e.keyCount(); ++i)
        if (stored == QLatin1String(e.key(i)))
            return i;
    return -1;
}

QString TPropEditorBaseOrd::StoredOf(int ordinal) const
{
    return QString::fromLatin1(Property().enumerator().key(ordinal));
}

QString TPropEditorBaseOrd::DisplayText(const QString &stored) const
{
    const int ordinal = OrdinalOf(stored);
    const QStringList &captions = Captions();
    // A value without caption (a paper code this printer lacks) shows as it is stored.
    return ordinal >= 0 && ordinal < captions.size() ? captions.at(ordinal) : stored;
}

bool TPropEditorBaseOrd::StoredText(const QString &typed, QString &stored, QString &error) const
{
    const int index = FindValue(typed);
    if (index < 0) {
        error = InvalidValueText();
        return false;
    }
    stored = StoredOf(index);
    return true;
}

bool TPropEditorBaseDlg::Edit(QString &stored)
{
    if (Holders().isEmpty())
        return false;
    QObject *owner = OwnerOfHolder(Holders().first());
    const QString name = PropertyName();
    // The dialogs apply what they return; the old values go back so that the
    // inspector's change path records the edit as one step from them.
    QStringList old;
    for (QObject *holder : Holders())
        old << PropertyValueText(holder, Property());
    bool ok = false;
    if (auto *element = qobject_cast<TBasePgCtrl *>(owner))
        ok = element->ShowPropEditor(name, false, stored);
    else if (auto *page = qobject_cast<TProjectPropsPageProps *>(owner))
        ok = page->ShowPropEditor(name, false, stored);
    for (qsizetype i = 0; ok && i < Holders().size(); ++i)
        if (PropertyValueText(Holders().at(i), Property()) != old.at(i))
            SetPropertyValueText(Holders().at(i), Property(), old.at(i));
    return ok;
}

QStringList PropEditorPaperSizeCaptions()
{
    TPrinterService &printers = PrinterService();
    if (!printers.CanOpen(printers.PrinterName()))
        return {};
    QStringList captions {QStringLiteral("Custom")};
    for (const TPaperForm &form : printers.Forms(printers.PrinterName()))
        captions << form.Name;
    return captions;
}

namespace {
// The system's short and long formats, lower case, each once.
QStringList LocaleFormats(const QString &shortFormat, const QString &longFormat)
{
    QStringList list;
    for (const QString &f : {shortFormat, longFormat})
        if (!list.contains(f.toLower()))
            list << f.toLower();
    return list;
}
} // namespace

QStringList PropEditorDateFormats()
{
    static const QStringList formats
        = LocaleFormats(QLocale::system().dateFormat(QLocale::ShortFormat),
                        QLocale::system().dateFormat(QLocale::LongFormat));
    return formats;
}

QStringList PropEditorTimeFormats()
{
    static const QStringList formats
        = LocaleFormats(QLocale::system().timeFormat(QLocale::ShortFormat),
                        QLocale::system().timeFormat(QLocale::LongFormat))
        << QStringLiteral("h:m:s am/pm") << QStringLiteral("h:m:s a/p");
    return formats;
}

std::unique_ptr<TPropEditor> CreatePropEditor(const QList<QObject *> &holders,
                                              const QMetaProperty &property)
{
    const QString name = QString::fromLatin1(property.name());
    const QString type = QString::fromLatin1(property.typeName());
    const QString group = holders.isEmpty()
        ? QString()
        : QString::fromLatin1(holders.first()->metaObject()->className());
    const TPropEditorRegistration *registered = FindPropertyEditor(name, type, group);
    if (!registered)
        registered = FindPropertyEditor(name, type);
    const TPropertyKind kind = PropertyKindOf(property);

    TBuiltIn builtIn = TBuiltIn::None;
    if (registered) {
        builtIn = BuiltInOfClass(registered->EditorClass);
        if (builtIn == TBuiltIn::None)
            switch (registered->Kind) {
            case TPropEditorKind::Ordinal:
                builtIn
                    = kind == TPropertyKind::Boolean ? TBuiltIn::Boolean : TBuiltIn::Enumeration;
                break;
            case TPropEditorKind::String:
                builtIn = TBuiltIn::Text;
                break;
            case TPropEditorKind::Dialog:
                builtIn = TBuiltIn::Dialog;
                break;
            }
    } else {
        builtIn = BuiltInOfProperty(name);
    }
    if (builtIn == TBuiltIn::None || builtIn == TBuiltIn::Enumeration) {
        if (kind == TPropertyKind::Boolean)
            builtIn = TBuiltIn::Boolean;
        else if (kind == TPropertyKind::Enumeration)
            builtIn = TBuiltIn::Enumeration;
        else
            builtIn = TBuiltIn::Text;
    }
    switch (builtIn) {
    case TBuiltIn::Boolean:
        return std::make_unique<TPropEditorBoolean>(holders, property);
    case TBuiltIn::Enumeration:
        return std::make_unique<TPropEditorEnumeration>(holders, property);
    case TBuiltIn::PageSize:
        return std::make_unique<TPropEditorPageSize>(holders, property);
    case TBuiltIn::PDFLink:
        return std::make_unique<TPropEditorPDFLink>(holders, property);
    case TBuiltIn::PageDefFocus:
        return std::make_unique<TPropEditorPageDefFocus>(holders, property);
    case TBuiltIn::Candidates:
        return std::make_unique<TPropEditorElementCandidates>(holders, property);
    case TBuiltIn::Dialog:
        return std::make_unique<TPropEditorBaseDlg>(holders, property);
    case TBuiltIn::VEMs:
        return std::make_unique<TPropEditorVisualPgCtrlVEMs>(holders, property);
    case TBuiltIn::DateFormat:
        return std::make_unique<TPropEditorDisplayFormat>(holders, property, false);
    case TBuiltIn::TimeFormat:
        return std::make_unique<TPropEditorDisplayFormat>(holders, property, true);
    case TBuiltIn::None:
    case TBuiltIn::Text:
        break;
    }
    return std::make_unique<TPropEditor>(holders, property);
}
