// Nothing typed is lost: a filler killed while a form is being filled offers
// the committed values at the next start and puts them back through each
// box's own checks.

#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CRecoveryJournal.h"
#include "ExampleForms.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace {
constexpr char kKilledDocVariable[] = "VELORA_KILLED_DOCUMENT";

class Recovery : public TFillerWindowTest
{
protected:
    void SetUp() override
    {
        TFillerWindowTest::SetUp();
        m_oldState = qgetenv("XDG_STATE_HOME");
        // The killed program keeps its journal where the test that started it will look.
        if (qEnvironmentVariableIsEmpty(kKilledDocVariable))
            qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toUtf8());
        path = dir.filePath(QStringLiteral("Employee.vld"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELORA_BUILD_DIR "/examples/Employee.vld"), path));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    void TearDown() override
    {
        TFillerWindowTest::TearDown();
        qputenv("XDG_STATE_HOME", m_oldState);
    }
    void Open() { window = StartFillerWindow(QStringLiteral(VELORA_BIN_DIR "/"), path); }
    // A journal as a killed program would have left it, newer than the document.
    void LeaveJournal(const QList<TJournalEntry> &entries, const QByteArray &tail = {})
    {
        const QString journal = TRecoveryJournal::PathFor(path);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(journal).absolutePath()));
        QFile file(journal);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(TRecoveryJournal::Header());
        for (const TJournalEntry &entry : entries)
            file.write(TRecoveryJournal::Encode(entry.Element, entry.Value));
        file.write(tail);
    }

    QString path;
    QByteArray m_oldState;
};
} // namespace

TEST_F(Recovery, AKilledFillerOffersItsCommittedValuesAndTheDocumentThenSavesNormally)
{
    QProcess killed;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kKilledDocVariable), path);
    killed.setProcessEnvironment(env);
    killed.setProcessChannelMode(QProcess::MergedChannels);
    killed.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=Recovery.KilledWhileFilling")});
    ASSERT_TRUE(killed.waitForFinished(60000));
    const QString report = QString::fromLocal8Bit(killed.readAll());
    ASSERT_EQ(killed.exitStatus(), QProcess::CrashExit) << report.toStdString();
    ASSERT_TRUE(report.contains(QStringLiteral("typed into three"))) << report.toStdString();

    // The two committed values are offered and put back; the third was never committed.
    ScriptedDialogs().ExpectMessage(mrYes,
                                    QStringLiteral("Velora was closed before these changes were "
                                                   "saved: restore them?\r\rFullName: Ada Lovelace"
                                                   "\rAddress: 1 Main Street / Springfield"));
    Open();
    ASSERT_TRUE(window->HasDocument());
    ASSERT_EQ(ScriptedDialogs().Shown().size(), 1);
    EXPECT_FALSE(ScriptedDialogs().Shown().constFirst().Text.contains(QStringLiteral("Email")));
    EXPECT_EQ(Element("FullName")->Text(), QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(Element("Address")->Text(), QStringLiteral("1 Main Street\r\nSpringfield"));
    EXPECT_TRUE(Element("Email")->Text().isEmpty());
    EXPECT_TRUE(GlobalProjectChanged);

    ASSERT_TRUE(window->Save());
    EXPECT_FALSE(QFile::exists(TRecoveryJournal::PathFor(path)));
    window.reset();
    // Saved: the next start opens the values with nothing to ask.
    Open();
    EXPECT_EQ(Element("FullName")->Text(), QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(ScriptedDialogs().Shown().size(), 1);
}

// Started by the test above as a program of its own, and killed in the middle.
TEST_F(Recovery, KilledWhileFilling)
{
    const QString document = qEnvironmentVariable(kKilledDocVariable);
    if (document.isEmpty())
        GTEST_SKIP() << "runs as the killed filler of the test above";
    path = document;
    Open();
    ClickInto("FullName");
    TypeInto(QStringLiteral("Ada Lovelace"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    TypeInto(QStringLiteral("1 Main Street"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    TypeInto(QStringLiteral("Springfield"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    TypeInto(QStringLiteral("ada@example.com"));
    std::fprintf(stderr, "typed into three boxes, committed two\n");
    std::raise(SIGKILL);
}

TEST_F(Recovery, AValueABoxRefusesIsListedAndNotApplied)
{
    LeaveJournal({{QStringLiteral("FullName"), QStringLiteral("Grace Hopper")},
                  {QStringLiteral("NationalId"), QStringLiteral("AB$12")},
                  {QStringLiteral("Vanished"), QStringLiteral("x")},
                  {QStringLiteral("Salary"), QStringLiteral("1234.5")}});
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("NationalId: AB$12"));
    ScriptedDialogs().ExpectMessage(mrOk,
                                    QStringLiteral("These values were not restored:\r\r"
                                                   "NationalId: \"AB$12\" is not a value "
                                                   "this box takes\rVanished: "));
    Open();
    EXPECT_EQ(Element("FullName")->Text(), QStringLiteral("Grace Hopper"));
    EXPECT_TRUE(Element("NationalId")->Text().isEmpty());
    EXPECT_EQ(Element("Salary")->Text(), QStringLiteral("1234.5"));
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), nullptr);
}

TEST_F(Recovery, ADamagedJournalRestoresWhatCameBeforeTheDamageAndSaysSo)
{
    LeaveJournal({{QStringLiteral("FullName"), QStringLiteral("Grace Hopper")}},
                 TRecoveryJournal::Encode(QStringLiteral("Email"), QStringLiteral("g@example.com"))
                     .left(20));
    ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("is damaged"));
    Open();
    EXPECT_TRUE(window->HasDocument());
    EXPECT_EQ(Element("FullName")->Text(), QStringLiteral("Grace Hopper"));

    // Declined, the journal goes: it is not asked about again.
    window.reset();
    LeaveJournal({{QStringLiteral("FullName"), QStringLiteral("Someone Else")}});
    ScriptedDialogs().ExpectMessage(mrNo, QStringLiteral("Someone Else"));
    Open();
    EXPECT_TRUE(Element("FullName")->Text().isEmpty());
    EXPECT_FALSE(QFile::exists(TRecoveryJournal::PathFor(path)));
}
