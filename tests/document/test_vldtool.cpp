// vldtool's document commands, run as a person runs them.

#include "CDocumentFile.h"
#include "DocumentSamples.h"
#include "GlobalsGuard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utility>

namespace {
struct TRun
{
    int Status = -1;
    QString Out;
    QString Err;
};

TRun RunTool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(VELORA_VLDTOOL), args);
    TRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.Status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class Vldtool : public ::testing::Test
{
protected:
    // Sample documents are real projects: building one marks a change and sets the filling
    // state, which later tests must not see.
    TGlobalsGuard m_globals;
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString &name) const { return dir.filePath(name); }
    QString Write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return Path(name);
    }
    QByteArray Read(const QString &name) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    static QByteArray Wrapped(const QByteArray &payload)
    {
        TMemoryStream stream(payload);
        EXPECT_TRUE(EncryptDocument(stream));
        return stream.Data();
    }
    // A folder without plug-ins, so that no kind of the table is installed.
    QString NoPlugIns() const
    {
        QDir(dir.path()).mkdir(QStringLiteral("plugins"));
        return Path(QStringLiteral("plugins"));
    }

    QTemporaryDir dir;
};
} // namespace

TEST_F(Vldtool, DumpPrintsTheTreesOfADocument)
{
    TSampleDocument document(1, 2);
    const QString file = Write(u"form.vld"_qs, Wrapped(document.Payload()));
    const TRun run = RunTool({u"dump"_qs, file});
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_TRUE(
        run.Out.startsWith(u"object TProjectProps\n  Filling = True\n  PageCount = 1\nend\n"_qs))
        << run.Out.left(200).toStdString();
    EXPECT_TRUE(run.Out.contains(u"object PagesPageControl: TPageControl\n"
                                 "  object TabSheet1: TTabSheet\n"
                                 "    object FillerScrollBox1: TPrinterPage\n"_qs));
    EXPECT_TRUE(run.Out.contains(u"      object Field0_1: TSampleTextBox\n"_qs));
    EXPECT_TRUE(
        run.Out.contains(u"        VisualGeneralProps.GeneralDefaultText = 'Ωμέγα ✓'\n"_qs));
    EXPECT_TRUE(run.Out.contains(u"  LastExportBody1 = 'Line 1'#13#10'Line 2'\n"_qs));
    EXPECT_TRUE(run.Out.endsWith(u"end\n"_qs));
}

TEST_F(Vldtool, UnpackThenPackGivesADocumentThatLoadsTheSame)
{
    TSampleDocument document(2, 2);
    const QByteArray payload = document.Payload();
    const QString file = Write(u"form.vld"_qs, Wrapped(payload));
    ASSERT_EQ(RunTool({u"unpack"_qs, file, Path(u"form.payload"_qs)}).Status, 0);
    EXPECT_EQ(Read(u"form.payload"_qs), payload);
    ASSERT_EQ(RunTool({u"pack"_qs, Path(u"form.payload"_qs), Path(u"again.vld"_qs)}).Status, 0);

    TMemoryStream again(Read(u"again.vld"_qs));
    std::uint32_t version = 0;
    ASSERT_TRUE(DecryptDocument(again, version));
    TSampleDocument loaded(0, 0);
    loaded.Read(again);
    EXPECT_EQ(PayloadRoots(loaded.Payload()), PayloadRoots(payload));
    // A plain payload dumps as the document does.
    EXPECT_EQ(RunTool({u"dump"_qs, Path(u"form.payload"_qs)}).Out,
              RunTool({u"dump"_qs, Path(u"again.vld"_qs)}).Out);
}

TEST_F(Vldtool, CheckTellsByItsStatusWhatFailed)
{
    const QString plugIns = NoPlugIns();
    TSampleDocument document(1, 1);
    const QByteArray good = Wrapped(document.Payload());
    const TRun fine = RunTool({u"check"_qs, Write(u"good.vld"_qs, good), plugIns});
    EXPECT_EQ(fine.Status, 0) << fine.Err.toStdString();
    EXPECT_TRUE(fine.Out.contains(u"digest matches"_qs));

    const TRun missing
        = RunTool({u"check"_qs, Write(u"kinds.vld"_qs, Wrapped(SampleScanPayload())), plugIns});
    EXPECT_EQ(missing.Status, 7);
    EXPECT_TRUE(missing.Err.contains(u"  Text Box\n  Button\n"_qs)) << missing.Err.toStdString();

    QByteArray damaged = good;
    damaged[40] = char(damaged[40] ^ 0x10);
    EXPECT_EQ(RunTool({u"check"_qs, Write(u"damaged.vld"_qs, damaged), plugIns}).Status, 5);
    EXPECT_EQ(RunTool({u"check"_qs, Write(u"short.vld"_qs, good.left(55)), plugIns}).Status, 4);
    EXPECT_EQ(RunTool({u"check"_qs, Path(u"none.vld"_qs), plugIns}).Status, 3);
    const QByteArray badPayload = SampleScanPayload().replace("\5Count\2", "\5Count\25");
    EXPECT_EQ(RunTool({u"check"_qs, Write(u"bad.vld"_qs, Wrapped(badPayload)), plugIns}).Status, 6);
    // Pack refuses what the programs could not read.
    EXPECT_EQ(RunTool({u"pack"_qs, Write(u"bad.payload"_qs, badPayload), Path(u"x.vld"_qs)}).Status,
              6);
    EXPECT_FALSE(QFile::exists(Path(u"x.vld"_qs)));
    EXPECT_EQ(RunTool({u"check"_qs}).Status, 2);
}

// A FIFO or a device node at the output is someone's pipe or a disk, not a place for a file.
TEST_F(Vldtool, PackAndUnpackRefuseOutputsThatAreNotOrdinaryFiles)
{
    TSampleDocument document(1, 1);
    const QByteArray payload = document.Payload();
    const QString file = Write(u"form.vld"_qs, Wrapped(payload));
    const QString plain = Write(u"form.payload"_qs, payload);
    const QString fifo = Path(u"pipe"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir(dir.path()).mkdir(u"folder"_qs);

    for (const auto &[command, input] :
         {std::pair(u"unpack"_qs, file), std::pair(u"pack"_qs, plain)})
        for (const QString &target : {fifo, Path(u"folder"_qs)}) {
            const TRun run = RunTool({command, input, target});
            EXPECT_EQ(run.Status, 3) << command.toStdString() << ' ' << target.toStdString();
            EXPECT_TRUE(run.Err.contains(target.endsWith(u"pipe"_qs) ? u"It is a FIFO"_qs
                                                                     : u"It is a folder"_qs))
                << run.Err.toStdString();
        }
    struct stat node = {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &node), 0);
    EXPECT_TRUE(S_ISFIFO(node.st_mode));
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({u"folder"_qs, u"form.payload"_qs, u"form.vld"_qs, u"pipe"_qs}));

    // A folder or a FIFO given as the document is named for what it is; reading the FIFO
    // would wait for a writer forever.
    const TRun folder = RunTool({u"check"_qs, Path(u"folder"_qs)});
    EXPECT_EQ(folder.Status, 3);
    EXPECT_TRUE(folder.Err.contains(u"is a folder"_qs)) << folder.Err.toStdString();
    const TRun pipe = RunTool({u"dump"_qs, fifo});
    EXPECT_EQ(pipe.Status, 3);
    EXPECT_TRUE(pipe.Err.contains(u"is a FIFO"_qs)) << pipe.Err.toStdString();
}

// A picture of megabytes would be megabytes of hexadecimal: dump shows its size and
// digest, and all of it only when asked; check and pack walk past it.
TEST_F(Vldtool, DumpShowsLargeBinaryValuesBySizeAndDigestUnlessFull)
{
    const auto shortString = [](const QByteArray &text) {
        return char(text.size()) + text;
    };
    QByteArray picture(5000, Qt::Uninitialized);
    for (qsizetype i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 31 + 7);
    const auto binary = [](const QByteArray &bytes) {
        QByteArray value(1, char(vaBinary));
        const std::uint32_t length = std::uint32_t(bytes.size());
        for (int shift = 0; shift < 32; shift += 8)
            value += char(length >> shift);
        return value + bytes;
    };
    const QByteArray payload = "TPF0" + shortString("TProjectProps") + shortString("")
        + shortString("Big.Data") + binary(picture) + shortString("Small.Data") + binary("\x01\x02")
        + '\0' + '\0';
    const QString file = Write(u"big.vld"_qs, Wrapped(payload));

    const TRun brief = RunTool({u"dump"_qs, file});
    ASSERT_EQ(brief.Status, 0) << brief.Err.toStdString();
    const QByteArray digest = QCryptographicHash::hash(picture, QCryptographicHash::Sha1).toHex();
    EXPECT_EQ(brief.Out,
              u"object TProjectProps\n  Big.Data = {5000 bytes, SHA-1 %1}\n"
              "  Small.Data = {\n    0102}\nend\n"_qs.arg(QString::fromLatin1(digest)));
    const TRun full = RunTool({u"dump"_qs, u"--full"_qs, file});
    ASSERT_EQ(full.Status, 0) << full.Err.toStdString();
    EXPECT_TRUE(full.Out.contains(QString::fromLatin1(picture.left(32).toHex().toUpper())));
    EXPECT_GT(full.Out.size(), 10000);

    const TRun packed
        = RunTool({u"pack"_qs, Write(u"big.payload"_qs, payload), Path(u"again.vld"_qs)});
    EXPECT_EQ(packed.Status, 0) << packed.Err.toStdString();
    // A length that runs past the end is damage, skipped or not.
    QByteArray cut = payload;
    cut.chop(3000);
    EXPECT_EQ(RunTool({u"check"_qs, Write(u"cut.vld"_qs, Wrapped(cut)), NoPlugIns()}).Status, 6);
}
