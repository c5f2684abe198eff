// Laying prose out in an 80 mm wide box at 600 ppi: the element's text
// engine against Qt's own QTextLayout breaking the same text at the same width
// in the same font, and the relayout that follows one keystroke in a full box.

#include "CBasePgCtrl.h"
#include "CPrinterPage.h"
#include "CPrinterService.h"
#include "CPropGroups.h"
#include "CWYSIWYGEngine.h"

#include <QApplication>
#include <QImage>
#include <QTextLayout>
#include <benchmark/benchmark.h>

namespace {
constexpr Extended kBoxMm = 80;

QString Prose(int length)
{
    static const char *const words[]
        = {"the",     "form",  "was",    "filled", "in",     "by",       "hand",     "and",
           "printed", "on",    "paper",  "with",   "boxes",  "for",      "every",    "letter",
           "of",      "a",     "name",   "which",  "must",   "stay",     "exactly",  "where",
           "it",      "would", "appear", "when",   "signed", "remember", "address,", "date."};
    QString text;
    text.reserve(length + 16);
    unsigned seed = 12345;
    while (text.size() < length) {
        seed = seed * 1103515245u + 12345u;
        text += QLatin1String(words[(seed >> 16) % std::size(words)]);
        text += QLatin1Char(' ');
    }
    text.truncate(length);
    return text;
}

// One page with one element 80 mm wide, as tall as the paper.
struct TBox
{
    TBox()
    {
        element = CreateComponent<TVisualPgCtrl>(nullptr);
        element->setParent(&page);
        element->SetBaseRelWidth(kBoxMm * 100 / page.PageWidth());
        element->SetBaseRelHeight(100);
        element->VisualParagraphProps()->SetParagraphWrap(true);
    }
    TWYSIWYGEngine &Engine() { return *element->WYSIWYGEngine(); }
    qreal WidthPixels() const { return qreal(kBoxMm * page.PrinterPixelsPerInchX() / 25.4L); }

    TPrinterPage page {nullptr};
    TVisualPgCtrl *element = nullptr;
};

void BM_EngineBuild(benchmark::State &state)
{
    TBox box;
    const QString text = Prose(int(state.range(0)));
    box.Engine().BuildWYSIWYGData(true, text, true);
    for (auto _ : state) {
        box.Engine().BuildWYSIWYGData(true, text, true);
        benchmark::DoNotOptimize(box.Engine().TextDataCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["lines"] = box.Engine().LineNo();
}
BENCHMARK(BM_EngineBuild)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_QTextLayoutBuild(benchmark::State &state)
{
    TBox box;
    const QString text = Prose(int(state.range(0)));
    box.Engine().BuildWYSIWYGData(true, text, true);
    const QFont font = box.Engine().MeasuringFont();
    QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    device.setDotsPerMeterX(qRound(box.page.PrinterPixelsPerInchX() / 0.0254));
    device.setDotsPerMeterY(qRound(box.page.PrinterPixelsPerInchY() / 0.0254));
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    const qreal width = box.WidthPixels();
    int lines = 0;
    for (auto _ : state) {
        QTextLayout layout(text, font, &device);
        layout.setTextOption(option);
        layout.beginLayout();
        lines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++lines;
        }
        layout.endLayout();
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["lines"] = lines;
}
BENCHMARK(BM_QTextLayoutBuild)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A keystroke in a box holding 2,000 characters: the whole text is laid out again.
void BM_EngineRelayoutAfterKeystroke(benchmark::State &state)
{
    TBox box;
    QString text = Prose(2000);
    box.Engine().BuildWYSIWYGData(true, text, true);
    int i = 0;
    for (auto _ : state) {
        text[1000] = (++i & 1) ? QLatin1Char('x') : QLatin1Char('y');
        box.Engine().BuildWYSIWYGData(true, text, true);
        benchmark::DoNotOptimize(box.Engine().Overflow());
    }
}
BENCHMARK(BM_EngineRelayoutAfterKeystroke)->Unit(benchmark::kMicrosecond);

// The same prose with every fourth word in Hebrew, Arabic or Devanagari: each
// line is shaped, in its bidirectional order, with fallback fonts.
QString MixedProse(int length)
{
    static const char16_t *const words[] = {u"שלום", u"مرحبا", u"नमस्ते"};
    QString text;
    text.reserve(length + 16);
    const QStringList latin = Prose(length).split(QLatin1Char(' '));
    for (qsizetype i = 0; i < latin.size() && text.size() < length; ++i) {
        text += i % 4 == 3 ? QString::fromUtf16(words[(i / 4) % std::size(words)]) : latin[i];
        text += QLatin1Char(' ');
    }
    text.truncate(length);
    return text;
}

void BM_EngineBuildMixedScripts(benchmark::State &state)
{
    TBox box;
    const QString text = MixedProse(int(state.range(0)));
    box.Engine().BuildWYSIWYGData(true, text, true);
    for (auto _ : state) {
        box.Engine().BuildWYSIWYGData(true, text, true);
        benchmark::DoNotOptimize(box.Engine().TextDataCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["lines"] = box.Engine().LineNo();
}
BENCHMARK(BM_EngineBuildMixedScripts)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
