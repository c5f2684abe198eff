// Typing into a focused text box in forms of 50, 5,000 and 50,000 elements:
// the time from a key press to the element's repaint request. A keystroke
// should cost the same whatever the size of the form; the ratios to the
// smallest are printed after the runs. Then one committed edit (focus, key, leave) without
// and with the recovery journal recording it, and the journal's share.

#include "BenchDocument.h"
#include "CAppPaths.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CRecoveryJournal.h"
#include "CScribe.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {
// The main windows pass a text change on to the elements that follow texts
// through the model's call below. Benchmarks may not include the programs, so
// this stands in for them and answers that message as they do.
class TMainWindowStandIn : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGVisualPgCtrlTextChanged)
            message.Result = TBasePgCtrl::NotifyTextFollowers(message.WParam);
        // The filler records each committed edit so.
        if (message.Msg == VRMSGEditCommitted && Journal)
            if (const auto *element = ParamObject<TBasePgCtrl>(message.WParam))
                Journal->Record(element->Name(), element->Text());
    }
    TRecoveryJournal *Journal = nullptr;
};

// One text box with the real in-place editor among N-1 sample boxes, laid out
// over pages like the benchmark document.
void BM_Keystroke(benchmark::State &state)
{
    const int elements = int(state.range(0));
    TMainWindowStandIn mainWindow;
    TDocumentBuilder doc((elements + CBENCH_PER_PAGE - 1) / CBENCH_PER_PAGE);
    auto *box = doc.Add<TScribe>(0, QStringLiteral("Typed"), BenchRect(0));
    box->SetText(BenchText(0, 0));
    for (int i = 1; i < elements; ++i) {
        const int page = i / CBENCH_PER_PAGE;
        const int slot = i % CBENCH_PER_PAGE;
        auto *other
            = doc.Add<TSampleTextBox>(page, QStringLiteral("Box%1").arg(i), BenchRect(slot));
        other->VisualGeneralProps()->SetGeneralDefaultText(BenchText(page, slot));
        other->VisualBorderProps()->SetBorderWidth(1);
    }
    // The builder clears the main window and puts the one before back when it goes.
    GlobalMainForm = &mainWindow;
    const TGlobalFlagScope filling(GlobalFilling);
    doc.Pages()->resize(1000, 800);
    doc.Pages()->show();
    box->SetFocus(QPoint(-1, -1));
    QWidget *editor = box->Editor();
    if (!editor) {
        state.SkipWithError("the text box took no focus");
        return;
    }
    // Focusing selects the whole text; type after it instead of over it.
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_A);
    const bool typed = box->Text() == BenchText(0, 0) + QLatin1Char('a');
    QTest::keyClick(editor, Qt::Key_Backspace);
    QCoreApplication::processEvents();
    if (!typed || box->Text() != BenchText(0, 0))
        state.SkipWithError("the text box did not take the keys");

    // Timed: the key and the Backspace that takes it back, so the text stays
    // the same length; both are keystrokes that change the text. The paint and
    // the posted messages that follow are not part of it.
    for (auto _ : state) {
        QTest::keyClick(editor, Qt::Key_A);
        QTest::keyClick(editor, Qt::Key_Backspace);
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["per_key"] = benchmark::Counter(
        double(state.iterations()) * 2, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    box->KillFocus();
}
BENCHMARK(BM_Keystroke)
    ->Arg(50)
    ->Arg(5000)
    ->Arg(50000)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// One committed edit of a box in a 50-element form: focus, a key, leave. Argument 1 has the
// journal record it, on the disk under a folder of the run's own.
void BM_CommittedEdit(benchmark::State &state)
{
    const bool journal = state.range(0) != 0;
    QTemporaryDir folder;
    qputenv("XDG_STATE_HOME", folder.path().toUtf8());
    TMainWindowStandIn mainWindow;
    TDocumentBuilder doc(1);
    auto *box = doc.Add<TScribe>(0, QStringLiteral("Typed"), BenchRect(0));
    for (int i = 1; i < 50; ++i)
        doc.Add<TSampleTextBox>(0, QStringLiteral("Box%1").arg(i), BenchRect(i % CBENCH_PER_PAGE));
    GlobalMainForm = &mainWindow;
    const TGlobalFlagScope filling(GlobalFilling);
    TRecoveryJournal records(folder.filePath(QStringLiteral("Form.vld")));
    mainWindow.Journal = journal ? &records : nullptr;
    doc.Pages()->resize(1000, 800);
    doc.Pages()->show();
    int keys = 0;
    for (auto _ : state) {
        box->SetFocus(QPoint(-1, -1));
        QWidget *editor = box->Editor();
        if (!editor) {
            state.SkipWithError("the text box took no focus");
            break;
        }
        // Alternating texts, so every leave is a committed change.
        QTest::keyClick(editor, ++keys % 2 ? Qt::Key_A : Qt::Key_B);
        box->KillFocus();
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (journal && TRecoveryJournal::Read(records.Path()).Entries.size() != keys)
        state.SkipWithError("the journal did not record every committed edit");
    records.Remove();
    qunsetenv("XDG_STATE_HOME");
}
BENCHMARK(BM_CommittedEdit)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The journal's own part alone: one record of a typical value, written and flushed.
void BM_JournalRecord(benchmark::State &state)
{
    QTemporaryDir folder;
    qputenv("XDG_STATE_HOME", folder.path().toUtf8());
    TRecoveryJournal records(folder.filePath(QStringLiteral("Form.vld")));
    const QString value = BenchText(0, 0);
    for (auto _ : state)
        if (!records.Record(QStringLiteral("Typed"), value))
            state.SkipWithError("the journal could not be written");
    records.Remove();
    qunsetenv("XDG_STATE_HOME");
}
BENCHMARK(BM_JournalRecord)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Keeps each size's time per iteration for the ratio.
class TRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                Times[run.run_name.function_name + '/' + run.run_name.args]
                    = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
};
} // namespace

int main(int argc, char **argv)
{
    TRatioReporter reporter;
    if (const int status = RunBenchmarks(argc, argv, &reporter))
        return status;
    const auto time = [&](const char *name) {
        const auto found = reporter.Times.find(name);
        return found == reporter.Times.end() ? 0.0 : found->second;
    };
    const double small = time("BM_Keystroke/50");
    for (const char *size : {"5000", "50000"}) {
        const double large = time((std::string("BM_Keystroke/") + size).c_str());
        if (small > 0 && large > 0)
            std::printf("typing: %s elements / 50 elements = %.2fx (goal within 1.2x)\n", size,
                        large / small);
    }
    const double edit = time("BM_CommittedEdit/0");
    const double recorded = time("BM_CommittedEdit/1");
    const double record = time("BM_JournalRecord/");
    if (edit > 0 && recorded > 0 && record > 0)
        std::printf("journal: %.2f us a record beside %.1f us for the committed edit itself "
                    "(%.1f us with the journal)\n",
                    record, edit, recorded);
    return 0;
}
