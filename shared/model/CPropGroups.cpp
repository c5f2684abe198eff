#include "CPropGroups.h"

#include "CComponent.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CMessages.h"
#include "CPrinterPage.h"
#include "CPropGroupOwner.h"

#include <QWidget>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <typeinfo>

namespace {
constexpr int kResizeConfirmationTopic = 56;

bool HasVisualElements(const TPrinterPage *view)
{
    const auto children = view->findChildren<QWidget *>();
    for (QWidget *child : children)
        if (dynamic_cast<TPropGroupOwner *>(child))
            return true;
    return false;
}
} // namespace

// ---------------------------------------------------------------------------

TPropGroup::TPropGroup(QObject *owner) : QObject(owner), m_owner(owner) { }

int TPropGroup::HlpCtx(const QString &) const
{
    return 0;
}

bool TPropGroup::PropUsed(const QString &) const
{
    return true;
}

void TPropGroup::PropertyChanged(int code)
{
    if (!OwnerLoading())
        SendMessage(m_owner, VRMSGPropChanged, std::uintptr_t(code), 0);
}

int TPropGroup::GetHlpCtx(const QString &name, std::span<const TPropHlpCtx> table)
{
    for (const TPropHlpCtx &entry : table)
        if (name.compare(QLatin1String(entry.Name), Qt::CaseInsensitive) == 0)
            return entry.Topic;
    return 0;
}

namespace {
// Where an owner's element and component parts lie, found once per kind of owner:
// a cross cast walks the class tree, and every change of every group asks for both.
struct TOwnerCasts
{
    // By name: a plug-in's type may unload and another take its address.
    std::string Type;
    std::optional<std::ptrdiff_t> Element;
    std::optional<std::ptrdiff_t> Component;
};

template<class T>
std::optional<std::ptrdiff_t> CastOffset(QObject *owner)
{
    T *cast = dynamic_cast<T *>(owner);
    if (!cast)
        return std::nullopt;
    return reinterpret_cast<char *>(cast) - reinterpret_cast<char *>(owner);
}

// The casts depend on the owner's dynamic type alone; forms hold few kinds.
const TOwnerCasts &OwnerCasts(QObject *owner)
{
    thread_local std::array<TOwnerCasts, 8> kinds;
    thread_local std::size_t next = 0;
    const char *type = typeid(*owner).name();
    for (const TOwnerCasts &kind : kinds)
        if (kind.Type == type)
            return kind;
    TOwnerCasts &kind = kinds[next];
    next = (next + 1) % kinds.size();
    kind = {type, CastOffset<TPropGroupOwner>(owner), CastOffset<TComponent>(owner)};
    return kind;
}

template<class T>
T *CastAt(QObject *owner, const std::optional<std::ptrdiff_t> &offset)
{
    return offset ? reinterpret_cast<T *>(reinterpret_cast<char *>(owner) + *offset) : nullptr;
}
} // namespace

TPropGroupOwner *TPropGroup::Element() const
{
    return m_owner ? CastAt<TPropGroupOwner>(m_owner, OwnerCasts(m_owner).Element) : nullptr;
}

bool TPropGroup::OwnerLoading() const
{
    const TComponent *component
        = m_owner ? CastAt<TComponent>(m_owner, OwnerCasts(m_owner).Component) : nullptr;
    return component && component->IsLoading();
}

void TPropGroup::ChangeExtended(Extended &field, Extended value, int code)
{
    if (field == value)
        return;
    field = GlobalSetDecPlaces(value, 2);
    PropChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupBorder::TPropGroupBorder(QObject *owner) : TPropGroup(owner) { }

TPropGroupBorder::TPropGroupBorder(QObject *owner, int width)
    : TPropGroup(owner), m_width(qMax(width, 0))
{ }

void TPropGroupBorder::SetBorderWidth(int value)
{
    Change(m_width, qMax(value, 0), 3);
}

int TPropGroupBorder::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[]
        = {{"BorderColor", 90}, {"BorderPublish", 170}, {"BorderWidth", 201}};
    return GetHlpCtx(name, table);
}

void TPropGroupBorder::PropertyChanged(int code)
{
    if (TPropGroupOwner *element = Element()) {
        if (code == 1)
            element->PropGroupRepaint();
        else if (code == 3)
            element->PropGroupRelayout(true);
    }
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupCharacter::TPropGroupCharacter(QObject *owner) : TPropGroup(owner) { }

int TPropGroupCharacter::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {{"CharacterColor", 91},
                                            {"CharacterFixedSize", 123},
                                            {"CharacterFont", 124},
                                            {"CharacterSize", 180}};
    return GetHlpCtx(name, table);
}

void TPropGroupCharacter::PropertyChanged(int code)
{
    if (TPropGroupOwner *element = Element()) {
        if (code >= 1 && code <= 4)
            element->PropGroupFontChanged();
        if (code == 2 || code == 3)
            element->PropGroupRelayout(false);
        else if (code == 4)
            element->PropGroupRelayout(true);
    }
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupCommonResetForm::TPropGroupCommonResetForm(QObject *owner) : TPropGroup(owner) { }

// ---------------------------------------------------------------------------

TPropGroupFill::TPropGroupFill(QObject *owner) : TPropGroup(owner) { }

TPropGroupFill::TPropGroupFill(QObject *owner, bool transparent)
    : TPropGroup(owner), m_transparent(transparent)
{ }

int TPropGroupFill::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[]
        = {{"FillColor", 93}, {"FillPublish", 171}, {"FillTransparent", 196}};
    return GetHlpCtx(name, table);
}

void TPropGroupFill::PropertyChanged(int code)
{
    if (TPropGroupOwner *element = Element(); element && (code == 1 || code == 3))
        element->PropGroupRepaint();
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupFixed::TPropGroupFixed(QObject *owner)
    : TPropGroup(owner), m_border(new TPropGroupBorder(owner)), m_fill(new TPropGroupFill(owner))
{
    // Reports of the nested groups go to the element; this group frees them.
    m_border->setParent(this);
    m_fill->setParent(this);
}

int TPropGroupFixed::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[]
        = {{"FixedHeight", 127}, {"FixedHorzGap", 132}, {"FixedVertGap", 199}, {"FixedWidth", 203}};
    if (const int topic = GetHlpCtx(name, table))
        return topic;
    if (const int topic = m_border->HlpCtx(name))
        return topic;
    return m_fill->HlpCtx(name);
}

void TPropGroupFixed::PropertyChanged(int code)
{
    if (TPropGroupOwner *element = Element();
        element && code >= 3 && code <= 6 && element->PropGroupIsFixedStyle())
        element->PropGroupRelayout(true);
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupGeneral::TPropGroupGeneral(QObject *owner) : TPropGroup(owner) { }

QString TPropGroupGeneral::GeneralDefaultText() const
{
    const TPropGroupOwner *element = Element();
    return element ? element->PropGroupText() : m_text;
}

void TPropGroupGeneral::SetGeneralDefaultText(const QString &value)
{
    if (TPropGroupOwner *element = Element())
        element->PropGroupSetText(value);
    else
        m_text = value;
    PropChanged(1);
}

QString TPropGroupGeneral::GeneralHint() const
{
    const TPropGroupOwner *element = Element();
    return element ? element->PropGroupHint() : m_hint;
}

void TPropGroupGeneral::SetGeneralHint(const QString &value)
{
    if (TPropGroupOwner *element = Element())
        element->PropGroupSetHint(value);
    else
        m_hint = value;
    PropChanged(3);
}

int TPropGroupGeneral::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[]
        = {{"GeneralDefaultText", 109}, {"GeneralDisplay", 111},   {"GeneralHint", 130},
           {"GeneralLocked", 146},      {"GeneralPublish", 172},   {"GeneralReadOnly", 174},
           {"GeneralRequired", 175},    {"GeneralRestrictTo", 176}};
    return GetHlpCtx(name, table);
}

void TPropGroupGeneral::PropertyChanged(int code)
{
    if (TPropGroupOwner *element = Element()) {
        if (code == 4)
            element->PropGroupRepaint();
        else if (code == 6)
            element->PropGroupReadOnlyChanged();
        else if (code == 7)
            element->PropGroupRequiredChanged();
    }
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupMargins::TPropGroupMargins(QObject *owner) : TPropGroup(owner) { }

TPrinterPage *TPropGroupMargins::PageView() const
{
    return GlobalPgPropGroupPageView ? GlobalPgPropGroupPageView(this) : nullptr;
}

int TPropGroupMargins::Margin(int index) const
{
    const TPrinterPage *view = PageView();
    if (!view)
        return 0;
    switch (index) {
    case 0:
        return view->BottomMargin();
    case 1:
        return view->LeftMargin();
    case 2:
        return view->RightMargin();
    default:
        return view->TopMargin();
    }
}

void TPropGroupMargins::SetMargin(int index, int value, int code)
{
    TPrinterPage *view = PageView();
    if (!view || Margin(index) == value)
        return;
    view->SetMargin(index, value);
    PropChanged(code);
}

bool TPropGroupMargins::MarginsDisplay() const
{
    const TPrinterPage *view = PageView();
    return view ? view->ShowMargins() : true;
}

void TPropGroupMargins::SetMarginsDisplay(bool value)
{
    TPrinterPage *view = PageView();
    if (!view || view->ShowMargins() == value)
        return;
    view->SetShowMargins(value);
    PropChanged(2);
}

int TPropGroupMargins::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {{"MarginsBottom", 86},
                                            {"MarginsDisplay", 113},
                                            {"MarginsLeft", 142},
                                            {"MarginsRight", 177},
                                            {"MarginsTop", 193}};
    return GetHlpCtx(name, table);
}

// ---------------------------------------------------------------------------

TPropGroupPaper::TPropGroupPaper(QObject *owner) : TPropGroup(owner) { }

TPrinterPage *TPropGroupPaper::PageView() const
{
    return GlobalPgPropGroupPageView ? GlobalPgPropGroupPageView(this) : nullptr;
}

template<class T, class Apply>
void TPropGroupPaper::ChangePaper(T current, T value, Apply apply)
{
    if (current == value)
        return;
    bool resize = false;
    if (PageChangePromptCancelled(resize))
        return;
    apply();
    m_resize = resize;
    PropChanged(2);
}

int TPropGroupPaper::PaperHeight() const
{
    const TPrinterPage *view = PageView();
    return view ? view->PageHeight() : 0;
}

void TPropGroupPaper::SetPaperHeight(int value)
{
    TPrinterPage *view = PageView();
    // Under 1 mm a page has no extent to divide by.
    if (!view || value < 1)
        return;
    ChangePaper(view->PageHeight(), value, [&] { view->SetPageHeight(value); });
}

TPrinterOrientation TPropGroupPaper::PaperOrientation() const
{
    const TPrinterPage *view = PageView();
    return view ? view->PageOrientation() : poPortrait;
}

void TPropGroupPaper::SetPaperOrientation(TPrinterOrientation value)
{
    if (TPrinterPage *view = PageView())
        ChangePaper(view->PageOrientation(), value, [&] { view->SetPageOrientation(value); });
}

int TPropGroupPaper::PaperSize() const
{
    const TPrinterPage *view = PageView();
    return view ? view->PageSize() : 0;
}

void TPropGroupPaper::SetPaperSize(int value)
{
    if (TPrinterPage *view = PageView())
        ChangePaper(view->PageSize(), value, [&] { view->SetPageSize(value); });
}

int TPropGroupPaper::PaperWidth() const
{
    const TPrinterPage *view = PageView();
    return view ? view->PageWidth() : 0;
}

void TPropGroupPaper::SetPaperWidth(int value)
{
    TPrinterPage *view = PageView();
    if (!view || value < 1)
        return;
    ChangePaper(view->PageWidth(), value, [&] { view->SetPageWidth(value); });
}

bool TPropGroupPaper::PageChangePromptCancelled(bool &resize) const
{
    resize = false;
    if (GlobalAddingPage)
        return false;
    // While reading, the page view's own streamed paper governs.
    if (GlobalLoadingProject || OwnerLoading())
        return true;
    const TPrinterPage *view = PageView();
    if (!view || !HasVisualElements(view))
        return false;
    const int answer = Global_MessageDlg(
        GlobalAppTitle(),
        QStringLiteral("Do you want to resize and reposition all form elements to reflect the "
                       "page change?"),
        mtConfirmation, mbYesNoCancel, kResizeConfirmationTopic);
    if (answer == mrYes)
        resize = true;
    return answer != mrYes && answer != mrNo;
}

int TPropGroupPaper::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {
        {"PaperHeight", 128}, {"PaperOrientation", 158}, {"PaperSize", 183}, {"PaperWidth", 204}};
    return GetHlpCtx(name, table);
}

void TPropGroupPaper::PropertyChanged(int code)
{
    if (code == 2)
        SendMessage(GlobalMainForm, VRMSGPagePaperChange, 2, m_resize ? 1 : 0);
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupPad::TPropGroupPad(QObject *owner) : TPropGroup(owner) { }

int TPropGroupPad::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[]
        = {{"PadBottom", 87}, {"PadLeft", 143}, {"PadRight", 178}, {"PadTop", 194}};
    return GetHlpCtx(name, table);
}

void TPropGroupPad::PropertyChanged(int code)
{
    if (TPropGroupOwner *element = Element(); element && code >= 1 && code <= 4)
        element->PropGroupRelayout(true);
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupParagraph::TPropGroupParagraph(QObject *owner)
    : TPropGroup(owner), m_fixed(new TPropGroupFixed(owner))
{
    m_fixed->setParent(this);
}

int TPropGroupParagraph::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {{"ParagraphHorzAlign", 131},
                                            {"ParagraphStyle", 188},
                                            {"ParagraphVertAlign", 200},
                                            {"ParagraphWrap", 207}};
    if (const int topic = GetHlpCtx(name, table))
        return topic;
    return m_fixed->HlpCtx(name);
}

void TPropGroupParagraph::PropertyChanged(int code)
{
    if (TPropGroupOwner *element = Element(); element && code >= 2 && code <= 6)
        element->PropGroupRelayout(true);
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupPDF::TPropGroupPDF(QObject *owner) : TPropGroup(owner) { }

void TPropGroupPDF::SetPDFLink(const QString &value)
{
    // Elements vanishing with the project must not clear or re-check links.
    if (GlobalClearingProject || value.compare(m_link, Qt::CaseInsensitive) == 0)
        return;
    const bool loading = OwnerLoading();
    if (!loading && !value.isEmpty() && !GlobalValidatePDFLink(value))
        return;
    m_link = value;
    if (!loading)
        PropChanged(1);
}

int TPropGroupPDF::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {{"PDFLink", 145}, {"PDFPage", 162}};
    return GetHlpCtx(name, table);
}

// ---------------------------------------------------------------------------

TPropGroupPosSize::TPropGroupPosSize(QObject *owner) : TPropGroup(owner) { }

void TPropGroupPosSize::UpdateBounds(Extended left, Extended top, Extended width, Extended height)
{
    m_left = GlobalSetDecPlaces(left, 2);
    m_top = GlobalSetDecPlaces(top, 2);
    m_width = GlobalSetDecPlaces(width, 2);
    m_height = GlobalSetDecPlaces(height, 2);
}

int TPropGroupPosSize::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {
        {"PosSizeHeight", 129}, {"PosSizeLeft", 144}, {"PosSizeTop", 195}, {"PosSizeWidth", 205}};
    return GetHlpCtx(name, table);
}

void TPropGroupPosSize::PropertyChanged(int code)
{
    if (TPropGroupOwner *element = Element(); element && code >= 1 && code <= 4)
        element->PropGroupPosSizeChanged(code);
    TPropGroup::PropertyChanged(code);
}

// ---------------------------------------------------------------------------

TPropGroupScrolling::TPropGroupScrolling(QObject *owner) : TPropGroup(owner) { }

// ---------------------------------------------------------------------------

TPropGroupTABOn::TPropGroupTABOn(QObject *owner) : TPropGroup(owner) { }

int TPropGroupTABOn::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {{"TABOnEnterKey", 117}, {"TABOnUpDownKeys", 198}};
    return GetHlpCtx(name, table);
}

// ---------------------------------------------------------------------------

TPropGroupValidation::TPropGroupValidation(QObject *owner) : TPropGroup(owner) { }

TPropGroupGeneral *TPropGroupValidation::General() const
{
    if (!Owner())
        return nullptr;
    if (auto *general = qobject_cast<TPropGroupGeneral *>(
            Owner()->property("VisualGeneralProps").value<QObject *>()))
        return general;
    return Owner()->findChild<TPropGroupGeneral *>(QString(), Qt::FindDirectChildrenOnly);
}

bool TPropGroupValidation::ValidationRequired() const
{
    const TPropGroupGeneral *general = General();
    return general && general->GeneralRequired();
}

void TPropGroupValidation::SetValidationRequired(bool value)
{
    TPropGroupGeneral *general = General();
    if (!general || general->GeneralRequired() == value)
        return;
    general->SetGeneralRequired(value);
    general->PropChanged(2);
}
