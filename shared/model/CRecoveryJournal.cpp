#include "CRecoveryJournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace {
constexpr char kHeader[] = "VeloraJournal 1\n";
// Whole records reach the disk at most this often; each is flushed to the system at once,
// which a killed program does not lose (only a machine that stops does).
constexpr qint64 kSyncIntervalMs = 1000;
// A record longer than this is damage, not text anyone typed.
constexpr qsizetype kMaxRecord = 64 * 1024 * 1024;
} // namespace

QString TRecoveryJournal::Folder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // The base directory specification ignores relative paths.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Corvale/Velora/recovery/");
}

QString TRecoveryJournal::PathFor(const QString &documentPath)
{
    const QFileInfo info(documentPath);
    const QString canonical = info.canonicalFilePath();
    const QString key = canonical.isEmpty() ? info.absoluteFilePath() : canonical;
    const QByteArray digest
        = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return Folder() + QFileInfo(key).completeBaseName() + u'-' + QString::fromLatin1(digest)
        + QStringLiteral(".journal");
}

bool TRecoveryJournal::HasNewerJournal(const QString &documentPath)
{
    const QFileInfo journal(PathFor(documentPath));
    if (!journal.isFile())
        return false;
    const QFileInfo document(documentPath);
    return !document.exists() || journal.lastModified() >= document.lastModified();
}

QByteArray TRecoveryJournal::Header()
{
    return QByteArray(kHeader);
}

QByteArray TRecoveryJournal::Encode(const QString &element, const QString &value)
{
    const QByteArray payload = element.toUtf8() + '\0' + value.toUtf8();
    return "R " + QByteArray::number(payload.size()) + ' '
        + QByteArray::number(qChecksum(payload), 16) + '\n' + payload + '\n';
}

TJournalContents TRecoveryJournal::Read(const QString &journalPath)
{
    TJournalContents contents;
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.Damaged = file.exists();
        return contents;
    }
    const QByteArray bytes = file.readAll();
    qsizetype at = 0;
    if (!bytes.startsWith(kHeader)) {
        contents.Damaged = !bytes.isEmpty();
        return contents;
    }
    at = qsizetype(sizeof kHeader) - 1;
    while (at < bytes.size()) {
        const qsizetype lineEnd = bytes.indexOf('\n', at);
        if (lineEnd < 0) {
            contents.Damaged = true;
            break;
        }
        const QList<QByteArray> fields = bytes.mid(at, lineEnd - at).split(' ');
        bool sizeOk = false;
        bool sumOk = false;
        const qsizetype size = fields.size() == 3 ? fields[1].toLongLong(&sizeOk) : -1;
        const uint sum = fields.size() == 3 ? fields[2].toUInt(&sumOk, 16) : 0;
        const qsizetype payloadAt = lineEnd + 1;
        if (fields.size() != 3 || fields[0] != "R" || !sizeOk || !sumOk || size < 0
            || size > kMaxRecord || payloadAt + size >= bytes.size()
            || bytes.at(payloadAt + size) != '\n') {
            contents.Damaged = true;
            break;
        }
        const QByteArray payload = bytes.mid(payloadAt, size);
        const qsizetype split = payload.indexOf('\0');
        if (qChecksum(payload) != sum || split < 0) {
            contents.Damaged = true;
            break;
        }
        contents.Entries.append(
            {QString::fromUtf8(payload.left(split)), QString::fromUtf8(payload.mid(split + 1))});
        at = payloadAt + size + 1;
    }
    return contents;
}

TRecoveryJournal::TRecoveryJournal(const QString &documentPath) : m_path(PathFor(documentPath))
{
    m_file.setFileName(m_path);
}

TRecoveryJournal::~TRecoveryJournal()
{
    if (m_file.isOpen() && m_unsynced)
        ::fsync(m_file.handle());
}

bool TRecoveryJournal::Open()
{
    if (m_file.isOpen())
        return true;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    const bool fresh = !QFileInfo::exists(m_path) || QFileInfo(m_path).size() == 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    // Typed values may be private (passwords): for this user's eyes only.
    m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (fresh && m_file.write(kHeader) < 0)
        return false;
    m_sinceSync.start();
    return true;
}

bool TRecoveryJournal::Record(const QString &element, const QString &value)
{
    if (!Open())
        return false;
    const QByteArray record = Encode(element, value);
    if (m_file.write(record) != record.size() || !m_file.flush())
        return false;
    m_unsynced = true;
    SyncIfDue();
    return true;
}

void TRecoveryJournal::SyncIfDue()
{
    if (!m_unsynced || !m_file.isOpen() || m_sinceSync.elapsed() < kSyncIntervalMs)
        return;
    ::fsync(m_file.handle());
    m_unsynced = false;
    m_sinceSync.restart();
}

void TRecoveryJournal::Remove()
{
    m_file.close();
    m_unsynced = false;
    QFile::remove(m_path);
}
