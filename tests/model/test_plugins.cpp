#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
#include "CComponentStream.h"
#include "CGlobal.h"
#include "CPlugIns.h"
#include "CSplashForm.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Each test installs copies of the built test plug-ins into a folder of its
// own, so every test loads fresh objects under the names it chooses.
class PlugIns : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { ScriptedDialogs().VerifyAllUsed(); }

    QString Folder() const { return dir.path() + u'/'; }
    void Install(const QString &built, const QString &as = {})
    {
        const QString from = QStringLiteral(VELORA_TEST_PLUGIN_DIR "vrPI_%1.bpl").arg(built);
        const QString to
            = Folder() + (as.isEmpty() ? QStringLiteral("vrPI_%1.bpl").arg(built) : as);
        ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
    }
    void Write(const QString &name, const QByteArray &bytes)
    {
        QFile file(Folder() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QList<int> Kinds(const TPlugIns &registry)
    {
        QList<int> kinds;
        for (const auto &plugIn : registry.List())
            kinds.append(plugIn->Kind());
        return kinds;
    }
    // The reason after the first line of a shown message.
    static QString Reason(int shown)
    {
        return ScriptedDialogs().Shown().at(shown).Text.section(u'\n', 1);
    }

    QTemporaryDir dir;
};
} // namespace

TEST_F(PlugIns, AFolderWithoutPlugInFilesGivesAnEmptyRegistrySilently)
{
    TPlugIns empty(Folder());
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(PlugInCount(Folder()), 0);

    // Near misses: another prefix, another extension, a folder with the right name.
    Write(QStringLiteral("other.bpl"), "x");
    Write(QStringLiteral("vrPI_Lib.so"), "x");
    ASSERT_TRUE(QDir(Folder()).mkdir(QStringLiteral("vrPI_Folder.bpl")));
    TPlugIns nearMisses(dir.path()); // no trailing "/"
    EXPECT_EQ(nearMisses.Count(), 0);
    EXPECT_EQ(PlugInCount(dir.path()), 0);

    TPlugIns missing(Folder() + QStringLiteral("nowhere/"));
    EXPECT_EQ(missing.Count(), 0);
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
    EXPECT_FALSE(GlobalLoadingProject);
}

TEST_F(PlugIns, KindsEndInPaletteOrderWhicheverFileLoadsFirst)
{
    Install(QStringLiteral("TestButton")); // 105, first by name
    Install(QStringLiteral("TestScribe")); // 20
    TPlugIns registry(Folder());
    EXPECT_EQ(Kinds(registry), (QList<int> {20, 105}));
    registry.Clear();
    registry.GetPlugIns();
    ASSERT_EQ(Kinds(registry), (QList<int> {105, 20}));

    // Upper case sorts before lower case: now the text box loads first.
    registry.Clear();
    ASSERT_TRUE(QFile::rename(Folder() + QStringLiteral("vrPI_TestScribe.bpl"),
                              Folder() + QStringLiteral("VRPI_TestScribe.bpl")));
    registry.GetPlugIns();
    ASSERT_EQ(Kinds(registry), (QList<int> {20, 105}));
    registry.LoadPlugIns();
    EXPECT_EQ(Kinds(registry), (QList<int> {20, 105}));
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
    EXPECT_FALSE(GlobalLoadingProject);
}

TEST_F(PlugIns, AnEntryHoldsItsPrototypeHintAndImages)
{
    Install(QStringLiteral("TestScribe"));
    TPlugIns registry(Folder());
    const TPlugIn *scribe = registry.PlugIn(20);
    ASSERT_NE(scribe, nullptr);
    EXPECT_EQ(scribe->ClassName(), QStringLiteral("TTestScribe"));
    EXPECT_EQ(scribe->FileName(), Folder() + QStringLiteral("vrPI_TestScribe.bpl"));
    EXPECT_EQ(scribe->Hint(), QStringLiteral("Text Box"));
    EXPECT_EQ(scribe->Instance()->Owner(), nullptr);
    EXPECT_EQ(scribe->Instance()->property("EditorRegistrations").toInt(), 1);

    const QPixmap *palette = registry.PlugInPaletteToolBarImage(20, false);
    const QPixmap *toolBar = registry.PlugInPaletteToolBarImage(20, true);
    ASSERT_TRUE(palette && toolBar);
    EXPECT_EQ(palette, scribe->PaletteImage());
    EXPECT_EQ(palette->size(), QSize(24, 24));
    EXPECT_EQ(toolBar->size(), QSize(16, 16));
}

TEST_F(PlugIns, AKindOutsideTheTableSortsFirstAndAnyPrefixCaseIsFound)
{
    Install(QStringLiteral("TestButton"));
    Install(QStringLiteral("X"), QStringLiteral("vRpI_x.bpl"));
    Install(QStringLiteral("TestScribe"));
    EXPECT_EQ(PlugInCount(Folder()), 3);
    TPlugIns registry(Folder());
    ASSERT_EQ(Kinds(registry), (QList<int> {5, 20, 105}));

    const TPlugIn *x = registry.List().front().get();
    EXPECT_EQ(x->ClassName().compare(QLatin1String("TX"), Qt::CaseInsensitive), 0);
    EXPECT_STREQ(x->Instance()->metaObject()->className(), "TX");
    EXPECT_EQ(x->Instance()->GetPlugInPaletteGroupName(), QStringLiteral("Default"));
    EXPECT_TRUE(x->Hint().isEmpty());
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
}

TEST_F(PlugIns, BrokenPlugInsAreReportedWithTheirReasonsAndTheOthersLoad)
{
    Write(QStringLiteral("vrPI_Garbage.bpl"), "this is not a shared object");
    Install(QStringLiteral("NoImages"));
    Install(QStringLiteral("TestButton"), QStringLiteral("vrPI_Renamed.bpl"));
    Install(QStringLiteral("TestScribe"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Error loading TGarbage plug-in.\n"));
    ScriptedDialogs().ExpectMessage(mrOk,
                                    QStringLiteral("vrPI_Garbage plug-in is not installed.\n"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Error loading TNoImages plug-in.\n"));
    ScriptedDialogs().ExpectMessage(mrOk,
                                    QStringLiteral("vrPI_NoImages plug-in is not installed.\n"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Error loading TRenamed plug-in.\n"));
    ScriptedDialogs().ExpectMessage(mrOk,
                                    QStringLiteral("vrPI_Renamed plug-in is not installed.\n"));

    TSplashForm splash;
    splash.SetProgressMax(PlugInCount(Folder()));
    splash.show();
    TPlugIns registry(Folder());

    EXPECT_EQ(Kinds(registry), QList<int> {20});
    EXPECT_EQ(splash.Progress(), 4);
    EXPECT_EQ(splash.ProgressMax(), 4);
    ASSERT_EQ(ScriptedDialogs().Shown().size(), 6);
    for (int i = 0; i < 6; i += 2) {
        EXPECT_EQ(ScriptedDialogs().Shown().at(i).Type, mtError);
        EXPECT_EQ(Reason(i), Reason(i + 1)) << "the real reason, not a bare abort";
    }
    EXPECT_TRUE(Reason(0).contains(QLatin1String("vrPI_Garbage.bpl"))) << Reason(0).toStdString();
    EXPECT_TRUE(Reason(2).contains(QLatin1String(":/plugins/TNOIMAGES.png")));
    EXPECT_TRUE(Reason(4).contains(QLatin1String("TRenamed")));
    // A refused file is unloaded again, taking its class with it.
    EXPECT_EQ(GetClass(QStringLiteral("TNoImages")), nullptr);
    EXPECT_EQ(GetClass(QStringLiteral("TTestButton")), nullptr);
}

TEST_F(PlugIns, InstancesOfInstalledKindsAndNullForOthers)
{
    Install(QStringLiteral("TestScribe"));
    TPlugIns registry(Folder());
    TObjectComponent owner;

    TBasePgCtrl *prototype = registry.PlugInInstance(20, false, &owner);
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype, registry.PlugIn(20)->Instance());
    EXPECT_EQ(owner.ComponentCount(), 0);

    TBasePgCtrl *made = registry.PlugInInstance(20, true, &owner);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(made, prototype);
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(made->ClassTypeID(), 20);

    EXPECT_TRUE(registry.Installed(20));
    EXPECT_EQ(registry.PlugIn(20)->Description(),
              QStringLiteral("Velora TestScribe Test Plug-In."));
    for (int kind : {80, -1}) {
        EXPECT_FALSE(registry.Installed(kind));
        EXPECT_EQ(registry.PlugIn(kind), nullptr);
        EXPECT_EQ(registry.PlugInInstance(kind, false, nullptr), nullptr);
        EXPECT_EQ(registry.PlugInInstance(kind, true, &owner), nullptr);
        EXPECT_EQ(registry.PlugInPaletteToolBarImage(kind, false), nullptr);
        EXPECT_EQ(registry.PlugInPaletteToolBarImage(kind, true), nullptr);
    }
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST_F(PlugIns, UnloadingTakesEveryClassAndResourceAway)
{
    Install(QStringLiteral("TestScribe"));
    Install(QStringLiteral("TestButton"));
    Install(QStringLiteral("X"));
    const int before = RegisteredClassCount();
    auto registry = std::make_unique<TPlugIns>(Folder());
    GlobalPlugIns = registry.get();
    ASSERT_EQ(registry->Count(), 3);
    EXPECT_EQ(RegisteredClassCount(), before + 3);
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/plugins/TTESTSCRIBE_1.png")));
    {
        TObjectComponent owner;
        for (int kind : {5, 20, 105})
            ASSERT_NE(registry->PlugInInstance(kind, true, &owner), nullptr);
    }
    registry.reset();

    EXPECT_EQ(GlobalPlugIns, nullptr);
    EXPECT_EQ(RegisteredClassCount(), before);
    for (const char *name : {"TTestScribe", "TTestButton", "TX"})
        EXPECT_EQ(GetClass(QString::fromLatin1(name)), nullptr) << name;
    // The resources go with the code, so the objects were really unloaded.
    EXPECT_FALSE(QFile::exists(QStringLiteral(":/plugins/TTESTSCRIBE_1.png")));
    EXPECT_FALSE(QFile::exists(QStringLiteral(":/plugins/TX.png")));
}

TEST_F(PlugIns, AKindWithTypesOfItsOwnLoadsAgainAfterUnloading)
{
    Install(QStringLiteral("TestScribe"));
    QByteArray first;
    for (int round = 0; round < 3; ++round) {
        auto registry = std::make_unique<TPlugIns>(Folder());
        GlobalPlugIns = registry.get();
        ASSERT_EQ(registry->Count(), 1);
        {
            TObjectComponent owner;
            TBasePgCtrl *element = registry->PlugInInstance(20, true, &owner);
            ASSERT_NE(element, nullptr);
            element->SetName(QStringLiteral("Box"));
            // Writing and reading ask every published property for its type,
            // the kind's own group and enumeration among them.
            const QByteArray bytes = ComponentToBytes(element);
            TMemoryStream stream(bytes);
            ReadComponent(stream, element);
            TMemoryStream text(bytes);
            const QString shown = ComponentToText(text);
            EXPECT_TRUE(shown.contains(QStringLiteral("ShadeColor"))) << shown.toStdString();
            if (round == 0)
                first = bytes;
            EXPECT_EQ(bytes, first);
        }
        registry.reset();
    }
    EXPECT_EQ(QMetaType::fromName("TTestScribePropGroupShade*"), QMetaType());
}

TEST_F(PlugIns, APlugInStaysLoadedWhileItsElementsLive)
{
    Install(QStringLiteral("Lingering"));
    auto registry = std::make_unique<TPlugIns>(Folder());
    auto owner = std::make_unique<TObjectComponent>();
    TBasePgCtrl *element = registry->PlugInInstance(90, true, owner.get());
    ASSERT_NE(element, nullptr);

    registry.reset();
    // Unmapped code would crash here, and again when the owner frees the element.
    EXPECT_EQ(element->ClassTypeID(), 90);
    owner.reset();
}

TEST_F(PlugIns, TheSplashGaugeIsSizedByThePlugInFiles)
{
    EXPECT_EQ(SplashForm, nullptr);
    {
        TSplashForm splash;
        EXPECT_EQ(SplashForm, &splash);
        EXPECT_FALSE(splash.isModal());
        EXPECT_EQ(splash.ProgressMax(), PlugInCount());
        EXPECT_EQ(splash.Progress(), 0);
        splash.SetProgressMax(1);
        splash.UpdateProgressBar(2); // a file that arrived after counting
        EXPECT_EQ(splash.Progress(), 2);
    }
    EXPECT_EQ(SplashForm, nullptr);
}
