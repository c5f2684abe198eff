// Printing as a script prints: saved offsets chosen by name, and printing on a real
// print queue (a print server of the test's own with a queue that writes PDF files), read
// back and compared with the built-in printer's PDF. The text box is compiled in, so that
// the test can make a form with words on an A4 page and on a Letter page.

#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CProjectProps.h"
#include "CScribe.h"
#include "GlobalsGuard.h"
#include "PdfWords.h"
#include "ProgramRun.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>
#include <utility>

namespace {
const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
const QString kPdfBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");

// A print server on a socket of its own, with its own settings, spool and logs; stopped
// when the test ends.
class TPrintServer
{
public:
    ~TPrintServer()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(10000)) {
                m_server.kill();
                m_server.waitForFinished();
            }
        }
    }
    // Empty when it runs, else why it cannot.
    QString Start()
    {
        if (!QFileInfo(kCupsd).isExecutable())
            return QStringLiteral("%1 is not installed").arg(kCupsd);
        if (!QFileInfo::exists(kPdfBackend))
            return QStringLiteral("the PDF queue's backend %1 is not installed").arg(kPdfBackend);
        if (::geteuid() != 0)
            return QStringLiteral("the PDF queue's backend runs only under a print server "
                                  "started as root");
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder");
        // The queue's filters run as another user and read the spooled jobs.
        QFile::setPermissions(m_dir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                  | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
                                  | QFile::ExeOther);
        for (const char *sub : {"conf", "spool/tmp", "cache", "state", "log"})
            QDir().mkpath(Path(QLatin1String(sub)));
        Write(QStringLiteral("conf/cupsd.conf"),
              QStringLiteral("Listen %1\nLogLevel info\nWebInterface No\nBrowsing No\n"
                             "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
                             "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                             "  </Limit>\n</Policy>\n")
                  .arg(Socket()));
        Write(QStringLiteral("conf/cups-files.conf"),
              QStringLiteral("ServerRoot %1\nRequestRoot %2\nTempDir %2/tmp\nCacheDir %3\n"
                             "StateDir %4\nAccessLog %5/access_log\nErrorLog %5/error_log\n"
                             "PageLog %5/page_log\nServerBin /usr/lib/cups\n"
                             "DataDir /usr/share/cups\nSandboxing Relaxed\n")
                  .arg(Path(QStringLiteral("conf")), Path(QStringLiteral("spool")),
                       Path(QStringLiteral("cache")), Path(QStringLiteral("state")),
                       Path(QStringLiteral("log"))));
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(kCupsd,
                       {QStringLiteral("-f"), QStringLiteral("-c"),
                        Path(QStringLiteral("conf/cupsd.conf")), QStringLiteral("-s"),
                        Path(QStringLiteral("conf/cups-files.conf"))});
        if (!m_server.waitForStarted(10000))
            return QStringLiteral("cupsd did not start: %1").arg(m_server.errorString());
        for (QDeadlineTimer deadline(15000); !deadline.hasExpired(); QThread::msleep(100)) {
            if (m_server.state() == QProcess::NotRunning)
                return QStringLiteral("cupsd stopped: %1")
                    .arg(QString::fromLocal8Bit(m_server.readAll()) + Log());
            if (Tool(QStringLiteral("lpstat"), {QStringLiteral("-r")}).ExitCode == 0)
                return {};
        }
        return QStringLiteral("cupsd did not answer: %1").arg(Log());
    }
    QString Socket() const { return Path(QStringLiteral("cups.sock")); }
    QProcessEnvironment Environment(const QString &config) const
    {
        QProcessEnvironment env = WithoutDisplay(config);
        env.insert(QStringLiteral("CUPS_SERVER"), Socket());
        return env;
    }
    TRun Tool(const QString &tool, const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(Environment(m_dir.path()));
        process.start(tool, arguments);
        TRun run;
        if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
            run.ExitCode = process.exitCode();
        run.Out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.Err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }
    QString Log() const
    {
        QFile log(Path(QStringLiteral("log/error_log")));
        return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(2000))
                                             : QString();
    }
    QString PageLog() const
    {
        QFile log(Path(QStringLiteral("log/page_log")));
        return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
    }

private:
    QString Path(const QString &name) const { return m_dir.filePath(name); }
    void Write(const QString &name, const QString &text) const
    {
        QFile file(Path(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
    }
    // Short, so that the socket's path fits.
    QTemporaryDir m_dir {QStringLiteral("/tmp/vcups-XXXXXX")};
    QProcess m_server;
};

// Where the PDF queue puts the files of a job of this user.
QString QueueOutputFolder()
{
    const passwd *user = ::getpwuid(::geteuid());
    const QString home = user ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath();
    QString out = QStringLiteral("${HOME}/PDF");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly))
        for (const QString &line : QString::fromLocal8Bit(conf.readAll()).split(u'\n'))
            if (line.startsWith(QLatin1String("Out ")))
                out = line.mid(4).trimmed();
    return out.replace(QLatin1String("${HOME}"), home);
}

QStringList PdfFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

// The job number the queue puts at the end of a file's name.
int JobOf(const QString &name)
{
    static const QRegularExpression job(QStringLiteral("job_(\\d+)\\.pdf$"));
    return job.match(name).captured(1).toInt();
}

// Each word of want is matched to the word of the same text nearest to it in got,
// shifted right by dx points; their corners agree within the tolerance.
void ExpectSameWordPlaces(const QList<TWord> &got, const QList<TWord> &want, double dx,
                          double tolerance, const std::string &where)
{
    ASSERT_FALSE(want.isEmpty()) << where;
    ASSERT_EQ(got.size(), want.size()) << where;
    for (const TWord &w : want) {
        const TWord *nearest = nullptr;
        for (const TWord &g : got)
            if (g.Text == w.Text
                && (!nearest
                    || std::hypot(g.X - dx - w.X, g.Y - w.Y)
                        < std::hypot(nearest->X - dx - w.X, nearest->Y - w.Y)))
                nearest = &g;
        ASSERT_TRUE(nearest) << where << ": no word " << w.Text.toStdString();
        EXPECT_NEAR(nearest->X - dx, w.X, tolerance) << where << ' ' << w.Text.toStdString();
        EXPECT_NEAR(nearest->Y, w.Y, tolerance) << where << ' ' << w.Text.toStdString();
    }
}

// Where the ink of a page lies, in millimetres from its top left corner: one box per run
// of rows with ink (a line of words), from its leftmost to its rightmost ink. A queue's
// filters keep the glyphs but not always the characters they stand for, so the pages are
// compared as they would come out of the printer.
QList<QRectF> InkLines(const QString &pdf, int page)
{
    constexpr int dpi = 600;
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
    tool.waitForFinished(60000);
    // A page at this resolution is larger than a picture reader takes by default.
    QImageReader::setAllocationLimit(1024);
    const QImage image
        = QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
    QList<QRectF> lines;
    int top = -1, left = image.width(), right = -1;
    const double mm = 25.4 / dpi;
    for (int y = 0; y <= image.height(); ++y) {
        int rowLeft = image.width(), rowRight = -1;
        if (y < image.height()) {
            const uchar *row = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x)
                if (row[x] < 128) {
                    rowLeft = std::min(rowLeft, x);
                    rowRight = x;
                }
        }
        if (rowRight >= 0) {
            if (top < 0)
                top = y;
            left = std::min(left, rowLeft);
            right = std::max(right, rowRight);
        } else if (top >= 0) {
            lines << QRectF(QPointF(left * mm, top * mm), QPointF((right + 1) * mm, y * mm));
            top = -1;
            left = image.width();
            right = -1;
        }
    }
    return lines;
}

void ExpectSameInk(const QString &got, const QString &want, int page, double toleranceMm)
{
    const QList<QRectF> a = InkLines(got, 1);
    const QList<QRectF> b = InkLines(want, page);
    ASSERT_FALSE(b.isEmpty()) << page;
    ASSERT_EQ(a.size(), b.size()) << page;
    for (qsizetype i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i].left(), b[i].left(), toleranceMm) << page << ' ' << i;
        EXPECT_NEAR(a[i].top(), b[i].top(), toleranceMm) << page << ' ' << i;
        EXPECT_NEAR(a[i].right(), b[i].right(), toleranceMm) << page << ' ' << i;
        EXPECT_NEAR(a[i].bottom(), b[i].bottom(), toleranceMm) << page << ' ' << i;
    }
}

constexpr double kTolerance = 0.15 / 25.4 * 72; // points

class PrintCommands : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // An A4 page, then a Letter page, each with words in text boxes.
        TDocumentBuilder doc;
        int page = 0;
        for (const int paper : {9, 1}) {
            doc.AddPage();
            {
                TGlobalFlagScope adding(GlobalAddingPage);
                doc.Settings(page)->PagePaperProps()->SetPaperSize(paper);
            }
            for (int i = 0; i < 3; ++i) {
                auto *box = doc.Add<TScribe>(page, QStringLiteral("Box%1_%2").arg(page).arg(i),
                                             QRect(60 + 150 * i, 80 + 300 * i, 220, 30));
                box->VisualGeneralProps()->SetGeneralDefaultText(
                    QStringLiteral("Page%1 word%2").arg(page + 1).arg(i + 1));
            }
            ++page;
        }
        ASSERT_TRUE(doc.Save(Form()));
    }
    QString Path(const QString &name) const { return m_dir.filePath(name); }
    QString Form() const { return Path(QStringLiteral("words.vld")); }
    QString Config() const { return Path(QStringLiteral("config")); }
    TRun Filler(const QStringList &arguments) const
    {
        return RunProgram("VeloraFiller", arguments, Config());
    }
    // The settings file the programs read, with these printer offsets in it.
    void SaveOffsets(const QStringList &lines) const
    {
        QDir().mkpath(Config() + QStringLiteral("/Corvale/Velora"));
        QFile ini(Config() + QStringLiteral("/Corvale/Velora/App.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[PrinterOffsets]\n%1\n").arg(lines.join(u'\n')).toUtf8());
    }
    QTemporaryDir m_dir;
};
} // namespace

// Saved offsets need a choice that no window can ask for.
TEST_F(PrintCommands, SavedOffsetsAreChosenByNameOrLeftOut)
{
    SaveOffsets({QStringLiteral("Ofs0=\"Left edge\", \"Velora PDF Printer\", 5, 0"),
                 QStringLiteral("Ofs1=\"Down\", \"Velora PDF Printer\", 0, 2.5"),
                 QStringLiteral("Ofs2=\"Elsewhere\", \"Another Printer\", 9, 9")});
    const QString plain = Path(QStringLiteral("plain.pdf"));
    const QString shifted = Path(QStringLiteral("shifted.pdf"));
    const QString welcome = Form();

    const TRun ask = Filler({QStringLiteral("--print-to-pdf"), plain, welcome});
    EXPECT_EQ(ask.ExitCode, 1);
    EXPECT_TRUE(ask.Err.contains(QLatin1String("has saved offsets: Left edge, Down.")))
        << ask.Err.toStdString();
    EXPECT_TRUE(ask.Err.contains(QLatin1String("--no-offsets"))) << ask.Err.toStdString();
    const TRun unknown = Filler({QStringLiteral("--print-to-pdf"), plain, welcome,
                                 QStringLiteral("--offset"), QStringLiteral("Elsewhere")});
    EXPECT_EQ(unknown.ExitCode, 1);
    EXPECT_TRUE(unknown.Err.contains(QLatin1String("no saved offset \"Elsewhere\". Its saved "
                                                   "offsets: Left edge, Down.")))
        << unknown.Err.toStdString();
    EXPECT_FALSE(QFile::exists(plain));
    EXPECT_EQ(Filler({QStringLiteral("--print-to-pdf"), plain, welcome, QStringLiteral("--offset"),
                      QStringLiteral("Down"), QStringLiteral("--no-offsets")})
                  .ExitCode,
              2);

    const TRun none = Filler(
        {QStringLiteral("--print-to-pdf"), plain, welcome, QStringLiteral("--no-offsets")});
    ASSERT_EQ(none.ExitCode, 0) << none.Err.toStdString();
    const TRun left = Filler({QStringLiteral("--print-to-pdf"), shifted, welcome,
                              QStringLiteral("--offset"), QStringLiteral("Left edge")});
    ASSERT_EQ(left.ExitCode, 0) << left.Err.toStdString();
    const auto before = PdfWords(plain);
    const auto after = PdfWords(shifted);
    ASSERT_EQ(before.size(), 2);
    ASSERT_EQ(after.size(), 2);
    // 5 mm to the right, within 0.15 mm.
    for (int page = 0; page < 2; ++page)
        ExpectSameWordPlaces(after[page], before[page], 5 / 25.4 * 72, kTolerance,
                             "page " + std::to_string(page));
}

// A print queue takes one paper per job: each run of pages on the same paper is its own
// job, in order, and lands as the built-in printer prints it.
TEST_F(PrintCommands, EachPaperOfADocumentPrintsOnItsOwnPaperOnAQueue)
{
    TPrintServer server;
    if (const QString why = server.Start(); !why.isEmpty())
        GTEST_SKIP() << "no print server for this test: " << why.toStdString();
    const TRun added
        = server.Tool(QStringLiteral("lpadmin"),
                      {QStringLiteral("-p"), QStringLiteral("PDF"), QStringLiteral("-E"),
                       QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-m"),
                       QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd")});
    if (added.ExitCode != 0)
        GTEST_SKIP() << "the PDF queue could not be added: " << added.Err.toStdString();

    QProcess lister;
    lister.setProcessEnvironment(server.Environment(Config()));
    const TRun list = RunProgram(lister, "VeloraFiller", {QStringLiteral("--list-printers")});
    EXPECT_EQ(list.ExitCode, 0) << list.Err.toStdString();
    EXPECT_TRUE(list.Out.startsWith(QLatin1String("PDF\n  "))) << list.Out.toStdString();

    const QString folder = QueueOutputFolder();
    // The jobs of one print, in job order, once the queue has written them.
    const auto printOnQueue = [&](const QString &document, QStringList &made) {
        const QStringList before = PdfFiles(folder);
        QProcess printer;
        printer.setProcessEnvironment(server.Environment(Config()));
        const TRun printed
            = RunProgram(printer, "VeloraFiller",
                         {QStringLiteral("--print"), QStringLiteral("--printer"),
                          QStringLiteral("PDF"), document, QStringLiteral("--publish-anyway")});
        ASSERT_EQ(printed.ExitCode, 0) << printed.Err.toStdString();
        for (QDeadlineTimer deadline(90000); !deadline.hasExpired(); QThread::msleep(250)) {
            made.clear();
            for (const QString &name : PdfFiles(folder))
                if (!before.contains(name))
                    made << QDir(folder).filePath(name);
            if (made.size() >= 2
                && server.Tool(QStringLiteral("lpstat"), {QStringLiteral("-o")}).Out.isEmpty())
                break;
        }
        std::sort(made.begin(), made.end(),
                  [](const QString &a, const QString &b) { return JobOf(a) < JobOf(b); });
    };
    QStringList made;
    const auto cleanUp = qScopeGuard([&] {
        for (const QString &file : made)
            QFile::remove(file);
    });

    // The welcome example: an A4 page, then a Letter page.
    printOnQueue(Example("Welcome.vld"), made);
    ASSERT_EQ(made.size(), 2) << made.join(u' ').toStdString() << server.Log().toStdString();
    EXPECT_EQ(PdfPageSizes(made[0]), QStringList {QStringLiteral("595x842")});
    EXPECT_EQ(PdfPageSizes(made[1]), QStringList {QStringLiteral("612x792")});
    // The jobs carry the document's name, not its path.
    const QString titles = server.PageLog();
    EXPECT_TRUE(titles.contains(QLatin1String(" Welcome.vld (1 of 2) "))) << titles.toStdString();
    EXPECT_TRUE(titles.contains(QLatin1String(" Welcome.vld (2 of 2) "))) << titles.toStdString();
    for (const QString &file : made)
        QFile::remove(file);

    // Words on both papers land where the built-in printer puts them.
    const QString reference = Path(QStringLiteral("reference.pdf"));
    const TRun built = Filler({QStringLiteral("--print-to-pdf"), reference, Form()});
    ASSERT_EQ(built.ExitCode, 0) << built.Err.toStdString();
    printOnQueue(Form(), made);
    ASSERT_EQ(made.size(), 2) << made.join(u' ').toStdString() << server.Log().toStdString();
    const QStringList paper = PdfPageSizes(reference);
    ASSERT_EQ(paper, (QStringList {QStringLiteral("595x842"), QStringLiteral("612x792")}));
    for (int page = 0; page < 2; ++page) {
        EXPECT_EQ(PdfPageSizes(made[page]), QStringList {paper[page]}) << page;
        ExpectSameInk(made[page], reference, page + 1, 0.15);
    }

    // A queue that does not take jobs: the print fails and says why.
    ASSERT_EQ(server.Tool(QStringLiteral("cupsreject"), {QStringLiteral("PDF")}).ExitCode, 0);
    QProcess refused;
    refused.setProcessEnvironment(server.Environment(Config()));
    const TRun rejected = RunProgram(
        refused, "VeloraFiller",
        {QStringLiteral("--print"), QStringLiteral("--printer"), QStringLiteral("PDF"), Form()});
    EXPECT_EQ(rejected.ExitCode, 1);
    EXPECT_TRUE(rejected.Err.contains(QLatin1String("The printer \"PDF\" did not take the job: ")))
        << rejected.Err.toStdString();
}
