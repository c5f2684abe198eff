#include "CElementAccessible.h"

#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrl.h"
#include "CPropGroups.h"

#include <QAccessible>

namespace {
// Kinds of the kind table whose role is not the text box's.
constexpr int kComboKind = 70;
constexpr int kCalcKind = 80;
constexpr int kPdfViewKind = 100;
constexpr int kButtonKind = 105;

// A value the user reads and never types: the calculation box, or a number nobody may change.
bool IsComputed(const TVisualPgCtrl *element)
{
    const TPropGroupGeneral *general = element->VisualGeneralProps();
    return element->ClassTypeID() == kCalcKind
        || (element->IsCalcField() && general && general->GeneralReadOnly());
}

QAccessibleInterface *InterfaceOf(QObject *object)
{
    return object ? QAccessible::queryAccessibleInterface(object) : nullptr;
}
} // namespace

// ---------------------------------------------------------------------------
// TElementAccessible

TElementAccessible::TElementAccessible(QWidget *element) : QAccessibleWidget(element) { }

TVisualPgCtrl *TElementAccessible::Element() const
{
    return qobject_cast<TVisualPgCtrl *>(object());
}

TBaseRTEditFocusCtrl *TElementAccessible::Editor() const
{
    const TVisualPgCtrl *element = Element();
    return element && element->Focused() ? qobject_cast<TBaseRTEditFocusCtrl *>(element->Editor())
                                         : nullptr;
}

bool TElementAccessible::HasText() const
{
    const QAccessible::Role r = role();
    return r == QAccessible::EditableText || r == QAccessible::StaticText
        || r == QAccessible::ComboBox;
}

QAccessible::Role TElementAccessible::role() const
{
    const TVisualPgCtrl *element = Element();
    if (!element)
        return QAccessibleWidget::role();
    if (IsComputed(element))
        return QAccessible::StaticText;
    switch (element->ClassTypeID()) {
    case kComboKind:
        return QAccessible::ComboBox;
    case kButtonKind:
        return QAccessible::Button;
    case kPdfViewKind:
        return QAccessible::Graphic;
    default:
        return QAccessible::EditableText;
    }
}

QString TElementAccessible::text(QAccessible::Text t) const
{
    const TVisualPgCtrl *element = Element();
    if (!element)
        return QAccessibleWidget::text(t);
    switch (t) {
    case QAccessible::Name:
        return element->Hint().isEmpty() ? element->Name() : element->Hint();
    case QAccessible::Description: {
        // This Qt has no states for required and invalid entries: the description says them.
        QStringList parts;
        if (!element->Hint().isEmpty())
            parts << element->Hint();
        const TPropGroupValidation *validation = element->VisualValidationProps();
        if (validation && validation->ValidationRequired())
            parts << QStringLiteral("Required.");
        if (element->ValidationFailed())
            parts << QStringLiteral("Invalid entry.");
        return parts.join(u' ');
    }
    case QAccessible::Value:
        return element->AccessibleValue();
    case QAccessible::Help:
        return {};
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State TElementAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const TVisualPgCtrl *element = Element();
    if (!element)
        return state;
    const TPropGroupGeneral *general = element->VisualGeneralProps();
    const bool readOnly = (general && general->GeneralReadOnly()) || IsComputed(element);
    state.readOnly = readOnly;
    state.focusable = GlobalCanFocus(const_cast<TVisualPgCtrl *>(element));
    state.focused = element->Focused();
    state.editable = role() == QAccessible::EditableText && !readOnly;
    state.passwordEdit = element->IsPasswordBox();
    const TPropGroupParagraph *paragraph = element->VisualParagraphProps();
    state.multiLine = paragraph && paragraph->ParagraphWrap();
    state.selectableText = HasText() && !state.passwordEdit;
    return state;
}

int TElementAccessible::childCount() const
{
    return Editor() ? 1 : 0;
}

QAccessibleInterface *TElementAccessible::child(int index) const
{
    return index == 0 ? InterfaceOf(Editor()) : nullptr;
}

int TElementAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const TBaseRTEditFocusCtrl *editor = Editor();
    return editor && child && child->object() == editor ? 0 : -1;
}

QAccessibleInterface *TElementAccessible::focusChild() const
{
    TBaseRTEditFocusCtrl *editor = Editor();
    return editor && editor->hasFocus() ? InterfaceOf(editor) : nullptr;
}

void *TElementAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return HasText() ? static_cast<QAccessibleTextInterface *>(this) : nullptr;
    return QAccessibleWidget::interface_cast(t);
}

// The engine counts positions from 1, one per character; readers count offsets from 0.
void TElementAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const TVisualPgCtrl *element = Element();
    const TBaseRTEditFocusCtrl *editor = Editor();
    if (selectionIndex != 0 || !editor || element->SelLength() == 0)
        return;
    const int a = element->SelStart();
    const int b = a + element->SelLength();
    *startOffset = editor->ListIdxToStrIdx(qMin(a, b)) - 1;
    *endOffset = editor->ListIdxToStrIdx(qMax(a, b)) - 1;
}

int TElementAccessible::selectionCount() const
{
    const TVisualPgCtrl *element = Element();
    return Editor() && element->SelLength() != 0 ? 1 : 0;
}

// Selections are the user's to make with keys and mouse; readers only move the caret.
void TElementAccessible::addSelection(int, int) { }

void TElementAccessible::removeSelection(int) { }

void TElementAccessible::setSelection(int, int, int) { }

int TElementAccessible::cursorPosition() const
{
    const TBaseRTEditFocusCtrl *editor = Editor();
    return editor ? editor->ListIdxToStrIdx(editor->Caret()) - 1 : 0;
}

void TElementAccessible::setCursorPosition(int position)
{
    if (TBaseRTEditFocusCtrl *editor = Editor()) {
        editor->SetCharPos(editor->StrIdxToListIdx(position + 1));
        editor->UnSelectAll();
    }
}

QString TElementAccessible::text(int startOffset, int endOffset) const
{
    const TVisualPgCtrl *element = Element();
    if (!element || startOffset < 0 || endOffset < startOffset)
        return {};
    return element->AccessibleText().mid(startOffset, endOffset - startOffset);
}

int TElementAccessible::characterCount() const
{
    const TVisualPgCtrl *element = Element();
    return element ? int(element->AccessibleText().size()) : 0;
}

QRect TElementAccessible::characterRect(int offset) const
{
    const TBaseRTEditFocusCtrl *editor = Editor();
    if (!editor)
        return {};
    const int index = editor->StrIdxToListIdx(offset + 1);
    const QRect caret = editor->CaretRect();
    const QPoint next = editor->GetCursorPos(index + 1);
    QPoint at = editor->GetCursorPos(index);
    const int width = next.y() == at.y() ? qMax(1, next.x() - at.x()) : 1;
    return QRect(editor->mapToGlobal(at), QSize(width, caret.height()));
}

int TElementAccessible::offsetAtPoint(const QPoint &point) const
{
    TVisualPgCtrl *element = Element();
    const TBaseRTEditFocusCtrl *editor = Editor();
    if (!editor)
        return -1;
    const int index
        = BaseRTEditFocusCtrlChrIdxFromPos(element, element->mapFromGlobal(point), -1, true);
    return index < 0 ? -1 : editor->ListIdxToStrIdx(index) - 1;
}

void TElementAccessible::scrollToSubstring(int, int) { }

QString TElementAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

// ---------------------------------------------------------------------------
// TElementEditorAccessible

TElementEditorAccessible::TElementEditorAccessible(QWidget *editor) : QAccessibleWidget(editor) { }

QAccessibleInterface *TElementEditorAccessible::Owner() const
{
    const auto *editor = qobject_cast<const TBaseRTFocusCtrl *>(object());
    return editor ? InterfaceOf(editor->OwnerElement()) : nullptr;
}

QAccessible::Role TElementEditorAccessible::role() const
{
    const QAccessibleInterface *owner = Owner();
    return owner ? owner->role() : QAccessibleWidget::role();
}

QString TElementEditorAccessible::text(QAccessible::Text t) const
{
    const QAccessibleInterface *owner = Owner();
    return owner ? owner->text(t) : QAccessibleWidget::text(t);
}

QAccessible::State TElementEditorAccessible::state() const
{
    const QAccessibleInterface *owner = Owner();
    if (!owner)
        return QAccessibleWidget::state();
    QAccessible::State state = owner->state();
    state.focused = widget()->hasFocus();
    return state;
}

QAccessibleInterface *TElementEditorAccessible::parent() const
{
    QAccessibleInterface *owner = Owner();
    return owner ? owner : QAccessibleWidget::parent();
}

void *TElementEditorAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface) {
        QAccessibleInterface *owner = Owner();
        return owner ? owner->interface_cast(t) : nullptr;
    }
    return QAccessibleWidget::interface_cast(t);
}
