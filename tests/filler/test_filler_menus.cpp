// The filler window's menus, toolbars and button commands as a user meets them:
// every action's place, caption, key and state, and what the less used ones do.

#include "CAppPaths.h"
#include "CDocumentBuilder.h"
#include "CFillerINIInfo.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "COnlineHelp.h"
#include "CPrinterPage.h"
#include "FillerTestWindow.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QWidgetAction>
#include <gtest/gtest.h>

namespace {
QString Describe(const QAction *action)
{
    if (action->isSeparator())
        return QStringLiteral("-");
    QString line = action->objectName() + u' ' + action->text();
    if (!action->shortcut().isEmpty())
        line += u' ' + action->shortcut().toString(QKeySequence::PortableText);
    if (!action->isEnabled())
        line += QStringLiteral(" off");
    if (action->isCheckable())
        line += action->isChecked() ? QStringLiteral(" checked") : QStringLiteral(" unchecked");
    if (!action->isVisible())
        line += QStringLiteral(" hidden");
    if (action->shortcutContext() != Qt::WindowShortcut)
        line += QStringLiteral(" widget-key");
    if (action->menuRole() == QAction::QuitRole)
        line += QStringLiteral(" quit");
    if (!action->icon().isNull())
        line += QStringLiteral(" icon");
    return line;
}

void DescribeMenu(const QMenu *menu, const QString &indent, QStringList &lines)
{
    lines << indent + u'[' + menu->objectName() + u' ' + menu->title() + u']';
    for (const QAction *action : menu->actions()) {
        if (const QMenu *sub = action->menu())
            DescribeMenu(sub, indent + QStringLiteral("  "), lines);
        else
            lines << indent + QStringLiteral("  ") + Describe(action);
    }
}

QStringList DescribeMenus(const TFillerMainForm &w)
{
    QStringList lines;
    for (const QAction *action : w.menuBar()->actions())
        DescribeMenu(action->menu(), QString(), lines);
    return lines;
}

QStringList DescribeToolBars(const TFillerMainForm &w)
{
    QStringList lines;
    for (const QToolBar *bar : w.findChildren<QToolBar *>(Qt::FindDirectChildrenOnly)) {
        QString line = bar->objectName() + u' ' + bar->windowTitle() + u':';
        for (const QAction *action : bar->actions()) {
            const auto *holder = qobject_cast<const QWidgetAction *>(action);
            line += u' '
                + (holder                      ? holder->defaultWidget()->objectName()
                       : action->isSeparator() ? QStringLiteral("-")
                                               : action->objectName());
        }
        lines << line + (bar->isHidden() ? QStringLiteral(" hidden") : QString());
    }
    return lines;
}

class FillerMenus : public TFillerWindowTest
{
protected:
    QString EmptyDocument()
    {
        const QString path = dir.filePath(QStringLiteral("empty.vld"));
        TDocumentBuilder doc(2);
        EXPECT_TRUE(doc.Save(path));
        return path;
    }
};
} // namespace

TEST_F(FillerMenus, EveryActionHasItsPlaceKeyAndState)
{
    TFillerMainForm &w = Start();
    const QStringList menus = {
        QStringLiteral("[FileMenu &File]"),
        QStringLiteral("  FileOpen &Open... Ctrl+O icon"),
        QStringLiteral("  FileClose &Close Ctrl+W off"),
        QStringLiteral("  -"),
        QStringLiteral("  FileSave &Save Ctrl+S off icon"),
        QStringLiteral("  FileSaveAs Save &As... Ctrl+Shift+S off"),
        QStringLiteral("  -"),
        QStringLiteral("  FilePrinterOffsets Printer O&ffsets..."),
        QStringLiteral("  FilePrintCalibration Print Ca&libration Page..."),
        QStringLiteral("  FilePrint &Print... Ctrl+P off icon"),
        QStringLiteral("  -"),
        QStringLiteral("  FileExit E&xit Ctrl+Q quit"),
        QStringLiteral("[EditMenu &Edit]"),
        QStringLiteral("  EditUndo &Undo Ctrl+Z off widget-key icon"),
        QStringLiteral("  EditRedo &Redo Ctrl+Shift+Z off widget-key icon"),
        QStringLiteral("  EditCut Cu&t Ctrl+X off widget-key icon"),
        QStringLiteral("  EditCopy &Copy Ctrl+C off widget-key icon"),
        QStringLiteral("  EditPaste &Paste Ctrl+V off widget-key icon"),
        QStringLiteral("  EditDelete &Delete Ctrl+Del off widget-key icon"),
        QStringLiteral("  EditSelectAll Select &All Ctrl+A off widget-key icon"),
        QStringLiteral("[ViewMenu &View]"),
        QStringLiteral("  ViewActualSize &Actual Size F7 off icon"),
        QStringLiteral("  ViewFitToWidth Fit To &Width F8 off icon"),
        QStringLiteral("  ViewFitToPage Fit To &Page F9 off icon"),
        QStringLiteral("  ViewZoomIn Zoom &In Ctrl++ off icon"),
        QStringLiteral("  ViewZoomOut Zoom &Out Ctrl+- off icon"),
        QStringLiteral("  -"),
        QStringLiteral("  ViewNextPage &Next Page Ctrl+PgDown off icon"),
        QStringLiteral("  ViewPreviousPage Pre&vious Page Ctrl+PgUp off icon"),
        QStringLiteral("  -"),
        QStringLiteral("  ViewResetForm &Reset Form... off icon"),
        QStringLiteral("  ViewValidateForm Va&lidate Form... off icon"),
        QStringLiteral("  -"),
        QStringLiteral("  ViewPDFQuickDraw PDF &Quick Draw off unchecked hidden"),
        QStringLiteral("  ViewHints &Hints checked"),
        QStringLiteral("  [ToolbarsMenu &Toolbars]"),
        QStringLiteral("    ToggleFileToolBar &File checked"),
        QStringLiteral("    ToggleEditToolBar &Edit checked"),
        QStringLiteral("    ToggleViewToolBar &View checked"),
        QStringLiteral("    ToggleHelpToolBar &Help checked"),
        QStringLiteral("[HelpMenu &Help]"),
        QStringLiteral("  HelpHelpTopics Help &Topics... F1 icon"),
        QStringLiteral("  -"),
        QStringLiteral("  HelpSupportTicket &Support Ticket"),
        QStringLiteral("  HelpLeaveFeedback Leave &Feedback"),
        QStringLiteral("  HelpUpdates &Updates"),
        QStringLiteral("  HelpCorvaleOnline Corvale &Online"),
        QStringLiteral("  -"),
        QStringLiteral("  HelpAbout &About Velora..."),
    };
    EXPECT_EQ(DescribeMenus(w).join(u'\n').toStdString(), menus.join(u'\n').toStdString());
    const QStringList bars = {
        QStringLiteral("FileToolBar File: FileOpen FileSave FilePrint"),
        QStringLiteral("EditToolBar Edit: EditUndo EditRedo EditCut EditCopy EditPaste EditDelete "
                       "EditSelectAll"),
        QStringLiteral("ViewToolBar View: ViewActualSize ViewFitToWidth ViewFitToPage ZoomBox "
                       "ZoomUpDown - ViewResetForm ViewValidateForm"),
        QStringLiteral("HelpToolBar Help: HelpHelpTopics"),
    };
    EXPECT_EQ(DescribeToolBars(w).join(u'\n').toStdString(), bars.join(u'\n').toStdString());

    // An open document enables its commands and lists itself among the recent ones.
    ASSERT_TRUE(w.OpenDocument(EmptyDocument()));
    const QStringList file = {
        QStringLiteral("[FileMenu &File]"),
        QStringLiteral("  FileOpen &Open... Ctrl+O icon"),
        QStringLiteral("  FileClose &Close Ctrl+W"),
        QStringLiteral("  -"),
        QStringLiteral("  FileSave &Save Ctrl+S off icon"),
        QStringLiteral("  FileSaveAs Save &As... Ctrl+Shift+S"),
        QStringLiteral("  -"),
        QStringLiteral("  FilePrinterOffsets Printer O&ffsets..."),
        QStringLiteral("  FilePrintCalibration Print Ca&libration Page..."),
        QStringLiteral("  FilePrint &Print... Ctrl+P icon"),
        QStringLiteral("  -"),
        QStringLiteral("  Recent0 empty.vld"),
        QStringLiteral("  -"),
        QStringLiteral("  FileExit E&xit Ctrl+Q quit"),
    };
    EXPECT_EQ(DescribeMenus(w).mid(0, file.size()).join(u'\n').toStdString(),
              file.join(u'\n').toStdString());
    GlobalMadeChange();
    EXPECT_TRUE(w.Action(QStringLiteral("FileSave"))->isEnabled());
}

TEST_F(FillerMenus, SettingsToolbarsHelpAndDialogsWorkFromTheMenus)
{
    TFillerMainForm &w = Start();
    w.Action(QStringLiteral("ViewHints"))->trigger();
    EXPECT_FALSE(w.Settings().Hints());
    w.Action(QStringLiteral("ViewPDFQuickDraw"))->trigger();
    EXPECT_TRUE(w.Settings().PDFQuickDraw());

    w.Action(QStringLiteral("ToggleViewToolBar"))->trigger();
    EXPECT_TRUE(w.findChild<QToolBar *>(QStringLiteral("ViewToolBar"))->isHidden());
    EXPECT_FALSE(w.Settings().ViewToolBar());
    EXPECT_TRUE(w.Settings().FileToolBar());

    // Help Topics opens the page of the window's help context, from the map beside the programs.
    const QString execPath = GlobalExecPath;
    GlobalExecPath = QStringLiteral(VELORA_BIN_DIR "/");
    const QUrl workspacePage = OnlineHelpUrl(w.property("HelpContext").toInt());
    ASSERT_FALSE(workspacePage.isEmpty());
    w.Action(QStringLiteral("HelpHelpTopics"))->trigger();
    GlobalExecPath = execPath;
    w.Action(QStringLiteral("HelpCorvaleOnline"))->trigger();
    ASSERT_EQ(ScriptedDialogs().OpenedUrls().size(), 2);
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().at(0), workspacePage);
    EXPECT_EQ(ScriptedDialogs().OpenedUrls().at(1).toString(),
              QStringLiteral("https://velora.invalid/"));

    ScriptedDialogs().ExpectModal([](QDialog &) { return 0; });
    w.Action(QStringLiteral("HelpAbout"))->trigger();
    ScriptedDialogs().ExpectModal([](QDialog &) { return 0; });
    w.Action(QStringLiteral("FilePrinterOffsets"))->trigger();
    EXPECT_EQ(ScriptedDialogs().PendingAnswers(), 0);
}

TEST_F(FillerMenus, CommandCodesZoomResetAndIgnoreTheUnknown)
{
    TFillerMainForm &w = Start(EmptyDocument());
    ASSERT_TRUE(w.HasDocument());
    TPrinterPage *page = w.ActivePage();
    EXPECT_EQ(w.RunCommand(160, QString()), 0);
    EXPECT_EQ(page->Zoom(), page->FitTo(ftPage, false));
    EXPECT_EQ(w.RunCommand(150, QString()), 0);
    EXPECT_EQ(page->Zoom(), page->FitTo(ftWindow, false));
    EXPECT_EQ(w.RunCommand(140, QString()), 0);
    EXPECT_EQ(page->Zoom(), 100);

    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("Reset form to defaults"));
    EXPECT_EQ(w.RunCommand(180, QString()), 0);
    EXPECT_FALSE(GlobalProjectChanged);

    // New belongs to the designer; codes nobody knows do nothing and answer 0.
    for (const int code : {10, 0, 15, 170, 190, 1000, -1})
        EXPECT_EQ(w.RunCommand(code, QStringLiteral("0x")), 0) << code;
    EXPECT_TRUE(w.HasDocument());
    EXPECT_EQ(GlobalActivePgIdx(), 0);
    EXPECT_EQ(ScriptedDialogs().Shown().size(), 1);

    // Close asks nothing without changes and leaves the window empty.
    EXPECT_EQ(w.RunCommand(30, QString()), 0);
    EXPECT_FALSE(w.HasDocument());
}
