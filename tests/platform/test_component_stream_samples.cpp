#include "test_component_stream_samples.h"

#include "CClassRegistry.h"
#include "CPageControl.h"

namespace {
const TClassRegistration<TSampleComponent> registerComponent;
const TClassRegistration<TSampleRight> registerRight;
const TClassRegistration<TSamplePanel> registerPanel;
const TClassRegistration<TSampleHidden> registerHidden;
const TClassRegistration<TTabSheet> registerTabSheet;
} // namespace

void TSampleComponent::DefineProperties(TFiler &filer)
{
    filer.DefineBinaryProperty(
        QStringLiteral("Extra"), [this](const QByteArray &bytes) { Extra = bytes; },
        [this] { return Extra; }, !Extra.isEmpty());
    filer.DefineBinaryProperty(
        QStringLiteral("Legacy.Data"), [this](const QByteArray &bytes) { Legacy = bytes; }, {},
        false);
    filer.DefineProperty(
        QStringLiteral("Items"), [this](const TStreamValue &value) { Items = value; },
        [this] { return Items; }, Items.Type == vaCollection);
}
