#pragma once
// The envelope of a document file: the version tag, the SHA-1 digest of the
// payload split in two halves, and the payload enciphered with AES-256-CBC
// under a key derived from that digest. The key travels with the file, so the
// envelope guards a document against damage, not against reading. Also the
// check that every element kind a payload names is installed, and the
// reading stream that moves the splash gauge.

#include "CComponentStream.h"

#include <QElapsedTimer>
#include <QString>
#include <array>
#include <cstdint>
#include <exception>
#include <functional>

using TDocumentDigest = std::array<std::uint8_t, 20>;
using TDocumentPassphrase = std::array<std::uint8_t, 20>;
using TDocumentKey = std::array<std::uint8_t, 32>;

// Every version that must read the same files uses this mask.
inline constexpr std::uint8_t CGLOBAL_VLD_PASSPHRASE_MASK = 0xA7;

// Where the passphrase digest starts: the first 256 bytes of pi's fraction in hexadecimal.
extern const std::uint8_t CGLOBAL_VLD_PI_BYTES[256];

// The envelope is at least its tag, both digest halves and two cipher blocks.
inline constexpr qint64 CGLOBAL_VLD_MIN_SIZE = 56;

extern const char *const SInvalidFileFormat; // "Invalid file format"
extern const char *const SDocumentNotRecognised; // "The document format is not recognised."

TDocumentDigest DocumentDigest(QByteArrayView payload);
// Each digest byte, raised to 1 when 0, XOR the mask; a result byte may be 0.
TDocumentPassphrase DocumentPassphrase(const TDocumentDigest &digest);
// The passphrase digest: any passphrase to the 32-byte AES key. Fixed for all
// time: a change makes every stored document unreadable.
TDocumentKey DocumentKey(QByteArrayView passphrase);

// Replaces the stream's content (the plain payload) by the envelope; false
// with the reason in error when the cipher fails.
bool EncryptDocument(TMemoryStream &stream, QString *error = nullptr);
// Replaces the stream's content by the verified payload, positioned at its
// start, and gives the stored version tag (any tag is accepted). False with
// SInvalidFileFormat or SDocumentNotRecognised in error.
bool DecryptDocument(TMemoryStream &stream, std::uint32_t &version, QString *error = nullptr);

// The element kinds of CGLOBAL_PLUGINS that the payload's named objects use
// and the registry does not have: their count, with each display name and a
// carriage return in missing; -1 with the message in error when the payload
// does not walk. The position returns to the start either way.
int ScanRequiredPlugIns(TMemoryStream &payload, QString &missing, QString *error = nullptr);

// Writes the bytes to path whole or not at all: into a new file beside it,
// flushed to disk, then renamed over it, so a failure leaves what was there.
// A symbolic link is followed; a hard link to the old file keeps the old
// contents. False with the system's reason in error.
bool WriteWholeFile(const QString &path, QByteArrayView bytes, QString *error = nullptr);
// Why path cannot take an output: it is a folder or a FIFO, device or
// socket. Empty when it can (it is an ordinary file, or nothing is there).
QString OutputTargetProblem(const QString &path);
// Why path cannot be read as a document: missing, a folder, not an ordinary
// file. Empty when it can.
QString DocumentSourceProblem(const QString &path);
// True when both names reach the same file, through links as well.
bool IsSameFile(const QString &a, const QString &b);

// Reading stopped because the program asked it to (a close request, say); not
// an error of the file, so no message goes with it.
class ELoadCancelled : public std::exception
{
public:
    const char *what() const noexcept override { return "loading cancelled"; }
};

// A memory stream whose reads advance the splash form's gauge by the number
// of bytes asked for; loading a file counts as one pass over it. The gauge
// moves and the poll is asked at least every CLOAD_POLL_MS while bytes are read.
inline constexpr int CLOAD_POLL_MS = 40;
class TMemoryStreamEx : public TMemoryStream
{
public:
    using TMemoryStream::TMemoryStream;
    ~TMemoryStreamEx() override;

    // False with the reason in error when the file cannot be read.
    bool LoadFromFile(const QString &path, QString *error = nullptr);
    // Hands the bytes not yet shown to the gauge.
    void Flush();
    // Once poll answers false, that read and every later one raise ELoadCancelled.
    void SetPoll(std::function<bool()> poll);
    bool Cancelled() const { return m_cancelled; }

protected:
    void BytesRead(qint64 count) override;

private:
    qint64 m_pending = 0;
    qint64 m_unchecked = 0;
    QElapsedTimer m_sincePoll;
    std::function<bool()> m_poll;
    bool m_cancelled = false;
};
