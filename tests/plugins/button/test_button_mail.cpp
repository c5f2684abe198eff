// A form whose button e-mails it, in the filler's real window: sent to a real
// SMTP server on 127.0.0.1 with the form attached byte for byte; a refused
// login and a server that never answers are told to the user and change
// nothing. Also Print then Close with the print dialog cancelled.

#include "CButton.h"
#include "CDocumentBuilder.h"
#include "CEMailDlg.h"
#include "CIdTCPClient.h"
#include "FillerTestWindow.h"
#include "TestServers.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>

namespace {
using namespace ButtonParam;

class ButtonInFiller : public TFillerWindowTest
{
protected:
    void TearDown() override
    {
        button.reset();
        TFillerWindowTest::TearDown();
        TIdTCPClient::SetDefaultTimeout(30000);
    }
    // A saved two-page form open in the window, and a button of it with these actions.
    void Open(const QList<TButtonAction> &actions)
    {
        path = dir.filePath(QStringLiteral("Order form.vld"));
        {
            TDocumentBuilder doc(2);
            ASSERT_TRUE(doc.Save(path));
        }
        Start(path);
        ASSERT_TRUE(window->HasDocument());
        button.reset(CreateComponent<TButton>(nullptr));
        button->SetActions(actions);
        GlobalClearChanges();
    }
    static QByteArray Read(const QString &file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    static TButtonAction Mail(int port)
    {
        TButtonAction mail(bakEmail);
        mail.SetStr(EmailTo, QStringLiteral("office@example.com; boss@example.com"));
        mail.SetStr(EmailCC, QStringLiteral("copy@example.com"));
        mail.SetStr(EmailBCC, QStringLiteral("hidden@example.com"));
        mail.SetStr(EmailFrom, QStringLiteral("filler@example.com"));
        mail.SetStr(EmailSubject, QStringLiteral("Order form\r\nBcc: x@example.com"));
        mail.SetStr(EmailBody, QStringLiteral("Please find the form attached.\r\nRegards, Zoë"));
        mail.SetStr(EmailHost, QStringLiteral("127.0.0.1:%1").arg(port));
        mail.SetStr(EmailUserID, QStringLiteral("filler"));
        mail.SetStr(EmailPassword, QStringLiteral("secret"));
        mail.SetBool(EmailAttachDocument, true);
        return mail;
    }
    // The parsed message the server received, as "Header: value" lines, the body and the
    // attachments (name and base64 bytes), through Python's own e-mail parser.
    static QStringList Parsed(const QString &file)
    {
        QProcess python;
        python.start(Python(),
                     {QStringLiteral("-c"), QStringLiteral(R"PY(
import sys, email, email.policy, base64
m = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)
for k in ('From', 'To', 'Cc', 'Bcc', 'Subject'):
    print(k + ': ' + str(m[k]))
print('Body: ' + m.get_body(('plain',)).get_content().replace('\r\n', '\n').replace('\n', '|'))
for part in m.iter_attachments():
    print('Attachment: ' + part.get_filename() + ' ' + base64.b64encode(part.get_payload(decode=True)).decode())
)PY"),
                      file});
        python.waitForFinished(20000);
        return QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    QString path;
    std::unique_ptr<TButton> button;
};
} // namespace

TEST_F(ButtonInFiller, EmailsTheFormToAnSmtpServerWithTheDocumentAttached)
{
    if (!HaveSmtpServer())
        GTEST_SKIP() << "python3-aiosmtpd is not installed";
    TScriptServer smtp;
    ASSERT_TRUE(smtp.Start(QString::fromLatin1(SmtpServerScript),
                           {QStringLiteral("accept"), smtp.Folder()}));
    Open({Mail(smtp.Port)});
    QFile extra(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(extra.open(QIODevice::WriteOnly));
    extra.write("first line\r\nsecond line\r\n.\r\nafter a dot line\r\n");
    extra.close();
    TButtonAction mail = Mail(smtp.Port);
    mail.SetStr(EmailAttachments,
                extra.fileName() + u';' + dir.filePath(QStringLiteral("gone.txt")));
    button->SetActions({mail});
    GlobalClearChanges();

    EXPECT_TRUE(button->RunActions());
    const QStringList received = Parsed(smtp.File(QStringLiteral("message.eml")));
    EXPECT_TRUE(received.contains(QStringLiteral("From: filler@example.com")))
        << received.join(u'\n').toStdString();
    EXPECT_TRUE(received.contains(QStringLiteral("To: office@example.com, boss@example.com")));
    EXPECT_TRUE(received.contains(QStringLiteral("Cc: copy@example.com")));
    // The subject is one header: its line break added none.
    EXPECT_TRUE(received.contains(QStringLiteral("Bcc: None")));
    EXPECT_TRUE(received.contains(QStringLiteral("Subject: Order form Bcc: x@example.com")));
    EXPECT_TRUE(
        received.contains(QStringLiteral("Body: Please find the form attached.|Regards, Zoë")))
        << received.join(u'\n').toStdString();
    const QString notes = QStringLiteral("Attachment: notes.txt ")
        + QString::fromLatin1(Read(extra.fileName()).toBase64());
    const QString form = QStringLiteral("Attachment: Order form.vld ")
        + QString::fromLatin1(Read(path).toBase64());
    EXPECT_EQ(received.filter(QStringLiteral("Attachment: ")), QStringList({notes, form}));
    // Every recipient, the hidden one too, is in the envelope.
    EXPECT_EQ(Read(smtp.File(QStringLiteral("envelope.txt"))),
              QByteArray("filler@example.com\noffice@example.com\nboss@example.com\n"
                         "copy@example.com\nhidden@example.com\n"));
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
}

TEST_F(ButtonInFiller, RefusedLoginShowsTheServersReplyAndLosesNothing)
{
    if (!HaveSmtpServer())
        GTEST_SKIP() << "python3-aiosmtpd is not installed";
    TScriptServer smtp;
    ASSERT_TRUE(smtp.Start(QString::fromLatin1(SmtpServerScript),
                           {QStringLiteral("refuse"), smtp.Folder()}));
    TButtonAction mail = Mail(smtp.Port);
    mail.SetBool(EmailUseDialog, true);
    Open({mail, TButtonAction(bakSave)});
    // The script replaces its current answer when the message inside comes up, so the
    // handler keeps what it saw in static storage rather than in captures.
    static QString typedBody;
    static bool sendEnabledAfter;
    typedBody.clear();
    // In the fill-time dialog the user changes the body and sends; the refusal leaves the
    // dialog open with what was typed, and the user cancels it.
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto &mailDialog = static_cast<TEMailDlg &>(dialog);
        EXPECT_EQ(mailDialog.windowTitle(), QStringLiteral(" Email"));
        mailDialog.BodyEdit->setPlainText(QStringLiteral("Changed before sending"));
        EXPECT_TRUE(mailDialog.SendButton->isEnabled());
        ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("535"));
        QTest::mouseClick(mailDialog.SendButton, Qt::LeftButton);
        typedBody = mailDialog.BodyEdit->toPlainText();
        sendEnabledAfter = mailDialog.SendButton->isEnabled();
        return int(mrCancel);
    });
    EXPECT_FALSE(button->RunActions());
    const TShownDialog &shown = ScriptedDialogs().Shown().last();
    EXPECT_EQ(shown.Caption, QStringLiteral("Email Error"));
    EXPECT_TRUE(shown.Text.contains(QStringLiteral("Authentication")) || shown.Text.contains("535"))
        << shown.Text.toStdString();
    EXPECT_EQ(typedBody, QStringLiteral("Changed before sending"));
    EXPECT_TRUE(sendEnabledAfter);
    EXPECT_FALSE(QFile::exists(smtp.File(QStringLiteral("message.eml"))));
    EXPECT_TRUE(window->HasDocument());
    EXPECT_FALSE(GlobalProjectChanged);
}

TEST_F(ButtonInFiller, ServerThatNeverAnswersTimesOutAndTheFormStaysAsItWas)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    TIdTCPClient::SetDefaultTimeout(1000);
    Open({Mail(silent.serverPort())});
    const QByteArray before = Read(path);
    QElapsedTimer clock;
    clock.start();
    // The window keeps running while the client waits: a timer of the event loop fires.
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(50);
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("did not answer"));
    EXPECT_TRUE(button->RunActions());
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_GT(ticks, 5);
    EXPECT_EQ(ScriptedDialogs().Shown().last().Caption, QStringLiteral("Email Error"));
    EXPECT_TRUE(window->HasDocument());
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_EQ(Read(path), before);
}

TEST_F(ButtonInFiller, PrintDialogCancelledKeepsTheFormOpenValidatedSaveSaves)
{
    TButtonAction print(bakPrint);
    print.SetBool(PrintUseDialog, true);
    print.SetInt(PrintCopies, 1);
    Open({print, TButtonAction(bakClose)});
    ScriptedDialogs().ExpectPrint([](TPrintRequest &) { return false; });
    EXPECT_FALSE(button->RunActions());
    EXPECT_TRUE(window->HasDocument());

    button->SetActions({TButtonAction(bakValidate), TButtonAction(bakSave)});
    GlobalMadeChange();
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Form validation passed!"));
    EXPECT_TRUE(button->RunActions());
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_EQ(GlobalProjectName, path);
}

TEST_F(ButtonInFiller, CancelInTheProgressWindowStopsTheSendQuietly)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    Open({Mail(silent.serverPort()), TButtonAction(bakSave)});
    QElapsedTimer clock;
    clock.start();
    // The user presses Cancel while the client still waits for the server's greeting.
    QTimer::singleShot(300, [] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QStringLiteral("NetProgressForm") && top->isVisible()) {
                EXPECT_EQ(top->windowTitle(), QStringLiteral(" Progress..."));
                auto *cancel
                    = top->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel);
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
    });
    EXPECT_TRUE(button->RunActions());
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
    EXPECT_TRUE(window->HasDocument());
}
