#pragma once
// Sends a button's e-mail: over SMTP when a host, a user ID and a password are
// given, otherwise as a "mailto:" address handed to the desktop's mail program.

#include <QString>

class TIdEMailAddressList;
class TButtonAction;

class TEMailer
{
public:
    TEMailer() = default;
    // The e-mail settings of an action.
    explicit TEMailer(const TButtonAction &action);

    QString Attachments; // paths separated by ";"
    bool AttachDocument = false;
    QString To;
    QString CC;
    QString BCC;
    QString From;
    QString Subject;
    QString Body;
    // "name" or "name:port".
    QString Host;
    QString UserID;
    QString Password;

    // True when the message was sent or handed to the mail program.
    bool Send();
    QString MailToURL() const;
    // Total size in bytes of the attachment files that exist.
    qint64 AddAttachments(const QStringList &files, class TIdMessage &message) const;
    static void AddSemicolonSeparatedItems(const QString &text, TIdEMailAddressList &list);
    // The SMTP error as the user is told it.
    static QString ReplyMessage(int code, const QString &reply);

private:
    bool SendBySMTP();
};
