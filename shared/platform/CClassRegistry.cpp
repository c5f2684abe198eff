#include "CClassRegistry.h"

#include <QHash>

namespace {
QHash<QString, TRegisteredClass> &Registry()
{
    static QHash<QString, TRegisteredClass> registry;
    return registry;
}
} // namespace

void RegisterClass(const QString &name, const QMetaObject *metaObject, TComponentFactory factory)
{
    Registry().insert(name.toLower(), TRegisteredClass {name, metaObject, std::move(factory)});
}

void UnRegisterClass(const QString &name)
{
    Registry().remove(name.toLower());
}

const TRegisteredClass *GetClass(const QString &name)
{
    auto it = Registry().constFind(name.toLower());
    return it == Registry().constEnd() ? nullptr : &it.value();
}

int RegisteredClassCount()
{
    return int(Registry().size());
}
