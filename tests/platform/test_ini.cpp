#include "CAppPaths.h"
#include "Cini.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(Ini, ValuesReadBackVerbatimAndSectionsKeepTheirPlace)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Velora/App.ini"));
    const QString offset = QStringLiteral("\"Office A\", \"Printer 1\", 1.5, -2");
    ASSERT_TRUE(INIWriteStr(ini, QStringLiteral("App"), QStringLiteral("LastOpenDir"),
                            QStringLiteral("/tmp")));
    ASSERT_TRUE(INIWriteStr(ini, QStringLiteral("PrinterOffsets"), QStringLiteral("Ofs0"), offset));
    ASSERT_TRUE(INIWriteStr(ini, QStringLiteral("Recents"), QStringLiteral("File1"),
                            QStringLiteral("a.vld")));
    // Writing into the first section again must not move the second one.
    ASSERT_TRUE(INIWriteInt(ini, QStringLiteral("app"), QStringLiteral("Zoom"), 125));

    EXPECT_EQ(
        INIReadStr(ini, QStringLiteral("printeroffsets"), QStringLiteral("OFS0"), {}).toUtf8(),
        offset.toUtf8());
    EXPECT_EQ(ReadAll(ini),
              QByteArray("[App]\nLastOpenDir=/tmp\nZoom=125\n\n"
                         "[PrinterOffsets]\nOfs0=\"Office A\", \"Printer 1\", 1.5, -2\n\n"
                         "[Recents]\nFile1=a.vld\n\n"));
}

TEST(Ini, TypedReadsFallBackToTheirDefaults)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("a.ini"));
    EXPECT_EQ(INIReadInt(ini, QStringLiteral("S"), QStringLiteral("Missing"), 5), 5);
    EXPECT_FALSE(INISectionExists(ini, QStringLiteral("S")));
    INIWriteBool(ini, QStringLiteral("S"), QStringLiteral("Flag"), true);
    INIWriteStr(ini, QStringLiteral("S"), QStringLiteral("Bad"), QStringLiteral("twelve"));
    INIWriteStr(ini, QStringLiteral("S"), QStringLiteral("Hex"), QStringLiteral("$1F"));
    EXPECT_TRUE(INIReadBool(ini, QStringLiteral("S"), QStringLiteral("Flag"), false));
    EXPECT_EQ(INIReadInt(ini, QStringLiteral("S"), QStringLiteral("Bad"), -1), -1);
    EXPECT_EQ(INIReadInt(ini, QStringLiteral("S"), QStringLiteral("Hex"), 0), 31);
    EXPECT_EQ(INIReadSection(ini, QStringLiteral("s")), QStringList({"Flag", "Bad", "Hex"}));
    EXPECT_EQ(INIReadSectionValues(ini, QStringLiteral("S")).first(), QStringLiteral("Flag=1"));

    // A value with a line break stays one entry.
    INIWriteStr(ini, QStringLiteral("S"), QStringLiteral("Text"), QStringLiteral("a\nB=2"));
    EXPECT_FALSE(INIReadSection(ini, QStringLiteral("S")).contains(QStringLiteral("B")));

    INIEraseSection(ini, QStringLiteral("S"));
    EXPECT_FALSE(INISectionExists(ini, QStringLiteral("S")));
}

TEST(Ini, AFailedWriteReportsItAndLeavesTheFileAlone)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("file"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    // The settings folder cannot be made where a file stands.
    EXPECT_FALSE(INIWriteStr(blocker + QStringLiteral("/App.ini"), QStringLiteral("S"),
                             QStringLiteral("K"), QStringLiteral("V")));
    EXPECT_EQ(ReadAll(blocker), QByteArray("x"));
}

TEST(Paths, SettingsLiveUnderTheConfigurationFolder)
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_FALSE(config.isEmpty());
    EXPECT_EQ(GlobalAppDataPath, config + QStringLiteral("/Corvale/"));
    EXPECT_EQ(GlobalAppINI, GlobalAppDataPath + QStringLiteral("Velora/App.ini"));
    EXPECT_TRUE(GlobalExecPath.endsWith(u'/'));
}
