// The recovery journal's file: where it lives, what a record holds, and what
// is read back from a file cut short or damaged anywhere.

#include "CRecoveryJournal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class RecoveryJournal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toUtf8());
        document = dir.filePath(QStringLiteral("Form.vld"));
        QFile file(document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    void TearDown() override { qputenv("XDG_STATE_HOME", m_oldState); }

    QTemporaryDir dir;
    QString document;
    QByteArray m_oldState;
};

const QList<TJournalEntry> kEntries = {
    {QStringLiteral("FullName"), QStringLiteral("Zoë Ångström")},
    {QStringLiteral("Address"), QStringLiteral("1 Main Street\r\nSpringfield")},
    {QStringLiteral("Email"), QString()},
    {QStringLiteral("FullName"), QStringLiteral("名前 R 0 1")},
};

void ExpectSame(const QList<TJournalEntry> &read, const QList<TJournalEntry> &written)
{
    ASSERT_EQ(read.size(), written.size());
    for (qsizetype i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].Element, written[i].Element) << i;
        EXPECT_EQ(read[i].Value, written[i].Value) << i;
    }
}
} // namespace

TEST_F(RecoveryJournal, LivesInTheStateFolderOneFileADocumentPrivateToItsUser)
{
    EXPECT_EQ(TRecoveryJournal::Folder(),
              dir.filePath(QStringLiteral("state")) + QStringLiteral("/Corvale/Velora/recovery/"));
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(TRecoveryJournal::Folder(),
              QDir::homePath() + QStringLiteral("/.local/state/Corvale/Velora/recovery/"));
    qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toUtf8());

    // The same document through a link has the same journal; another document its own.
    const QString link = dir.filePath(QStringLiteral("Link.vld"));
    ASSERT_TRUE(QFile::link(document, link));
    EXPECT_EQ(TRecoveryJournal::PathFor(link), TRecoveryJournal::PathFor(document));
    EXPECT_NE(TRecoveryJournal::PathFor(dir.filePath(QStringLiteral("Other.vld"))),
              TRecoveryJournal::PathFor(document));

    TRecoveryJournal journal(document);
    EXPECT_FALSE(QFile::exists(journal.Path()));
    for (const TJournalEntry &entry : kEntries)
        ASSERT_TRUE(journal.Record(entry.Element, entry.Value));
    EXPECT_EQ(QFile::permissions(journal.Path())
                  & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther),
              QFileDevice::Permissions());
    EXPECT_TRUE(TRecoveryJournal::HasNewerJournal(document));
    const TJournalContents read = TRecoveryJournal::Read(journal.Path());
    EXPECT_FALSE(read.Damaged);
    ExpectSame(read.Entries, kEntries);

    journal.Remove();
    EXPECT_FALSE(QFile::exists(journal.Path()));
    EXPECT_FALSE(TRecoveryJournal::HasNewerJournal(document));
}

TEST_F(RecoveryJournal, AFileCutAnywhereGivesTheWholeRecordsBeforeTheCut)
{
    QByteArray whole = TRecoveryJournal::Header();
    QList<qsizetype> boundaries {whole.size()};
    for (const TJournalEntry &entry : kEntries) {
        whole += TRecoveryJournal::Encode(entry.Element, entry.Value);
        boundaries << whole.size();
    }
    const QString path = dir.filePath(QStringLiteral("cut.journal"));
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(whole.left(cut));
        file.close();
        const TJournalContents read = TRecoveryJournal::Read(path);
        qsizetype whole_records = 0;
        while (whole_records + 1 < boundaries.size() && boundaries[whole_records + 1] <= cut)
            ++whole_records;
        ExpectSame(read.Entries, kEntries.mid(0, whole_records));
        EXPECT_EQ(read.Damaged, cut != 0 && !boundaries.contains(cut)) << "cut at " << cut;
    }

    // A changed byte inside a record ends the reading there.
    QByteArray damaged = whole;
    damaged[boundaries[2] + 12] = damaged[boundaries[2] + 12] ^ 0x20;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(damaged);
    file.close();
    const TJournalContents read = TRecoveryJournal::Read(path);
    EXPECT_TRUE(read.Damaged);
    ExpectSame(read.Entries, kEntries.mid(0, 2));
}
