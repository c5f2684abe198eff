#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrl.h"
#include "CClassRegistry.h"
#include "CDocumentBuilder.h"
#include "CFillerDialogs.h"
#include "CFillerINIInfo.h"
#include "CFillerMainForm.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CProjectIO.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "CPropGroups.h"
#include "CVisualPgCtrlNumeric.h"
#include "Cini.h"
#include "FillerTestWindow.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

// Global scope, so that documents name it plainly. Its class name is not a
// known kind, so no plug-in is needed to read it.
class TFillerTestBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupValidation *VisualValidationProps READ VisualValidationProps)
    Q_PROPERTY(int GroupNumber READ GroupNumber WRITE SetGroupNumber)
    Q_CLASSINFO("Default:GroupNumber", "-1")
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return m_kind; }
    int GroupNumber() const { return m_group; }
    void SetGroupNumber(int group) { m_group = group; }
    // Radio buttons of the tests report through the kind, as check kinds do.
    void SetKind(int kind) { m_kind = kind; }

private:
    int m_kind = 20;
    int m_group = -1;
};

// Stands for the text box kind, for a document that needs its plug-in.
class TScribe : public TVisualPgCtrl
{
    Q_OBJECT
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

// A box the user can type into, for what a failed save must keep.
class TFillerTypedBox : public TVisualPgCtrlNumeric
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)

public:
    using TVisualPgCtrlNumeric::TVisualPgCtrlNumeric;
    int ClassTypeID() const override { return 20; }
    QWidget *DoCreateEdit(const QPoint &point) override
    {
        return new TBaseRTEditFocusCtrl(this, BaseRTEditFocusCtrlParams(this, point), false);
    }
};

namespace {
const TClassRegistration<TFillerTestBox> registerBox;
const TClassRegistration<TScribe> registerScribe;
const TClassRegistration<TFillerTypedBox> registerTypedBox;

class FillerWindow : public TFillerWindowTest
{
protected:
    void TearDown() override
    {
        window.reset();
        if (restore)
            restore();
        TFillerWindowTest::TearDown();
    }
    QString TwoPageDocument(const QString &name = QStringLiteral("form.vld"))
    {
        const QString path = dir.filePath(name);
        TDocumentBuilder doc(2);
        doc.Add<TFillerTestBox>(0, QStringLiteral("Box1"), QRect(100, 120, 200, 30));
        doc.Add<TFillerTestBox>(1, QStringLiteral("Box2"), QRect(120, 300, 150, 30));
        EXPECT_TRUE(doc.Save(path));
        return path;
    }
    void Wheel(QWidget *target, int notches, Qt::KeyboardModifiers modifiers)
    {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

    // One page with the box "Name".
    QString TypedDocument(const QString &name)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        TDocumentBuilder doc(1);
        doc.Add<TFillerTypedBox>(0, QStringLiteral("Name"), QRect(60, 60, 200, 30));
        EXPECT_TRUE(doc.Save(path));
        return path;
    }
    static TFillerTypedBox *NameBox()
    {
        return qobject_cast<TFillerTypedBox *>(Global_FormElementRef(QStringLiteral("Name")));
    }
    static void TypeIntoName(const QString &text)
    {
        TFillerTypedBox *box = NameBox();
        ASSERT_NE(box, nullptr);
        // Loading's splash window may have taken the activation with it.
        box->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(box->window()));
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        QCoreApplication::processEvents();
        ASSERT_EQ(TVisualPgCtrl::FocusedElement(), box);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QCoreApplication::processEvents();
    }
    static void PressOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QCoreApplication::processEvents();
    }
    // The document the user was working on is still there, as they left it.
    void ExpectStillOpen(const QString &path, const QString &typed, const char *how)
    {
        EXPECT_EQ(ScriptedDialogs().PendingAnswers(), 0) << how;
        ASSERT_TRUE(window->HasDocument()) << how;
        EXPECT_TRUE(window->isVisible()) << how;
        EXPECT_EQ(window->DocumentPath().toStdString(), path.toStdString()) << how;
        EXPECT_TRUE(GlobalProjectChanged) << how;
        EXPECT_TRUE(window->Action(QStringLiteral("FileSave"))->isEnabled()) << how;
        ASSERT_NE(NameBox(), nullptr) << how;
        EXPECT_EQ(NameBox()->Text().toStdString(), typed.toStdString()) << how;
    }
    static QByteArray Contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Each way the user leaves a document: File > Close, File > Open, a recent
    // document, File > Exit and the window's own close button.
    void EveryWayOut(const std::function<void()> &expectAsked, const QString &path,
                     const QString &typed)
    {
        const std::pair<const char *, std::function<void()>> ways[] = {
            {"Close",
             [] {
                 PressOnFocus(Qt::Key_W, Qt::ControlModifier);
             }},
            {"Open",
             [] {
                 PressOnFocus(Qt::Key_O, Qt::ControlModifier);
             }},
            {"recent document",
             [this] {
                 window->Action(QStringLiteral("Recent1"))->trigger();
             }},
            {"Exit",
             [] {
                 PressOnFocus(Qt::Key_Q, Qt::ControlModifier);
             }},
            {"closing the window",
             [this] {
                 EXPECT_FALSE(window->close());
             }},
        };
        for (const auto &[how, leave] : ways) {
            expectAsked();
            leave();
            ExpectStillOpen(path, typed, how);
            // Once one way has let the document go, the others prove nothing.
            if (HasFailure())
                return;
        }
    }

    // Undoes what a test did to the file system, even when it failed half way.
    std::function<void()> restore;
};
} // namespace

TEST_F(FillerWindow, OpensFromTheCommandLineAndZooms)
{
    const QString path = TwoPageDocument();
    TFillerMainForm &w = Start(path);
    ASSERT_TRUE(w.HasDocument());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("form.vld[*] - Velora Filler - ") + path);
    EXPECT_EQ(w.PagesPageControl()->count(), 2);
    EXPECT_NE(Global_FormElementRef(QStringLiteral("Box2")), nullptr);

    TPrinterPage *page = w.ActivePage();
    SaveScreenshot(w, QStringLiteral("filler-100.png"));
    QTest::keyClick(&w, Qt::Key_F9);
    EXPECT_EQ(page->Zoom(), page->FitTo(ftPage, false));
    EXPECT_TRUE(page->ClientRect().contains(page->PaperRect()));
    SaveScreenshot(w, QStringLiteral("filler-fit-page.png"));
    QTest::keyClick(&w, Qt::Key_F8);
    EXPECT_EQ(page->Zoom(), page->FitTo(ftWindow, false));
    QTest::keyClick(&w, Qt::Key_F7);
    EXPECT_EQ(page->Zoom(), 100);
    EXPECT_EQ(w.ZoomBox()->currentText(), QStringLiteral("100 %"));

    // Ctrl+wheel zooms by 8 within 5 and 800; the plain wheel scrolls the page.
    Wheel(page, 1, Qt::ControlModifier);
    EXPECT_EQ(page->Zoom(), 108);
    for (int i = 0; i < 100; ++i)
        Wheel(page, 1, Qt::ControlModifier);
    EXPECT_EQ(page->Zoom(), 800);
    for (int i = 0; i < 200; ++i)
        Wheel(page, -1, Qt::ControlModifier);
    EXPECT_EQ(page->Zoom(), 5);
    page->SetZoom(200);
    const int before = page->VertScrollBar()->value();
    Wheel(page, -1, Qt::NoModifier);
    EXPECT_EQ(page->VertScrollBar()->value(), before + TFillerScrollBox::WheelPixels);

    // Page commands stop at the ends.
    w.RunCommand(120, QString());
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    w.RunCommand(100, QString());
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    w.RunCommand(90, QString());
    w.RunCommand(110, QString());
    EXPECT_EQ(GlobalActivePgIdx(), 0);
    w.RunCommand(130, QStringLiteral("2;"));
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    w.RunCommand(130, QStringLiteral("9;"));
    EXPECT_EQ(GlobalActivePgIdx(), 1);
}

TEST_F(FillerWindow, RecentDocumentsStayUniqueAndExisting)
{
    const QString first = TwoPageDocument(QStringLiteral("a.vld"));
    const QString second = TwoPageDocument(QStringLiteral("b.vld"));
    TFillerMainForm &w = Start();
    ASSERT_TRUE(w.OpenDocument(first));
    ASSERT_TRUE(w.OpenDocument(second));
    ASSERT_TRUE(w.OpenDocument(first));
    EXPECT_EQ(w.Settings().Recents(), (QStringList {first, second}));
    // The menu lists them by file name.
    EXPECT_EQ(w.Action(QStringLiteral("Recent0"))->text(), QStringLiteral("a.vld"));
    window.reset();

    QFile::remove(second);
    TFillerINIInfo settings(GlobalAppINI);
    EXPECT_EQ(settings.Recents(), QStringList {first});
    for (int i = 0; i < 12; ++i)
        settings.AddRecent(first + QString::number(i));
    EXPECT_EQ(settings.Recents().size(), TFillerINIInfo::MaxRecents);
    EXPECT_EQ(settings.Recents().first(), first + QStringLiteral("11"));
}

TEST_F(FillerWindow, UnsavedChangesAreAskedAbout)
{
    const QString path = TwoPageDocument();
    TFillerMainForm &w = Start(path);
    ASSERT_TRUE(w.HasDocument());
    const QByteArray original = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    GlobalMadeChange();
    ScriptedDialogs().ExpectMessage(mrCancel, QStringLiteral("Save changes to form.vld ?"));
    w.Action(QStringLiteral("FileClose"))->trigger();
    EXPECT_TRUE(w.HasDocument());

    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("Save changes to"));
    w.Action(QStringLiteral("FileClose"))->trigger();
    EXPECT_FALSE(w.HasDocument());

    ASSERT_TRUE(w.OpenDocument(path));
    GlobalMadeChange();
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Save changes to"));
    w.Action(QStringLiteral("FileClose"))->trigger();
    EXPECT_FALSE(w.HasDocument());
    EXPECT_FALSE(GlobalProjectChanged);

    // A read-only file goes through Save As, which forces the extension.
    ASSERT_TRUE(w.OpenDocument(path));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    const QString copy = dir.filePath(QStringLiteral("copy"));
    ScriptedDialogs().ExpectSaveFile(copy + QStringLiteral(".txt"));
    EXPECT_TRUE(w.Save());
    EXPECT_EQ(w.DocumentPath(), copy + QStringLiteral(".vld"));
    EXPECT_TRUE(QFile::exists(copy + QStringLiteral(".vld")));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Q_UNUSED(original);
}

TEST_F(FillerWindow, FailedSaveKeepsTheDocumentOpen)
{
    const QString other = TypedDocument(QStringLiteral("other.vld"));
    const QString path = TypedDocument(QStringLiteral("forms/form.vld"));
    const QByteArray original = Contents(path);
    Start(other);
    ASSERT_TRUE(window->OpenDocument(path));
    ASSERT_EQ(window->Action(QStringLiteral("Recent1"))->data().toString(), other);
    TypeIntoName(QStringLiteral("Ann"));
    ASSERT_TRUE(GlobalProjectChanged);

    // A file where the folder was: nothing can be written there, not even by root.
    const QString folder = dir.filePath(QStringLiteral("forms"));
    const QString away = dir.filePath(QStringLiteral("away"));
    ASSERT_TRUE(QDir().rename(folder, away));
    restore = [folder, away] {
        QFile::remove(folder);
        QDir().rename(away, folder);
    };
    {
        QFile blocker(folder);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }

    EveryWayOut(
        [] {
            ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Save changes to form.vld ?"));
            ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("Unable to save the document"));
        },
        path, QStringLiteral("Ann"));
    if (HasFailure())
        return;
    EXPECT_EQ(ScriptedDialogs().Shown().last().Type, mtError);

    // With the folder back, the same answer saves what was typed and closes.
    restore();
    restore = nullptr;
    EXPECT_EQ(Contents(path), original);
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Save changes to form.vld ?"));
    PressOnFocus(Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window->HasDocument());
    ASSERT_TRUE(window->OpenDocument(path));
    ASSERT_NE(NameBox(), nullptr);
    EXPECT_EQ(NameBox()->Text(), QStringLiteral("Ann"));
}

TEST_F(FillerWindow, CancelledSaveAsKeepsTheDocumentOpen)
{
    const QString other = TypedDocument(QStringLiteral("other.vld"));
    const QString path = TypedDocument(QStringLiteral("forms/form.vld"));
    Start(other);
    ASSERT_TRUE(window->OpenDocument(path));
    TypeIntoName(QStringLiteral("Bob"));
    ASSERT_TRUE(GlobalProjectChanged);

    // A read-only file is saved through Save As.
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    restore = [path] {
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    };
    EveryWayOut(
        [] {
            ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Save changes to form.vld ?"));
            ScriptedDialogs().ExpectSaveFile(QString());
        },
        path, QStringLiteral("Bob"));
    if (HasFailure())
        return;

    // Refusing to replace the file chosen in Save As stops it too.
    const QByteArray otherContents = Contents(other);
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Save changes to form.vld ?"));
    ScriptedDialogs().ExpectSaveFile(other);
    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("already exists"));
    PressOnFocus(Qt::Key_W, Qt::ControlModifier);
    ExpectStillOpen(path, QStringLiteral("Bob"), "Save As not replacing");
    EXPECT_EQ(Contents(other), otherContents);
}

TEST_F(FillerWindow, SaveAsAsksBeforeReplacingTheForcedName)
{
    const QString path = TwoPageDocument();
    const QString other = TwoPageDocument(QStringLiteral("other.vld"));
    TFillerMainForm &w = Start(path);
    ScriptedDialogs().ExpectSaveFile(dir.filePath(QStringLiteral("other.doc")));
    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("already exists"));
    EXPECT_FALSE(w.SaveAs());
    EXPECT_EQ(w.DocumentPath(), path);

    // A form's command may save silently only over its own file.
    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("already exists"));
    w.RunCommand(50, QStringLiteral("00") + other);
    EXPECT_EQ(w.DocumentPath(), path);
    w.RunCommand(50, QStringLiteral("00") + path);
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("File name not specified."));
    w.RunCommand(50, QStringLiteral("00"));
}

TEST_F(FillerWindow, EverySaveRemembersItsFolder)
{
    QDir(dir.path()).mkdir(QStringLiteral("forms"));
    QDir(dir.path()).mkdir(QStringLiteral("copies"));
    const QString path = TwoPageDocument(QStringLiteral("forms/form.vld"));
    TFillerMainForm &w = Start(path);
    const auto lastSaveDir = [] {
        return INIReadStr(GlobalAppINI, QStringLiteral("App"), QStringLiteral("LastSaveDir"),
                          QString());
    };
    GlobalMadeChange();
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_EQ(lastSaveDir(), dir.filePath(QStringLiteral("forms")));
    EXPECT_EQ(w.Settings().LastSaveDir(), dir.filePath(QStringLiteral("forms")));

    // A form's button saving under a new name without asking.
    const QString copy = dir.filePath(QStringLiteral("copies/copy.vld"));
    w.RunCommand(50, QStringLiteral("00") + copy);
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_EQ(lastSaveDir(), dir.filePath(QStringLiteral("copies")));
}

TEST_F(FillerWindow, HintsOffMeansNoToolTips)
{
    const QString path = dir.filePath(QStringLiteral("hint.vld"));
    {
        TDocumentBuilder doc(1);
        auto *box = doc.Add<TFillerTestBox>(0, QStringLiteral("Name"), QRect(60, 60, 200, 30));
        box->VisualGeneralProps()->SetGeneralHint(QStringLiteral("Your name, as on your passport"));
        ASSERT_TRUE(doc.Save(path));
    }
    TFillerMainForm &w = Start(path);
    QWidget *box = qobject_cast<QWidget *>(Global_FormElementRef(QStringLiteral("Name")));
    ASSERT_NE(box, nullptr);
    // Resting the mouse on the element, as a user waits for its hint.
    const auto hover = [&] {
        QToolTip::hideText();
        QTest::mouseMove(w.PagesPageControl(), QPoint(2, 2));
        QTest::mouseMove(box, box->rect().center());
        QTest::qWait(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay) + 300);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(hover(), QStringLiteral("Your name, as on your passport"));

    QAction *hints = w.Action(QStringLiteral("ViewHints"));
    ASSERT_TRUE(hints->isChecked());
    hints->trigger();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
    EXPECT_FALSE(INIReadBool(GlobalAppINI, QStringLiteral("App"), QStringLiteral("Hints"), true));
    EXPECT_EQ(hover(), QString());

    hints->trigger();
    EXPECT_EQ(hover(), QStringLiteral("Your name, as on your passport"));
    QToolTip::hideText();
}

TEST_F(FillerWindow, HiddenPagesFitTheirDefaultViewToTheWindow)
{
    const QString path = dir.filePath(QStringLiteral("views.vld"));
    {
        TDocumentBuilder doc(3);
        doc.Settings(0)->SetPageDefaultView(dvFitToWidth);
        doc.Settings(1)->SetPageDefaultView(dvFitToWidth);
        doc.Settings(2)->SetPageDefaultView(dvFitToPage);
        ASSERT_TRUE(doc.Save(path));
    }
    TFillerMainForm &w = Start(path);
    QTabBar *tabs = w.PagesPageControl()->tabBar();
    const int firstZoom = w.ActivePage()->Zoom();
    for (int page : {1, 2}) {
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
        ASSERT_EQ(GlobalActivePgIdx(), page);
        TPrinterPage *view = w.ActivePage();
        // The zoom chosen while the page was hidden is the one fitting it now it shows.
        EXPECT_EQ(view->Zoom(), view->FitTo(page == 1 ? ftWindow : ftPage, false)) << page;
        EXPECT_EQ(w.ZoomBox()->currentText(), QStringLiteral("%1 %").arg(view->Zoom()));
        EXPECT_LE(view->PaperRect().right(), view->ClientRect().right()) << page;
        if (page == 1)
            EXPECT_EQ(view->Zoom(), firstZoom);
        else
            EXPECT_TRUE(view->ClientRect().contains(view->PaperRect()));
    }
}

TEST_F(FillerWindow, BadDocumentsLeaveTheWindowUsable)
{
    const QString good = TwoPageDocument();
    // The text box kind is not installed: the dialog names it and nothing opens.
    const QString needsPlugIn = dir.filePath(QStringLiteral("needs.vld"));
    {
        TDocumentBuilder doc(1);
        doc.Add<TScribe>(0, QStringLiteral("Name"), QRect(50, 50, 100, 20));
        ASSERT_TRUE(doc.Save(needsPlugIn));
    }
    TFillerMainForm &w = Start(good);
    ASSERT_TRUE(w.HasDocument());
    QStringList listed;
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Form Element(s) Not Recognised!"));
        if (auto *list = dialog.findChild<QListWidget *>(QStringLiteral("MissingPlugIns")))
            for (int i = 0; i < list->count(); ++i)
                listed << list->item(i)->text();
        return int(QDialog::Accepted);
    });
    EXPECT_FALSE(w.OpenDocument(needsPlugIn));
    EXPECT_EQ(listed, QStringList {QStringLiteral("Text Box")});
    EXPECT_FALSE(w.HasDocument());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Velora Filler"));

    // A damaged file: one message, naming the file and what the envelope found.
    const QString damaged = dir.filePath(QStringLiteral("damaged.vld"));
    QFile::copy(good, damaged);
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(30);
    file.write("XXXX");
    file.close();
    ScriptedDialogs().ExpectMessage(
        mrOk,
        QStringLiteral("Error loading %1\r\rThe document format is not recognised.").arg(damaged));
    EXPECT_FALSE(w.OpenDocument(damaged));
    EXPECT_FALSE(w.HasDocument());

    // A missing file leaves the open document open.
    ASSERT_TRUE(w.OpenDocument(good));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("does not exist."));
    EXPECT_FALSE(w.OpenDocument(dir.filePath(QStringLiteral("gone.vld"))));
    EXPECT_TRUE(w.HasDocument());
    EXPECT_TRUE(w.OpenDocument(good));
}

TEST_F(FillerWindow, DefaultFocusSkipsReadOnlyElements)
{
    for (const bool readOnly : {true, false}) {
        const QString path = dir.filePath(QStringLiteral("focus%1.vld").arg(readOnly));
        {
            TDocumentBuilder doc(1);
            auto *box = doc.Add<TFillerTestBox>(0, QStringLiteral("First"), QRect(60, 60, 200, 30));
            box->VisualGeneralProps()->SetGeneralReadOnly(readOnly);
            doc.Settings(0)->SetPageDefaultFocus(QStringLiteral("First"));
            ASSERT_TRUE(doc.Save(path));
        }
        TFillerMainForm &w = Start(path);
        ASSERT_TRUE(w.HasDocument());
        if (readOnly)
            EXPECT_EQ(TVisualPgCtrl::FocusedElement(), nullptr);
        else
            EXPECT_EQ(TVisualPgCtrl::FocusedElement(),
                      Global_FormElementRef(QStringLiteral("First")));
        window.reset();
    }
}

TEST_F(FillerWindow, ValidationReportsARadioGroupOnce)
{
    const QString path = dir.filePath(QStringLiteral("radio.vld"));
    {
        TDocumentBuilder doc(2);
        for (int i = 0; i < 3; ++i) {
            auto *radio = doc.Add<TFillerTestBox>(1, QStringLiteral("Radio%1").arg(i),
                                                  QRect(50, 50 + 40 * i, 20, 20));
            radio->SetGroupNumber(4);
            radio->SetTabOrder(3 - i);
            radio->VisualValidationProps()->SetValidationRequired(true);
        }
        auto *name = doc.Add<TFillerTestBox>(0, QStringLiteral("Name"), QRect(50, 50, 200, 20));
        name->VisualValidationProps()->SetValidationRequired(true);
        ASSERT_TRUE(doc.Save(path));
    }
    TFillerMainForm &w = Start(path);
    for (const char *radio : {"Radio0", "Radio1", "Radio2"})
        static_cast<TFillerTestBox *>(Global_FormElementRef(QString::fromLatin1(radio)))
            ->SetKind(60);
    QString shownMessages;
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        shownMessages = dialog.findChild<QLabel *>(QStringLiteral("Messages"))->text();
        return int(mrOk);
    });
    EXPECT_EQ(w.RunCommand(70, QString()), 0);
    // Page order, then TAB order: the group speaks through Radio2 only.
    EXPECT_EQ(shownMessages.toStdString(), "Name is incomplete!\nRadio2 is incomplete!");
    EXPECT_EQ(GlobalActivePgIdx(), 0);
    EXPECT_EQ(ScriptedDialogs().Beeps(), 1);
}

TEST(FillerDialogs, ValidationFailureShowsSixteenLinesAtMost)
{
    QStringList lines;
    for (int i = 0; i < 20; ++i)
        lines << QStringLiteral("Element%1 is incomplete!").arg(i);
    TValidationFailureDlg many(nullptr, true, lines.join(u'\r'));
    many.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(many.MessageBox()->verticalScrollBar()->isVisible());
    EXPECT_TRUE(many.findChild<QPushButton *>(QStringLiteral("NoButton"))->isDefault());
    TValidationFailureDlg few(nullptr, false, lines.mid(0, 3).join(u'\r'));
    few.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(few.MessageBox()->verticalScrollBar()->isVisible());
    EXPECT_LT(few.MessageBox()->height(), many.MessageBox()->height());
}

TEST(FillerDialogs, ValidationFailureIsCentredOnTheScreen)
{
    // The window that validates sits in a corner; the failure shows in the middle.
    QWidget owner;
    owner.setGeometry(0, 0, 200, 150);
    owner.show();
    for (const bool continueMode : {true, false}) {
        TValidationFailureDlg dialog(&owner, continueMode, QStringLiteral("Name is incomplete!"));
        dialog.show();
        QCoreApplication::processEvents();
        const QPoint screenCentre = dialog.screen()->availableGeometry().center();
        EXPECT_LE((dialog.geometry().center() - screenCentre).manhattanLength(), 4) << continueMode;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Validate"));
        // No is the default in continue mode, with the focus; otherwise OK has it.
        const auto *focus = qobject_cast<QPushButton *>(QApplication::focusWidget());
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->text().remove(u'&'),
                  continueMode ? QStringLiteral("No") : QStringLiteral("OK"));
        QStringList texts;
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            texts << label->text();
        EXPECT_TRUE(texts.contains(QStringLiteral("Form validation failed!")));
        EXPECT_EQ(texts.contains(QStringLiteral("Publish Anyway?")), continueMode);
        dialog.hide();
    }
}

TEST(FillerDialogs, LoadErrorTextEndsInTheAddress)
{
    TFillerLoadErrDlg dialog(nullptr, false, true, {QStringLiteral("Text Box")});
    dialog.show();
    QCoreApplication::processEvents();
    const QLabel *link = dialog.findChild<QLabel *>(QStringLiteral("DownloadLink"));
    ASSERT_NE(link, nullptr);
    ASSERT_NE(dialog.MissingList(), nullptr);
    // "... setup from" and the address, with the list of what was missing after them.
    EXPECT_LT(link->geometry().bottom(), dialog.MissingList()->geometry().top());
}

TEST(FillerDialogs, AboutShowsTheBuildVersion)
{
    TAboutDialog about(nullptr);
    EXPECT_TRUE(about.findChild<QLabel *>(QStringLiteral("Version"))
                    ->text()
                    .contains(QStringLiteral(VELORA_VERSION)));
    ScriptedDialogs().Reset();
    QLabel *link = about.findChild<QLabel *>(QStringLiteral("DownloadLink"));
    emit link->linkActivated(QString::fromLatin1(CVELORA_DOWNLOAD_URL));
    ASSERT_EQ(ScriptedDialogs().OpenedUrls().size(), 1);
}

#include "test_filler_window.moc"
