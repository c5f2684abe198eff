// The envelope of a document file, the scan for element kinds and the
// reading stream that moves the splash gauge.

#include "CComponentStream.h"
#include "CDocumentFile.h"
#include "CGlobal.h"
#include "CPlugIns.h"
#include "CSplashForm.h"
#include "DocumentSamples.h"
#include "GlobalsGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray Encrypted(const QByteArray &payload)
{
    TMemoryStream stream(payload);
    QString error;
    EXPECT_TRUE(EncryptDocument(stream, &error)) << error.toStdString();
    return stream.Data();
}

struct TOpened
{
    bool Ok = false;
    QByteArray Payload;
    std::uint32_t Version = 0;
    QString Error;
};

TOpened Decrypted(const QByteArray &file)
{
    TOpened opened;
    TMemoryStream stream(file);
    opened.Ok = DecryptDocument(stream, opened.Version, &opened.Error);
    if (opened.Ok) {
        EXPECT_EQ(stream.Position(), 0);
        opened.Payload = stream.Data();
    }
    return opened;
}

TDocumentDigest StoredDigest(const QByteArray &file)
{
    TDocumentDigest digest;
    const QByteArray bytes = file.mid(4, 10) + file.right(10);
    std::copy(bytes.begin(), bytes.end(), digest.begin());
    return digest;
}

QByteArray Hex(const auto &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()))
        .toHex();
}

QByteArray Aes(const EVP_CIPHER *type, bool encrypt, const TDocumentKey &key, const QByteArray &iv,
               const QByteArray &in)
{
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    QByteArray out(in.size(), Qt::Uninitialized);
    int n = 0;
    EVP_CipherInit_ex(ctx, type, nullptr, key.data(),
                      reinterpret_cast<const unsigned char *>(iv.constData()), encrypt);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char *>(out.data()), &n,
                     reinterpret_cast<const unsigned char *>(in.constData()), int(in.size()));
    EVP_CIPHER_CTX_free(ctx);
    return out;
}

TDocumentKey KeyOf(const TDocumentDigest &digest)
{
    const TDocumentPassphrase p = DocumentPassphrase(digest);
    return DocumentKey(QByteArrayView(reinterpret_cast<const char *>(p.data()), 20));
}

// Every block after the initial one, deciphered: the payload blocks and the final block.
QByteArray PlainBlocks(const QByteArray &file)
{
    const QByteArray cipher = file.mid(14, file.size() - 24);
    return Aes(EVP_aes_256_cbc(), false, KeyOf(StoredDigest(file)), cipher.left(16),
               cipher.mid(16));
}

// An envelope made by hand, for final blocks the writer never makes.
QByteArray HandMadeEnvelope(const QByteArray &payload, const QByteArray &plainBlocks)
{
    const TDocumentDigest digest = DocumentDigest(payload);
    const TDocumentKey key = KeyOf(digest);
    const QByteArray initial = Aes(EVP_aes_256_ecb(), true, key, {}, QByteArray(16, 'i'));
    const QByteArray d(reinterpret_cast<const char *>(digest.data()), 20);
    return QByteArray("\x01\0\0\0", 4) + d.left(10) + initial
        + Aes(EVP_aes_256_cbc(), true, key, initial, plainBlocks) + d.right(10);
}

const QSet<QString> &EnvelopeMessages()
{
    static const QSet<QString> messages {QString::fromLatin1(SInvalidFileFormat),
                                         QString::fromLatin1(SDocumentNotRecognised)};
    return messages;
}

// The hexadecimal digit of pi's fraction at position n, computed on its own.
int PiHexDigit(int n)
{
    auto series = [n](int j) {
        double s = 0;
        for (int k = 0; k <= n; ++k) {
            const int m = 8 * k + j;
            long long power = 1, base = 16 % m;
            for (int e = n - k; e > 0; e >>= 1, base = base * base % m)
                if (e & 1)
                    power = power * base % m;
            s += double(power) / m;
            s -= std::floor(s);
        }
        for (int k = n + 1; k <= n + 20; ++k)
            s += std::pow(16.0, n - k) / (8 * k + j);
        return s - std::floor(s);
    };
    double x = 4 * series(1) - 2 * series(4) - series(5) - series(6);
    x -= std::floor(x);
    return int(16 * x);
}

// Sample documents are real projects: building or reading one marks a change and sets
// the filling state, which later tests must not see.
class GuardedGlobals : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
};
class DocumentEnvelope : public GuardedGlobals
{
};
class DocumentStream : public GuardedGlobals
{
};
// The scan also points the installed kinds at registries of its own.
class DocumentScan : public GuardedGlobals
{
};
} // namespace

TEST_F(DocumentEnvelope, AnEmptyPayloadGivesA56ByteFileThatOpensEmpty)
{
    const QByteArray file = Encrypted({});
    ASSERT_EQ(file.size(), 56);
    EXPECT_EQ(file.left(4), QByteArray("\x01\0\0\0", 4));
    // SHA-1 of nothing, split around the cipher text.
    EXPECT_EQ(file.mid(4, 10).toHex() + file.right(10).toHex(),
              "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(PlainBlocks(file), QByteArray(16, 0)) << "a final block holding only the count 0";
    const TOpened opened = Decrypted(file);
    EXPECT_TRUE(opened.Ok);
    EXPECT_TRUE(opened.Payload.isEmpty());
    EXPECT_EQ(opened.Version, CGLOBAL_VLD_VER1);
}

TEST_F(DocumentEnvelope, PayloadBlocksAreWholeAndTheFinalBlockCountsTheRest)
{
    for (int length : {16, 32, 80, 1, 15, 17, 95}) {
        QByteArray payload(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            payload[i] = char(i * 7 + 1);
        const QByteArray file = Encrypted(payload);
        const int whole = length / 16;
        ASSERT_EQ(file.size(), 4 + 10 + 16 * (whole + 2) + 10) << length;
        const QByteArray plain = PlainBlocks(file);
        EXPECT_EQ(plain.left(16 * whole), payload.left(16 * whole));
        QByteArray last(16, 0);
        last.replace(0, length % 16, payload.mid(16 * whole));
        last[15] = char(length % 16);
        EXPECT_EQ(plain.right(16).toHex(), last.toHex()) << length;
        EXPECT_EQ(Decrypted(file).Payload, payload);
    }
}

TEST_F(DocumentEnvelope, TwoEncryptionsDifferFromTheFirstBlockOnAndOpenAlike)
{
    const QByteArray payload = SampleDocumentPayload();
    const QByteArray a = Encrypted(payload), b = Encrypted(payload);
    EXPECT_EQ(a.left(14), b.left(14));
    EXPECT_NE(a.mid(14, 16), b.mid(14, 16));
    EXPECT_NE(a.mid(30, 16), b.mid(30, 16)) << "the initial block chains into every other";
    EXPECT_EQ(Decrypted(a).Payload, payload);
    EXPECT_EQ(Decrypted(b).Payload, payload);
}

TEST_F(DocumentEnvelope, PassphraseRaisesZeroDigestBytesAndKeepsZeroResults)
{
    TDocumentDigest digest {};
    digest[1] = 1;
    digest[2] = CGLOBAL_VLD_PASSPHRASE_MASK;
    digest[3] = 0xFF;
    const TDocumentPassphrase passphrase = DocumentPassphrase(digest);
    EXPECT_EQ(passphrase[0], 1 ^ CGLOBAL_VLD_PASSPHRASE_MASK);
    EXPECT_EQ(passphrase[1], 1 ^ CGLOBAL_VLD_PASSPHRASE_MASK);
    EXPECT_EQ(passphrase[2], 0);
    EXPECT_EQ(passphrase[3], 0xFF ^ CGLOBAL_VLD_PASSPHRASE_MASK);
    EXPECT_EQ(passphrase[19], 1 ^ CGLOBAL_VLD_PASSPHRASE_MASK);
    // Bytes after a zero still count: the passphrase is a buffer, not a C string.
    const auto *p = reinterpret_cast<const char *>(passphrase.data());
    EXPECT_NE(Hex(DocumentKey(QByteArrayView(p, 20))), Hex(DocumentKey(QByteArrayView(p, 2))));

    // Payloads whose digests hold a 0 and a mask byte open like any other.
    bool zero = false, mask = false;
    for (int i = 0; !(zero && mask); ++i) {
        const QByteArray payload = QByteArray::number(i);
        const TDocumentDigest d = DocumentDigest(payload);
        const bool hasZero = std::find(d.begin(), d.end(), 0) != d.end();
        const bool hasMask = std::find(d.begin(), d.end(), CGLOBAL_VLD_PASSPHRASE_MASK) != d.end();
        if ((hasZero && !zero) || (hasMask && !mask)) {
            EXPECT_EQ(Decrypted(Encrypted(payload)).Payload, payload);
        }
        zero |= hasZero;
        mask |= hasMask;
    }
}

// Pinned for good: stored documents depend on every one of these bytes.
TEST_F(DocumentEnvelope, KeyDerivationGivesItsKnownAnswers)
{
    for (int i = 0; i < 512; ++i) {
        const int byte = CGLOBAL_VLD_PI_BYTES[i / 2];
        ASSERT_EQ(i % 2 ? byte & 15 : byte >> 4, PiHexDigit(i)) << "hex digit " << i;
    }

    // Short, exactly one stir (8 bytes), one stir by the pad (7 bytes), and a real passphrase.
    EXPECT_EQ(Hex(DocumentKey({})),
              "643cd8a16da4324ef319f6ca55332a5af753c7a99af20791b7d4e99ee48b0c84");
    EXPECT_EQ(Hex(DocumentKey("abc")),
              "7aa8ea9f3e13bdbf1a8fb48c77745c5a3368161a9a027d2f2a92f1bc46724c8f");
    EXPECT_EQ(Hex(DocumentKey("1234567")),
              "545328401715cb18f15dffe1b1bdad45c57aa1ebaf768be314542584acd23994");
    EXPECT_EQ(Hex(DocumentKey("12345678")),
              "39883ca5e2cda615db035f18e04feb64e552f0ae6de7dba681b8252c00237123");
    const TDocumentDigest digest = DocumentDigest("Velora");
    EXPECT_EQ(Hex(digest), "6cc2eabf407f3e08e8443735ffb59da14ef620d4");
    EXPECT_EQ(Hex(DocumentPassphrase(digest)), "cb654d18e7d899af4fe3909258123a06e9518773");
    EXPECT_EQ(Hex(KeyOf(digest)),
              "d02537dbbb9355459c789cd97534f0ae8216170d6616298f1b3b4ed4e63f575f");

    // A whole file as this version wrote it.
    const QByteArray pinned = QByteArray::fromHex(
        "0100000012c3fa57bca6fec14e84c3ad5a7365fbd32308fb2d621de0b2d1e86a3e40c5fa990a8b99"
        "35c6e245003f3198b9dd0c5fb8186b57c1382935c94833a935853ee6dc5ec76d68c364e43947bea9"
        "b00ad7d56dd0005f");
    const TOpened opened = Decrypted(pinned);
    ASSERT_TRUE(opened.Ok);
    EXPECT_EQ(opened.Payload.toHex(),
              "545046300c5450726f6a656374496e666f000f4c61737450616c657474655061676502030000");
}

TEST_F(DocumentEnvelope, AnyVersionTagIsAcceptedWhenTheDigestMatches)
{
    QByteArray file = Encrypted("payload");
    qToLittleEndian(std::uint32_t(0xCAFE0002), file.data());
    const TOpened opened = Decrypted(file);
    EXPECT_TRUE(opened.Ok);
    EXPECT_EQ(opened.Version, 0xCAFE0002u);
    EXPECT_EQ(opened.Payload, QByteArray("payload"));
}

TEST_F(DocumentEnvelope, AFinalCountAbove15IsNotRecognised)
{
    const QByteArray payload(16, 'p');
    for (int count : {16, 31, 255}) {
        QByteArray last(16, 0);
        last[15] = char(count);
        const TOpened opened = Decrypted(HandMadeEnvelope(payload, payload + last));
        EXPECT_FALSE(opened.Ok);
        EXPECT_EQ(opened.Error, QString::fromLatin1(SDocumentNotRecognised)) << count;
    }
    // The same file made by hand with a fitting count opens: the test envelope is sound.
    EXPECT_TRUE(Decrypted(HandMadeEnvelope(payload, payload + QByteArray(16, 0))).Ok);
}

TEST_F(DocumentEnvelope, ShortFilesAndPartBlocksAreNotDocuments)
{
    for (int size = 0; size < 56; ++size)
        EXPECT_EQ(Decrypted(QByteArray(size, 'x')).Error, QString::fromLatin1(SInvalidFileFormat))
            << size;
    for (int size = 57; size < 72; ++size)
        EXPECT_EQ(Decrypted(QByteArray(size, 'x')).Error, QString::fromLatin1(SInvalidFileFormat))
            << size;
    EXPECT_EQ(Decrypted(QByteArray(72, 'x')).Error, QString::fromLatin1(SDocumentNotRecognised));
}

TEST_F(DocumentEnvelope, EveryTruncationAndSingleByteCorruptionEndsInAMessage)
{
    const QByteArray payload = SampleDocumentPayload();
    const QByteArray file = Encrypted(payload);
    // The final block: its bytes past the remainder's count are not part of the payload.
    const qsizetype finalBlock = file.size() - 10 - 16;
    for (qsizetype length = 0; length < file.size(); ++length) {
        const TOpened opened = Decrypted(file.left(length));
        EXPECT_FALSE(opened.Ok);
        EXPECT_TRUE(EnvelopeMessages().contains(opened.Error)) << length;
    }

    QRandomGenerator random(1);
    int opened = 0;
    for (int i = 0; i < 10000; ++i) {
        QByteArray damaged = file;
        const int at = random.bounded(int(file.size()));
        damaged[at] = char(damaged[at] ^ char(1 + random.bounded(255)));
        const TOpened result = Decrypted(damaged);
        if (!result.Ok) {
            EXPECT_TRUE(EnvelopeMessages().contains(result.Error)) << at;
            continue;
        }
        // Damage opens only where no payload byte lies: the version tag, or the
        // final block of a payload that fills whole blocks (when the damaged
        // count happens to read 0). What opens is the payload as it was.
        EXPECT_TRUE(at < 4 || (payload.size() % 16 == 0 && at >= finalBlock)) << at;
        ++opened;
        EXPECT_EQ(result.Payload, payload) << at;
        EXPECT_TRUE(ReadSampleDocument(result.Payload).isEmpty());
    }
    EXPECT_GT(opened, 0);
}

TEST_F(DocumentScan, ListsNamedElementKindsThatAreNotInstalledInTableOrder)
{
    TMemoryStream payload(SampleScanPayload());
    QString missing, error;
    ASSERT_EQ(GlobalPlugIns, nullptr);
    EXPECT_EQ(ScanRequiredPlugIns(payload, missing, &error), 2);
    // The unnamed combo box does not count; class names compare without case.
    EXPECT_EQ(missing, u"Text Box\rButton\r"_qs);
    EXPECT_EQ(payload.Position(), 0);

    QTemporaryDir empty;
    TInstalledKinds installed(empty.path() + u'/', {20, 70});
    GlobalPlugIns = &installed;
    EXPECT_EQ(ScanRequiredPlugIns(payload, missing, &error), 1);
    EXPECT_EQ(missing, u"Button\r"_qs);
    TInstalledKinds all(empty.path() + u'/', {20, 105});
    GlobalPlugIns = &all;
    EXPECT_EQ(ScanRequiredPlugIns(payload, missing, &error), 0);
    EXPECT_TRUE(missing.isEmpty());
}

TEST_F(DocumentScan, ADamagedPayloadIsAReadError)
{
    const QByteArray good = SampleScanPayload();
    QByteArray badTag = good;
    badTag.replace("\5Count\2", "\5Count\25");
    ASSERT_NE(badTag, good);
    for (const QByteArray &bad : {badTag, good + "TPF0", good.left(good.size() - 1)}) {
        TMemoryStream payload(bad);
        QString missing, error;
        EXPECT_EQ(ScanRequiredPlugIns(payload, missing, &error), -1);
        EXPECT_EQ(error, QString::fromLatin1(SReadError));
        EXPECT_EQ(payload.Position(), 0);
    }
}

TEST_F(DocumentStream, ReadsMoveTheSplashGaugeByTheBytesAskedFor)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"form.vld"_qs);
    const QByteArray payload = SampleDocumentPayload();
    const QByteArray file = Encrypted(payload);
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file);
    }

    TSplashForm splash;
    splash.SetProgressMax(int(3 * file.size()));
    splash.UpdateProgressBar(0);
    {
        TMemoryStreamEx stream;
        ASSERT_TRUE(stream.LoadFromFile(path));
        EXPECT_GT(splash.Progress(), 0) << "the gauge moves while the work goes on";
        std::uint32_t version = 0;
        ASSERT_TRUE(DecryptDocument(stream, version));
        QString missing;
        EXPECT_EQ(ScanRequiredPlugIns(stream, missing), 0);
        stream.Flush();
        EXPECT_EQ(splash.Progress(), 2 * file.size() + payload.size());
    }
    EXPECT_LE(splash.Progress(), splash.ProgressMax());

    TMemoryStreamEx missing;
    QString error;
    EXPECT_FALSE(missing.LoadFromFile(dir.filePath(u"none.vld"_qs), &error));
    EXPECT_FALSE(error.isEmpty());
}

// ---------------------------------------------------------------------------
// Writing outputs whole: every failure names the system's reason and leaves what was there.

namespace {
QStringList Entries(const QTemporaryDir &dir)
{
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes past the limit fail as on a full disk, with a reason of their own.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        m_handler = ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {bytes, m_before.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_before);
        ::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_before {};
    void (*m_handler)(int) = nullptr;
};
} // namespace

TEST(WholeFile, AFailedWriteGivesTheSystemsReasonAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("form.vld"));
    QString error;
    ASSERT_TRUE(WriteWholeFile(path, "old", &error)) << error.toStdString();
    {
        const TFileSizeLimit limit(1000);
        EXPECT_FALSE(WriteWholeFile(path, QByteArray(5000, 'x'), &error));
    }
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(Entries(dir), QStringList {QStringLiteral("form.vld")});
}

TEST(WholeFile, ReplacesTheFileALinkPointsToAndCutsAHardLinkLoose)
{
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.vld"));
    const QString soft = dir.filePath(QStringLiteral("soft.vld"));
    const QString hard = dir.filePath(QStringLiteral("hard.vld"));
    ASSERT_TRUE(WriteWholeFile(real, "one"));
    QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QFile::link(real, soft));
    ASSERT_EQ(::link(QFile::encodeName(real).constData(), QFile::encodeName(hard).constData()), 0);
    EXPECT_TRUE(IsSameFile(real, soft));
    EXPECT_TRUE(IsSameFile(hard, real));
    EXPECT_FALSE(IsSameFile(real, dir.filePath(QStringLiteral("other.vld"))));

    ASSERT_TRUE(WriteWholeFile(soft, "two"));
    EXPECT_TRUE(QFileInfo(soft).isSymLink());
    EXPECT_EQ(Contents(real), "two");
    constexpr QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
        | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(real) & everyone, QFile::ReadOwner | QFile::WriteOwner);
    // The hard link still holds the file that was replaced.
    EXPECT_EQ(Contents(hard), "one");
    EXPECT_FALSE(IsSameFile(hard, real));
}

TEST(WholeFile, OutputsAndDocumentsThatAreNotOrdinaryFilesAreNamed)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QString error;
    EXPECT_FALSE(WriteWholeFile(fifo, "x", &error));
    EXPECT_EQ(error, QStringLiteral("It is a FIFO, not an ordinary file"));
    EXPECT_FALSE(WriteWholeFile(dir.path(), "x", &error));
    EXPECT_EQ(error, QStringLiteral("It is a folder"));
    EXPECT_EQ(Entries(dir), QStringList {QStringLiteral("pipe")});

    EXPECT_EQ(DocumentSourceProblem(dir.path()), QStringLiteral("is a folder"));
    EXPECT_EQ(DocumentSourceProblem(fifo), QStringLiteral("is a FIFO, not a document file"));
    EXPECT_EQ(DocumentSourceProblem(dir.filePath(QStringLiteral("none.vld"))),
              QStringLiteral("does not exist"));
    EXPECT_TRUE(OutputTargetProblem(dir.filePath(QStringLiteral("none.vld"))).isEmpty());
}
