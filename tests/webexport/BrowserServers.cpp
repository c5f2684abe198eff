#include "BrowserServers.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {
// "$@" runs in the background, so the shell is free to wait for its input to
// close; kill 0 then ends its process group, which setsid made its own.
const char *const GuardScript = "\"$@\" & read -r _; kill -KILL 0";
} // namespace

TGuardedProcess::~TGuardedProcess()
{
    Stop();
}

bool TGuardedProcess::Start(const QString &program, const QStringList &arguments,
                            const QProcessEnvironment &environment)
{
    m_output.clear();
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setChildProcessModifier([] { ::setsid(); });
    m_process.start(QStringLiteral("/bin/sh"),
                    QStringList {QStringLiteral("-c"), QLatin1String(GuardScript),
                                 QStringLiteral("sh"), program}
                        + arguments);
    return m_process.waitForStarted(10000);
}

void TGuardedProcess::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    const qint64 group = m_process.processId();
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(5000)) {
        ::kill(pid_t(-group), SIGKILL);
        m_process.waitForFinished(5000);
    }
    m_output += m_process.readAll();
}

QString TGuardedProcess::Output()
{
    // What the program wrote is only read here; a short quiet ends the reading.
    while (m_process.bytesAvailable() > 0 || m_process.waitForReadyRead(20))
        m_output += m_process.readAll();
    return QString::fromUtf8(m_output);
}

int TGuardedProcess::WaitForOutput(const QStringList &texts, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        const QString output = Output();
        qsizetype first = -1;
        int found = -1;
        for (int i = 0; i < texts.size(); ++i) {
            const qsizetype at = output.indexOf(texts[i]);
            if (at >= 0 && (first < 0 || at < first)) {
                first = at;
                found = i;
            }
        }
        if (found >= 0)
            return found;
        m_process.waitForReadyRead(100);
    } while (!deadline.hasExpired());
    return -1;
}

QProcessEnvironment ChildEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LD_PRELOAD", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS",
                             "MSAN_OPTIONS", "TSAN_OPTIONS", "http_proxy", "https_proxy",
                             "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        env.remove(QLatin1String(name));
    return env;
}

int FreePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

QString FindProgram(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}

bool WaitForHttp(const QString &url, int timeoutMs)
{
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QNetworkRequest request {QUrl(url)};
        request.setTransferTimeout(2000);
        QNetworkReply *reply = network.get(request);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        reply->deleteLater();
        if (answered)
            return true;
        QThread::msleep(100);
    }
    return false;
}

QString TPhpServer::Start(const QString &documentRoot)
{
    const QString php = FindProgram(QStringLiteral("php"));
    if (php.isEmpty())
        return QStringLiteral("php is not installed (Debian package php-cli)");
    if (!m_mailFolder.isValid())
        return QStringLiteral("no temporary folder for the mail");
    // Each message is written under a temporary name and then renamed, so a
    // message seen is a whole one.
    const QString capture = m_mailFolder.filePath(QStringLiteral("capture-mail"));
    QFile script(capture);
    if (!script.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write the mail capture script");
    script.write(QStringLiteral("#!/bin/sh\n"
                                "f='%1'/mail-$(date +%s%N)-$$\n"
                                "cat > \"$f.part\" && mv \"$f.part\" \"$f.eml\"\n")
                     .arg(m_mailFolder.path())
                     .toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Another program may take the free port first; then the next one is tried.
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = FreePort();
        // Warnings and errors of the scripts go to the log, not into the pages.
        const QStringList arguments {
            QStringLiteral("-d"), QStringLiteral("sendmail_path=") + capture,
            QStringLiteral("-d"), QStringLiteral("display_errors=stderr"),
            QStringLiteral("-d"), QStringLiteral("error_reporting=-1"),
            QStringLiteral("-d"), QStringLiteral("log_errors=0"),
            QStringLiteral("-S"), QStringLiteral("127.0.0.1:%1").arg(m_port),
            QStringLiteral("-t"), documentRoot};
        if (!m_process.Start(php, arguments, ChildEnvironment()))
            return QStringLiteral("php did not start");
        const int started
            = m_process.WaitForOutput({QStringLiteral("(http://127.0.0.1:%1) started").arg(m_port),
                                       QStringLiteral("Failed to listen")},
                                      20000);
        if (started == 0 && WaitForHttp(Url(QString()), 20000))
            return {};
        m_process.Stop();
    }
    return QStringLiteral("php's server did not start: ") + m_process.Output();
}

QString TPhpServer::Url(const QString &file) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(file);
}

QList<QByteArray> TPhpServer::Mails() const
{
    QFileInfoList files = QDir(m_mailFolder.path())
                              .entryInfoList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name);
    QList<QByteArray> mails;
    for (const QFileInfo &info : files) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            mails << file.readAll();
    }
    return mails;
}

void TPhpServer::ForgetMails()
{
    for (const QFileInfo &info :
         QDir(m_mailFolder.path()).entryInfoList({QStringLiteral("mail-*")}, QDir::Files))
        QFile::remove(info.filePath());
}
