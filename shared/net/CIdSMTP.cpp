#include "CIdSMTP.h"

#include <QUrl>
#include <cstring>
#include <curl/curl.h>
#include <memory>

namespace {
struct TUpload
{
    QByteArray Data;
    qsizetype Position = 0;
};

size_t ReadUpload(char *buffer, size_t size, size_t count, void *data)
{
    auto *upload = static_cast<TUpload *>(data);
    const qsizetype room = qsizetype(size * count);
    const qsizetype length = qMin(room, upload->Data.size() - upload->Position);
    memcpy(buffer, upload->Data.constData() + upload->Position, size_t(length));
    upload->Position += length;
    return size_t(length);
}

// An envelope address: angle brackets, and nothing that could end the SMTP command.
QByteArray Envelope(const QString &address)
{
    QString bare = TIdMessage::OneLine(address).trimmed();
    const qsizetype open = bare.lastIndexOf(u'<');
    const qsizetype close = bare.lastIndexOf(u'>');
    if (open >= 0 && close > open)
        bare = bare.mid(open + 1, close - open - 1).trimmed();
    return '<' + bare.toUtf8() + '>';
}

struct TCurlFree
{
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
} // namespace

void TIdSMTP::Send(const TIdMessage &message)
{
    TUpload upload;
    upload.Data = message.Encode();
    std::unique_ptr<CURL, TCurlFree> curl(curl_easy_init());
    if (!curl)
        throw EIdException(QStringLiteral("The mail library could not start."));
    std::unique_ptr<curl_slist, TCurlFree> recipients;
    for (const QString &address : message.AllRecipients())
        recipients.reset(curl_slist_append(recipients.release(), Envelope(address).constData()));

    const QByteArray url = "smtp://" + QUrl::toPercentEncoding(Host.trimmed(), ":[]") + ':'
        + QByteArray::number(Port);
    const QByteArray from = Envelope(message.From);
    const QByteArray user = Username.toUtf8();
    const QByteArray password = Password.toUtf8();
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(curl.get(), CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl.get(), CURLOPT_MAIL_RCPT, recipients.get());
    if (!user.isEmpty()) {
        curl_easy_setopt(curl.get(), CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl.get(), CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(curl.get(), CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    }
    // STARTTLS whenever the server offers it; plain otherwise, as port 25 servers allow.
    curl_easy_setopt(curl.get(), CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    curl_easy_setopt(curl.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(curl.get(), CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl.get(), CURLOPT_INFILESIZE_LARGE, curl_off_t(upload.Data.size()));
    Perform(curl.get(), QStringLiteral("Sending the message"));
}
