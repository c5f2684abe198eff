// The PDF view through the model: content kept inside the document, page
// backgrounds on screen and on the printer, the quick-draw cache, files that
// cannot be shown, the file chooser and the messages other parts send.

#include "CComponentStream.h"
#include "CDocumentBuilder.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CPdfPane.h"
#include "CPlugIns.h"
#include "CPrinterService.h"
#include "CProjectIO.h"
#include "CProjectPrint.h"
#include "CPropEditors.h"
#include "CPropGroups.h"
#include "CPropHelper.h"
#include "GlobalsGuard.h"
#include "PdfWords.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMarginsF>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// A text element that shows its default text, as text boxes do.
class TPdfTestBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

// The main window's part: whether pages draw quickly, and making a view for a file.
class TMainStandIn : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &m) override
    {
        if (m.Msg == VRMSGQuickDrawPDFs)
            m.Result = QuickDraw ? 1 : 0;
        else if (m.Msg == VRMSGCreateElement && (m.WParam & 0xFFFF) == TPdfPane::Kind) {
            auto *pane = CreateComponent<TPdfPane>(GlobalPagesPageControl);
            pane->setParent(GlobalPgScrollBox(0));
            pane->SetName(QStringLiteral("PdfPane%1").arg(++Made));
            m.Result = reinterpret_cast<std::intptr_t>(static_cast<QObject *>(pane));
        }
    }
    bool QuickDraw = false;
    int Made = 0;
};

// A registry that has the PDF view installed, without loading any file.
class TPdfInstalled : public TPlugIns
{
public:
    using TPlugIns::TPlugIns;
    bool Installed(int kind) const override { return kind == TPdfPane::Kind; }
};

bool RunTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit
        && tool.exitCode() == 0;
}

// Pixels of a and b (over the part both cover) whose colours are plainly apart.
double DifferingShare(const QImage &a, const QImage &b)
{
    const int w = qMin(a.width(), b.width());
    const int h = qMin(a.height(), b.height());
    qint64 differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = qMax(qMax(qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q))),
                               qAbs(qBlue(p) - qBlue(q)));
            differing += d > 48 ? 1 : 0;
        }
    return w > 0 && h > 0 ? double(differing) / (double(w) * h) : 1.0;
}

bool NearColour(QRgb pixel, QColor colour)
{
    return qAbs(qRed(pixel) - colour.red()) < 24 && qAbs(qGreen(pixel) - colour.green()) < 24
        && qAbs(qBlue(pixel) - colour.blue()) < 24;
}

// Three pages made by Ghostscript: A4, A5 and a small one turned by 90 degrees.
constexpr const char *kThreePages = R"(%!PS
<< /PageSize [595 842] >> setpagedevice
0.9 0.3 0.2 setrgbcolor 60 600 200 150 rectfill
0 setgray /Helvetica findfont 36 scalefont setfont 72 400 moveto (Page one) show
showpage
<< /PageSize [420 595] >> setpagedevice
0.2 0.4 0.8 setrgbcolor 40 300 300 200 rectfill
0 0.6 0 setrgbcolor 4 setlinewidth 210 200 moveto 100 0 rlineto 0 100 rlineto closepath stroke
0 setgray /Helvetica findfont 28 scalefont setfont 50 100 moveto (Page two) show
showpage
<< /PageSize [300 400] >> setpagedevice
[ {ThisPage} << /Rotate 90 >> /PUT pdfmark
0.1 0.7 0.3 setrgbcolor 20 20 100 300 rectfill
0 setgray /Helvetica findfont 24 scalefont setfont 150 350 moveto (Three) show
showpage
)";

const QColor kPageTwoBlue(51, 102, 204);

class PdfPane : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;

    void SetUp() override
    {
        ScriptedDialogs().Reset();
        if (QStandardPaths::findExecutable(QStringLiteral("ps2pdf")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            GTEST_SKIP() << "ps2pdf (ghostscript) and pdftoppm (poppler-utils) are needed";
        pdf = dir.filePath(QStringLiteral("three.pdf"));
        QFile ps(dir.filePath(QStringLiteral("three.ps")));
        ASSERT_TRUE(ps.open(QIODevice::WriteOnly));
        ps.write(kThreePages);
        ps.close();
        ASSERT_TRUE(RunTool(QStringLiteral("ps2pdf"),
                            {QStringLiteral("-dAutoRotatePages=/None"), ps.fileName(), pdf}));
        PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
        PrinterService().DeviceMode() = TDeviceMode();
        PrinterService().SetBuiltInMargins(QMarginsF());
        GlobalPrintOffsetChoice.Mode = TPrintOffsetChoice::None;
        registry = std::make_unique<TPdfInstalled>(noPlugIns.path() + u'/');
        GlobalPlugIns = registry.get();
    }
    void TearDown() override
    {
        PrinterService().DeviceMode() = TDeviceMode();
        GlobalPrintOffsetChoice = TPrintOffsetChoice();
        ScriptedDialogs().VerifyAllUsed();
    }
    static QByteArray Bytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void Write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // A view of the three pages on page 1 of the document, page 2 of the PDF behind it,
    // on A5 paper, the size of that page.
    TPdfPane *Background(TDocumentBuilder &doc)
    {
        doc.AddPage();
        {
            TGlobalFlagScope adding(GlobalAddingPage);
            doc.Settings(0)->PagePaperProps()->SetPaperSize(11);
        }
        auto *pane = doc.Add<TPdfPane>(0, QStringLiteral("PdfPane1"), QRect(0, 0, 24, 24));
        pane->SetPDFName(pdf);
        TPropGroupPDF *link = doc.Settings(0)->PageBackgroundProps()->PagePDFProps();
        link->SetPDFLink(QStringLiteral("PdfPane1"));
        link->SetPDFPage(2);
        return pane;
    }
    static QImage Screen() { return GlobalPgScrollBox(0)->PaintBox()->grab().toImage(); }
    static int Count(const QImage &image, QColor colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += NearColour(image.pixel(x, y), colour) ? 1 : 0;
        return n;
    }
    // Prints the document onto the built-in printer and renders the result at 150 ppi.
    QImage PrintAndRender(TDocumentBuilder &doc, const QString &name)
    {
        const QString out = dir.filePath(name + QStringLiteral(".pdf"));
        PrinterService().SetOutputFileName(out);
        EXPECT_TRUE(
            GlobalPrintedProject(&doc.Project, QStringLiteral("t"), 0, 0, false, false, nullptr));
        EXPECT_TRUE(RunTool(QStringLiteral("pdftoppm"),
                            {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"),
                             QStringLiteral("-singlefile"), out, dir.filePath(name)}));
        return QImage(dir.filePath(name + QStringLiteral(".png")));
    }
    static int PaintCount(TPdfPane *pane, QPaintDevice &device, int page, const QRect &rect)
    {
        const int before = pane->Renderer().RenderCount();
        QPainter canvas(&device);
        TPaintPDFPageRequest request {&canvas, page, rect};
        SendMessage(pane, VRMSGPaintPDFPage, std::uintptr_t(page),
                    reinterpret_cast<std::intptr_t>(&request));
        return pane->Renderer().RenderCount() - before;
    }

    QTemporaryDir dir;
    QString pdf;
    QTemporaryDir noPlugIns;
    std::unique_ptr<TPdfInstalled> registry;
};
} // namespace

TEST_F(PdfPane, DocumentKeepsThePdfWhenItsFileIsGone)
{
    const QString path = dir.filePath(QStringLiteral("form.vld"));
    const QByteArray original = Bytes(pdf);
    {
        TDocumentBuilder doc;
        TPdfPane *pane = Background(doc);
        EXPECT_EQ(pane->PDF(), original);
        ASSERT_TRUE(doc.Save(path));
    }
    ASSERT_TRUE(QFile::remove(pdf));

    TDocumentBuilder loaded;
    ASSERT_TRUE(LoadDocument(path, loaded.Info));
    auto *pane = qobject_cast<TPdfPane *>(Global_FormElementRef(QStringLiteral("PdfPane1")));
    ASSERT_NE(pane, nullptr);
    // Byte for byte, bytes 0x80 to 0x9F included.
    EXPECT_EQ(pane->PDF(), original);
    EXPECT_EQ(pane->PDFName(), pdf);
    EXPECT_EQ(SendMessage(pane, VRMSGPDFPageSize, 2), 420 | (595 << 16));

    GlobalPgScrollBox(0)->resize(900, 1200);
    const QImage screen = Screen();
    EXPECT_GT(Count(screen, kPageTwoBlue), 10000);

    const QImage printed = PrintAndRender(loaded, QStringLiteral("printed"));
    ASSERT_FALSE(printed.isNull());
    EXPECT_GT(Count(printed, kPageTwoBlue), 100000);
}

TEST_F(PdfPane, PageTwoPrintsBehindTypedTextAsPopplerDrawsIt)
{
    TDocumentBuilder doc;
    Background(doc);
    auto *box = doc.Add<TPdfTestBox>(0, QStringLiteral("Name"), QRect(60, 40, 300, 30));
    box->VisualGeneralProps()->SetGeneralDefaultText(QStringLiteral("Typed over"));

    const QImage printed = PrintAndRender(doc, QStringLiteral("printed"));
    ASSERT_TRUE(RunTool(QStringLiteral("pdftoppm"),
                        {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-f"),
                         QStringLiteral("2"), QStringLiteral("-l"), QStringLiteral("2"),
                         QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf,
                         dir.filePath(QStringLiteral("own"))}));
    const QImage own(dir.filePath(QStringLiteral("own.png")));
    ASSERT_FALSE(printed.isNull());
    ASSERT_FALSE(own.isNull());
    EXPECT_LE(qAbs(printed.width() - own.width()), 1);
    EXPECT_LE(qAbs(printed.height() - own.height()), 1);

    // The typed text lies over the background, so that part is left out of the
    // comparison; the page's own words come as drawn shapes.
    const QList<QList<TWord>> words = PdfWords(dir.filePath(QStringLiteral("printed.pdf")));
    ASSERT_EQ(words.size(), 1);
    QStringList texts;
    for (const TWord &word : words.first())
        texts << word.Text;
    EXPECT_EQ(texts.join(u' '), QStringLiteral("Typed over"));
    QImage background = printed.convertToFormat(QImage::Format_RGB32);
    QImage reference = own.convertToFormat(QImage::Format_RGB32);
    for (const TWord &word : words.first()) {
        const QRect covered
            = QRectF(QPointF(word.X, word.Y) * 150 / 72, QPointF(word.XMax, word.YMax) * 150 / 72)
                  .toAlignedRect()
                  .adjusted(-3, -3, 3, 3);
        QPainter(&background).fillRect(covered, Qt::white);
        QPainter(&reference).fillRect(covered, Qt::white);
    }
    background.save(dir.filePath(QStringLiteral("compared.png")));
    EXPECT_LT(DifferingShare(background, reference), 0.01);
    // The print holds the page, not a blank sheet that would also differ little.
    EXPECT_GT(Count(background, kPageTwoBlue), 100000);
}

TEST_F(PdfPane, PagesTheirSizesTurnedAndOutOfRange)
{
    TDocumentBuilder doc(1);
    auto *pane = doc.Add<TPdfPane>(0, QStringLiteral("PdfPane1"), QRect(0, 0, 24, 24));
    EXPECT_EQ(SendMessage(pane, VRMSGPDFPageSize, 1), 0);
    pane->SetPDFName(pdf);
    EXPECT_TRUE(GlobalProjectChanged);
    EXPECT_EQ(pane->Renderer().PageCount(), 3);
    EXPECT_EQ(SendMessage(pane, VRMSGPDFPageSize, 1), 595 | (842 << 16));
    // The turned page answers as it is shown: wider than high.
    EXPECT_EQ(SendMessage(pane, VRMSGPDFPageSize, 3), 400 | (300 << 16));
    EXPECT_EQ(SendMessage(pane, VRMSGPDFPageSize, 0), 0);
    EXPECT_EQ(SendMessage(pane, VRMSGPDFPageSize, 4), 0);

    QImage canvas(400, 300, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    EXPECT_EQ(PaintCount(pane, canvas, 4, canvas.rect()), 0);
    EXPECT_EQ(PaintCount(pane, canvas, 0, canvas.rect()), 0);
    EXPECT_EQ(Count(canvas, Qt::white), 400 * 300);
    EXPECT_EQ(PaintCount(pane, canvas, 3, canvas.rect()), 1);
    // Turned, the tall green bar lies across the top of the landscape picture.
    const QColor green(26, 179, 77);
    EXPECT_TRUE(NearColour(canvas.pixel(200, 30), green));
    EXPECT_FALSE(NearColour(canvas.pixel(30, 200), green));

    // A background on a page number the document does not have keeps the target and paints nothing.
    TPropGroupPDF *link = doc.Settings(0)->PageBackgroundProps()->PagePDFProps();
    link->SetPDFLink(QStringLiteral("PdfPane1"));
    link->SetPDFPage(9);
    const QRect target(0, 0, 500, 700);
    EXPECT_EQ(GlobalAdjImgRect(target, gisPDF, link, nullptr, 0, true, false), target);
    EXPECT_EQ(Count(Screen(), kPageTwoBlue), 0);
}

TEST_F(PdfPane, FilesThatCannotBeShownAreReportedAndThePreviousContentStays)
{
    TDocumentBuilder doc(1);
    auto *pane = doc.Add<TPdfPane>(0, QStringLiteral("PdfPane1"), QRect(0, 0, 24, 24));
    pane->SetPDFName(pdf);
    const QByteArray kept = pane->PDF();
    GlobalProjectChanged = false;

    const QString missing = dir.filePath(QStringLiteral("gone.pdf"));
    ScriptedDialogs().ExpectMessage(
        mrOk, QStringLiteral("The specified PDF file '%1' could not be found.").arg(missing));
    pane->SetPDFName(missing);

    const QByteArray whole = Bytes(pdf);
    QByteArray noise(4096, Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char &c : noise)
        c = char(random.bounded(256));
    const QString locked = dir.filePath(QStringLiteral("locked.pdf"));
    ASSERT_TRUE(RunTool(
        QStringLiteral("gs"),
        {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
         QStringLiteral("-sDEVICE=pdfwrite"), QStringLiteral("-sOwnerPassword=owner"),
         QStringLiteral("-sUserPassword=user"), QStringLiteral("-dEncryptionR=3"),
         QStringLiteral("-dKeyLength=128"), QStringLiteral("-sOutputFile=") + locked, pdf}));
    const QList<std::pair<QString, QByteArray>> damaged
        = {{QStringLiteral("cut.pdf"), whole.left(whole.size() / 2)},
           {QStringLiteral("tail.pdf"), whole.left(whole.size() - 40)},
           {QStringLiteral("noise.pdf"), noise},
           {QStringLiteral("empty.pdf"), QByteArray()},
           {QStringLiteral("header.pdf"), whole.left(9) + noise + whole.right(200)},
           {QStringLiteral("locked.pdf"), Bytes(locked)}};
    for (const auto &[name, bytes] : damaged) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        if (name != u"locked.pdf")
            Write(path, bytes);
        ScriptedDialogs().ExpectMessage(
            mrOk, QStringLiteral("The specified PDF file '%1' could not be loaded.").arg(path));
        pane->SetPDFName(path);
        EXPECT_EQ(pane->PDFName(), pdf);
        EXPECT_EQ(pane->PDF(), kept);
        EXPECT_EQ(pane->Renderer().PageCount(), 3);
    }
    EXPECT_NE(ScriptedDialogs().Shown().last().Text.indexOf(u"password"), -1);
    EXPECT_FALSE(GlobalProjectChanged);

    // Stored content that cannot be shown is kept as it came and paints nothing.
    auto *broken = doc.Add<TPdfPane>(0, QStringLiteral("PdfPane2"), QRect(0, 0, 24, 24));
    broken->SetPDFText(Windows1252ToString(noise.left(300)));
    EXPECT_EQ(broken->PDF(), noise.left(300));
    EXPECT_EQ(SendMessage(broken, VRMSGPDFPageSize, 1), 0);
}

TEST_F(PdfPane, QuickDrawRendersEachPageAndSizeOnceAndPrintingNeverUsesIt)
{
    // Before the document, whose elements tell the main window as they go.
    TMainStandIn main;
    TDocumentBuilder doc(1);
    GlobalMainForm = &main;
    auto *pane = doc.Add<TPdfPane>(0, QStringLiteral("PdfPane1"), QRect(0, 0, 24, 24));
    pane->SetPDFName(pdf);
    QImage canvas(600, 800, QImage::Format_RGB32);
    canvas.fill(Qt::white);

    main.QuickDraw = true;
    EXPECT_EQ(PaintCount(pane, canvas, 2, QRect(0, 0, 420, 595)), 1);
    EXPECT_EQ(PaintCount(pane, canvas, 2, QRect(10, 10, 420, 595)), 0);
    EXPECT_EQ(PaintCount(pane, canvas, 1, QRect(0, 0, 420, 595)), 1);
    EXPECT_EQ(PaintCount(pane, canvas, 2, QRect(0, 0, 210, 297)), 1);
    EXPECT_EQ(pane->QuickDrawEntries(), 3);
    EXPECT_EQ(PaintCount(pane, canvas, 2, QRect(0, 0, 420, 595)), 0);

    // The printer draws the page anew at its own resolution.
    const QString out = dir.filePath(QStringLiteral("print.pdf"));
    {
        PrinterService().SetOutputFileName(out);
        TPrintJob job;
        ASSERT_TRUE(job.Begin(QStringLiteral("t")));
        QPainter &printer = job.Canvas();
        TPaintPDFPageRequest request {&printer, 2, QRect(0, 0, 420, 595)};
        const int before = pane->Renderer().RenderCount();
        SendMessage(pane, VRMSGPaintPDFPage, 2, reinterpret_cast<std::intptr_t>(&request));
        EXPECT_EQ(pane->Renderer().RenderCount(), before + 1);
    }
    EXPECT_EQ(pane->QuickDrawEntries(), 3);

    // Without quick drawing every paint renders, and the cache goes.
    main.QuickDraw = false;
    EXPECT_EQ(PaintCount(pane, canvas, 2, QRect(0, 0, 420, 595)), 1);
    EXPECT_EQ(pane->QuickDrawEntries(), 0);
    EXPECT_EQ(PaintCount(pane, canvas, 2, QRect(0, 0, 420, 595)), 1);
    // A new file empties the cache as well.
    main.QuickDraw = true;
    EXPECT_EQ(PaintCount(pane, canvas, 2, QRect(0, 0, 420, 595)), 1);
    pane->SetPDFName(QString());
    EXPECT_EQ(pane->QuickDrawEntries(), 0);
    EXPECT_TRUE(pane->PDF().isEmpty());
    EXPECT_EQ(PaintCount(pane, canvas, 2, QRect(0, 0, 420, 595)), 0);
}

TEST_F(PdfPane, BackgroundByFileNameByLinkAndTheMessagesOfOtherParts)
{
    // Before the document, whose elements tell the main window as they go.
    TMainStandIn main;
    TDocumentBuilder doc(1);
    GlobalMainForm = &main;
    // A PDF file name makes a view for the file and shows its first page.
    auto *background = doc.Settings(0)->PageBackgroundProps();
    background->SetPageFileName(pdf);
    ASSERT_EQ(main.Made, 1);
    auto *pane = qobject_cast<TPdfPane *>(Global_FormElementRef(QStringLiteral("PdfPane1")));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(background->PagePDFProps()->PDFLink(), QStringLiteral("PdfPane1"));
    EXPECT_EQ(background->PagePDFProps()->PDFPage(), 1);
    const QColor pageOneRed(230, 77, 51);
    EXPECT_GT(Count(Screen(), pageOneRed), 1000);
    // The same file again finds the view that shows it, whatever the case of the name.
    background->SetPageFileName(pdf);
    EXPECT_EQ(main.Made, 1);
    QString upper = pdf.toUpper();
    EXPECT_EQ(SendMessage(pane, VRMSGPDFNameMatch, 0, reinterpret_cast<std::intptr_t>(&upper)), 0);

    // Linking the page anew takes the view's file name; page 2 shows the blue page.
    background->PagePDFProps()->SetPDFLink(QStringLiteral("PdfPane1"));
    background->PagePDFProps()->SetPDFPage(2);
    EXPECT_EQ(background->PageFileName(), pdf);
    EXPECT_GT(Count(Screen(), kPageTwoBlue), 1000);

    // The name by message, and by the double-click editor's value.
    QString name;
    const auto *held = reinterpret_cast<const QString *>(
        SendMessage(pane, VRMSGGetPDFName, 0, reinterpret_cast<std::intptr_t>(&name)));
    EXPECT_EQ(name, pdf);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(*held, pdf);
    const QString copy = dir.filePath(QStringLiteral("copy.pdf"));
    ASSERT_TRUE(QFile::copy(pdf, copy));
    SendMessage(pane, VRMSGSetPDFName, 0, reinterpret_cast<std::intptr_t>(&copy));
    EXPECT_EQ(pane->PDFName(), copy);
    const QString property = QStringLiteral("pdfname");
    SendMessage(pane, VRMSGDblClickDlgSetPropVal, reinterpret_cast<std::uintptr_t>(&property),
                reinterpret_cast<std::intptr_t>(&pdf));
    EXPECT_EQ(pane->PDFName(), pdf);
}

namespace {
QStringList g_undone;
void RecordUndo(QWidget *, const QString &property, const QString &before, const QString &after)
{
    g_undone << property + u' ' + before + QStringLiteral(" > ") + after;
}
} // namespace

TEST_F(PdfPane, FileChooserIsTheRegisteredEditorAndOneUndoableStep)
{
    TDocumentBuilder doc(1);
    auto *pane = doc.Add<TPdfPane>(0, QStringLiteral("PdfPane1"), QRect(0, 0, 24, 24));
    pane->RegisterPropertyEditors();
    const TPropEditorRegistration *editor
        = FindPropertyEditor(QStringLiteral("PDFName"), QStringLiteral("QString"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->EditorClass, QStringLiteral("TPropEditorPdfPanePDFName"));
    EXPECT_EQ(editor->Kind, TPropEditorKind::Dialog);
    EXPECT_TRUE(pane->PropHelper()->Translated(QStringLiteral("PDFName")));
    EXPECT_EQ(GlobalGeneralString, QStringLiteral("PDF File Name"));
    EXPECT_EQ(pane->HlpCtx(QStringLiteral("PDFName")), 30);
    EXPECT_FALSE(pane->ShowOnPlugInPalette());

    ScriptedDialogs().ExpectOpenFile(pdf);
    EXPECT_TRUE(PropEditorEditDialog(pane, QStringLiteral("PDFName")));
    EXPECT_EQ(pane->PDFName(), pdf);
    EXPECT_EQ(ScriptedDialogs().Shown().last().Caption, QStringLiteral("PDF File"));
    ScriptedDialogs().ExpectOpenFile(QString());
    EXPECT_FALSE(PropEditorEditDialog(pane, QStringLiteral("PDFName")));
    EXPECT_EQ(pane->PDFName(), pdf);

    g_undone.clear();
    GlobalRecordDblClickUndo = &RecordUndo;
    const QString copy = dir.filePath(QStringLiteral("copy.pdf"));
    ASSERT_TRUE(QFile::copy(pdf, copy));
    ScriptedDialogs().ExpectOpenFile(copy);
    QString value;
    EXPECT_TRUE(pane->ShowPropEditor(QStringLiteral("PDFName"), true, value));
    EXPECT_EQ(value, copy);
    EXPECT_EQ(g_undone,
              QStringList(QStringLiteral("PDFName ") + pdf + QStringLiteral(" > ") + copy));
    // A file that cannot be taken is no step.
    Write(dir.filePath(QStringLiteral("bad.pdf")), "%PDF-1.4 nothing");
    ScriptedDialogs().ExpectOpenFile(dir.filePath(QStringLiteral("bad.pdf")));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("could not be loaded"));
    EXPECT_FALSE(pane->ShowPropEditor(QStringLiteral("PDFName"), true, value));
    EXPECT_EQ(value, copy);
    EXPECT_EQ(g_undone.size(), 1);
}

#include "test_pdfpane.moc"
