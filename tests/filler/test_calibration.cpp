// Measuring a printer's shift: the calibration page's crosshairs land where it
// says they are, and the shift read off it, typed into the offsets editor,
// moves a print by exactly that much.

#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CCalibrationPage.h"
#include "CClassRegistry.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CPrinterOffsetsDlg.h"
#include "CPrinterService.h"
#include "CProjectPrint.h"
#include "CPropGroups.h"
#include "FillerTestWindow.h"
#include "GlobalsGuard.h"
#include "PdfWords.h"
#include "ScriptedDialogService.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMarginsF>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// A text element that shows its default text.
class TCalibrationTestBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

namespace {
const TClassRegistration<TCalibrationTestBox> registerBox;

class Calibration : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
        PrinterService().DeviceMode() = TDeviceMode();
        pdf = dir.filePath(QStringLiteral("out.pdf"));
        PrinterService().SetOutputFileName(pdf);
    }
    void TearDown() override
    {
        PrinterService().SetBuiltInMargins(QMarginsF());
        GlobalPrintOffsetChoice = {};
        ScriptedDialogs().VerifyAllUsed();
    }
    // The PDF's first page in grey, ten pixels to the millimetre.
    QImage Rendered() const
    {
        QProcess tool;
        tool.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-gray"),
                    QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                    dir.filePath(QStringLiteral("page"))});
        tool.waitForFinished(60000);
        return QImage(dir.filePath(QStringLiteral("page.png")));
    }
    QTemporaryDir dir;
    QString pdf;
};

bool Dark(const QImage &page, double xMm, double yMm)
{
    return qGray(page.pixel(qRound(xMm * 10), qRound(yMm * 10))) < 128;
}
} // namespace

TEST_F(Calibration, TheCrosshairsLandWhereTheyAreDrawn)
{
    // A printer that cannot print near the edges still puts them on the paper's millimetres
    // (margins of whole points: the PDF writer keeps its margins in points).
    PrinterService().SetBuiltInMargins(QMarginsF(18, 12, 18, 12) * (25.4 / 72));
    QString error;
    ASSERT_TRUE(PrintCalibrationPage(QSizeF(210, 297), poPortrait, &error)) << error.toStdString();
    EXPECT_EQ(PdfPageSizes(pdf), QStringList {QStringLiteral("595x842")});
    const QImage page = Rendered();
    ASSERT_NEAR(page.width(), 2100, 1);
    ASSERT_NEAR(page.height(), 2970, 1);
    const QList<QPointF> crosses = CalibrationCrosshairs(QSizeF(210, 297));
    ASSERT_EQ(crosses, (QList<QPointF> {{30, 30}, {180, 30}, {30, 267}, {180, 267}, {105, 148}}));
    for (const QPointF &at : crosses) {
        const double x = at.x();
        const double y = at.y();
        // Both lines pass through the centre and along their arms; the quarter between is
        // blank, so a shifted line would show.
        for (const double d : {-6.0, -2.0, 0.0, 2.0, 6.0}) {
            EXPECT_TRUE(Dark(page, x + d, y)) << x << "," << y << " level line at " << d;
            EXPECT_TRUE(Dark(page, x, y + d)) << x << "," << y << " upright line at " << d;
        }
        for (const double d : {0.5, 1.0})
            EXPECT_FALSE(Dark(page, x + d, y - d) || Dark(page, x - d, y + d)) << x << "," << y;
    }
    // The rulers' millimetres are the paper's: the top ruler's 100 mm tick is dark, the
    // half-millimetre beside it is not.
    EXPECT_TRUE(Dark(page, 100, 10));
    EXPECT_FALSE(Dark(page, 100.5, 10));
    // The labels say where the crosshairs are; the first starts 1.5 mm right of its own.
    const QList<TWord> words = PdfWords(pdf).value(0);
    auto label = std::find_if(words.begin(), words.end(),
                              [](const TWord &w) { return w.Text == QLatin1String("30,"); });
    ASSERT_NE(label, words.end());
    EXPECT_NEAR(label->X, 31.5 / 25.4 * 72, 0.2);
}

TEST_F(Calibration, MeasuredShiftsTypedIntoTheEditorMoveAPrintByExactlyThatMuch)
{
    TDocumentBuilder doc;
    doc.AddPage();
    auto *box = doc.Add<TCalibrationTestBox>(0, QStringLiteral("Box"), QRect(96, 96, 200, 30));
    box->VisualGeneralProps()->SetGeneralDefaultText(QStringLiteral("Mark"));
    GlobalPrintOffsetChoice.Mode = TPrintOffsetChoice::None;
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    const TWord plain = PdfWords(pdf).value(0).value(0);
    ASSERT_EQ(plain.Text, QStringLiteral("Mark"));

    // The shift read off the calibration page, typed as a user types it.
    {
        TPrinterOffsetsDlg offsets(nullptr);
        offsets.show();
        ScriptedDialogs().ExpectModal([](QDialog &dialog) {
            auto &editor = static_cast<TPrinterOffsetsIODlg &>(dialog);
            editor.show();
            const auto *hint = editor.findChild<QLabel *>(QStringLiteral("CalibrationHint"));
            EXPECT_TRUE(hint && hint->text().contains(QLatin1String("Print Calibration Page")));
            const auto type = [](QLineEdit *edit, const QString &text) {
                edit->setFocus();
                edit->selectAll();
                QTest::keyClicks(edit, text);
            };
            type(editor.NameEdit(), QStringLiteral("Measured"));
            type(editor.XEdit(), QStringLiteral("1.5"));
            type(editor.YEdit(), QStringLiteral("-0.5"));
            QTest::keyClick(editor.YEdit(), Qt::Key_Return);
            return editor.result();
        });
        QTest::mouseClick(offsets.NewButton(), Qt::LeftButton);
        ASSERT_EQ(offsets.Entries().size(), 1);
        EXPECT_EQ(offsets.Entries().first().X, QStringLiteral("1.5"));
        EXPECT_EQ(offsets.Entries().first().Y, QStringLiteral("-0.5"));
    }

    GlobalPrintOffsetChoice.Mode = TPrintOffsetChoice::Named;
    GlobalPrintOffsetChoice.Name = QStringLiteral("Measured");
    ASSERT_TRUE(
        GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
    const TWord shifted = PdfWords(pdf).value(0).value(0);
    ASSERT_EQ(shifted.Text, plain.Text);
    // 1.5 mm right and 0.5 mm up, within a printer pixel (0.12 pt).
    EXPECT_NEAR(shifted.X - plain.X, 1.5 / 25.4 * 72, 0.13);
    EXPECT_NEAR(shifted.Y - plain.Y, -0.5 / 25.4 * 72, 0.13);
}

class CalibrationMenu : public TFillerWindowTest
{
};

TEST_F(CalibrationMenu, PrintsOnThePrinterAndPaperThePrintDialogChose)
{
    TFillerMainForm &w = Start();
    const QString out = dir.filePath(QStringLiteral("menu.pdf"));
    ScriptedDialogs().ExpectPrint([&out](TPrintRequest &request) {
        request.Printer->setOutputFormat(QPrinter::PdfFormat);
        request.Printer->setOutputFileName(out);
        request.Printer->setPageSize(QPageSize(QPageSize::Letter));
        request.Printer->setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    w.Action(QStringLiteral("FilePrintCalibration"))->trigger();
    EXPECT_EQ(PdfPageSizes(out), QStringList {QStringLiteral("792x612")});
    // Turned paper: the lower right crosshair is 30 mm in from the long side's end.
    bool found = false;
    for (const TWord &word : PdfWords(out).value(0))
        found = found || word.Text == QLatin1String("249,");
    EXPECT_TRUE(found);

    QFile::remove(out);
    ScriptedDialogs().ExpectPrint([](TPrintRequest &) { return false; });
    w.Action(QStringLiteral("FilePrintCalibration"))->trigger();
    EXPECT_FALSE(QFile::exists(out));
}

#include "test_calibration.moc"
