#pragma once
// Design-time ownership, kept apart from the Qt parent: the owner frees its
// components, their names are unique among the owner's components without
// regard to case, and the owner finds them by name.

#include "CException.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

// What a component is going through; streaming and teardown suppress side effects.
enum TComponentStateFlag : unsigned {
    csLoading = 0x01,
    csReading = 0x02,
    csDestroying = 0x04,
    csDesigning = 0x08,
};

class TComponent
{
public:
    // self is the Qt object this component is part of (already constructed).
    TComponent(QObject *self, TComponent *owner);
    virtual ~TComponent();
    TComponent(const TComponent &) = delete;
    TComponent &operator=(const TComponent &) = delete;

    QObject *Object() const { return m_self; }
    // Runs once the most derived constructor is done, so virtual calls reach the kind.
    virtual void AfterConstruction() { }
    // Runs when a stream reader has set every property read; csLoading is already clear.
    virtual void Loaded() { }
    TComponent *Owner() const { return m_owner; }

    const QString &Name() const { return m_name; }
    // Raises EComponentError for an invalid identifier or a name already taken.
    virtual void SetName(const QString &name);

    int ComponentCount() const { return int(m_components.size()); }
    TComponent *Components(int index) const { return m_components.at(index); }
    int ComponentIndex() const;
    TComponent *FindComponent(const QString &name) const;

    void InsertComponent(TComponent *component);
    void RemoveComponent(TComponent *component);
    void DestroyComponents();

    static bool IsValidIdent(const QString &name);

    unsigned ComponentState() const { return m_state; }
    bool IsLoading() const { return m_state & (csLoading | csReading); }
    void SetComponentState(unsigned flag, bool on)
    {
        m_state = on ? (m_state | flag) : (m_state & ~flag);
    }

private:
    QObject *m_self;
    TComponent *m_owner = nullptr;
    QString m_name;
    QList<TComponent *> m_components;
    // Named components by lower-case name: documents have thousands of elements.
    QHash<QString, TComponent *> m_names;
    unsigned m_state = 0;
};

// A component with no visible body (settings holders, sorters and the like).
class TObjectComponent : public QObject, public TComponent
{
    Q_OBJECT
public:
    explicit TObjectComponent(TComponent *owner = nullptr)
        : QObject(nullptr), TComponent(this, owner)
    { }
};

// Creates a component the way streams and palettes do.
template<class T>
T *CreateComponent(TComponent *owner)
{
    auto *component = new T(owner);
    component->AfterConstruction();
    return component;
}

template<class T>
T *ComponentCast(TComponent *component)
{
    return component ? qobject_cast<T *>(component->Object()) : nullptr;
}
