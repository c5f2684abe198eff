#include "CBaseRTEditFocusCtrl.h"

#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrlPrivate.h"
#include "CDialogService.h"
#include "CWYSIWYGEngine.h"

#include <QKeyEvent>
#include <QTextBoundaryFinder>

namespace RTEditFocusCtrlDetail {

void Refuse()
{
    DialogService().Beep();
}

bool AdmitTyped(const TBaseRTEditFocusCtrlParamss &params, char32_t &c)
{
    if (params.AllowedChars.isEmpty() || params.AllowedChars.contains(c))
        return true;
    // Stored as typed, a small letter would break the restriction its capital meets.
    const char32_t upper = QChar::toUpper(c);
    if (!params.UpperCase || !params.AllowedChars.contains(upper))
        return false;
    c = upper;
    return true;
}

bool IsControl(char32_t c)
{
    return c < 32 || (c >= 0x7F && c <= 0x9F);
}

namespace {
// The line around at, between line breaks: clusters never reach over one.
QStringView LineAround(const QString &text, qsizetype at, qsizetype &from)
{
    from = at;
    while (from > 0 && text[from - 1] != kCR && text[from - 1] != kLF)
        --from;
    qsizetype to = at;
    while (to < text.size() && text[to] != kCR && text[to] != kLF)
        ++to;
    return QStringView(text).sliced(from, to - from);
}
} // namespace

int CharCount(const QString &text)
{
    // A letter with its marks is one character; a hard break stays two, as it always counted.
    int n = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == kCR || text[i] == kLF) {
            ++n;
            ++i;
            continue;
        }
        qsizetype from = 0;
        const QStringView line = LineAround(text, i, from);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line.data(), line.size());
        for (qsizetype at = 0; at >= 0 && at < line.size(); at = finder.toNextBoundary())
            ++n;
        i = from + line.size();
    }
    return n;
}

qsizetype NextGrapheme(const QString &text, qsizetype at)
{
    if (at >= text.size())
        return text.size();
    if (text[at] == kCR || text[at] == kLF)
        return at + (text[at] == kCR && at + 1 < text.size() && text[at + 1] == kLF ? 2 : 1);
    qsizetype from = 0;
    const QStringView line = LineAround(text, at, from);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line.data(), line.size());
    finder.setPosition(at - from);
    const qsizetype next = finder.toNextBoundary();
    return next < 0 ? from + line.size() : from + next;
}

qsizetype PreviousGrapheme(const QString &text, qsizetype at)
{
    if (at <= 0)
        return 0;
    if (text[at - 1] == kCR || text[at - 1] == kLF)
        return at - (text[at - 1] == kLF && at >= 2 && text[at - 2] == kCR ? 2 : 1);
    qsizetype from = 0;
    const QStringView line = LineAround(text, at - 1, from);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, line.data(), line.size());
    finder.setPosition(at - from);
    const qsizetype previous = finder.toPreviousBoundary();
    return previous < 0 ? from : from + previous;
}

} // namespace RTEditFocusCtrlDetail

using namespace RTEditFocusCtrlDetail;

namespace {
bool IsBlankOrLF(const TWYSIWYGEngineChar *e)
{
    return e && (e->Ch == u' ' || e->Ch == kLF);
}
} // namespace

// ---------------------------------------------------------------------------
// Typing

void TBaseRTEditFocusCtrl::TypeText(const QString &keyText)
{
    TVisualPgCtrl *owner = OwnerElement();
    char32_t code = keyText.toUcs4().value(0);
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
    if (!newLine && !AdmitTyped(m_params, code)) {
        Refuse();
        return;
    }
    const QString typed = newLine ? keyText : QString::fromUcs4(&code, 1);

    QString text = owner->Text();
    int pos = 1;
    const bool replacing = RemoveSelection(text, pos);
    // Over a selection, typing replaces the selection only.
    if (!m_insertMode && !newLine && !replacing && pos <= text.size()) {
        text.remove(pos - 1, NextGrapheme(text, pos - 1) - (pos - 1));
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
    // The grapheme before the caret, a hard break as one, from 0.
    const int from = int(PreviousGrapheme(text, pos - 1));
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
    text.remove(at, NextGrapheme(text, at) - at);
    if (!ValidText(text)) {
        Refuse();
        return;
    }
    ApplyText(text, pos, false);
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
    int c = m_caret;
    const auto inCluster = [&](int i) {
        return i > 0 && i < last && entry(i)->ClusterPart;
    };
    // Past the breaks and the rest of a cluster, to the next caret stop in the text.
    const auto logicalStep = [&](int k, bool forward) {
        if (forward ? k >= last : k <= 0)
            return k;
        k += forward ? 1 : -1;
        while (k > 0 && k < last && (entry(k)->SoftBreak || entry(k)->Ch == kLF || inCluster(k)))
            k += forward ? 1 : -1;
        return k;
    };
    // On a shaped line the arrows move as the text reads on screen; at its end
    // that way, on to the line before or after.
    const auto visualStep = [&](bool right) {
        const int line = entry(c)->Line;
        if (!engine->LineShaped(line))
            return -1;
        const int v = engine->VisualNeighbour(c, right);
        return v >= 0 ? v : logicalStep(c, right != engine->LineRightToLeft(line));
    };
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
        if (ctrl) {
            if (c == 0)
                return 0;
            // Back over what separates words, then to the word's first character.
            --c;
            while (c > 0 && (entry(c)->IsBreak() || entry(c)->Ch == u' '))
                --c;
            while (c > 0 && !IsBlankOrLF(entry(c - 1)))
                --c;
            return c;
        }
        if (const int v = visualStep(false); v >= 0)
            return v;
        return logicalStep(c, false);
    case Qt::Key_Right:
        if (ctrl) {
            if (c >= last)
                return last;
            while (c < last && !IsBlankOrLF(entry(c)))
                ++c;
            if (c < last)
                ++c;
            while (c < last && (entry(c)->SoftBreak || entry(c)->Ch == kLF || inCluster(c)))
                ++c;
            return c;
        }
        if (const int v = visualStep(true); v >= 0)
            return v;
        return logicalStep(c, true);
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
    if (m_selecting) {
        owner->SetSelLength(m_caret - owner->SelStart());
        NotifyAccessibleSelection(*this);
    }
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
