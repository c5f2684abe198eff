// The programs as cmake --install lays them out: started from the prefix they
// find their library, plug-ins, help and examples; the desktop sees their entries
// and the document type.

#include "CAppPaths.h"
#include "COnlineHelp.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {
struct TRunResult
{
    bool Finished = false;
    int ExitCode = -1;
    QString Output;
};

TRunResult RunTool(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    TRunResult result;
    result.Finished
        = process.waitForFinished(180000) && process.exitStatus() == QProcess::NormalExit;
    if (!result.Finished) {
        process.kill();
        process.waitForFinished();
    }
    result.ExitCode = process.exitCode();
    result.Output = QString::fromLocal8Bit(process.readAll());
    return result;
}

QString Tool(const char *name)
{
    return QStandardPaths::findExecutable(QLatin1String(name));
}
} // namespace

// One installation for the whole suite: installing takes a while.
class Installed : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_prefix = std::make_unique<QTemporaryDir>();
        const TRunResult install
            = RunTool(QStringLiteral(VELORA_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(VELORA_BUILD_DIR),
                       QStringLiteral("--prefix"), s_prefix->path()});
        s_installed = install.Finished && install.ExitCode == 0;
        s_installOutput = install.Output;
    }
    static void TearDownTestSuite() { s_prefix.reset(); }
    void SetUp() override { ASSERT_TRUE(s_installed) << s_installOutput.toStdString(); }

    static QString Path(const QString &relative) { return s_prefix->filePath(relative); }
    // An example document as installed; the invoice needs two plug-ins to open.
    static QString Example()
    {
        QDirIterator it(Path(QStringLiteral("share/velora")), {QStringLiteral("Invoice.vld")},
                        QDir::Files, QDirIterator::Subdirectories);
        return it.hasNext() ? it.next() : QString();
    }

    static inline std::unique_ptr<QTemporaryDir> s_prefix;
    static inline bool s_installed = false;
    static inline QString s_installOutput;
};

TEST_F(Installed, TheLauncherStartsTheFillerWhichFindsPlugInsHelpAndExamples)
{
    const QString lib = Path(QStringLiteral("lib/velora/"));
    for (const char *file :
         {"VeloraFiller", "VeloraDesigner", "libvelorashared.so.0", "vrPI_Scribe.bpl",
          "vrPI_Calc.bpl", "vrPI_Combo.bpl", "vrPI_Button.bpl", "vrPI_PdfPane.bpl",
          "Velora Filler.xml", "Velora Designer.xml"})
        EXPECT_TRUE(QFileInfo::exists(lib + QLatin1String(file))) << file;
    for (const char *page : {"filler/index.html", "filler/workspace.html", "designer/welcome.html",
                             "designer/style.css"})
        EXPECT_TRUE(
            QFileInfo::exists(Path(QStringLiteral("share/velora/help/") + QLatin1String(page))))
            << page;

    const QString example = Example();
    ASSERT_FALSE(example.isEmpty()) << "no example document installed";
    QTemporaryDir work;
    const QString pdf = work.filePath(QStringLiteral("out.pdf"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing of the build tree may help the installed programs along.
    env.remove(QStringLiteral("LD_LIBRARY_PATH"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("PATH"),
               Path(QStringLiteral("bin")) + QStringLiteral(":/usr/bin:/bin"));
    const TRunResult print = RunTool(Path(QStringLiteral("bin/VeloraFiller")),
                                     {QStringLiteral("--print-to-pdf"), pdf, example}, env);
    ASSERT_TRUE(print.Finished) << print.Output.toStdString();
    EXPECT_EQ(print.ExitCode, 0) << print.Output.toStdString();
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(5) == "%PDF-");

    // The help the installed filler opens: its map beside it, the pages under share/.
    const QString savedExecPath = GlobalExecPath;
    GlobalExecPath = lib;
    const QUrl page = OnlineHelpUrl(fhctx_Workspace);
    GlobalExecPath = savedExecPath;
    EXPECT_EQ(page.toLocalFile(), Path(QStringLiteral("share/velora/help/filler/workspace.html")));
    EXPECT_TRUE(QFileInfo::exists(page.toLocalFile()));
}

TEST_F(Installed, DesktopEntriesAreValid)
{
    const QString validate = Tool("desktop-file-validate");
    if (validate.isEmpty())
        GTEST_SKIP()
            << "desktop-file-validate is not installed (Debian package desktop-file-utils)";
    for (const char *entry : {"velora-filler.desktop", "velora-designer.desktop"}) {
        const QString file = Path(QStringLiteral("share/applications/")) + QLatin1String(entry);
        ASSERT_TRUE(QFileInfo::exists(file)) << entry;
        const TRunResult check = RunTool(validate, {file});
        EXPECT_TRUE(check.Finished && check.ExitCode == 0) << entry << check.Output.toStdString();
        // Warnings count too: a desktop may ignore an entry it only warns about.
        EXPECT_TRUE(check.Output.trimmed().isEmpty()) << entry << check.Output.toStdString();
    }
    QFile filler(Path(QStringLiteral("share/applications/velora-filler.desktop")));
    ASSERT_TRUE(filler.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(filler.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("\nMimeType=application/x-velora-document;")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=VeloraFiller %f\n")));
    for (const char *icon : {"apps/velora-filler.svg", "apps/velora-designer.svg",
                             "mimetypes/application-x-velora-document.svg"})
        EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("share/icons/hicolor/scalable/"))
                                      + QLatin1String(icon)))
            << icon;
}

TEST_F(Installed, TheDocumentTypeIsKnownByItsName)
{
    const QString update = Tool("update-mime-database");
    if (update.isEmpty())
        GTEST_SKIP() << "update-mime-database is not installed (Debian package shared-mime-info)";
    const QString query = Tool("xdg-mime");
    if (query.isEmpty())
        GTEST_SKIP() << "xdg-mime is not installed (Debian package xdg-utils)";
    const TRunResult database = RunTool(update, {Path(QStringLiteral("share/mime"))});
    ASSERT_TRUE(database.Finished && database.ExitCode == 0) << database.Output.toStdString();

    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_DIRS"),
               Path(QStringLiteral("share")) + QStringLiteral(":/usr/share"));
    // The user's own types and desktop stay out of it.
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    env.remove(QStringLiteral("DESKTOP_SESSION"));
    // A copy under another folder, so that the answer comes from the name alone.
    const QString copy = home.filePath(QStringLiteral("Some form.vld"));
    ASSERT_TRUE(QFile::copy(Example(), copy));
    const TRunResult type
        = RunTool(query, {QStringLiteral("query"), QStringLiteral("filetype"), copy}, env);
    ASSERT_TRUE(type.Finished) << type.Output.toStdString();
    EXPECT_EQ(type.Output.trimmed(), QStringLiteral("application/x-velora-document"))
        << type.Output.toStdString();
}
