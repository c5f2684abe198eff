#include "CIdTCPClient.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>
#include <curl/curl.h>
#include <mutex>
#include <thread>

namespace {
std::atomic<int> g_defaultTimeout {30000};

void GlobalCurlInit()
{
    // Once, before any worker thread: curl_global_init is not thread-safe.
    static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
    Q_UNUSED(init);
}

// Shared between the worker and the calling thread.
struct TTransferState
{
    std::atomic<bool> *Cancelled = nullptr;
    std::atomic<curl_off_t> Sent {0};
    std::atomic<bool> Done {false};
    std::mutex Mutex;
    QStringList Replies;
    QString LastLine;
};

int TransferInfo(void *data, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent)
{
    auto *state = static_cast<TTransferState *>(data);
    state->Sent = sent;
    return state->Cancelled->load() ? 1 : 0;
}

int Debug(CURL *, curl_infotype type, char *text, size_t size, void *data)
{
    if (type != CURLINFO_HEADER_IN)
        return 0;
    auto *state = static_cast<TTransferState *>(data);
    const QString line = QString::fromUtf8(text, qsizetype(size)).trimmed();
    if (line.isEmpty())
        return 0;
    std::lock_guard lock(state->Mutex);
    state->Replies.append(line);
    return 0;
}

int Seconds(int milliseconds)
{
    return qMax(1, (milliseconds + 999) / 1000);
}
} // namespace

TIdTCPClient::TIdTCPClient() : Timeout(g_defaultTimeout)
{
    GlobalCurlInit();
}

TIdTCPClient::~TIdTCPClient() = default;

int TIdTCPClient::DefaultTimeout()
{
    return g_defaultTimeout;
}

void TIdTCPClient::SetDefaultTimeout(int milliseconds)
{
    g_defaultTimeout = qMax(1, milliseconds);
}

void TIdTCPClient::Status(const QString &text)
{
    if (OnStatus)
        OnStatus(text);
}

int TIdTCPClient::LastErrorReply(QString &text) const
{
    static const QRegularExpression reply(QStringLiteral("^(?:HTTP/\\S+ )?([45]\\d\\d)[ -]?"));
    for (qsizetype i = m_replies.size() - 1; i >= 0; --i) {
        const QRegularExpressionMatch match = reply.match(m_replies.at(i));
        if (match.hasMatch()) {
            text = m_replies.at(i);
            return match.captured(1).toInt();
        }
    }
    return 0;
}

void TIdTCPClient::Perform(void *handle, const QString &what)
{
    CURL *curl = static_cast<CURL *>(handle);
    TTransferState state;
    state.Cancelled = &m_cancelled;
    m_cancelled = false;
    m_replies.clear();
    char errorText[CURL_ERROR_SIZE] = {};
    const long seconds = Seconds(Timeout);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(Timeout));
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, seconds);
    // A server that stops answering in the middle is given up after the same time.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, seconds);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, TransferInfo);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, Debug);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &state);

    Status(QStringLiteral("Connecting to %1...").arg(Host));
    CURLcode result = CURLE_OK;
    m_busy = true;
    std::thread worker([&] {
        result = curl_easy_perform(curl);
        state.Done = true;
    });
    // Whatever leaves this scope, the worker is stopped and joined first.
    struct TJoin
    {
        std::thread &Worker;
        std::atomic<bool> &Cancelled;
        ~TJoin()
        {
            if (Worker.joinable()) {
                Cancelled = true;
                Worker.join();
            }
        }
    } join {worker, m_cancelled};
    {
        QEventLoop loop;
        QTimer poll;
        curl_off_t reported = -1;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            const curl_off_t sent = state.Sent;
            if (sent != reported && OnWork) {
                reported = sent;
                OnWork(qint64(sent));
            }
            if (state.Done)
                loop.quit();
        });
        poll.start(20);
        loop.exec();
    }
    worker.join();
    m_busy = false;
    {
        std::lock_guard lock(state.Mutex);
        m_replies = state.Replies;
    }
    if (OnWork)
        OnWork(qint64(state.Sent));
    if (result == CURLE_OK) {
        Status(QStringLiteral("Done."));
        return;
    }

    QString reply;
    const int code = LastErrorReply(reply);
    if (result == CURLE_ABORTED_BY_CALLBACK)
        throw EIdCancelled(QStringLiteral("%1 was cancelled.").arg(what));
    if (code != 0)
        throw EIdReplyError(code, reply);
    switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        throw EIdConnectError(QStringLiteral("Unable to connect to %1!\r%2")
                                  .arg(Host, QString::fromLocal8Bit(errorText)));
    case CURLE_OPERATION_TIMEDOUT:
        throw EIdTimeout(QStringLiteral("%1 did not answer within %2 seconds.")
                             .arg(Host.isEmpty() ? QStringLiteral("The server") : Host)
                             .arg(seconds));
    default:
        break;
    }
    QString text = QString::fromLocal8Bit(errorText).trimmed();
    if (text.isEmpty())
        text = QString::fromUtf8(curl_easy_strerror(result));
    throw EIdException(QStringLiteral("%1 failed: %2").arg(what, text));
}
