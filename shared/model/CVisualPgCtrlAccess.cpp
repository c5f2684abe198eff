#include "CBasePgCtrl.h"

#include "CAccessibleEvents.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CVisualPgCtrlPrivate.h"

#include <QAccessible>

// ---------------------------------------------------------------------------
// TVisualPgCtrl: what assistive technology is told

namespace {
// One mask per character as the user counts them (a surrogate pair is one).
QString Masked(const QString &text)
{
    return QString(text.toUcs4().size(), u'*');
}
} // namespace

bool TVisualPgCtrl::IsPasswordBox() const
{
    // Asked by message: the model knows no kind, and only the text box has passwords.
    return SendMessage(const_cast<TVisualPgCtrl *>(this), VRMSGIsPassword) != 0;
}

QString TVisualPgCtrl::AccessibleText() const
{
    return IsPasswordBox() ? Masked(Text()) : Text();
}

QString TVisualPgCtrl::AccessibleValue() const
{
    if (!IsPasswordBox())
        return DisplayText(Text());
    const qsizetype count = Text().toUcs4().size();
    return count == 1 ? QStringLiteral("1 character") : QStringLiteral("%1 characters").arg(count);
}

void TVisualPgCtrl::SetValidationFailed(bool failed)
{
    if (failed == m_validationFailed)
        return;
    m_validationFailed = failed;
    if (GlobalAccessibilityListening()) {
        // The description carries it: this Qt has no state for an invalid entry.
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        GlobalSendAccessibleEvent(event);
    }
}

namespace VisualPgCtrlDetail {

void NotifyAccessibleTextChange(TVisualPgCtrl *element, const QString &before)
{
    // A document being read is announced once it is there, not text by text.
    if (GlobalLoadingProject || !GlobalAccessibilityListening())
        return;
    const bool password = element->IsPasswordBox();
    const QString oldText = password ? Masked(before) : before;
    const QString newText = element->AccessibleText();
    // Only the part that changed, as the reader says it.
    qsizetype head = 0;
    while (head < oldText.size() && head < newText.size() && oldText[head] == newText[head])
        ++head;
    qsizetype tail = 0;
    while (tail < oldText.size() - head && tail < newText.size() - head
           && oldText[oldText.size() - 1 - tail] == newText[newText.size() - 1 - tail])
        ++tail;
    const QString removed = oldText.mid(head, oldText.size() - head - tail);
    const QString inserted = newText.mid(head, newText.size() - head - tail);
    if (removed.isEmpty()) {
        QAccessibleTextInsertEvent event(element, int(head), inserted);
        GlobalSendAccessibleEvent(event);
    } else if (inserted.isEmpty()) {
        QAccessibleTextRemoveEvent event(element, int(head), removed);
        GlobalSendAccessibleEvent(event);
    } else {
        QAccessibleTextUpdateEvent event(element, int(head), removed, inserted);
        GlobalSendAccessibleEvent(event);
    }
    QAccessibleValueChangeEvent value(element, element->AccessibleValue());
    GlobalSendAccessibleEvent(value);
}

void NotifyAccessibleFocus(TVisualPgCtrl *element, bool focused)
{
    if (!GlobalAccessibilityListening())
        return;
    if (focused) {
        QAccessibleEvent event(element, QAccessible::Focus);
        GlobalSendAccessibleEvent(event);
        return;
    }
    QAccessible::State changed;
    changed.focused = true;
    QAccessibleStateChangeEvent event(element, changed);
    GlobalSendAccessibleEvent(event);
}

} // namespace VisualPgCtrlDetail
