#include "CDesignerMainForm.h"
#include "CFillerMainForm.h"

#include <QAction>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

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
