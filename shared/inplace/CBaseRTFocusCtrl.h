#pragma once
// The run-time focus control: a transparent child of the page laid over an
// element and a little larger than it. Elements are drawn, not focusable, so
// this control holds the keyboard focus for one, draws its red focus frame,
// carries optional scroll bars and moves on to the next or previous element
// on TAB, Enter or the arrow keys. The in-place editors derive from it.

#include "CElementEditor.h"
#include "CGlobal.h"
#include "CMessages.h"
#include "CVeloraTypes.h"

#include <QPointer>
#include <QWidget>

class QScrollBar;
class QTimer;
class TVisualPgCtrl;

// Which scroll bars the control has, which of them show, and their ranges
// and first positions.
struct TPropGroupScrollingParams
{
    TScrollStyle Direction = sbNone;
    TScrollStyle Bars = sbNone;
    int VertRange = 0;
    int HorzPos = 0;
    int VertPos = 0;
    int HorzRange = 0;
};

class TBaseRTFocusCtrl : public QWidget,
                         public TMessageTarget,
                         public TContextMenuStateSource,
                         public TElementEditor
{
    Q_OBJECT

public:
    // Placed over the owner by OwnerResized, which the owner calls once it has
    // the control and whenever it moves or resizes.
    TBaseRTFocusCtrl(TVisualPgCtrl *owner, bool tabOnEnterKey, bool tabOnUpDownKeys,
                     bool createScrollBars, const TPropGroupScrollingParams &params);
    ~TBaseRTFocusCtrl() override;

    // Null once the element is gone.
    TVisualPgCtrl *OwnerElement() const { return m_owner; }
    bool TABOnEnterKey() const { return m_tabOnEnterKey; }
    bool TABOnUpDownKeys() const { return m_tabOnUpDownKeys; }
    const TPropGroupScrollingParams &ScrollingParams() const { return m_params; }
    QScrollBar *HorzScrollBar() const { return m_horzBar; }
    QScrollBar *VertScrollBar() const { return m_vertBar; }
    bool HorzScrollBarShown() const { return m_horzBar && m_horzBarShown; }
    bool VertScrollBarShown() const { return m_vertBar && m_vertBarShown; }

    // Virtual operations, in the order the editors know them.
    // Paints what lies beneath the control, the control itself left out.
    virtual void DoPaintBkGnd(QPainter &canvas);
    virtual void DrawFocusRect(QPainter &canvas);
    virtual void HorzScrollBarChange() { }
    virtual QRect HorzScrollBarPos() const;
    virtual void PositionScrollBars();
    virtual void PrepScrollBars();
    virtual void VertScrollBarChange() { }
    virtual QRect VertScrollBarPos() const;
    // The owner's bounds grown by 3 pixels (at 100 %) on every side, and by
    // the scroll bars that show.
    virtual QRect CalcInPlaceEditArea(bool withBars) const;
    void GetContextMenuState(TContextMenuState &state) const override;
    void OwnerResized() override;
    // Repaints through PaintBkGnd, which the editors extend.
    void OwnerTextChanged() override;
    // The page beneath changed: show it again through the control.
    virtual void PaintBkGnd();
    // Selects the owner's whole text; the owner keeps the selection.
    void SelectAll() override;
    // A second left click within the double-click time after the control appeared.
    virtual void DblClick() { }

    // Pixels at 100 % scaled to the zoom of the active page.
    int Scaled(int value) const;
    int Zoom() const;

    void Dispatch(TMessage &message) override;

protected:
    // Moves the focus on TAB, Enter and the arrow keys; key becomes 0 when it did.
    virtual void KeyDown(int &key, Qt::KeyboardModifiers shift);
    // The characters a key produced; Escape ends the editing.
    virtual void KeyPress(QChar &key);
    virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                           const QPoint &point);
    virtual void MouseMove(Qt::KeyboardModifiers shift, const QPoint &point);
    // The focus went elsewhere in the window: the owner commits through the main window.
    virtual void DoExit();

    // The element after or before the owner takes the focus. When the owner's
    // text is refused, the user is told and the focus stays.
    void MoveFocus(bool forward);
    void DblClickTimeElapsed() { m_dblClickElapsed = true; }
    // True while the page beneath is rendered for the background: draw nothing then.
    bool RenderingBkGnd() const { return m_renderingBkGnd; }
    bool DblClickWindowOpen() const { return !m_dblClickTimer.isNull(); }
    // From this control's coordinates to the owner's.
    QPoint ToOwner(const QPoint &point) const;

    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int ScrollBarExtent() const;

    QPointer<TVisualPgCtrl> m_owner;
    bool m_tabOnEnterKey;
    bool m_tabOnUpDownKeys;
    TPropGroupScrollingParams m_params;
    QScrollBar *m_horzBar = nullptr; // Qt child
    QScrollBar *m_vertBar = nullptr; // Qt child
    bool m_horzBarShown = false;
    bool m_vertBarShown = false;
    QPointer<QTimer> m_dblClickTimer;
    bool m_dblClickElapsed = false;
    bool m_renderingBkGnd = false;
};
