#pragma once
// HTTP requests with libcurl; the response body comes back as text.

#include "CIdTCPClient.h"

#include <QByteArray>

class TIdHTTP : public TIdTCPClient
{
public:
    // Posts the body with that content type and returns the whole response body, decoded by
    // its charset (UTF-8 when it names none). A status of 400 or above raises EIdReplyError
    // with the status line.
    QString Post(const QString &url, const QByteArray &body,
                 const QString &contentType = QStringLiteral("application/x-www-form-urlencoded"));
    int ResponseCode() const { return m_responseCode; }

    // Responses beyond this many bytes are refused rather than held in memory.
    static constexpr qint64 MaxResponse = 16 * 1024 * 1024;

private:
    int m_responseCode = 0;
};
