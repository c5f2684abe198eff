// A page with a PDF background zoomed from 25 % to 400 % in steps, with quick
// drawing on: the PDF view renders each size once, and a repaint at the same
// zoom renders nothing new. Beside it, poppler alone renders the same page at
// the same sizes; the time per page of both is printed after the runs. The
// view's time is the whole page paint: the sheet's fill, the render, and the
// image drawn twice (first paint and repaint).

#include "BenchDocument.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CPdfPane.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <poppler-qt6.h>
#include <string>

namespace {
constexpr int kZooms[] = {25, 50, 75, 100, 125, 150, 200, 300, 400};
constexpr int kSteps = int(std::size(kZooms));
// A4 at the screen's 96 pixels per inch, as the page view shows it at 100 %.
constexpr QSize kSheet(794, 1123);

class TMainWindowStandIn : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGQuickDrawPDFs)
            message.Result = 1;
    }
};

// One A4 page of a printed form: ruled boxes, labels and a shaded header.
QString WriteFormPdf(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("form.pdf"));
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    QPainter painter(&writer);
    painter.fillRect(QRect(150, 150, 2180, 200), QColor(210, 225, 245));
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    for (int row = 0; row < 40; ++row) {
        const int y = 420 + row * 75;
        painter.drawText(QPoint(160, y + 50), QStringLiteral("Field %1 of the form").arg(row + 1));
        for (int cell = 0; cell < 20; ++cell)
            painter.drawRect(QRect(900 + cell * 70, y + 5, 60, 60));
    }
    return path;
}

QRect SheetAt(int zoom)
{
    return QRect(0, 0, TPrinterPage::Scale(zoom, kSheet.width()),
                 TPrinterPage::Scale(zoom, kSheet.height()));
}

// The page's background through the PDF view, as the page surface paints it.
void BM_ZoomStepsPdfView(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString pdf = WriteFormPdf(dir);
    TMainWindowStandIn mainWindow;
    TDocumentBuilder doc(1);
    GlobalMainForm = &mainWindow;
    auto *pane = doc.Add<TPdfPane>(0, QStringLiteral("PdfPane1"), QRect(0, 0, 24, 24));
    pane->SetPDFName(pdf);
    TPropGroupPDF *link = doc.Settings(0)->PageBackgroundProps()->PagePDFProps();
    link->SetPDFLink(QStringLiteral("PdfPane1"));
    link->SetPDFPage(1);
    QList<QImage> canvases;
    for (const int zoom : kZooms)
        canvases << QImage(SheetAt(zoom).size(), QImage::Format_ARGB32_Premultiplied);

    bool onceEach = true;
    for (auto _ : state) {
        pane->DropQuickDraw();
        for (int step = 0; step < kSteps; ++step) {
            QImage &canvas = canvases[step];
            const QRect sheet = SheetAt(kZooms[step]);
            for (int paint = 0; paint < 2; ++paint) {
                const int before = pane->Renderer().RenderCount();
                QPainter painter(&canvas);
                TProjectPagePaintBox::PaintBackground(painter, sheet, sheet, 0, true);
                onceEach = onceEach && pane->Renderer().RenderCount() - before == (paint ? 0 : 1);
            }
        }
    }
    if (!onceEach)
        state.SkipWithError("a size was rendered other than once");
    state.counters["sizes"] = kSteps;
}

// Poppler alone, rendering the same page at the same sizes.
void BM_ZoomStepsPopplerAlone(benchmark::State &state)
{
    QTemporaryDir dir;
    QFile file(WriteFormPdf(dir));
    file.open(QIODevice::ReadOnly);
    const std::unique_ptr<Poppler::Document> document
        = Poppler::Document::loadFromData(file.readAll());
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    const std::unique_ptr<Poppler::Page> page = document->page(0);
    const QSizeF points = page->pageSizeF();
    for (auto _ : state)
        for (const int zoom : kZooms) {
            const QRect sheet = SheetAt(zoom);
            // The page is as wide as the sheet; the view draws it the same way.
            const QImage image = page->renderToImage(72.0 * sheet.width() / points.width(),
                                                     72.0 * sheet.width() / points.width(), 0, 0,
                                                     sheet.width(), sheet.height());
            benchmark::DoNotOptimize(image.constBits());
        }
    state.counters["sizes"] = kSteps;
}

// A repaint at 100 % from the cache: nothing is rendered.
void BM_RepaintSameZoom(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString pdf = WriteFormPdf(dir);
    TMainWindowStandIn mainWindow;
    TDocumentBuilder doc(1);
    GlobalMainForm = &mainWindow;
    auto *pane = doc.Add<TPdfPane>(0, QStringLiteral("PdfPane1"), QRect(0, 0, 24, 24));
    pane->SetPDFName(pdf);
    TPropGroupPDF *link = doc.Settings(0)->PageBackgroundProps()->PagePDFProps();
    link->SetPDFLink(QStringLiteral("PdfPane1"));
    link->SetPDFPage(1);
    const QRect sheet = SheetAt(100);
    QImage canvas(sheet.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&canvas);
        TProjectPagePaintBox::PaintBackground(painter, sheet, sheet, 0, true);
    }
    const int before = pane->Renderer().RenderCount();
    for (auto _ : state) {
        QPainter painter(&canvas);
        TProjectPagePaintBox::PaintBackground(painter, sheet, sheet, 0, true);
    }
    if (pane->Renderer().RenderCount() != before)
        state.SkipWithError("a repaint at the same zoom rendered the page again");
}

BENCHMARK(BM_ZoomStepsPdfView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomStepsPopplerAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintSameZoom)->Unit(benchmark::kMillisecond);

class TPerPageReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (!run.error_occurred)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto view = m_times.find("BM_ZoomStepsPdfView");
        const auto alone = m_times.find("BM_ZoomStepsPopplerAlone");
        if (view == m_times.end() || alone == m_times.end())
            return;
        std::printf("zoom 25 %% to 400 %% in %d steps: %.2f ms a page through the PDF view "
                    "(the sheet filled, the page rendered once and drawn, then repainted from "
                    "the cache), %.2f ms a page rendered by poppler alone (ratio %.2f)\n",
                    kSteps, view->second / kSteps, alone->second / kSteps,
                    view->second / alone->second);
        if (const auto repaint = m_times.find("BM_RepaintSameZoom"); repaint != m_times.end())
            std::printf("repaint at 100 %%: %.3f ms, nothing rendered\n", repaint->second);
    }

private:
    std::map<std::string, double> m_times;
};
} // namespace

int main(int argc, char **argv)
{
    TPerPageReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
