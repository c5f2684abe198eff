#pragma once
// Servers the button tests talk to, on 127.0.0.1 at a free port: an SMTP
// server (python3-aiosmtpd) that keeps what it receives, an HTTP server that
// answers a post with the fields it parsed, and one that never answers.

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Debian's interpreter, which has the packages the servers need, ahead of any other on the path.
inline QString Python()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

class TScriptServer
{
public:
    ~TScriptServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // Starts python3 on the script with the arguments; the script prints its port first.
    bool Start(const QString &script, const QStringList &arguments)
    {
        const QString path = m_dir.filePath(QStringLiteral("server.py"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(script.toUtf8());
        file.close();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(Python(), QStringList {QStringLiteral("-u"), path} + arguments);
        if (!m_process.waitForStarted(10000))
            return false;
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(20000))
                return false;
        Port = m_process.readLine().trimmed().toInt();
        return Port > 0;
    }
    QString Folder() const { return m_dir.path(); }
    QString File(const QString &name) const { return m_dir.filePath(name); }

    int Port = 0;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

// Keeps every message in <folder>/message.eml and its envelope in envelope.txt;
// "refuse" makes every login fail.
inline const char *SmtpServerScript = R"PY(
import os, socket, sys, threading, time
# Ends with the test that started it, even when that one dies.
threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()
from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult
mode, folder = sys.argv[1], sys.argv[2]
class Handler:
    async def handle_DATA(self, server, session, envelope):
        with open(os.path.join(folder, 'message.tmp'), 'wb') as f:
            f.write(envelope.original_content)
        with open(os.path.join(folder, 'envelope.txt'), 'w') as f:
            f.write(envelope.mail_from + '\n' + '\n'.join(envelope.rcpt_tos) + '\n')
        os.rename(os.path.join(folder, 'message.tmp'), os.path.join(folder, 'message.eml'))
        return '250 Message accepted for delivery'
def login(server, session, envelope, mechanism, data):
    ok = mode == 'accept' and data.login == b'filler' and data.password == b'secret'
    return AuthResult(success=ok, handled=False)
probe = socket.socket()
probe.bind(('127.0.0.1', 0))
port = probe.getsockname()[1]
probe.close()
controller = Controller(Handler(), hostname='127.0.0.1', port=port, authenticator=login,
                        auth_require_tls=False)
controller.start()
print(port, flush=True)
while True:
    time.sleep(3600)
)PY";

// Answers a post with the fields it parsed, one "name=value" line each, and keeps the raw body.
inline const char *HttpServerScript = R"PY(
import os, sys, threading
threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()
from http.server import BaseHTTPRequestHandler, HTTPServer
from urllib.parse import parse_qsl
folder = sys.argv[1]
class Handler(BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers['Content-Length']))
        with open(os.path.join(folder, 'body.txt'), 'wb') as f:
            f.write(body)
        with open(os.path.join(folder, 'type.txt'), 'w') as f:
            f.write(self.headers['Content-Type'])
        if self.path == '/missing':
            self.send_error(404, 'No such form here')
            return
        pairs = parse_qsl(body.decode('ascii'), keep_blank_values=True, strict_parsing=True,
                          encoding='utf-8', errors='strict')
        answer = '<html><body>' + '\n'.join(n + '=' + v for n, v in pairs) + '</body></html>'
        data = answer.encode('utf-8')
        self.send_response(200)
        self.send_header('Content-Type', 'text/html; charset=utf-8')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)
    def log_message(self, *args):
        pass
server = HTTPServer(('127.0.0.1', 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
)PY";

inline bool HaveSmtpServer()
{
    QProcess probe;
    probe.start(Python(), {QStringLiteral("-c"), QStringLiteral("import aiosmtpd")});
    return probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit
        && probe.exitCode() == 0;
}
