// The filler as a desktop program, the way a new user meets it: menus from the
// keyboard, keys for zoom, pages and scrolling, the title's changed marker, the
// status bar, the empty window, dialogs' places, links that cannot open.

#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CFillerMainForm.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterOffsetsDlg.h"
#include "CPrinterPage.h"
#include "CPrinterService.h"
#include "ExampleForms.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {
class FillerUsability : public TFillerWindowTest
{
protected:
    TFillerMainForm &Open(const char *example)
    {
        window = OpenExample(dir, example);
        return *window;
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }
};
} // namespace

TEST_F(FillerUsability, AMenuOpenedFromTheKeyboardEditsTheBoxAndGivesItTheKeysBack)
{
    TFillerMainForm &w = Open("Employee.vld");
    ClickInto("FullName");
    TypeInto(QStringLiteral("Ada Lovelace"));
    TVisualPgCtrl *name = Element("FullName");
    QWidget *editor = name->Editor();
    ASSERT_NE(editor, nullptr);

    Press(Qt::Key_E, Qt::AltModifier);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("EditMenu"));
    EXPECT_TRUE(w.Action(QStringLiteral("EditSelectAll"))->isEnabled());
    EXPECT_TRUE(w.Action(QStringLiteral("EditUndo"))->isEnabled());
    // Select All by its access letter acts on the box the menu was opened over.
    QTest::keyClick(menu, Qt::Key_A);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(name->SelLength(), QStringLiteral("Ada Lovelace").size());
    EXPECT_EQ(QApplication::focusWidget(), editor);

    // Escape leaves the menu; the caret is back in the box and TAB goes on in the form.
    Press(Qt::Key_E, Qt::AltModifier);
    menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Escape);
    if (QApplication::focusWidget() == w.menuBar())
        QTest::keyClick(w.menuBar(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), name);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    Tab();
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element("Address"));
    EXPECT_EQ(name->Text(), QStringLiteral("Ada Lovelace"));

    // Both redo keys of the desktop bring back what undo took.
    ClickInto("FullName");
    TypeInto(QStringLiteral(" Byron"));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(name->Text(), QStringLiteral("Ada Lovelace Byro"));
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(name->Text(), QStringLiteral("Ada Lovelace Byron"));
}

TEST_F(FillerUsability, EnterStartsANewLineInAMultiLineExampleBox)
{
    Open("Employee.vld");
    ClickInto("Address");
    TypeInto(QStringLiteral("1 Main Street"));
    Press(Qt::Key_Return);
    TypeInto(QStringLiteral("Springfield"));
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element("Address"));
    EXPECT_EQ(Element("Address")->Text(), QStringLiteral("1 Main Street\r\nSpringfield"));
    EXPECT_TRUE(Element("Email")->Text().isEmpty());
    // A one-line box still moves on with Enter.
    Tab();
    Press(Qt::Key_Return);
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element("Salary"));
}

TEST_F(FillerUsability, ZoomAndPageKeys)
{
    TFillerMainForm &w = Open("Application.vld");
    ClickInto("ApplicantName");
    TPrinterPage *page = w.ActivePage();
    Press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(page->Zoom(), 100);
    Press(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(page->Zoom(), 125);
    Press(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(page->Zoom(), 150);
    Press(Qt::Key_Minus, Qt::ControlModifier);
    Press(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(page->Zoom(), 100);
    EXPECT_EQ(w.ZoomBox()->currentText(), QStringLiteral("100 %"));

    // The typed text is committed before the page changes, and comes back with it.
    TypeInto(QStringLiteral("Ada"));
    Press(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(Element("ApplicantName")->Text(), QStringLiteral("Ada"));
    Press(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    Press(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(GlobalActivePgIdx(), 0);

    // Without a box holding the keys, Page Down and Ctrl+End scroll the page.
    page = w.ActivePage();
    page->SetZoom(200);
    w.PagesPageControl()->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(TVisualPgCtrl::FocusedElement(), nullptr);
    QScrollBar *vertical = page->VertScrollBar();
    ASSERT_GT(vertical->maximum(), vertical->pageStep());
    vertical->setValue(0);
    Press(Qt::Key_PageDown);
    EXPECT_EQ(vertical->value(), vertical->pageStep());
    Press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(vertical->value(), vertical->maximum());
    Press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(vertical->value(), 0);
    // In a box the keys stay the box's own.
    ClickInto("Organisation");
    const int before = w.ActivePage()->VertScrollBar()->value();
    Press(Qt::Key_PageDown);
    EXPECT_EQ(w.ActivePage()->VertScrollBar()->value(), before);
}

TEST_F(FillerUsability, TitleMarksChangesAndTheStatusBarSaysWhereItSavedAndWhatABoxIsFor)
{
    TFillerMainForm &w = Open("Employee.vld");
    const QString path = w.DocumentPath();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Employee.vld[*] - Velora Filler - ") + path);
    EXPECT_FALSE(w.isWindowModified());
    Element("Email")->SetHint(QStringLiteral("Where we send your pay slips"));
    ClickInto("Email");
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("Where we send your pay slips"));
    TypeInto(QStringLiteral("ada@example.com"));
    Tab();
    EXPECT_TRUE(w.isWindowModified());
    EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());

    ASSERT_TRUE(w.Save());
    EXPECT_FALSE(w.isWindowModified());
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("Saved to ") + path);

    // With hints off the status bar keeps quiet.
    w.Action(QStringLiteral("ViewHints"))->trigger();
    ClickInto("Email");
    EXPECT_EQ(w.statusBar()->currentMessage(), QStringLiteral("Saved to ") + path);
}

TEST_F(FillerUsability, TheEmptyWindowSaysWhatToDoAndOpensARecentForm)
{
    TFillerMainForm &w = Open("Employee.vld");
    auto *panel = w.findChild<QWidget *>(QStringLiteral("EmptyPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());
    w.Action(QStringLiteral("FileClose"))->trigger();
    QCoreApplication::processEvents();
    ASSERT_FALSE(w.HasDocument());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry(), w.PagesPageControl()->rect());
    QCoreApplication::processEvents();
    SaveScreenshot(w, QStringLiteral("filler-empty.png"));

    auto *recent = panel->findChild<QCommandLinkButton *>(QStringLiteral("EmptyRecent0"));
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->text(), QStringLiteral("Employee.vld"));
    QTest::mouseClick(recent, Qt::LeftButton);
    EXPECT_TRUE(w.HasDocument());
    EXPECT_FALSE(panel->isVisible());

    // Its Open button is File > Open, starting in the folder last used, with "All files".
    w.Action(QStringLiteral("FileClose"))->trigger();
    QCoreApplication::processEvents();
    ScriptedDialogs().ExpectOpenFile(QString());
    QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("EmptyOpen")), Qt::LeftButton);
    const TShownDialog &shown = ScriptedDialogs().Shown().constLast();
    EXPECT_EQ(shown.Kind, TDialogKind::OpenFile);
    EXPECT_EQ(shown.Folder, dir.path());
    EXPECT_TRUE(shown.Text.contains(QStringLiteral("All files (*)|*")));
}

TEST_F(FillerUsability, MenusHaveAccessLettersAndToolbarsIconsAndTipsWithKeys)
{
    TFillerMainForm &w = Open("Employee.vld");
    // Recent documents are captioned with their file names alone.
    QList<const QAction *> items(w.menuBar()->actions().cbegin(), w.menuBar()->actions().cend());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QAction *action = items.at(i);
        if (action->menu())
            for (const QAction *item : action->menu()->actions())
                items << item;
        if (action->isSeparator() || action->objectName().startsWith(QStringLiteral("Recent")))
            continue;
        EXPECT_TRUE(action->text().contains(QRegularExpression(QStringLiteral("&[^&]"))))
            << action->text().toStdString();
    }
    for (const QToolBar *bar : w.findChildren<QToolBar *>()) {
        for (const QAction *action : bar->actions()) {
            if (action->isSeparator() || action->objectName().isEmpty())
                continue;
            EXPECT_FALSE(action->icon().isNull()) << action->objectName().toStdString();
        }
    }
    EXPECT_EQ(w.Action(QStringLiteral("FileOpen"))->toolTip(), QStringLiteral("Open (Ctrl+O)"));
    EXPECT_EQ(w.Action(QStringLiteral("EditRedo"))->toolTip(),
              QStringLiteral("Redo (Ctrl+Shift+Z)"));
    EXPECT_EQ(w.Action(QStringLiteral("ViewResetForm"))->toolTip(), QStringLiteral("Reset Form"));
}

TEST_F(FillerUsability, ALinkThatCannotOpenSaysSoWithItsAddress)
{
    TFillerMainForm &w = Open("Employee.vld");
    ScriptedDialogs().SetUrlsOpen(false);
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("https://velora.invalid/support"));
    w.Action(QStringLiteral("HelpSupportTicket"))->trigger();
    ASSERT_EQ(ScriptedDialogs().Shown().size(), 1);
    EXPECT_EQ(ScriptedDialogs().Shown().constLast().Type, mtWarning);
    ScriptedDialogs().SetUrlsOpen(true);
    w.Action(QStringLiteral("HelpUpdates"))->trigger();
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().size(), 2);
}

TEST_F(FillerUsability, DialogsOpenCentredOverTheWindowWithPlainCaptions)
{
    TFillerMainForm &w = Open("Employee.vld");
    w.move(40, 30);
    QRect dialogPlace;
    QString caption;
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        dialog.show();
        QCoreApplication::processEvents();
        dialogPlace = dialog.frameGeometry();
        caption = dialog.windowTitle();
        SaveScreenshot(dialog, QStringLiteral("dialog-printer-offsets.png"));
        return int(QDialog::Rejected);
    });
    w.Action(QStringLiteral("FilePrinterOffsets"))->trigger();
    EXPECT_EQ(caption, QStringLiteral("Printer Offsets"));
    const QPoint offCentre = dialogPlace.center() - w.frameGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 4) << dialogPlace.x() << "," << dialogPlace.y();

    // Where it was closed, it opens again.
    const QPoint first = dialogPlace.topLeft();
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        dialog.show();
        QCoreApplication::processEvents();
        dialogPlace = dialog.frameGeometry();
        return int(QDialog::Rejected);
    });
    w.move(300, 200);
    w.Action(QStringLiteral("FilePrinterOffsets"))->trigger();
    EXPECT_EQ(dialogPlace.topLeft(), first);

    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        SaveScreenshot(dialog, QStringLiteral("dialog-about.png"));
        return int(QDialog::Rejected);
    });
    w.Action(QStringLiteral("HelpAbout"))->trigger();
}

TEST_F(FillerUsability, PrintingToAFileOffersTheFormsNameBesideItAndRemembersTheFile)
{
    TFillerMainForm &w = Open("Employee.vld");
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    const QString chosen = dir.filePath(QStringLiteral("elsewhere.pdf"));
    QString offered;
    QString document;
    // Nothing is filled in, so the form asks whether to print it anyway.
    ScriptedDialogs().ExpectModal([](QDialog &) { return int(mrYes); });
    ScriptedDialogs().ExpectPrint([&](TPrintRequest &request) {
        offered = request.Printer->outputFileName();
        document = request.Printer->docName();
        request.Printer->setOutputFileName(chosen);
        return true;
    });
    w.Action(QStringLiteral("FilePrint"))->trigger();
    EXPECT_EQ(offered, dir.filePath(QStringLiteral("Employee.pdf")));
    EXPECT_EQ(document, QStringLiteral("Employee"));
    EXPECT_TRUE(QFile::exists(chosen));

    ScriptedDialogs().ExpectModal([](QDialog &) { return int(mrYes); });
    ScriptedDialogs().ExpectPrint([&](TPrintRequest &request) {
        offered = request.Printer->outputFileName();
        return false;
    });
    w.Action(QStringLiteral("FilePrint"))->trigger();
    EXPECT_EQ(offered, chosen);
}

TEST_F(FillerUsability, Screenshots)
{
    TFillerMainForm &w = Open("Employee.vld");
    w.resize(1024, 768);
    QCoreApplication::processEvents();
    ClickInto("FullName");
    TypeInto(QStringLiteral("Ada Lovelace"));
    SaveScreenshot(w, QStringLiteral("filler-employee-1024x768.png"));
    w.Action(QStringLiteral("ViewFitToPage"))->trigger();
    SaveScreenshot(w, QStringLiteral("filler-employee-fit-page.png"));
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        dialog.adjustSize();
        SaveScreenshot(dialog, QStringLiteral("dialog-validation.png"));
        return int(mrOk);
    });
    w.Action(QStringLiteral("ViewValidateForm"))->trigger();
}

TEST_F(FillerUsability, ADamagedFileGivesOneMessageWithNoSplashLeftOnTheScreen)
{
    const QString path = dir.filePath(QStringLiteral("damaged.vld"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(200, 'x'));
    }
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("damaged.vld"));
    window = StartFillerWindow(QStringLiteral(VELORA_BIN_DIR "/"), path);
    QCoreApplication::processEvents();
    ASSERT_EQ(ScriptedDialogs().Shown().size(), 1);
    const TShownDialog &shown = ScriptedDialogs().Shown().constFirst();
    EXPECT_TRUE(shown.Text.contains(QStringLiteral("The document format is not recognised.")))
        << shown.Text.toStdString();
    EXPECT_FALSE(shown.VisibleWindows.contains(QStringLiteral("SplashForm")))
        << shown.VisibleWindows.join(u' ').toStdString();
    EXPECT_FALSE(window->HasDocument());
}

TEST_F(FillerUsability, ValidatingMarksTheBoxesThatFailUntilTheyPass)
{
    TFillerMainForm &w = Open("Employee.vld");
    ScriptedDialogs().ExpectModal([](QDialog &) { return int(mrOk); });
    EXPECT_FALSE(w.ValidateForm(false));
    EXPECT_TRUE(Element("FullName")->ValidationFailed());
    EXPECT_TRUE(Element("Email")->ValidationFailed());
    EXPECT_FALSE(Element("Address")->ValidationFailed());
    ClickInto("FullName");
    TypeInto(QStringLiteral("Ada Lovelace"));
    ScriptedDialogs().ExpectModal([](QDialog &) { return int(mrOk); });
    EXPECT_FALSE(w.ValidateForm(false));
    EXPECT_FALSE(Element("FullName")->ValidationFailed());
    EXPECT_TRUE(Element("Email")->ValidationFailed());
}
