// The web export window in the designer, driven with real clicks and keys: its
// enabling rules, the checks on Continue, the questions before overwriting, the
// settings a successful export leaves in the document, and the field picker
// with its list and its Alt-hover over the page.

#include "CBaseElementHintForm.h"
#include "CDesignerINIInfo.h"
#include "CDesignerMainForm.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPrinterPage.h"
#include "CProjectInfo.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedo.h"
#include "CWebFormExportForm.h"
#include "CWebFormExportFormGetTxtForm.h"
#include "DesignerStart.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"
#include "WebExportTestKinds.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {
// Pictures to look at, beside the other tests' screenshots.
void SaveShot(QWidget &window, const char *name)
{
    QDir().mkpath(QStringLiteral("screenshots"));
    EXPECT_TRUE(window.grab().save(QStringLiteral("screenshots/") + QLatin1String(name)));
}

const TClassRegistration<TWebTestBox> registerDialogBox;
const TClassRegistration<TWebTestRadio> registerDialogRadio;

void WriteFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template<class T>
T *Child(const QWidget &parent, const char *name)
{
    T *child = parent.findChild<T *>(QString::fromLatin1(name));
    EXPECT_TRUE(child) << name;
    return child;
}

void Click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
    QCoreApplication::processEvents();
}

// Replaces an edit box's text as the user does: select all, then type.
void Type(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

// Picks an entry of a drop-down list with the keys.
void Choose(QComboBox *combo, const QString &text)
{
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < combo->count() && combo->currentText() != text; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->currentText(), text);
}
} // namespace

class WebExportDialog : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<TDesignerMainForm> window;

    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        ScriptedDialogs().Reset();
        path = dir.filePath(QStringLiteral("order form.vld"));
    }
    void TearDown() override
    {
        window.reset();
        ScriptedDialogs().VerifyAllUsed();
    }

    // Page 1: the boxes Name, Email, Under and Over (lying across Under's right half) and
    // the radio buttons Yes and No of group 3; page 2 holds nothing the form takes.
    void Open(bool withElements = true)
    {
        {
            TDocumentBuilder doc(2);
            if (withElements) {
                doc.Add<TWebTestBox>(0, QStringLiteral("Name"), QRect(40, 40, 200, 24));
                doc.Add<TWebTestBox>(0, QStringLiteral("Email"), QRect(40, 80, 200, 24));
                doc.Add<TWebTestBox>(0, QStringLiteral("Under"), QRect(40, 160, 200, 24));
                doc.Add<TWebTestBox>(0, QStringLiteral("Over"), QRect(140, 160, 200, 24));
                for (const char *name : {"Yes", "No"})
                    doc.Add<TWebTestRadio>(0, QString::fromLatin1(name),
                                           QRect(name[0] == 'Y' ? 40 : 100, 220, 40, 20))
                        ->SetGroupID(3);
            }
            ASSERT_TRUE(SaveForDesigning(doc, path));
        }
        window = StartDesigner(dir.filePath(QStringLiteral("plugins/")), path);
        ASSERT_TRUE(window->HasDocument());
        ASSERT_TRUE(window->DesignMode());
    }
    // The export window on the open document, on the screen.
    std::unique_ptr<TWebFormExportForm> Form()
    {
        auto form
            = std::make_unique<TWebFormExportForm>(window->ProjectInfo(), window->DocumentPath(),
                                                   window->DesignerSettings(), window.get());
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }
    // Settings that pass every check: the form named, Name submits.
    static void MakeValid(QWidget &form)
    {
        Type(Child<QLineEdit>(form, "FormNameEdit"), QStringLiteral("Order"));
        Choose(Child<QComboBox>(form, "SubmitCombo"), QStringLiteral("Name"));
    }
    static TBasePgCtrl *Element(const QString &name)
    {
        return qobject_cast<TBasePgCtrl *>(Global_FormElementRef(name));
    }
};

// The proposals come up; None greys the script's settings and the e-mail tab, ASP and PHP
// bring them back, only ASP has SMTP settings, and the switch changes the Action's extension.
TEST_F(WebExportDialog, SubmitActionSwitchesSettingsAndTheScriptExtension)
{
    Open();
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral(" Export to HTML"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "FileNameEdit")->text(),
                  QStringLiteral("order form.html"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "FormNameEdit")->text(), QStringLiteral("orderform"));
        EXPECT_TRUE(Child<QRadioButton>(dialog, "PostRadio")->isChecked());
        EXPECT_TRUE(Child<QRadioButton>(dialog, "NoneRadio")->isChecked());
        EXPECT_EQ(Child<QComboBox>(dialog, "SubmitCombo")->currentData().toString(), QString());
        auto *tabs = Child<QTabWidget>(dialog, "ExportTabs");
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("Submit Email(s)"));
        EXPECT_EQ(dialog.property("HelpContext").toInt(), 62);
        auto *title = Child<QLineEdit>(dialog, "ScriptTitleEdit");
        auto *text = Child<QLineEdit>(dialog, "DisplayTextEdit");
        auto *smtp = Child<QCheckBox>(dialog, "CustomSMTPCheck");
        auto *server = Child<QLineEdit>(dialog, "SMTPServerEdit");
        EXPECT_FALSE(title->isEnabled());
        EXPECT_FALSE(text->isEnabled());
        EXPECT_FALSE(tabs->isTabEnabled(1));

        Type(Child<QLineEdit>(dialog, "ActionEdit"), QStringLiteral("mail.asp"));
        Click(Child<QRadioButton>(dialog, "AspRadio"));
        EXPECT_TRUE(title->isEnabled());
        EXPECT_TRUE(text->isEnabled());
        EXPECT_TRUE(tabs->isTabEnabled(1));
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        EXPECT_EQ(tabs->currentIndex(), 1);
        EXPECT_EQ(dialog.property("HelpContext").toInt(), 63);
        EXPECT_TRUE(smtp->isEnabled());
        EXPECT_FALSE(server->isEnabled());
        Click(smtp);
        EXPECT_TRUE(server->isEnabled());
        EXPECT_EQ(server->text(), QStringLiteral("LocalHost"));
        // The field's help shows while it has the focus.
        server->setFocus();
        EXPECT_TRUE(Child<QLabel>(dialog, "HelpLabel")->text().contains(QStringLiteral("server")));
        SaveShot(dialog, "webexport_dialog_email.png");
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());

        Click(Child<QRadioButton>(dialog, "PhpRadio"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "ActionEdit")->text(), QStringLiteral("mail.php"));
        EXPECT_FALSE(smtp->isEnabled());
        EXPECT_TRUE(smtp->isChecked());
        EXPECT_FALSE(server->isEnabled());
        Click(Child<QRadioButton>(dialog, "AspRadio"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "ActionEdit")->text(), QStringLiteral("mail.asp"));
        Click(Child<QRadioButton>(dialog, "NoneRadio"));
        EXPECT_FALSE(title->isEnabled());
        EXPECT_FALSE(tabs->isTabEnabled(1));
        EXPECT_EQ(Child<QLineEdit>(dialog, "ActionEdit")->text(), QStringLiteral("mail.asp"));
        SaveShot(dialog, "webexport_dialog.png");
        Click(Child<QPushButton>(dialog, "CloseButton"));
        return dialog.result();
    });
    Click(window->findChild<QToolBar *>(QStringLiteral("FileToolBar"))
              ->widgetForAction(window->Action(QStringLiteral("FileExportHTML"))));
    // Closing stores nothing.
    EXPECT_TRUE(window->ProjectInfo().LastExportAction().isEmpty());
}

// Each check in turn says what is wrong and puts the focus where it is.
TEST_F(WebExportDialog, ContinueChecksInOrderAndFocusesTheFieldAtFault)
{
    Open();
    const auto form = Form();
    auto *tabs = Child<QTabWidget>(*form, "ExportTabs");
    auto *continueButton = Child<QPushButton>(*form, "ContinueButton");
    const auto check = [&](const char *field, const QString &message) {
        ScriptedDialogs().ExpectMessage(mrOk, message);
        Click(continueButton);
        EXPECT_EQ(ScriptedDialogs().Shown().last().Type, mtWarning);
        EXPECT_EQ(tabs->currentIndex(), 0);
        EXPECT_EQ(QApplication::focusWidget(), Child<QWidget>(*form, field)) << field;
    };
    Type(Child<QLineEdit>(*form, "FileNameEdit"), QStringLiteral("  "));
    Click(Child<QRadioButton>(*form, "AspRadio"));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    check("FileNameEdit", QStringLiteral("Please specify the file name of the HTML file"));

    Type(Child<QLineEdit>(*form, "FileNameEdit"), QStringLiteral("page"));
    Type(Child<QLineEdit>(*form, "FormNameEdit"), QStringLiteral("1Order"));
    check("FormNameEdit", QStringLiteral("Invalid Form Name!"));

    Type(Child<QLineEdit>(*form, "FormNameEdit"), QStringLiteral("Order"));
    check("ActionEdit", QStringLiteral("Please specify an Action."));

    Type(Child<QLineEdit>(*form, "ActionEdit"), QStringLiteral("mail.asp"));
    check("SubmitCombo",
          QStringLiteral("Please choose which form element is to be used as a "
                         "Submit button."));

    Choose(Child<QComboBox>(*form, "SubmitCombo"), QStringLiteral("Email"));
    Choose(Child<QComboBox>(*form, "ResetCombo"), QStringLiteral("Email"));
    check("ResetCombo", QStringLiteral("The Submit and Reset buttons cannot be the same"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("page.html"))));
}

// An existing file is asked about, and No writes nothing and stores nothing; the folder
// chosen is where the next export starts.
TEST_F(WebExportDialog, NoToOverwritingLeavesTheFileAndTheProjectUntouched)
{
    Open();
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    const QString html = out + QStringLiteral("/order form.html");
    WriteFile(html, "keep");
    const auto form = Form();
    MakeValid(*form);
    ScriptedDialogs().ExpectFolder(out);
    ScriptedDialogs().ExpectMessage(
        mrNo,
        QStringLiteral("A file named \"order form.html\" already exists. Continue and "
                       "overwrite ?"));
    Click(Child<QPushButton>(*form, "ContinueButton"));
    EXPECT_EQ(ReadFile(html), QByteArray("keep"));
    EXPECT_TRUE(window->ProjectInfo().LastExportFormName().isEmpty());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isEnabled());

    // Cancelling the folder dialog ends quietly; it started where the last export went.
    ScriptedDialogs().ExpectFolder(QString());
    Click(Child<QPushButton>(*form, "ContinueButton"));
    ASSERT_EQ(ScriptedDialogs().Shown().last().Kind, TDialogKind::Folder);
    EXPECT_EQ(ScriptedDialogs().Shown().last().Caption,
              QStringLiteral("Please choose the Export folder location."));
    EXPECT_EQ(ScriptedDialogs().Shown().last().Text, out);
}

// A write that fails says why as an error, stores nothing, and leaves the window usable.
TEST_F(WebExportDialog, AFailedWriteIsReportedAndStoresNothing)
{
    Open();
    const QString out = dir.filePath(QStringLiteral("blocked"));
    // A folder where the page would go: it exists, and no file can take its place.
    ASSERT_TRUE(QDir().mkpath(out + QStringLiteral("/order form.html")));
    const auto form = Form();
    MakeValid(*form);
    GlobalProjectChanged = false;
    ScriptedDialogs().ExpectFolder(out);
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("already exists"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Export failed.\r"));
    Click(Child<QPushButton>(*form, "ContinueButton"));
    EXPECT_EQ(ScriptedDialogs().Shown().last().Type, mtError);
    EXPECT_GT(ScriptedDialogs().Shown().last().Text.size(),
              QStringLiteral("Export failed.\r").size());
    EXPECT_TRUE(window->ProjectInfo().LastExportSubmit().isEmpty());
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isEnabled());
}

// Through the menu command: the files are written, the settings go into the document as
// one undoable step, and a saved and reopened document shows them again.
TEST_F(WebExportDialog, ExportWritesTheFilesAndTheDocumentKeepsTheSettings)
{
    Open();
    const QString out = dir.filePath(QStringLiteral("site"));
    ASSERT_TRUE(QDir().mkpath(out));
    GlobalProjectChanged = false;
    const int steps = window->DesignerUndoRedo().Count();
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        dialog.show();
        MakeValid(dialog);
        Type(Child<QLineEdit>(dialog, "TitleEdit"), QStringLiteral("Orders"));
        Type(Child<QLineEdit>(dialog, "ActionEdit"), QStringLiteral("send.php"));
        Click(Child<QRadioButton>(dialog, "PhpRadio"));
        ScriptedDialogs().ExpectFolder(out);
        ScriptedDialogs().ExpectMessage(mrOk,
                                        QStringLiteral("Export to \"order form.html\" completed."));
        Click(Child<QPushButton>(dialog, "ContinueButton"));
        EXPECT_EQ(ScriptedDialogs().Shown().last().Type, mtInformation);
        return dialog.result();
    });
    window->Action(QStringLiteral("FileExportHTML"))->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/order form.html")));
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/send.php")));
    TProjectInfo &info = window->ProjectInfo();
    EXPECT_EQ(info.LastExportFileTitle(), QStringLiteral("Orders"));
    EXPECT_EQ(info.LastExportSubmit(), QStringLiteral("Name"));
    EXPECT_EQ(info.LastExportSubmitAction(), 2);
    EXPECT_TRUE(GlobalProjectChanged);

    ASSERT_EQ(window->DesignerUndoRedo().Count(), steps + 1);
    window->Action(QStringLiteral("EditUndo"))->trigger();
    EXPECT_TRUE(info.LastExportFileTitle().isEmpty());
    EXPECT_EQ(info.LastExportSubmitAction(), 0);
    window->Action(QStringLiteral("EditRedo"))->trigger();
    EXPECT_EQ(info.LastExportFileTitle(), QStringLiteral("Orders"));

    ASSERT_TRUE(window->Save());
    window->CloseDocument();
    ASSERT_TRUE(window->OpenDocument(path));
    QCoreApplication::processEvents();
    if (!window->DesignMode())
        window->SetDesignMode(true);
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        EXPECT_EQ(Child<QLineEdit>(dialog, "TitleEdit")->text(), QStringLiteral("Orders"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "FormNameEdit")->text(), QStringLiteral("Order"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "ActionEdit")->text(), QStringLiteral("send.php"));
        EXPECT_TRUE(Child<QRadioButton>(dialog, "PhpRadio")->isChecked());
        EXPECT_EQ(Child<QComboBox>(dialog, "SubmitCombo")->currentText(), QStringLiteral("Name"));
        return int(QDialog::Rejected);
    });
    window->Action(QStringLiteral("FileExportHTML"))->trigger();
}

// A document with nothing the form takes says so and opens no window; filling in, the
// command is off.
TEST_F(WebExportDialog, NothingToExportIsToldAndTheCommandFollowsDesignMode)
{
    Open(false);
    ASSERT_TRUE(window->Action(QStringLiteral("FileExportHTML"))->isEnabled());
    ScriptedDialogs().ExpectMessage(mrOk, QString::fromLatin1(SWebExportNothing));
    window->Action(QStringLiteral("FileExportHTML"))->trigger();
    EXPECT_EQ(ScriptedDialogs().Shown().size(), 1);
    EXPECT_EQ(ScriptedDialogs().Shown().last().Type, mtInformation);
    window->SetDesignMode(false);
    EXPECT_FALSE(window->Action(QStringLiteral("FileExportHTML"))->isEnabled());
}

// A double-click on an e-mail field opens the picker on its text; a click in the list puts
// "#!" and the name at the caret in place of the selection, a radio group is offered once,
// and a double-click confirms.
TEST_F(WebExportDialog, FieldPickerInsertsReferencesAtTheCaret)
{
    Open();
    const auto form = Form();
    Click(Child<QRadioButton>(*form, "AspRadio"));
    auto *tabs = Child<QTabWidget>(*form, "ExportTabs");
    tabs->setCurrentIndex(1);
    auto *from = Child<QLineEdit>(*form, "FromEdit1");
    from->setText(QStringLiteral("Dear X,"));
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto &picker = static_cast<TWebFormExportFormGetTxtForm &>(dialog);
        picker.show();
        EXPECT_EQ(picker.windowTitle(), QStringLiteral(" From (Email 1)"));
        QStringList listed;
        for (int i = 0; i < picker.FieldList()->count(); ++i)
            listed << picker.FieldList()->item(i)->text();
        EXPECT_EQ(
            listed,
            QStringList({QStringLiteral("Name"), QStringLiteral("Email"), QStringLiteral("Under"),
                         QStringLiteral("Over"), QStringLiteral("GroupID3")}));
        // The second page has nothing the form takes.
        picker.PageTabs()->setCurrentIndex(2);
        EXPECT_TRUE(picker.NoFieldsLabel()->isVisible());
        picker.PageTabs()->setCurrentIndex(0);
        EXPECT_FALSE(picker.NoFieldsLabel()->isVisible());

        // Select the X.
        QPlainTextEdit *memo = picker.Memo();
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(memo, Qt::Key_Right);
        QTest::keyClick(memo, Qt::Key_Right, Qt::ShiftModifier);
        QListWidget *list = picker.FieldList();
        const QRect group = list->visualItemRect(list->item(4));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, group.center());
        EXPECT_EQ(picker.Text(), QStringLiteral("Dear #!GroupID3,"));
        EXPECT_EQ(memo->textCursor().selectedText(), QStringLiteral("#!GroupID3"));
        // A double-click's first click inserts, its second confirms.
        const QRect name = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, name.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, name.center());
        EXPECT_EQ(picker.Text(), QStringLiteral("Dear #!Name,"));
        SaveShot(picker, "webexport_field_picker.png");
        return picker.result();
    });
    QTest::mouseDClick(from, Qt::LeftButton, {}, from->rect().center());
    EXPECT_EQ(from->text(), QStringLiteral("Dear #!Name,"));

    // Cancel leaves the field as it was; the "..." button opens the picker too.
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        static_cast<TWebFormExportFormGetTxtForm &>(dialog).Memo()->setPlainText(
            QStringLiteral("x"));
        return int(QDialog::Rejected);
    });
    Click(Child<QPushButton>(*form, "FromEdit1Button"));
    EXPECT_EQ(from->text(), QStringLiteral("Dear #!Name,"));
}

// Holding Alt over the page names the topmost element under the pointer below it; a click
// inserts it, letting go of Alt ends the picking.
TEST_F(WebExportDialog, AltOverThePagePicksTheTopmostElement)
{
    Open();
    TWebFormExportFormGetTxtForm picker(QStringLiteral("After Submit Text"), QString(),
                                        window.get());
    picker.move(window->geometry().right() + 20, 0);
    picker.show();
    picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    TBaseElementHintForm *hint = picker.Picker();
    QWidget *engine = window->SurfaceDesigner1()->Engine();
    auto *under = qobject_cast<QWidget *>(Element(QStringLiteral("Under")));
    auto *over = qobject_cast<QWidget *>(Element(QStringLiteral("Over")));
    auto *yes = qobject_cast<QWidget *>(Element(QStringLiteral("Yes")));
    ASSERT_TRUE(under && over && yes);
    // Where the two boxes lie one over the other.
    const QPoint shared = engine->mapFromGlobal(over->mapToGlobal(QPoint(10, over->height() / 2)));
    ASSERT_TRUE(under->rect().contains(under->mapFromGlobal(engine->mapToGlobal(shared))));

    // Without Alt the pointer is only a pointer.
    QTest::mouseMove(engine, shared);
    QTest::qWait(120);
    EXPECT_FALSE(hint->Tracking());

    QTest::keyPress(picker.Memo(), Qt::Key_Alt, Qt::AltModifier);
    QTest::mouseMove(engine, shared);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hint->Tracked() != nullptr; }, 3000));
    ASSERT_TRUE(hint->Tracking());
    EXPECT_EQ(hint->Tracked(), over);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(), QStringLiteral("Over"));
    EXPECT_GT(hint->y(), engine->mapToGlobal(shared).y());
    // A radio button stands for its group.
    QTest::mouseMove(engine, engine->mapFromGlobal(yes->mapToGlobal(yes->rect().center())));
    EXPECT_TRUE(QTest::qWaitFor([&] { return hint->Tracked() == yes; }, 3000));
    EXPECT_EQ(hint->text(), QStringLiteral("GroupID3"));

    QTest::mouseClick(engine, Qt::LeftButton, Qt::AltModifier, shared);
    EXPECT_EQ(picker.Text(), QStringLiteral("#!Over"));
    // The click was the picker's: the page designer selected nothing.
    EXPECT_EQ(window->SurfaceDesigner1()->Engine()->SelCount(), 0);

    QTest::keyRelease(picker.Memo(), Qt::Key_Alt);
    QTest::qWait(120);
    EXPECT_FALSE(hint->Tracking());
    EXPECT_FALSE(hint->isVisible());
    QTest::mouseClick(engine, Qt::LeftButton, {}, shared);
    EXPECT_EQ(picker.Text(), QStringLiteral("#!Over"));
}
