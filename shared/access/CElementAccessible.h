#pragma once
// What assistive technology sees of a form element: its role from the kind,
// its name and hint, the value as shown (a password only by its length), its
// states, and the caret and selection of the in-place editor. The editor
// speaks for the element it edits, so a reader following the focus hears the
// element.

#include <QAccessibleWidget>

class TBaseRTEditFocusCtrl;
class TVisualPgCtrl;

class TElementAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    // Any element widget: the kind is asked for on every call, because Qt may
    // ask for the interface while the element is still being constructed.
    explicit TElementAccessible(QWidget *element);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTextInterface, in string offsets of AccessibleText().
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    TVisualPgCtrl *Element() const;
    // The open in-place editor, or null.
    TBaseRTEditFocusCtrl *Editor() const;
    bool HasText() const;
};

// The in-place editor: role, name, value, states and text are its element's.
class TElementEditorAccessible : public QAccessibleWidget
{
public:
    explicit TElementEditorAccessible(QWidget *editor);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QAccessibleInterface *parent() const override;
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void *interface_cast(QAccessible::InterfaceType t) override;

private:
    // The element's interface, or null once it is gone.
    QAccessibleInterface *Owner() const;
};
