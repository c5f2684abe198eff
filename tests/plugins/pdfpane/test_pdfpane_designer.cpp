// The PDF view loaded as a plug-in into the designer: a PDF chosen as a page's
// background file makes a view that holds the file and shows its first page.

#include "DesignerTestWindow.h"

#include <QProcess>
#include <QStandardPaths>

namespace {
using PdfPaneInDesigner = DesignerWindowTest;
} // namespace

TEST_F(PdfPaneInDesigner, APdfAsThePageFileMakesAViewThatShowsItsFirstPage)
{
    if (QStandardPaths::findExecutable(QStringLiteral("ps2pdf")).isEmpty())
        GTEST_SKIP() << "ps2pdf (ghostscript) is needed to write the PDF";
    const QString ps = dir.filePath(QStringLiteral("red.ps"));
    const QString pdf = dir.filePath(QStringLiteral("red.pdf"));
    {
        QFile file(ps);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("%!PS\n<< /PageSize [595 842] >> setpagedevice\n"
                   "0.9 0.3 0.2 setrgbcolor 60 300 400 400 rectfill showpage\n");
    }
    QProcess ps2pdf;
    ps2pdf.start(QStringLiteral("ps2pdf"), {ps, pdf});
    ASSERT_TRUE(ps2pdf.waitForFinished(60000) && ps2pdf.exitCode() == 0);

    StartWithPlugIns();
    Trigger("FileNewPaper");
    ScriptedDialogs().ExpectOpenFile(pdf);
    QString value;
    ASSERT_TRUE(GlobalPgProps(0)->ShowPropEditor(QStringLiteral("PageFileName"), true, value));
    EXPECT_EQ(value, pdf);
    const TPropGroupPDF *link = GlobalPgProps(0)->PageBackgroundProps()->PagePDFProps();
    EXPECT_EQ(link->PDFPage(), 1);
    QObject *pane = Global_FormElementRef(link->PDFLink());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->property("ClassTypeID").toInt(), 100);
    // The kind's own size, not one read from whatever the request carried.
    const auto *paneWidget = qobject_cast<QWidget *>(pane);
    ASSERT_NE(paneWidget, nullptr);
    EXPECT_LE(paneWidget->width(), 200);
    EXPECT_LE(paneWidget->height(), 200);
    EXPECT_EQ(pane->property("PDFName").toString(), pdf);
    EXPECT_EQ(SendMessage(pane, VRMSGPDFPageSize, 1), 595 | (842 << 16));

    const QImage shown = window->ActivePage()->PaintBox()->grab().toImage();
    int red = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb p = shown.pixel(x, y);
            red += qAbs(qRed(p) - 230) < 24 && qAbs(qGreen(p) - 77) < 24
                && qAbs(qBlue(p) - 51) < 24;
        }
    EXPECT_GT(red, 20000);

    // Renamed, the view keeps the page showing it, and undo takes both names back.
    const QString first = link->PDFLink();
    ASSERT_TRUE(window->Rename(pane, QStringLiteral("Brochure")));
    EXPECT_EQ(link->PDFLink(), QStringLiteral("Brochure"));
    window->EditCommand(TDesignerMainForm::ecUndo);
    EXPECT_EQ(Global_FormElementRef(first), pane);
    EXPECT_EQ(link->PDFLink(), first);
}
