#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPrinterService.h"
#include "ScriptedDialogService.h"

#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {
class TPageBox : public TVisualPgCtrl
{
    Q_OBJECT
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

class PrinterPage : public ::testing::Test
{
protected:
    void SetUp() override { PrinterService().DeviceMode() = TDeviceMode(); }
    void TearDown() override { PrinterService().DeviceMode() = TDeviceMode(); }
};
} // namespace

TEST_F(PrinterPage, A4AtThePrintersResolution)
{
    TPrinterPage page(nullptr);
    EXPECT_EQ(page.PageWidth(), 210);
    EXPECT_EQ(page.PageHeight(), 297);
    EXPECT_EQ(page.PageSize(), 9);
    EXPECT_EQ(page.PrinterPixelsPerInchX(), 600);
    EXPECT_EQ(page.PageWidthPixels(), 4961);
    EXPECT_EQ(page.PageHeightPixels(), 7016);

    // Margins of 15 mm each way, as printer pixels of the page.
    const QRect area = page.GetUserArea(pdPrinter);
    EXPECT_EQ(area.left(), 354);
    EXPECT_EQ(area.top(), 354);
    EXPECT_EQ(area.right() + 1, 4961 - 354);
    EXPECT_EQ(area.bottom() + 1, 7016 - 354);
}

TEST_F(PrinterPage, ZoomClampsAndLimitsReclamp)
{
    TPrinterPage page(nullptr);
    page.SetZoom(0);
    EXPECT_EQ(page.Zoom(), 1);
    page.SetZoom(1000);
    EXPECT_EQ(page.Zoom(), 800);
    page.SetZoomMax(300);
    EXPECT_EQ(page.Zoom(), 300);
    page.SetZoomMin(400);
    EXPECT_EQ(page.Zoom(), 400);
    page.ActualSize();
    EXPECT_EQ(page.Zoom(), 400); // below the new minimum
    page.SetZoomMin(1);
    page.ActualSize();
    EXPECT_EQ(page.Zoom(), 100);
}

TEST_F(PrinterPage, FitToPageShowsTheWholeSheet)
{
    TPrinterPage page(nullptr);
    page.resize(800, 600);
    const int zoom = page.FitTo(ftPage, false);
    EXPECT_EQ(page.Zoom(), 100); // not applied
    // Height limits: Trunc((600 - 8) / 96 / (297 / 25.4) * 100).
    EXPECT_EQ(zoom, 52);
    EXPECT_EQ(page.FitTo(ftPage, true), 52);
    EXPECT_EQ(page.Zoom(), 52);
    EXPECT_TRUE(page.rect().contains(page.PaperRect()));
    EXPECT_FALSE(page.VertScrollBar()->isVisibleTo(&page));
    EXPECT_FALSE(page.HorzScrollBar()->isVisibleTo(&page));
    // The sheet is centred in the view.
    EXPECT_NEAR(page.PaperRect().center().x(), 400, 1);

    // Fit to window: the width fit, less a vertical bar, since the page is taller than the view.
    const int window = page.FitTo(ftWindow, true);
    EXPECT_LT(window, 99);
    EXPECT_GT(window, 90);
    EXPECT_TRUE(page.VertScrollBar()->isVisibleTo(&page));
    EXPECT_FALSE(page.HorzScrollBar()->isVisibleTo(&page));
    EXPECT_LE(page.PaperRect().right(), page.ClientRect().right());
}

TEST_F(PrinterPage, AHiddenPageFitsTheAreaItWillShowIn)
{
    TPageControl pages;
    pages.resize(800, 600);
    TPrinterPage *views[2] = {};
    for (TPrinterPage *&view : views)
        view = new TPrinterPage(nullptr, pages.AddPage(QString()));
    pages.show();
    QCoreApplication::processEvents();
    ASSERT_FALSE(views[1]->isVisible());
    EXPECT_EQ(views[1]->FitTo(ftPage, false), views[0]->FitTo(ftPage, false));
    EXPECT_EQ(views[1]->FitTo(ftWindow, false), views[0]->FitTo(ftWindow, false));
    // The tabs' area changes while the page is hidden.
    pages.resize(900, 500);
    QCoreApplication::processEvents();
    const int fitted = views[1]->FitTo(ftPage, true);
    pages.SetActivePageIndex(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(views[1]->size(), views[0]->size());
    EXPECT_EQ(views[1]->FitTo(ftPage, false), fitted);
    EXPECT_TRUE(views[1]->ClientRect().contains(views[1]->PaperRect()));
    EXPECT_FALSE(views[1]->VertScrollBar()->isVisibleTo(views[1]));
}

TEST_F(PrinterPage, ZoomKeepsTheCentreOfTheView)
{
    TPrinterPage page(nullptr);
    page.resize(400, 300);
    page.SetZoom(200);
    QScrollBar *v = page.VertScrollBar();
    v->setValue(v->maximum() / 3);
    const QRect client = page.ClientRect();
    const auto paperPointAtCentre = [&] {
        const QRect paper = page.PaperRect();
        return QPointF(Extended(client.center().x() - paper.left()) / paper.width(),
                       Extended(client.center().y() - paper.top()) / paper.height());
    };
    const QPointF before = paperPointAtCentre();
    page.SetZoom(350);
    const QPointF after = paperPointAtCentre();
    EXPECT_NEAR(before.x(), after.x(), 0.01);
    EXPECT_NEAR(before.y(), after.y(), 0.01);
}

TEST_F(PrinterPage, OrientationPaperCodesAndBadSizes)
{
    TPrinterPage page(nullptr);
    page.SetPageOrientation(poLandscape);
    EXPECT_EQ(page.PageWidth(), 297);
    EXPECT_EQ(page.PageHeight(), 210);
    EXPECT_EQ(PrinterService().DeviceMode().Orientation, poLandscape);
    // Letter, laid on its side like the page.
    page.SetPageSize(1);
    EXPECT_EQ(page.PageWidth(), 279);
    EXPECT_EQ(page.PageHeight(), 216);
    page.SetPageOrientation(poPortrait);
    EXPECT_EQ(page.PageWidth(), 216);

    // A code past the printer's forms keeps the millimetres; paper under 1 mm is refused.
    page.SetPageSize(500);
    EXPECT_EQ(page.PageWidth(), 216);
    page.SetPageWidth(0);
    page.SetPageHeight(-4);
    EXPECT_EQ(page.PageWidth(), 216);
    EXPECT_EQ(page.PageHeight(), 279);

    // Default paper comes from the device mode, in tenths of millimetres.
    PrinterService().DeviceMode().PaperWidth = 1480;
    PrinterService().DeviceMode().PaperLength = 2100;
    PrinterService().DeviceMode().PaperSize = 11;
    TPrinterPage a5(nullptr);
    EXPECT_EQ(a5.PageWidth(), 148);
    EXPECT_EQ(a5.PageHeight(), 210);
    EXPECT_EQ(a5.PageSize(), 11);
    PrinterService().DeviceMode().PaperWidth = 0;
    EXPECT_THROW(TPrinterPage broken(nullptr), EPrinterPageError);
}

TEST_F(PrinterPage, SetPrinterMetricsWritesTheDeviceMode)
{
    ASSERT_TRUE(PrinterPageSetPrinterMetrics(9, 210, 297, poLandscape, true));
    const TDeviceMode &mode = PrinterService().DeviceMode();
    EXPECT_EQ(mode.Orientation, poLandscape);
    EXPECT_EQ(mode.PaperSize, 9);
    EXPECT_EQ(mode.PaperWidth, 2970);
    EXPECT_EQ(mode.PaperLength, 2100);
    EXPECT_FALSE(PrinterPageSetPrinterMetrics(0, 0, 297, poPortrait, false));
    EXPECT_EQ(mode.PaperLength, 2100);
}

TEST_F(PrinterPage, ElementsComeBackToTheirPixelsAfterZooming)
{
    TPageControl pages(nullptr);
    TTabSheet *sheet = pages.AddPage(QStringLiteral("Page 1"));
    auto *page = new TPrinterPage(&pages, sheet);
    pages.resize(940, 760);
    pages.show();
    page->resize(900, 700);
    QList<TPageBox *> boxes;
    for (const QPoint at : {QPoint(90, 130), QPoint(333, 517)}) {
        auto *box = CreateComponent<TPageBox>(&pages);
        box->setParent(page);
        box->setGeometry(QRect(at, QSize(121, 37)));
        box->CalcRelBounds(true, true, true, true, true, true);
        boxes << box;
    }
    const QRect first = boxes[0]->geometry();
    const QRect second = boxes[1]->geometry();
    page->SetZoom(200);
    EXPECT_NE(boxes[0]->geometry(), first);
    EXPECT_NEAR(boxes[1]->width(), 2 * second.width(), 2);
    page->SetZoom(100);
    EXPECT_EQ(boxes[0]->geometry(), first);
    EXPECT_EQ(boxes[1]->geometry(), second);

    // Scrolling moves elements with the sheet; the bars stay above them.
    page->SetZoom(300);
    const QRect before = boxes[1]->geometry();
    const int scrolled = page->VertScrollBar()->value();
    QWheelEvent wheel(QPointF(50, 50), page->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(page, &wheel);
    const int step = page->VertScrollBar()->value() - scrolled;
    EXPECT_GT(step, 0);
    EXPECT_EQ(boxes[1]->geometry().top(), before.top() - step);
    const QObjectList &children = page->children();
    EXPECT_GT(children.indexOf(page->VertScrollBar()), children.indexOf(boxes[1]));
    EXPECT_LT(children.indexOf(page->PaintBox()), children.indexOf(boxes[0]));
}

TEST_F(PrinterPage, SheetAndShadowPaint)
{
    TPrinterPage page(nullptr);
    page.resize(500, 700);
    page.SetZoom(50);
    page.SetShadowColor(clNavy);
    const QImage shot = page.grab().toImage();
    const QRect paper = page.PaperRect();
    EXPECT_EQ(shot.pixelColor(paper.center()), QColor(Qt::white));
    // The shadow shows past the sheet's bottom right corner.
    EXPECT_EQ(shot.pixelColor(paper.right() + 2, paper.bottom() + 2), QColor(0, 0, 128));
    // The margin outline lies inside the sheet.
    const QRect margins = page.GetUserArea(pdScreen).translated(paper.topLeft());
    const auto inked = [&](const QImage &image) {
        int n = 0;
        for (int y = margins.top(); y <= margins.bottom(); ++y)
            n += image.pixelColor(margins.left(), y) != QColor(Qt::white);
        return n;
    };
    EXPECT_GT(inked(shot), margins.height() / 4);
    page.SetShowMargins(false);
    EXPECT_EQ(inked(page.grab().toImage()), 0);
}

#include "test_printer_page.moc"
