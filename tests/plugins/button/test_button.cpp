// The button on a page: its action list stored as one string, each action
// carried out through a stand-in main window that answers the commands, the
// dialogs of its actions, renames followed, posts to a local HTTP server and
// mail to a local SMTP server.

#include "CButton.h"
#include "CButtonActionsDlg.h"
#include "CButtonDialogs.h"
#include "CEMailer.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CIdMessage.h"
#include "CIdTCPClient.h"
#include "CMessages.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "GlobalsGuard.h"
#include "SampleTextBox.h"
#include "ScriptedDialogService.h"
#include "TestServers.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace {
// Answers the button's commands as the program's window would, from a table.
class TStandInMainWindow : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGCommand) {
            const QString argument = *reinterpret_cast<const QString *>(message.LParam);
            Commands.append(QString::number(message.WParam)
                            + (argument.isEmpty() ? QString() : u' ' + argument));
            message.Result = Answers.value(int(message.WParam), 0);
        } else if (message.Msg == VRMSGAskSaveChanges) {
            ++SaveQuestions;
            message.Result = SaveAnswer;
        }
    }
    QStringList Commands;
    QMap<int, std::intptr_t> Answers;
    int SaveQuestions = 0;
    std::intptr_t SaveAnswer = 1;
};

class Button : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        ScriptedDialogs().Reset();
        GlobalMainForm = &mainWindow;
        GlobalPagesPageControl = pages.get();
        GlobalFilling = true;
        for (int i = 0; i < 3; ++i)
            views.append(new TPrinterPage(pages.get(), pages->AddPage(QStringLiteral("Page"))));
        pages->resize(900, 1200);
        pages->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        pages.reset();
        ScriptedDialogs().VerifyAllUsed();
        TIdTCPClient::SetDefaultTimeout(30000);
    }
    template<class T>
    T *Add(const QString &name, const QRect &at = QRect(20, 20, 120, 25))
    {
        auto *element = CreateComponent<T>(pages.get());
        element->setParent(views.first());
        element->SetName(name);
        element->setGeometry(at);
        element->show();
        return element;
    }
    TButton *ButtonWith(std::initializer_list<TButtonAction> actions)
    {
        TButton *button = Add<TButton>(QStringLiteral("Button%1").arg(++m_buttons));
        button->SetActions(QList<TButtonAction>(actions));
        return button;
    }
    static TButtonAction Action(int kind,
                                std::initializer_list<std::pair<int, QString>> fields = {})
    {
        TButtonAction action(kind);
        for (const auto &[field, value] : fields)
            action.SetStr(field, value);
        return action;
    }
    static QStringList Captions()
    {
        QStringList shown;
        for (const TShownDialog &dialog : ScriptedDialogs().Shown())
            shown.append(dialog.Caption + u'|' + dialog.Text);
        return shown;
    }

    TStandInMainWindow mainWindow;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>();
    QList<TPrinterPage *> views;
    int m_buttons = 0;
};

using namespace ButtonParam;
const QChar S = TPropParamsListHelper::Separator;
} // namespace

TEST_F(Button, ActionsAreOneStringOfFieldsReadBackAsWritten)
{
    TButton *button = Add<TButton>(QStringLiteral("Send"));
    EXPECT_EQ(button->ClassTypeID(), 105);
    button->SetCaption(QStringLiteral("Send the form"));
    QDir().mkpath(QStringLiteral("screenshots"));
    button->grab().save(QStringLiteral("screenshots/button.png"));
    // Held down it looks pressed; released over it, it runs its list once the mouse event
    // is done; released elsewhere, nothing.
    button->SetActions({Action(bakNextPage)});
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_TRUE(button->Pressed());
    button->grab().save(QStringLiteral("screenshots/button-pressed.png"));
    QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
    EXPECT_FALSE(button->Pressed());
    EXPECT_TRUE(mainWindow.Commands.isEmpty());
    QApplication::processEvents();
    EXPECT_EQ(mainWindow.Commands, QStringList({"100"}));
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-5, -5));
    QApplication::processEvents();
    EXPECT_EQ(mainWindow.Commands, QStringList({"100"}));
    mainWindow.Commands.clear();
    button->SetActions({});
    EXPECT_EQ(button->Actions().Count(), 0);
    EXPECT_TRUE(button->RunActions());
    EXPECT_TRUE(mainWindow.Commands.isEmpty());

    TButtonAction print(bakPrint);
    print.SetBool(PrintCollate, true);
    print.SetInt(PrintCopies, 2);
    print.SetInt(PrintFrom, 1);
    print.SetInt(PrintTo, 3);
    print.SetInt(PrintRange, 2);
    const TButtonAction post = Action(bakPostToURL,
                                      {{PostURL, QStringLiteral("http://x/")},
                                       {PostFields, QStringLiteral("A\r\nB")},
                                       {PostStripHTML, QStringLiteral("1")}});
    button->SetActions({Action(bakSave), print, post, Action(bakClose)});
    EXPECT_EQ(button->ButtonActions(),
              QStringList({"3", "5", "1", "2", "1", "3", "2", "0", "14", "http://x/", "A\r\nB", "",
                           "0", "1", "2"})
                  .join(S));
    EXPECT_TRUE(GlobalProjectChanged);

    // Every kind read back with its fields, through the stream as a document holds it.
    QList<TButtonAction> all;
    for (int kind = 0; kind < bakCount; ++kind) {
        TButtonAction action(kind);
        const QString types = TButtonAction::FieldTypes(kind);
        for (int field = 0; field < types.size(); ++field)
            action.SetStr(field,
                          types.at(field) == u's'       ? QStringLiteral("text %1").arg(field)
                              : types.at(field) == u'b' ? QStringLiteral("1")
                                                        : QString::number(field + 7));
        all.append(action);
    }
    button->SetActions(all);
    TActionsList read;
    read.StrToList(button->ButtonActions());
    ASSERT_EQ(read.Count(), bakCount);
    for (int kind = 0; kind < bakCount; ++kind)
        EXPECT_TRUE(*read.Action(kind) == all.at(kind)) << kind;
    EXPECT_EQ(TButtonAction::FieldTypes(bakEmail).size(), 14);
    EXPECT_EQ(TButtonAction::KindByName(QStringLiteral("goto page")), bakGotoPage);

    // A text can never carry the separator: it would shift every field after it.
    TButtonAction open(bakOpen);
    open.SetStr(OpenPath, QStringLiteral("a") + S + QStringLiteral("1b"));
    EXPECT_EQ(open.Str(OpenPath), QStringLiteral("a1b"));
    EXPECT_FALSE(open.Bool(OpenUseDialog));
    // A damaged flag reads as off, and the fields after it stay in place.
    read.StrToList(QStringList({"12", "2", "7", "3"}).join(S));
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(read.Action(0)->Int(GotoPage), 2);
    EXPECT_FALSE(read.Action(0)->Bool(GotoUseDialog));
    EXPECT_EQ(read.Action(1)->Kind(), bakSave);
}

TEST_F(Button, PrintNotDoneStopsBeforeCloseAndValidationFailureBeforeSave)
{
    TButtonAction print(bakPrint);
    print.SetBool(PrintUseDialog, true);
    print.SetInt(PrintCopies, 1);
    print.SetInt(PrintFrom, 2);
    print.SetInt(PrintTo, 3);
    print.SetInt(PrintRange, 2);
    TButton *button = ButtonWith({print, Action(bakClose)});
    mainWindow.Answers[60] = 1;
    EXPECT_FALSE(button->RunActions());
    EXPECT_EQ(mainWindow.Commands, QStringList({"60 1021;2;3"}));
    mainWindow.Answers[60] = 0;
    mainWindow.Commands.clear();
    button->RunActions();
    EXPECT_EQ(mainWindow.Commands, QStringList({"60 1021;2;3", "30"}));

    button = ButtonWith({Action(bakValidate), Action(bakSave), Action(bakNextPage)});
    mainWindow.Commands.clear();
    mainWindow.Answers[70] = 0;
    EXPECT_FALSE(button->RunActions());
    EXPECT_EQ(mainWindow.Commands, QStringList({"70"}));
    EXPECT_TRUE(ScriptedDialogs().Shown().isEmpty());
    mainWindow.Answers[70] = 1;
    mainWindow.Commands.clear();
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Form validation passed!"));
    EXPECT_TRUE(button->RunActions());
    EXPECT_EQ(mainWindow.Commands, QStringList({"70", "40", "100"}));
    EXPECT_EQ(ScriptedDialogs().Shown().last().Caption, QStringLiteral("Validate"));

    // Save As without its dialog names no dialog, and a refusal ends the list.
    TButtonAction saveAs(bakSaveAs);
    saveAs.SetStr(SaveAsPath, QStringLiteral("/tmp/x.vld"));
    button = ButtonWith({saveAs, Action(bakResetForm)});
    mainWindow.Commands.clear();
    mainWindow.Answers[50] = 1;
    EXPECT_FALSE(button->RunActions());
    EXPECT_EQ(mainWindow.Commands, QStringList({"50 00/tmp/x.vld"}));
}

TEST_F(Button, PageCommandsAndGotoPageCheckedAgainstThePages)
{
    TButton *button = ButtonWith(
        {Action(bakFirstPage), Action(bakNextPage), Action(bakPreviousPage), Action(bakLastPage),
         Action(bakActualSize), Action(bakFitToWidth), Action(bakFitToPage), Action(bakResetForm),
         Action(bakGotoPage, {{GotoPage, QStringLiteral("5")}}),
         Action(bakGotoPage, {{GotoPage, QStringLiteral("0")}}),
         Action(bakGotoPage, {{GotoPage, QStringLiteral("3")}}), Action(bakExit), Action(bakSave)});
    EXPECT_FALSE(button->RunActions());
    EXPECT_EQ(mainWindow.Commands,
              QStringList({"90", "100", "110", "120", "140", "150", "160", "180", "130 3", "80"}));

    // With its dialog: the number is kept to the pages; Cancel ends the list.
    button = ButtonWith(
        {Action(bakGotoPage,
                {{GotoPage, QStringLiteral("9")}, {GotoUseDialog, QStringLiteral("1")}}),
         Action(bakSave)});
    mainWindow.Commands.clear();
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto *page = dialog.findChild<QSpinBox *>();
        EXPECT_EQ(page->value(), 3);
        EXPECT_EQ(page->maximum(), 3);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral(" Goto Page"));
        page->setValue(2);
        return int(mrOk);
    });
    EXPECT_TRUE(button->RunActions());
    EXPECT_EQ(mainWindow.Commands, QStringList({"130 2", "40"}));
    mainWindow.Commands.clear();
    ScriptedDialogs().ExpectModal([](QDialog &) { return int(mrCancel); });
    EXPECT_FALSE(button->RunActions());
    EXPECT_TRUE(mainWindow.Commands.isEmpty());
}

TEST_F(Button, HyperlinkOpensTheAddressAndKeepsTheOnesTyped)
{
    ScriptedDialogs().SetUrlsOpen(true);
    TButton *button = ButtonWith(
        {Action(bakHyperlink, {{HyperlinkURL, QStringLiteral(" https://example.org/form ")}}),
         Action(bakHyperlink)});
    button->RunActions();
    ASSERT_EQ(ScriptedDialogs().OpenedUrls().size(), 2);
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().at(0),
              QUrl(QStringLiteral("https://example.org/form")));
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().at(1).toString(), QStringLiteral("about:blank"));

    button = ButtonWith({Action(bakHyperlink,
                                {{HyperlinkURL, QStringLiteral("https://b.example/")},
                                 {HyperlinkUseDialog, QStringLiteral("1")}})});
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto *url = dialog.findChild<QComboBox *>();
        EXPECT_EQ(url->currentText(), QStringLiteral("https://b.example/"));
        url->setEditText(QStringLiteral("https://a.example/ "));
        dialog.accept();
        return int(mrOk);
    });
    button->RunActions();
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().last(), QUrl(QStringLiteral("https://a.example/")));
    // The next dialog offers the address used, sorted.
    TButtonHyperLinkToURLForm again(nullptr, QString());
    auto *url = again.findChild<QComboBox *>();
    ASSERT_EQ(url->count(), 1);
    EXPECT_EQ(url->itemText(0), QStringLiteral("https://a.example/"));
}

TEST_F(Button, StartingAProgramAsksFirstNamingItAndItsArguments)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("started"));
    const QString program = dir.filePath(QStringLiteral("run.sh"));
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"$1\" > \"$2\"\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::WriteOwner);
    TButton *button = ButtonWith(
        {Action(bakExecute, {{ExecuteProgram, program}, {ExecuteParameters, "hello " + marker}}),
         Action(bakSave)});
    ScriptedDialogs().ExpectMessage(mrNo, program);
    EXPECT_TRUE(button->RunActions());
    EXPECT_TRUE(ScriptedDialogs().Shown().last().Text.contains("hello " + marker));
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(mainWindow.Commands, QStringList({"40"}));

    ScriptedDialogs().ExpectMessage(mrYes, program);
    button->RunActions();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 10000));

    // A program that is not there only sounds.
    button = ButtonWith({Action(bakExecute, {{ExecuteProgram, dir.filePath("gone")}})});
    const int beeps = ScriptedDialogs().Beeps();
    button->RunActions();
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 1);
}

TEST_F(Button, RenamesFollowedInTheFieldsToSendByWholeNames)
{
    auto *amount = Add<TSampleTextBox>(QStringLiteral("Amount"));
    Add<TSampleTextBox>(QStringLiteral("Amount2"), QRect(20, 60, 120, 25));
    TButton *button
        = ButtonWith({Action(bakPostToURL,
                             {{PostURL, QStringLiteral("http://x/")},
                              {PostFields, QStringLiteral("Amount\r\nAmount2\r\namount")},
                              {PostResponseField, QStringLiteral("Amount")}}),
                      Action(bakSave)});
    GlobalProjectChanged = false;
    amount->SetName(QStringLiteral("Total"));
    TActionsList read;
    read.StrToList(button->ButtonActions());
    EXPECT_EQ(read.Action(0)->Str(PostFields), QStringLiteral("Total\r\nAmount2\r\nTotal"));
    EXPECT_EQ(read.Action(0)->Str(PostResponseField), QStringLiteral("Total"));
    EXPECT_EQ(read.Action(1)->Kind(), bakSave);
    EXPECT_TRUE(GlobalProjectChanged);
    // Its own rename leaves the list alone.
    const QString before = button->ButtonActions();
    button->SetName(QStringLiteral("Total2"));
    EXPECT_EQ(button->ButtonActions(), before);
}

TEST_F(Button, PostSendsExactlyTheChosenFieldsUrlEncoded)
{
    TScriptServer server;
    if (!server.Start(QString::fromLatin1(HttpServerScript), {server.Folder()}))
        GTEST_SKIP() << "python3 could not start a local HTTP server";
    Add<TSampleTextBox>(QStringLiteral("Name"))->SetText(QStringLiteral("Zoë & Ånd=1+1 ü"));
    Add<TSampleTextBox>(QStringLiteral("City"), QRect(20, 60, 120, 25))
        ->SetText(QStringLiteral("a%20b"));
    Add<TSampleTextBox>(QStringLiteral("Secret"), QRect(20, 100, 120, 25))
        ->SetText(QStringLiteral("no"));
    auto *reply = Add<TSampleTextBox>(QStringLiteral("Reply"), QRect(20, 140, 300, 60));
    const QString url = QStringLiteral("http://127.0.0.1:%1/form").arg(server.Port);
    TButton *button
        = ButtonWith({Action(bakPostToURL,
                             {{PostURL, url},
                              {PostFields, QStringLiteral("Name\r\nNobody\r\nCity\r\n")},
                              {PostResponseField, QStringLiteral("Reply")},
                              {PostStripHTML, QStringLiteral("1")}}),
                      Action(bakSave)});
    EXPECT_TRUE(button->RunActions());
    QFile body(server.File(QStringLiteral("body.txt")));
    ASSERT_TRUE(body.open(QIODevice::ReadOnly));
    const QByteArray sent = body.readAll();
    EXPECT_EQ(sent, QByteArray("Name=Zo%c3%ab%20%26%20%c3%85nd%3d1%2b1%20%c3%bc&City=a%2520b"));
    QFile type(server.File(QStringLiteral("type.txt")));
    ASSERT_TRUE(type.open(QIODevice::ReadOnly));
    EXPECT_EQ(type.readAll(), QByteArray("application/x-www-form-urlencoded"));
    // The server's own parse, stripped of its mark-up, lands in the response field.
    EXPECT_EQ(reply->Text(), QStringLiteral("Name=Zoë & Ånd=1+1 ü\nCity=a%20b"));
    EXPECT_EQ(mainWindow.Commands, QStringList({"40"}));

    // Errors are told in a box of their own, and the list goes on.
    button = ButtonWith(
        {Action(bakPostToURL,
                {{PostURL, QString(url).replace("/form", "/missing")},
                 {PostFields, QStringLiteral("City")}}),
         Action(bakPostToURL, {{PostFields, QStringLiteral("City")}}),
         Action(bakPostToURL, {{PostURL, url}, {PostFields, QStringLiteral("Nobody")}}),
         Action(bakSave)});
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("404"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("No URL specified!"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("No fields specified!"));
    EXPECT_TRUE(button->RunActions());
    EXPECT_TRUE(ScriptedDialogs().Shown().at(0).Text.contains(QStringLiteral("No such form here")))
        << ScriptedDialogs().Shown().at(0).Text.toStdString();
    EXPECT_EQ(ScriptedDialogs().Shown().at(0).Caption, QStringLiteral("Post To URL Error"));
}

TEST_F(Button, MailToAddressWithoutAPasswordAndNoHeaderFromALineBreak)
{
    TButtonAction mail(bakEmail);
    mail.SetStr(EmailTo, QStringLiteral("a@example.com"));
    mail.SetStr(EmailSubject, QStringLiteral("Hello there"));
    mail.SetStr(EmailHost, QStringLiteral("mail.example.com"));
    mail.SetStr(EmailUserID, QStringLiteral("user"));
    mail.SetStr(EmailAttachments, QStringLiteral("/etc/hostname"));
    EXPECT_EQ(TEMailer(mail).MailToURL(),
              QStringLiteral("mailto:a@example.com?subject=Hello%20there"));
    TButton *button = ButtonWith({mail, Action(bakSave)});
    button->RunActions();
    ASSERT_EQ(ScriptedDialogs().OpenedUrls().size(), 1);
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().first().scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mainWindow.Commands, QStringList({"40"}));

    TEMailer all;
    all.To = QStringLiteral("a@x.org");
    all.Body = QStringLiteral("Line 1\r\nLine 2");
    all.Subject = QStringLiteral("S\r\nBcc: x@example.com");
    all.CC = QStringLiteral("c@x.org");
    all.BCC = QStringLiteral("b@x.org\r\nX: y");
    EXPECT_EQ(all.MailToURL(),
              QStringLiteral("mailto:a@x.org?body=Line%201%0d%0aLine%202&subject=S%20Bcc%3a%20x@"
                             "example.com&cc=c@x.org&bcc=b@x.org X: y"));

    // In the message itself, the subject stays one header.
    TIdMessage message;
    message.From = QStringLiteral("me@x.org");
    message.Recipients.Add(QStringLiteral("a@x.org"));
    message.Subject = all.Subject;
    const QByteArray encoded = message.Encode();
    const QByteArray headers = encoded.left(encoded.indexOf("\r\n\r\n"));
    EXPECT_FALSE(headers.contains("\r\nBcc:")) << headers.constData();
    EXPECT_TRUE(headers.contains("Subject: S Bcc: x@example.com")) << headers.constData();
}

TEST_F(Button, ActionsDialogBuildsTheListInOrderAndOkStoresIt)
{
    Add<TSampleTextBox>(QStringLiteral("Amount"));
    TButton *button = ButtonWith({Action(bakSave)});
    GlobalProjectChanged = false;
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto &actions = static_cast<TButtonActionsDlg &>(dialog);
        // Shown, so that the buttons of each page are laid out to be clicked.
        actions.show();
        EXPECT_EQ(actions.windowTitle(), QStringLiteral(" Actions"));
        EXPECT_EQ(actions.ActionCombo->itemText(0), QStringLiteral("Open"));
        EXPECT_EQ(actions.ActionCombo->itemText(19), QStringLiteral("Execute Application"));
        EXPECT_EQ(actions.ActionCombo->findText(QStringLiteral("New")), -1);
        EXPECT_EQ(actions.PerformList->count(), 1);
        // A goto page kept to the pages there are, added after Save.
        actions.ChooseKind(bakGotoPage);
        actions.GotoPage->setValue(7);
        QTest::mouseClick(actions.AddButton, Qt::LeftButton);
        // A post of the chosen field; the separator typed into the address goes.
        actions.ChooseKind(bakPostToURL);
        QApplication::processEvents();
        actions.PostURL->setText(QStringLiteral("http://a") + S + QStringLiteral("b/"));
        EXPECT_EQ(actions.PostAvailable->count(), 1);
        actions.PostAvailable->setCurrentRow(0);
        QTest::mouseClick(actions.findChild<QPushButton *>(QStringLiteral("PostAddField")),
                          Qt::LeftButton);
        QTest::mouseClick(actions.AddButton, Qt::LeftButton);
        EXPECT_EQ(actions.PerformList->count(), 3);
        QDir().mkpath(QStringLiteral("screenshots"));
        actions.grab().save(QStringLiteral("screenshots/button-actions-post.png"));
        // Moved to the top, then the middle one deleted, then Save modified into Close.
        QTest::mouseClick(actions.UpButton, Qt::LeftButton);
        QTest::mouseClick(actions.UpButton, Qt::LeftButton);
        EXPECT_EQ(actions.PerformList->item(0)->text(), QStringLiteral("Post To URL"));
        actions.PerformList->setCurrentRow(1);
        QTest::mouseClick(actions.DeleteButton, Qt::LeftButton);
        actions.PerformList->setCurrentRow(1);
        EXPECT_EQ(actions.ChosenKind(), bakGotoPage);
        actions.ChooseKind(bakClose);
        QTest::mouseClick(actions.ModifyButton, Qt::LeftButton);
        return int(mrOk);
    });
    QString value;
    ASSERT_TRUE(button->ShowPropEditor(QStringLiteral("ButtonActions"), false, value));
    EXPECT_EQ(value, QStringList({"14", "http://ab/", "Amount", "", "0", "0", "2"}).join(S));
    EXPECT_EQ(button->ButtonActions(), value);
    EXPECT_EQ(button->Actions().Count(), 2);
    EXPECT_TRUE(GlobalProjectChanged);

    // Cancel changes nothing.
    GlobalProjectChanged = false;
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        QTest::mouseClick(static_cast<TButtonActionsDlg &>(dialog).DeleteButton, Qt::LeftButton);
        return int(mrCancel);
    });
    EXPECT_FALSE(button->ShowPropEditor(QStringLiteral("ButtonActions"), false, value));
    EXPECT_EQ(button->Actions().Count(), 2);
    EXPECT_FALSE(GlobalProjectChanged);
}

TEST_F(Button, PostToAPortNobodyListensOnSaysSoAndGoesOn)
{
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    Add<TSampleTextBox>(QStringLiteral("City"))->SetText(QStringLiteral("Oslo"));
    TButton *button
        = ButtonWith({Action(bakPostToURL,
                             {{PostURL, QStringLiteral("http://127.0.0.1:%1/").arg(port)},
                              {PostFields, QStringLiteral("City")}}),
                      Action(bakSave)});
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Unable to connect to 127.0.0.1!"));
    EXPECT_TRUE(button->RunActions());
    EXPECT_EQ(ScriptedDialogs().Shown().last().Caption, QStringLiteral("Post To URL Error"));
    EXPECT_EQ(mainWindow.Commands, QStringList({"40"}));
}
