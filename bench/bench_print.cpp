// Printing the benchmark documents to PDF through the programs' print path,
// beside the floor: QPdfWriter with plain QPainter calls drawing the same
// marks (texts, borders, fills, comb boxes with a character each) at the same
// places, in the same run. Two shapes: 20 pages of 250 elements, and one dense
// page of 5,000 comb-cell-sized elements. The ratios are printed after the runs.

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
#include <cmath>
#include <cstdio>
#include <map>

namespace {
QTemporaryDir &Folder()
{
    static QTemporaryDir dir;
    return dir;
}

void Shapes(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"pages", "per_page"});
    b->Args({CBENCH_PAGES, CBENCH_PER_PAGE})->Args({1, 5000});
}

void BM_PrintProject(benchmark::State &state)
{
    const int pages = int(state.range(0));
    TDocumentBuilder doc;
    BuildBenchDocument(doc, pages, int(state.range(1)));
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    PrinterService().SetOutputFileName(Folder().filePath(QStringLiteral("print.pdf")));
    for (auto _ : state)
        benchmark::DoNotOptimize(GlobalPrintedProject(&doc.Project, QStringLiteral("bench"), 0,
                                                      pages - 1, false, false, nullptr));
    state.counters["per_page"]
        = benchmark::Counter(double(state.iterations()) * pages,
                             benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PrintProject)->Apply(Shapes)->Unit(benchmark::kMillisecond);

// The floor: the same marks at the same places, drawn straight onto a PDF of
// the built-in printer's resolution.
void BM_PlainMarks(benchmark::State &state)
{
    const int pages = int(state.range(0));
    const int perPage = int(state.range(1));
    // Element rectangles are screen pixels of the paper at 100 %.
    constexpr double kPrinterPpi = 600;
    constexpr double kToPrinter = kPrinterPpi / 96.0;
    const int line = int(std::lround(kToPrinter)); // a border of one screen pixel
    const double cell = CBENCH_COMB_MM / 25.4 * kPrinterPpi;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qRound(10 * kPrinterPpi / 72.0));
    font.setHintingPreference(QFont::PreferNoHinting);
    const QColor fill(0xFF, 0xF0, 0xE0);
    const auto frame = [&](QPainter &painter, const QRect &r) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), line), Qt::black);
        painter.fillRect(QRect(r.left(), r.bottom() - line + 1, r.width(), line), Qt::black);
        painter.fillRect(QRect(r.left(), r.top(), line, r.height()), Qt::black);
        painter.fillRect(QRect(r.right() - line + 1, r.top(), line, r.height()), Qt::black);
    };
    for (auto _ : state) {
        QPdfWriter writer(Folder().filePath(QStringLiteral("plain.pdf")));
        writer.setResolution(int(kPrinterPpi));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        painter.setFont(font);
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            for (int i = 0; i < perPage; ++i) {
                const TBenchMarks marks = BenchMarks(page, i, perPage);
                const QRect r(
                    int(marks.Rect.left() * kToPrinter), int(marks.Rect.top() * kToPrinter),
                    int(marks.Rect.width() * kToPrinter), int(marks.Rect.height() * kToPrinter));
                if (marks.Filled)
                    painter.fillRect(r, fill);
                if (marks.Comb) {
                    const int cells = int(r.width() / cell);
                    for (int c = 0; c < cells; ++c) {
                        const QRect box(int(r.left() + c * cell), r.top(), int(cell), int(cell));
                        frame(painter, box);
                        if (c < marks.Text.size())
                            painter.drawText(box, Qt::AlignCenter, marks.Text.mid(c, 1));
                    }
                } else {
                    painter.drawText(r, Qt::AlignLeft | Qt::AlignTop, marks.Text);
                }
                frame(painter, r);
            }
        }
    }
    state.counters["per_page"]
        = benchmark::Counter(double(state.iterations()) * pages,
                             benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlainMarks)->Apply(Shapes)->Unit(benchmark::kMillisecond);

// Keeps each run's time for the ratios of our print to the plain drawing.
class TRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                Times[run.run_name.args][run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::map<std::string, double>> Times;
};
} // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter;
    if (const int status = RunBenchmarks(argc, argv, &reporter))
        return status;
    for (auto &[shape, times] : reporter.Times)
        if (times["BM_PlainMarks"] > 0 && times["BM_PrintProject"] > 0)
            std::printf("print %s: %.2fx the plain drawing of the same marks (goal within 1.5x)\n",
                        shape.c_str(), times["BM_PrintProject"] / times["BM_PlainMarks"]);
    return 0;
}
