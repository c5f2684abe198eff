#pragma once
// Classes known by name, so that a stream can create a component of the class
// it names. Names compare without regard to case.

#include "CComponent.h"

#include <QString>
#include <functional>
#include <memory>

using TComponentFactory = std::function<TComponent *(TComponent *owner)>;

struct TRegisteredClass
{
    QString Name;
    const QMetaObject *MetaObject = nullptr;
    TComponentFactory Create;
};

// Registering a name twice replaces the earlier entry.
void RegisterClass(const QString &name, const QMetaObject *metaObject, TComponentFactory factory);
void UnRegisterClass(const QString &name);
// Null when no class of that name is registered; valid until the registry changes.
const TRegisteredClass *GetClass(const QString &name);
int RegisteredClassCount();

template<class T>
void RegisterClass()
{
    RegisterClass(QString::fromLatin1(T::staticMetaObject.className()), &T::staticMetaObject,
                  [](TComponent *owner) -> TComponent * {
                      // Freed again when AfterConstruction raises.
                      auto component = std::make_unique<T>(owner);
                      component->AfterConstruction();
                      return component.release();
                  });
}

// Registers T for the life of a static object: a plug-in's one registration
// line, undone when the plug-in is unloaded.
template<class T>
class TClassRegistration
{
public:
    TClassRegistration() { RegisterClass<T>(); }
    ~TClassRegistration() { UnRegisterClass(QString::fromLatin1(T::staticMetaObject.className())); }
};
