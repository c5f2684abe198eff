#include "CAppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString GlobalExecPath;
QString GlobalAppDataPath;
QString GlobalAppINI;

namespace {
QString WithSlash(const QString &path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}
} // namespace

void GlobalInitPaths()
{
    GlobalExecPath = WithSlash(QCoreApplication::applicationDirPath());

    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() && !QDir::homePath().isEmpty() && QDir::homePath() != QDir::rootPath())
        base = QDir::home().filePath(QStringLiteral(".config"));
    GlobalAppDataPath
        = base.isEmpty() ? GlobalExecPath : WithSlash(base) + QStringLiteral("Corvale/");

    GlobalAppINI = GlobalAppDataPath + QStringLiteral("Velora/App.ini");
}

QString GlobalProgramFiles()
{
    const QString installed
        = QDir::cleanPath(GlobalExecPath + QStringLiteral("../../share/velora"));
    if (QFileInfo(installed).isDir())
        return WithSlash(installed);
    return WithSlash(QDir::cleanPath(GlobalExecPath + QStringLiteral("../examples")));
}
