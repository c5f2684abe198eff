#include "CBaseRTEditFocusCtrl.h"

#include "CAccessibleEvents.h"
#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrlPrivate.h"
#include "CPropGroups.h"
#include "CWYSIWYGEngine.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

using namespace RTEditFocusCtrlDetail;

namespace {
// How far (pixels at 100 %) the caret stands left of a glyph centred in its box.
constexpr int kFixedCaretGap = 2;

bool IsVisible(QChar c)
{
    return c.unicode() > 32 && !IsControl(c.unicode());
}
} // namespace

// ---------------------------------------------------------------------------
// Hit tests

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
        if (e->Line != line || e->ClusterPart)
            continue;
        // The half of a character nearer its leading edge puts the caret before it.
        const Extended half = exact ? e->Width : e->Width / 2;
        const Extended left = e->RightToLeft ? e->X + e->Width - half : e->X;
        if (left <= at && at <= left + half)
            return i;
        const Extended distance = std::fabs(engine->CaretX(i) - at);
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
        // Right to left, the start of a line is at the right.
        const bool rtl = paragraph->ParagraphDirection() == pdRightToLeft;
        if ((paragraph->ParagraphHorzAlign() == taRightJustify) != rtl
            && paragraph->ParagraphHorzAlign() != taCenter)
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
    const int i = qBound(0, index, engine->TextDataCount() - 1);
    int x = int(Round(engine->CaretX(i) / 100 * w));
    const int y = int(Round(e->Y / 100 * h));
    if (owner->PropGroupIsFixedStyle() && IsVisible(e->Ch)) {
        // Before the glyph as it is centred in its box, not before the box.
        x = int(Round(e->X / 100 * w));
        const int boxWidth = int(Round((e->X + e->Width) / 100 * w)) - x;
        const qreal glyph
            = QFontMetricsF(engine->TargetFont(h)).horizontalAdvance(engine->ClusterText(i));
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
        m_preferredX = e && owner ? int(Round(engine->CaretX(m_caret) / 100 * owner->width())) : 0;
    }
    RestartBlink();
    if (Editing() && GlobalAccessibilityListening()) {
        // Told of the element, which carries the text a reader follows.
        QAccessibleTextCursorEvent event(OwnerElement(), ListIdxToStrIdx(m_caret) - 1);
        GlobalSendAccessibleEvent(event);
    }
}

// ---------------------------------------------------------------------------
// Selection and edit state

void TBaseRTEditFocusCtrl::SelectAll()
{
    TBaseRTFocusCtrl::SelectAll();
    m_selecting = false;
    update();
    NotifyAccessibleSelection(*this);
}

void RTEditFocusCtrlDetail::NotifyAccessibleSelection(const TBaseRTEditFocusCtrl &editor)
{
    TVisualPgCtrl *owner = editor.OwnerElement();
    if (!owner || owner->Editor() != &editor || !GlobalAccessibilityListening())
        return;
    const int a = owner->SelStart();
    const int b = a + owner->SelLength();
    QAccessibleTextSelectionEvent event(owner, editor.ListIdxToStrIdx(qMin(a, b)) - 1,
                                        editor.ListIdxToStrIdx(qMax(a, b)) - 1);
    GlobalSendAccessibleEvent(event);
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
    NotifyAccessibleSelection(*this);
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
