// Filling a form from a data file as a script does (--fill), and reading the
// filled documents' values back out (vldtool values), with the generated
// examples and the real plug-ins.

#include "CRecoveryJournal.h"
#include "PdfWords.h"
#include "ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class BulkFill : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString &name) const { return m_dir.filePath(name); }
    QString Write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return Path(name);
    }
    TRun Filler(const QStringList &arguments) const
    {
        return RunProgram("VeloraFiller", arguments, Path(QStringLiteral("config")));
    }
    TRun Tool(const QStringList &arguments) const
    {
        return RunProgram("vldtool", arguments, Path(QStringLiteral("config")));
    }
    QTemporaryDir m_dir;
};

// The words of a page as one line.
QString PageText(const QList<TWord> &words)
{
    QStringList texts;
    for (const TWord &word : words)
        texts << word.Text;
    return texts.join(u' ');
}

const TWord *FindWord(const QList<TWord> &words, const QString &text)
{
    for (const TWord &word : words)
        if (word.Text == text)
            return &word;
    return nullptr;
}
TEST_F(BulkFill, UnattendedRunsLeaveRecoveryJournalsAlone)
{
    // A form being filled in elsewhere has a journal newer than the document.
    const QString state = Path(QStringLiteral("state"));
    const QByteArray before = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", state.toLocal8Bit());
    const QString doc = Path(QStringLiteral("Employee.vld"));
    ASSERT_TRUE(QFile::copy(Example("Employee.vld"), doc));
    QString journalPath;
    {
        TRecoveryJournal journal(doc);
        ASSERT_TRUE(journal.Record(QStringLiteral("FullName"), QStringLiteral("Typed elsewhere")));
        journalPath = journal.Path();
    }
    QFile journal(journalPath);
    ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
    const QByteArray kept = journal.readAll();
    journal.close();

    const QString csv = Write(QStringLiteral("e.csv"), "FullName,Email\nAnn,a@example.com\n");
    const TRun print = Filler({QStringLiteral("--print-to-pdf"), Path(QStringLiteral("p.pdf")),
                               QStringLiteral("--publish-anyway"), doc});
    EXPECT_EQ(print.ExitCode, 0) << print.Err.toStdString();
    const TRun fill = Filler({QStringLiteral("--fill"), csv, QStringLiteral("--print-to-pdf"),
                              Path(QStringLiteral("f.pdf")), doc});
    EXPECT_EQ(fill.ExitCode, 0) << fill.Err.toStdString();
    ASSERT_TRUE(journal.open(QIODevice::ReadOnly));
    EXPECT_EQ(journal.readAll(), kept);
    if (before.isNull())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", before);
}

} // namespace

TEST_F(BulkFill, AThousandRowsPrintAsAThousandFilledPagesInOnePdf)
{
    QByteArray data = "fullname,EMAIL,Salary\r\n";
    for (int row = 1; row <= 1000; ++row)
        data += QStringLiteral("Person%1,p%1@example.com,%2\r\n")
                    .arg(row)
                    .arg(row % 900 + 1)
                    .toUtf8();
    const QString csv = Write(QStringLiteral("people.csv"), data);
    const QString pdf = Path(QStringLiteral("people.pdf"));
    const TRun run = Filler({QStringLiteral("--fill"), csv, QStringLiteral("--print-to-pdf"), pdf,
                             Example("Employee.vld")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(QLatin1String("1000 of 1000 rows filled.")))
        << run.Err.toStdString();
    EXPECT_TRUE(PdfInfo(pdf).startsWith(QLatin1String("Pages: 1000")))
        << PdfInfo(pdf).toStdString();

    // Each page holds its row's values, each where the first page has it.
    const QList<QList<TWord>> pages = PdfWords(pdf);
    ASSERT_EQ(pages.size(), 1000);
    const TWord *name1 = FindWord(pages.first(), QStringLiteral("Person1"));
    const TWord *mail1 = FindWord(pages.first(), QStringLiteral("p1@example.com"));
    ASSERT_TRUE(name1 && mail1) << PageText(pages.first()).toStdString();
    EXPECT_LT(name1->Y, mail1->Y);
    for (int row = 1; row <= 1000; ++row) {
        const QList<TWord> &words = pages.at(row - 1);
        const TWord *name = FindWord(words, QStringLiteral("Person%1").arg(row));
        const TWord *mail = FindWord(words, QStringLiteral("p%1@example.com").arg(row));
        const TWord *salary = FindWord(words, QStringLiteral("%1.00").arg(row % 900 + 1));
        ASSERT_TRUE(name && mail && salary) << row << ": " << PageText(words).toStdString();
        EXPECT_NEAR(name->X, name1->X, 0.01);
        EXPECT_NEAR(name->Y, name1->Y, 0.01);
        EXPECT_NEAR(mail->Y, mail1->Y, 0.01);
    }
}

TEST_F(BulkFill, RefusedRowsAreReportedWithTheirRowAndNothingIsPrinted)
{
    // Row 1 has two lines for a box of one, row 3 a title the list does not hold and a value
    // for no element, row 4 too few values; a quoted line break makes lines differ from rows.
    const QString csv = Write(QStringLiteral("rows.csv"),
                              "Title,FullName,Country,Nickname\n"
                              "Dr,\"Ada\nLovelace\",United Kingdom,\n"
                              "Mr,Bob,Chile,\n"
                              "Sir,Carl,Peru,Charlie\n"
                              "Ms,Dora\n"
                              "Mx,Eve,Japan,\n");
    const QString pdf = Path(QStringLiteral("out.pdf"));
    const QStringList command {QStringLiteral("--fill"), csv, QStringLiteral("--print-to-pdf"), pdf,
                               Example("Registration.vld")};
    const TRun refused = Filler(command);
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_FALSE(QFile::exists(pdf));
    const QString &err = refused.Err;
    EXPECT_TRUE(err.contains(QLatin1String("row 1 (line 2): FullName: \"Ada\\nLovelace\" has line "
                                           "breaks, and the box holds one line")))
        << err.toStdString();
    EXPECT_TRUE(err.contains(QLatin1String("row 3 (line 5): Title: \"Sir\" is not a value this "
                                           "box takes")));
    EXPECT_TRUE(err.contains(
        QLatin1String("row 3 (line 5): the column \"Nickname\" names no element of the form")));
    EXPECT_TRUE(err.contains(QLatin1String("row 4 (line 6): no value for Country, Nickname")));
    EXPECT_FALSE(err.contains(QLatin1String("row 2 ")));
    EXPECT_FALSE(err.contains(QLatin1String("row 5 ")));
    EXPECT_TRUE(err.contains(QLatin1String("3 of 5 rows were refused; --skip-invalid")));

    // Left out, the others print: one page each.
    const TRun skipped = Filler(QStringList(command) << QStringLiteral("--skip-invalid"));
    EXPECT_EQ(skipped.ExitCode, 0) << skipped.Err.toStdString();
    EXPECT_TRUE(skipped.Err.contains(QLatin1String("2 of 5 rows filled; 3 left out.")));
    const QList<QList<TWord>> pages = PdfWords(pdf);
    ASSERT_EQ(pages.size(), 2);
    // A refused row leaves nothing behind in the next one.
    EXPECT_TRUE(PageText(pages.at(0)).contains(QLatin1String("Mr Bob Chile")))
        << PageText(pages.at(0)).toStdString();
    EXPECT_TRUE(PageText(pages.at(1)).contains(QLatin1String("Mx Eve Japan")))
        << PageText(pages.at(1)).toStdString();
}

TEST_F(BulkFill, ACalculatedColumnMustAgreeWithWhatTheFormCalculates)
{
    // What vldtool values writes out fills again: calculated boxes are checked, not typed.
    const QString csv = Write(QStringLiteral("invoice.csv"),
                              "Item1,Qty1,Price1,Amount1\nPens,2,3,6\nInk,2,3,7\n");
    const QString pdf = Path(QStringLiteral("invoice.pdf"));
    const TRun run = Filler({QStringLiteral("--fill"), csv, QStringLiteral("--skip-invalid"),
                             QStringLiteral("--print-to-pdf"), pdf, Example("Invoice.vld")});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(
        QLatin1String("row 2 (line 3): Amount1 cannot be filled in; the form gives \"6\", the row "
                      "\"7\"")))
        << run.Err.toStdString();
    const QList<QList<TWord>> pages = PdfWords(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(PageText(pages.first()).contains(QLatin1String("Pens 2 3.00 6.00")))
        << PageText(pages.first()).toStdString();
}

TEST_F(BulkFill, ASavedOffsetShiftsEveryFilledCopy)
{
    QDir().mkpath(Path(QStringLiteral("config/Corvale/Velora")));
    Write(QStringLiteral("config/Corvale/Velora/App.ini"),
          "[PrinterOffsets]\n0=\"Measured\", \"Velora PDF Printer\", 1.5, -0.5\n");
    const QString csv
        = Write(QStringLiteral("d.csv"), "FullName,Email\nAnn,a@example.com\nBen,b@example.com\n");
    const QStringList command {QStringLiteral("--fill"), csv, Example("Employee.vld"),
                               QStringLiteral("--print-to-pdf")};
    // Saved offsets need a choice, as for a single print.
    const TRun unchosen = Filler(QStringList(command) << Path(QStringLiteral("o.pdf")));
    EXPECT_EQ(unchosen.ExitCode, 1);
    EXPECT_TRUE(unchosen.Err.contains(QLatin1String("Choose one with --offset NAME")));
    const QString plain = Path(QStringLiteral("plain.pdf"));
    const QString shifted = Path(QStringLiteral("shifted.pdf"));
    ASSERT_EQ(Filler(QStringList(command) << plain << QStringLiteral("--no-offsets")).ExitCode, 0);
    ASSERT_EQ(Filler(QStringList(command)
                     << shifted << QStringLiteral("--offset") << QStringLiteral("Measured"))
                  .ExitCode,
              0);
    const QList<QList<TWord>> before = PdfWords(plain);
    const QList<QList<TWord>> after = PdfWords(shifted);
    ASSERT_EQ(after.size(), 2);
    for (int page = 0; page < 2; ++page) {
        const QString name = page == 0 ? QStringLiteral("Ann") : QStringLiteral("Ben");
        const TWord *a = FindWord(before.value(page), name);
        const TWord *b = FindWord(after.value(page), name);
        ASSERT_TRUE(a && b) << page;
        // Within a printer pixel (0.12 pt).
        EXPECT_NEAR(b->X - a->X, 1.5 / 25.4 * 72, 0.13);
        EXPECT_NEAR(b->Y - a->Y, -0.5 / 25.4 * 72, 0.13);
    }
}

TEST_F(BulkFill, AnInvalidAddressIsReportedWithItsRow)
{
    const QString csv = Write(QStringLiteral("mail.csv"),
                              "FullName,Email\nAnn,ann@example.com\nBen,ben.example.com\n");
    const QString folder = Path(QStringLiteral("filled"));
    QDir().mkpath(folder);
    const TRun run = Filler({QStringLiteral("--fill"), csv, QStringLiteral("--save-each"), folder,
                             Example("Employee.vld")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QLatin1String("row 2 (line 3): Email: ")))
        << run.Err.toStdString();
    // Nothing half done: no filled document at all.
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
}

TEST_F(BulkFill, FilledDocumentsGiveTheirValuesBackAsCsvAndJson)
{
    // Values a spreadsheet would quote, and letters beyond ASCII.
    const QStringList names {QStringLiteral("Smith, Jane"), QStringLiteral("Zoë \"Zed\" Ørsted"),
                             QStringLiteral("李小龍")};
    const QStringList addresses {QStringLiteral("1 Main St\nFlat 2"),
                                 QStringLiteral("Rue d'été, 5"), QString()};
    QByteArray data = "\xEF\xBB\xBF"
                      "FullName,Address,Email\r\n";
    for (int i = 0; i < names.size(); ++i) {
        const auto quoted = [](QString value) {
            return u'"' + value.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
        };
        data += QStringLiteral("%1,%2,p%3@example.com\r\n")
                    .arg(quoted(names.at(i)), quoted(addresses.at(i)))
                    .arg(i)
                    .toUtf8();
    }
    const QString folder = Path(QStringLiteral("filled"));
    QDir().mkpath(folder);
    const TRun fill = Filler({QStringLiteral("--fill"), Write(QStringLiteral("d.csv"), data),
                              QStringLiteral("--save-each"), folder, Example("Employee.vld")});
    ASSERT_EQ(fill.ExitCode, 0) << fill.Err.toStdString();
    const QStringList saved = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    ASSERT_EQ(saved, (QStringList {"Employee-1.vld", "Employee-2.vld", "Employee-3.vld"}));
    QStringList files;
    for (const QString &name : saved)
        files << QDir(folder).filePath(name);

    // Python's csv module reads the table back to the typed values.
    const TRun values = Tool(QStringList {QStringLiteral("values")} + files);
    ASSERT_EQ(values.ExitCode, 0) << values.Err.toStdString();
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, io, json, sys\n"
                                 "rows = list(csv.DictReader(io.TextIOWrapper(sys.stdin.buffer, "
                                 "encoding='utf-8', newline='')))\n"
                                 "sys.stdout.buffer.write(json.dumps(rows).encode('utf-8'))\n")});
    python.write(values.Out.toUtf8());
    python.closeWriteChannel();
    ASSERT_TRUE(python.waitForFinished(30000));
    const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    ASSERT_EQ(rows.size(), 3) << values.Out.toStdString();
    for (int i = 0; i < 3; ++i) {
        const QJsonObject row = rows.at(i).toObject();
        EXPECT_EQ(row.value(u"FullName").toString(), names.at(i));
        EXPECT_EQ(row.value(u"Address").toString(), addresses.at(i));
        EXPECT_EQ(row.value(u"Email").toString(), QStringLiteral("p%1@example.com").arg(i));
        EXPECT_EQ(row.value(u"Salary").toString(), QString());
    }

    // The same values as JSON.
    const TRun json
        = Tool(QStringList {QStringLiteral("values"), QStringLiteral("--json")} + files);
    ASSERT_EQ(json.ExitCode, 0);
    const QJsonArray objects = QJsonDocument::fromJson(json.Out.toUtf8()).array();
    ASSERT_EQ(objects.size(), 3);
    EXPECT_EQ(objects.at(1).toObject().value(u"FullName").toString(), names.at(1));
}

TEST_F(BulkFill, PasswordsStayOutOfTheValuesUnlessAskedFor)
{
    const QString folder = Path(QStringLiteral("filled"));
    QDir().mkpath(folder);
    const QString csv
        = Write(QStringLiteral("p.csv"),
                "ApplicantName,UserName,Password,RepeatPassword,ApplicantEmail,Seats\n"
                "Ann,ann,s3cret!,s3cret!,ann@example.com,2\n");
    const TRun fill = Filler({QStringLiteral("--fill"), csv, QStringLiteral("--save-each"), folder,
                              Example("Application.vld")});
    ASSERT_EQ(fill.ExitCode, 0) << fill.Err.toStdString();
    const QString filled = QDir(folder).filePath(QStringLiteral("Application-1.vld"));
    const TRun plain = Tool({QStringLiteral("values"), filled});
    ASSERT_EQ(plain.ExitCode, 0) << plain.Err.toStdString();
    EXPECT_FALSE(plain.Out.contains(QLatin1String("s3cret!")));
    EXPECT_FALSE(plain.Out.contains(QLatin1String("Password")));
    EXPECT_TRUE(plain.Out.startsWith(QLatin1String("ApplicantName,"))) << plain.Out.toStdString();
    const TRun all
        = Tool({QStringLiteral("values"), QStringLiteral("--include-passwords"), filled});
    EXPECT_TRUE(all.Out.contains(QLatin1String("s3cret!"))) << all.Out.toStdString();
    // A file that is no document fails the whole command.
    const TRun bad = Tool(
        {QStringLiteral("values"), filled, Write(QStringLiteral("x.vld"), "not a document")});
    EXPECT_NE(bad.ExitCode, 0);
    EXPECT_TRUE(bad.Out.isEmpty());
}

TEST_F(BulkFill, TheCommandLineSaysWhatGoesWithFill)
{
    const QString csv = Write(QStringLiteral("d.csv"), "FullName\nAnn\n");
    const TRun alone = Filler({QStringLiteral("--fill"), csv, Example("Employee.vld")});
    EXPECT_EQ(alone.ExitCode, 2);
    EXPECT_TRUE(alone.Err.contains(QLatin1String("--fill goes with --print-to-pdf, --print or "
                                                 "--save-each.")));
    const TRun skip = Filler({QStringLiteral("--skip-invalid"), QStringLiteral("--print-to-pdf"),
                              Path(QStringLiteral("o.pdf")), Example("Employee.vld")});
    EXPECT_EQ(skip.ExitCode, 2);
    const TRun broken = Filler(
        {QStringLiteral("--fill"), Write(QStringLiteral("b.csv"), "FullName\n\"Ann\n"),
         QStringLiteral("--print-to-pdf"), Path(QStringLiteral("o.pdf")), Example("Employee.vld")});
    EXPECT_EQ(broken.ExitCode, 1);
    EXPECT_TRUE(broken.Err.contains(QLatin1String("line 2: a quoted field is never closed")))
        << broken.Err.toStdString();
    const TRun help = Filler({QStringLiteral("--help")});
    for (const char *option :
         {"--fill", "--save-each", "--skip-invalid", "--print-calibration", "--paper"})
        EXPECT_TRUE(help.Out.contains(QLatin1String(option))) << option;
}

using CalibrationCommand = BulkFill;

TEST_F(CalibrationCommand, PrintsOnThePaperAskedForAndRefusesOnesThatAreNone)
{
    const QString pdf = Path(QStringLiteral("cal.pdf"));
    const TRun letter = Filler({QStringLiteral("--print-calibration"), pdf,
                                QStringLiteral("--paper"), QStringLiteral("1")});
    ASSERT_EQ(letter.ExitCode, 0) << letter.Err.toStdString();
    EXPECT_EQ(PdfPageSizes(pdf), QStringList {QStringLiteral("612x792")});
    // The crosshairs of a Letter page sit 30 mm from its corners, labelled so.
    const QList<TWord> words = PdfWords(pdf).value(0);
    EXPECT_TRUE(PageText(words).contains(QLatin1String("185, 249 mm")))
        << PageText(words).toStdString();

    const TRun none = Filler({QStringLiteral("--print-calibration"), pdf, QStringLiteral("--paper"),
                              QStringLiteral("0")});
    EXPECT_EQ(none.ExitCode, 2);
    EXPECT_TRUE(none.Err.contains(QLatin1String("--paper needs a paper code")))
        << none.Err.toStdString();
    const TRun withDocument
        = Filler({QStringLiteral("--print-calibration"), pdf, Example("Employee.vld")});
    EXPECT_EQ(withDocument.ExitCode, 2);
    const TRun intoFolder = Filler({QStringLiteral("--print-calibration"), Path(QString())});
    EXPECT_EQ(intoFolder.ExitCode, 1);
}
