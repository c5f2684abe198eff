#include "CPrinterService.h"

#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// pdfinfo's "Page    N size: W x H pts" lines, one per page.
QStringList PageSizes(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"),
            {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("99"),
             pdf});
    if (!p.waitForFinished(30000))
        return {};
    QStringList sizes;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(
        QStringLiteral(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)"));
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        sizes.append(QStringLiteral("%1x%2")
                         .arg(qRound(m.captured(1).toDouble()))
                         .arg(qRound(m.captured(2).toDouble())));
    }
    return sizes;
}
} // namespace

TEST(Printer, BuiltInPdfPrinterIsAlwaysThereAt600PpiWithNoOffset)
{
    auto &printers = PrinterService();
    EXPECT_TRUE(printers.Printers().contains(TPrinterService::BuiltInPrinterName));
    EXPECT_EQ(printers.PrinterName(), TPrinterService::BuiltInPrinterName);
    EXPECT_EQ(printers.PixelsPerInchX(), 600);
    EXPECT_EQ(printers.PixelsPerInchY(), 600);
    EXPECT_EQ(printers.PhysicalOffset(), QPoint(0, 0));
    EXPECT_FALSE(printers.SetPrinter(QStringLiteral("No Such Printer")));
    EXPECT_EQ(printers.PrinterName(), TPrinterService::BuiltInPrinterName);
}

TEST(Printer, PaperCodesFollowTheDeviceModeNumbering)
{
    ASSERT_NE(PaperFormByCode(9), nullptr);
    EXPECT_EQ(PaperFormByCode(9)->Name, QStringLiteral("A4"));
    EXPECT_EQ(PaperFormByCode(9)->SizeMm, QSizeF(210, 297));
    EXPECT_EQ(PaperFormByCode(1)->SizeMm, QSizeF(215.9, 279.4));
    EXPECT_EQ(PaperFormByCode(5)->Name, QStringLiteral("Legal"));
    EXPECT_EQ(PaperFormByCode(11)->SizeMm, QSizeF(148, 210));
    EXPECT_EQ(PaperFormByCode(0), nullptr);
    EXPECT_EQ(PaperFormByCode(int(PaperForms().size()) + 1), nullptr);
    for (int i = 0; i < PaperForms().size(); ++i)
        EXPECT_EQ(PaperForms()[i].Code, i + 1);
    EXPECT_EQ(PaperCodeForSize(QSizeF(297, 210)), 9);
    EXPECT_EQ(PaperCodeForSize(QSizeF(123, 45)), 0);
    EXPECT_EQ(PrinterService().Forms(TPrinterService::BuiltInPrinterName).size(),
              PaperForms().size());
    EXPECT_TRUE(PrinterService().Forms(QStringLiteral("No Such Printer")).isEmpty());
}

TEST(Printer, BuiltInPrinterWritesEveryPageOnItsOwnPaper)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    auto &printers = PrinterService();
    printers.SetOutputFileName(pdf);
    printers.DeviceMode().PaperSize = 9;
    printers.DeviceMode().Orientation = poPortrait;

    TPrintJob job;
    ASSERT_TRUE(job.Begin(QStringLiteral("Two pages"))) << job.ErrorText().toStdString();
    EXPECT_EQ(job.Printer().resolution(), 600);
    // A4 at 600 ppi is 4961 x 7016 printer pixels; PDF pages are whole points (8 px) wide.
    EXPECT_NEAR(job.Printer().width(), 4961, 9);
    EXPECT_NEAR(job.Printer().height(), 7016, 9);
    job.Canvas().drawText(600, 600, QStringLiteral("Page one"));
    job.SetPage(QSizeF(210, 297), poLandscape);
    ASSERT_TRUE(job.NewPage());
    job.Canvas().drawText(600, 600, QStringLiteral("Page two"));
    ASSERT_TRUE(job.End());

    // A4 is 595 x 842 points; the second page lies on its side.
    EXPECT_EQ(PageSizes(pdf), QStringList({"595x842", "842x595"}));
}
