// The employee example filled in through the window and printed to PDF: the
// text must land where the form was designed, as on pre-printed paper.

#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CPrinterService.h"
#include "CPrnOfsSelectDlg.h"
#include "CProjectProps.h"
#include "CPropGroups.h"
#include "Cini.h"
#include "ExampleForms.h"
#include "GlobalsGuard.h"
#include "PdfWords.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QMarginsF>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
constexpr double kPointsPerMm = 72 / 25.4;
// The comb boxes as the example generator lays them out.
constexpr double kCombBoxMm = 6;
constexpr double kCombPitchMm = 7;

// Where an element's text may start and end, in millimetres from the paper's
// corner: its place on the page inside border and pad.
struct TDesigned
{
    QRectF Outer;
    QRectF Inner;
};

TDesigned Designed(TVisualPgCtrl *element)
{
    const TPrinterPage *page = element->ParentPage();
    const double mmX = 25.4 / page->ScreenPixelsPerInchX() * 100 / page->Zoom();
    const double mmY = 25.4 / page->ScreenPixelsPerInchY() * 100 / page->Zoom();
    const QPoint at = element->geometry().topLeft() - page->PaperRect().topLeft();
    const QRectF outer(at.x() * mmX, at.y() * mmY, element->width() * mmX, element->height() * mmY);
    const double border = element->VisualBorderProps()->BorderWidth();
    const TPropGroupPad *pad = element->VisualPadProps();
    // Border and pad are pixels at 100 %.
    const double px = 25.4 / page->ScreenPixelsPerInchX();
    const QRectF inner
        = outer.adjusted((border + pad->PadLeft()) * px, (border + pad->PadTop()) * px,
                         -(border + pad->PadRight()) * px, -(border + pad->PadBottom()) * px);
    return {outer, inner};
}

class PrintedExample : public ::testing::Test
{
protected:
    // First, so that it puts the globals back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
        PrinterService().DeviceMode() = TDeviceMode();
        const QString path = dir.filePath(QStringLiteral("employee.vld"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELORA_BUILD_DIR "/examples/Employee.vld"), path));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        window = StartFillerWindow(QStringLiteral(VELORA_BIN_DIR "/"), path);
        ASSERT_TRUE(window->HasDocument());
        Fill("FullName", QStringLiteral("Grace Hopper"));
        Fill("Address", QStringLiteral("12 Harbour Road"));
        Fill("Email", QStringLiteral("grace@example.com"));
        Fill("Salary", QStringLiteral("98765.4"));
        Fill("NationalId", QStringLiteral("AB1234567"));
        // Designed places are read at actual size.
        QTest::keyClick(window.get(), Qt::Key_F7);
    }
    void TearDown() override
    {
        window.reset();
        PrinterService().DeviceMode() = TDeviceMode();
        PrinterService().SetBuiltInMargins(QMarginsF());
        ScriptedDialogs().VerifyAllUsed();
    }
    static void Fill(const char *name, const QString &text)
    {
        ClickInto(name);
        TypeInto(text);
    }
    QList<TWord> Print(const QString &name)
    {
        const QString pdf = dir.filePath(name);
        PrinterService().SetOutputFileName(pdf);
        EXPECT_TRUE(window->Print(false, false, 0, 1, 0, 0));
        const auto pages = PdfWords(pdf);
        EXPECT_EQ(pages.size(), 1);
        return pages.value(0);
    }
    static const TWord *Find(const QList<TWord> &words, const QString &text)
    {
        for (const TWord &word : words)
            if (word.Text == text)
                return &word;
        return nullptr;
    }

    QTemporaryDir dir;
    std::unique_ptr<TFillerMainForm> window;
};
} // namespace

TEST_F(PrintedExample, TextLandsWhereTheFormWasDesigned)
{
    const QList<TWord> words = Print(QStringLiteral("plain.pdf"));
    const double tolerance = 0.25 * kPointsPerMm;

    // Left-aligned boxes start at the inner left edge; the salary ends at the inner right.
    struct TCase
    {
        const char *Element;
        const char *FirstWord;
        bool RightAligned;
    };
    for (const TCase &c :
         {TCase {"FullName", "Grace", false}, TCase {"Address", "12", false},
          TCase {"Email", "grace@example.com", false}, TCase {"Salary", "98,765.40", true}}) {
        const TWord *word = Find(words, QString::fromLatin1(c.FirstWord));
        ASSERT_NE(word, nullptr) << c.FirstWord;
        const QRectF inner = Designed(Element(c.Element)).Inner;
        const double expectedX = (c.RightAligned ? inner.right() : inner.left()) * kPointsPerMm;
        const double actualX = c.RightAligned ? word->XMax : word->X;
        EXPECT_NEAR(actualX, expectedX, tolerance) << c.Element;
        // One-line boxes centre their line, the address starts at the top.
        const bool centred
            = Element(c.Element)->VisualParagraphProps()->ParagraphVertAlign() == taVerticalCenter;
        if (centred)
            EXPECT_NEAR((word->Y + word->YMax) / 2, inner.center().y() * kPointsPerMm, tolerance)
                << c.Element;
        else
            EXPECT_NEAR(word->Y, inner.top() * kPointsPerMm, tolerance) << c.Element;
    }

    // Each comb character sits in the middle of its own box.
    const QRectF comb = Designed(Element(QStringLiteral("NationalId"))).Outer;
    const QString id = QStringLiteral("AB1234567");
    for (int i = 0; i < id.size(); ++i) {
        const TWord *word = Find(words, id.mid(i, 1));
        ASSERT_NE(word, nullptr) << i;
        const double boxLeft = comb.left() + i * kCombPitchMm;
        const double middle = (word->X + word->XMax) / 2 / kPointsPerMm;
        EXPECT_NEAR(middle, boxLeft + kCombBoxMm / 2, 0.25) << "box " << i;
        EXPECT_NEAR((word->Y + word->YMax) / 2 / kPointsPerMm, comb.center().y(), 0.25)
            << "box " << i;
    }
}

TEST_F(PrintedExample, ASavedOffsetMovesEveryTextAndNothingElse)
{
    const QList<TWord> plain = Print(QStringLiteral("plain.pdf"));
    const QStringList paper = PdfPageSizes(dir.filePath(QStringLiteral("plain.pdf")));
    const QString section = QString::fromLatin1(CPRINTER_OFFSETS_SECTION);
    INIWriteStr(GlobalAppINI, section, QStringLiteral("0"),
                Global_EncodeSavedPrnOfs({QString(), QStringLiteral("Pre-printed stock"),
                                          TPrinterService::BuiltInPrinterName,
                                          QStringLiteral("2.5"), QStringLiteral("-1.0")}));
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        dialog.accept();
        return dialog.result();
    });
    const QList<TWord> shifted = Print(QStringLiteral("shifted.pdf"));
    EXPECT_EQ(PdfPageSizes(dir.filePath(QStringLiteral("shifted.pdf"))), paper);
    ASSERT_EQ(shifted.size(), plain.size());
    ASSERT_GT(plain.size(), 10);
    for (int i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(shifted[i].Text, plain[i].Text);
        EXPECT_NEAR(shifted[i].X - plain[i].X, 2.5 * kPointsPerMm, 0.15)
            << plain[i].Text.toStdString();
        EXPECT_NEAR(shifted[i].Y - plain[i].Y, -1.0 * kPointsPerMm, 0.15)
            << plain[i].Text.toStdString();
    }
}

TEST_F(PrintedExample, APrinterThatCannotPrintToTheEdgeMovesNothing)
{
    const QList<TWord> plain = Print(QStringLiteral("plain.pdf"));
    PrinterService().SetBuiltInMargins(QMarginsF(4.23, 3.17, 0, 0));
    const QList<TWord> margined = Print(QStringLiteral("margined.pdf"));
    ASSERT_EQ(margined.size(), plain.size());
    ASSERT_GT(plain.size(), 10);
    // Within a printer pixel (0.12 pt); the margins themselves are 12 and 9 points.
    for (int i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(margined[i].Text, plain[i].Text);
        EXPECT_NEAR(margined[i].X, plain[i].X, 0.15) << plain[i].Text.toStdString();
        EXPECT_NEAR(margined[i].Y, plain[i].Y, 0.15) << plain[i].Text.toStdString();
    }
}

TEST_F(PrintedExample, ValuesOnlyPrintsTheTypedTextAndNothingElse)
{
    // Pre-printed stationery: the paper has the form, the print adds the values.
    GlobalPgProps(0)->PageBackgroundProps()->SetPagePublish(false);
    for (const char *name : {"FullName", "Address", "Email", "Salary", "NationalId"}) {
        TVisualPgCtrl *element = Element(name);
        element->VisualBorderProps()->SetBorderPublish(false);
        element->VisualFillProps()->SetFillPublish(false);
        TPropGroupFixed *boxes = element->VisualParagraphProps()->ParagraphFixed();
        boxes->FixedBorderProps()->SetBorderPublish(false);
        boxes->FixedFillProps()->SetFillPublish(false);
    }
    const QList<TWord> words = Print(QStringLiteral("values.pdf"));
    QStringList texts;
    for (const TWord &word : words)
        texts << word.Text;
    EXPECT_EQ(texts.join(u' '),
              QStringLiteral("Grace Hopper 12 Harbour Road grace@example.com "
                             "98,765.40 A B 1 2 3 4 5 6 7"));

    // Rendered, every inked pixel belongs to one of those words.
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-gray"),
                  QStringLiteral("-png"), QStringLiteral("-singlefile"),
                  dir.filePath(QStringLiteral("values.pdf")),
                  dir.filePath(QStringLiteral("values"))});
    ASSERT_TRUE(render.waitForFinished(30000));
    const QImage page(dir.filePath(QStringLiteral("values.png")));
    ASSERT_FALSE(page.isNull());
    int stray = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) > 0xF0)
                continue;
            const bool inWord = std::any_of(words.begin(), words.end(), [&](const TWord &w) {
                return x >= w.X - 1 && x <= w.XMax + 1 && y >= w.Y - 1 && y <= w.YMax + 1;
            });
            stray += inWord ? 0 : 1;
        }
    EXPECT_EQ(stray, 0);
}
