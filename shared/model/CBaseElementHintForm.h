#pragma once
// Picking a form element on the page with the mouse for a dialog: while the
// dialog has the focus and Alt is held, and the mouse is outside the dialog,
// the dialog takes the mouse and the element under the cursor on the active
// page is named in a small hint window below the cursor; a click picks it, a
// double-click picks and accepts it. Letting go of Alt, coming back over the
// dialog or closing it gives the mouse back.

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class TVisualPgCtrl;

class TBaseElementHintForm : public QLabel
{
    Q_OBJECT
public:
    // Which elements may be picked.
    using TFilter = std::function<bool(const TVisualPgCtrl *element)>;
    // A name picked; accept is true for a double-click.
    using TPickEvent = std::function<void(const QString &name, bool accept)>;

    TBaseElementHintForm(QWidget *dialog, TFilter filter);
    ~TBaseElementHintForm() override;

    // Polls the cursor and the Alt key every 50 ms until Stop.
    void Start();
    void Stop();
    // One poll: tracking runs while Alt is held and the cursor is outside the dialog.
    void Track(const QPoint &globalPos, Qt::KeyboardModifiers modifiers);
    bool Tracking() const { return m_tracking; }
    TVisualPgCtrl *Tracked() const { return m_tracked; }
    // The topmost element that may be picked under the point on the active page, or null.
    TVisualPgCtrl *ElementAt(const QPoint &globalPos) const;
    // Whether the dialog's last key event had Alt held.
    bool AltHeld() const { return m_altHeld; }

    // What a pick hands the dialog, and what the hint window shows; both the name unless
    // a dialog says otherwise.
    virtual QString PickedName(const TVisualPgCtrl *element) const;
    virtual QString HintText(const TVisualPgCtrl *element) const;

    // Replaces the selected text of the edit box (or inserts at its caret) and selects
    // what it put in.
    static void ReplaceSelection(QPlainTextEdit *edit, const QString &text);
    static void ReplaceSelection(QLineEdit *edit, const QString &text);

    TPickEvent OnPick;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SetTracking(bool on);
    void ShowHintAt(const QPoint &globalPos);
    bool FromDialog(QObject *watched) const;

    QPointer<QWidget> m_dialog;
    TFilter m_filter;
    QTimer m_timer;
    QPointer<TVisualPgCtrl> m_tracked;
    bool m_tracking = false;
    bool m_altHeld = false;
};
