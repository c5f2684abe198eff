#include "CBasePgCtrl.h"

#include "CBaseRTFocusCtrl.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPropEditors.h"
#include "CPropGroups.h"
#include "CPropHelper.h"
#include "CSorter.h"
#include "CUndoRedo.h"
#include "CWYSIWYGEngine.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <climits>

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

namespace {
QPointer<TVisualPgCtrl> g_focused;

// Where an error of leaving an element ends when no caller waits for it.
void ShowLeavingError(const EVeloraError &error)
{
    Global_MessageDlg(GlobalAppTitle(), error.Message(), mtError, mbOK, 0);
}

// The page surface of a page index (−1: the active page), or null.
TPrinterPage *PageViewAt(int index)
{
    return GlobalPgScrollBox(index < 0 ? GlobalActivePgIdx() : index);
}

} // namespace

// ---------------------------------------------------------------------------
// TBasePgCtrl

TBasePgCtrl::TBasePgCtrl(TComponent *owner)
    : QWidget(nullptr), TComponent(this, owner), m_propHelper(new TPropHelper(this))
{
    // Elements paint their own background; nothing shows through unless they say so.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

TBasePgCtrl::~TBasePgCtrl() = default;

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
}

void TBasePgCtrl::ApplyPropChange(TUpdateMethod update, const QString &value)
{
    // Without a design surface the edit applies to this element alone.
    const QList<QWidget *> selection
        = GlobalDesignerSelection ? GlobalDesignerSelection() : QList<QWidget *> {this};
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
    // The kind's factories run here, where virtual calls reach it.
    m_border = CreateBorderProps();
    m_character = CreateCharacterProps();
    m_fill = CreateFillProps();
    m_general = CreateGeneralProps();
    m_pad = new TPropGroupPad(this);
    m_paragraph = new TPropGroupParagraph(this);
    m_posSize = new TPropGroupPosSize(this);
    m_tabOn = CreateTABOnProps();
    m_validation = CreateValidationProps();
    TBasePgCtrl::AfterConstruction();
    PropGroupFontChanged();
    SetValidationErrMsgs();
}

TVisualPgCtrl *TVisualPgCtrl::FocusedElement()
{
    return g_focused;
}

TUndoRedo &TVisualPgCtrl::EditUndoRedo()
{
    if (!m_editUndoRedo)
        m_editUndoRedo = std::make_unique<TUndoRedo>();
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

QWidget *TVisualPgCtrl::CreateEdit(const QPoint &point)
{
    m_creatingEditor = true;
    QWidget *editor = nullptr;
    try {
        editor = DoCreateEdit(point);
    } catch (...) {
        m_creatingEditor = false;
        throw;
    }
    m_creatingEditor = false;
    return editor;
}

QWidget *TVisualPgCtrl::DoCreateEdit(const QPoint &)
{
    return nullptr;
}

void TVisualPgCtrl::FreeEdit()
{
    // The editor may be the very control whose key or focus handling got here.
    QWidget *editor = m_editor;
    m_editor = nullptr;
    if (editor) {
        editor->hide();
        editor->deleteLater();
    }
}

QRect TVisualPgCtrl::ScaledRect(const QRect &rect, const QMargins &m, bool onScreen) const
{
    // Lengths are screen pixels at 100 %; printing first converts them to printer pixels.
    const TPrinterPage *page = ParentPage();
    const auto horz = [&](int v) -> int {
        if (!page)
            return v;
        if (!onScreen)
            return int(
                Round(Extended(v) * page->PrinterPixelsPerInchX() / page->ScreenPixelsPerInchX()));
        return page->Scale(v);
    };
    const auto vert = [&](int v) -> int {
        if (!page)
            return v;
        if (!onScreen)
            return int(
                Round(Extended(v) * page->PrinterPixelsPerInchY() / page->ScreenPixelsPerInchY()));
        return page->Scale(v);
    };
    return rect.adjusted(horz(m.left()), vert(m.top()), -horz(m.right()), -vert(m.bottom()));
}

QRect TVisualPgCtrl::AdjRectBy(const QRect &rect, TPropGroupBorder *border, TPropGroupPad *pad,
                               bool firstMargins, bool secondMargins, bool onScreen) const
{
    QRect r = rect;
    if (firstMargins)
        r = ScaledRect(r, FirstInnerMargins, onScreen);
    if (border) {
        const int b = border->BorderWidth();
        r = ScaledRect(r, QMargins(b, b, b, b), onScreen);
    }
    if (pad)
        r = ScaledRect(r,
                       QMargins(pad->PadLeft(), pad->PadTop(), pad->PadRight(), pad->PadBottom()),
                       onScreen);
    if (secondMargins)
        r = ScaledRect(r, SecondInnerMargins, onScreen);
    return r;
}

void TVisualPgCtrl::DrawFill(const QRect &rect, QPainter &canvas, TPropGroupBorder *,
                             TPropGroupFill *fill, bool ellipse, bool onScreen)
{
    if (!fill || fill->FillColor() == clNone || (!onScreen && !fill->FillPublish()))
        return;
    const QRect r = AdjRectBy(rect, nullptr, nullptr, true, false, onScreen);
    canvas.save();
    const QColor color = ColorToQColor(fill->FillColor());
    if (fill->FillTransparent())
        canvas.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    canvas.setPen(Qt::NoPen);
    canvas.setBrush(color);
    if (ellipse) {
        canvas.setRenderHint(QPainter::Antialiasing, false);
        canvas.drawEllipse(r);
    } else {
        canvas.fillRect(r, color);
    }
    canvas.restore();
}

void TVisualPgCtrl::DrawBorder(const QRect &rect, QPainter &canvas, TPropGroupBorder *border,
                               bool ellipse, bool onScreen)
{
    if (!border)
        return;
    const QRect r = AdjRectBy(rect, nullptr, nullptr, true, false, onScreen);
    canvas.save();
    canvas.setBrush(Qt::NoBrush);
    if (border->BorderWidth() > 0) {
        if (!onScreen && !border->BorderPublish()) {
            canvas.restore();
            return;
        }
        const TPrinterPage *page = ParentPage();
        int w = border->BorderWidth();
        if (page)
            w = onScreen ? page->Scale(w)
                         : int(Round(Extended(page->PrinterPixelsPerInchX())
                                     / page->ScreenPixelsPerInchX() * w));
        w = qMax(1, w);
        const QColor color = ColorToQColor(border->BorderColor());
        if (ellipse) {
            // Inside the frame, as the border never grows the element.
            canvas.setPen(QPen(color, w));
            canvas.drawEllipse(QRectF(r).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0));
        } else {
            canvas.fillRect(QRect(r.left(), r.top(), r.width(), w), color);
            canvas.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), color);
            canvas.fillRect(QRect(r.left(), r.top(), w, r.height()), color);
            canvas.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), color);
        }
    } else if (!GlobalFilling && onScreen) {
        // Keeps a borderless element visible while designing.
        const bool locked = m_general && m_general->GeneralLocked();
        canvas.setPen(QPen(locked ? Qt::red : Qt::green, 0, Qt::DotLine));
        canvas.drawRect(r.adjusted(0, 0, -1, -1));
    }
    canvas.restore();
}

void TVisualPgCtrl::DrawFixedBorders(const QRect &rect, QPainter &canvas, bool onScreen)
{
    m_engine->DrawFixedBorders(canvas, rect, onScreen);
}

void TVisualPgCtrl::DrawText(const QRect &rect, QPainter &canvas, int first, int last,
                             bool onScreen, TColor color)
{
    // The selection belongs to the editor: never printed, never left behind.
    const bool selection = onScreen && m_focused;
    m_engine->DrawText(canvas, rect, first, last, ColorToQColor(color), selection ? m_selStart : 0,
                       selection ? m_selLength : 0);
}

void TVisualPgCtrl::DoPaint(const QRect &rect, QPainter &canvas, bool onScreen)
{
    // Placed on a page or resized without a relayout yet.
    if (m_engine->NeedsBuild())
        BuildWYSIWYGInf(true, false);
    DrawFill(rect, canvas, m_border, m_fill, false, onScreen);
    if (PropGroupIsFixedStyle())
        DrawFixedBorders(rect, canvas, onScreen);
    canvas.save();
    if (onScreen)
        canvas.setClipRect(AdjRectBy(rect, m_border, m_pad, false, false, true));
    DrawText(rect, canvas, 1, INT_MAX, onScreen, m_character->CharacterColor());
    canvas.restore();
    DrawBorder(rect, canvas, m_border, false, onScreen);
}

QString TVisualPgCtrl::GetRequired_VEM() const
{
    const QStringList messages
        = m_validation ? m_validation->ValidationErrMsgsList() : QStringList();
    QString text = messages.value(0);
    static const QRegularExpression nameTag(QStringLiteral("<name>"),
                                            QRegularExpression::CaseInsensitiveOption);
    return text.replace(nameTag, Name());
}

void TVisualPgCtrl::SetValidationErrMsgs()
{
    QStringList messages = m_validation->ValidationErrMsgsList();
    messages.prepend(QStringLiteral("<Name> is incomplete!"));
    m_validation->SetValidationErrMsgsList(messages);
}

bool TVisualPgCtrl::Aquired(TVisualPgCtrl *&element, QString &message, bool check, int)
{
    element = this;
    message.clear();
    if (check && Text().isEmpty()) {
        message = GetRequired_VEM();
        return false;
    }
    return true;
}

void TVisualPgCtrl::BuildWYSIWYGInf(bool reset, bool invalidate)
{
    // While a document is read every property would lay the text out again;
    // the first paint lays it out once instead.
    if (reset && (IsLoading() || GlobalLoadingProject)) {
        m_engine->Invalidate();
        if (invalidate)
            update();
        return;
    }
    // The groups exist only once construction is complete.
    if (m_character && m_paragraph)
        m_engine->BuildWYSIWYGData(reset, DisplayText(Text()), m_paragraph->ParagraphWrap());
    if (invalidate)
        update();
}

void TVisualPgCtrl::CalcEditArea()
{
    m_editArea = AdjRectBy(rect(), m_border, m_pad, true, true, true);
    if (auto *focus = qobject_cast<TBaseRTFocusCtrl *>(m_editor.data()))
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

void TVisualPgCtrl::CalcRelFontSize()
{
    if (!m_character)
        return;
    const TPrinterPage *page = ParentPage();
    const int ppi = page ? page->ScreenPixelsPerInchY() : logicalDpiY();
    const int zoom = page ? page->Zoom() : 100;
    QFont f = font();
    f.setPixelSize(qMax(1, -GlobalCompFontHeight(ppi, zoom, m_character->CharacterSize())));
    setFont(f);
}

bool TVisualPgCtrl::CanFocus() const
{
    return !m_general->GeneralReadOnly();
}

QString TVisualPgCtrl::DisplayText(const QString &text) const
{
    return m_character->CharacterStyle().testFlag(csUpperCase) ? text.toUpper() : text;
}

QList<TValidationCheck> TVisualPgCtrl::ValidationChecks() const
{
    return {{QStringLiteral("Required"), 0}};
}

void TVisualPgCtrl::DoValidate()
{
    if (GlobalClearingProject || !GlobalFilling || !ParentPage())
        return;
    try {
        Validate();
    } catch (...) {
        // The element keeps the focus with its text selected, and the program shows the error.
        if (auto *focus = qobject_cast<TBaseRTFocusCtrl *>(m_editor.data()))
            focus->SelectAll();
        if (m_editor)
            m_editor->setFocus();
        throw;
    }
}

Qt::CursorShape TVisualPgCtrl::GetCursor(const QPoint &) const
{
    return Qt::ArrowCursor;
}

QString TVisualPgCtrl::GetValidationHTML(int) const
{
    // Not HasHTMLValidation: a kind answers it for its own checks too.
    if (!m_validation->ValidationRequired())
        return {};
    return QStringLiteral("        '%1', '#q', '0', '%2'").arg(Name(), GetRequired_VEM());
}

bool TVisualPgCtrl::HasHTMLValidation() const
{
    return m_validation->ValidationRequired();
}

bool TVisualPgCtrl::IterateCtrls(const TIterateCallback &callback, void *context)
{
    if (IsLoading() || m_iterating || !Owner())
        return false;
    m_iterating = true;
    bool result = false;
    for (int i = 0; i < Owner()->ComponentCount() && !result; ++i)
        if (auto *element = ComponentCast<TVisualPgCtrl>(Owner()->Components(i)))
            result = callback(element, context);
    m_iterating = false;
    return result;
}

void TVisualPgCtrl::KillFocus()
{
    if (!m_focused)
        return;
    DoValidate();
    FreeEdit();
    m_focused = false;
    if (g_focused == this)
        g_focused = nullptr;
    // The display may differ from the text being edited (numbers are formatted).
    BuildWYSIWYGInf(true, true);
    PostMessage(GlobalMainForm, VRMSGEditStateChanged);
}

void TVisualPgCtrl::ReadOnlyChanged()
{
    if (!IsLoading())
        SendMessage(GlobalMainForm, VRMSGReadOnlyChanged, ObjectParam(this));
}

QList<TVisualPgCtrl *> TVisualPgCtrl::BuildTABOrderList(int pageIndex)
{
    QList<TVisualPgCtrl *> list;
    const TPrinterPage *page = PageViewAt(pageIndex);
    if (!page)
        return list;
    for (QObject *child : page->children())
        if (auto *element = qobject_cast<TVisualPgCtrl *>(child);
            element && GlobalCanFocus(element))
            list.append(element);
    TSorter sorter;
    sorter.OnCompare = [&list](TSorter *, int i, int j) {
        return list[i]->TabOrder() < list[j]->TabOrder()
            ? -1
            : (list[i]->TabOrder() > list[j]->TabOrder());
    };
    sorter.OnSwap = [&list](TSorter *, int i, int j) {
        list.swapItemsAt(i, j);
    };
    sorter.QuickSort(0, int(list.size()) - 1);
    return list;
}

TVisualPgCtrl *TVisualPgCtrl::SelectCtrl(bool forward, int pageIndex, int current)
{
    const int pageCount = GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
    if (pageCount == 0)
        return nullptr;
    int page = pageIndex < 0 ? GlobalPagesPageControl->ActivePageIndex() : pageIndex;
    QList<TVisualPgCtrl *> list = BuildTABOrderList(page);
    int index = current == INT_MAX ? int(list.indexOf(this)) : current;
    if (!forward && current == -1)
        index = int(list.size());
    index += forward ? 1 : -1;
    // Pages with nothing to focus are passed over; with none anywhere we stay put.
    for (int tries = 0; index < 0 || index >= list.size(); ++tries) {
        if (tries > pageCount)
            return nullptr;
        page = (page + (forward ? 1 : -1) + pageCount) % pageCount;
        list = BuildTABOrderList(page);
        index = forward ? 0 : int(list.size()) - 1;
    }
    TVisualPgCtrl *target = list[index];
    if (target->Focused())
        return target;
    KillFocus();
    if (page != GlobalPagesPageControl->ActivePageIndex()) {
        GlobalPagesPageControl->SetActivePageIndex(page);
        SendMessage(GlobalMainForm, VRMSGActivePageChanged);
    }
    if (TPrinterPage *view = target->ParentPage())
        view->ScrollInView(target->geometry());
    target->SetFocus(QPoint(-1, -1));
    return target;
}

void TVisualPgCtrl::SetFocus(const QPoint &point)
{
    if (!CanFocus())
        return;
    if (g_focused && g_focused != this)
        g_focused->KillFocus();
    m_focused = true;
    g_focused = this;
    BuildWYSIWYGInf(true, false);
    m_editor = CreateEdit(point);
    if (auto *focus = qobject_cast<TBaseRTFocusCtrl *>(m_editor.data())) {
        focus->OwnerResized();
        if (point == QPoint(-1, -1))
            focus->SelectAll();
    } else if (m_editor) {
        m_editor->setGeometry(m_editArea);
    }
    if (m_editor) {
        m_editor->show();
        m_editor->setFocus();
    }
    update();
}

void TVisualPgCtrl::mousePressEvent(QMouseEvent *event)
{
    if (!CanFocus()) {
        if (GlobalFilling && GlobalPagesPageControl)
            GlobalPagesPageControl->setFocus();
        return;
    }
    if (m_focused) {
        // A click on the border would otherwise leave the keys with whatever took the click.
        if (m_editor)
            m_editor->setFocus();
        return;
    }
    try {
        SetFocus(event->position().toPoint());
    } catch (const EVeloraError &error) {
        // The element holding the focus refused to let go of its text.
        ShowLeavingError(error);
    }
}

void TVisualPgCtrl::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(m_general->GeneralReadOnly() ? Qt::ArrowCursor
                                           : GetCursor(event->position().toPoint()));
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
    const bool changed = text != Text();
    TBasePgCtrl::SetText(text);
    if (changed)
        TextChanged();
}

void TVisualPgCtrl::TextChanged()
{
    if (!ParentPage())
        return;
    BuildWYSIWYGInf(true, !m_focused);
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
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ColorToQColor(m_character->CharacterColor()));
    setPalette(pal);
    CalcRelFontSize();
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

bool GlobalCanFocus(QObject *control)
{
    auto *element = qobject_cast<TVisualPgCtrl *>(control);
    return element && element->VisualGeneralProps()
        && element->VisualGeneralProps()->GeneralDisplay()
        && !element->VisualGeneralProps()->GeneralReadOnly() && element->CanFocus()
        && element->ClassTypeID() != -1;
}
