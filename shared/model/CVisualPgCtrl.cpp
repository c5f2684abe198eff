#include "CBasePgCtrl.h"

#include "CElementEditor.h"
#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CPropHelper.h"
#include "CUndoRedo.h"
#include "CVisualPgCtrlPrivate.h"
#include "CWYSIWYGEngine.h"

using namespace VisualPgCtrlDetail;

// ---------------------------------------------------------------------------
// TVisualPgCtrl

TVisualPgCtrl::TVisualPgCtrl(TComponent *owner)
    : TBasePgCtrl(owner), m_engine(std::make_unique<TWYSIWYGEngine>(this))
{
    resize(65, 17);
    setMouseTracking(true);
}

TVisualPgCtrl::~TVisualPgCtrl()
{
    if (m_focused)
        FreeEdit();
    if (g_focused == this)
        g_focused = nullptr;
}

void TVisualPgCtrl::AfterConstruction()
{
    // The kind's factories run here, where virtual calls reach it. Nothing watches
    // an element gain its groups, and a child event for each is dear in large forms.
    const bool quiet = testAttribute(Qt::WA_NoChildEventsFromChildren);
    setAttribute(Qt::WA_NoChildEventsFromChildren);
    m_border = CreateBorderProps();
    m_character = CreateCharacterProps();
    m_fill = CreateFillProps();
    m_general = CreateGeneralProps();
    m_pad = new TPropGroupPad(this);
    m_paragraph = new TPropGroupParagraph(this);
    m_posSize = new TPropGroupPosSize(this);
    m_tabOn = CreateTABOnProps();
    m_validation = CreateValidationProps();
    setAttribute(Qt::WA_NoChildEventsFromChildren, quiet);
    TBasePgCtrl::AfterConstruction();
    PropGroupFontChanged();
    SetValidationErrMsgs();
}

TUndoRedo &TVisualPgCtrl::EditUndoRedo()
{
    if (!m_editUndoRedo) {
        m_editUndoRedo = std::make_unique<TUndoRedo>();
        m_editUndoRedo->OnChange = [](TUndoRedo *) {
            GlobalMadeChange();
        };
    }
    return *m_editUndoRedo;
}

QSet<char32_t> TVisualPgCtrl::GetCharSet(const QString &text)
{
    QSet<char32_t> set;
    for (const char32_t c : text.toUcs4())
        set.insert(c);
    return set;
}

TPropGroupBorder *TVisualPgCtrl::CreateBorderProps()
{
    return new TPropGroupBorder(this);
}

TPropGroupCharacter *TVisualPgCtrl::CreateCharacterProps()
{
    return new TPropGroupCharacter(this);
}

TPropGroupFill *TVisualPgCtrl::CreateFillProps()
{
    return new TPropGroupFill(this);
}

TPropGroupGeneral *TVisualPgCtrl::CreateGeneralProps()
{
    return new TPropGroupGeneral(this);
}

TPropGroupTABOn *TVisualPgCtrl::CreateTABOnProps()
{
    return new TPropGroupTABOn(this);
}

TPropGroupValidation *TVisualPgCtrl::CreateValidationProps()
{
    return new TPropGroupValidation(this);
}

void TVisualPgCtrl::CalcEditArea()
{
    m_editArea = AdjRectBy(rect(), m_border, m_pad, true, true, true);
    if (auto *focus = dynamic_cast<TElementEditor *>(m_editor.data()))
        focus->OwnerResized();
    else if (m_editor)
        m_editor->setGeometry(m_editArea);
}

void TVisualPgCtrl::CalcPosSizeProps(bool left, bool top, bool, bool, bool height, bool width)
{
    const TPrinterPage *page = ParentPage();
    if (!page || !m_posSize || page->PrinterPixelsPerInchX() <= 0
        || page->PrinterPixelsPerInchY() <= 0)
        return;
    const Extended mmW = page->PageWidthPixels() / (page->PrinterPixelsPerInchX() / 25.4L);
    const Extended mmH = page->PageHeightPixels() / (page->PrinterPixelsPerInchY() / 25.4L);
    const auto mm = [](Extended rel, Extended extent) {
        return GlobalSetDecPlaces(rel * extent / 100, 2);
    };
    m_posSize->UpdateBounds(left ? mm(BaseRelLeft(), mmW) : m_posSize->PosSizeLeft(),
                            top ? mm(BaseRelTop(), mmH) : m_posSize->PosSizeTop(),
                            width ? mm(BaseRelWidth(), mmW) : m_posSize->PosSizeWidth(),
                            height ? mm(BaseRelHeight(), mmH) : m_posSize->PosSizeHeight());
}

void TVisualPgCtrl::CalcRelBounds(bool left, bool top, bool a, bool b, bool height, bool width)
{
    TBasePgCtrl::CalcRelBounds(left, top, a, b, height, width);
    if (!IsLoading() && !GlobalLoadingProject)
        CalcPosSizeProps(left, top, a, b, height, width);
}

namespace {
// The pixel size of the element's font on screen at the page's zoom.
int RelFontPixels(const TPrinterPage *page, const QWidget *element, int points)
{
    const int ppi = page ? page->ScreenPixelsPerInchY() : element->logicalDpiY();
    const int zoom = page ? page->Zoom() : 100;
    return qMax(1, -GlobalCompFontHeight(ppi, zoom, points));
}
} // namespace

void TVisualPgCtrl::CalcRelFontSize()
{
    if (!m_character)
        return;
    QFont f = font();
    f.setPixelSize(RelFontPixels(ParentPage(), this, m_character->CharacterSize()));
    setFont(f);
}

bool TVisualPgCtrl::IterateCtrls(const TIterateCallback &callback, void *context)
{
    if (IsLoading() || m_iterating || !Owner())
        return false;
    m_iterating = true;
    bool result = false;
    for (int i = 0; i < Owner()->ComponentCount() && !result; ++i)
        if (auto *element = ComponentCast<TBasePgCtrl>(Owner()->Components(i)))
            result = callback(element, context);
    m_iterating = false;
    return result;
}

void TVisualPgCtrl::ReadOnlyChanged()
{
    if (!IsLoading())
        SendMessage(GlobalMainForm, VRMSGReadOnlyChanged, ObjectParam(this));
}

void TVisualPgCtrl::AddRemovePropHelperInf(TPropHelper *helper)
{
    TBasePgCtrl::AddRemovePropHelperInf(helper);
    static const std::pair<const char *, std::pair<int, const char *>> entries[] = {
        {"VisualGeneralProps", {400, "General"}},
        {"GeneralLocked", {402, "Lock"}},
        {"GeneralHint", {410, "Hint"}},
        {"GeneralDefaultText", {420, "Default Text"}},
        {"GeneralRequired", {430, "Required"}},
        {"GeneralRestrictTo", {435, "Restrict To"}},
        {"GeneralReadOnly", {440, "Read Only"}},
        {"GeneralPublish", {450, "Publish"}},
        {"GeneralDisplay", {460, "Display"}},
        {"VisualPosSizeProps", {700, "Position & Size (mm)"}},
        {"PosSizeLeft", {710, "Left"}},
        {"PosSizeTop", {720, "Top"}},
        {"PosSizeWidth", {730, "Width"}},
        {"PosSizeHeight", {740, "Height"}},
        {"VisualBorderProps", {800, "Border"}},
        {"BorderWidth", {810, "Width (Pixels)"}},
        {"BorderColor", {820, "Color"}},
        {"BorderPublish", {830, "Publish"}},
        {"VisualFillProps", {900, "Fill"}},
        {"FillColor", {910, "Color"}},
        {"FillTransparent", {920, "Transparent"}},
        {"FillPublish", {930, "Publish"}},
        {"VisualPadProps", {1000, "Pad (Pixels)"}},
        {"PadTop", {1010, "Top"}},
        {"PadRight", {1020, "Right"}},
        {"PadBottom", {1030, "Bottom"}},
        {"PadLeft", {1040, "Left"}},
        {"VisualCharacterProps", {1100, "Character"}},
        {"CharacterFont", {1110, "Font"}},
        {"CharacterSize", {1120, "Size"}},
        {"CharacterStyle", {1130, "Style"}},
        {"CharacterColor", {1140, "Color"}},
        {"VisualParagraphProps", {1200, "Paragraph"}},
        {"ParagraphStyle", {1210, "Style"}},
        {"ParagraphHorzAlign", {1220, "Horizontal Alignment"}},
        {"ParagraphVertAlign", {1230, "Vertical Alignment"}},
        {"ParagraphFixed", {1240, "Fixed (mm)"}},
        {"FixedWidth", {1310, "Width"}},
        {"FixedHeight", {1320, "Height"}},
        {"FixedHorzGap", {1330, "Horizontal Gap"}},
        {"FixedVertGap", {1340, "Vertical Gap"}},
        {"FixedBorderProps", {1350, "Border"}},
        {"FixedFillProps", {1360, "Fill"}},
        {"VisualTABOnProps", {1500, "TAB On..."}},
        {"TABOnEnterKey", {1510, "Enter Key"}},
        {"TABOnUpDownKeys", {1520, "Up & Down Keys"}},
        {"VisualValidationProps", {3000, "Validation"}},
        {"ValidationRequired", {3010, "Required"}},
        {"ValidationErrMsgsList", {3500, "Error Messages"}},
    };
    for (const auto &[id, info] : entries)
        helper->AddInfo(QLatin1String(id), QLatin1String(info.second), info.first);
}

int TVisualPgCtrl::HlpCtx(const QString &name)
{
    static constexpr TPropHlpCtx table[] = {{"Name", 155},
                                            {"ResetFormCanBeReset", 89},
                                            {"ResetFormTextOnReset", 191},
                                            {"ValidationRequired", 175},
                                            {"ValidationMustAlsoCheck", 152},
                                            {"ValidationMustAlsoMatch", 154},
                                            {"ValidationErrMsgsList", 116}};
    const int own = TPropGroup::GetHlpCtx(name, table);
    if (own)
        return own;
    const QList<TPropGroup *> groups {m_border,
                                      m_character,
                                      m_fill,
                                      m_general,
                                      m_pad,
                                      m_paragraph,
                                      m_paragraph->ParagraphFixed(),
                                      m_posSize,
                                      m_tabOn};
    for (TPropGroup *group : groups)
        if (const int topic = group ? group->HlpCtx(name) : 0)
            return topic;
    return 0;
}

void TVisualPgCtrl::UpdateBounds(const QRect &rect)
{
    TBasePgCtrl::UpdateBounds(rect);
    CalcRelFontSize();
    CalcEditArea();
}

void TVisualPgCtrl::SetText(const QString &text)
{
    const QString before = Text();
    TBasePgCtrl::SetText(text);
    if (text != before) {
        TextChanged();
        NotifyAccessibleTextChange(this, before);
    }
}

void TVisualPgCtrl::TextChanged()
{
    if (!ParentPage())
        return;
    BuildWYSIWYGInf(true, !m_focused);
    // The editor repaints itself straight away; the main window tells only the
    // elements that follow other elements' texts.
    if (auto *editor = dynamic_cast<TElementEditor *>(m_editor.data()))
        editor->OwnerTextChanged();
    SendMessage(GlobalMainForm, VRMSGVisualPgCtrlTextChanged, ObjectParam(this));
}

void TVisualPgCtrl::PropGroupFontChanged()
{
    QFont f = font();
    f.setFamily(m_character->CharacterFont());
    const TCharacterStyles style = m_character->CharacterStyle();
    f.setBold(style.testFlag(csBold));
    f.setItalic(style.testFlag(csItalic));
    f.setUnderline(style.testFlag(csUnderline));
    f.setStrikeOut(style.testFlag(csStrikeOut));
    f.setHintingPreference(QFont::PreferNoHinting);
    // Sized here too, so that the widget takes its font once: each change is dear.
    f.setPixelSize(RelFontPixels(ParentPage(), this, m_character->CharacterSize()));
    setFont(f);
    // Elements mostly start from the same palette and take the same colour: the
    // palette made for the last of them serves the next.
    thread_local QPalette from, made;
    const QPalette &own = palette();
    const QColor color = ColorToQColor(m_character->CharacterColor());
    if (!own.isCopyOf(from) || made.color(QPalette::WindowText) != color) {
        from = own;
        made = own;
        made.setColor(QPalette::WindowText, color);
    }
    setPalette(made);
}

bool TVisualPgCtrl::PropGroupIsFixedStyle() const
{
    return m_paragraph && m_paragraph->ParagraphStyle() == psFixed;
}

void TVisualPgCtrl::PropGroupPosSizeChanged(int code)
{
    TPrinterPage *page = ParentPage();
    if (IsLoading() || GlobalLoadingProject || !page || page->PageWidth() <= 0
        || page->PageHeight() <= 0)
        return;
    const QRect paper = page->PaperRect();
    const Extended perMmX = Extended(paper.width()) / page->PageWidth();
    const Extended perMmY = Extended(paper.height()) / page->PageHeight();
    QRect r = geometry();
    // The millimetres stay as typed: only the relative bound follows the pixels.
    switch (code) {
    case 1:
        r.setHeight(int(Round(m_posSize->PosSizeHeight() * perMmY)));
        setGeometry(r);
        TBasePgCtrl::CalcRelBounds(false, false, false, false, true, false);
        break;
    case 2:
        r.moveLeft(int(Round(m_posSize->PosSizeLeft() * perMmX)) + paper.left());
        setGeometry(r);
        TBasePgCtrl::CalcRelBounds(true, false, false, false, false, false);
        break;
    case 3:
        r.moveTop(int(Round(m_posSize->PosSizeTop() * perMmY)) + paper.top());
        setGeometry(r);
        TBasePgCtrl::CalcRelBounds(false, true, false, false, false, false);
        break;
    case 4:
        r.setWidth(int(Round(m_posSize->PosSizeWidth() * perMmX)));
        setGeometry(r);
        TBasePgCtrl::CalcRelBounds(false, false, false, false, false, true);
        break;
    default:
        return;
    }
    CalcEditArea();
    if (code == 1 || code == 4)
        BuildWYSIWYGInf(true, true);
}

void TVisualPgCtrl::VRMSGPagePaperChange(TMessage &message)
{
    TPrinterPage *page = ParentPage();
    if (!page)
        return;
    if (message.LParam) {
        CalcPosSizeProps(true, true, true, true, true, true);
        return;
    }
    const int pw = page->PageWidthPixels();
    const int ph = page->PageHeightPixels();
    if (pw <= 0 || ph <= 0)
        return;
    const Extended perMmX = page->PrinterPixelsPerInchX() / 25.4L;
    const Extended perMmY = page->PrinterPixelsPerInchY() / 25.4L;
    SetBaseRelLeft(m_posSize->PosSizeLeft() * perMmX / pw * 100);
    SetBaseRelWidth(m_posSize->PosSizeWidth() * perMmX / pw * 100);
    SetBaseRelTop(m_posSize->PosSizeTop() * perMmY / ph * 100);
    SetBaseRelHeight(m_posSize->PosSizeHeight() * perMmY / ph * 100);
}

void TVisualPgCtrl::Dispatch(TMessage &message)
{
    switch (message.Msg) {
    case VRMSGAboutToSave:
        if (m_editUndoRedo)
            m_editUndoRedo->Clear();
        break;
    case VRMSGToggleLockPages:
        if (m_editUndoRedo)
            m_editUndoRedo->Clear();
        if (!m_general->GeneralDisplay())
            setVisible(message.WParam == 0);
        break;
    case VRMSGResetForm:
        ResetContent();
        break;
    case VRMSGPrinterChanged:
        if (!GlobalFilling || GlobalLoadingProject)
            BuildWYSIWYGInf(true, false);
        break;
    case ::VRMSGPagePaperChange:
        VRMSGPagePaperChange(message);
        break;
    case VRMSGCommitEdit:
        // Answers 1 once the edit is committed; a refused text keeps the focus here.
        try {
            KillFocus();
            message.Result = 1;
        } catch (const EVeloraError &error) {
            ShowLeavingError(error);
        }
        break;
    default:
        TBasePgCtrl::Dispatch(message);
        break;
    }
}
