// The web form export on documents built through the model: its settings and
// checks, the page's geometry, what a browser's parser reads back from the page,
// what the PHP script does with hostile values, and failed writes.

#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "CWebFormExport.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"
#include "WebExportTestKinds.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {
const TClassRegistration<TWebTestBox> registerBox;
const TClassRegistration<TWebTestButton> registerButton;
const TClassRegistration<TWebTestRadio> registerRadio;
const TClassRegistration<TWebTestHidden> registerHidden;
const TClassRegistration<TWebTestPdf> registerPdf;

QString Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The Top of the element's style, -1 when the element is not on the page.
int TopOf(const QString &html, const QString &name)
{
    const QRegularExpression element(
        QStringLiteral("<!-- %1 : [^\r]*\r\n(?:[^\r]*\r\n)*?\\s*Top:(\\d+);")
            .arg(QRegularExpression::escape(name)));
    const QRegularExpressionMatch m = element.match(html);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class WebExport : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    std::unique_ptr<TDocumentBuilder> doc;
    QTemporaryDir dir;

    void SetUp() override
    {
        ScriptedDialogs().Reset();
        doc = std::make_unique<TDocumentBuilder>(1);
        ASSERT_TRUE(dir.isValid());
    }
    TWebTestBox *Box(int page, const QString &name, int top, const QString &text = {})
    {
        auto *box = doc->Add<TWebTestBox>(page, name, QRect(40, top, 200, 24));
        box->SetText(text);
        return box;
    }
    TWebTestButton *Button(int page, const QString &name, const QString &caption)
    {
        auto *button = doc->Add<TWebTestButton>(page, name, QRect(40, 600, 120, 30));
        button->SetCaption(caption);
        return button;
    }
    TWebExportSettings Settings() const
    {
        TWebExportSettings settings = TWebExportSettings::FromProject(doc->Info, QString());
        settings.FileName = QStringLiteral("form.html");
        settings.FormName = QStringLiteral("Form1");
        settings.Submit = QStringLiteral("Send");
        return settings;
    }
};

// A new document proposes Untitled.html and no form name, which the check refuses; a named
// one its own name; what the dialog changes goes back into the project.
TEST_F(WebExport, SettingsComeFromTheProjectWithProposalsForWhatIsEmpty)
{
    TWebExportSettings untitled = TWebExportSettings::FromProject(doc->Info, QString());
    EXPECT_EQ(untitled.FileName, QStringLiteral("Untitled.html"));
    EXPECT_EQ(untitled.FormName, QString());
    EXPECT_EQ(untitled.Method, QStringLiteral("Post"));
    EXPECT_EQ(untitled.SMTPServer, QStringLiteral("LocalHost"));
    EXPECT_EQ(untitled.SMTPPort, 25);
    EXPECT_EQ(untitled.SMTPSendUsing, 2);
    EXPECT_EQ(untitled.DisplayPage, -1);
    ASSERT_TRUE(CheckWebExport(untitled));
    EXPECT_EQ(CheckWebExport(untitled)->Field, TWebExportField::FormName);

    const TWebExportSettings named
        = TWebExportSettings::FromProject(doc->Info, QStringLiteral("/forms/My Order Form.vld"));
    EXPECT_EQ(named.FileName, QStringLiteral("My Order Form.html"));
    EXPECT_EQ(named.FormName, QStringLiteral("MyOrderForm"));

    untitled.FormName = QStringLiteral("Orders");
    untitled.SubmitAction = TWebExportSubmitAction::PhpEmail;
    untitled.Email[1].Subject = QStringLiteral("Order #!Name");
    untitled.ToProject(doc->Info);
    EXPECT_EQ(doc->Info.LastExportFormName(), QStringLiteral("Orders"));
    EXPECT_EQ(doc->Info.LastExportSubmitAction(), 2);
    const TWebExportSettings again = TWebExportSettings::FromProject(doc->Info, QString());
    EXPECT_EQ(again.FormName, QStringLiteral("Orders"));
    EXPECT_EQ(again.Email[1].Subject, QStringLiteral("Order #!Name"));
    EXPECT_EQ(again.SubmitAction, TWebExportSubmitAction::PhpEmail);
}

// The checks run in their order, each naming the setting at fault.
TEST_F(WebExport, ChecksComeInOrderWithTheirMessages)
{
    Box(0, QStringLiteral("Name"), 40);
    Button(0, QStringLiteral("Send"), QStringLiteral("Send"));
    TWebExportSettings settings = Settings();
    settings.FileName = QStringLiteral("  ");
    settings.FormName = QStringLiteral("1st");
    settings.SubmitAction = TWebExportSubmitAction::AspEmail;
    settings.Submit.clear();
    const auto expect = [&settings](TWebExportField field, const char *start) {
        const std::optional<TWebExportProblem> problem = CheckWebExport(settings);
        ASSERT_TRUE(problem) << start;
        EXPECT_EQ(problem->Field, field) << start;
        EXPECT_TRUE(problem->Message.startsWith(QLatin1String(start)))
            << problem->Message.toStdString();
    };
    expect(TWebExportField::FileName,
           "Please specify the file name of the HTML file where the form will be exported to.");
    settings.FileName = QStringLiteral("form.html");
    expect(TWebExportField::FormName, "Invalid Form Name!\r\rForm Name must begin with A-Z or a-z");
    settings.FormName = QStringLiteral("a-b_c:d.e9");
    expect(TWebExportField::Action, "Please specify an Action. This field is also required");
    settings.Action = QStringLiteral("http://example.org/cgi/");
    expect(TWebExportField::Action, "Please specify an Action.");
    settings.Action = QStringLiteral("http://example.org/cgi/send.asp?x=1");
    expect(TWebExportField::Submit,
           "Please choose which form element is to be used as a Submit button.");
    settings.Submit = QStringLiteral("NoSuchElement");
    expect(TWebExportField::Submit, "Please choose which form element");
    settings.Submit = QStringLiteral("Send");
    settings.Reset = QStringLiteral("send");
    expect(TWebExportField::Reset,
           "The Submit and Reset buttons cannot be the same form element. Please choose another.");
    settings.Reset = QStringLiteral("Name");
    EXPECT_FALSE(CheckWebExport(settings));
    EXPECT_EQ(WebExportFiles(settings, dir.path()).Script,
              dir.filePath(QStringLiteral("send.asp")));
}

// Pages stack: the second page's elements sit below the first page; the page shown after
// submitting is left out of the form and starts at the top of the script's page.
TEST_F(WebExport, PagesStackAndTheAfterSubmitPageStartsAtTheTop)
{
    doc->AddPage();
    doc->AddPage();
    Box(0, QStringLiteral("First"), 50);
    Box(1, QStringLiteral("Thanks"), 50);
    Box(2, QStringLiteral("Third"), 50);
    Button(0, QStringLiteral("Send"), QStringLiteral("Send"));
    TWebExportSettings settings = Settings();
    // A4 at the screen's 96 pixels per inch.
    const int pageHeight = 1123;

    const QString all = WebExportHtml(settings);
    ASSERT_GE(TopOf(all, QStringLiteral("First")), 0) << all.toStdString();
    EXPECT_EQ(TopOf(all, QStringLiteral("Thanks")) - TopOf(all, QStringLiteral("First")),
              pageHeight);
    EXPECT_EQ(TopOf(all, QStringLiteral("Third")) - TopOf(all, QStringLiteral("First")),
              2 * pageHeight);

    settings.SubmitAction = TWebExportSubmitAction::PhpEmail;
    settings.Action = QStringLiteral("thanks.php");
    settings.AfterSubmit = TWebExportAfterSubmit::DisplayPage;
    settings.DisplayPage = 1;
    const QString form = WebExportHtml(settings);
    EXPECT_EQ(TopOf(form, QStringLiteral("Thanks")), -1);
    EXPECT_EQ(TopOf(form, QStringLiteral("Third")) - TopOf(form, QStringLiteral("First")),
              pageHeight);
    const QString script = WebExportScript(settings);
    EXPECT_EQ(TopOf(script, QStringLiteral("Thanks")), TopOf(form, QStringLiteral("First")))
        << script.toStdString();
    EXPECT_EQ(TopOf(script, QStringLiteral("First")), -1);
    EXPECT_EQ(WebExportPages(settings), (QList<int> {0, 2}));
}

// A page's colour becomes a label under its elements, and a PDF page as its
// background a picture beside the page, fitted as the page shows it.
TEST_F(WebExport, PageFillAndPdfBackgroundGoBesideThePage)
{
    doc->AddPage();
    Box(1, QStringLiteral("Name"), 40);
    Button(1, QStringLiteral("Send"), QStringLiteral("Send"));
    doc->Add<TWebTestPdf>(0, QStringLiteral("Pdf1"), QRect(0, 0, 32, 32));
    doc->Settings(1)->PageFillProps()->SetFillColor(TColor {0x0000FF});
    doc->Settings(1)->PageBackgroundProps()->PagePDFProps()->SetPDFLink(QStringLiteral("Pdf1"));
    const TWebExportSettings settings = Settings();
    const TWebExportFiles files = WebExportFiles(settings, dir.path());
    ASSERT_EQ(WriteWebExport(settings, files), QString());
    const QString html = Read(files.Html);
    // Below the first page, A4 at 96 pixels per inch: 794 by 1123.
    EXPECT_TRUE(html.contains(QStringLiteral(
        "      <!-- Page 2 : Page Fill. -->\r\n      <label\r\n        style=\"\r\n"
        "          background-color:rgb(255,0,0);\r\n          position:absolute;\r\n"
        "          Left:0;\r\n          Top:1123;\r\n          Width:794;\r\n          "
        "Height:1123\">")))
        << html.toStdString();
    EXPECT_TRUE(
        html.contains(QStringLiteral("<!-- Page2BackgroundProperty : Page Background. -->")));
    EXPECT_TRUE(html.contains(QStringLiteral("src=\"form_Page2BackgroundProperty.png\"")));
    EXPECT_LT(html.indexOf(QLatin1String("Page2BackgroundProperty")),
              html.indexOf(QLatin1String("<!-- Name :")));
    const QImage picture(dir.filePath(QStringLiteral("form_Page2BackgroundProperty.png")));
    ASSERT_FALSE(picture.isNull());
    // Half as wide as high, filling the page's height.
    EXPECT_NEAR(picture.height(), 1123, 1);
    EXPECT_NEAR(picture.width(), 562, 1);
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, picture.height() / 2), QColor(Qt::red));
}

// What was typed is what a browser reads back: mark-up characters, quotes and letters
// of any script, in values, text areas, hints, captions, titles and hidden fields.
TEST_F(WebExport, TextsReadBackExactlyAsTyped)
{
    if (!HaveTool("python3"))
        GTEST_SKIP() << "python3 is not installed: nothing to parse the page with";
    const QString typed = QStringLiteral("a < b & \"c\" 'd' £ ¬ Ærøskøbing 東京 &amp;");
    const QString breakout = QStringLiteral("</textarea><script>alert('x')</script>\r\nline 2");
    Box(0, QStringLiteral("Plain"), 40, typed)->SetHint(typed);
    auto *area = Box(0, QStringLiteral("Area"), 80, breakout);
    area->VisualParagraphProps()->SetParagraphWrap(true);
    Button(0, QStringLiteral("Send"), typed);
    doc->Add<TWebTestHidden>(0, QStringLiteral("Secret"), QRect(0, 0, 32, 32))->SetText(typed);
    TWebExportSettings settings = Settings();
    settings.Title = typed;
    settings.Action = QStringLiteral("send.php?a=1&b=\"2\"");

    const QJsonArray tags = ParsedTags(WebExportHtml(settings));
    ASSERT_FALSE(tags.isEmpty());
    const QJsonObject plain = TagNamed(tags, QStringLiteral("Plain"));
    EXPECT_EQ(plain[QStringLiteral("attrs")][QStringLiteral("value")].toString(), typed);
    EXPECT_EQ(plain[QStringLiteral("attrs")][QStringLiteral("title")].toString(), typed);
    const QJsonObject textarea = TagNamed(tags, QStringLiteral("Area"));
    EXPECT_EQ(textarea[QStringLiteral("tag")].toString(), QStringLiteral("textarea"));
    EXPECT_EQ(textarea[QStringLiteral("text")].toString(), breakout);
    EXPECT_EQ(
        TagNamed(tags, QStringLiteral("Send"))[QStringLiteral("attrs")][QStringLiteral("value")]
            .toString(),
        typed);
    EXPECT_EQ(
        TagNamed(tags, QStringLiteral("Secret"))[QStringLiteral("attrs")][QStringLiteral("value")]
            .toString(),
        typed);
    for (const QJsonValue &tag : tags) {
        EXPECT_NE(tag[QStringLiteral("tag")].toString(), QStringLiteral("script"))
            << "a text opened a script element";
        if (tag[QStringLiteral("tag")].toString() == QStringLiteral("title")) {
            EXPECT_EQ(tag[QStringLiteral("text")].toString().trimmed(), typed);
        }
        if (tag[QStringLiteral("tag")].toString() == QStringLiteral("form")) {
            EXPECT_EQ(tag[QStringLiteral("attrs")][QStringLiteral("action")].toString(),
                      settings.Action);
        }
    }
}

// Validation messages are the user's own texts: in the onsubmit call they stay inside
// their string literals, whatever quotes and mark-up they hold.
TEST_F(WebExport, ValidationMessagesStayInsideTheirStrings)
{
    if (!HaveTool("python3"))
        GTEST_SKIP() << "python3 is not installed: nothing to parse the page with";
    auto *name = Box(0, QStringLiteral("Name"), 40);
    name->VisualGeneralProps()->SetGeneralRequired(true);
    name->VisualValidationProps()->SetValidationErrMsgsList(
        {QStringLiteral("<Name>'s \"value\" \\ is </script> missing")});
    Button(0, QStringLiteral("Send"), QStringLiteral("Send"));
    const QString html = WebExportHtml(Settings());
    EXPECT_TRUE(html.contains(QLatin1String("function MM_findObj(n, d)")));
    EXPECT_TRUE(html.contains(QLatin1String("function YY_checkform()")));
    QString onsubmit;
    for (const QJsonValue &tag : ParsedTags(html))
        if (tag[QStringLiteral("tag")].toString() == QStringLiteral("form"))
            onsubmit = tag[QStringLiteral("attrs")][QStringLiteral("onsubmit")].toString();
    EXPECT_TRUE(onsubmit.contains(QStringLiteral(
        "'Name', '#q', '0', 'Name\\'s \\\"value\\\" \\\\ is <\\/script> missing');")))
        << onsubmit.toStdString();
    EXPECT_TRUE(onsubmit.startsWith(QLatin1String("YY_checkform('Form1',")));
}

// The PHP script run by php itself: hostile values neither interpolate nor add mail
// headers, and the thank-you text shows them escaped.
TEST_F(WebExport, PhpScriptKeepsValuesInTheirPlace)
{
    if (!HaveTool("php"))
        GTEST_SKIP() << "php is not installed (Debian package php-cli)";
    Box(0, QStringLiteral("Name"), 40);
    Box(0, QStringLiteral("Mail"), 80);
    Button(0, QStringLiteral("Send"), QStringLiteral("Send"));
    auto *radio = doc->Add<TWebTestRadio>(0, QStringLiteral("Yes"), QRect(40, 120, 20, 20));
    radio->SetGroupID(3);
    TWebExportSettings settings = Settings();
    settings.SubmitAction = TWebExportSubmitAction::PhpEmail;
    settings.Action = QStringLiteral("send.php");
    settings.Email[0].From = QStringLiteral("#!Mail");
    settings.Email[0].To = QStringLiteral("office@example.org");
    settings.Email[0].Subject = QStringLiteral("Order from #!Name ($var {$x} \\n 'q' \"dq\")");
    settings.Email[0].Body
        = QStringLiteral("Name: #!Name\r\nChoice: #!(GroupID3) #!Nobody\r\n$x {$y} \\");
    settings.DisplayText = QStringLiteral("Thanks, #!Name & co.");
    const TWebExportFiles files = WebExportFiles(settings, dir.path());
    ASSERT_EQ(WriteWebExport(settings, files), QString());

    const TRun lint = RunTool(QStringLiteral("php"), {QStringLiteral("-l"), files.Script});
    EXPECT_EQ(lint.ExitCode, 0) << lint.Out.toStdString() << lint.Err.toStdString();

    const QString prepend = dir.filePath(QStringLiteral("prepend.php"));
    QFile values(prepend);
    ASSERT_TRUE(values.open(QIODevice::WriteOnly));
    values.write(
        "<?php $_REQUEST = array('Name' => \"Eve\\r\\nBcc: victim@example.org <b>\", "
        "'Mail' => \"eve@example.org\\r\\nCc: spam@example.org\", 'GroupID3' => 'Yes');\n");
    values.close();
    const QString mail = dir.filePath(QStringLiteral("mail.txt"));
    const TRun run
        = RunTool(QStringLiteral("php"),
                  {QStringLiteral("-d"), QStringLiteral("auto_prepend_file=") + prepend,
                   QStringLiteral("-d"), QStringLiteral("sendmail_path=cat > ") + mail,
                   QStringLiteral("-d"), QStringLiteral("display_errors=stderr"), files.Script});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains(
        QStringLiteral("Thanks, Eve\r\nBcc: victim@example.org &lt;b&gt; &amp; co.")))
        << run.Out.toStdString();
    const QString sent = Read(mail);
    ASSERT_FALSE(sent.isEmpty()) << run.Err.toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral(
        "Subject: Order from EveBcc: victim@example.org <b> ($var {$x} \\n 'q' \"dq\")")))
        << sent.toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral("From:eve@example.orgCc: spam@example.org")))
        << sent.toStdString();
    EXPECT_FALSE(
        QRegularExpression(QStringLiteral("^(Bcc|Cc):"), QRegularExpression::MultilineOption)
            .match(QString(sent)
                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                       .section(QStringLiteral("\n\n"), 0, 0))
            .hasMatch())
        << sent.toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral("Choice: Yes #!Nobody"))) << sent.toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral("$x {$y} \\"))) << sent.toStdString();
}

// The ASP script: values escaped where shown, header values without line breaks, and
// the user's quotes and "%>" unable to leave their strings.
TEST_F(WebExport, AspScriptKeepsValuesInTheirPlace)
{
    Box(0, QStringLiteral("Name"), 40);
    Button(0, QStringLiteral("Send"), QStringLiteral("Send"));
    TWebExportSettings settings = Settings();
    settings.SubmitAction = TWebExportSubmitAction::AspEmail;
    settings.Action = QStringLiteral("send.asp");
    settings.CustomSMTP = cbChecked;
    settings.SMTPServer = QStringLiteral("mail\"host");
    settings.Email[0].From = QStringLiteral("#!Name");
    settings.Email[0].To = QStringLiteral("a@example.org");
    settings.Email[0].Subject = QStringLiteral("Say \"hi\" %> #!Name");
    settings.DisplayText = QStringLiteral("Thanks #!Name");
    const QString script = WebExportScript(settings);
    EXPECT_TRUE(
        script.startsWith(QLatin1String("<%@language=\"vbscript\" codepage=\"65001\"%>\r\n")));
    EXPECT_TRUE(script.contains(QStringLiteral(
        "  mail.subject=Replace(Replace(\"Say \" & chr(34) & \"hi\" & chr(34) & \" %\" "
        "& \"> \" & Request(\"Name\"), vbCr, \"\"), vbLf, \"\")\r\n")))
        << script.toStdString();
    EXPECT_TRUE(script.contains(QStringLiteral("/smtpserver\")=\"mail\"\"host\"\r\n")));
    EXPECT_TRUE(script.contains(
        QStringLiteral("    Thanks <%=Server.HTMLEncode(Request(\"Name\"))%>\r\n")));
    // Outside the script blocks, every "%>" is one the export wrote.
    EXPECT_EQ(script.count(QLatin1String("%>")), script.count(QLatin1String("<%")));
}

// A write that fails keeps the files written before it, leaves no half file, and says why.
TEST_F(WebExport, AFailedWriteKeepsEarlierFilesAndSaysWhy)
{
    Box(0, QStringLiteral("Name"), 40);
    Button(0, QStringLiteral("Send"), QStringLiteral("Send"));
    TWebExportSettings settings = Settings();
    settings.SubmitAction = TWebExportSubmitAction::PhpEmail;
    settings.Action = QStringLiteral("send.php");
    // Root writes anywhere: a folder that is a file stops anyone.
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    QFile plain(notAFolder);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    TWebExportFiles files = WebExportFiles(settings, dir.path());
    files.Script = notAFolder + QStringLiteral("/send.php");
    const QString error = WriteWebExport(settings, files);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Could not write \"%1\": ").arg(files.Script)))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("Not a directory"))) << error.toStdString();
    EXPECT_TRUE(Read(files.Html).endsWith(QLatin1String("</html>\r\n")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList {QStringLiteral("file"), QStringLiteral("form.html")}));

    files.Script = files.Html;
    EXPECT_FALSE(WriteWebExport(settings, files).isEmpty());
    EXPECT_TRUE(Read(files.Html).startsWith(QLatin1String("<!DOCTYPE HTML")));
}
} // namespace
