#include "CAccessibleEvents.h"

#include <QAccessible>

namespace {
QAccessible::UpdateHandler InstalledHandler()
{
    // Qt only tells the handler when it swaps it.
    const QAccessible::UpdateHandler handler = QAccessible::installUpdateHandler(nullptr);
    QAccessible::installUpdateHandler(handler);
    return handler;
}
} // namespace

bool GlobalAccessibilityListening()
{
    return QAccessible::isActive() || InstalledHandler();
}

void GlobalSendAccessibleEvent(QAccessibleEvent &event)
{
    if (QAccessible::isActive()) {
        QAccessible::updateAccessibility(&event);
        return;
    }
    if (const QAccessible::UpdateHandler handler = InstalledHandler())
        handler(&event);
}
