#include "CAppPaths.h"

#include <QCoreApplication>
#include <QDir>

QString GlobalExecPath;
QString GlobalAppDataPath;
QString GlobalAppINI;
QString GlobalAppVisualClipboardFile;
QString GlobalAppNonVisualClipboardFile;
QString GlobalProgramFiles;

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
    GlobalAppVisualClipboardFile = GlobalAppDataPath + QStringLiteral("Velora/DATA.v");
    GlobalAppNonVisualClipboardFile = GlobalAppDataPath + QStringLiteral("Velora/DATA.nv");
    // Installed: <prefix>/lib/velora/ holds the programs, <prefix>/share/ the forms.
    // In the build tree: build/bin/ and build/share/.
    QDir up(GlobalExecPath);
    up.cdUp();
    if (up.dirName() == QStringLiteral("lib"))
        up.cdUp();
    GlobalProgramFiles = WithSlash(up.absoluteFilePath(QStringLiteral("share")));
}
