// The designer's welcome screen and its settings: what a first start offers,
// the two switches that turn the screen off, its entries clicked with the mouse,
// and the settings kept between starts (toolbars, floating tool windows) written
// only when they change.

#include "DesignerTestWindow.h"

#include "CDesignerINIInfo.h"
#include "CWelcomeForm.h"
#include "Cini.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>

namespace {
const QString kApp = QStringLiteral("App");

class DesignerWelcome : public DesignerWindowTest
{
protected:
    // A start after the first one ever, without a document: the welcome screen's chance.
    void Start()
    {
        INIWriteBool(GlobalAppINI, kApp, QStringLiteral("FirstRunEver"), false);
        StartWithPlugIns();
        Settle();
    }
    // The requests the window posts itself and the screen posts to it are answered.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    TWelcomeForm *Welcome() const { return window->WelcomeForm(); }
    QListWidget *List(const char *name) const
    {
        return Welcome()->findChild<QListWidget *>(QString::fromLatin1(name));
    }
    QCheckBox *DoNotShow() const
    {
        return Welcome()->findChild<QCheckBox *>(QStringLiteral("DoNotShowCheckBox"));
    }
    QAction *UseWelcome() const { return window->Action(QStringLiteral("ViewUseWelcome")); }
    static QStringList Captions(const QListWidget *list)
    {
        QStringList captions;
        for (int i = 0; i < list->count(); ++i)
            captions << list->item(i)->text();
        return captions;
    }
    // A click on the entry of that caption, where the user sees it.
    void ClickEntry(const char *listName, const QString &caption)
    {
        QListWidget *list = List(listName);
        ASSERT_TRUE(list);
        const QList<QListWidgetItem *> found = list->findItems(caption, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << caption.toStdString();
        const QRect at = list->visualItemRect(found.first());
        ASSERT_TRUE(list->viewport()->rect().contains(at.center())) << caption.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
        Settle();
    }
    static void ClickWidget(QWidget *widget)
    {
        ASSERT_TRUE(widget && widget->isVisible());
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
        Settle();
    }
    static QString Key(const QString &section, const char *key)
    {
        return INIReadStr(GlobalAppINI, section, QString::fromLatin1(key), QStringLiteral("-"));
    }
    static void SaveWelcomeShot(QWidget *welcome, const QString &name)
    {
        QDir().mkpath(QStringLiteral("screenshots"));
        EXPECT_TRUE(welcome->grab().save(QStringLiteral("screenshots/") + name));
    }
};

TEST_F(DesignerWelcome, FirstStartOffersTheTutorialsAndExamplesThatComeWithTheBuild)
{
    Start();
    ASSERT_TRUE(Welcome());
    EXPECT_EQ(Welcome()->windowTitle(), QStringLiteral(" Welcome to Velora Designer"));
    EXPECT_EQ(Welcome()->property("HelpContext").toInt(), 31);
    EXPECT_EQ(Captions(List("OpenRecentList")),
              QStringList({QStringLiteral("Tutorial_1_Getting_Started.vld"),
                           QStringLiteral("Tutorial_2_Form_Basics.vld"),
                           QStringLiteral("Employee_Details_31_US.vld"),
                           QStringLiteral("corvale_contact_form.vld"),
                           QStringLiteral("Velora_Plug-in_Examples.vld"),
                           QStringLiteral("Invoice_49_US.vld")}));
    EXPECT_EQ(window->Settings().Recents(), TDesignerINIInfo::DefaultRecents());
    for (const QString &path : window->Settings().Recents())
        EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    EXPECT_EQ(Captions(List("StartNewList")),
              QStringList({QStringLiteral("Create a Paper form or e-form"),
                           QStringLiteral("Create a 640x480 \"safe\" Web form"),
                           QStringLiteral("Create a 800x600 \"safe\" Web form"),
                           QStringLiteral("Create a 1024x768 \"safe\" Web form")}));
    EXPECT_FALSE(DoNotShow()->isChecked());
    EXPECT_TRUE(UseWelcome()->isChecked());
    SaveWelcomeShot(Welcome(), QStringLiteral("welcome.png"));

    // A recent list whose files have all gone is offered the same entries again.
    window.reset();
    INIEraseSection(GlobalAppINI, QStringLiteral("Recents"));
    INIWriteStr(GlobalAppINI, QStringLiteral("Recents"), QStringLiteral("0"),
                dir.filePath(QStringLiteral("gone.vld")));
    EXPECT_EQ(TDesignerINIInfo(GlobalAppINI).Recents(), TDesignerINIInfo::DefaultRecents());
    // One that is still there is all the list holds.
    const QString kept = dir.filePath(QStringLiteral("kept.vld"));
    QFile(kept).open(QIODevice::WriteOnly);
    INIEraseSection(GlobalAppINI, QStringLiteral("Recents"));
    INIWriteStr(GlobalAppINI, QStringLiteral("Recents"), QStringLiteral("0"), kept);
    EXPECT_EQ(TDesignerINIInfo(GlobalAppINI).Recents().join(u'|'), kept);
}

TEST_F(DesignerWelcome, DoNotShowKeepsTheWindowUntilClosedAndItStaysAwayAtTheNextStart)
{
    Start();
    ASSERT_TRUE(Welcome());
    const QPointer<QWidget> first = Welcome();
    ClickWidget(DoNotShow());
    EXPECT_TRUE(DoNotShow()->isChecked());
    EXPECT_TRUE(first && first->isVisible());
    EXPECT_FALSE(UseWelcome()->isChecked());
    EXPECT_EQ(Key(kApp, "Welcome"), QStringLiteral("0"));

    ClickWidget(Welcome()->findChild<QPushButton *>(QStringLiteral("CloseButton")));
    EXPECT_FALSE(Welcome());
    // Closing frees it.
    EXPECT_FALSE(first);

    // A second window over the same settings file.
    window.reset();
    Start();
    EXPECT_FALSE(Welcome());
    EXPECT_FALSE(UseWelcome()->isChecked());
    // Nor after closing a document.
    Trigger("FileNewPaper");
    Trigger("FileClose");
    Settle();
    EXPECT_FALSE(Welcome());
}

TEST_F(DesignerWelcome, TheViewMenuCheckAndTheCheckBoxFollowEachOther)
{
    Start();
    ASSERT_TRUE(Welcome());
    // The check box quietly unchecks the menu item, and the menu item quietly unchecks the box.
    ClickWidget(DoNotShow());
    EXPECT_FALSE(UseWelcome()->isChecked());
    UseWelcome()->trigger();
    Settle();
    ASSERT_TRUE(Welcome());
    EXPECT_FALSE(DoNotShow()->isChecked());
    EXPECT_EQ(Key(kApp, "Welcome"), QStringLiteral("1"));

    // Turning the screen off in the menu closes it; on again, with no document, shows it.
    UseWelcome()->trigger();
    Settle();
    EXPECT_FALSE(Welcome());
    EXPECT_EQ(Key(kApp, "Welcome"), QStringLiteral("0"));
    UseWelcome()->trigger();
    Settle();
    ASSERT_TRUE(Welcome());
    EXPECT_FALSE(DoNotShow()->isChecked());

    // Escape closes it too; with a document open the menu only keeps the setting.
    QTest::keyClick(Welcome(), Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(Welcome());
    Trigger("FileNewPaper");
    UseWelcome()->trigger();
    UseWelcome()->trigger();
    Settle();
    EXPECT_FALSE(Welcome());
    EXPECT_TRUE(UseWelcome()->isChecked());
    // Closing the document brings it back.
    Trigger("FileClose");
    Settle();
    EXPECT_TRUE(Welcome());
}

TEST_F(DesignerWelcome, ClickedEntriesStartAWebFormOrOpenARecentDocument)
{
    Start();
    ASSERT_TRUE(Welcome());
    ClickEntry("StartNewList", QStringLiteral("Create a 800x600 \"safe\" Web form"));
    ASSERT_TRUE(window->HasDocument());
    EXPECT_EQ(window->ActivePage()->PageWidth(), 200);
    EXPECT_EQ(window->ActivePage()->PageHeight(), 108);
    EXPECT_TRUE(window->DesignMode());
    EXPECT_FALSE(Welcome());

    Trigger("FileClose");
    Settle();
    ASSERT_TRUE(Welcome());
    const QString invoice = TDesignerINIInfo::DefaultRecents().at(5);
    ClickEntry("OpenRecentList", QStringLiteral("Invoice_49_US.vld"));
    EXPECT_EQ(window->DocumentPath(), invoice);
    EXPECT_TRUE(Global_FormElementRef(QStringLiteral("Total")));
    EXPECT_FALSE(Welcome());
    EXPECT_EQ(window->Settings().Recents().first(), invoice);
}

TEST_F(DesignerWelcome, SupportEntriesAndOpenOtherRunTheWindowsOwnCommands)
{
    Start();
    ASSERT_TRUE(Welcome());
    ClickEntry("SupportList", QStringLiteral("Leave Feedback"));
    ClickEntry("SupportList", QStringLiteral("Download an Update"));
    ASSERT_EQ(ScriptedDialogs().OpenedUrls().size(), 2);
    EXPECT_TRUE(ScriptedDialogs().OpenedUrls().at(0).toString().contains(u"feedback"));
    EXPECT_TRUE(ScriptedDialogs().OpenedUrls().at(1).toString().contains(u"update"));
    EXPECT_TRUE(Welcome());

    // Open Other is the File menu's Open: a cancelled chooser keeps the welcome screen.
    ScriptedDialogs().ExpectOpenFile(QString());
    ClickWidget(Welcome()->findChild<QPushButton *>(QStringLiteral("OpenOtherButton")));
    EXPECT_EQ(ScriptedDialogs().Shown().last().Kind, TDialogKind::OpenFile);
    EXPECT_TRUE(Welcome());
    EXPECT_FALSE(window->HasDocument());
}

TEST_F(DesignerWelcome, PageAndObjectToolbarsFollowTheirChecksAndKeepThemBetweenStarts)
{
    Start();
    for (const char *name : {"PageToolBar", "ObjectToolBar"}) {
        SCOPED_TRACE(name);
        auto *bar = window->findChild<QToolBar *>(QString::fromLatin1(name));
        QAction *toggle = window->Action(QStringLiteral("Toggle") + QString::fromLatin1(name));
        ASSERT_TRUE(bar && toggle);
        EXPECT_TRUE(toggle->isChecked());
        EXPECT_FALSE(bar->isHidden());
        toggle->trigger();
        EXPECT_TRUE(bar->isHidden());
        EXPECT_EQ(Key(kApp, name), QStringLiteral("0"));
    }
    window.reset();
    Start();
    for (const char *name : {"PageToolBar", "ObjectToolBar"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(window->findChild<QToolBar *>(QString::fromLatin1(name))->isHidden());
        EXPECT_FALSE(
            window->Action(QStringLiteral("Toggle") + QString::fromLatin1(name))->isChecked());
    }
}

TEST_F(DesignerWelcome, AFloatingPaletteComesBackWhereItWasLeftADockedInspectorKeepsNoPlace)
{
    Open();
    auto *palette = window->findChild<QDockWidget *>(QStringLiteral("PaletteDock"));
    auto *inspector = window->findChild<QDockWidget *>(QStringLiteral("PropertiesDock"));
    ASSERT_TRUE(palette && inspector && palette->isVisible() && inspector->isVisible());
    palette->setFloating(true);
    palette->move(310, 170);
    QCoreApplication::processEvents();
    const QRect left = palette->geometry();
    window.reset();
    const QString p = TDesignerINIInfo::SectionOf(TDesignerINIInfo::twPalette);
    const QString i = TDesignerINIInfo::SectionOf(TDesignerINIInfo::twProperties);
    EXPECT_EQ(Key(p, "Floating"), QStringLiteral("1"));
    EXPECT_EQ(Key(p, "Left"), QString::number(left.left()));
    EXPECT_EQ(Key(p, "Top"), QString::number(left.top()));
    // The palette keeps no size; the docked inspector no place at all.
    EXPECT_EQ(Key(p, "Width"), QStringLiteral("-"));
    EXPECT_FALSE(INISectionExists(GlobalAppINI, i));

    Open();
    palette = window->findChild<QDockWidget *>(QStringLiteral("PaletteDock"));
    EXPECT_TRUE(palette->isFloating());
    EXPECT_EQ(palette->geometry().topLeft(), left.topLeft());
    EXPECT_FALSE(window->findChild<QDockWidget *>(QStringLiteral("PropertiesDock"))->isFloating());
}

TEST_F(DesignerWelcome, UnchangedSwitchesAreNotWritten)
{
    Start();
    ClickWidget(Welcome()->findChild<QPushButton *>(QStringLiteral("CloseButton")));
    Trigger("FileNewPaper");
    Trigger("FileClose");
    Settle();
    window.reset();
    for (const char *key : {"Welcome", "PageToolBar", "ObjectToolBar", "Hints"})
        EXPECT_EQ(Key(kApp, key), QStringLiteral("-")) << key;
    for (const auto window : {TDesignerINIInfo::twPalette, TDesignerINIInfo::twProperties})
        for (const char *key : {"Floating", "Visible", "DockedLeft", "Left"})
            EXPECT_EQ(Key(TDesignerINIInfo::SectionOf(window), key), QStringLiteral("-")) << key;

    // Setting a value it already has writes nothing either; a change is written at once.
    TDesignerINIInfo settings(GlobalAppINI);
    settings.SetWelcome(true);
    settings.SetDockedLeft(TDesignerINIInfo::twProperties, true);
    settings.SetLastExportDir(QString());
    EXPECT_EQ(Key(kApp, "Welcome"), QStringLiteral("-"));
    EXPECT_EQ(Key(QStringLiteral("Properties"), "DockedLeft"), QStringLiteral("-"));
    EXPECT_EQ(Key(kApp, "LastExportDir"), QStringLiteral("-"));
    settings.SetLastExportDir(QStringLiteral("/tmp/Export"));
    settings.SetLastExportDir(QStringLiteral("/tmp/export"));
    EXPECT_EQ(Key(kApp, "LastExportDir"), QStringLiteral("/tmp/export"));
    EXPECT_EQ(TDesignerINIInfo(GlobalAppINI).LastExportDir(), QStringLiteral("/tmp/export"));
}
} // namespace
