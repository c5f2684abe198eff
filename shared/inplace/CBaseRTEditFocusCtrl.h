#pragma once
// The in-place editor: the run-time focus control made a text editor that
// works on the element's laid-out text. Caret and selection are indices into
// the text engine's character list, so what is typed shows exactly as it
// will print. Input that breaks the element's rules or would not fit its box
// is refused with a beep; every accepted change is a step of the element's
// own undo history. Element kinds derive their editors from it.

#include "CBaseRTFocusCtrl.h"
#include "CUndoRedo.h"

#include <QSet>

class QAction;
class QMenu;
class QTimer;
class TWYSIWYGEngine;

// What an element lets its editor do.
struct TBaseRTEditFocusCtrlParamss
{
    // The click that opened the editor, element coordinates; (-1, -1) for none.
    int ClickX = -1;
    int ClickY = -1;
    // The wheel may not change the character size.
    bool FixedSize = false;
    bool WholeNumbersOnly = false;
    // 0 is no limit.
    int MaxChars = 0;
    bool NumericsOnly = false;
    // Code points that may be typed; empty allows every printable character.
    QSet<char32_t> AllowedChars;
    // The element shows capitals: a typed letter is checked as shown.
    bool UpperCase = false;
    TPropGroupScrollingParams Scrolling;
    bool TABOnDecimalPoint = false;
    bool TABOnEnterKey = false;
    bool TABOnMaxChars = false;
    bool TABOnUpDownKeys = false;
    // Also allows new lines.
    bool WordWrap = false;
};

// The parameters an element's general, TAB-on and paragraph groups give, with
// the number settings of numeric elements. Kinds add what only they know.
TBaseRTEditFocusCtrlParamss BaseRTEditFocusCtrlParams(TVisualPgCtrl *element, const QPoint &click);

// Character index of a line at x (element pixels): the entry under x, else the
// one whose left edge is nearest; def when the line has no entry. Without
// exact, the right half of a character counts to the next one.
int BaseRTEditFocusCtrlChrIdxFromLine(TVisualPgCtrl *element, int line, int x, bool exact, int def);
// Character index at a point of the element: the line under it (or nearest), then x.
int BaseRTEditFocusCtrlChrIdxFromPos(TVisualPgCtrl *element, const QPoint &point, int def,
                                     bool exact = false);

// One side of an undo step.
class TBaseRTEditFocusCtrlUndoRedoItem : public TUndoRedoItem
{
public:
    TBaseRTEditFocusCtrlUndoRedoItem(int caret, const QString &text) : Caret(caret), Text(text) { }

    // A string position, so that a text laid out anew (another size) puts the
    // caret at the same character.
    int Caret;
    QString Text;
};

class TBaseRTEditFocusCtrl : public TBaseRTFocusCtrl
{
    Q_OBJECT

public:
    static constexpr int CaretInterval = 500;

    TBaseRTEditFocusCtrl(TVisualPgCtrl *owner, const TBaseRTEditFocusCtrlParamss &params,
                         bool createScrollBars);
    ~TBaseRTEditFocusCtrl() override;

    const TBaseRTEditFocusCtrlParamss &Params() const { return m_params; }
    // List index into the engine's characters; the last one is the end of the text.
    int Caret() const { return m_caret; }
    bool InsertMode() const { return m_insertMode; }
    QMenu *PopupMenu() const { return m_popupMenu; }
    // The blink phase: true while the caret is drawn.
    bool CaretShown() const { return m_caretShown; }
    // Where the caret is drawn, in this control's coordinates.
    QRect CaretRect() const;

    // Virtual operations, in the order the element kinds know them.
    virtual void ContextMenuChanged();
    virtual void CopyClick();
    virtual void CreatePopupMenu();
    virtual void CursorOff();
    virtual void CursorOn();
    virtual void CutClick();
    // Deletes the selection as one undo step; false when the text refused it.
    virtual bool DeleteBacklitText();
    virtual void DeleteClick();
    virtual void DrawCursor(QPainter &canvas);
    virtual QPoint EditToOwner(const QPoint &point) const;
    // Caret place of an empty text (element coordinates), following the alignment.
    virtual QPoint GetDefCursorPos() const;
    virtual void OnTimer();
    virtual QPoint OwnerToEdit(const QPoint &point) const;
    virtual void PasteClick();
    virtual void PopupMenuOnPopup();
    virtual void RedoClick();
    virtual void SelectAllClick();
    // The selection as a string start (1-based), length and text.
    virtual void SelectedText(int &start, int &length, QString &text) const;
    virtual void UndoClick();
    // Kinds refuse texts they cannot hold.
    virtual bool ValidText(const QString &) const { return true; }
    virtual void ClosePopupMenu();

    void Copy() { CopyClick(); }
    void Cut() { CutClick(); }
    void Delete() { DeleteClick(); }
    void Paste() { PasteClick(); }
    // Puts text in place of the selection as a paste of it would, every typing check included,
    // without the clipboard; false, and nothing changed, when the element refuses it.
    bool InsertChecked(const QString &incoming);
    // The whole text replaced so, or emptied.
    bool ReplaceTextChecked(const QString &text);
    // List index to the 1-based position in the element's own text (which has
    // no soft breaks), and back.
    int ListIdxToStrIdx(int index) const;
    int StrIdxToListIdx(int position) const;
    // Top of the caret before the entry, in this control's coordinates.
    QPoint GetCursorPos(int index) const;
    void SelectAll() override;
    // Moves the caret; Up and Down keep the preferred x, everything else sets it.
    void SetCharPos(int index, bool keepPreferredX = false);
    void UnSelectAll();

    void GetContextMenuState(TContextMenuState &state) const override;
    void OwnerResized() override;
    void PaintBkGnd() override;
    // The edit menu follows the text (Undo, Select All).
    void OwnerTextChanged() override;
    void Dispatch(TMessage &message) override;

protected:
    void KeyDown(int &key, Qt::KeyboardModifiers shift) override;
    void KeyPress(QChar &key) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                   const QPoint &point) override;
    void MouseMove(Qt::KeyboardModifiers shift, const QPoint &point) override;
    virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPoint &point);
    void DoExit() override;

    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // The owner's engine, laid out for its current size.
    TWYSIWYGEngine *Engine() const;
    int LastIndex() const;
    // True while this is the owner's editor.
    bool Editing() const;
    int CaretHeight() const;
    void RestartBlink();

    // Typing, one character (a surrogate pair is one).
    void TypeText(const QString &typed);
    // The typing checks of a whole new text: ValidText, length, number.
    bool Acceptable(const QString &text) const;
    // Lays the text out and tells whether it stays inside the box; the old layout is restored when
    // not.
    bool Fits(const QString &text);
    // Takes the selection out of text; pos becomes where it was (or the caret's position).
    bool RemoveSelection(QString &text, int &pos) const;
    // Makes text the element's text as one undo step with the caret at pos.
    bool ApplyText(const QString &text, int pos, bool fitTest);
    void Replay(TUndoRedoItem *item);
    void DeleteBackward();
    void DeleteForward();
    int NavigationTarget(int key, bool ctrl) const;
    bool Shortcut(int key, bool withShift);
    void ChangeCharacterSize(int points);

    TBaseRTEditFocusCtrlParamss m_params;
    int m_caret = 0;
    bool m_insertMode = true;
    bool m_selecting = false;
    bool m_mouseSelecting = false;
    int m_anchor = 0;
    Qt::MouseButtons m_moveButtons;
    // Element pixels.
    int m_preferredX = 0;
    int m_wheelDelta = 0;
    QChar m_pendingHighSurrogate;
    bool m_caretShown = false;
    QTimer *m_caretTimer; // Qt child
    QMenu *m_popupMenu = nullptr; // Qt child
};
