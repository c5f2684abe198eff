#pragma once
// The base of the internet clients: one libcurl transfer run on a worker
// thread while the calling thread keeps its windows alive, with a time-out,
// cancelling, progress and the server's own reply text in every error.

#include "CException.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// Any failure of a transfer; the message is fit to show to the user.
class EIdException : public EVeloraError
{
public:
    using EVeloraError::EVeloraError;
};

// The host could not be reached (name not found, connection refused).
class EIdConnectError : public EIdException
{
public:
    using EIdException::EIdException;
};

// The server did not answer within the time-out.
class EIdTimeout : public EIdException
{
public:
    using EIdException::EIdException;
};

// The user cancelled the transfer.
class EIdCancelled : public EIdException
{
public:
    using EIdException::EIdException;
};

// The server refused with a numbered reply; the message is its text as it gave it.
class EIdReplyError : public EIdException
{
public:
    EIdReplyError(int code, const QString &reply) : EIdException(reply), m_code(code) { }
    int ReplyCode() const { return m_code; }

private:
    int m_code;
};

class TIdTCPClient
{
public:
    TIdTCPClient();
    virtual ~TIdTCPClient();
    TIdTCPClient(const TIdTCPClient &) = delete;
    TIdTCPClient &operator=(const TIdTCPClient &) = delete;

    QString Host;
    int Port = 0;
    // Milliseconds allowed for connecting and for each wait on the server; taken from
    // DefaultTimeout when the client is made.
    int Timeout;

    // Every new client's time-out; programs keep the default, tests shorten it.
    static int DefaultTimeout();
    static void SetDefaultTimeout(int milliseconds);

    // Called on the calling thread while a transfer runs: bytes sent so far, and a status line.
    std::function<void(qint64)> OnWork;
    std::function<void(const QString &)> OnStatus;

    // Asks the running transfer to stop; it ends with EIdCancelled.
    void Cancel() { m_cancelled = true; }
    bool Busy() const { return m_busy; }
    // The lines the server answered during the last transfer.
    const QStringList &ServerReplies() const { return m_replies; }

protected:
    // Runs the prepared easy handle (a CURL *) to its end, keeping the event loop
    // turning; raises the matching EIdException on failure.
    void Perform(void *curl, const QString &what);
    void Status(const QString &text);
    // The last reply of the server that is an error (4xx or 5xx), or 0.
    int LastErrorReply(QString &text) const;

private:
    std::atomic<bool> m_cancelled {false};
    bool m_busy = false;
    QStringList m_replies;
};
