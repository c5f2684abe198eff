// Printing without a window: outputs that are whole or absent, never the document
// itself, saved offsets chosen by name, and the printer queues listed.

#include "ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class UnattendedPrint : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString &name) const { return m_dir.filePath(name); }
    QString Config() const { return Path(QStringLiteral("config")); }
    TRun Filler(const QStringList &arguments) const
    {
        return RunProgram("VeloraFiller", arguments, Config());
    }
    QTemporaryDir m_dir;
};
} // namespace

// A full disk: the PDF writer goes on without complaint, so the finished file is checked
// and the system's reason found. A small tmpfs of its own stands for the full disk.
TEST_F(UnattendedPrint, AFullDiskGivesTheSystemsReasonAndLeavesNoFile)
{
    const QString disk = Path(QStringLiteral("disk"));
    QDir().mkpath(disk);
    const QString script = QStringLiteral(
        "disk=$1; shift; mount -t tmpfs -o size=64k velora \"$disk\" || exit 77; \"$@\"; rc=$?; "
        "echo \"left: $(ls -A \"$disk\")\" >&2; exit $rc");
    QProcess program;
    program.setProcessEnvironment(WithoutDisplay(Config()));
    program.setProgram(QStringLiteral("unshare"));
    program.setArguments({QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                          QStringLiteral("sh"), disk,
                          QStringLiteral(VELORA_BIN_DIR "/VeloraFiller"),
                          QStringLiteral("--print-to-pdf"), disk + QStringLiteral("/out.pdf"),
                          Example("Welcome.vld")});
    program.start();
    ASSERT_TRUE(program.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    if (program.exitCode() == 77 || err.startsWith(QLatin1String("unshare:")))
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs user namespaces or root): "
                     << err.toStdString();
    EXPECT_EQ(program.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(
        QStringLiteral("Could not write \"%1/out.pdf\": No space left on device").arg(disk)))
        << err.toStdString();
    EXPECT_TRUE(err.trimmed().endsWith(QLatin1String("left:"))) << err.toStdString();
}

// --print-to-pdf F.vld F.vld would have replaced the form by its own print.
TEST_F(UnattendedPrint, RefusesToWriteTheDocumentItselfUnderAnyName)
{
    const QString form = Path(QStringLiteral("form.vld"));
    ASSERT_TRUE(QFile::copy(Example("Welcome.vld"), form));
    const QByteArray before = Contents(form);
    ASSERT_TRUE(QFile::link(form, Path(QStringLiteral("soft.pdf"))));
    ASSERT_EQ(::link(QFile::encodeName(form).constData(),
                     QFile::encodeName(Path(QStringLiteral("hard.pdf"))).constData()),
              0);
    QDir().mkpath(Path(QStringLiteral("sub")));
    for (const QString &out :
         {form, Path(QStringLiteral("soft.pdf")), Path(QStringLiteral("hard.pdf")),
          Path(QStringLiteral("sub/../form.vld"))}) {
        const TRun run = Filler({QStringLiteral("--print-to-pdf"), out, form});
        EXPECT_EQ(run.ExitCode, 1) << out.toStdString();
        EXPECT_TRUE(run.Err.contains(QLatin1String("is the document itself")))
            << run.Err.toStdString();
    }
    EXPECT_EQ(Contents(form), before);
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("soft.pdf"))).isSymLink());
}

TEST_F(UnattendedPrint, AFolderIsNamedAsAFolder)
{
    const QString folder = Path(QStringLiteral("folder.vld"));
    QDir().mkpath(folder);
    const TRun document
        = Filler({QStringLiteral("--print-to-pdf"), Path(QStringLiteral("out.pdf")), folder});
    EXPECT_EQ(document.ExitCode, 1);
    EXPECT_TRUE(document.Err.contains(QStringLiteral("%1 is a folder").arg(folder)))
        << document.Err.toStdString();
    const TRun output = Filler({QStringLiteral("--print-to-pdf"), folder, Example("Welcome.vld")});
    EXPECT_EQ(output.ExitCode, 1);
    EXPECT_TRUE(output.Err.contains(QLatin1String("It is a folder"))) << output.Err.toStdString();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("out.pdf"))));
}

TEST_F(UnattendedPrint, PrintOptionsGoTogetherOnlyAsTheyMean)
{
    const QString welcome = Example("Welcome.vld");
    const QString pdf = Path(QStringLiteral("out.pdf"));
    for (const QStringList &wrong :
         {QStringList {QStringLiteral("--printer"), QStringLiteral("PDF"), welcome},
          QStringList {QStringLiteral("--print"), QStringLiteral("--print-to-pdf"), pdf, welcome},
          QStringList {QStringLiteral("--offset"), QStringLiteral("A"), welcome},
          QStringList {QStringLiteral("--print")},
          QStringList {QStringLiteral("--list-printers"), welcome}}) {
        const TRun run = Filler(wrong);
        EXPECT_EQ(run.ExitCode, 2) << wrong.join(u' ').toStdString();
        EXPECT_TRUE(run.Err.contains(QLatin1String("Usage:"))) << run.Err.toStdString();
    }
    const TRun help = Filler({QStringLiteral("--help")});
    for (const char *option :
         {"--print ", "--printer <name>", "--list-printers", "--offset <name>", "--no-offsets"})
        EXPECT_TRUE(help.Out.contains(QLatin1String(option))) << option;
}

// Without a reachable print server there is no queue: --print says so and fails.
TEST_F(UnattendedPrint, WithoutQueuesPrintFailsAndListingShowsTheBuiltInPrinter)
{
    QProcess program;
    QProcessEnvironment env = WithoutDisplay(Config());
    env.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("127.0.0.1:9"));
    program.setProcessEnvironment(env);
    const TRun print
        = RunProgram(program, "VeloraFiller", {QStringLiteral("--print"), Example("Welcome.vld")});
    EXPECT_EQ(print.ExitCode, 1);
    EXPECT_TRUE(print.Err.contains(QLatin1String("There is no printer queue")))
        << print.Err.toStdString();

    QProcess lister;
    lister.setProcessEnvironment(env);
    const TRun list = RunProgram(lister, "VeloraFiller", {QStringLiteral("--list-printers")});
    EXPECT_EQ(list.ExitCode, 0) << list.Err.toStdString();
    EXPECT_TRUE(list.Out.startsWith(QLatin1String("Velora PDF Printer (built in")))
        << list.Out.toStdString();
    EXPECT_TRUE(list.Out.contains(QLatin1String("\n  A4 (210 x 297 mm)\n")))
        << list.Out.toStdString();
}
