#include "CBaseRTEditFocusCtrl.h"

#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrlPrivate.h"
#include "CPropGroups.h"
#include "CVisualPgCtrlNumeric.h"
#include "CWYSIWYGEngine.h"

#include <QPainter>
#include <QTimer>

using namespace RTEditFocusCtrlDetail;

// ---------------------------------------------------------------------------
// Parameters

TBaseRTEditFocusCtrlParamss BaseRTEditFocusCtrlParams(TVisualPgCtrl *element, const QPoint &click)
{
    TBaseRTEditFocusCtrlParamss p;
    p.ClickX = click.x();
    p.ClickY = click.y();
    if (const TPropGroupGeneral *general = element->VisualGeneralProps())
        p.AllowedChars = TVisualPgCtrl::GetCharSet(general->GeneralRestrictTo());
    if (const TPropGroupCharacter *character = element->VisualCharacterProps())
        p.UpperCase = character->CharacterStyle().testFlag(csUpperCase);
    if (const TPropGroupTABOn *tabOn = element->VisualTABOnProps()) {
        p.TABOnEnterKey = tabOn->TABOnEnterKey();
        p.TABOnUpDownKeys = tabOn->TABOnUpDownKeys();
    }
    if (const TPropGroupParagraph *paragraph = element->VisualParagraphProps())
        p.WordWrap = paragraph->ParagraphWrap();
    if (const auto *numeric = qobject_cast<TVisualPgCtrlNumeric *>(element)) {
        p.WholeNumbersOnly = numeric->VisualNumberProps()->NumberDecPlaces() == 0;
        p.NumericsOnly = numeric->VisualNumberProps()->NumberNumericsOnly();
        if (const auto *general = numeric->NumericGeneralProps())
            p.MaxChars = general->GeneralMaxChars();
        if (const auto *tabOn = numeric->NumericTABOnProps()) {
            p.TABOnDecimalPoint = tabOn->TABOnDecimalPoint();
            p.TABOnMaxChars = tabOn->TABOnMaxChars();
        }
    }
    return p;
}

// ---------------------------------------------------------------------------
// Construction

TBaseRTEditFocusCtrl::TBaseRTEditFocusCtrl(TVisualPgCtrl *owner,
                                           const TBaseRTEditFocusCtrlParamss &params,
                                           bool createScrollBars)
    : TBaseRTFocusCtrl(owner, params.TABOnEnterKey, params.TABOnUpDownKeys, createScrollBars,
                       params.Scrolling),
      m_params(params), m_caretTimer(new QTimer(this))
{
    setAttribute(Qt::WA_InputMethodEnabled);
    const int last = LastIndex();
    if (params.ClickX != -1 || params.ClickY != -1)
        m_caret
            = BaseRTEditFocusCtrlChrIdxFromPos(owner, QPoint(params.ClickX, params.ClickY), last);
    else
        m_caret = owner->VisualParagraphProps()
                && owner->VisualParagraphProps()->ParagraphHorzAlign() == taRightJustify
            ? 0
            : last;
    SetCharPos(qBound(0, m_caret, last));

    m_caretTimer->setInterval(CaretInterval);
    connect(m_caretTimer, &QTimer::timeout, this, &TBaseRTEditFocusCtrl::OnTimer);
    CreatePopupMenu();
    m_insertMode = true;

    // The history outlives this editor; a replay for an editor that is gone does nothing.
    TUndoRedo &history = owner->EditUndoRedo();
    const QPointer<TBaseRTEditFocusCtrl> self(this);
    history.OnUndo = history.OnRedo = [self](TUndoRedo *, TUndoRedoItem *item, bool) {
        if (self)
            self->Replay(item);
    };
    // The base announced itself before this class could answer.
    ContextMenuChanged();
}

TBaseRTEditFocusCtrl::~TBaseRTEditFocusCtrl() = default;

// ---------------------------------------------------------------------------
// Index spaces

TWYSIWYGEngine *TBaseRTEditFocusCtrl::Engine() const
{
    TVisualPgCtrl *owner = OwnerElement();
    if (!owner)
        return nullptr;
    TWYSIWYGEngine *engine = owner->WYSIWYGEngine();
    if (engine->NeedsBuild())
        owner->BuildWYSIWYGInf(true, false);
    return engine;
}

int TBaseRTEditFocusCtrl::LastIndex() const
{
    const TWYSIWYGEngine *engine = Engine();
    return engine ? qMax(0, engine->TextDataCount() - 1) : 0;
}

bool TBaseRTEditFocusCtrl::Editing() const
{
    const TVisualPgCtrl *owner = OwnerElement();
    return owner && (owner->Editor() == this || owner->CreatingEditor());
}

int TBaseRTEditFocusCtrl::ListIdxToStrIdx(int index) const
{
    const TWYSIWYGEngine *engine = Engine();
    const int count = engine ? engine->TextDataCount() : 0;
    if (count == 0)
        return 1;
    index = qBound(0, index, count - 1);
    int position = 0;
    for (int i = 0; i <= index; ++i)
        if (!engine->TextData(i)->SoftBreak)
            ++position;
    if (engine->TextData(index)->SoftBreak)
        ++position;
    return position;
}

int TBaseRTEditFocusCtrl::StrIdxToListIdx(int position) const
{
    const TWYSIWYGEngine *engine = Engine();
    const int count = engine ? engine->TextDataCount() : 0;
    if (count == 0)
        return 0;
    int index = 0;
    for (int passed = 0; index < count - 1 && passed < position - 1; ++index)
        if (!engine->TextData(index)->SoftBreak)
            ++passed;
    return index;
}

// ---------------------------------------------------------------------------
// Changing the text

bool TBaseRTEditFocusCtrl::Acceptable(const QString &text) const
{
    if (!ValidText(text))
        return false;
    if (m_params.MaxChars > 0 && CharCount(text) > m_params.MaxChars)
        return false;
    Extended value = 0;
    if (m_params.NumericsOnly && text != QLatin1String("-") && !Global_TextToFloat(text, value))
        return false;
    return true;
}

bool TBaseRTEditFocusCtrl::Fits(const QString &text)
{
    TVisualPgCtrl *owner = OwnerElement();
    TWYSIWYGEngine *engine = owner->WYSIWYGEngine();
    const bool wrap
        = owner->VisualParagraphProps() && owner->VisualParagraphProps()->ParagraphWrap();
    engine->BuildWYSIWYGData(true, owner->DisplayText(text), wrap);
    if (!engine->Overflow())
        return true;
    owner->BuildWYSIWYGInf(true, false);
    return false;
}

bool TBaseRTEditFocusCtrl::RemoveSelection(QString &text, int &pos) const
{
    const TVisualPgCtrl *owner = OwnerElement();
    pos = qBound(1, ListIdxToStrIdx(m_caret), int(text.size()) + 1);
    if (!owner || owner->SelLength() == 0)
        return false;
    const int from = qMin(owner->SelStart(), owner->SelStart() + owner->SelLength());
    const int to = qMax(owner->SelStart(), owner->SelStart() + owner->SelLength());
    const int start = qBound(1, ListIdxToStrIdx(from), int(text.size()) + 1);
    const int end = qBound(start, ListIdxToStrIdx(to), int(text.size()) + 1);
    text.remove(start - 1, end - start);
    pos = start;
    return end > start;
}

bool TBaseRTEditFocusCtrl::ApplyText(const QString &text, int pos, bool fitTest)
{
    TVisualPgCtrl *owner = OwnerElement();
    if (!owner)
        return false;
    // Before the fit test, which lays the new text out.
    const QString before = owner->Text();
    const int beforePos = ListIdxToStrIdx(m_caret);
    if (fitTest && !Fits(text)) {
        Refuse();
        return false;
    }
    owner->EditUndoRedo().Add(std::make_unique<TBaseRTEditFocusCtrlUndoRedoItem>(beforePos, before),
                              std::make_unique<TBaseRTEditFocusCtrlUndoRedoItem>(pos, text));
    owner->SetText(text);
    m_selecting = false;
    SetCharPos(StrIdxToListIdx(pos));
    UnSelectAll();
    ContextMenuChanged();
    return true;
}

void TBaseRTEditFocusCtrl::Replay(TUndoRedoItem *item)
{
    const auto *state = dynamic_cast<const TBaseRTEditFocusCtrlUndoRedoItem *>(item);
    TVisualPgCtrl *owner = OwnerElement();
    if (!state || !owner)
        return;
    owner->SetText(state->Text);
    m_selecting = false;
    SetCharPos(StrIdxToListIdx(state->Caret));
    UnSelectAll();
}

// ---------------------------------------------------------------------------
// Focus, painting, messages

void TBaseRTEditFocusCtrl::focusInEvent(QFocusEvent *event)
{
    TBaseRTFocusCtrl::focusInEvent(event);
    CursorOn();
    // The element that had the focus before posts "nothing to edit" on leaving;
    // this control's state must come after it.
    QMetaObject::invokeMethod(this, &TBaseRTEditFocusCtrl::ContextMenuChanged,
                              Qt::QueuedConnection);
}

void TBaseRTEditFocusCtrl::focusOutEvent(QFocusEvent *event)
{
    CursorOff();
    m_selecting = false;
    m_mouseSelecting = false;
    TBaseRTFocusCtrl::focusOutEvent(event);
}

void TBaseRTEditFocusCtrl::DoExit()
{
    ClosePopupMenu();
    TBaseRTFocusCtrl::DoExit();
}

void TBaseRTEditFocusCtrl::paintEvent(QPaintEvent *event)
{
    TBaseRTFocusCtrl::paintEvent(event);
    if (RenderingBkGnd())
        return;
    QPainter canvas(this);
    DrawCursor(canvas);
}

void TBaseRTEditFocusCtrl::PaintBkGnd()
{
    TBaseRTFocusCtrl::PaintBkGnd();
    update();
}

void TBaseRTEditFocusCtrl::OwnerTextChanged()
{
    TBaseRTFocusCtrl::OwnerTextChanged();
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::OwnerResized()
{
    TBaseRTFocusCtrl::OwnerResized();
    update();
}

void TBaseRTEditFocusCtrl::Dispatch(TMessage &message)
{
    switch (message.Msg) {
    case VRMSGCut:
        CutClick();
        break;
    case VRMSGCopy:
        CopyClick();
        break;
    case VRMSGPaste:
        PasteClick();
        break;
    case VRMSGClear:
        DeleteClick();
        break;
    case VRMSGUndo:
        UndoClick();
        break;
    case VRMSGRedo:
        RedoClick();
        break;
    case VRMSGSelectAll:
        SelectAllClick();
        break;
    default:
        TBaseRTFocusCtrl::Dispatch(message);
        break;
    }
}
