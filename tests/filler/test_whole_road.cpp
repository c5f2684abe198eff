// The road a form takes in an office, with the real text box plug-in in the
// real window: open, click, type, TAB across pages, save, start again.

#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CFillerDialogs.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "ExampleForms.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

namespace {
// The second start is this test program again, in a process of its own, as a
// user's restart would be.
constexpr char RoadDocVariable[] = "VELORA_ROAD_DOCUMENT";
} // namespace

TEST(WholeRoad, TypedValuesComeBackAfterSaveAndRestart)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Application.vld"));
    {
        auto window = OpenExample(dir, "Application.vld");
        ASSERT_TRUE(window->HasDocument());
        ClickInto("ApplicantName");
        TypeInto(QStringLiteral("Ada Lovelace"));
        Tab();
        TypeInto(QStringLiteral("Analytical Engines"));
        Tab();
        TypeInto(QStringLiteral("ada@example.com"));
        Tab();
        TypeInto(QStringLiteral("1234"));
        // The last box of the page hands over to the first of the next page.
        Tab();
        EXPECT_EQ(GlobalActivePgIdx(), 1);
        TypeInto(QStringLiteral("ada"));
        Tab();
        TypeInto(QStringLiteral("s3cret"));
        Tab();
        TypeInto(QStringLiteral("s3cret"));
        Tab();
        EXPECT_TRUE(window->Save());
        EXPECT_FALSE(GlobalProjectChanged);
        window->close();
    }

    QProcess again;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(RoadDocVariable), path);
    again.setProcessEnvironment(env);
    again.setProcessChannelMode(QProcess::MergedChannels);
    again.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=WholeRoad.SecondStart")});
    ASSERT_TRUE(again.waitForFinished(60000));
    const QString report = QString::fromLocal8Bit(again.readAll());
    EXPECT_EQ(again.exitCode(), 0) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("[  PASSED  ] 1 test"))) << report.toStdString();

    QProcess dump;
    dump.start(QStringLiteral(VELORA_BIN_DIR "/vldtool"), {QStringLiteral("dump"), path});
    ASSERT_TRUE(dump.waitForFinished(30000));
    const QString text = QString::fromUtf8(dump.readAllStandardOutput());
    for (const char *typed :
         {"Ada Lovelace", "Analytical Engines", "ada@example.com", "1234", "s3cret"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(typed))) << typed;
}

TEST(WholeRoad, SecondStart)
{
    const QString path = qEnvironmentVariable(RoadDocVariable);
    if (path.isEmpty())
        GTEST_SKIP() << "runs as the second start of TypedValuesComeBackAfterSaveAndRestart";
    auto window = StartFillerWindow(QStringLiteral(VELORA_BIN_DIR "/"), path);
    ASSERT_TRUE(window->HasDocument());
    const auto text = [](const char *name) {
        TVisualPgCtrl *element = Element(name);
        return element ? element->Text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
    };
    EXPECT_EQ(text("ApplicantName"), QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(text("Organisation"), QStringLiteral("Analytical Engines"));
    EXPECT_EQ(text("ApplicantEmail"), QStringLiteral("ada@example.com"));
    EXPECT_EQ(text("Seats"), QStringLiteral("1234"));
    EXPECT_EQ(text("UserName"), QStringLiteral("ada"));
    EXPECT_EQ(text("Password"), QStringLiteral("s3cret"));
    EXPECT_EQ(text("RepeatPassword"), QStringLiteral("s3cret"));
    // Without the caret the number shows formatted, the password masked.
    TVisualPgCtrl *seats = Element(QStringLiteral("Seats"));
    EXPECT_EQ(seats->DisplayText(seats->Text()), QStringLiteral("1,234"));
    TVisualPgCtrl *password = Element(QStringLiteral("Password"));
    EXPECT_EQ(password->DisplayText(password->Text()), QStringLiteral("******"));

    QTest::keyClick(window.get(), Qt::Key_F9);
    SaveScreenshot(*window, QStringLiteral("application-filled-fit-page.png"));
}

namespace {
// The example forms carry their own words for a failed check.
const QString kBadEmail
    = QStringLiteral("Please enter a whole e-mail address, such as name@example.com.");

QString DialogText(const QDialog &dialog)
{
    QString shown;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        shown += label->text() + u'\n';
    return shown;
}
} // namespace

TEST(WholeRoad, BadAddressIsRefusedAndTheFirstFailureFocused)
{
    QTemporaryDir dir;
    auto window = OpenExample(dir, "Employee.vld");
    ClickInto("Email");
    TypeInto(QStringLiteral("not-an-address"));
    // A bad address is refused where it is typed: the box keeps the focus.
    ScriptedDialogs().ExpectMessage(mrOk, kBadEmail);
    Tab();
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element(QStringLiteral("Email")));

    // Validating first commits the box, which refuses again and ends the pass there.
    ScriptedDialogs().ExpectMessage(mrOk, kBadEmail);
    EXPECT_EQ(window->RunCommand(70, QString()), 0);
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element(QStringLiteral("Email")));

    // The refused text was selected: typing replaces it.
    TypeInto(QStringLiteral("ada@example.com"));
    QString shown;
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        shown = DialogText(dialog);
        return int(mrOk);
    });
    EXPECT_EQ(window->RunCommand(70, QString()), 0);
    EXPECT_TRUE(shown.contains(QStringLiteral("Please enter your full name.")))
        << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("Email"))) << shown.toStdString();
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element(QStringLiteral("FullName")));
    ScriptedDialogs().VerifyAllUsed();
}

namespace {
int MessagesShown()
{
    int count = 0;
    for (const TShownDialog &shown : ScriptedDialogs().Shown())
        count += shown.Kind == TDialogKind::Message;
    return count;
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString BadAddress = kBadEmail;
} // namespace

TEST(WholeRoad, ABadAddressKeepsItsPageWhenAnotherTabIsClicked)
{
    QTemporaryDir dir;
    auto window = OpenExample(dir, "Application.vld");
    TVisualPgCtrl *email = Element("ApplicantEmail");
    ClickInto("ApplicantEmail");
    TypeInto(QStringLiteral("bad"));
    QTabBar *tabs = window->PagesPageControl()->tabBar();
    ScriptedDialogs().ExpectMessage(mrOk, BadAddress);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QTest::qWait(20);
    // Said once; the page stays, and so do the box and the keys.
    EXPECT_EQ(MessagesShown(), 1);
    EXPECT_EQ(GlobalActivePgIdx(), 0);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), email);
    ASSERT_NE(email->Editor(), nullptr);
    EXPECT_TRUE(email->Editor()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), email->Editor());

    // A form's "next page" button asks the same way.
    ScriptedDialogs().ExpectMessage(mrOk, BadAddress);
    window->RunCommand(100, QString());
    QTest::qWait(20);
    EXPECT_EQ(MessagesShown(), 2);
    EXPECT_EQ(GlobalActivePgIdx(), 0);
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), email);

    // The refused text is selected: typing replaces it, and then the tab may change.
    TypeInto(QStringLiteral("ada@example.com"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QTest::qWait(20);
    EXPECT_EQ(MessagesShown(), 2);
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(email->Text(), QStringLiteral("ada@example.com"));
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element("UserName"));
    ScriptedDialogs().VerifyAllUsed();
}

TEST(WholeRoad, SavingStopsAtABadAddress)
{
    QTemporaryDir dir;
    auto window = OpenExample(dir, "Application.vld");
    const QString path = window->DocumentPath();
    const QByteArray before = FileBytes(path);
    ClickInto("ApplicantName");
    TypeInto(QStringLiteral("Ada Lovelace"));
    ClickInto("ApplicantEmail");
    TypeInto(QStringLiteral("bad"));
    const auto keys = [](int key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        QTest::qWait(20);
    };
    // File > Save, File > Save As, and a form's buttons: each refused, nothing asked or written.
    ScriptedDialogs().ExpectMessage(mrOk, BadAddress);
    keys(Qt::Key_S, Qt::ControlModifier);
    ScriptedDialogs().ExpectMessage(mrOk, BadAddress);
    keys(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ScriptedDialogs().ExpectMessage(mrOk, BadAddress);
    window->RunCommand(40, QString());
    ScriptedDialogs().ExpectMessage(mrOk, BadAddress);
    window->RunCommand(50, QStringLiteral("00") + path);
    ScriptedDialogs().ExpectMessage(mrOk, BadAddress);
    EXPECT_EQ(window->RunCommand(50, QStringLiteral("1 ") + path), 1);
    QTest::qWait(20);
    EXPECT_EQ(MessagesShown(), 5);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_TRUE(GlobalProjectChanged);
    EXPECT_TRUE(window->Action(QStringLiteral("FileSave"))->isEnabled());
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element("ApplicantEmail"));

    // Closing asks to save; saving is refused, so the document stays open.
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Save changes to"));
    ScriptedDialogs().ExpectMessage(mrOk, BadAddress);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->HasDocument());
    EXPECT_EQ(FileBytes(path), before);

    TypeInto(QStringLiteral("ada@example.com"));
    keys(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(GlobalProjectChanged);
    EXPECT_NE(FileBytes(path), before);
    ScriptedDialogs().VerifyAllUsed();
}

TEST(WholeRoad, PasswordsThatDifferAreRefusedOnTheirPage)
{
    QTemporaryDir dir;
    auto window = OpenExample(dir, "Application.vld");
    ClickInto("ApplicantName");
    TypeInto(QStringLiteral("Ada Lovelace"));
    window->RunCommand(100, QString());
    ASSERT_EQ(GlobalActivePgIdx(), 1);
    ClickInto("Password");
    TypeInto(QStringLiteral("s3cret"));
    Tab();
    TypeInto(QStringLiteral("s3cert"));
    Tab();
    window->RunCommand(90, QString());
    ASSERT_EQ(GlobalActivePgIdx(), 0);

    QString shown;
    ScriptedDialogs().ExpectModal([&](QDialog &dialog) {
        shown = DialogText(dialog);
        return int(mrOk);
    });
    EXPECT_EQ(window->RunCommand(70, QString()), 0);
    EXPECT_TRUE(
        shown.contains(QStringLiteral("The two passwords are not the same. Please type it again.")))
        << shown.toStdString();
    // The failing box's page comes up with the box focused.
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element(QStringLiteral("RepeatPassword")));

    // Once they agree the form passes. The box already has the focus: a click
    // on it must keep the keys there.
    ClickInto("RepeatPassword");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    TypeInto(QStringLiteral("ret"));
    EXPECT_EQ(window->RunCommand(70, QString()), 1);
    ScriptedDialogs().VerifyAllUsed();
}

namespace {
// Boxes of a comb row as drawn: runs of the field colour along the row just
// inside the top border, and for each box the centre of its dark (text) pixels.
struct TCombBox
{
    int Left = 0, Right = 0; // field-coloured columns, inclusive
    QPointF Ink {-1, -1}; // middle of the text's extent
};

QList<TCombBox> CombBoxes(const QImage &shot, int row)
{
    const auto isField = [](QRgb c) {
        return qAbs(qRed(c) - 0xF2) < 6 && qAbs(qGreen(c) - 0xF6) < 6 && qAbs(qBlue(c) - 0xFC) < 6;
    };
    QList<TCombBox> boxes;
    for (int x = 0; x < shot.width(); ++x) {
        if (!isField(shot.pixel(x, row)))
            continue;
        TCombBox box {x, x, {}};
        while (box.Right + 1 < shot.width() && isField(shot.pixel(box.Right + 1, row)))
            ++box.Right;
        x = box.Right;
        // The middle of the text's extent: what the eye takes for its place.
        int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
        for (int y = 0; y < shot.height(); ++y)
            for (int ix = box.Left; ix <= box.Right; ++ix)
                if (qGray(shot.pixel(ix, y)) < 0x50) {
                    left = qMin(left, ix);
                    right = qMax(right, ix);
                    top = qMin(top, y);
                    bottom = qMax(bottom, y);
                }
        if (right >= 0)
            box.Ink = QPointF((left + right) / 2.0, (top + bottom) / 2.0);
        boxes << box;
    }
    return boxes;
}
} // namespace

TEST(WholeRoad, CombTakesNineCharactersCentredInTheirBoxes)
{
    QTemporaryDir dir;
    auto window = OpenExample(dir, "Employee.vld");
    ClickInto("NationalId");
    TypeInto(QStringLiteral("ab1234567z"));
    TVisualPgCtrl *comb = Element(QStringLiteral("NationalId"));
    // The tenth character has no box; the box shows capitals and allows only them.
    EXPECT_EQ(comb->Text(), QStringLiteral("AB1234567"));
    ClickInto("FullName");
    TypeInto(QStringLiteral("Grace Hopper"));
    ClickInto("Salary");
    TypeInto(QStringLiteral("1234567.5"));
    ClickInto("Email");
    TypeInto(QStringLiteral("grace@example.com"));
    Tab();

    for (int zoom : {100, 250}) {
        QLineEdit *zoomEdit = window->ZoomBox()->lineEdit();
        zoomEdit->selectAll();
        QTest::keyClicks(zoomEdit, QString::number(zoom));
        QTest::keyClick(zoomEdit, Qt::Key_Return);
        ASSERT_EQ(window->ActivePage()->Zoom(), zoom);
        // As the window shows it, over the paper.
        window->ActivePage()->ScrollInView(comb->geometry());
        QCoreApplication::processEvents();
        const QImage shot
            = window->grab(QRect(comb->mapTo(window.get(), QPoint(0, 0)), comb->size())).toImage();
        // Two pixels below the top border, above any character.
        const QList<TCombBox> boxes = CombBoxes(shot, qMax(2, zoom / 50));
        ASSERT_EQ(boxes.size(), 9) << zoom;
        const QString shown = comb->DisplayText(comb->Text());
        EXPECT_EQ(shown, QStringLiteral("AB1234567"));
        for (int i = 0; i < boxes.size(); ++i) {
            const TCombBox &box = boxes.at(i);
            ASSERT_GE(box.Ink.x(), 0) << "box " << i << " at " << zoom << " % is empty";
            const double centre = (box.Left + box.Right) / 2.0;
            const double width = box.Right - box.Left + 1;
            // Within a pixel and a half, or 5 % of the box when the box is large.
            EXPECT_NEAR(box.Ink.x(), centre, qMax(1.5, width * 0.05))
                << "box " << i << " (" << qPrintable(shown.mid(i, 1)) << ") at " << zoom << " %";
        }
    }
    QTest::keyClick(window.get(), Qt::Key_F9);
    SaveScreenshot(*window, QStringLiteral("employee-filled-fit-page.png"));
}

TEST(WholeRoad, AboutListsTheInstalledTextBox)
{
    QTemporaryDir dir;
    auto window = OpenExample(dir, "Welcome.vld");
    TAboutDialog about(window.get());
    const QListWidget *kinds = about.findChild<QListWidget *>(QStringLiteral("PlugInList"));
    ASSERT_NE(kinds, nullptr);
    QStringList listed;
    for (int i = 0; i < kinds->count(); ++i) {
        listed << kinds->item(i)->text();
        EXPECT_FALSE(kinds->item(i)->icon().isNull()) << listed.last().toStdString();
    }
    // Other kinds may be installed beside them.
    EXPECT_TRUE(listed.contains(QStringLiteral("Velora Text Box Plug-In.")));
    EXPECT_TRUE(listed.contains(QStringLiteral("Velora Calculation Box Plug-In.")));
    EXPECT_TRUE(listed.contains(QStringLiteral("Velora Combo Box Plug-In.")));
    about.show();
    SaveScreenshot(about, QStringLiteral("about.png"));
}
