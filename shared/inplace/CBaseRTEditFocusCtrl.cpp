#include "CBaseRTEditFocusCtrl.h"

#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CPropGroups.h"
#include "CVisualPgCtrlNumeric.h"
#include "CWYSIWYGEngine.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTimer>
#include <cmath>

namespace {
constexpr QChar kCR = u'\r';
constexpr QChar kLF = u'\n';
constexpr int kPopupHelpContext = 7;
// How far (pixels at 100 %) the caret stands left of a glyph centred in its box.
constexpr int kFixedCaretGap = 2;

void Refuse()
{
    DialogService().Beep();
}

bool Allowed(const TBaseRTEditFocusCtrlParamss &params, char32_t c)
{
    if (params.AllowedChars.isEmpty())
        return true;
    return params.AllowedChars.contains(params.UpperCase ? QChar::toUpper(c) : c);
}

bool IsControl(char32_t c)
{
    return c < 32 || (c >= 0x7F && c <= 0x9F);
}

bool IsVisible(QChar c)
{
    return c.unicode() > 32 && !IsControl(c.unicode());
}

// Characters, a surrogate pair counting once.
int CharCount(const QString &text)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()))
            ++n;
    return n;
}

// Any line-break convention as CR LF.
QString NormaliseBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(kCR, kLF);
    text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return text;
}

// Incoming text as typing would let it in: control characters go, line
// breaks only where new lines are allowed.
QString CleanIncoming(const QString &text, bool newLines)
{
    const QString normal = NormaliseBreaks(text);
    QString result;
    result.reserve(normal.size());
    for (qsizetype i = 0; i < normal.size(); ++i) {
        const QChar c = normal[i];
        if (c == kCR || c == kLF) {
            if (newLines)
                result.append(c);
        } else if (!IsControl(c.unicode())) {
            result.append(c);
        }
    }
    return result;
}

bool IsBlankOrLF(const TWYSIWYGEngineChar *e)
{
    return e && (e->Ch == u' ' || e->Ch == kLF);
}
} // namespace

// ---------------------------------------------------------------------------
// Parameters and hit tests

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

int BaseRTEditFocusCtrlChrIdxFromLine(TVisualPgCtrl *element, int line, int x, bool exact, int def)
{
    const TWYSIWYGEngine *engine = element ? element->WYSIWYGEngine() : nullptr;
    if (!engine || element->width() <= 0)
        return def;
    const Extended at = Extended(x) / element->width() * 100;
    int nearest = def;
    Extended best = 100;
    for (int i = 0; i < engine->TextDataCount(); ++i) {
        const TWYSIWYGEngineChar *e = engine->TextData(i);
        if (e->Line != line)
            continue;
        const Extended right = e->X + (exact ? e->Width : e->Width / 2);
        if (e->X <= at && at <= right)
            return i;
        const Extended distance = std::fabs(e->X - at);
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

int BaseRTEditFocusCtrlChrIdxFromPos(TVisualPgCtrl *element, const QPoint &point, int def,
                                     bool exact)
{
    const TWYSIWYGEngine *engine = element ? element->WYSIWYGEngine() : nullptr;
    if (!engine || element->height() <= 0 || engine->TextDataCount() == 0)
        return def;
    const Extended at = Extended(point.y()) / element->height() * 100;
    int line = -1;
    for (int i = 0; i < engine->TextDataCount() && line < 0; ++i) {
        const TWYSIWYGEngineChar *e = engine->TextData(i);
        if (e->Y <= at && at <= e->Y + e->Height)
            line = e->Line;
    }
    if (line < 0) {
        Extended best = 0;
        for (int i = 0; i < engine->TextDataCount(); ++i) {
            const TWYSIWYGEngineChar *e = engine->TextData(i);
            const Extended distance = std::fabs(e->Y - at);
            if (line < 0 || distance < best) {
                best = distance;
                line = e->Line;
            }
        }
    }
    return BaseRTEditFocusCtrlChrIdxFromLine(element, line, point.x(), exact, def);
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

void TBaseRTEditFocusCtrl::CreatePopupMenu()
{
    if (m_popupMenu)
        return;
    m_popupMenu = new QMenu(this);
    m_popupMenu->setProperty("HelpContext", kPopupHelpContext);
    const struct
    {
        const char *Caption;
        const char *Shortcut;
        const char *Icon;
        void (TBaseRTEditFocusCtrl::*Click)();
    } items[] = {
        {"Undo", "Ctrl+Z", "edit-undo", &TBaseRTEditFocusCtrl::UndoClick},
        {"Redo", "Shift+Ctrl+Z", "edit-redo", &TBaseRTEditFocusCtrl::RedoClick},
        {"-", nullptr, nullptr, nullptr},
        {"Cut", "Ctrl+X", "edit-cut", &TBaseRTEditFocusCtrl::CutClick},
        {"Copy", "Ctrl+C", "edit-copy", &TBaseRTEditFocusCtrl::CopyClick},
        {"Paste", "Ctrl+V", "edit-paste", &TBaseRTEditFocusCtrl::PasteClick},
        {"Delete", "Ctrl+Del", "edit-delete", &TBaseRTEditFocusCtrl::DeleteClick},
        {"-", nullptr, nullptr, nullptr},
        {"Select All", "Ctrl+A", "edit-select-all", &TBaseRTEditFocusCtrl::SelectAllClick},
    };
    for (const auto &item : items) {
        if (!item.Click) {
            m_popupMenu->addSeparator();
            continue;
        }
        QAction *action = m_popupMenu->addAction(QIcon::fromTheme(QLatin1String(item.Icon)),
                                                 QString::fromLatin1(item.Caption));
        action->setObjectName(QStringLiteral("Popup")
                              + QString::fromLatin1(item.Caption).remove(u' '));
        // Shown in the menu; the keys themselves are handled by KeyDown.
        action->setShortcut(QKeySequence(QString::fromLatin1(item.Shortcut)));
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, item.Click);
    }
    connect(m_popupMenu, &QMenu::aboutToShow, this, &TBaseRTEditFocusCtrl::PopupMenuOnPopup);
}

void TBaseRTEditFocusCtrl::PopupMenuOnPopup()
{
    TContextMenuState state;
    GetContextMenuState(state);
    const std::pair<const char *, bool> flags[] = {{"PopupUndo", state.Undo},
                                                   {"PopupRedo", state.Redo},
                                                   {"PopupCut", state.Cut},
                                                   {"PopupCopy", state.Copy},
                                                   {"PopupPaste", state.Paste},
                                                   {"PopupDelete", state.Delete},
                                                   {"PopupSelectAll", state.SelectAll}};
    for (const auto &[name, on] : flags)
        if (QAction *action = m_popupMenu->findChild<QAction *>(QLatin1String(name)))
            action->setEnabled(on);
}

void TBaseRTEditFocusCtrl::ClosePopupMenu()
{
    if (m_popupMenu && m_popupMenu->isVisible())
        m_popupMenu->close();
}

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
// Caret

QPoint TBaseRTEditFocusCtrl::EditToOwner(const QPoint &point) const
{
    return ToOwner(point);
}

QPoint TBaseRTEditFocusCtrl::OwnerToEdit(const QPoint &point) const
{
    const TVisualPgCtrl *owner = OwnerElement();
    if (!owner)
        return point;
    return mapFrom(window(), owner->mapTo(window(), point));
}

int TBaseRTEditFocusCtrl::CaretHeight() const
{
    const TVisualPgCtrl *owner = OwnerElement();
    if (!owner)
        return 0;
    const TWYSIWYGEngine *engine = owner->WYSIWYGEngine();
    // "ABC" as the element draws it at its present size.
    if (engine->TextHeight() > 0)
        return qMax(1, qRound(QFontMetricsF(engine->TargetFont(owner->height())).height()));
    return QFontMetrics(owner->font()).height();
}

QPoint TBaseRTEditFocusCtrl::GetDefCursorPos() const
{
    TVisualPgCtrl *owner = OwnerElement();
    if (!owner)
        return {};
    const QRect area = owner->AdjRectBy(owner->rect(), owner->VisualBorderProps(),
                                        owner->VisualPadProps(), true, true, true);
    const TPropGroupParagraph *paragraph = owner->VisualParagraphProps();
    const int h = CaretHeight();
    int x = area.left();
    int y = area.top();
    if (paragraph) {
        if (paragraph->ParagraphHorzAlign() == taRightJustify)
            x = area.left() + area.width() - 1;
        else if (paragraph->ParagraphHorzAlign() == taCenter)
            x = area.left() + area.width() / 2;
        if (paragraph->ParagraphVertAlign() == taAlignBottom)
            y = area.top() + area.height() - h;
        else if (paragraph->ParagraphVertAlign() == taVerticalCenter)
            y = area.top() + (area.height() - h) / 2;
    }
    return {x, y};
}

QPoint TBaseRTEditFocusCtrl::GetCursorPos(int index) const
{
    TVisualPgCtrl *owner = OwnerElement();
    const TWYSIWYGEngine *engine = Engine();
    if (!owner || !engine || engine->TextDataCount() == 0)
        return OwnerToEdit(GetDefCursorPos());
    const TWYSIWYGEngineChar *e = engine->TextData(qBound(0, index, engine->TextDataCount() - 1));
    const int w = owner->width();
    const int h = owner->height();
    int x = int(Round(e->X / 100 * w));
    const int y = int(Round(e->Y / 100 * h));
    if (owner->PropGroupIsFixedStyle() && IsVisible(e->Ch)) {
        // Before the glyph as it is centred in its box, not before the box.
        const int boxWidth = int(Round((e->X + e->Width) / 100 * w)) - x;
        const qreal glyph = QFontMetricsF(engine->TargetFont(h)).horizontalAdvance(e->Ch);
        x += int(Round((boxWidth - glyph) / 2)) - Scaled(kFixedCaretGap);
    }
    return OwnerToEdit(QPoint(x, y));
}

QRect TBaseRTEditFocusCtrl::CaretRect() const
{
    return QRect(GetCursorPos(m_caret), QSize(qMax(1, Scaled(1)), CaretHeight()));
}

void TBaseRTEditFocusCtrl::DrawCursor(QPainter &canvas)
{
    const TVisualPgCtrl *owner = OwnerElement();
    if (!m_caretShown || !hasFocus() || !owner)
        return;
    canvas.fillRect(CaretRect(), owner->palette().color(QPalette::WindowText));
}

void TBaseRTEditFocusCtrl::CursorOn()
{
    m_caretShown = true;
    m_caretTimer->start();
    update();
}

void TBaseRTEditFocusCtrl::CursorOff()
{
    m_caretTimer->stop();
    m_caretShown = false;
    update();
}

void TBaseRTEditFocusCtrl::OnTimer()
{
    m_caretShown = !m_caretShown;
    update();
}

void TBaseRTEditFocusCtrl::RestartBlink()
{
    // A caret that just moved shows at once.
    if (hasFocus())
        CursorOn();
    else
        update();
}

void TBaseRTEditFocusCtrl::SetCharPos(int index, bool keepPreferredX)
{
    m_caret = qBound(0, index, LastIndex());
    if (!keepPreferredX) {
        const TVisualPgCtrl *owner = OwnerElement();
        const TWYSIWYGEngine *engine = Engine();
        const TWYSIWYGEngineChar *e = engine ? engine->TextData(m_caret) : nullptr;
        m_preferredX = e && owner ? int(Round(e->X / 100 * owner->width())) : 0;
    }
    RestartBlink();
}

// ---------------------------------------------------------------------------
// Selection and edit state

void TBaseRTEditFocusCtrl::SelectAll()
{
    TBaseRTFocusCtrl::SelectAll();
    m_selecting = false;
    update();
}

void TBaseRTEditFocusCtrl::UnSelectAll()
{
    TVisualPgCtrl *owner = OwnerElement();
    if (!owner)
        return;
    owner->SetSelStart(m_caret);
    owner->SetSelLength(0);
    owner->update();
}

void TBaseRTEditFocusCtrl::SelectedText(int &start, int &length, QString &text) const
{
    const TVisualPgCtrl *owner = OwnerElement();
    start = ListIdxToStrIdx(m_caret);
    length = 0;
    text.clear();
    if (!owner || owner->SelLength() == 0)
        return;
    const int from = qMin(owner->SelStart(), owner->SelStart() + owner->SelLength());
    const int to = qMax(owner->SelStart(), owner->SelStart() + owner->SelLength());
    const QString all = owner->Text();
    start = qBound(1, ListIdxToStrIdx(from), int(all.size()) + 1);
    const int end = qBound(start, ListIdxToStrIdx(to), int(all.size()) + 1);
    length = end - start;
    text = all.mid(start - 1, length);
}

void TBaseRTEditFocusCtrl::GetContextMenuState(TContextMenuState &state) const
{
    state = TContextMenuState();
    TVisualPgCtrl *owner = OwnerElement();
    // An editor its element has let go of has nothing to offer.
    if (!Editing())
        return;
    const TUndoRedo &history = owner->EditUndoRedo();
    state.Undo = history.CanUndo();
    state.Redo = history.CanRedo();
    state.Cut = state.Copy = state.Delete = owner->SelLength() != 0;
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    state.Paste = clip && clip->hasText();
    const int from = qMin(owner->SelStart(), owner->SelStart() + owner->SelLength());
    const int to = qMax(owner->SelStart(), owner->SelStart() + owner->SelLength());
    state.SelectAll = !owner->Text().isEmpty() && !(from <= 0 && to >= LastIndex());
}

void TBaseRTEditFocusCtrl::ContextMenuChanged()
{
    SendMessage(GlobalMainForm, VRMSGEditStateChanged, ObjectParam(this), 1);
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

void TBaseRTEditFocusCtrl::TypeText(const QString &typed)
{
    TVisualPgCtrl *owner = OwnerElement();
    const char32_t code = typed.toUcs4().value(0);
    const bool newLine = code == U'\r';
    if (newLine && !m_params.WordWrap)
        return;
    if (code == U'.' && m_params.TABOnDecimalPoint) {
        MoveFocus(true);
        return;
    }
    if (code == U'.' && m_params.NumericsOnly && m_params.WholeNumbersOnly) {
        Refuse();
        return;
    }
    if (!newLine && IsControl(code))
        return;
    if (!newLine && !Allowed(m_params, code)) {
        Refuse();
        return;
    }

    QString text = owner->Text();
    int pos = 1;
    const bool replacing = RemoveSelection(text, pos);
    // Over a selection, typing replaces the selection only.
    if (!m_insertMode && !newLine && !replacing && pos <= text.size()) {
        const bool pair
            = text[pos - 1].isHighSurrogate() && pos < text.size() && text[pos].isLowSurrogate();
        text.remove(pos - 1, pair ? 2 : 1);
        if (pos <= text.size() && text[pos - 1] == kLF)
            text.remove(pos - 1, 1);
    }
    const QString inserted = newLine ? QStringLiteral("\r\n") : typed;
    text.insert(pos - 1, inserted);
    if (!Acceptable(text)) {
        Refuse();
        return;
    }
    if (!ApplyText(text, pos + int(inserted.size()), true))
        return;
    if (m_params.MaxChars > 0 && CharCount(text) >= m_params.MaxChars && m_params.TABOnMaxChars)
        MoveFocus(true);
}

void TBaseRTEditFocusCtrl::DeleteBackward()
{
    QString text = OwnerElement()->Text();
    const int pos = qBound(1, ListIdxToStrIdx(m_caret), int(text.size()) + 1);
    if (pos <= 1)
        return;
    int from = pos - 2; // the character before the caret, from 0
    if (text[from].isLowSurrogate() && from > 0 && text[from - 1].isHighSurrogate())
        --from;
    else if (from > 0 && text[from - 1] == kCR)
        --from; // a hard break goes as one
    text.remove(from, pos - 1 - from);
    if (!ValidText(text)) {
        Refuse();
        return;
    }
    ApplyText(text, from + 1, false);
}

void TBaseRTEditFocusCtrl::DeleteForward()
{
    QString text = OwnerElement()->Text();
    const int pos = qBound(1, ListIdxToStrIdx(m_caret), int(text.size()) + 1);
    if (pos > text.size())
        return;
    const int at = pos - 1;
    const bool two = at + 1 < text.size()
        && ((text[at].isHighSurrogate() && text[at + 1].isLowSurrogate()) || text[at + 1] == kLF);
    text.remove(at, two ? 2 : 1);
    if (!ValidText(text)) {
        Refuse();
        return;
    }
    ApplyText(text, pos, false);
}

bool TBaseRTEditFocusCtrl::DeleteBacklitText()
{
    TVisualPgCtrl *owner = OwnerElement();
    if (!owner || owner->SelLength() == 0)
        return true;
    QString text = owner->Text();
    int pos = 1;
    if (!RemoveSelection(text, pos)) {
        UnSelectAll();
        return true;
    }
    if (!ValidText(text)) {
        Refuse();
        return false;
    }
    return ApplyText(text, pos, false);
}

// ---------------------------------------------------------------------------
// Commands

void TBaseRTEditFocusCtrl::CopyClick()
{
    int start = 0;
    int length = 0;
    QString text;
    SelectedText(start, length, text);
    if (length > 0)
        // The system's own line breaks; a paste anywhere turns them back.
        QApplication::clipboard()->setText(
            QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::CutClick()
{
    CopyClick();
    DeleteClick();
}

void TBaseRTEditFocusCtrl::DeleteClick()
{
    DeleteBacklitText();
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::PasteClick()
{
    TVisualPgCtrl *owner = OwnerElement();
    if (!owner)
        return;
    const QString incoming = CleanIncoming(QApplication::clipboard()->text(), m_params.WordWrap);
    if (incoming.isEmpty())
        return;
    // Every check typing makes, on the whole text.
    for (const char32_t c : incoming.toUcs4()) {
        const bool lineBreak = c == U'\r' || c == U'\n';
        if ((!lineBreak && !Allowed(m_params, c))
            || (c == U'.' && m_params.NumericsOnly && m_params.WholeNumbersOnly)) {
            Refuse();
            return;
        }
    }
    QString text = owner->Text();
    int pos = 1;
    RemoveSelection(text, pos);
    text.insert(pos - 1, incoming);
    if (!Acceptable(text)) {
        Refuse();
        return;
    }
    ApplyText(text, pos + int(incoming.size()), true);
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::SelectAllClick()
{
    SelectAll();
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::UndoClick()
{
    if (TVisualPgCtrl *owner = OwnerElement())
        owner->EditUndoRedo().Undo();
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::RedoClick()
{
    if (TVisualPgCtrl *owner = OwnerElement())
        owner->EditUndoRedo().Redo();
    // The history counts the step only once its handler has returned.
    ContextMenuChanged();
}

// ---------------------------------------------------------------------------
// Keys

bool TBaseRTEditFocusCtrl::Shortcut(int key, bool withShift)
{
    switch (key) {
    case Qt::Key_Z:
        withShift ? RedoClick() : UndoClick();
        return true;
    case Qt::Key_X:
        CutClick();
        return true;
    case Qt::Key_C:
        CopyClick();
        return true;
    case Qt::Key_V:
        PasteClick();
        return true;
    case Qt::Key_Delete:
        DeleteClick();
        return true;
    case Qt::Key_A:
        SelectAllClick();
        return true;
    default:
        return false;
    }
}

int TBaseRTEditFocusCtrl::NavigationTarget(int key, bool ctrl) const
{
    const TWYSIWYGEngine *engine = Engine();
    const int last = LastIndex();
    const auto entry = [engine](int i) {
        return engine->TextData(i);
    };
    const auto lowHalf = [&](int i) {
        return i > 0 && i < last && entry(i)->Ch.isLowSurrogate()
            && entry(i - 1)->Ch.isHighSurrogate();
    };
    int c = m_caret;
    switch (key) {
    case Qt::Key_Home:
        if (ctrl)
            return 0;
        while (c > 0 && entry(c - 1)->Ch != kLF)
            --c;
        return c;
    case Qt::Key_End:
        if (ctrl)
            return last;
        while (c < last && entry(c)->Ch != kCR)
            ++c;
        return c;
    case Qt::Key_Left:
        if (c == 0)
            return 0;
        if (ctrl) {
            // Back over what separates words, then to the word's first character.
            --c;
            while (c > 0 && (entry(c)->IsBreak() || entry(c)->Ch == u' '))
                --c;
            while (c > 0 && !IsBlankOrLF(entry(c - 1)))
                --c;
            return c;
        }
        --c;
        while (c > 0 && (entry(c)->SoftBreak || entry(c)->Ch == kLF))
            --c;
        if (lowHalf(c))
            --c;
        return c;
    case Qt::Key_Right:
        if (c >= last)
            return last;
        if (ctrl) {
            while (c < last && !IsBlankOrLF(entry(c)))
                ++c;
            if (c < last)
                ++c;
        } else {
            ++c;
        }
        while (c < last && (entry(c)->SoftBreak || entry(c)->Ch == kLF))
            ++c;
        if (lowHalf(c))
            ++c;
        return c;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int line = entry(c)->Line + (key == Qt::Key_Up ? -1 : 1);
        if (line < 1 || line > entry(last)->Line)
            return c;
        return BaseRTEditFocusCtrlChrIdxFromLine(OwnerElement(), line, m_preferredX, false, c);
    }
    default:
        return c;
    }
}

void TBaseRTEditFocusCtrl::KeyDown(int &key, Qt::KeyboardModifiers shift)
{
    TBaseRTFocusCtrl::KeyDown(key, shift);
    if (key == 0 || !Editing())
        return;
    TVisualPgCtrl *owner = OwnerElement();
    const bool ctrl = shift.testFlag(Qt::ControlModifier);
    const bool withShift = shift.testFlag(Qt::ShiftModifier);
    if (ctrl && Shortcut(key, withShift)) {
        key = 0;
        return;
    }
    const bool navigation = key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Left
        || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (!navigation && key != Qt::Key_Backspace && key != Qt::Key_Delete)
        return;
    const int handled = key;
    key = 0;
    if (Engine()->TextDataCount() == 0)
        return;
    if (handled == Qt::Key_Backspace || handled == Qt::Key_Delete) {
        if (owner->SelLength() != 0)
            DeleteBacklitText();
        else if (handled == Qt::Key_Backspace)
            DeleteBackward();
        else
            DeleteForward();
        return;
    }
    if (!m_selecting && withShift) {
        m_selecting = true;
        owner->SetSelStart(m_caret);
        owner->SetSelLength(0);
    } else if (!m_selecting) {
        UnSelectAll();
    }
    const bool vertical = handled == Qt::Key_Up || handled == Qt::Key_Down;
    SetCharPos(NavigationTarget(handled, ctrl), vertical);
    if (m_selecting)
        owner->SetSelLength(m_caret - owner->SelStart());
    owner->update();
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::KeyPress(QChar &key)
{
    TBaseRTFocusCtrl::KeyPress(key);
    if (key.unicode() == 27 || !Editing())
        return;
    // The two halves of a pair arrive one by one; they are typed as one.
    if (key.isHighSurrogate()) {
        m_pendingHighSurrogate = key;
        return;
    }
    QString typed(key);
    if (key.isLowSurrogate()) {
        if (m_pendingHighSurrogate.isNull())
            return;
        typed.prepend(m_pendingHighSurrogate);
    }
    m_pendingHighSurrogate = QChar();
    TypeText(typed);
}

void TBaseRTEditFocusCtrl::inputMethodEvent(QInputMethodEvent *event)
{
    // What an input method composed is typed character by character, under every rule.
    const QString committed = event->commitString();
    for (QChar c : committed)
        KeyPress(c);
    event->accept();
}

QVariant TBaseRTEditFocusCtrl::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImCursorRectangle)
        return CaretRect();
    if (query == Qt::ImEnabled)
        return Editing();
    return TBaseRTFocusCtrl::inputMethodQuery(query);
}

void TBaseRTEditFocusCtrl::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift)
        m_selecting = false;
    else if (event->key() == Qt::Key_Insert && !event->isAutoRepeat()
             && event->modifiers() == Qt::NoModifier)
        m_insertMode = !m_insertMode;
    event->accept();
}

// ---------------------------------------------------------------------------
// Mouse

void TBaseRTEditFocusCtrl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                     const QPoint &point)
{
    TBaseRTFocusCtrl::MouseDown(button, shift, point);
    TVisualPgCtrl *owner = OwnerElement();
    if (!Editing())
        return;
    const int index = BaseRTEditFocusCtrlChrIdxFromPos(owner, EditToOwner(point), m_caret);
    const int from = qMin(owner->SelStart(), owner->SelStart() + owner->SelLength());
    const int to = qMax(owner->SelStart(), owner->SelStart() + owner->SelLength());
    // The context menu acts on the selection it was opened on.
    if (button == Qt::RightButton && from != to && index >= from && index <= to)
        return;
    m_selecting = false;
    SetCharPos(index);
    UnSelectAll();
    m_mouseSelecting = true;
    m_anchor = m_caret;
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::MouseMove(Qt::KeyboardModifiers shift, const QPoint &point)
{
    TBaseRTFocusCtrl::MouseMove(shift, point);
    TVisualPgCtrl *owner = OwnerElement();
    if (!m_mouseSelecting || m_moveButtons == Qt::NoButton || !Editing())
        return;
    SetCharPos(BaseRTEditFocusCtrlChrIdxFromPos(owner, EditToOwner(point), m_caret));
    owner->SetSelStart(m_anchor);
    owner->SetSelLength(m_caret - m_anchor);
    owner->update();
}

void TBaseRTEditFocusCtrl::MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint &)
{
    if (!m_mouseSelecting)
        return;
    m_mouseSelecting = false;
    ContextMenuChanged();
}

void TBaseRTEditFocusCtrl::mouseMoveEvent(QMouseEvent *event)
{
    m_moveButtons = event->buttons();
    TBaseRTFocusCtrl::mouseMoveEvent(event);
}

void TBaseRTEditFocusCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    MouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

void TBaseRTEditFocusCtrl::wheelEvent(QWheelEvent *event)
{
    // Without Shift (or with a fixed size) the page scrolls.
    if (!event->modifiers().testFlag(Qt::ShiftModifier) || m_params.FixedSize || !Editing()) {
        event->ignore();
        return;
    }
    event->accept();
    const QPoint delta = event->angleDelta();
    m_wheelDelta += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = m_wheelDelta / 120;
    m_wheelDelta %= 120;
    if (notches != 0)
        ChangeCharacterSize(notches);
}

void TBaseRTEditFocusCtrl::ChangeCharacterSize(int points)
{
    TVisualPgCtrl *owner = OwnerElement();
    TPropGroupCharacter *character = owner->VisualCharacterProps();
    if (!character)
        return;
    // The layout changes under caret and selection; they keep their characters.
    const int caret = ListIdxToStrIdx(m_caret);
    const int selStart = ListIdxToStrIdx(owner->SelStart());
    const int selEnd = ListIdxToStrIdx(owner->SelStart() + owner->SelLength());
    const bool selected = owner->SelLength() != 0;
    character->SetCharacterSize(qMax(1, character->CharacterSize() + points));
    SetCharPos(StrIdxToListIdx(caret));
    if (selected) {
        owner->SetSelStart(StrIdxToListIdx(selStart));
        owner->SetSelLength(StrIdxToListIdx(selEnd) - owner->SelStart());
    } else {
        UnSelectAll();
    }
    owner->update();
}

void TBaseRTEditFocusCtrl::contextMenuEvent(QContextMenuEvent *event)
{
    m_mouseSelecting = false;
    if (!m_popupMenu || !Editing())
        return;
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard
        ? mapToGlobal(CaretRect().bottomLeft())
        : event->globalPos();
    m_popupMenu->popup(at);
    event->accept();
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
    case VRMSGVisualPgCtrlTextChanged:
        if (OwnerElement() && message.WParam == ObjectParam(OwnerElement())) {
            PaintBkGnd();
            ContextMenuChanged();
        }
        break;
    default:
        TBaseRTFocusCtrl::Dispatch(message);
        break;
    }
}
