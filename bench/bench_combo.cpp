// The combo box's drop-down list with 10,000 items: opening it (F4), going to
// its end (End) and closing it (Escape), beside the layout of one item in the
// box itself. Only the visible rows are laid out, so opening should cost a few
// layouts of one item plus a pass over the items for the widest; the ratio is
// printed after the runs.

#include "BenchDocument.h"
#include "CCombo.h"
#include "CComboInPlaceEdit.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"

#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

namespace {
constexpr int kItems = 10000;

QString ManyItems()
{
    QStringList items;
    items.reserve(kItems);
    for (int i = 1; i <= kItems; ++i)
        items << QStringLiteral("Item number %1").arg(i);
    return items.join(QStringLiteral("\r\n"));
}

struct TComboPage
{
    TComboPage()
    {
        combo = doc.Add<TCombo>(0, QStringLiteral("Long"), QRect(100, 100, 200, 26));
        combo->ComboListProps()->SetListItems(ManyItems());
        doc.Pages()->resize(1000, 800);
        doc.Pages()->show();
        combo->SetFocus(QPoint(-1, -1));
        editor = qobject_cast<TComboInPlaceEdit *>(combo->Editor());
    }
    TDocumentBuilder doc {1};
    TGlobalFlagScope filling {GlobalFilling};
    TCombo *combo = nullptr;
    TComboInPlaceEdit *editor = nullptr;
};

void BM_OpenEndClose(benchmark::State &state)
{
    TComboPage page;
    if (!page.editor) {
        state.SkipWithError("the combo box took no focus");
        return;
    }
    bool reachedEnd = true;
    for (auto _ : state) {
        QTest::keyClick(page.editor, Qt::Key_F4);
        QTest::keyClick(page.editor, Qt::Key_End);
        reachedEnd = reachedEnd && page.editor->List()->ItemIndex() == kItems - 1;
        QTest::keyClick(page.editor, Qt::Key_Escape);
    }
    if (!reachedEnd || page.editor->Dropped())
        state.SkipWithError("the list did not open, reach its end and close");
    state.counters["items"] = kItems;
}
BENCHMARK(BM_OpenEndClose)->Unit(benchmark::kMillisecond);

void BM_Open(benchmark::State &state)
{
    TComboPage page;
    if (!page.editor) {
        state.SkipWithError("the combo box took no focus");
        return;
    }
    for (auto _ : state) {
        QTest::keyClick(page.editor, Qt::Key_F4);
        state.PauseTiming();
        if (!page.editor->Dropped())
            state.SkipWithError("the list did not open");
        QTest::keyClick(page.editor, Qt::Key_Escape);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

// The reference: one item laid out in the box.
void BM_LayoutOneItem(benchmark::State &state)
{
    TComboPage page;
    page.combo->KillFocus();
    page.combo->SetText(QStringLiteral("Item number 5000"));
    for (auto _ : state)
        page.combo->BuildWYSIWYGInf(true, false);
}
BENCHMARK(BM_LayoutOneItem)->Unit(benchmark::kMicrosecond);

class TRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (!run.error_occurred)
                // Milliseconds, whatever unit the run reported in.
                m_ms[run.benchmark_name()] = run.GetAdjustedRealTime()
                    / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1000.0;
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto open = m_ms.find("BM_Open");
        const auto cycle = m_ms.find("BM_OpenEndClose");
        const auto one = m_ms.find("BM_LayoutOneItem");
        if (open == m_ms.end() || one == m_ms.end() || cycle == m_ms.end())
            return;
        std::printf("10,000 items: open %.3f ms, open + End + close %.3f ms; one item laid out "
                    "%.4f ms (open = %.0f layouts of one item)\n",
                    open->second, cycle->second, one->second, open->second / one->second);
    }

private:
    std::map<std::string, double> m_ms;
};
} // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
