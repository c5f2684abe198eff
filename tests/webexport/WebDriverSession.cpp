#include "WebDriverSession.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QThread>

namespace {
// The key under which the protocol hands out element references.
const QString ElementKey = QStringLiteral("element-6066-11e4-a52e-4f735466cecf");
} // namespace

TWebDriverSession::TWebDriverSession()
{
    m_network.setProxy(QNetworkProxy::NoProxy);
}

TWebDriverSession::~TWebDriverSession()
{
    EndSession();
    m_driver.Stop();
}

QString TWebDriverSession::Start()
{
    const QString driver = FindProgram(QStringLiteral("chromedriver"));
    const QString browser = FindProgram(QStringLiteral("chromium"));
    if (driver.isEmpty())
        return QStringLiteral("chromedriver is not installed (Debian package chromium-driver)");
    if (browser.isEmpty())
        return QStringLiteral("chromium is not installed (Debian package chromium)");
    if (!m_profile.isValid())
        return QStringLiteral("no temporary folder for the browser profile");
    // The browser keeps everything it writes in the profile folder, none in the user's home.
    QProcessEnvironment env = ChildEnvironment();
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        env.insert(QLatin1String(name), m_profile.path());
    // Another program may take the free port first; then the next one is tried.
    bool listening = false;
    for (int attempt = 0; attempt < 3 && !listening; ++attempt) {
        m_port = FreePort();
        if (!m_driver.Start(driver, {QStringLiteral("--port=%1").arg(m_port)}, env))
            return QStringLiteral("chromedriver did not start");
        listening = m_driver.WaitForOutput(
                        {QStringLiteral("started successfully"), QStringLiteral("Exiting")}, 20000)
                == 0
            && WaitForHttp(QStringLiteral("http://127.0.0.1:%1/status").arg(m_port), 20000);
        if (!listening)
            m_driver.Stop();
    }
    if (!listening)
        return QStringLiteral("chromedriver did not start: ") + m_driver.Output();

    // Headless, and without the sandbox, which needs a user namespace that
    // containers and root do not offer.
    const QJsonArray browserArguments {QStringLiteral("--headless=new"),
                                       QStringLiteral("--no-sandbox"),
                                       QStringLiteral("--disable-gpu"),
                                       QStringLiteral("--disable-dev-shm-usage"),
                                       QStringLiteral("--no-first-run"),
                                       QStringLiteral("--no-proxy-server"),
                                       QStringLiteral("--disable-extensions"),
                                       QStringLiteral("--password-store=basic"),
                                       QStringLiteral("--window-size=1280,1024"),
                                       QStringLiteral("--user-data-dir=")
                                           + m_profile.filePath(QStringLiteral("profile"))};
    QJsonObject options {{QStringLiteral("binary"), browser},
                         {QStringLiteral("args"), browserArguments}};
    // Alerts stay open until the test reads them.
    QJsonObject capabilities {{QStringLiteral("browserName"), QStringLiteral("chrome")},
                              {QStringLiteral("unhandledPromptBehavior"), QStringLiteral("ignore")},
                              {QStringLiteral("goog:chromeOptions"), options}};
    const QJsonValue answer
        = Command("POST", QStringLiteral("/session"),
                  {{QStringLiteral("capabilities"),
                    QJsonObject {{QStringLiteral("alwaysMatch"), capabilities}}}});
    m_session = answer[QStringLiteral("sessionId")].toString();
    if (m_session.isEmpty())
        return QStringLiteral("the browser did not start: ") + m_lastError;
    Command("POST", SessionPath(QStringLiteral("/timeouts")),
            {{QStringLiteral("pageLoad"), 20000}, {QStringLiteral("script"), 10000}});
    return {};
}

bool TWebDriverSession::Navigate(const QString &url)
{
    return !Command("POST", SessionPath(QStringLiteral("/url")), {{QStringLiteral("url"), url}})
                .isUndefined();
}

QString TWebDriverSession::CurrentUrl()
{
    return Command("GET", SessionPath(QStringLiteral("/url"))).toString();
}

QString TWebDriverSession::FindByName(const QString &name)
{
    const QJsonValue found
        = Command("POST", SessionPath(QStringLiteral("/element")),
                  {{QStringLiteral("using"), QStringLiteral("css selector")},
                   {QStringLiteral("value"), QStringLiteral("[name=\"%1\"]").arg(name)}});
    return found[ElementKey].toString();
}

bool TWebDriverSession::SendKeys(const QString &element, const QString &text)
{
    return !Command("POST", SessionPath(QStringLiteral("/element/%1/value").arg(element)),
                    {{QStringLiteral("text"), text}})
                .isUndefined();
}

bool TWebDriverSession::Clear(const QString &element)
{
    return !Command("POST", SessionPath(QStringLiteral("/element/%1/clear").arg(element)))
                .isUndefined();
}

bool TWebDriverSession::Click(const QString &element)
{
    return !Command("POST", SessionPath(QStringLiteral("/element/%1/click").arg(element)))
                .isUndefined();
}

QJsonValue TWebDriverSession::Execute(const QString &script, const QJsonArray &arguments)
{
    return Command("POST", SessionPath(QStringLiteral("/execute/sync")),
                   {{QStringLiteral("script"), script}, {QStringLiteral("args"), arguments}});
}

bool TWebDriverSession::WaitUntil(const QString &script, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        if (Execute(script).toBool())
            return true;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

QString TWebDriverSession::AlertText()
{
    const QJsonValue text = Command("GET", SessionPath(QStringLiteral("/alert/text")));
    return text.isUndefined() ? QString() : text.toString();
}

bool TWebDriverSession::AcceptAlert()
{
    return !Command("POST", SessionPath(QStringLiteral("/alert/accept"))).isUndefined();
}

QString TWebDriverSession::PageSource()
{
    return Command("GET", SessionPath(QStringLiteral("/source"))).toString();
}

QJsonValue TWebDriverSession::Command(const QByteArray &verb, const QString &path,
                                      const QJsonObject &body)
{
    m_lastError.clear();
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/json; charset=utf-8"));
    request.setTransferTimeout(30000);
    QByteArray payload
        = verb == "POST" ? QJsonDocument(body).toJson(QJsonDocument::Compact) : QByteArray();
    QBuffer data(&payload);
    data.open(QIODevice::ReadOnly);
    QNetworkReply *reply = m_network.sendCustomRequest(request, verb, &data);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray answerBytes = reply->readAll();
    const QString transportError = reply->errorString();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    reply->deleteLater();
    const QJsonValue value = QJsonDocument::fromJson(answerBytes)[QStringLiteral("value")];
    if (!status.isValid()) {
        m_lastError = transportError;
        return QJsonValue(QJsonValue::Undefined);
    }
    if (value.isObject() && value[QStringLiteral("error")].isString()) {
        m_lastError = value[QStringLiteral("error")].toString() + QStringLiteral(": ")
            + value[QStringLiteral("message")].toString();
        return QJsonValue(QJsonValue::Undefined);
    }
    if (status.toInt() >= 400) {
        m_lastError
            = QStringLiteral("HTTP %1: ").arg(status.toInt()) + QString::fromUtf8(answerBytes);
        return QJsonValue(QJsonValue::Undefined);
    }
    // A command without an answer ("value": null) succeeded.
    return value.isUndefined() ? QJsonValue(QJsonValue::Null) : value;
}

QString TWebDriverSession::SessionPath(const QString &path) const
{
    return QStringLiteral("/session/") + m_session + path;
}

void TWebDriverSession::EndSession()
{
    if (m_session.isEmpty() || !m_driver.Running())
        return;
    // The driver closes its browser in order; the group's kill is only the fallback.
    Command("DELETE", SessionPath(QString()));
    m_session.clear();
}
