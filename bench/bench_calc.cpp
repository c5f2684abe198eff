// Settling calculation boxes after one keystroke in their input: a chain of
// 2,000 boxes (each adds 1 to the one before), a fan of 2,000 boxes on the
// input, and either case beside 2,000 boxes that do not depend on the input.
// The time should grow with the boxes that depend on the change, not with the
// boxes in the form; the ratios are printed after the runs. A fan of 10 among
// 4,000 other boxes shows the cost of a change that reaches few.

#include "BenchDocument.h"
#include "CCalc.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CScribe.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {
// Stands in for the main windows, which pass a text change on to the followers.
class TMainWindowStandIn : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGVisualPgCtrlTextChanged)
            message.Result = TBasePgCtrl::NotifyTextFollowers(message.WParam);
    }
};

enum TShape { Chain = 0, Fan = 1 };
constexpr int kPerPage = 250;

QRect Slot(int i)
{
    return QRect(20 + (i % 5) * 130, 20 + (i / 5) * 26, 120, 24);
}

// range(0): shape; range(1): boxes that do not depend on the input; range(2): boxes that do.
void BM_SettleAfterKeystroke(benchmark::State &state)
{
    const auto shape = TShape(state.range(0));
    const int independent = int(state.range(1));
    const int reached = int(state.range(2));
    const int boxes = reached + independent;
    TMainWindowStandIn mainWindow;
    TDocumentBuilder doc(1 + boxes / kPerPage);
    GlobalMainForm = &mainWindow;
    auto *input = doc.Add<TScribe>(0, QStringLiteral("Input"), Slot(0));
    input->SetText(QStringLiteral("1"));
    auto *other = doc.Add<TScribe>(0, QStringLiteral("Other"), Slot(1));
    other->SetText(QStringLiteral("1"));
    QList<TCalc *> dependants;
    {
        // Built like a document being read: computed once at the end.
        const TGlobalFlagScope loading(GlobalLoadingProject);
        for (int i = 0; i < boxes; ++i) {
            const int n = i + 2;
            auto *box
                = doc.Add<TCalc>(n / kPerPage, QStringLiteral("C%1").arg(i), Slot(n % kPerPage));
            QString expression;
            if (i >= reached)
                expression = QStringLiteral("Other * 2");
            else if (shape == Fan || i == 0)
                expression = QStringLiteral("Input + %1").arg(i);
            else
                expression = QStringLiteral("C%1 + 1").arg(i - 1);
            box->SetCalcExpression(expression);
            if (i < reached)
                dependants.append(box);
        }
    }
    GlobalNotifyCtrls(VRMSGCalcReset, 0, 0, true);
    GlobalNotifyCtrls(VRMSGCalcUpdate, 0, 0, true);

    int value = 1;
    int evaluated = 0;
    for (auto _ : state) {
        const int before = dependants.last()->EvalCount();
        input->SetText(QString::number(++value % 10));
        evaluated += dependants.last()->EvalCount() - before;
    }
    // Chain and fan alike end at the input plus the dependants less one.
    const QString expected = QString::number(value % 10 + reached - 1);
    if (dependants.last()->Text() != expected || evaluated != int(state.iterations()))
        state.SkipWithError("the boxes did not settle to the new value once each");
    state.counters["dependants"] = reached;
    state.counters["per_dependant_us"]
        = benchmark::Counter(double(state.iterations()) * reached,
                             benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["boxes"] = boxes;
    state.SetLabel(shape == Chain ? "chain" : "fan");
}

BENCHMARK(BM_SettleAfterKeystroke)
    ->ArgNames({"fan", "independent", "dependants"})
    ->Args({Chain, 0, 2000})
    ->Args({Chain, 2000, 2000})
    ->Args({Fan, 0, 2000})
    ->Args({Fan, 2000, 2000})
    ->Args({Fan, 4000, 10})
    ->Unit(benchmark::kMillisecond);

// Prints each case's time with 2,000 independent boxes against the same case without them.
class TRatioReporter : public benchmark::ConsoleReporter
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
        for (const char *shape : {"0", "1"}) {
            const std::string base = std::string("BM_SettleAfterKeystroke/fan:") + shape;
            const auto without = m_times.find(base + "/independent:0/dependants:2000");
            const auto with = m_times.find(base + "/independent:2000/dependants:2000");
            if (without == m_times.end() || with == m_times.end())
                continue;
            std::printf("%s: 2,000 dependants settle in %.3f ms among 2,000 boxes and %.3f ms "
                        "among 4,000 (ratio %.2f)\n",
                        shape[0] == '0' ? "chain" : "fan", without->second, with->second,
                        with->second / without->second);
        }
        if (const auto few
            = m_times.find("BM_SettleAfterKeystroke/fan:1/independent:4000/dependants:10");
            few != m_times.end())
            std::printf("fan: 10 dependants settle in %.3f ms among 4,010 boxes\n", few->second);
    }

private:
    std::map<std::string, double> m_times;
};
} // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
