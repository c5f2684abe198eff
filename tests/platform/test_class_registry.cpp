#include "CClassRegistry.h"
#include "CComponent.h"

#include <QLibrary>
#include <gtest/gtest.h>

namespace {
class TScribe : public TObjectComponent
{
    Q_OBJECT
public:
    explicit TScribe(TComponent *owner) : TObjectComponent(owner) { }
};
} // namespace

TEST(ClassRegistry, FindsClassesWithoutRegardToCaseAndCreatesThemWithAnOwner)
{
    RegisterClass<TScribe>();
    const TRegisteredClass *found = GetClass(QStringLiteral("tscribe"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Name, QStringLiteral("TScribe"));
    EXPECT_EQ(found->MetaObject, &TScribe::staticMetaObject);

    TObjectComponent owner;
    TComponent *made = found->Create(&owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_NE(ComponentCast<TScribe>(made), nullptr);

    UnRegisterClass(QStringLiteral("TSCRIBE"));
    EXPECT_EQ(GetClass(QStringLiteral("TScribe")), nullptr);
    EXPECT_EQ(GetClass(QStringLiteral("TNeverRegistered")), nullptr);
}

TEST(ClassRegistry, LoadingAPlugInRegistersItsClassAndUnloadingRemovesIt)
{
    QLibrary plugIn(QStringLiteral(VELORA_TEST_PLUGIN_DIR "/vrPI_Probe.bpl"));
    ASSERT_TRUE(plugIn.load()) << plugIn.errorString().toStdString();
    const TRegisteredClass *probe = GetClass(QStringLiteral("TProbeElement"));
    ASSERT_NE(probe, nullptr);
    {
        TObjectComponent owner;
        probe->Create(&owner)->SetName(QStringLiteral("Probe1"));
        EXPECT_NE(owner.FindComponent(QStringLiteral("probe1")), nullptr);
    }
    ASSERT_TRUE(plugIn.unload());
    EXPECT_EQ(GetClass(QStringLiteral("TProbeElement")), nullptr);
}

#include "test_class_registry.moc"
