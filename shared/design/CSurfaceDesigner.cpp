#include "CSurfaceDesigner.h"

#include <QVariant>

bool SurfaceDesignerAcceptsControls(const QWidget *ctrl)
{
    return ctrl && ctrl->property(CSURFACEDESIGNER_ACCEPTS_CONTROLS).toBool();
}

QString SurfaceDesignerGetAutoName(TComponent *ctrl)
{
    return SurfaceDesignerGetAutoName(ctrl, ctrl ? ctrl->Owner() : nullptr);
}

QString SurfaceDesignerGetAutoName(TComponent *ctrl, const TComponent *owner)
{
    if (!ctrl)
        return {};
    QString base;
    if (ctrl->Name().isEmpty()) {
        base = QString::fromLatin1(ctrl->Object()->metaObject()->className()).mid(1);
        static const char *const plurals[][2]
            = {{"Labels", "Label"}, {"DBLabels", "DBLabel"}, {"HTMLLabels", "HTMLLabel"}};
        for (const auto &plural : plurals)
            if (base.compare(QLatin1String(plural[0]), Qt::CaseInsensitive) == 0)
                base = QLatin1String(plural[1]);
    } else {
        base = ctrl->Name();
        while (!base.isEmpty() && base.back().isDigit() && base.back().unicode() < 128)
            base.chop(1);
    }
    for (int n = 1; n <= 32767; ++n) {
        const QString candidate = base + QString::number(n);
        if (!owner || !owner->FindComponent(candidate))
            return candidate;
    }
    return base;
}

// ---------------------------------------------------------------------------

TCustomSurfaceDesigner::TCustomSurfaceDesigner(TComponent *owner) : TObjectComponent(owner) { }

TCustomSurfaceDesigner::~TCustomSurfaceDesigner()
{
    SetActive(false);
    m_surface = nullptr;
    delete m_engine.data();
}

void TCustomSurfaceDesigner::AfterConstruction()
{
    // Virtual, so that a descendant's engine is made; not possible in the constructor.
    Engine();
}

TSurfaceDesignerEngine *TCustomSurfaceDesigner::Engine()
{
    if (!m_engine)
        m_engine = CreateEngine();
    return m_engine;
}

TSurfaceDesignerEngine *TCustomSurfaceDesigner::CreateEngine()
{
    return new TSurfaceDesignerEngine(this);
}

void TCustomSurfaceDesigner::SetActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (active)
        EnableEngine();
    else
        DisableEngine();
    if (OnActiveChanged)
        OnActiveChanged(this);
}

void TCustomSurfaceDesigner::EnableEngine()
{
    if (!m_surface)
        return;
    TSurfaceDesignerEngine *engine = Engine();
    engine->setParent(m_surface);
    engine->Watch(m_surface, true);
    engine->FitToSurface();
    engine->show();
}

void TCustomSurfaceDesigner::DisableEngine()
{
    if (!m_engine)
        return;
    m_engine->ClearSelection();
    if (m_surface)
        m_engine->Watch(m_surface, false);
    m_engine->hide();
    m_engine->setParent(nullptr);
}

void TCustomSurfaceDesigner::SetSurface(QWidget *surface)
{
    if (surface == m_surface)
        return;
    if (m_engine)
        m_engine->ClearSelection();
    if (m_active) {
        DisableEngine();
        m_surface = surface;
        EnableEngine();
    } else {
        m_surface = surface;
    }
}

void TCustomSurfaceDesigner::InvalidateFor(bool single, bool group)
{
    const int count = Engine()->SelCount();
    if ((single && count == 1) || (group && count > 1))
        Engine()->update();
}

void TCustomSurfaceDesigner::SetGrabbers(TSurfaceDesignerGrabbers grabbers)
{
    if (grabbers == m_grabbers)
        return;
    Engine()->EraseAllGrabbers(grabbers);
    m_grabbers = grabbers;
    InvalidateFor(true, false);
}

void TCustomSurfaceDesigner::SetGrabbersColor(TColor color)
{
    m_grabbersColor = color;
    InvalidateFor(true, false);
}

void TCustomSurfaceDesigner::SetGrabbersFillColor(TColor color)
{
    m_grabbersFillColor = color;
    InvalidateFor(true, false);
}

void TCustomSurfaceDesigner::SetGrabbersOfs(int ofs)
{
    if (ofs == m_grabbersOfs)
        return;
    Engine()->EraseAllGrabbers();
    m_grabbersOfs = ofs;
    InvalidateFor(true, false);
}

void TCustomSurfaceDesigner::SetGrabbersSize(int size)
{
    if (size == m_grabbersSize)
        return;
    Engine()->EraseAllGrabbers();
    m_grabbersSize = size;
    InvalidateFor(true, true);
}

void TCustomSurfaceDesigner::SetGroupGrabbers(TSurfaceDesignerGrabbers grabbers)
{
    if (grabbers == m_groupGrabbers)
        return;
    Engine()->EraseAllGrabbers(grabbers);
    m_groupGrabbers = grabbers;
    InvalidateFor(false, true);
}

void TCustomSurfaceDesigner::SetGroupGrabbersOfs(int ofs)
{
    if (ofs == m_groupGrabbersOfs)
        return;
    Engine()->EraseAllGrabbers();
    m_groupGrabbersOfs = ofs;
    InvalidateFor(false, true);
}

void TCustomSurfaceDesigner::SetGroupGrabbersColor(TColor color)
{
    m_groupGrabbersColor = color;
    InvalidateFor(false, true);
}

void TCustomSurfaceDesigner::SetGroupGrabbersFillColor(TColor color)
{
    m_groupGrabbersFillColor = color;
    InvalidateFor(false, true);
}

void TCustomSurfaceDesigner::SetPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}

void TCustomSurfaceDesigner::SetRoundGrabbers(bool round)
{
    if (round == m_roundGrabbers)
        return;
    m_roundGrabbers = round;
    InvalidateFor(true, true);
}

QString TCustomSurfaceDesigner::Add(QWidget *ctrl, const QRect &rect, QWidget *parent,
                                    bool autoName, bool select)
{
    auto *component = dynamic_cast<TComponent *>(ctrl);
    ctrl->setGeometry(rect);
    if (autoName && component)
        component->SetName(SurfaceDesignerGetAutoName(component));
    // Qt hides a widget that changes parent; a control placed on a surface is shown
    // unless it was hidden on purpose.
    const bool hidden = ctrl->isHidden() && ctrl->testAttribute(Qt::WA_WState_ExplicitShowHide);
    ctrl->setParent(parent);
    if (!hidden)
        ctrl->show();
    if (select)
        SelectCtrl(ctrl, false);
    return component ? component->Name() : ctrl->objectName();
}

QString TCustomSurfaceDesigner::Add(QWidget *ctrl, const QPoint &point, int width, int height,
                                    bool autoName, bool select)
{
    QWidget *surface = m_surface;
    TSurfaceDesignerEngine *engine = Engine();
    QWidget *parent = nullptr;
    if (surface && engine->parentWidget() == surface)
        parent = engine->CtrlAt(engine->mapFrom(surface, point), true);
    if (!parent)
        parent = surface;
    const QRect rect
        = engine->ClientToClient(QRect(point.x(), point.y(), width, height), surface, parent);
    return Add(ctrl, rect, parent, autoName, select);
}

QRect TCustomSurfaceDesigner::ClientToClient(const QRect &rect, const QWidget *fromCtrl,
                                             const QWidget *toCtrl)
{
    return Engine()->ClientToClient(rect, fromCtrl, toCtrl);
}

QWidget *TCustomSurfaceDesigner::CtrlAt(const QPoint &point, bool containersOnly)
{
    return Engine()->CtrlAt(point, containersOnly);
}

void TCustomSurfaceDesigner::Delete(QWidget *ctrl)
{
    TSurfaceDesignerEngine *engine = Engine();
    if (ctrl) {
        bool allow = true;
        if (OnCanDelete)
            OnCanDelete(this, ctrl, allow);
        if (!allow)
            return;
        engine->RemoveFromSelection(ctrl);
        ctrl->setParent(nullptr);
        if (OnCtrlDeleted)
            OnCtrlDeleted(this, ctrl);
        delete ctrl;
        return;
    }
    if (engine->SelCount() == 0)
        return;
    engine->m_deleting = true;
    if (OnBeforeCtrlsDeleted) {
        // A copy: the host deletes through this designer, which changes the selection.
        OnBeforeCtrlsDeleted(this, engine->SelectedCtrls());
    } else {
        const QList<QWidget *> ctrls = engine->SelectedCtrls();
        for (auto it = ctrls.rbegin(); it != ctrls.rend(); ++it)
            Delete(*it);
    }
    engine->m_deleting = false;
    if (OnCtrlsDeleted)
        OnCtrlsDeleted(this);
}

QRect TCustomSurfaceDesigner::NormalizeRect(const QRect &rect, bool &horz, bool &vert)
{
    return Engine()->NormalizeRect(rect, horz, vert);
}

void TCustomSurfaceDesigner::SelectAll()
{
    Engine()->SelectAll();
}

bool TCustomSurfaceDesigner::SelectCtrl(QWidget *ctrl, bool addToSelection)
{
    return Engine()->SelectCtrl(ctrl, addToSelection);
}

void TCustomSurfaceDesigner::SelectCtrlsInRect(QWidget *parent, const QRect &rect)
{
    Engine()->SelectCtrlsInRect(parent, rect);
}

void TCustomSurfaceDesigner::UnSelectAll()
{
    Engine()->ClearSelection();
}
