// A minimal plug-in: one component class and its registration line.

#include "CClassRegistry.h"
#include "CComponent.h"

class TProbeElement : public TObjectComponent
{
    Q_OBJECT
public:
    explicit TProbeElement(TComponent *owner) : TObjectComponent(owner) { }
};

namespace {
const TClassRegistration<TProbeElement> registration;
}

#include "CProbeElement.moc"
