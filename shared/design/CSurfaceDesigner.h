#pragma once
// The design surface: turns any container of controls (a page surface, the
// strip of non-visual elements) into a place where controls are selected by
// click, Shift-click and rubber band, moved and resized with mouse and keys,
// deleted, cut, copied and pasted as component streams. It knows nothing of
// form elements: it asks its host through events whether a control may be
// selected, moved, resized or deleted, and tells it what happened.

#include "CColor.h"
#include "CComponent.h"
#include "CComponentStream.h"

#include <QList>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class TCustomSurfaceDesigner;
class TSurfaceDesignerEngine;

enum TSurfaceDesignerGrabber {
    dgTopLeft,
    dgTopCenter,
    dgTopRight,
    dgLeftCenter,
    dgRightCenter,
    dgBottomLeft,
    dgBottomCenter,
    dgBottomRight,
    dgNone
};
// Set of the first eight grabbers: bit n stands for grabber n.
using TSurfaceDesignerGrabbers = std::uint8_t;
constexpr TSurfaceDesignerGrabbers SurfaceDesignerGrabberBit(TSurfaceDesignerGrabber grabber)
{
    return grabber == dgNone ? 0 : TSurfaceDesignerGrabbers(1u << grabber);
}
inline constexpr TSurfaceDesignerGrabbers CSURFACEDESIGNER_ALL_GRABBERS = 0xFF;
inline constexpr TSurfaceDesignerGrabbers CSURFACEDESIGNER_CORNER_GRABBERS
    = SurfaceDesignerGrabberBit(dgTopLeft) | SurfaceDesignerGrabberBit(dgTopRight)
    | SurfaceDesignerGrabberBit(dgBottomLeft) | SurfaceDesignerGrabberBit(dgBottomRight);

enum TSurfaceDesignerSurroundStyle { ssActive, ssDragging, ssGrouping };
enum TSurfaceDesignerEngineSurfacePrepType { ptDragging, ptBanding, ptActive, ptGrouped };

// Qt widgets have no flag telling that a control takes child controls: hosts mark
// their containers with this dynamic property set to true.
inline constexpr const char *CSURFACEDESIGNER_ACCEPTS_CONTROLS = "AcceptsControls";
bool SurfaceDesignerAcceptsControls(const QWidget *ctrl);

// The system clipboard's type for copied elements (a component stream per element).
inline constexpr const char *CSURFACEDESIGNER_MIME_TYPE = "application/x-velora-elements";

// A name unique among the components of the control's owner: the class name less its
// first letter (or the name less its trailing digits) followed by the first free number.
QString SurfaceDesignerGetAutoName(TComponent *ctrl);
// The same among another owner's components: a pasted control before it is owned.
QString SurfaceDesignerGetAutoName(TComponent *ctrl, const TComponent *owner);

// Rectangles here may be flipped while a resize is dragged past the opposite edge:
// a QRect(x, y, w, h) keeps a negative width or height, so the right edge is always
// x + width and the bottom y + height.
inline int SurfaceRight(const QRect &rect)
{
    return rect.x() + rect.width();
}
inline int SurfaceBottom(const QRect &rect)
{
    return rect.y() + rect.height();
}

// One entry of the selection; leaving the selection reports the control once.
class TSurfaceDesignerSelCtrl
{
public:
    TSurfaceDesignerSelCtrl(TSurfaceDesignerEngine *engine, QWidget *ctrl, const QRect &rect);
    ~TSurfaceDesignerSelCtrl();
    TSurfaceDesignerSelCtrl(const TSurfaceDesignerSelCtrl &) = delete;
    TSurfaceDesignerSelCtrl &operator=(const TSurfaceDesignerSelCtrl &) = delete;

    QWidget *Ctrl() const { return m_ctrl; }
    TSurfaceDesignerEngine *Engine() const { return m_engine; }
    // The control's bounds in the engine's coordinates; during a drag, the rectangle shown.
    QRect Rect;

private:
    TSurfaceDesignerEngine *m_engine;
    friend class TSurfaceDesignerEngine;
    QPointer<QWidget> m_ctrl;
    const QWidget *m_raw; // the key of the engine's membership set, also once the control died
    QMetaObject::Connection m_destroyed;
};

// The events of the designer; Sender is the designer except in OnSortSelCtrls.
struct TSurfaceDesignerEvents
{
    using TAllowEvent
        = std::function<void(TCustomSurfaceDesigner *sender, QWidget *ctrl, bool &allow)>;
    using TCtrlEvent = std::function<void(TCustomSurfaceDesigner *sender, QWidget *ctrl)>;
    using TCtrlsEvent
        = std::function<void(TCustomSurfaceDesigner *sender, const QList<QWidget *> &ctrls)>;
    using TNotifyEvent = std::function<void(TCustomSurfaceDesigner *sender)>;
    using TMouseEvent = std::function<void(TCustomSurfaceDesigner *sender, Qt::MouseButton button,
                                           Qt::KeyboardModifiers shift, int x, int y)>;

    // Designer-level.
    TNotifyEvent OnActiveChanged;
    TAllowEvent OnCanDelete;
    TCtrlEvent OnCtrlDeleted;

    TAllowEvent OnCanMove;
    TAllowEvent OnCanResize;
    TAllowEvent OnCanSelect;
    // Gets the selected controls and deletes them itself.
    TCtrlsEvent OnBeforeCtrlsDeleted;
    std::function<void(TCustomSurfaceDesigner *sender, QWidget *ctrl, QRect &bounds, bool viaKbd,
                       int xOfs, int yOfs)>
        OnCtrlMoving;
    // Key is the Qt key of a nudge, 0 for the mouse; Horz and Vert tell a flipped rectangle.
    std::function<void(TCustomSurfaceDesigner *sender, const QList<QWidget *> &ctrls, int key,
                       TSurfaceDesignerGrabber grabber, bool horz, bool vert)>
        OnCtrlMoved;
    TCtrlEvent OnCtrlSelect;
    TCtrlEvent OnCtrlUnSelect;
    // The new controls, unparented and unowned: the host places and owns them. Those it
    // leaves without parent and owner are freed afterwards.
    TCtrlsEvent OnCtrlPaste;
    std::function<void(TCustomSurfaceDesigner *sender, QWidget *ctrl, QString &hint)>
        OnGetCtrlDesignerHint;
    std::function<void(TCustomSurfaceDesigner *sender, TSurfaceDesignerEngineSurfacePrepType useage,
                       QWidget *ctrl, TColor &color)>
        OnGetPrepTypeColor;
    std::function<void(TCustomSurfaceDesigner *sender, const QRect &rect)> OnSelectedFromRect;
    std::function<void(TCustomSurfaceDesigner *sender, int &nudge)> OnNudge;
    std::function<void(TCustomSurfaceDesigner *sender, int &nudge)> OnSuperNudge;
    TMouseEvent OnBeforeMouseDown;
    TNotifyEvent OnSelectionCleared;
    TNotifyEvent OnCtrlsDeleted;
    TNotifyEvent OnCtrlsPasted;
    std::function<void(TSurfaceDesignerEngine *sender)> OnSortSelCtrls;

    // The engine control's own.
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    std::function<void(TCustomSurfaceDesigner *sender, int &key, Qt::KeyboardModifiers shift)>
        OnKeyDown;
    std::function<void(TCustomSurfaceDesigner *sender, const QString &text)> OnKeyPress;
    std::function<void(TCustomSurfaceDesigner *sender, int key, Qt::KeyboardModifiers shift)>
        OnKeyUp;
    TMouseEvent OnMouseDown;
    std::function<void(TCustomSurfaceDesigner *sender, Qt::KeyboardModifiers shift, int x, int y)>
        OnMouseMove;
    TMouseEvent OnMouseUp;
};

// The transparent overlay laid over the surface's client area: takes mouse and keys,
// paints grabbers, band and drag outlines, and keeps the selection.
class TSurfaceDesignerEngine : public QWidget
{
    Q_OBJECT
public:
    using TSelection = std::vector<std::unique_ptr<TSurfaceDesignerSelCtrl>>;

    explicit TSurfaceDesignerEngine(TCustomSurfaceDesigner *designer);
    ~TSurfaceDesignerEngine() override;

    TCustomSurfaceDesigner *Designer() const { return m_designer; }
    QWidget *Surface() const;
    const TSelection &Selection() const { return m_selection; }
    int SelCount() const { return int(m_selection.size()); }
    QList<QWidget *> SelectedCtrls() const;
    int IdxOfSelCtrl(const QWidget *ctrl) const;
    QWidget *SelectedCtrl() const { return m_selectedCtrl; }
    TSurfaceDesignerGrabber Grabber() const { return m_grabber; }
    bool MouseIsDown() const { return m_mouseDown; }
    bool Banding() const { return m_banding; }
    // The band in engine coordinates, flipped while it is dragged up or left.
    QRect BandRect() const { return m_band; }
    // While set, a press always starts a band and its release selects nothing: the host
    // takes the band as the rectangle of a new element.
    bool InsertBanding = false;
    // The hint shown for the control under the pointer, empty when none.
    QString ShownHint() const { return m_hintShown ? m_hintText : QString(); }
    // The default clipboard of cut, copy and paste.
    TMemoryStream &ClipboardStream() { return m_stream; }
    // Lets the host reorder the selection in OnSortSelCtrls.
    TSelection &SelectionList() { return m_selection; }

    // Virtual operations, in the order hosts know them.
    virtual bool CanMove(QWidget *ctrl);
    virtual bool CanDoResize(QWidget *ctrl);
    virtual bool CanSelect(QWidget *ctrl);
    virtual void ClipCursor(QWidget *ctrl, const QPoint &offset);
    virtual void DrawBandingRect(QPainter &canvas);
    virtual void DrawGrabbers(QPainter &canvas, QWidget *ctrl, TSurfaceDesignerGrabbers grabbers,
                              int ofs);
    virtual void EraseGrabbers(QWidget *ctrl, TSurfaceDesignerGrabbers except = 0);
    virtual QRect GrabberRect(TSurfaceDesignerGrabber grabber, QWidget *ctrl, int ofs) const;
    virtual void PrepSurface(TSurfaceDesignerEngineSurfacePrepType usage, QWidget *ctrl,
                             QPainter &canvas);
    virtual TSurfaceDesignerGrabber SetCursor(const QPoint &point);
    virtual void Surround(QPainter &canvas, TSurfaceDesignerSelCtrl &entry,
                          TSurfaceDesignerSurroundStyle style);
    virtual void ClearSelection();
    virtual QRect ClientToClient(const QRect &rect, const QWidget *fromCtrl,
                                 const QWidget *toCtrl) const;
    // False (after telling the user) when the clipboard file could not be written.
    virtual bool Copy(bool toFile, const QString &fileName, TMemoryStream *stream = nullptr);
    virtual QWidget *CtrlAt(const QPoint &point, bool containersOnly);
    virtual bool Cut(bool toFile, const QString &fileName, bool doDelete,
                     TMemoryStream *stream = nullptr);
    virtual void DrawDragRect(QPainter &canvas, const QRect &rect);
    virtual void EraseAllGrabbers(TSurfaceDesignerGrabbers except = 0);
    virtual QRect NormalizeRect(const QRect &rect, bool &horz, bool &vert) const;
    // True when elements were pasted; a clipboard that holds no elements, or damaged
    // ones, pastes nothing and tells the user why.
    virtual bool Paste(bool fromFile, const QString &fileName, TMemoryStream *stream = nullptr);
    virtual bool SelectCtrl(QWidget *ctrl, bool addToSelection);
    virtual void SelectCtrlsInRect(QWidget *parent, const QRect &rect);
    void SelectAll();

    // The bounds of a control in engine coordinates.
    QRect CtrlRect(const QWidget *ctrl) const;
    // Puts the engine over the surface's client area, above its controls.
    void FitToSurface();
    // Follows (or stops following) what changes the surface's client area.
    void Watch(QWidget *surface, bool on);
    // Removes the entry of a control from the selection, reporting it.
    void RemoveFromSelection(QWidget *ctrl);

    // The input handlers in the design's terms; the Qt events call them.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void KeyDown(int key, Qt::KeyboardModifiers shift);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Tab belongs to the design surface, not to focus travel.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class TSurfaceDesignerSelCtrl;
    friend class TCustomSurfaceDesigner;

    void SetSelectedCtrl(QWidget *ctrl);
    void Forget(TSurfaceDesignerSelCtrl *entry);
    void CtrlUnselected(QWidget *ctrl);
    // The steps of a press, a drag and a release, in the order they run.
    void StartPress(Qt::MouseButton button, int x, int y);
    void PressAway(Qt::KeyboardModifiers shift, int x, int y);
    void PressOnGrabber(int x, int y);
    void DragBand(int dx, int dy);
    void DragSelection(int dx, int dy);
    QRect DraggedRect(QWidget *ctrl, int dx, int dy);
    void ShowHint(int x, int y);
    void HideHint();
    void CommitDrag();
    void EndBand();
    QPoint Confined(int x, int y) const;
    bool Nudge(int key, Qt::KeyboardModifiers shift);
    QRect NudgedRect(QWidget *ctrl, int key, bool move, int step) const;
    // The region the grabbers of a control cover now.
    QRect GrabbersBounds(QWidget *ctrl) const;
    void WriteSelection(TMemoryStream &stream);
    bool SaveClipboard(const QString &fileName, const QByteArray &data);
    void PublishClipboard(const QByteArray &data);
    // The stream a paste reads: the given one, the system clipboard's elements, the
    // file or the internal stream; null when none holds anything.
    TMemoryStream *PasteSource(bool fromFile, const QString &fileName, TMemoryStream *given,
                               std::unique_ptr<TMemoryStream> &temporary);
    void PasteRefused(const QString &reason);

    TCustomSurfaceDesigner *m_designer;
    TSelection m_selection;
    QSet<const QWidget *> m_members; // the selected controls, for lookups in large selections
    QPointer<QWidget> m_selectedCtrl;
    TSurfaceDesignerGrabber m_grabber = dgNone;
    QPoint m_press;
    QPoint m_ptrOfs;
    bool m_mouseDown = false;
    Qt::MouseButton m_button = Qt::LeftButton;
    bool m_moved = false;
    bool m_banding = false;
    QRect m_band;
    QRect m_clip; // engine coordinates; empty when the pointer is free
    bool m_hintShown = false;
    QString m_hintText;
    bool m_clearing = false;
    bool m_deleting = false;
    bool m_rectSelecting = false;
    bool m_dblClickPending = false;
    bool m_destroying = false;
    TMemoryStream m_stream;
};

// The non-visual component that holds the settings and events, owns the engine and lays
// it over the surface while active.
class TCustomSurfaceDesigner : public TObjectComponent, public TSurfaceDesignerEvents
{
    Q_OBJECT
public:
    explicit TCustomSurfaceDesigner(TComponent *owner = nullptr);
    ~TCustomSurfaceDesigner() override;

    void AfterConstruction() override;

    bool Active() const { return m_active; }
    void SetActive(bool active);
    QWidget *Surface() const { return m_surface; }
    void SetSurface(QWidget *surface);
    // The engine; made again (with the same settings and events) when a surface
    // that was freed took it along.
    TSurfaceDesignerEngine *Engine();

    TColor BandingColor() const { return m_bandingColor; }
    void SetBandingColor(TColor color) { m_bandingColor = color; }
    TColor DragColor() const { return m_dragColor; }
    void SetDragColor(TColor color) { m_dragColor = color; }
    TSurfaceDesignerGrabbers Grabbers() const { return m_grabbers; }
    void SetGrabbers(TSurfaceDesignerGrabbers grabbers);
    TColor GrabbersColor() const { return m_grabbersColor; }
    void SetGrabbersColor(TColor color);
    TColor GrabbersFillColor() const { return m_grabbersFillColor; }
    void SetGrabbersFillColor(TColor color);
    int GrabbersOfs() const { return m_grabbersOfs; }
    void SetGrabbersOfs(int ofs);
    int GrabbersSize() const { return m_grabbersSize; }
    void SetGrabbersSize(int size);
    TSurfaceDesignerGrabbers GroupGrabbers() const { return m_groupGrabbers; }
    void SetGroupGrabbers(TSurfaceDesignerGrabbers grabbers);
    int GroupGrabbersOfs() const { return m_groupGrabbersOfs; }
    void SetGroupGrabbersOfs(int ofs);
    TColor GroupGrabbersColor() const { return m_groupGrabbersColor; }
    void SetGroupGrabbersColor(TColor color);
    TColor GroupGrabbersFillColor() const { return m_groupGrabbersFillColor; }
    void SetGroupGrabbersFillColor(TColor color);
    bool GroupResize() const { return m_groupResize; }
    void SetGroupResize(bool on) { m_groupResize = on; }
    QMenu *PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu *menu);
    bool RoundGrabbers() const { return m_roundGrabbers; }
    void SetRoundGrabbers(bool round);

    // Virtual operations, in the order hosts know them.
    virtual TSurfaceDesignerEngine *CreateEngine();
    virtual void DisableEngine();
    virtual void EnableEngine();
    // Places the control at rect in parent's client coordinates; returns its name.
    virtual QString Add(QWidget *ctrl, const QRect &rect, QWidget *parent, bool autoName,
                        bool select);
    // Point in surface coordinates; the parent is the deepest container under it.
    virtual QString Add(QWidget *ctrl, const QPoint &point, int width, int height, bool autoName,
                        bool select);
    virtual QRect ClientToClient(const QRect &rect, const QWidget *fromCtrl, const QWidget *toCtrl);
    virtual QWidget *CtrlAt(const QPoint &point, bool containersOnly);
    // Null deletes the whole selection.
    virtual void Delete(QWidget *ctrl);
    virtual QRect NormalizeRect(const QRect &rect, bool &horz, bool &vert);
    virtual void SelectAll();
    virtual bool SelectCtrl(QWidget *ctrl, bool addToSelection);
    virtual void SelectCtrlsInRect(QWidget *parent, const QRect &rect);
    virtual void UnSelectAll();

private:
    void InvalidateFor(bool single, bool group);

    bool m_active = false;
    QPointer<QWidget> m_surface;
    QPointer<TSurfaceDesignerEngine> m_engine;
    QPointer<QMenu> m_popupMenu;
    TColor m_bandingColor = clBlack;
    TColor m_dragColor = clBlack;
    TSurfaceDesignerGrabbers m_grabbers = CSURFACEDESIGNER_ALL_GRABBERS;
    TColor m_grabbersColor = clBlack;
    TColor m_grabbersFillColor = clBlack;
    int m_grabbersOfs = 2;
    int m_grabbersSize = 5;
    TSurfaceDesignerGrabbers m_groupGrabbers = CSURFACEDESIGNER_CORNER_GRABBERS;
    int m_groupGrabbersOfs = 0;
    TColor m_groupGrabbersColor = TColor::FromRGB(128, 128, 128);
    TColor m_groupGrabbersFillColor = TColor::FromRGB(128, 128, 128);
    bool m_groupResize = false;
    bool m_roundGrabbers = false;
};

// The designer as hosts place it: the settings published.
class TSurfaceDesigner : public TCustomSurfaceDesigner
{
    Q_OBJECT
    Q_PROPERTY(TColor BandingColor READ BandingColor WRITE SetBandingColor)
    Q_PROPERTY(TColor DragColor READ DragColor WRITE SetDragColor)
    Q_PROPERTY(int Grabbers READ GrabbersInt WRITE SetGrabbersInt)
    Q_PROPERTY(TColor GrabbersColor READ GrabbersColor WRITE SetGrabbersColor)
    Q_PROPERTY(TColor GrabbersFillColor READ GrabbersFillColor WRITE SetGrabbersFillColor)
    Q_PROPERTY(int GrabbersOfs READ GrabbersOfs WRITE SetGrabbersOfs)
    Q_PROPERTY(int GrabbersSize READ GrabbersSize WRITE SetGrabbersSize)
    Q_PROPERTY(int GroupGrabbers READ GroupGrabbersInt WRITE SetGroupGrabbersInt)
    Q_PROPERTY(int GroupGrabbersOfs READ GroupGrabbersOfs WRITE SetGroupGrabbersOfs)
    Q_PROPERTY(TColor GroupGrabbersColor READ GroupGrabbersColor WRITE SetGroupGrabbersColor)
    Q_PROPERTY(
        TColor GroupGrabbersFillColor READ GroupGrabbersFillColor WRITE SetGroupGrabbersFillColor)
    Q_PROPERTY(bool GroupResize READ GroupResize WRITE SetGroupResize)
    Q_PROPERTY(bool RoundGrabbers READ RoundGrabbers WRITE SetRoundGrabbers)

public:
    using TCustomSurfaceDesigner::TCustomSurfaceDesigner;

private:
    int GrabbersInt() const { return Grabbers(); }
    void SetGrabbersInt(int v) { SetGrabbers(TSurfaceDesignerGrabbers(v)); }
    int GroupGrabbersInt() const { return GroupGrabbers(); }
    void SetGroupGrabbersInt(int v) { SetGroupGrabbers(TSurfaceDesignerGrabbers(v)); }
};
