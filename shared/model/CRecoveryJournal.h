#pragma once
// What the user committed while filling a form, kept on disk until the form is
// saved or closed, so that a crash or a killed program loses nothing typed.
// One file a document under the XDG state folder; each committed edit appends
// a record (the element's name and its new text) and flushes it.

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>

struct TJournalEntry
{
    QString Element;
    QString Value;
};

struct TJournalContents
{
    // In the order they were committed; an element may come more than once.
    QList<TJournalEntry> Entries;
    // Something after the last whole record could not be read (cut short or damaged).
    bool Damaged = false;
};

class TRecoveryJournal
{
public:
    // Opens (appending) the journal of the document, made on the first record.
    explicit TRecoveryJournal(const QString &documentPath);
    ~TRecoveryJournal();
    TRecoveryJournal(const TRecoveryJournal &) = delete;
    TRecoveryJournal &operator=(const TRecoveryJournal &) = delete;

    // False when the record could not be written (the reason in ErrorString()).
    bool Record(const QString &element, const QString &value);
    // Puts records written since the last sync on the disk once the interval has passed; the
    // window calls it on its pulse, so a quiet form is not left unsynced.
    void SyncIfDue();
    // The document was saved or closed on purpose: nothing is left to recover.
    void Remove();
    const QString &Path() const { return m_path; }
    QString ErrorString() const { return m_file.errorString(); }

    // "$XDG_STATE_HOME/Corvale/Velora/recovery/", with the usual fallback to ~/.local/state.
    static QString Folder();
    static QString PathFor(const QString &documentPath);
    // The journal of the document when one is there and newer than the document.
    static bool HasNewerJournal(const QString &documentPath);
    static TJournalContents Read(const QString &journalPath);
    // The records as Record writes them, for tests and tools.
    static QByteArray Encode(const QString &element, const QString &value);
    static QByteArray Header();

private:
    bool Open();

    QString m_path;
    QFile m_file;
    QElapsedTimer m_sinceSync;
    bool m_unsynced = false;
};
