// The engine's selection, geometry and painting.

#include "CPrinterPage.h"
#include "CSurfaceDesigner.h"

#include <QAbstractScrollArea>
#include <QChildEvent>
#include <QPainter>
#include <QScrollBar>

TSurfaceDesignerSelCtrl::TSurfaceDesignerSelCtrl(TSurfaceDesignerEngine *engine, QWidget *ctrl,
                                                 const QRect &rect)
    : Rect(rect), m_engine(engine), m_ctrl(ctrl), m_raw(ctrl)
{
    // A control freed behind the designer's back leaves the selection at once.
    m_destroyed = QObject::connect(ctrl, &QObject::destroyed, engine,
                                   [engine, this] { engine->Forget(this); });
}

TSurfaceDesignerSelCtrl::~TSurfaceDesignerSelCtrl()
{
    QObject::disconnect(m_destroyed);
    // A control being freed is no longer one the host may look at.
    if (m_ctrl)
        m_engine->CtrlUnselected(m_ctrl);
}

// ---------------------------------------------------------------------------

TSurfaceDesignerEngine::TSurfaceDesignerEngine(TCustomSurfaceDesigner *designer)
    : QWidget(nullptr), m_designer(designer)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    // The surface shows through: nothing is filled behind what the engine paints.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    hide();
}

TSurfaceDesignerEngine::~TSurfaceDesignerEngine()
{
    m_destroying = true;
    ClearSelection();
}

QWidget *TSurfaceDesignerEngine::Surface() const
{
    return m_designer->Surface();
}

QList<QWidget *> TSurfaceDesignerEngine::SelectedCtrls() const
{
    QList<QWidget *> ctrls;
    ctrls.reserve(int(m_selection.size()));
    for (const auto &entry : m_selection)
        ctrls.append(entry->Ctrl());
    return ctrls;
}

int TSurfaceDesignerEngine::IdxOfSelCtrl(const QWidget *ctrl) const
{
    if (!ctrl || !m_members.contains(ctrl))
        return -1;
    for (size_t i = 0; i < m_selection.size(); ++i)
        if (m_selection[i]->Ctrl() == ctrl)
            return int(i);
    return -1;
}

void TSurfaceDesignerEngine::SetSelectedCtrl(QWidget *ctrl)
{
    m_selectedCtrl = ctrl;
    if (m_designer->OnCtrlSelect)
        m_designer->OnCtrlSelect(m_designer, ctrl);
}

void TSurfaceDesignerEngine::CtrlUnselected(QWidget *ctrl)
{
    if (m_designer->OnCtrlUnSelect)
        m_designer->OnCtrlUnSelect(m_designer, ctrl);
}

void TSurfaceDesignerEngine::Forget(TSurfaceDesignerSelCtrl *entry)
{
    for (auto it = m_selection.begin(); it != m_selection.end(); ++it) {
        if (it->get() == entry) {
            std::unique_ptr<TSurfaceDesignerSelCtrl> gone = std::move(*it);
            m_selection.erase(it);
            m_members.remove(gone->m_raw);
            // Half destroyed already: not something the host may be handed.
            gone->m_ctrl = nullptr;
            break;
        }
    }
    update();
}

void TSurfaceDesignerEngine::RemoveFromSelection(QWidget *ctrl)
{
    const int index = IdxOfSelCtrl(ctrl);
    if (index < 0)
        return;
    EraseAllGrabbers();
    std::unique_ptr<TSurfaceDesignerSelCtrl> gone = std::move(m_selection[size_t(index)]);
    m_selection.erase(m_selection.begin() + index);
    m_members.remove(ctrl);
    gone.reset();
    if (m_selectedCtrl == ctrl)
        SetSelectedCtrl(m_selection.empty() ? nullptr : m_selection.back()->Ctrl());
    update();
}

bool TSurfaceDesignerEngine::CanMove(QWidget *ctrl)
{
    if (m_button != Qt::LeftButton)
        return false;
    bool allow = true;
    if (m_designer->OnCanMove)
        m_designer->OnCanMove(m_designer, ctrl, allow);
    return allow;
}

bool TSurfaceDesignerEngine::CanDoResize(QWidget *ctrl)
{
    if (m_button != Qt::LeftButton)
        return false;
    bool allow = true;
    if (m_designer->OnCanResize)
        m_designer->OnCanResize(m_designer, ctrl, allow);
    return allow;
}

bool TSurfaceDesignerEngine::CanSelect(QWidget *ctrl)
{
    bool allow = true;
    if (m_designer->OnCanSelect)
        m_designer->OnCanSelect(m_designer, ctrl, allow);
    return allow;
}

QRect TSurfaceDesignerEngine::ClientToClient(const QRect &rect, const QWidget *fromCtrl,
                                             const QWidget *toCtrl) const
{
    // Only a shift: the rectangle may be flipped and must stay so.
    QPoint shift;
    if (fromCtrl)
        shift = fromCtrl->mapToGlobal(QPoint(0, 0));
    if (toCtrl)
        shift -= toCtrl->mapToGlobal(QPoint(0, 0));
    return rect.translated(shift);
}

QRect TSurfaceDesignerEngine::CtrlRect(const QWidget *ctrl) const
{
    return ClientToClient(ctrl->geometry(), ctrl->parentWidget(), this);
}

QRect TSurfaceDesignerEngine::NormalizeRect(const QRect &rect, bool &horz, bool &vert) const
{
    horz = vert = false;
    int x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    if (w < 0) {
        x += w;
        w = -w;
        horz = true;
    }
    if (h < 0) {
        y += h;
        h = -h;
        vert = true;
    }
    return QRect(x, y, w, h);
}

void TSurfaceDesignerEngine::FitToSurface()
{
    QWidget *surface = Surface();
    if (!surface || parentWidget() != surface)
        return;
    if (auto *page = qobject_cast<TPrinterPage *>(surface))
        setGeometry(page->ClientRect());
    else if (auto *area = qobject_cast<QAbstractScrollArea *>(surface))
        setGeometry(area->viewport()->geometry());
    else
        setGeometry(surface->rect());
    raise();
}

void TSurfaceDesignerEngine::Watch(QWidget *surface, bool on)
{
    QList<QObject *> watched = {surface};
    // A page's scroll bars come and go without the page changing size.
    if (auto *page = qobject_cast<TPrinterPage *>(surface))
        watched << page->HorzScrollBar() << page->VertScrollBar();
    for (QObject *object : std::as_const(watched)) {
        if (on)
            object->installEventFilter(this);
        else
            object->removeEventFilter(this);
    }
}

bool TSurfaceDesignerEngine::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *surface = Surface();
    if (surface && parentWidget() == surface && watched != surface && watched->parent() == surface
        && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        FitToSurface();
    if (watched == Surface() && parentWidget() == watched) {
        switch (event->type()) {
        case QEvent::Resize:
            FitToSurface();
            break;
        case QEvent::ChildAdded:
            // A control placed on the surface lands on top; the engine must stay above it.
            if (static_cast<QChildEvent *>(event)->child() != this)
                raise();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QWidget *TSurfaceDesignerEngine::CtrlAt(const QPoint &point, bool containersOnly)
{
    QWidget *surface = Surface();
    if (!surface)
        return nullptr;
    QWidget *found = nullptr;
    QWidget *within = surface;
    QPoint at = mapTo(surface, point);
    // Topmost first; a hit that takes children is searched again inside.
    for (;;) {
        QWidget *hit = nullptr;
        const QObjectList &children = within->children();
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            auto *ctrl = qobject_cast<QWidget *>(*it);
            if (!ctrl || ctrl == this || !ctrl->isVisibleTo(within)
                || !ctrl->geometry().contains(at) || !CanSelect(ctrl)
                || (containersOnly && !SurfaceDesignerAcceptsControls(ctrl)))
                continue;
            hit = ctrl;
            break;
        }
        if (!hit)
            return found;
        found = hit;
        if (!SurfaceDesignerAcceptsControls(hit))
            return found;
        at = hit->mapFromParent(at);
        within = hit;
    }
}

// ---------------------------------------------------------------------------
// Selection.

bool TSurfaceDesignerEngine::SelectCtrl(QWidget *ctrl, bool addToSelection)
{
    const int index = IdxOfSelCtrl(ctrl);
    if (ctrl && index >= 0 && !addToSelection) {
        SetSelectedCtrl(ctrl);
        if (m_selection.size() == 1)
            update(GrabbersBounds(ctrl));
        return true;
    }
    bool allowed = true;
    if (ctrl && addToSelection && !m_selection.empty()
        && ctrl->parentWidget() != m_selection.front()->Ctrl()->parentWidget())
        allowed = false;
    if (allowed && ctrl)
        allowed = CanSelect(ctrl);
    if (allowed) {
        if (!addToSelection)
            ClearSelection();
        const int at = IdxOfSelCtrl(ctrl);
        if (at < 0) {
            if (m_selection.size() == 1)
                EraseGrabbers(m_selection.front()->Ctrl());
            if (ctrl) {
                m_selection.push_back(
                    std::make_unique<TSurfaceDesignerSelCtrl>(this, ctrl, CtrlRect(ctrl)));
                m_members.insert(ctrl);
                if (m_designer->OnSortSelCtrls)
                    m_designer->OnSortSelCtrls(this);
            }
            SetSelectedCtrl(ctrl);
        } else {
            if (m_selection.size() == 2)
                EraseGrabbers(m_selection[at == 0 ? 1 : 0]->Ctrl());
            EraseGrabbers(ctrl);
            std::unique_ptr<TSurfaceDesignerSelCtrl> gone = std::move(m_selection[size_t(at)]);
            m_selection.erase(m_selection.begin() + at);
            m_members.remove(ctrl);
            gone.reset();
            SetSelectedCtrl(m_selection.empty() ? nullptr : m_selection.back()->Ctrl());
        }
    }
    update();
    return allowed;
}

void TSurfaceDesignerEngine::SelectCtrlsInRect(QWidget *parent, const QRect &rect)
{
    ClearSelection();
    if (parent) {
        const bool wasSelecting = m_rectSelecting;
        m_rectSelecting = true;
        const QObjectList children = parent->children();
        for (QObject *child : children) {
            auto *ctrl = qobject_cast<QWidget *>(child);
            if (!ctrl || ctrl == this || !ctrl->isVisibleTo(parent))
                continue;
            if (ctrl->geometry().intersects(rect))
                SelectCtrl(ctrl, true);
        }
        m_rectSelecting = wasSelecting;
    }
    if (m_designer->OnSelectedFromRect)
        m_designer->OnSelectedFromRect(m_designer, rect);
}

void TSurfaceDesignerEngine::SelectAll()
{
    QWidget *surface = Surface();
    if (!surface)
        return;
    QRect rect = surface->rect();
    if (auto *page = qobject_cast<TPrinterPage *>(surface)) {
        // The scrolled-out parts count too.
        const QRect client = page->ClientRect();
        const QScrollBar *h = page->HorzScrollBar();
        const QScrollBar *v = page->VertScrollBar();
        const int width = std::max(client.width(), h->maximum() + h->pageStep());
        const int height = std::max(client.height(), v->maximum() + v->pageStep());
        rect = QRect(-h->value(), -v->value(), width, height);
    }
    SelectCtrlsInRect(surface, rect);
}

void TSurfaceDesignerEngine::ClearSelection()
{
    m_clearing = true;
    // Many small regions cost more than repainting the engine once.
    if (!m_destroying && m_selection.size() > 8)
        update();
    while (!m_selection.empty()) {
        std::unique_ptr<TSurfaceDesignerSelCtrl> entry = std::move(m_selection.back());
        m_selection.pop_back();
        m_members.remove(entry->m_raw);
        if (!m_destroying && entry->Ctrl() && m_selection.size() < 8)
            EraseGrabbers(entry->Ctrl());
        entry.reset();
    }
    m_clearing = false;
    if (m_designer->OnSelectionCleared)
        m_designer->OnSelectionCleared(m_designer);
}

// ---------------------------------------------------------------------------
// Grabbers and outlines. Painting follows the state, so erasing is invalidating
// the engine where something was shown: the surface beneath repaints through it.

QRect TSurfaceDesignerEngine::GrabberRect(TSurfaceDesignerGrabber grabber, QWidget *ctrl,
                                          int ofs) const
{
    if (grabber == dgNone || !ctrl)
        return {};
    const QRect b = ctrl->geometry();
    const int l = b.x(), t = b.y(), r = SurfaceRight(b), bottom = SurfaceBottom(b);
    const int s = m_designer->GrabbersSize(), h = s / 2;
    const int mx = l + b.width() / 2 - h, my = t + b.height() / 2 - h;
    QPoint at;
    switch (grabber) {
    case dgTopLeft:
        at = {l - ofs, t - ofs};
        break;
    case dgTopCenter:
        at = {mx, t - ofs};
        break;
    case dgTopRight:
        at = {r - s + ofs, t - ofs};
        break;
    case dgLeftCenter:
        at = {l - ofs, my};
        break;
    case dgRightCenter:
        at = {r - s + ofs, my};
        break;
    case dgBottomLeft:
        at = {l - ofs, bottom - s + ofs};
        break;
    case dgBottomCenter:
        at = {mx, bottom - s + ofs};
        break;
    case dgBottomRight:
        at = {r - s + ofs, bottom - s + ofs};
        break;
    case dgNone:
        break;
    }
    return ClientToClient(QRect(at, QSize(s, s)), ctrl->parentWidget(), this);
}

QRect TSurfaceDesignerEngine::GrabbersBounds(QWidget *ctrl) const
{
    const int margin = std::max(m_designer->GrabbersOfs(), m_designer->GroupGrabbersOfs()) + 2;
    return CtrlRect(ctrl).adjusted(-margin, -margin, margin, margin);
}

void TSurfaceDesignerEngine::EraseGrabbers(QWidget *ctrl, TSurfaceDesignerGrabbers except)
{
    if (!ctrl)
        return;
    const bool group = m_selection.size() > 1;
    const TSurfaceDesignerGrabbers shown
        = group ? m_designer->GroupGrabbers() : m_designer->Grabbers();
    const int ofs = group ? m_designer->GroupGrabbersOfs() : m_designer->GrabbersOfs();
    for (int g = dgTopLeft; g < dgNone; ++g) {
        const auto grabber = TSurfaceDesignerGrabber(g);
        const TSurfaceDesignerGrabbers bit = SurfaceDesignerGrabberBit(grabber);
        if ((shown & bit) && !(except & bit))
            update(GrabberRect(grabber, ctrl, ofs).adjusted(-1, -1, 1, 1));
    }
}

void TSurfaceDesignerEngine::EraseAllGrabbers(TSurfaceDesignerGrabbers except)
{
    for (const auto &entry : m_selection)
        EraseGrabbers(entry->Ctrl(), except);
}

void TSurfaceDesignerEngine::PrepSurface(TSurfaceDesignerEngineSurfacePrepType usage, QWidget *ctrl,
                                         QPainter &canvas)
{
    TColor fill = clNone, pen = clBlack;
    Qt::PenStyle style = Qt::SolidLine;
    int width = 1;
    switch (usage) {
    case ptBanding:
        pen = m_designer->BandingColor();
        style = Qt::DotLine;
        break;
    case ptDragging:
        pen = m_designer->DragColor();
        width = 2;
        break;
    case ptActive:
        fill = m_designer->GrabbersFillColor();
        pen = m_designer->GrabbersColor();
        break;
    case ptGrouped:
        fill = m_designer->GroupGrabbersFillColor();
        pen = m_designer->GroupGrabbersColor();
        break;
    }
    if (m_designer->OnGetPrepTypeColor)
        m_designer->OnGetPrepTypeColor(m_designer, usage, ctrl, fill);
    const bool solid = usage == ptActive || usage == ptGrouped;
    canvas.setBrush(solid ? QBrush(ColorToQColor(fill)) : QBrush(Qt::NoBrush));
    QPen p(ColorToQColor(pen), width, style);
    p.setJoinStyle(Qt::MiterJoin);
    canvas.setPen(p);
}

void TSurfaceDesignerEngine::DrawBandingRect(QPainter &canvas)
{
    PrepSurface(ptBanding, nullptr, canvas);
    bool horz, vert;
    const QRect band = NormalizeRect(m_band, horz, vert);
    if (band.width() > 0 || band.height() > 0)
        canvas.drawRect(band.adjusted(0, 0, -1, -1));
}

void TSurfaceDesignerEngine::DrawDragRect(QPainter &canvas, const QRect &rect)
{
    bool horz, vert;
    const QRect r = NormalizeRect(rect, horz, vert);
    // A 2-pixel pen centred one pixel inside the edge covers the rectangle's own border.
    canvas.drawRect(QRectF(r).adjusted(1, 1, -1, -1));
}

void TSurfaceDesignerEngine::DrawGrabbers(QPainter &canvas, QWidget *ctrl,
                                          TSurfaceDesignerGrabbers grabbers, int ofs)
{
    for (int g = dgTopLeft; g < dgNone; ++g) {
        const auto grabber = TSurfaceDesignerGrabber(g);
        if (!(grabbers & SurfaceDesignerGrabberBit(grabber)))
            continue;
        const QRect r = GrabberRect(grabber, ctrl, ofs).adjusted(0, 0, -1, -1);
        if (m_designer->RoundGrabbers())
            canvas.drawEllipse(r);
        else
            canvas.drawRect(r);
    }
}

void TSurfaceDesignerEngine::Surround(QPainter &canvas, TSurfaceDesignerSelCtrl &entry,
                                      TSurfaceDesignerSurroundStyle style)
{
    QWidget *ctrl = entry.Ctrl();
    switch (style) {
    case ssDragging:
        PrepSurface(ptDragging, ctrl, canvas);
        DrawDragRect(canvas, entry.Rect);
        break;
    case ssActive:
        PrepSurface(ptActive, ctrl, canvas);
        DrawGrabbers(canvas, ctrl, m_designer->Grabbers(), m_designer->GrabbersOfs());
        break;
    case ssGrouping:
        PrepSurface(ptGrouped, ctrl, canvas);
        DrawGrabbers(canvas, ctrl, m_designer->GroupGrabbers(), m_designer->GroupGrabbersOfs());
        break;
    }
}

void TSurfaceDesignerEngine::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    const bool single = m_selection.size() == 1;
    const bool dragging = m_mouseDown && !m_banding && (single || m_moved);
    const TSurfaceDesignerSurroundStyle style
        = dragging ? ssDragging : (single ? ssActive : ssGrouping);
    for (const auto &entry : m_selection)
        if (entry->Ctrl())
            Surround(canvas, *entry, style);
    if (m_banding)
        DrawBandingRect(canvas);
}
