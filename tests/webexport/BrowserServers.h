#pragma once
// Programs the browser tests start on 127.0.0.1: each in a process group of
// its own under a shell that ends the whole group when its input closes. The
// test closes it on teardown and the system closes it when the test dies, so
// no server or browser outlives the test, whichever way it ends.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class TGuardedProcess
{
public:
    TGuardedProcess() = default;
    ~TGuardedProcess();
    TGuardedProcess(const TGuardedProcess &) = delete;
    TGuardedProcess &operator=(const TGuardedProcess &) = delete;

    bool Start(const QString &program, const QStringList &arguments,
               const QProcessEnvironment &environment);
    bool Running() const { return m_process.state() == QProcess::Running; }
    // Ends the program and everything it started.
    void Stop();
    // Everything it wrote to its standard output and error since it started.
    QString Output();
    // Which of the texts it wrote first, waiting up to timeoutMs; -1 for none.
    int WaitForOutput(const QStringList &texts, int timeoutMs);

private:
    QProcess m_process;
    QByteArray m_output;
};

// The environment of the programs the tests start: none of the sanitizer
// settings of an instrumented test reach programs that are not instrumented.
QProcessEnvironment ChildEnvironment();
// A port on 127.0.0.1 that nothing listened on a moment ago.
int FreePort();
// An executable on the path; empty when there is none.
QString FindProgram(const QString &name);
// Waits up to timeoutMs for an HTTP answer (any status) from the URL.
bool WaitForHttp(const QString &url, int timeoutMs);

// php's built-in web server on a folder, mail() handing each message to a
// script that keeps it as a file.
class TPhpServer
{
public:
    // Empty when it answers; otherwise why not.
    QString Start(const QString &documentRoot);
    void Stop() { m_process.Stop(); }
    QString Url(const QString &file) const;
    int Port() const { return m_port; }
    // The messages mail() sent, oldest first, as the mail program received them.
    QList<QByteArray> Mails() const;
    void ForgetMails();
    // The server's request log and whatever the scripts reported.
    QString Log() { return m_process.Output(); }

private:
    QTemporaryDir m_mailFolder;
    TGuardedProcess m_process;
    int m_port = 0;
};
