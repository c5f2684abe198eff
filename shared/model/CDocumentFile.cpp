#include "CDocumentFile.h"

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPlugIns.h"
#include "CSplashForm.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

const char *const SInvalidFileFormat = "Invalid file format";
const char *const SDocumentNotRecognised = "The document format is not recognised.";

namespace {
constexpr int kBlock = 16;
constexpr int kDigestHalf = 10;

// ---------------------------------------------------------------------------
// The passphrase digest. Everything here is frozen: stored documents were
// enciphered with keys made by exactly these steps and constants.

} // namespace

const std::uint8_t CGLOBAL_VLD_PI_BYTES[256] = {
    0x24, 0x3F, 0x6A, 0x88, 0x85, 0xA3, 0x08, 0xD3, 0x13, 0x19, 0x8A, 0x2E, 0x03, 0x70, 0x73, 0x44,
    0xA4, 0x09, 0x38, 0x22, 0x29, 0x9F, 0x31, 0xD0, 0x08, 0x2E, 0xFA, 0x98, 0xEC, 0x4E, 0x6C, 0x89,
    0x45, 0x28, 0x21, 0xE6, 0x38, 0xD0, 0x13, 0x77, 0xBE, 0x54, 0x66, 0xCF, 0x34, 0xE9, 0x0C, 0x6C,
    0xC0, 0xAC, 0x29, 0xB7, 0xC9, 0x7C, 0x50, 0xDD, 0x3F, 0x84, 0xD5, 0xB5, 0xB5, 0x47, 0x09, 0x17,
    0x92, 0x16, 0xD5, 0xD9, 0x89, 0x79, 0xFB, 0x1B, 0xD1, 0x31, 0x0B, 0xA6, 0x98, 0xDF, 0xB5, 0xAC,
    0x2F, 0xFD, 0x72, 0xDB, 0xD0, 0x1A, 0xDF, 0xB7, 0xB8, 0xE1, 0xAF, 0xED, 0x6A, 0x26, 0x7E, 0x96,
    0xBA, 0x7C, 0x90, 0x45, 0xF1, 0x2C, 0x7F, 0x99, 0x24, 0xA1, 0x99, 0x47, 0xB3, 0x91, 0x6C, 0xF7,
    0x08, 0x01, 0xF2, 0xE2, 0x85, 0x8E, 0xFC, 0x16, 0x63, 0x69, 0x20, 0xD8, 0x71, 0x57, 0x4E, 0x69,
    0xA4, 0x58, 0xFE, 0xA3, 0xF4, 0x93, 0x3D, 0x7E, 0x0D, 0x95, 0x74, 0x8F, 0x72, 0x8E, 0xB6, 0x58,
    0x71, 0x8B, 0xCD, 0x58, 0x82, 0x15, 0x4A, 0xEE, 0x7B, 0x54, 0xA4, 0x1D, 0xC2, 0x5A, 0x59, 0xB5,
    0x9C, 0x30, 0xD5, 0x39, 0x2A, 0xF2, 0x60, 0x13, 0xC5, 0xD1, 0xB0, 0x23, 0x28, 0x60, 0x85, 0xF0,
    0xCA, 0x41, 0x79, 0x18, 0xB8, 0xDB, 0x38, 0xEF, 0x8E, 0x79, 0xDC, 0xB0, 0x60, 0x3A, 0x18, 0x0E,
    0x6C, 0x9E, 0x0E, 0x8B, 0xB0, 0x1E, 0x8A, 0x3E, 0xD7, 0x15, 0x77, 0xC1, 0xBD, 0x31, 0x4B, 0x27,
    0x78, 0xAF, 0x2F, 0xDA, 0x55, 0x60, 0x5C, 0x60, 0xE6, 0x55, 0x25, 0xF3, 0xAA, 0x55, 0xAB, 0x94,
    0x57, 0x48, 0x98, 0x62, 0x63, 0xE8, 0x14, 0x40, 0x55, 0xCA, 0x39, 0x6A, 0x2A, 0xAB, 0x10, 0xB6,
    0xB4, 0xCC, 0x5C, 0x34, 0x11, 0x41, 0xE8, 0xCE, 0xA1, 0x54, 0x86, 0xAF, 0x7C, 0x72, 0xE9, 0x93,
};

namespace {
constexpr std::uint32_t kKeyInit = 0x55555555;
constexpr std::uint32_t kSalt[4] = {0x55555555, 0xAAAAAAAA, 0x33333333, 0xCCCCCCCC};
constexpr int kKeyStirPasses = 4;
constexpr int kCipherPasses = 8;

// One pass of the 128-bit mixing function over the four key words.
void Mix128(std::uint32_t w[4])
{
    w[0] += w[1];
    w[3] ^= w[0];
    w[3] = std::rotl(w[3], 13);
    w[2] += w[3];
    w[1] ^= w[2];
    w[1] = std::rotl(w[1], 9);
    w[0] += w[3] ^ (w[2] >> 11);
    w[2] ^= w[0];
    w[2] = std::rotl(w[2], 21);
    w[1] += w[2];
    w[3] ^= w[1] << 5;
    w[3] = std::rotl(w[3], 6);
}

// The eight-word step that turns the interleaved key and salt into sub-keys.
void Mix256(std::uint32_t s[8])
{
    for (int i = 0; i < 8; ++i) {
        s[i] += s[(i + 1) % 8] ^ std::rotl(s[(i + 5) % 8], 3 + 2 * i);
        s[(i + 3) % 8] ^= s[i] >> 7;
    }
}

class TMixCipher
{
public:
    explicit TMixCipher(const std::uint32_t key[4])
    {
        std::uint32_t s[8]
            = {key[0], kSalt[0], key[1], kSalt[1], key[2], kSalt[2], key[3], kSalt[3]};
        for (auto &sub : m_sub) {
            Mix256(s);
            for (int j = 0; j < 4; ++j)
                sub[j] = s[j] ^ s[j + 4];
        }
    }
    void EncryptBlock(std::uint8_t block[kBlock]) const
    {
        std::uint32_t x[4];
        for (int j = 0; j < 4; ++j)
            x[j] = qFromLittleEndian<std::uint32_t>(block + 4 * j);
        for (const auto &sub : m_sub) {
            for (int j = 0; j < 4; ++j)
                x[j] ^= sub[j];
            Mix128(x);
        }
        for (int j = 0; j < 4; ++j)
            qToLittleEndian(x[j], block + 4 * j);
    }

private:
    std::uint32_t m_sub[kCipherPasses][4];
};

class TPassphraseDigest
{
public:
    TPassphraseDigest()
    {
        std::copy(std::begin(CGLOBAL_VLD_PI_BYTES), std::end(CGLOBAL_VLD_PI_BYTES), m_digest);
    }

    void Absorb(std::uint8_t b)
    {
        m_digest[m_digestIndex] ^= b;
        m_digestIndex = (m_digestIndex + 1) % 256;
        m_key[m_keyIndex / 4] ^= std::uint32_t(b) << (8 * (m_keyIndex % 4));
        if (++m_keyIndex == 8) {
            for (int pass = 0; pass < kKeyStirPasses; ++pass)
                Mix128(m_key);
            m_keyIndex = 0;
        }
    }

    TDocumentKey Finish()
    {
        static constexpr std::uint8_t pad[8] = {1, 0, 0, 0, 0, 0, 0, 0};
        const int count = 8 - m_keyIndex;
        for (int i = 0; i < count; ++i)
            Absorb(pad[i]);
        const TMixCipher cipher(m_key);
        for (int block = 0; block < 256; block += kBlock)
            cipher.EncryptBlock(m_digest + block);
        TDocumentKey key;
        std::copy_n(m_digest, key.size(), key.begin());
        return key;
    }

private:
    std::uint8_t m_digest[256];
    int m_digestIndex = 0;
    std::uint32_t m_key[4] = {kKeyInit, kKeyInit, kKeyInit, kKeyInit};
    int m_keyIndex = 0;
};

// ---------------------------------------------------------------------------
// AES through OpenSSL.

struct TCipherCtxFree
{
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using TCipherCtx = std::unique_ptr<EVP_CIPHER_CTX, TCipherCtxFree>;

QString OpenSslReason()
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (!code)
        return QStringLiteral("the cipher failed");
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return QString::fromLatin1(text);
}

// Runs whole blocks through an initialised context, in pieces EVP's int lengths can take.
bool CipherBlocks(EVP_CIPHER_CTX *ctx, bool encrypt, const std::uint8_t *in, qint64 length,
                  std::uint8_t *out)
{
    constexpr qint64 piece = qint64(1) << 30;
    while (length > 0) {
        const int n = int(std::min(length, piece));
        int written = 0;
        const int ok = encrypt ? EVP_EncryptUpdate(ctx, out, &written, in, n)
                               : EVP_DecryptUpdate(ctx, out, &written, in, n);
        if (!ok || written != n)
            return false;
        in += n;
        out += n;
        length -= n;
    }
    return true;
}

TCipherCtx NewCipher(const EVP_CIPHER *type, bool encrypt, const TDocumentKey &key,
                     const std::uint8_t *iv)
{
    TCipherCtx ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        return nullptr;
    const int ok = encrypt ? EVP_EncryptInit_ex(ctx.get(), type, nullptr, key.data(), iv)
                           : EVP_DecryptInit_ex(ctx.get(), type, nullptr, key.data(), iv);
    if (!ok || !EVP_CIPHER_CTX_set_padding(ctx.get(), 0))
        return nullptr;
    return ctx;
}

TDocumentKey KeyOf(const TDocumentDigest &digest)
{
    const TDocumentPassphrase passphrase = DocumentPassphrase(digest);
    return DocumentKey(
        QByteArrayView(reinterpret_cast<const char *>(passphrase.data()), passphrase.size()));
}

// Bytes 0 and 1 from a millisecond clock, as the format describes; the rest
// random, so that two saves within one millisecond still differ.
void InitialBlock(std::uint8_t block[kBlock])
{
    block[0] = std::uint8_t(QDateTime::currentMSecsSinceEpoch());
    for (int i = 2; i < kBlock; i += 2) {
        const auto r = QRandomGenerator::system()->generate();
        block[i] = std::uint8_t(r);
        block[i + 1] = std::uint8_t(r >> 8);
    }
    block[1] = std::uint8_t(QDateTime::currentMSecsSinceEpoch());
}

bool Failed(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

class TClassNameScan : public TStreamVisitor
{
public:
    bool WantsValues() const override { return false; }
    void BeginObject(const TStreamObjectHeader &header, int) override
    {
        if (!header.Name.isEmpty())
            Names.insert(header.ClassName.toUpper());
    }
    void Property(const QString &, const TStreamValue &, int) override { }
    void EndObject(int) override { }

    QSet<QString> Names;
};
} // namespace

TDocumentDigest DocumentDigest(QByteArrayView payload)
{
    TDocumentDigest digest {};
    unsigned length = 0;
    if (!EVP_Digest(payload.data(), size_t(payload.size()), digest.data(), &length, EVP_sha1(),
                    nullptr)
        || length != digest.size())
        throw EVeloraError(QStringLiteral("SHA-1 failed: %1").arg(OpenSslReason()));
    return digest;
}

TDocumentPassphrase DocumentPassphrase(const TDocumentDigest &digest)
{
    TDocumentPassphrase passphrase;
    for (size_t i = 0; i < digest.size(); ++i)
        passphrase[i]
            = std::uint8_t(std::max<std::uint8_t>(digest[i], 1) ^ CGLOBAL_VLD_PASSPHRASE_MASK);
    return passphrase;
}

TDocumentKey DocumentKey(QByteArrayView passphrase)
{
    TPassphraseDigest digest;
    for (char c : passphrase)
        digest.Absorb(std::uint8_t(c));
    return digest.Finish();
}

bool EncryptDocument(TMemoryStream &stream, QString *error)
{
    const QByteArray &payload = stream.Data();
    const qint64 length = payload.size();
    const qint64 whole = length - length % kBlock;
    const auto *plain = reinterpret_cast<const std::uint8_t *>(payload.constData());

    TDocumentDigest digest;
    try {
        digest = DocumentDigest(payload);
    } catch (const EVeloraError &e) {
        return Failed(error, e.Message());
    }
    const TDocumentKey key = KeyOf(digest);

    QByteArray out(4 + kDigestHalf + whole + 2 * kBlock + kDigestHalf, Qt::Uninitialized);
    auto *o = reinterpret_cast<std::uint8_t *>(out.data());
    qToLittleEndian(std::uint32_t(CGLOBAL_VLD_VER1), o);
    std::copy_n(digest.begin(), kDigestHalf, o + 4);
    std::uint8_t *cipher = o + 4 + kDigestHalf;

    std::uint8_t initial[kBlock];
    InitialBlock(initial);
    TCipherCtx single = NewCipher(EVP_aes_256_ecb(), true, key, nullptr);
    if (!single || !CipherBlocks(single.get(), true, initial, kBlock, cipher))
        return Failed(error,
                      QStringLiteral("Unable to encrypt the document: %1").arg(OpenSslReason()));

    // The final block carries the 0 to 15 remaining bytes and their count in byte 15.
    std::uint8_t last[kBlock] = {};
    std::copy_n(plain + whole, length - whole, last);
    last[kBlock - 1] = std::uint8_t(length - whole);

    TCipherCtx chain = NewCipher(EVP_aes_256_cbc(), true, key, cipher);
    if (!chain || !CipherBlocks(chain.get(), true, plain, whole, cipher + kBlock)
        || !CipherBlocks(chain.get(), true, last, kBlock, cipher + kBlock + whole))
        return Failed(error,
                      QStringLiteral("Unable to encrypt the document: %1").arg(OpenSslReason()));

    std::copy_n(digest.begin() + kDigestHalf, kDigestHalf, o + out.size() - kDigestHalf);
    stream.SetData(std::move(out));
    return true;
}

bool DecryptDocument(TMemoryStream &stream, std::uint32_t &version, QString *error)
{
    stream.SetPosition(0);
    QByteArrayView file;
    stream.ReadView(stream.Size(), file);
    const qint64 cipherLength = file.size() - 4 - 2 * kDigestHalf;
    if (file.size() < CGLOBAL_VLD_MIN_SIZE || cipherLength % kBlock != 0)
        return Failed(error, QString::fromLatin1(SInvalidFileFormat));

    const auto *f = reinterpret_cast<const std::uint8_t *>(file.data());
    version = qFromLittleEndian<std::uint32_t>(f);
    TDocumentDigest digest;
    std::copy_n(f + 4, kDigestHalf, digest.begin());
    std::copy_n(f + file.size() - kDigestHalf, kDigestHalf, digest.begin() + kDigestHalf);
    const std::uint8_t *cipher = f + 4 + kDigestHalf;

    // The initial block is only the chaining value of the first payload block.
    const qint64 plainLength = cipherLength - kBlock;
    QByteArray plain(plainLength, Qt::Uninitialized);
    auto *p = reinterpret_cast<std::uint8_t *>(plain.data());
    TCipherCtx chain = NewCipher(EVP_aes_256_cbc(), false, KeyOf(digest), cipher);
    if (!chain || !CipherBlocks(chain.get(), false, cipher + kBlock, plainLength, p))
        return Failed(error, QString::fromLatin1(SDocumentNotRecognised));

    const unsigned count = p[plainLength - 1];
    if (count >= kBlock)
        return Failed(error, QString::fromLatin1(SDocumentNotRecognised));
    plain.truncate(plainLength - kBlock + count);
    try {
        if (DocumentDigest(plain) != digest)
            return Failed(error, QString::fromLatin1(SDocumentNotRecognised));
    } catch (const EVeloraError &e) {
        return Failed(error, e.Message());
    }
    stream.SetData(std::move(plain));
    return true;
}

int ScanRequiredPlugIns(TMemoryStream &payload, QString &missing, QString *error)
{
    missing.clear();
    TClassNameScan scan;
    payload.SetPosition(0);
    try {
        while (!payload.AtEnd())
            WalkComponent(payload, scan);
    } catch (const EVeloraError &e) {
        payload.SetPosition(0);
        if (error)
            *error = e.Message();
        return -1;
    }
    payload.SetPosition(0);

    int count = 0;
    for (const TPlugInKind &row : CGLOBAL_PLUGINS) {
        if (!row.ClassName || !*row.ClassName)
            continue;
        if (!scan.Names.contains(QString::fromLatin1(row.ClassName).toUpper()))
            continue;
        if (GlobalPlugIns && GlobalPlugIns->Installed(row.Kind))
            continue;
        ++count;
        missing += QString::fromLatin1(row.Hint) + u'\r';
    }
    return count;
}

namespace {
QString SystemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// What a node that is not an ordinary file is, for messages.
QString KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not an ordinary file");
}

bool WriteAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, qint64(1) << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}
} // namespace

QString OutputTargetProblem(const QString &path)
{
    struct stat node = {};
    if (::stat(QFile::encodeName(path).constData(), &node) != 0 || S_ISREG(node.st_mode))
        return {};
    return S_ISDIR(node.st_mode)
        ? QStringLiteral("It is a folder")
        : QStringLiteral("It is %1, not an ordinary file").arg(KindOf(node.st_mode));
}

QString DocumentSourceProblem(const QString &path)
{
    struct stat node = {};
    if (::stat(QFile::encodeName(path).constData(), &node) != 0)
        return errno == ENOENT ? QStringLiteral("does not exist") : SystemReason(errno);
    if (S_ISREG(node.st_mode))
        return {};
    return S_ISDIR(node.st_mode)
        ? QStringLiteral("is a folder")
        : QStringLiteral("is %1, not a document file").arg(KindOf(node.st_mode));
}

bool IsSameFile(const QString &a, const QString &b)
{
    struct stat first = {};
    struct stat second = {};
    if (::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    const QFileInfo x(a), y(b);
    const QString cx = x.canonicalFilePath(), cy = y.canonicalFilePath();
    if (!cx.isEmpty() && !cy.isEmpty())
        return cx == cy;
    return QDir::cleanPath(x.absoluteFilePath()) == QDir::cleanPath(y.absoluteFilePath());
}

bool WriteWholeFile(const QString &path, QByteArrayView bytes, QString *error)
{
    // Saving through a symbolic link replaces the file it points to, not the link.
    const QFileInfo named(path);
    const QString target = named.isSymLink() ? named.symLinkTarget() : named.absoluteFilePath();
    if (const QString problem = OutputTargetProblem(target); !problem.isEmpty())
        return Failed(error, problem);
    const QFileInfo info(target);
    QByteArray part = QFile::encodeName(
        info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    const int fd = ::mkstemp(part.data());
    if (fd < 0)
        return Failed(error, SystemReason(errno));
    const QByteArray to = QFile::encodeName(target);
    // The new file gets the rights of the one it replaces, or those of any new file.
    struct stat old = {};
    mode_t mode = 0;
    if (::stat(to.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int code = 0;
    if (!WriteAll(fd, bytes.data(), bytes.size()) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        code = errno;
    if (::close(fd) != 0 && !code)
        code = errno;
    if (!code && ::rename(part.constData(), to.constData()) != 0)
        code = errno;
    if (code) {
        ::unlink(part.constData());
        return Failed(error, SystemReason(code));
    }
    // The rename itself reaches the disk with its folder.
    const int folder
        = ::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

TMemoryStreamEx::~TMemoryStreamEx()
{
    Flush();
}

bool TMemoryStreamEx::LoadFromFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failed(error, file.errorString());
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Failed(error, file.errorString());
    const qint64 size = data.size();
    SetData(std::move(data));
    BytesRead(size);
    Flush();
    return true;
}

void TMemoryStreamEx::Flush()
{
    if (!SplashForm || m_pending <= 0) {
        m_pending = 0;
        return;
    }
    const qint64 position = std::min<qint64>(qint64(SplashForm->Progress()) + m_pending,
                                             std::numeric_limits<int>::max());
    m_pending = 0;
    SplashForm->UpdateProgressBar(int(position));
}

void TMemoryStreamEx::SetPoll(std::function<bool()> poll)
{
    m_poll = std::move(poll);
    m_sincePoll.start();
}

void TMemoryStreamEx::BytesRead(qint64 count)
{
    if (m_cancelled)
        throw ELoadCancelled();
    if (count <= 0 || (!SplashForm && !m_poll))
        return;
    m_pending += count;
    // The clock is read every few kilobytes; reads come a few bytes at a time.
    constexpr qint64 kCheckEvery = 16 * 1024;
    m_unchecked += count;
    if (m_unchecked < kCheckEvery)
        return;
    m_unchecked = 0;
    if (!m_sincePoll.isValid())
        m_sincePoll.start();
    // A single large read (the file, the envelope) shows at once; small ones in time.
    if (count < kCheckEvery && m_sincePoll.elapsed() < CLOAD_POLL_MS)
        return;
    m_sincePoll.restart();
    Flush();
    if (m_poll && !m_poll()) {
        m_cancelled = true;
        throw ELoadCancelled();
    }
}
