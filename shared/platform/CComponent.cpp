#include "CComponent.h"

#include <algorithm>
#include <iterator>

TComponent::TComponent(QObject *self, TComponent *owner) : m_self(self)
{
    Q_ASSERT(self);
    if (owner)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    m_state |= csDestroying;
    DestroyComponents();
    if (m_owner)
        m_owner->RemoveComponent(this);
}

void TComponent::SetName(const QString &name)
{
    if (name == m_name)
        return;
    if (!name.isEmpty() && !IsValidIdent(name))
        throw EComponentError(QStringLiteral("\"%1\" is not a valid component name").arg(name));
    // The owner's key for the name, made once: forms name thousands of elements.
    const QString key = m_owner ? name.toLower() : QString();
    if (m_owner && !name.isEmpty()) {
        TComponent *other = m_owner->m_names.value(key);
        if (other && other != this)
            throw EComponentError(QStringLiteral("A component named %1 already exists").arg(name));
    }
    if (m_owner) {
        if (!m_name.isEmpty())
            m_owner->m_names.remove(m_name.toLower());
        if (!name.isEmpty())
            m_owner->m_names.insert(key, this);
    }
    m_name = name;
    m_self->setObjectName(name);
}

int TComponent::ComponentIndex() const
{
    return m_owner ? int(m_owner->m_components.indexOf(const_cast<TComponent *>(this))) : -1;
}

TComponent *TComponent::FindComponent(const QString &name) const
{
    // Names are identifiers (ASCII), so lower case is their case-insensitive key.
    return name.isEmpty() ? nullptr : m_names.value(name.toLower());
}

void TComponent::InsertComponent(TComponent *component)
{
    if (!component || component->m_owner == this)
        return;
    if (!component->m_name.isEmpty() && FindComponent(component->m_name))
        throw EComponentError(
            QStringLiteral("A component named %1 already exists").arg(component->m_name));
    if (component->m_owner)
        component->m_owner->RemoveComponent(component);
    m_components.append(component);
    if (!component->m_name.isEmpty())
        m_names.insert(component->m_name.toLower(), component);
    component->m_owner = this;
}

void TComponent::RemoveComponent(TComponent *component)
{
    if (!component || component->m_owner != this)
        return;
    // Forms are closed from their last page on, so the one to go is near the end.
    const auto found = std::find(m_components.rbegin(), m_components.rend(), component);
    if (found != m_components.rend())
        m_components.erase(std::next(found).base());
    if (!component->m_name.isEmpty())
        m_names.remove(component->m_name.toLower());
    component->m_owner = nullptr;
}

void TComponent::DestroyComponents()
{
    // Each deletion unlinks itself; the Qt parent, if any, lets go as well.
    m_names.clear();
    while (!m_components.isEmpty()) {
        TComponent *c = m_components.takeLast();
        c->m_owner = nullptr;
        delete c->m_self;
    }
}

bool TComponent::IsValidIdent(const QString &name)
{
    if (name.isEmpty())
        return false;
    auto isAlpha = [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
    };
    if (!isAlpha(name.front()))
        return false;
    for (QChar c : name)
        if (!isAlpha(c) && !(c >= u'0' && c <= u'9'))
            return false;
    return true;
}
