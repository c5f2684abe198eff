#pragma once
// A headless browser driven through the W3C WebDriver protocol: Debian's
// chromedriver on 127.0.0.1, started by the session and ended with it.

#include "BrowserServers.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QNetworkAccessManager>
#include <QString>
#include <QTemporaryDir>

class TWebDriverSession
{
public:
    TWebDriverSession();
    ~TWebDriverSession();
    TWebDriverSession(const TWebDriverSession &) = delete;
    TWebDriverSession &operator=(const TWebDriverSession &) = delete;

    // Empty when the browser is ready; otherwise why not.
    QString Start();

    // Every call below records the driver's complaint in LastError() and
    // returns an empty or false answer when the browser refused it.
    bool Navigate(const QString &url);
    QString CurrentUrl();
    // The first element with the name attribute; empty when there is none.
    QString FindByName(const QString &name);
    bool SendKeys(const QString &element, const QString &text);
    bool Clear(const QString &element);
    bool Click(const QString &element);
    // Runs a function body in the page and returns what it returns.
    QJsonValue Execute(const QString &script, const QJsonArray &arguments = {});
    // Polls the script until it returns true.
    bool WaitUntil(const QString &script, int timeoutMs);
    // The text of the open alert; empty with no alert open.
    QString AlertText();
    bool AcceptAlert();
    QString PageSource();
    QString LastError() const { return m_lastError; }
    // The driver's own log, for failure messages.
    QString DriverLog() { return m_driver.Output(); }

private:
    // The answer's "value"; Undefined when the command failed.
    QJsonValue Command(const QByteArray &verb, const QString &path,
                       const QJsonObject &body = QJsonObject());
    QString SessionPath(const QString &path) const;
    void EndSession();

    QTemporaryDir m_profile;
    TGuardedProcess m_driver;
    QNetworkAccessManager m_network;
    int m_port = 0;
    QString m_session;
    QString m_lastError;
};
