#include "CIdHTTP.h"

#include <QStringDecoder>
#include <QUrl>
#include <curl/curl.h>
#include <memory>

namespace {
struct TResponse
{
    QByteArray Body;
    bool TooLarge = false;
};

size_t WriteResponse(char *data, size_t size, size_t count, void *target)
{
    auto *response = static_cast<TResponse *>(target);
    const qsizetype length = qsizetype(size * count);
    if (response->Body.size() + length > TIdHTTP::MaxResponse) {
        response->TooLarge = true;
        return 0;
    }
    response->Body.append(data, length);
    return size_t(length);
}

QString Decoded(const QByteArray &body, const char *contentType)
{
    QByteArray charset = "UTF-8";
    const QByteArray type = QByteArray(contentType ? contentType : "").toLower();
    const qsizetype at = type.indexOf("charset=");
    if (at >= 0) {
        charset = type.mid(at + 8).split(';').value(0).trimmed();
        charset.replace('"', "");
    }
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder(body);
}

struct TCurlFree
{
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
} // namespace

QString TIdHTTP::Post(const QString &url, const QByteArray &body, const QString &contentType)
{
    m_responseCode = 0;
    std::unique_ptr<CURL, TCurlFree> curl(curl_easy_init());
    if (!curl)
        throw EIdException(QStringLiteral("The internet library could not start."));
    const QByteArray address = url.trimmed().toUtf8();
    Host = QUrl(url.trimmed()).host();
    const QByteArray typeHeader = "Content-Type: " + contentType.simplified().toLatin1();
    std::unique_ptr<curl_slist, TCurlFree> headers(
        curl_slist_append(nullptr, typeHeader.constData()));
    TResponse response;
    curl_easy_setopt(curl.get(), CURLOPT_URL, address.constData());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_POSTREDIR, long(CURL_REDIR_POST_ALL));
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_POST, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, WriteResponse);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &response);
    try {
        Perform(curl.get(), QStringLiteral("Posting to %1").arg(url.trimmed()));
    } catch (const EIdException &) {
        if (response.TooLarge)
            throw EIdException(QStringLiteral("The response of %1 is larger than %2 MB.")
                                   .arg(url.trimmed())
                                   .arg(MaxResponse / (1024 * 1024)));
        throw;
    }
    long code = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &code);
    m_responseCode = int(code);
    char *type = nullptr;
    curl_easy_getinfo(curl.get(), CURLINFO_CONTENT_TYPE, &type);
    if (code >= 400) {
        QString status;
        if (LastErrorReply(status) == 0)
            status = QStringLiteral("HTTP error %1").arg(code);
        throw EIdReplyError(int(code), status);
    }
    return Decoded(response.Body, type);
}
