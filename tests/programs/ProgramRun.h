#pragma once
// The programs run as a user at a terminal or a script runs them.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct TRun
{
    int ExitCode = -1;
    QString Out;
    QString Err;
};

// No display of any kind, and settings of its own: what a script on a server has.
inline QProcessEnvironment WithoutDisplay(const QString &configFolder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    return env;
}

inline TRun RunProgram(QProcess &program, const char *name, const QStringList &arguments)
{
    program.start(QStringLiteral(VELORA_BIN_DIR "/") + QLatin1String(name), arguments);
    TRun run;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.ExitCode = program.exitCode();
    run.Out = QString::fromLocal8Bit(program.readAllStandardOutput());
    run.Err = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

inline TRun RunProgram(const char *name, const QStringList &arguments, const QString &configFolder)
{
    QProcess program;
    program.setProcessEnvironment(WithoutDisplay(configFolder));
    return RunProgram(program, name, arguments);
}

inline QString Example(const char *name)
{
    return QStringLiteral(VELORA_BUILD_DIR "/examples/") + QLatin1String(name);
}

// pdfinfo's "Pages:" and "Page size:" lines.
inline QString PdfInfo(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {pdf});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    QStringList lines;
    for (const QString &line : QString::fromLocal8Bit(tool.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(QLatin1String("Pages:"))
            || line.startsWith(QLatin1String("Page size:")))
            lines << line.simplified();
    return lines.join(u'\n');
}
