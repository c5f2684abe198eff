// Printing the 5,000-element benchmark document to PDF through the programs'
// print path, beside the floor: QPdfWriter drawing the same texts at the
// same places with plain QPainter::drawText, in the same run.

#include "BenchDocument.h"
#include "CAppPaths.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CPrinterService.h"
#include "CProjectPrint.h"

#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
QTemporaryDir &Folder()
{
    static QTemporaryDir dir;
    return dir;
}

void BM_PrintProject(benchmark::State &state)
{
    TDocumentBuilder doc;
    BuildBenchDocument(doc);
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    PrinterService().SetOutputFileName(Folder().filePath(QStringLiteral("print.pdf")));
    for (auto _ : state)
        benchmark::DoNotOptimize(GlobalPrintedProject(&doc.Project, QStringLiteral("bench"), 0,
                                                      CBENCH_PAGES - 1, false, false, nullptr));
    state.counters["per_page"]
        = benchmark::Counter(double(state.iterations()) * CBENCH_PAGES,
                             benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PrintProject)->Unit(benchmark::kMillisecond);

// The floor: the same texts at the same places, drawn straight onto a PDF.
void BM_PlainDrawText(benchmark::State &state)
{
    // Element rectangles are screen pixels of the paper at 100 %.
    const double toPrinter = 600.0 / 96.0;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qRound(10 * 600 / 72.0));
    for (auto _ : state) {
        QPdfWriter writer(Folder().filePath(QStringLiteral("plain.pdf")));
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        painter.setFont(font);
        for (int page = 0; page < CBENCH_PAGES; ++page) {
            if (page > 0)
                writer.newPage();
            for (int i = 0; i < CBENCH_PER_PAGE; ++i) {
                const QRect r = BenchRect(i);
                const QRectF at(r.left() * toPrinter, r.top() * toPrinter, r.width() * toPrinter,
                                r.height() * toPrinter);
                painter.drawText(at, Qt::AlignLeft | Qt::AlignTop, BenchText(page, i));
            }
        }
    }
    state.counters["per_page"]
        = benchmark::Counter(double(state.iterations()) * CBENCH_PAGES,
                             benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlainDrawText)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv);
}
