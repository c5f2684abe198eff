#include <QProcess>
#include <gtest/gtest.h>

namespace {
struct TRun
{
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

TRun RunVldtool(const QStringList &args)
{
    QProcess process;
    // The C locale, so that "." is the decimal separator whatever the machine's settings.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VELORA_VLDTOOL), args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
} // namespace

TEST(Vldtool, EvalPrintsTheValueOrTheError)
{
    TRun run = RunVldtool({QStringLiteral("eval"), QStringLiteral("1/3 + 2^3^2")});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, "512.333333333333333\n");
    EXPECT_TRUE(run.Err.isEmpty());

    run = RunVldtool({QStringLiteral("eval"), QStringLiteral("hypot(3)")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_EQ(run.Err, "error 160 at 8: List separator expected\n");

    run = RunVldtool({QStringLiteral("eval"),
                      QString(10000, QLatin1Char('(')) + u'1' + QString(10000, QLatin1Char(')'))});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.startsWith("error 156 at "));
}

TEST(Vldtool, UnknownOrMissingCommandShowsUsage)
{
    for (const QStringList &args : {QStringList(), QStringList {QStringLiteral("evaluate")},
                                    QStringList {QStringLiteral("eval")}}) {
        const TRun run = RunVldtool(args);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Err.contains("usage: vldtool")) << run.Err.constData();
    }
}
