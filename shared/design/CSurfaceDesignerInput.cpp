// The engine's mouse and keyboard: press, drag and release in named steps, then the keys.

#include "CSurfaceDesigner.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

// ---------------------------------------------------------------------------
// Press.

void TSurfaceDesignerEngine::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                       int y)
{
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (m_designer->OnBeforeMouseDown)
        m_designer->OnBeforeMouseDown(m_designer, button, shift, x, y);
    if (!m_mouseDown) {
        StartPress(button, x, y);
        // The grabber of the last hover may be stale (the selection changed since).
        m_grabber = SetCursor(QPoint(x, y));
    }
    if (m_grabber == dgNone)
        PressAway(shift, x, y);
    else
        PressOnGrabber(x, y);
    if (button == Qt::LeftButton)
        ClipCursor(m_selectedCtrl, m_ptrOfs);
    if (m_designer->OnMouseDown)
        m_designer->OnMouseDown(m_designer, button, shift, x, y);
}

void TSurfaceDesignerEngine::StartPress(Qt::MouseButton button, int x, int y)
{
    HideHint();
    m_mouseDown = true;
    m_button = button;
    m_press = QPoint(x, y);
    m_moved = false;
    m_ptrOfs = QPoint(0, 0);
}

void TSurfaceDesignerEngine::PressAway(Qt::KeyboardModifiers shift, int x, int y)
{
    if (!SelectCtrl(CtrlAt(QPoint(x, y), false), shift & Qt::ShiftModifier))
        SetSelectedCtrl(nullptr);
    m_banding = m_button == Qt::LeftButton
        && (InsertBanding || (shift & Qt::ControlModifier) || !m_selectedCtrl);
    if (!m_banding) {
        // What the drag starts from is the bounds now, whatever moved them since selecting.
        for (const auto &entry : m_selection)
            if (entry->Ctrl())
                entry->Rect = CtrlRect(entry->Ctrl());
        update();
        return;
    }
    ClearSelection();
    m_band = QRect(x, y, 0, 0);
    update();
}

void TSurfaceDesignerEngine::PressOnGrabber(int x, int y)
{
    const int s = m_designer->GrabbersSize(), ofs = m_designer->GrabbersOfs();
    const QRect g = GrabberRect(m_grabber, m_selectedCtrl, ofs);
    m_ptrOfs = QPoint(x - (g.left() + s - ofs), y - (g.top() + s - ofs));
    SelectCtrl(m_selectedCtrl, false);
    for (const auto &entry : m_selection)
        if (entry->Ctrl())
            entry->Rect = CtrlRect(entry->Ctrl());
    update();
}

void TSurfaceDesignerEngine::ClipCursor(QWidget *ctrl, const QPoint &offset)
{
    // Qt cannot confine the pointer; the engine confines the positions it takes instead.
    QWidget *area = this;
    if (ctrl)
        area = (m_banding && SurfaceDesignerAcceptsControls(ctrl)) ? ctrl : ctrl->parentWidget();
    if (!area)
        area = this;
    m_clip = ClientToClient(area->rect(), area, this).translated(offset);
}

QPoint TSurfaceDesignerEngine::Confined(int x, int y) const
{
    if (!m_mouseDown || m_clip.isEmpty())
        return {x, y};
    return {std::clamp(x, m_clip.left(), m_clip.right()),
            std::clamp(y, m_clip.top(), m_clip.bottom())};
}

// ---------------------------------------------------------------------------
// Drag.

void TSurfaceDesignerEngine::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    const QPoint at = Confined(x, y);
    const int dx = at.x() - m_press.x(), dy = at.y() - m_press.y();
    if (m_mouseDown && m_banding) {
        DragBand(dx, dy);
    } else if (m_mouseDown && !m_selection.empty()) {
        DragSelection(dx, dy);
        m_moved = true;
    } else if (m_mouseDown) {
        m_moved = true;
    } else {
        ShowHint(x, y);
        m_grabber = SetCursor(QPoint(x, y));
    }
    if (m_designer->OnMouseMove)
        m_designer->OnMouseMove(m_designer, shift, x, y);
}

void TSurfaceDesignerEngine::DragBand(int dx, int dy)
{
    bool horz, vert;
    update(NormalizeRect(m_band, horz, vert).adjusted(-1, -1, 1, 1));
    m_band = QRect(m_band.x(), m_band.y(), dx, dy);
    update(NormalizeRect(m_band, horz, vert).adjusted(-1, -1, 1, 1));
}

void TSurfaceDesignerEngine::DragSelection(int dx, int dy)
{
    for (const auto &entry : m_selection) {
        QWidget *ctrl = entry->Ctrl();
        if (!ctrl || !CanMove(ctrl))
            continue;
        entry->Rect = DraggedRect(ctrl, dx, dy);
    }
    // The outlines follow the state: one repaint shows the new ones and removes the old.
    update();
}

QRect TSurfaceDesignerEngine::DraggedRect(QWidget *ctrl, int dx, int dy)
{
    QRect rect = CtrlRect(ctrl);
    if (m_grabber == dgNone) {
        rect.translate(dx, dy);
    } else if (CanDoResize(ctrl)) {
        int l = rect.x(), t = rect.y(), r = SurfaceRight(rect), b = SurfaceBottom(rect);
        switch (m_grabber) {
        case dgTopLeft:
            l += dx, t += dy;
            break;
        case dgTopCenter:
            t += dy;
            break;
        case dgTopRight:
            r += dx, t += dy;
            break;
        case dgLeftCenter:
            l += dx;
            break;
        case dgRightCenter:
            r += dx;
            break;
        case dgBottomLeft:
            l += dx, b += dy;
            break;
        case dgBottomCenter:
            b += dy;
            break;
        case dgBottomRight:
            r += dx, b += dy;
            break;
        case dgNone:
            break;
        }
        rect = QRect(l, t, r - l, b - t);
    }
    if (dx + dy != 0 && m_designer->OnCtrlMoving)
        m_designer->OnCtrlMoving(m_designer, ctrl, rect, false, dx, dy);
    return rect;
}

void TSurfaceDesignerEngine::ShowHint(int x, int y)
{
    QWidget *ctrl = CtrlAt(QPoint(x, y), false);
    if (!ctrl || !CanSelect(ctrl)) {
        HideHint();
        return;
    }
    auto *component = dynamic_cast<TComponent *>(ctrl);
    QString hint = component ? component->Name() : ctrl->objectName();
    if (m_designer->OnGetCtrlDesignerHint)
        m_designer->OnGetCtrlDesignerHint(m_designer, ctrl, hint);
    if (m_hintShown && hint == m_hintText)
        return;
    m_hintText = hint;
    m_hintShown = true;
    setToolTip(hint);
    QToolTip::showText(mapToGlobal(QPoint(x, y)), hint, this);
}

void TSurfaceDesignerEngine::HideHint()
{
    if (m_hintShown)
        QToolTip::hideText();
    m_hintShown = false;
    m_hintText.clear();
    setToolTip(QString());
}

TSurfaceDesignerGrabber TSurfaceDesignerEngine::SetCursor(const QPoint &point)
{
    const bool group = m_selection.size() > 1;
    if (m_selection.empty() || (group && !m_designer->GroupResize())) {
        setCursor(Qt::ArrowCursor);
        return dgNone;
    }
    const TSurfaceDesignerGrabbers shown
        = group ? m_designer->GroupGrabbers() : m_designer->Grabbers();
    const int ofs = group ? m_designer->GroupGrabbersOfs() : m_designer->GrabbersOfs();
    for (const auto &entry : m_selection) {
        if (!entry->Ctrl())
            continue;
        for (int g = dgTopLeft; g < dgNone; ++g) {
            const auto grabber = TSurfaceDesignerGrabber(g);
            if (!(shown & SurfaceDesignerGrabberBit(grabber))
                || !GrabberRect(grabber, entry->Ctrl(), ofs).contains(point))
                continue;
            switch (grabber) {
            case dgTopLeft:
            case dgBottomRight:
                setCursor(Qt::SizeFDiagCursor);
                break;
            case dgTopRight:
            case dgBottomLeft:
                setCursor(Qt::SizeBDiagCursor);
                break;
            case dgTopCenter:
            case dgBottomCenter:
                setCursor(Qt::SizeVerCursor);
                break;
            default:
                setCursor(Qt::SizeHorCursor);
                break;
            }
            return grabber;
        }
    }
    setCursor(Qt::ArrowCursor);
    return dgNone;
}

// ---------------------------------------------------------------------------
// Release.

void TSurfaceDesignerEngine::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                     int y)
{
    if (m_mouseDown) {
        m_mouseDown = false;
        if (!m_banding && !m_selection.empty())
            CommitDrag();
        else if (m_banding)
            EndBand();
        m_clip = QRect();
        update();
    }
    if (m_dblClickPending) {
        m_dblClickPending = false;
        if (m_designer->OnDblClick)
            m_designer->OnDblClick(m_designer);
    }
    if (m_designer->OnMouseUp)
        m_designer->OnMouseUp(m_designer, button, shift, x, y);
}

void TSurfaceDesignerEngine::CommitDrag()
{
    QList<QWidget *> moved;
    bool horz = false, vert = false;
    // Applying bounds may make the host change the selection; work on a snapshot.
    QList<QPair<QPointer<QWidget>, QRect>> entries;
    for (const auto &entry : m_selection)
        entries.append({QPointer<QWidget>(entry->Ctrl()), entry->Rect});
    for (const auto &[ctrl, shown] : entries) {
        if (!ctrl || !CanMove(ctrl))
            continue;
        const QRect rect
            = ClientToClient(NormalizeRect(shown, horz, vert), this, ctrl->parentWidget());
        if (rect == ctrl->geometry())
            continue;
        ctrl->setGeometry(rect);
        moved.append(ctrl);
    }
    for (const auto &entry : m_selection)
        if (entry->Ctrl())
            entry->Rect = CtrlRect(entry->Ctrl());
    if (!moved.isEmpty() && m_designer->OnCtrlMoved)
        m_designer->OnCtrlMoved(m_designer, moved, 0, m_grabber, horz, vert);
}

void TSurfaceDesignerEngine::EndBand()
{
    m_banding = false;
    bool horz, vert;
    const QRect band = NormalizeRect(m_band, horz, vert);
    update(band.adjusted(-1, -1, 1, 1));
    if (InsertBanding)
        return;
    QWidget *container = Surface();
    if (m_selectedCtrl)
        container = SurfaceDesignerAcceptsControls(m_selectedCtrl) ? m_selectedCtrl.data()
                                                                   : m_selectedCtrl->parentWidget();
    if (container)
        SelectCtrlsInRect(container, ClientToClient(band, this, container));
}

// ---------------------------------------------------------------------------
// Keys.

void TSurfaceDesignerEngine::KeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (m_designer->OnKeyDown)
        m_designer->OnKeyDown(m_designer, key, shift);
    if (m_mouseDown || m_selection.empty())
        return;
    switch (key) {
    case Qt::Key_Escape: {
        QWidget *parent
            = m_selection.front()->Ctrl() ? m_selection.front()->Ctrl()->parentWidget() : nullptr;
        SelectCtrl(parent == Surface() ? nullptr : parent, false);
        break;
    }
    case Qt::Key_Delete:
        m_designer->Delete(m_selection.size() == 1 ? m_selection.front()->Ctrl() : nullptr);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        Nudge(key, shift);
        break;
    default:
        break;
    }
}

bool TSurfaceDesignerEngine::Nudge(int key, Qt::KeyboardModifiers shift)
{
    const bool ctrlKey = shift & Qt::ControlModifier, shiftKey = shift & Qt::ShiftModifier;
    if (!ctrlKey && !shiftKey)
        return false;
    int step = 1;
    if (ctrlKey && shiftKey) {
        step = 8;
        if (m_designer->OnSuperNudge)
            m_designer->OnSuperNudge(m_designer, step);
    } else if (m_designer->OnNudge) {
        m_designer->OnNudge(m_designer, step);
    }
    const bool move = ctrlKey;
    QList<QWidget *> moved;
    const QList<QWidget *> ctrls = SelectedCtrls();
    for (QWidget *ctrl : ctrls) {
        if (!ctrl || !CanMove(ctrl))
            continue;
        EraseGrabbers(ctrl);
        QRect bounds = NudgedRect(ctrl, key, move, step);
        if (m_designer->OnCtrlMoving)
            m_designer->OnCtrlMoving(m_designer, ctrl, bounds, true, -1, -1);
        ctrl->setGeometry(bounds);
        const int index = IdxOfSelCtrl(ctrl);
        if (index >= 0)
            m_selection[size_t(index)]->Rect = CtrlRect(ctrl);
        moved.append(ctrl);
    }
    if (!moved.isEmpty() && m_designer->OnCtrlMoved) {
        const bool horzKey = key == Qt::Key_Left || key == Qt::Key_Right;
        const TSurfaceDesignerGrabber grabber
            = move ? dgNone : (horzKey ? dgRightCenter : dgBottomCenter);
        m_designer->OnCtrlMoved(m_designer, moved, key, grabber, false, false);
    }
    update();
    return true;
}

QRect TSurfaceDesignerEngine::NudgedRect(QWidget *ctrl, int key, bool move, int step) const
{
    QRect r = ctrl->geometry();
    if (move) {
        switch (key) {
        case Qt::Key_Left:
            return r.translated(-step, 0);
        case Qt::Key_Right:
            return r.translated(step, 0);
        case Qt::Key_Up:
            return r.translated(0, -step);
        default:
            return r.translated(0, step);
        }
    }
    // A shrink never takes the control below one pixel.
    switch (key) {
    case Qt::Key_Left:
        r.setWidth(std::max(r.width() - step, 1));
        break;
    case Qt::Key_Right:
        r.setWidth(r.width() + step);
        break;
    case Qt::Key_Up:
        r.setHeight(std::max(r.height() - step, 1));
        break;
    default:
        r.setHeight(r.height() + step);
        break;
    }
    return r;
}

// ---------------------------------------------------------------------------
// The Qt events.

void TSurfaceDesignerEngine::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), at.x(), at.y());
    event->accept();
}

void TSurfaceDesignerEngine::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click is a press too; the release reports the double-click.
    m_dblClickPending = true;
    mousePressEvent(event);
}

void TSurfaceDesignerEngine::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    MouseMove(event->modifiers(), at.x(), at.y());
    event->accept();
}

void TSurfaceDesignerEngine::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    MouseUp(event->button(), event->modifiers(), at.x(), at.y());
    event->accept();
}

void TSurfaceDesignerEngine::keyPressEvent(QKeyEvent *event)
{
    KeyDown(event->key(), event->modifiers());
    if (m_designer->OnKeyPress && !event->text().isEmpty())
        m_designer->OnKeyPress(m_designer, event->text());
    event->accept();
}

void TSurfaceDesignerEngine::keyReleaseEvent(QKeyEvent *event)
{
    if (m_designer->OnKeyUp)
        m_designer->OnKeyUp(m_designer, event->key(), event->modifiers());
    event->accept();
}

void TSurfaceDesignerEngine::contextMenuEvent(QContextMenuEvent *event)
{
    if (QMenu *menu = m_designer->PopupMenu())
        menu->popup(event->globalPos());
    event->accept();
}

void TSurfaceDesignerEngine::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (m_designer->OnEnter)
        m_designer->OnEnter(m_designer);
}

void TSurfaceDesignerEngine::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (m_designer->OnExit)
        m_designer->OnExit(m_designer);
}

bool TSurfaceDesignerEngine::focusNextPrevChild(bool)
{
    return false;
}
