#include "CEMailer.h"

#include "CButtonActions.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CIdSMTP.h"
#include "CMessages.h"
#include "CNetProgressForm.h"

#include <QFileInfo>
#include <QUrl>

namespace {
const QString ErrorCaption = QStringLiteral("Email Error");

void SplitHost(const QString &text, QString &host, int &port)
{
    host = text.trimmed();
    port = 25;
    const qsizetype colon = host.lastIndexOf(u':');
    // "name:port" or "[v6 address]:port"; a bare v6 address has several colons.
    if (colon > 0 && (host.count(u':') == 1 || host.at(colon - 1) == u']')) {
        bool ok = false;
        const int number = host.mid(colon + 1).toInt(&ok);
        if (ok && number > 0 && number < 65536) {
            port = number;
            host.truncate(colon);
        }
    }
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
}
} // namespace

TEMailer::TEMailer(const TButtonAction &action)
{
    using namespace ButtonParam;
    Attachments = action.Str(EmailAttachments);
    AttachDocument = action.Bool(EmailAttachDocument);
    To = action.Str(EmailTo);
    CC = action.Str(EmailCC);
    BCC = action.Str(EmailBCC);
    From = action.Str(EmailFrom);
    Subject = action.Str(EmailSubject);
    Body = action.Str(EmailBody);
    Host = action.Str(EmailHost);
    UserID = action.Str(EmailUserID);
    Password = action.Str(EmailPassword);
}

void TEMailer::AddSemicolonSeparatedItems(const QString &text, TIdEMailAddressList &list)
{
    for (const QString &item : Global_StrToList(text, u';').split(QStringLiteral("\r\n")))
        list.Add(item);
}

QString TEMailer::MailToURL() const
{
    // No header of the mail program's message may be started by a line break.
    const auto line = [](const QString &text) {
        return TIdMessage::OneLine(text).trimmed();
    };
    QString url = QStringLiteral("mailto:") + line(To) + u'?';
    if (!Body.isEmpty())
        url += QStringLiteral("body=") + Global_HTTPEncode(Body) + u'&';
    if (!Subject.isEmpty())
        url += QStringLiteral("subject=") + Global_HTTPEncode(line(Subject)) + u'&';
    if (!line(CC).isEmpty())
        url += QStringLiteral("cc=") + line(CC) + u'&';
    if (!line(BCC).isEmpty())
        url += QStringLiteral("bcc=") + line(BCC);
    if (url.endsWith(u'&') || url.endsWith(u'?'))
        url.chop(1);
    return url;
}

qint64 TEMailer::AddAttachments(const QStringList &files, TIdMessage &message) const
{
    qint64 total = 0;
    for (const QString &file : files) {
        const QFileInfo info(file.trimmed());
        // A file that is gone by now is left out without a word.
        if (file.trimmed().isEmpty() || !info.isFile())
            continue;
        message.Attachments.emplace_back(info.absoluteFilePath());
        total += info.size();
    }
    return total;
}

QString TEMailer::ReplyMessage(int code, const QString &reply)
{
    QString text;
    switch (code) {
    case 501:
    case 551:
        text = QStringLiteral("Invalid From address!");
        break;
    case 504:
        text = QStringLiteral("Invalid User Name or Password!");
        break;
    case 550:
        text = QStringLiteral("Invalid recipient address!");
        break;
    default:
        return QStringLiteral("The mail server refused the message:\r%1").arg(reply);
    }
    return text + QStringLiteral("\r\rThe mail server said: ") + reply;
}

bool TEMailer::Send()
{
    if (AttachDocument && SendMessage(GlobalMainForm, VRMSGAskSaveChanges, 0) == 0)
        return false;
    if (!Host.trimmed().isEmpty() && !Password.isEmpty() && !UserID.trimmed().isEmpty())
        return SendBySMTP();
    Global_OpenUrl(QUrl(MailToURL(), QUrl::TolerantMode));
    return true;
}

bool TEMailer::SendBySMTP()
{
    if (From.trimmed().isEmpty()) {
        Global_MessageDlg(ErrorCaption, QStringLiteral("From email address not specified!"),
                          mtWarning, mbOK, 0);
        return false;
    }
    if (To.trimmed().isEmpty() && CC.trimmed().isEmpty() && BCC.trimmed().isEmpty()) {
        Global_MessageDlg(ErrorCaption, QStringLiteral("Recipient email address not specified!"),
                          mtWarning, mbOK, 0);
        return false;
    }
    if (Subject.trimmed().isEmpty()
        && Global_MessageDlg(GlobalAppTitle(),
                             QStringLiteral("No Email Subject specified! Send anyway?"),
                             mtConfirmation, mbYesNo, 0)
            != mrYes)
        return false;

    TIdMessage message;
    AddSemicolonSeparatedItems(BCC, message.BccList);
    message.Body = Body;
    AddSemicolonSeparatedItems(CC, message.CCList);
    message.From = From.trimmed();
    AddSemicolonSeparatedItems(To, message.Recipients);
    message.Subject = Subject;
    QStringList files = Attachments.split(u';');
    if (AttachDocument && !GlobalProjectName.isEmpty())
        files.append(GlobalProjectName);
    const qint64 total = AddAttachments(files, message) + 1;

    TIdSMTP smtp;
    SplitHost(Host, smtp.Host, smtp.Port);
    smtp.Username = UserID.trimmed();
    smtp.Password = Password;
    try {
        TNetProgressForm progress(GlobalMainForm, smtp, total);
        smtp.Send(message);
        return true;
    } catch (const EIdCancelled &) {
        return false;
    } catch (const EIdReplyError &error) {
        Global_MessageDlg(ErrorCaption, ReplyMessage(error.ReplyCode(), error.Message()), mtWarning,
                          mbOK, 0);
    } catch (const EIdConnectError &error) {
        Global_MessageDlg(ErrorCaption, error.Message(), mtWarning, mbOK, 0);
    } catch (const EVeloraError &error) {
        Global_MessageDlg(ErrorCaption, error.Message(), mtError, mbOK, 0);
    }
    return false;
}
