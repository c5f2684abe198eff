#pragma once
// An e-mail message and its MIME form: address lists, text body, file
// attachments. Header values never carry CR or LF, so no text of the user can
// add a header of its own.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

class TIdEMailAddressList
{
public:
    // Adds one address, trimmed and without line breaks; empty items are ignored.
    void Add(const QString &address);
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    const QString &Items(int index) const { return m_items.at(index); }
    const QStringList &Addresses() const { return m_items; }
    // The addresses as a header gives them, separated by ", ".
    QString EMailAddresses() const { return m_items.join(QStringLiteral(", ")); }

private:
    QStringList m_items;
};

class TIdAttachment
{
public:
    // The file is read when the message is encoded.
    explicit TIdAttachment(const QString &fileName) : FileName(fileName) { }
    QString FileName;
};

class TIdMessage
{
public:
    TIdEMailAddressList Recipients;
    TIdEMailAddressList CCList;
    TIdEMailAddressList BccList;
    QString From;
    QString Subject;
    QString Body;
    std::vector<TIdAttachment> Attachments;

    // Every address the message goes to: To, CC, then BCC.
    QStringList AllRecipients() const;
    // The message as sent, lines ended by CR LF; BCC stays out of the headers.
    // Raises EIdException when an attachment cannot be read.
    QByteArray Encode(const QDateTime &date = QDateTime::currentDateTime()) const;

    // A header value on one line, with non-ASCII text as encoded words.
    static QByteArray HeaderText(const QString &text);
    static QString OneLine(const QString &text);
};
