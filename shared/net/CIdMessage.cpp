#include "CIdMessage.h"

#include "CIdTCPClient.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QUrl>

namespace {
const QByteArray CRLF = QByteArrayLiteral("\r\n");

bool IsAscii(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 126 || (c.unicode() < 32 && c != u'\t'))
            return false;
    return true;
}

// Base64 in lines of 76 characters.
QByteArray Base64Lines(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    lines.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        lines += encoded.mid(i, 76) + CRLF;
    return lines;
}

// Lines ended by CR LF whatever the text used.
QString CrLfLines(const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return lines;
}

QByteArray Boundary()
{
    return QByteArrayLiteral("=_velora_")
        + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
}

QByteArray TextPart(const QString &body)
{
    const QString text = CrLfLines(body);
    bool plain = IsAscii(QString(text).remove(QStringLiteral("\r\n")));
    for (const QString &line : text.split(QStringLiteral("\r\n")))
        plain = plain && line.size() <= 998;
    QByteArray part = QByteArrayLiteral("Content-Type: text/plain; charset=UTF-8") + CRLF;
    if (plain)
        return part + QByteArrayLiteral("Content-Transfer-Encoding: 7bit") + CRLF + CRLF
            + text.toLatin1() + CRLF;
    return part + QByteArrayLiteral("Content-Transfer-Encoding: base64") + CRLF + CRLF
        + Base64Lines(text.toUtf8());
}

QByteArray FileNameParameter(const QString &name)
{
    if (IsAscii(name)) {
        QString quoted = name;
        quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        return "filename=\"" + quoted.toLatin1() + '"';
    }
    return "filename*=UTF-8''" + QUrl::toPercentEncoding(name);
}

QByteArray AttachmentPart(const TIdAttachment &attachment)
{
    QFile file(attachment.FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EIdException(QStringLiteral("Unable to read the attachment %1: %2")
                               .arg(attachment.FileName, file.errorString()));
    const QByteArray data = file.readAll();
    const QString name = TIdMessage::OneLine(QFileInfo(attachment.FileName).fileName());
    const QByteArray type = QMimeDatabase().mimeTypeForFile(attachment.FileName).name().toLatin1();
    return "Content-Type: " + (type.isEmpty() ? QByteArray("application/octet-stream") : type)
        + CRLF + "Content-Transfer-Encoding: base64" + CRLF + "Content-Disposition: attachment; "
        + FileNameParameter(name) + CRLF + CRLF + Base64Lines(data);
}
} // namespace

void TIdEMailAddressList::Add(const QString &address)
{
    const QString item = TIdMessage::OneLine(address).trimmed();
    if (!item.isEmpty())
        m_items.append(item);
}

QStringList TIdMessage::AllRecipients() const
{
    return Recipients.Addresses() + CCList.Addresses() + BccList.Addresses();
}

QString TIdMessage::OneLine(const QString &text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    return line;
}

QByteArray TIdMessage::HeaderText(const QString &text)
{
    const QString line = OneLine(text);
    if (IsAscii(line))
        return line.toLatin1();
    // Encoded words of at most 45 bytes of UTF-8 each, never splitting a character.
    QByteArrayList words;
    QByteArray chunk;
    for (qsizetype i = 0; i < line.size(); ++i) {
        qsizetype length = line.at(i).isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const QByteArray bytes = line.mid(i, length).toUtf8();
        i += length - 1;
        if (chunk.size() + bytes.size() > 45) {
            words.append("=?UTF-8?B?" + chunk.toBase64() + "?=");
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty())
        words.append("=?UTF-8?B?" + chunk.toBase64() + "?=");
    return words.join(CRLF + ' ');
}

QByteArray TIdMessage::Encode(const QDateTime &date) const
{
    QByteArray out;
    out += "From: " + HeaderText(From) + CRLF;
    if (Recipients.Count() > 0)
        out += "To: " + HeaderText(Recipients.EMailAddresses()) + CRLF;
    if (CCList.Count() > 0)
        out += "Cc: " + HeaderText(CCList.EMailAddresses()) + CRLF;
    out += "Subject: " + HeaderText(Subject) + CRLF;
    out += "Date: " + date.toString(Qt::RFC2822Date).toLatin1() + CRLF;
    out += "MIME-Version: 1.0" + CRLF;
    if (Attachments.empty())
        return out + TextPart(Body);
    const QByteArray boundary = Boundary();
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + '"' + CRLF + CRLF;
    out += "This is a multi-part message in MIME format." + CRLF;
    out += "--" + boundary + CRLF + TextPart(Body);
    for (const TIdAttachment &attachment : Attachments)
        out += "--" + boundary + CRLF + AttachmentPart(attachment);
    return out + "--" + boundary + "--" + CRLF;
}
