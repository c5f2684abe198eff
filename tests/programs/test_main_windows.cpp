#include "CDesignerMainForm.h"
#include "CFillerMainForm.h"
#include "ProgramRun.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

TEST(MainWindows, TitlesAndProgramIdentity)
{
    TFillerMainForm filler;
    TDesignerMainForm designer;
    filler.FormCreate();
    designer.FormCreate();
    EXPECT_EQ(filler.windowTitle(), QStringLiteral("Velora Filler"));
    EXPECT_EQ(designer.windowTitle(), QStringLiteral("Velora Designer"));
    // Only the filler answers 0 to "are you the filler?".
    EXPECT_EQ(SendMessage(&filler, 0x8401), 0);
    EXPECT_NE(SendMessage(&designer, 0x8401), 0);
}

TEST(MainWindows, CtrlQClosesTheWindow)
{
    TFillerMainForm filler;
    filler.FormCreate();
    filler.show();
    filler.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&filler));
    QTest::keyClick(&filler, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(filler.isVisible());
}

class ProgramStart : public ::testing::TestWithParam<const char *>
{
};

TEST_P(ProgramStart, OpensItsWindowAndQuitsCleanly)
{
    QTemporaryDir dir;
    const QString shot = dir.filePath(QStringLiteral("window.png"));
    QProcess program;
    program.start(QStringLiteral(VELORA_BIN_DIR "/") + QLatin1String(GetParam()),
                  {QStringLiteral("--screenshot=") + shot});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    const QImage image(shot);
    EXPECT_GE(image.width(), 400);
    EXPECT_GE(image.height(), 300);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ProgramStart,
                         ::testing::Values("VeloraFiller", "VeloraDesigner"));

// ---------------------------------------------------------------------------
// The command line, as a user at a terminal or a script meets it

class ProgramCommandLine : public ::testing::TestWithParam<const char *>
{
protected:
    QString Config() const { return m_config.path(); }
    QTemporaryDir m_config;
};

TEST_P(ProgramCommandLine, HelpAndVersionPrintWithoutADisplay)
{
    const TRun help = RunProgram(GetParam(), {QStringLiteral("--help")}, Config());
    EXPECT_EQ(help.ExitCode, 0) << help.Err.toStdString();
    EXPECT_TRUE(help.Out.contains(QLatin1String("Usage:"))) << help.Out.toStdString();
    EXPECT_TRUE(help.Out.contains(QLatin1String("--screenshot <file>")));
    // Only the filler prints to PDF.
    const bool filler = QLatin1String(GetParam()) == QLatin1String("VeloraFiller");
    EXPECT_EQ(help.Out.contains(QLatin1String("--print-to-pdf")), filler);
    EXPECT_EQ(help.Out.contains(QLatin1String("--publish-anyway")), filler);

    const TRun version = RunProgram(GetParam(), {QStringLiteral("--version")}, Config());
    EXPECT_EQ(version.ExitCode, 0) << version.Err.toStdString();
    EXPECT_EQ(version.Out,
              (filler ? QStringLiteral("Velora Filler ") : QStringLiteral("Velora Designer "))
                  + QStringLiteral(VELORA_VERSION "\n"));
}

TEST_P(ProgramCommandLine, AnUnknownOptionShowsTheUsageAndFails)
{
    const TRun run = RunProgram(GetParam(), {QStringLiteral("--bogus")}, Config());
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
    EXPECT_TRUE(run.Err.contains(QLatin1String("bogus"))) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(QLatin1String("Usage:"))) << run.Err.toStdString();
}

TEST_P(ProgramCommandLine, TwoDocumentsAreAnError)
{
    const TRun run
        = RunProgram(GetParam(), {Example("Employee.vld"), Example("Welcome.vld")}, Config());
    EXPECT_EQ(run.ExitCode, 2) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(QLatin1String("Usage:"))) << run.Err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ProgramCommandLine,
                         ::testing::Values("VeloraFiller", "VeloraDesigner"));

TEST(CommandLine, TheDesignerDoesNotPrintToPdf)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const TRun run = RunProgram("VeloraDesigner",
                                {QStringLiteral("--print-to-pdf"), pdf, Example("Welcome.vld")},
                                dir.filePath(QStringLiteral("config")));
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_TRUE(run.Err.contains(QLatin1String("print-to-pdf"))) << run.Err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

class PrintToPdf : public ::testing::Test
{
protected:
    QString Out() const { return m_dir.filePath(QStringLiteral("out.pdf")); }
    QString Config() const { return m_dir.filePath(QStringLiteral("config")); }
    // The files the command left, temporary ones included.
    QStringList Left() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }
    QTemporaryDir m_dir;
};

TEST_F(PrintToPdf, RefusesAFormThatFailsValidation)
{
    // The employee form has required fields; blank, it does not validate.
    const TRun run
        = RunProgram("VeloraFiller",
                     {QStringLiteral("--print-to-pdf"), Out(), Example("Employee.vld")}, Config());
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_TRUE(run.Err.contains(QLatin1String("--publish-anyway"))) << run.Err.toStdString();
    EXPECT_TRUE(Left().isEmpty()) << Left().join(u' ').toStdString();
}

TEST_F(PrintToPdf, PublishAnywayPrintsTheBlankForm)
{
    const TRun run = RunProgram("VeloraFiller",
                                {QStringLiteral("--print-to-pdf"), Out(), Example("Employee.vld"),
                                 QStringLiteral("--publish-anyway")},
                                Config());
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    // One A4 page, as the example is laid out.
    const QString info = PdfInfo(Out());
    EXPECT_TRUE(info.contains(QLatin1String("Pages: 1"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size: 595(\\.\\d+)? x 842"))))
        << info.toStdString();
    EXPECT_EQ(Left(), QStringList {QStringLiteral("out.pdf")});
    // An ordinary file for whoever reads it, not the private one a temporary file is.
    EXPECT_TRUE(QFile::permissions(Out()) & QFile::ReadOwner);
    EXPECT_TRUE(QFile::permissions(Out()) & QFile::WriteOwner);
}

// A disk that fills up mid-way: the PDF writer goes on without complaint, so
// only the finished file tells.
TEST_F(PrintToPdf, AWriteThatFailsLeavesTheOldFileAndFails)
{
    {
        QFile old(Out());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QProcess program;
    program.setProcessEnvironment(WithoutDisplay(Config()));
    program.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {20000, 20000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    const TRun run = RunProgram(program, "VeloraFiller",
                                {QStringLiteral("--print-to-pdf"), Out(), Example("Welcome.vld")});
    EXPECT_NE(run.ExitCode, 0);
    // The system's own reason, as it says it.
    EXPECT_TRUE(run.Err.contains(QLatin1String("Could not write \"") + Out() + QLatin1String("\": ")
                                 + QString::fromLocal8Bit(std::strerror(EFBIG))))
        << run.Err.toStdString();
    QFile old(Out());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_EQ(Left(), QStringList {QStringLiteral("out.pdf")});
}
