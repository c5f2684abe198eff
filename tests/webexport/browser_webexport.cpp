// A form exported as a web page by the designer's command line, served by
// php's own web server and filled in by a headless browser: what a visitor
// types reaches the mail as text, the validation script stops an incomplete
// form, hostile values neither run in the browser nor add mail headers, and
// the designer's texts show as typed.

#include "BrowserServers.h"
#include "CButton.h"
#include "CDocumentBuilder.h"
#include "CFillerScrollBox.h"
#include "CScribe.h"
#include "WebDriverSession.h"

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <iostream>
#include <memory>

namespace {

// What the designer typed: each text has "<", "&", quotes and letters beyond
// ASCII, and an entity that must not be read as one.
const QString PageTitle = QStringLiteral("Feedback <form> & &amp; \"quotes\" 'single' — Größe ½");
const QString ThanksTitle = QStringLiteral("Thanks <page> & &lt;b&gt; \"title\" — Danke schön");
const QString NameHint = QStringLiteral("Your name <as on the card> & &quot; \"nick\" — Zoë");
// In a script's string too, where a backslash or a quote would end or change it.
const QString NameMissing
    = QStringLiteral("Please enter your name: it's \"required\" <now> & &amp; C:\\new — Größe");
// Would run if it reached the page as mark-up.
const QString RemarkDefault = QStringLiteral(
    "Tom & Jerry \"<b>\" 'x' </textarea><script>window.__injected=3</script> — Ærøskøbing £ ¬");
const QString CommentsDefault = QStringLiteral(
    "Write <here> & &lt;there&gt; \"q\" </textarea><script>window.__injected=4</script> — Ünïcödé");
const QString SendCaption = QStringLiteral("Send <now> & &amp; \"go\" — Grüße");
const QString OtherCaption = QStringLiteral("<Other> & &lt; 'more' — Ñandú");
const QString OtherHint = QStringLiteral("Not \"submit\" & <not> reset — Øre");
// The script page's text and the mail's body: PHP would expand "$var" and
// "{$x}", and "<?= ?>" would run, if they reached the script as code.
const QString ThanksText = QStringLiteral(
    "Thank you, #!FullName! <Your comments> & &amp; \"more\": #!Comments -- $var {$x} <?= 6*7 ?> "
    "\\back\\slash 'single' — Grüße");
const QString MailBody = QStringLiteral("Name: #!FullName\r\n"
                                        "E-mail: #!Email\r\n"
                                        "Comments:\r\n"
                                        "#!Comments\r\n"
                                        "Costs $var {$x} \\path\\to \"double\" 'single' — Grüße");
const QString Office = QStringLiteral("office@example.com");

// The typed value that tries everything at once: leave the text area and run
// a script, break out of a PHP or JavaScript string, and add a mail header.
// No spaces, so that the script's word wrapping leaves it whole.
const QString HostileLine
    = QStringLiteral("</textarea><script>window.__injected=1</script>"
                     "<img/src=\"x\"/onerror=\"window.__injected=2\">\"'$var{$x}\\");
const QString HostileHeader = QStringLiteral("Bcc: evil@example.com");

// The form through the model, saved as a document, with its export settings.
QString WriteDocument(const QString &folder)
{
    TDocumentBuilder doc;
    const int page = doc.AddPage(QStringLiteral("Feedback"));
    int tab = 0;
    const auto box = [&](const QString &name, int top, int height) {
        TScribe *added = doc.Add<TScribe>(page, name, QRect(150, top, 400, height));
        added->SetTabOrder(tab++);
        return added;
    };
    TScribe *name = box(QStringLiteral("FullName"), 60, 30);
    name->VisualValidationProps()->SetValidationRequired(true);
    QStringList messages = name->VisualValidationProps()->ValidationErrMsgsList();
    messages[0] = NameMissing;
    name->VisualValidationProps()->SetValidationErrMsgsList(messages);
    name->VisualGeneralProps()->SetGeneralHint(NameHint);
    TScribe *email = box(QStringLiteral("Email"), 110, 30);
    email->ScribeGeneralProps()->SetGeneralInputType(tbitEmail);
    TScribe *remark = box(QStringLiteral("Remark"), 160, 30);
    remark->VisualGeneralProps()->SetGeneralDefaultText(RemarkDefault);
    TScribe *comments = box(QStringLiteral("Comments"), 210, 120);
    comments->VisualParagraphProps()->SetParagraphWrap(true);
    comments->VisualGeneralProps()->SetGeneralDefaultText(CommentsDefault);

    const auto button = [&](const QString &name, const QString &caption, int left) {
        auto *added = doc.Add<TButton>(page, name, QRect(left, 360, 180, 36));
        // The builder places visual elements only; a button takes its place on the paper here.
        added->CalcRelBounds(true, true, true, true, true, true);
        added->SetCaption(caption);
        return added;
    };
    button(QStringLiteral("Send"), SendCaption, 150);
    button(QStringLiteral("Other"), OtherCaption, 350)->SetHint(OtherHint);

    TProjectInfo &info = doc.Info;
    info.SetLastExportFileName(QStringLiteral("feedback.html"));
    info.SetLastExportFileTitle(PageTitle);
    info.SetLastExportFormName(QStringLiteral("Feedback"));
    info.SetLastExportAction(QStringLiteral("feedback.php"));
    info.SetLastExportMethod(QStringLiteral("Post"));
    info.SetLastExportSubmit(QStringLiteral("Send"));
    info.SetLastExportSubmitAction(2);
    info.SetLastExportSubmitActionTitle(ThanksTitle);
    info.SetLastExportAfterSubmitAction(0);
    info.SetLastExportAfterSubmitActionDisplayText(ThanksText);
    info.SetLastExportFrom1(QStringLiteral("#!Email"));
    info.SetLastExportTo1(Office);
    info.SetLastExportSubject1(QStringLiteral("Feedback: #!Comments"));
    info.SetLastExportBody1(MailBody);

    const QString path = QDir(folder).filePath(QStringLiteral("Feedback.vld"));
    return doc.Save(path) ? path : QString();
}

// The designer's command line, as a script on a server would run it; empty when it exported.
QString Export(const QString &document, const QString &page, const QString &configFolder)
{
    QProcessEnvironment env = ChildEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    // The designer is ours, and instrumented like the test in a sanitizer build.
    for (const char *name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (qEnvironmentVariableIsSet(name))
            env.insert(QLatin1String(name), qEnvironmentVariable(name));
    QProcess designer;
    designer.setProcessEnvironment(env);
    designer.setProcessChannelMode(QProcess::MergedChannels);
    designer.start(QStringLiteral(VELORA_BIN_DIR "/VeloraDesigner"),
                   {QStringLiteral("--export-html"), page, document});
    if (!designer.waitForFinished(60000)) {
        designer.kill();
        designer.waitForFinished();
        return QStringLiteral("VeloraDesigner --export-html did not finish");
    }
    const QString output = QString::fromLocal8Bit(designer.readAll());
    if (designer.exitStatus() != QProcess::NormalExit || designer.exitCode() != 0)
        return QStringLiteral("VeloraDesigner --export-html ended with %1: %2")
            .arg(designer.exitCode())
            .arg(output);
    return {};
}

struct TMail
{
    // In their order, folded lines unfolded, encoded words decoded.
    QList<std::pair<QString, QString>> Headers;
    // Line breaks as "\n".
    QString Body;

    QString Header(const QString &name) const
    {
        for (const auto &[key, value] : Headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
};

// "=?UTF-8?B?...?=" and "=?UTF-8?Q?...?=" words, should the script encode a header.
QString DecodeWords(const QString &value)
{
    static const QRegularExpression word(QStringLiteral("=\\?utf-8\\?([bq])\\?([^?]*)\\?="),
                                         QRegularExpression::CaseInsensitiveOption);
    QString decoded;
    qsizetype last = 0;
    for (const QRegularExpressionMatch &match : word.globalMatch(value)) {
        decoded += value.mid(last, match.capturedStart() - last);
        const QByteArray text = match.captured(2).toLatin1();
        if (match.captured(1).compare(QLatin1String("b"), Qt::CaseInsensitive) == 0) {
            decoded += QString::fromUtf8(QByteArray::fromBase64(text));
        } else {
            QByteArray bytes = text;
            bytes.replace('_', ' ');
            decoded += QString::fromUtf8(QByteArray::fromPercentEncoding(bytes, '='));
        }
        last = match.capturedEnd();
    }
    return decoded + value.mid(last);
}

TMail ParseMail(const QByteArray &raw)
{
    QString text = QString::fromUtf8(raw);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const qsizetype end = text.indexOf(QLatin1String("\n\n"));
    TMail mail;
    mail.Body = end < 0 ? QString() : text.mid(end + 2);
    for (const QString &line : text.left(end).split(u'\n')) {
        if ((line.startsWith(u' ') || line.startsWith(u'\t')) && !mail.Headers.isEmpty()) {
            mail.Headers.last().second += line;
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        mail.Headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    for (auto &header : mail.Headers)
        header.second = DecodeWords(header.second);
    return mail;
}

QString HeaderList(const TMail &mail)
{
    QStringList lines;
    for (const auto &[key, value] : mail.Headers)
        lines << key + QStringLiteral(": ") + value;
    return lines.join(u'\n');
}

// The hostile address only inside the headers that carry the value; no copy or
// blind copy added, the recipient unchanged.
void ExpectNoAddedHeader(const TMail &mail, const QStringList &carriers)
{
    for (const auto &[key, value] : mail.Headers) {
        if (value.contains(QLatin1String("evil@example.com"))) {
            EXPECT_TRUE(carriers.contains(key, Qt::CaseInsensitive))
                << "a hostile value made a header of its own:\n"
                << HeaderList(mail).toStdString();
        }
        if (key.compare(QLatin1String("Bcc"), Qt::CaseInsensitive) == 0
            || key.compare(QLatin1String("Cc"), Qt::CaseInsensitive) == 0) {
            EXPECT_TRUE(value.isEmpty()) << HeaderList(mail).toStdString();
        }
    }
    EXPECT_EQ(mail.Header(QStringLiteral("To")), Office) << HeaderList(mail).toStdString();
}

QString Collapsed(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

// Sent by an http client with no browser in between: values no form field would carry.
QString PostDirectly(const QString &url, const QList<std::pair<QString, QString>> &fields)
{
    QByteArrayList pairs;
    for (const auto &[name, value] : fields)
        pairs << name.toLatin1() + '=' + QUrl::toPercentEncoding(value);
    QNetworkAccessManager network;
    network.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request {QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    request.setTransferTimeout(20000);
    QNetworkReply *reply = network.post(request, pairs.join('&'));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QString page = QString::fromUtf8(reply->readAll());
    reply->deleteLater();
    return page;
}

// The exported form, its server and the browser, shared by the tests (the browser
// takes seconds to start).
struct TRig
{
    QTemporaryDir Folder;
    QTemporaryDir Config;
    TPhpServer Php;
    TWebDriverSession Browser;
    QString Skip;
    QString Failure;
};
std::unique_ptr<TRig> g_rig;

} // namespace

class WebFormInBrowser : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        g_rig = std::make_unique<TRig>();
        for (const char *program : {"php", "chromium", "chromedriver"})
            if (FindProgram(QLatin1String(program)).isEmpty()) {
                g_rig->Skip = QStringLiteral("%1 is not installed (Debian packages php-cli, "
                                             "chromium, chromium-driver)")
                                  .arg(QLatin1String(program));
                return;
            }
        const QString site = g_rig->Folder.filePath(QStringLiteral("site"));
        QDir().mkpath(site);
        const QString document = WriteDocument(g_rig->Folder.path());
        if (document.isEmpty()) {
            g_rig->Failure = QStringLiteral("the document was not saved");
            return;
        }
        g_rig->Failure = Export(document, QDir(site).filePath(QStringLiteral("feedback.html")),
                                g_rig->Config.path());
        if (!g_rig->Failure.isEmpty())
            return;
        if (!QFile::exists(QDir(site).filePath(QStringLiteral("feedback.php")))) {
            g_rig->Failure = QStringLiteral("no feedback.php beside the page");
            return;
        }
        QFile settled(QDir(site).filePath(QStringLiteral("settled.txt")));
        if (settled.open(QIODevice::WriteOnly))
            settled.write("settled\n");
        settled.close();
        g_rig->Skip = g_rig->Php.Start(site);
        if (g_rig->Skip.isEmpty())
            g_rig->Skip = g_rig->Browser.Start();
    }
    static void TearDownTestSuite() { g_rig.reset(); }

    void SetUp() override
    {
        if (!g_rig->Skip.isEmpty())
            GTEST_SKIP() << g_rig->Skip.toStdString();
        ASSERT_TRUE(g_rig->Failure.isEmpty()) << g_rig->Failure.toStdString();
        // Whatever an earlier test left open or loading ends here.
        Browser().AcceptAlert();
        ASSERT_TRUE(Browser().Navigate(QStringLiteral("about:blank")))
            << Browser().LastError().toStdString();
        g_rig->Php.ForgetMails();
        m_logStart = g_rig->Php.Log().size();
    }
    void TearDown() override
    {
        if (HasFailure() && g_rig->Skip.isEmpty() && g_rig->Failure.isEmpty())
            std::cerr << "php's log:\n" << Log().toStdString() << "\n";
    }

    TWebDriverSession &Browser() { return g_rig->Browser; }
    // What php logged since the test began.
    QString Log() { return g_rig->Php.Log().mid(m_logStart); }

    void OpenForm()
    {
        ASSERT_TRUE(Browser().Navigate(g_rig->Php.Url(QStringLiteral("feedback.html"))))
            << Browser().LastError().toStdString();
    }
    void Type(const QString &field, const QString &text)
    {
        const QString element = Browser().FindByName(field);
        ASSERT_FALSE(element.isEmpty())
            << field.toStdString() << ": " << Browser().LastError().toStdString();
        ASSERT_TRUE(Browser().Clear(element)) << Browser().LastError().toStdString();
        if (!text.isEmpty()) {
            ASSERT_TRUE(Browser().SendKeys(element, text)) << Browser().LastError().toStdString();
        }
    }
    void PressSend()
    {
        const QString send = Browser().FindByName(QStringLiteral("Send"));
        ASSERT_FALSE(send.isEmpty()) << Browser().LastError().toStdString();
        ASSERT_TRUE(Browser().Click(send)) << Browser().LastError().toStdString();
    }
    // Sends the form and waits for the script's page.
    void Submit()
    {
        ASSERT_NO_FATAL_FAILURE(PressSend());
        ASSERT_TRUE(Browser().WaitUntil(QStringLiteral("return location.pathname == '/feedback.php'"
                                                       " && document.readyState == 'complete';"),
                                        20000))
            << "no page from the script; alert: " << Browser().AlertText().toStdString();
    }
    TMail OnlyMail()
    {
        const QList<QByteArray> mails = g_rig->Php.Mails();
        EXPECT_EQ(mails.size(), 1);
        return mails.isEmpty() ? TMail() : ParseMail(mails.first());
    }
    void ExpectCleanLog()
    {
        static const QRegularExpression complaint(
            QStringLiteral("Warning|Notice|Deprecated|Fatal|Parse error"));
        EXPECT_FALSE(Log().contains(complaint)) << Log().toStdString();
    }
    QString BodyText()
    {
        return Browser().Execute(QStringLiteral("return document.body.textContent;")).toString();
    }
    QJsonValue Injected()
    {
        return Browser().Execute(QStringLiteral("return typeof window.__injected;"));
    }

private:
    qsizetype m_logStart = 0;
};

// The designer's texts in the page the browser built: titles, hints, default
// texts and captions, none of them read as mark-up.
TEST_F(WebFormInBrowser, DesignerTextsShowAsTyped)
{
    ASSERT_NO_FATAL_FAILURE(OpenForm());
    const QJsonObject shown
        = Browser()
              .Execute(
                  QStringLiteral("const f = n => document.getElementsByName(n)[0];"
                                 "return {title: document.title, hint: f('FullName').title,"
                                 " remark: f('Remark').value, comments: f('Comments').value,"
                                 " send: f('Send').value, other: f('Other').textContent.trim(),"
                                 " otherHint: f('Other').title, sendType: f('Send').type,"
                                 " commentsTag: f('Comments').tagName};"))
              .toObject();
    ASSERT_FALSE(shown.isEmpty()) << Browser().LastError().toStdString();
    EXPECT_EQ(shown[QStringLiteral("title")].toString(), PageTitle);
    EXPECT_EQ(shown[QStringLiteral("hint")].toString(), NameHint);
    EXPECT_EQ(shown[QStringLiteral("remark")].toString(), RemarkDefault);
    EXPECT_EQ(shown[QStringLiteral("comments")].toString(), CommentsDefault);
    EXPECT_EQ(shown[QStringLiteral("send")].toString(), SendCaption);
    EXPECT_EQ(shown[QStringLiteral("sendType")].toString(), QStringLiteral("submit"));
    EXPECT_EQ(shown[QStringLiteral("other")].toString(), OtherCaption);
    EXPECT_EQ(shown[QStringLiteral("otherHint")].toString(), OtherHint);
    EXPECT_EQ(shown[QStringLiteral("commentsTag")].toString(), QStringLiteral("TEXTAREA"));
    EXPECT_EQ(Injected().toString(), QStringLiteral("undefined"));
}

// A visitor fills the form in and sends it: the mail holds what was typed and
// the designer's body text as written; the thank-you page echoes the values.
TEST_F(WebFormInBrowser, SentFormArrivesByMail)
{
    const QString name = QStringLiteral("Zoë O'Brien-Łukasz");
    const QString comments = QStringLiteral("Line one ünïcode\nLine two & <three>");
    ASSERT_NO_FATAL_FAILURE(OpenForm());
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("FullName"), name));
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("Email"), QStringLiteral("zoe@example.com")));
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("Comments"), comments));
    ASSERT_NO_FATAL_FAILURE(Submit());

    const TMail mail = OnlyMail();
    EXPECT_EQ(mail.Header(QStringLiteral("From")), QStringLiteral("zoe@example.com"));
    EXPECT_EQ(mail.Header(QStringLiteral("To")), Office);
    const QString subject = mail.Header(QStringLiteral("Subject"));
    EXPECT_TRUE(subject.startsWith(QStringLiteral("Feedback: Line one ünïcode")))
        << subject.toStdString();
    EXPECT_TRUE(subject.endsWith(QStringLiteral("Line two & <three>"))) << subject.toStdString();
    const auto filled = [&](QString text) {
        return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(QLatin1String("#!FullName"), name)
            .replace(QLatin1String("#!Email"), QLatin1String("zoe@example.com"))
            .replace(QLatin1String("#!Comments"), comments);
    };
    EXPECT_EQ(mail.Body.trimmed(), filled(MailBody));

    EXPECT_EQ(Browser().Execute(QStringLiteral("return document.title;")).toString(), ThanksTitle);
    EXPECT_EQ(Collapsed(BodyText()), Collapsed(filled(ThanksText)));
    ExpectCleanLog();
}

// Sending with the required name empty and a broken e-mail address: the validation
// script stops the submission and shows its alert with both messages, the
// designer's as written; nothing is mailed.
TEST_F(WebFormInBrowser, RequiredFieldEmptyStopsTheSubmission)
{
    ASSERT_NO_FATAL_FAILURE(OpenForm());
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("FullName"), QString()));
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("Email"), QStringLiteral("zoe at example.com")));
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("Comments"), QStringLiteral("Anything")));
    ASSERT_NO_FATAL_FAILURE(PressSend());

    const QString alert = Browser().AlertText();
    EXPECT_TRUE(alert.startsWith(QStringLiteral("Form validation failed!"))) << alert.toStdString();
    EXPECT_TRUE(alert.contains(QStringLiteral("- ") + NameMissing)) << alert.toStdString();
    EXPECT_TRUE(alert.contains(QStringLiteral("- Email contains an invalid email address!")))
        << alert.toStdString();
    ASSERT_TRUE(Browser().AcceptAlert()) << "no alert: " << Browser().LastError().toStdString();

    // A request after the alert: the server answers one request at a time, so
    // a submission that went ahead would have sent its mail before this is answered.
    const QJsonValue url = Browser().Execute(
        QStringLiteral("const r = new XMLHttpRequest(); r.open('GET', '/settled.txt', false);"
                       " r.send(); return r.responseText + location.pathname;"));
    EXPECT_EQ(url.toString(), QStringLiteral("settled\n/feedback.html"))
        << Browser().LastError().toStdString();
    EXPECT_TRUE(g_rig->Php.Mails().isEmpty());
}

// Values built to break out of every context they pass through arrive as text:
// on the thank-you page no injected script runs, in the mail the subject's line
// break adds no header.
TEST_F(WebFormInBrowser, HostileValuesArriveAsText)
{
    const QString comments = HostileLine + QStringLiteral("\n") + HostileHeader;
    ASSERT_NO_FATAL_FAILURE(OpenForm());
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("FullName"), HostileLine));
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("Email"), QStringLiteral("zoe@example.com")));
    ASSERT_NO_FATAL_FAILURE(Type(QStringLiteral("Comments"), comments));
    ASSERT_NO_FATAL_FAILURE(Submit());

    EXPECT_EQ(Injected().toString(), QStringLiteral("undefined"));
    const QString shown = BodyText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Thank you, ") + HostileLine + QStringLiteral("!")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(comments)) << shown.toStdString();

    const TMail mail = OnlyMail();
    ExpectNoAddedHeader(mail, {QStringLiteral("Subject")});
    const QString subject = mail.Header(QStringLiteral("Subject"));
    EXPECT_TRUE(subject.startsWith(QStringLiteral("Feedback: ") + HostileLine))
        << subject.toStdString();
    EXPECT_TRUE(subject.endsWith(HostileHeader)) << subject.toStdString();
    // The script wraps the mail's lines at 70 characters, here after "Name:".
    const QRegularExpression nameLine(QStringLiteral("Name:\\s")
                                      + QRegularExpression::escape(HostileLine)
                                      + QStringLiteral("\n"));
    EXPECT_TRUE(mail.Body.contains(nameLine)) << mail.Body.toStdString();
    EXPECT_TRUE(mail.Body.contains(QStringLiteral("Comments:\n") + comments + QStringLiteral("\n")))
        << mail.Body.toStdString();
    ExpectCleanLog();
}

// A client that skips the form posts line breaks in every value the mail's
// headers take: each stays inside its own header.
TEST_F(WebFormInBrowser, PostedLineBreaksAddNoMailHeader)
{
    const QString page = PostDirectly(
        g_rig->Php.Url(QStringLiteral("feedback.php")),
        {{QStringLiteral("FullName"), QStringLiteral("Mallory")},
         {QStringLiteral("Email"), QStringLiteral("mallory@example.com\r\n") + HostileHeader},
         {QStringLiteral("Remark"), QStringLiteral("none")},
         {QStringLiteral("Comments"),
          QStringLiteral("Hi\r\nCc: evil@example.com\r\n\r\nFake body")}});
    EXPECT_TRUE(page.contains(QLatin1String("Thank you, Mallory!"))) << page.toStdString();
    const TMail mail = OnlyMail();
    ExpectNoAddedHeader(mail, {QStringLiteral("From"), QStringLiteral("Subject")});
    EXPECT_TRUE(
        mail.Header(QStringLiteral("From")).startsWith(QLatin1String("mallory@example.com")))
        << HeaderList(mail).toStdString();
    EXPECT_TRUE(mail.Body.startsWith(QLatin1String("Name: Mallory\n"))) << mail.Body.toStdString();
    ExpectCleanLog();
}
