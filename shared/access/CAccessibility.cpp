#include "CAccessibility.h"

#include "CBasePgCtrl.h"
#include "CBaseRTFocusCtrl.h"
#include "CElementAccessible.h"
#include "CPageAccessible.h"
#include "CPrinterPage.h"

#include <QAccessible>

namespace {
// Matched on the object, not the class name Qt passes: kinds are plug-ins
// whose names the shared library does not know. TBasePgCtrl rather than
// TVisualPgCtrl, because Qt may ask while an element is still being built, and
// what it gets then is cached for the element's life.
QAccessibleInterface *ElementAccessibilityFactory(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (qobject_cast<TBasePgCtrl *>(object))
        return new TElementAccessible(widget);
    if (qobject_cast<TBaseRTFocusCtrl *>(object))
        return new TElementEditorAccessible(widget);
    if (qobject_cast<TPrinterPage *>(object))
        return new TPageAccessible(widget);
    return nullptr;
}
} // namespace

void InstallElementAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(ElementAccessibilityFactory);
}
