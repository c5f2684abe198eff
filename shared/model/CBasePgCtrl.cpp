#include "CBasePgCtrl.h"

#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CPropHelper.h"

#include <QPainter>

const TPlugInKind CGLOBAL_PLUGINS[32] = {
    {10, "TLabels", "Label", "Common", 0},
    {20, "TScribe", "Text Box", "Common", 0},
    {30, "TImage", "Image", "Common", 0},
    {40, "TShape", "Shape", "Common", 0},
    {50, "TCheckBox", "Check Box", "Common", 0},
    {60, "TRadioBox", "Radio Button", "Common", 0},
    {70, "TCombo", "Combo Box", "Common", 0},
    {80, "TCalc", "Calculation Box", "Common", 0},
    {90, "TDate", "Date Box", "Common", 0},
    {95, "TTime", "Time Box", "Common", 0},
    {100, "TPdfPane", "PDF", "", 0},
    {105, "TButton", "Button", "Common", 0},
    {110, "TDBConnection", "DB Connection", "ODBC", 2},
    {125, "TDBFilterCombo", "DB Filter Combo Box", "ODBC", 2},
    {130, "TDBSearchCombo", "DB Search Combo Box", "ODBC", 2},
    {140, "TDBLabels", "DB Label", "ODBC", 2},
    {145, "TDBScribe", "DB Text Box", "ODBC", 2},
    {180, "TDBButton", "DB Button", "ODBC", 2},
    {200, "THTMLLabels", "HTML Label", "HTML", 1},
    {205, "THTMLScribe", "HTML Text Box (Single Line)", "HTML", 1},
    {210, "THTMLTextArea", "HTML Text Area (Multi-Line)", "HTML", 1},
    {215, "THTMLPassword", "HTML Password Text Box", "HTML", 1},
    {217, "THTMLEMail", "HTML Email Text Box", "HTML", 1},
    {218, "THTMLNumeric", "HTML Numeric Text Box", "HTML", 1},
    {220, "THTMLHidden", "HTML Hidden Field", "HTML", 1},
    {225, "THTMLImage", "HTML Image", "HTML", 1},
    {230, "THTMLCheckBox", "HTML Check Box", "HTML", 1},
    {235, "THTMLRadioBox", "HTML Radio Button", "HTML", 1},
    {240, "THTMLCombo", "HTML Combo Box", "HTML", 1},
    {245, "THTMLDate", "HTML Date Box", "HTML", 1},
    {250, "THTMLTime", "HTML Time Box", "HTML", 1},
    {255, "THTMLButton", "HTML Button", "HTML", 1},
};

const TPlugInKind *GlobalPlugInKind(int kind)
{
    for (const TPlugInKind &row : CGLOBAL_PLUGINS)
        if (row.Kind == kind)
            return &row;
    return nullptr;
}

// ---------------------------------------------------------------------------
// TBasePgCtrl

TBasePgCtrl::TBasePgCtrl(TComponent *owner)
    : QWidget(nullptr), TComponent(this, owner), m_propHelper(nullptr)
{
    // Nothing watches a new element gain its helper; a child event is dear in large forms.
    setAttribute(Qt::WA_NoChildEventsFromChildren);
    m_propHelper = new TPropHelper(this);
    setAttribute(Qt::WA_NoChildEventsFromChildren, false);
    // Elements paint their own background; nothing shows through unless they say so.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

TBasePgCtrl::~TBasePgCtrl()
{
    SetFollowsTextChanges(false);
}

namespace {
// In the order they asked; few in any form.
QList<TBasePgCtrl *> &TextFollowers()
{
    static QList<TBasePgCtrl *> followers;
    return followers;
}
} // namespace

void TBasePgCtrl::SetFollowsTextChanges(bool follow)
{
    if (follow == FollowsTextChanges())
        return;
    if (follow)
        TextFollowers().append(this);
    else
        TextFollowers().removeOne(this);
}

bool TBasePgCtrl::FollowsTextChanges() const
{
    return TextFollowers().contains(const_cast<TBasePgCtrl *>(this));
}

namespace {
void DispatchToFollowers(TMessage &message)
{
    // A follower may stop following while it is told.
    const QList<TBasePgCtrl *> followers = TextFollowers();
    for (TBasePgCtrl *follower : followers)
        if (TextFollowers().contains(follower) && follower->ParentPage())
            follower->Dispatch(message);
}
} // namespace

std::intptr_t TBasePgCtrl::NotifyTextFollowers(std::uintptr_t element)
{
    TMessage message {VRMSGVisualPgCtrlTextChanged, element, 0, 0};
    DispatchToFollowers(message);
    return message.Result;
}

void TBasePgCtrl::AfterConstruction() { }

TPropHelper *TBasePgCtrl::PropHelper() const
{
    if (!m_propHelperFilled) {
        auto *self = const_cast<TBasePgCtrl *>(this);
        self->m_propHelperFilled = true;
        self->AddRemovePropHelperInf(m_propHelper);
    }
    return m_propHelper;
}

void TBasePgCtrl::SetText(const QString &text)
{
    m_text = text;
}

TPrinterPage *TBasePgCtrl::ParentPage() const
{
    return qobject_cast<TPrinterPage *>(parentWidget());
}

void TBasePgCtrl::SetName(const QString &name)
{
    if (name.isEmpty())
        return;
    const QString old = Name();
    try {
        TComponent::SetName(name);
    } catch (const EComponentError &) {
        const QString text = IsValidIdent(name)
            ? QStringLiteral("A form element named %1 already exists!").arg(name)
            : QStringLiteral("%1 is not a valid form element name!").arg(name);
        Global_MessageDlg(GlobalAppTitle(), text, mtWarning, mbOK, 0);
    }
    SendMessage(GlobalMainForm, VRMSGBasePgCtrlNameChanged, ObjectParam(this),
                reinterpret_cast<std::intptr_t>(&old));
    if (!GlobalVeloraFiller() && parentWidget())
        SendMessage(parentWidget(), VRMSGBasePgCtrlNameChanged, ObjectParam(this),
                    reinterpret_cast<std::intptr_t>(&old));
    // Followers of texts name other elements, so they follow names given and
    // changed too, whichever main window is running.
    if (Name() != old) {
        TMessage renamed {VRMSGBasePgCtrlNameChanged, ObjectParam(this),
                          reinterpret_cast<std::intptr_t>(&old), 0};
        DispatchToFollowers(renamed);
    }
}

void TBasePgCtrl::ApplyPropChange(TUpdateMethod update, const QString &value)
{
    // Without a design surface, or from a selection this element is not part of, the edit
    // applies to this element alone.
    QList<QWidget *> selection
        = GlobalDesignerSelection ? GlobalDesignerSelection() : QList<QWidget *> {this};
    if (!selection.contains(this))
        selection = {this};
    for (QWidget *control : selection)
        (this->*update)(control, value);
}

bool TBasePgCtrl::ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value)
{
    const bool hint = propertyName.compare(QLatin1String("GeneralHint"), Qt::CaseInsensitive) == 0;
    if (!hint && !propertyName.isEmpty()
        && propertyName.compare(QLatin1String("GeneralDefaultText"), Qt::CaseInsensitive) != 0)
        return false;
    const QString old = hint ? Hint() : Text();
    const bool ok = hint
        ? GlobalGetTextDlg(old, QStringLiteral("Hint When Filling"), false, value, 58)
        : GlobalGetTextDlg(old, QStringLiteral("Default Text"), IsDefaultTextSingleLine(), value,
                           75);
    if (!ok)
        return false;
    const QString property
        = hint ? QStringLiteral("GeneralHint") : QStringLiteral("GeneralDefaultText");
    if (recordUndo && GlobalRecordDblClickUndo)
        GlobalRecordDblClickUndo(this, property, old, value);
    ApplyPropChange(hint ? &TBasePgCtrl::HintUpdate : &TBasePgCtrl::TextUpdate, value);
    PostMessage(GlobalMainForm, VRMSGEditStateChanged);
    GlobalMadeChange();
    return true;
}

void TBasePgCtrl::HintUpdate(QWidget *control, const QString &value)
{
    if (auto *element = qobject_cast<TBasePgCtrl *>(control))
        element->SetHint(value);
}

void TBasePgCtrl::TextUpdate(QWidget *control, const QString &value)
{
    if (auto *element = qobject_cast<TBasePgCtrl *>(control))
        element->SetText(value);
}

void TBasePgCtrl::AddRemovePropHelperInf(TPropHelper *helper)
{
    helper->AddInfo(QStringLiteral("Name"), QStringLiteral("Name"), 10);
    helper->AddInfo(QStringLiteral("csBold"), QStringLiteral("Bold"), 50);
    helper->AddInfo(QStringLiteral("csItalic"), QStringLiteral("Italic"), 55);
    helper->AddInfo(QStringLiteral("csUnderline"), QStringLiteral("Underlined"), 60);
    helper->AddInfo(QStringLiteral("csStrikeOut"), QStringLiteral("Strikethrough"), 65);
    helper->AddInfo(QStringLiteral("csUpperCase"), QStringLiteral("Upper Case"), 70);
}

void TBasePgCtrl::CalcRelBounds(bool left, bool top, bool, bool, bool height, bool width)
{
    const TPrinterPage *page = ParentPage();
    if (!page)
        return;
    const QRect paper = page->PaperRect();
    if (paper.width() <= 0 || paper.height() <= 0)
        return;
    if (left)
        m_relLeft = Extended(x() - paper.left()) / paper.width() * 100;
    if (top)
        m_relTop = Extended(y() - paper.top()) / paper.height() * 100;
    if (height)
        m_relHeight = Extended(this->height()) / paper.height() * 100;
    if (width)
        m_relWidth = Extended(this->width()) / paper.width() * 100;
}

QRect TBasePgCtrl::RelBoundsRect(const QRect &paper) const
{
    const auto px = [](Extended rel, int extent) {
        return int(Round(rel * extent / 100));
    };
    return QRect(paper.left() + px(m_relLeft, paper.width()),
                 paper.top() + px(m_relTop, paper.height()), px(m_relWidth, paper.width()),
                 px(m_relHeight, paper.height()));
}

void TBasePgCtrl::DoPaint(const QRect &, QPainter &, bool) { }

void *TBasePgCtrl::GetData(int)
{
    return nullptr;
}

QString TBasePgCtrl::GetPlugInHint() const
{
    const TPlugInKind *row = GlobalPlugInKind(ClassTypeID());
    return row ? QString::fromLatin1(row->Hint) : QString();
}

QString TBasePgCtrl::GetPlugInPaletteGroupName() const
{
    const TPlugInKind *row = GlobalPlugInKind(ClassTypeID());
    return row ? QString::fromLatin1(row->PaletteGroup) : QStringLiteral("Default");
}

int TBasePgCtrl::HlpCtx(const QString &)
{
    return 0;
}

void TBasePgCtrl::UpdateBounds(const QRect &rect)
{
    setGeometry(rect);
}

void TBasePgCtrl::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    canvas.setFont(font());
    DoPaint(rect(), canvas, true);
}

void TBasePgCtrl::Dispatch(TMessage &message)
{
    switch (message.Msg) {
    case ::VRMSGDblClickDlgSetPropVal:
        VRMSGDblClickDlgSetPropVal(message);
        break;
    case ::VRMSGTranslateProp:
        VRMSGTranslateProp(message);
        break;
    default:
        break;
    }
}

void TBasePgCtrl::VRMSGDblClickDlgSetPropVal(TMessage &message)
{
    const auto *name = reinterpret_cast<const QString *>(message.WParam);
    const auto *value = reinterpret_cast<const QString *>(message.LParam);
    if (!name || !value)
        return;
    if (name->compare(QLatin1String("GeneralDefaultText"), Qt::CaseInsensitive) == 0)
        SetText(*value);
    else if (name->compare(QLatin1String("GeneralHint"), Qt::CaseInsensitive) == 0)
        SetHint(*value);
}

void TBasePgCtrl::VRMSGTranslateProp(TMessage &message)
{
    const auto *name = reinterpret_cast<const QString *>(message.WParam);
    message.Result = name && PropHelper()->Translated(*name) ? 1 : 0;
}

// ---------------------------------------------------------------------------

TNonVisualPgCtrl::TNonVisualPgCtrl(TComponent *owner) : TBasePgCtrl(owner)
{
    setVisible(false);
}

TNonVisualPgCtrl::~TNonVisualPgCtrl()
{
    SendMessage(GlobalMainForm, VRMSGNonVisualDestroyed, ObjectParam(this));
}

int TNonVisualPgCtrl::HlpCtx(const QString &name)
{
    return name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 ? 156 : 0;
}
