// Text in several scripts typed into the employee example and printed: read back
// from the PDF in logical order, in the right places, drawn with real glyphs.

#include "CPrinterPage.h"
#include "CPrinterService.h"
#include "CPropGroups.h"
#include "CWYSIWYGEngine.h"
#include "ExampleForms.h"
#include "PdfWords.h"
#include "TypeScript.h"

#include <QFontDatabase>
#include <QImage>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <algorithm>

namespace {
constexpr double kPointsPerMm = 72 / 25.4;

// Where an element's text may go, inside border and pad, in points from the paper's corner.
QRectF InnerPoints(TVisualPgCtrl *element)
{
    const TPrinterPage *page = element->ParentPage();
    const double mm = 25.4 / page->ScreenPixelsPerInchX() * 100 / page->Zoom();
    const QPoint at = element->geometry().topLeft() - page->PaperRect().topLeft();
    const double inset
        = (element->VisualBorderProps()->BorderWidth() + element->VisualPadProps()->PadLeft())
        * 25.4 / page->ScreenPixelsPerInchX();
    const QRectF outer(at.x() * mm, at.y() * mm, element->width() * mm, element->height() * mm);
    return QRectF(outer.adjusted(inset, inset, -inset, -inset).topLeft() * kPointsPerMm,
                  outer.adjusted(inset, inset, -inset, -inset).size() * kPointsPerMm);
}

bool HasFontFor(QFontDatabase::WritingSystem system)
{
    return !QFontDatabase::families(system).isEmpty();
}

// The page's text as pdftotext reads it, right-to-left runs in logical order;
// without the direction marks it adds and with presentation forms unfolded.
QString PdfText(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    tool.waitForFinished(30000);
    QString text
        = QString::fromUtf8(tool.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    static const QRegularExpression marks(QStringLiteral("[\\x{202A}-\\x{202E}]"));
    return text.remove(marks);
}

// A word pdftotext -bbox gives in the order its letters stand on the page.
QString Visual(const QString &logical)
{
    QString text = logical;
    std::reverse(text.begin(), text.end());
    return text;
}

// Fonts a PDF embeds, as pdffonts lists them.
QString PdfFonts(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdffonts"), {pdf});
    tool.waitForFinished(30000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The page rendered at 150 ppi, in grey.
QImage Rendered(const QString &pdf)
{
    QProcess tool;
    const QString base = pdf + QStringLiteral(".render");
    tool.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-gray"),
                QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, base});
    tool.waitForFinished(30000);
    return QImage(base + QStringLiteral(".png"));
}

class PrintedScripts : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
        PrinterService().DeviceMode() = TDeviceMode();
        window = OpenExample(dir, "Employee.vld");
        QTest::keyClick(window.get(), Qt::Key_F7);
        // Required for printing.
        Fill("Email", QStringLiteral("grace@example.com"));
    }
    void TearDown() override
    {
        window.reset();
        ScriptedDialogs().VerifyAllUsed();
    }
    static void Fill(const char *name, const QString &text)
    {
        ClickInto(name);
        TypeScript(text);
    }
    QString Print(const QString &name)
    {
        const QString pdf = dir.filePath(name);
        PrinterService().SetOutputFileName(pdf);
        EXPECT_TRUE(window->Print(false, false, 0, 1, 0, 0));
        // Kept for a look, or to compare positions between builds.
        const QString keep
            = QProcessEnvironment::systemEnvironment().value(QStringLiteral("VELORA_KEEP_PDF_DIR"));
        if (!keep.isEmpty()) {
            QFile::remove(keep + u'/' + name);
            QFile::copy(pdf, keep + u'/' + name);
        }
        return pdf;
    }

    QTemporaryDir dir;
    std::unique_ptr<TFillerMainForm> window;
};
} // namespace

TEST_F(PrintedScripts, LatinCyrillicAndChinese)
{
    Fill("FullName", QStringLiteral("Zoë Ångström-Núñez"));
    Fill("Address", QStringLiteral("12 Harbour Road\rПривет мир\r你好世界"));
    Fill("Salary", QStringLiteral("98765.4"));
    Fill("NationalId", QStringLiteral("AB1234567"));
    const QList<TWord> words = PdfWords(Print(QStringLiteral("latin.pdf"))).value(0);
    QStringList texts;
    for (const TWord &word : words)
        texts << word.Text;
    EXPECT_EQ(texts.join(u' '),
              QStringLiteral("Zoë Ångström-Núñez 12 Harbour Road Привет мир 你好世界 "
                             "grace@example.com 98,765.40 A B 1 2 3 4 5 6 7"));
}

TEST_F(PrintedScripts, HebrewReadsRightToLeftFromTheRightEdge)
{
    if (!HasFontFor(QFontDatabase::Hebrew))
        GTEST_SKIP() << "no Hebrew font installed (./velora setup installs one)";
    Fill("FullName", QStringLiteral("שלום עולם"));
    Fill("Address", QStringLiteral("Total: שלום 123 ok"));
    const QString pdf = Print(QStringLiteral("hebrew.pdf"));
    const QStringList lines = PdfText(pdf).split(u'\n');
    EXPECT_TRUE(lines.contains(QStringLiteral("שלום עולם"))) << lines.join(u'|').toStdString();
    const QList<TWord> words = PdfWords(pdf).value(0);
    const auto find = [&](const QString &text) -> const TWord * {
        for (const TWord &word : words)
            if (word.Text == text)
                return &word;
        return nullptr;
    };
    const TWord *first = find(Visual(QStringLiteral("שלום")));
    const TWord *second = find(Visual(QStringLiteral("עולם")));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    // The first word read stands right of the second; the line ends at the box's
    // right edge, where a right-to-left paragraph starts.
    EXPECT_GT(first->X, second->XMax);
    const QRectF inner = InnerPoints(Element("FullName"));
    EXPECT_NEAR(first->XMax, inner.right(), 0.5 * kPointsPerMm);
    EXPECT_GT(second->X, inner.center().x());

    // In a left-to-right line the Hebrew and the number after it read right to left
    // as one run, the number keeping its own order.
    const TWord *total = find(QStringLiteral("Total:"));
    const TWord *number = find(QStringLiteral("123"));
    ASSERT_NE(total, nullptr);
    ASSERT_NE(number, nullptr);
    EXPECT_NEAR(total->X, InnerPoints(Element("Address")).left(), 0.5 * kPointsPerMm);
    EXPECT_GT(number->X, total->XMax);
    const TWord *shalom = nullptr;
    for (const TWord &word : words)
        if (word.Text == Visual(QStringLiteral("שלום")) && word.Y > first->YMax)
            shalom = &word;
    ASSERT_NE(shalom, nullptr);
    EXPECT_GT(shalom->X, number->XMax);
}

TEST_F(PrintedScripts, ArabicLettersJoin)
{
    if (!HasFontFor(QFontDatabase::Arabic))
        GTEST_SKIP() << "no Arabic font installed (./velora setup installs one)";
    const QString word = QStringLiteral("مرحبا");
    Fill("FullName", word);
    TVisualPgCtrl *box = Element("FullName");
    const TWYSIWYGEngine *engine = box->WYSIWYGEngine();
    // Joined letters are narrower than the same letters standing alone.
    Extended isolated = 0;
    for (QChar letter : word)
        isolated += engine->TextWidth(QStringView(&letter, 1));
    EXPECT_LT(engine->TextWidth(word), isolated * 0.95);
    // Right to left from the box's right edge, the first letter rightmost.
    EXPECT_GT(engine->TextData(0)->X, engine->TextData(4)->X);

    const QString pdf = Print(QStringLiteral("arabic.pdf"));
    EXPECT_TRUE(PdfText(pdf).contains(word));
    const QImage page = Rendered(pdf);
    ASSERT_FALSE(page.isNull());
    // The ink drawn in the box's line is as wide as the joined word, not the loose letters.
    const QRectF inner = InnerPoints(box);
    const double scale = 150 / 72.0;
    int left = page.width();
    int right = -1;
    for (int y = int(inner.top() * scale); y < int(inner.bottom() * scale); ++y)
        for (int x = int(inner.left() * scale); x < int(inner.right() * scale); ++x)
            if (qGray(page.pixel(x, y)) < 0x80) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, left);
    const double inkMm = (right - left + 1) / scale / kPointsPerMm;
    const double isolatedMm = double(isolated) / WYSIWYGEnginePrnPgRefPixelsPerInchX() * 25.4;
    EXPECT_LT(inkMm, isolatedMm * 0.95);
    EXPECT_GT(inkMm, isolatedMm * 0.4);
}

TEST_F(PrintedScripts, DevanagariDrawsInAFontThatHasIt)
{
    if (!HasFontFor(QFontDatabase::Devanagari))
        GTEST_SKIP() << "no Devanagari font installed (./velora setup installs fonts-lohit-deva)";
    Fill("FullName", QStringLiteral("नमस्ते दुनिया"));
    const QString pdf = Print(QStringLiteral("devanagari.pdf"));
    // Drawn in a font with Devanagari: none of the element's own, whose boxes would show.
    const QString fonts = PdfFonts(pdf);
    EXPECT_TRUE(fonts.contains(QStringLiteral("Lohit"), Qt::CaseInsensitive)
                || fonts.contains(QStringLiteral("Deva"), Qt::CaseInsensitive))
        << fonts.toStdString();
    QStringList texts;
    for (const TWord &word : PdfWords(pdf).value(0))
        texts << word.Text;
    EXPECT_TRUE(texts.join(u' ').contains(QStringLiteral("नम"))) << texts.join(u' ').toStdString();
}

TEST_F(PrintedScripts, CommandLinePrintIsQuietAboutFontsLackingAScript)
{
    if (!HasFontFor(QFontDatabase::Devanagari))
        GTEST_SKIP() << "no Devanagari font installed (./velora setup installs fonts-lohit-deva)";
    Fill("FullName", QStringLiteral("नमस्ते दुनिया"));
    const QString document = dir.filePath(QStringLiteral("Employee.vld"));
    ASSERT_TRUE(window->Save());
    QProcess filler;
    filler.setProcessEnvironment([] {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }());
    const QString pdf = dir.filePath(QStringLiteral("command.pdf"));
    filler.start(QStringLiteral(VELORA_BIN_DIR "/VeloraFiller"),
                 {QStringLiteral("--print-to-pdf"), pdf, document});
    ASSERT_TRUE(filler.waitForFinished(60000));
    const QString errors = QString::fromUtf8(filler.readAllStandardError());
    EXPECT_EQ(filler.exitCode(), 0) << errors.toStdString();
    EXPECT_TRUE(PdfFonts(pdf).contains(QStringLiteral("Lohit"), Qt::CaseInsensitive));
    EXPECT_FALSE(errors.contains(QStringLiteral("OpenType"))) << errors.toStdString();
}
