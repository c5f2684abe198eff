// The designer's history at length: 10,000 moves of one element by the keyboard,
// each one record pair, then undo of all of them. Reported per record: the time to
// make it, the time to undo it and the heap it holds (bytes), beside the size of
// the element's streamed form, which a history keeping copies would hold instead.

#include "BenchDocument.h"
#include "CComponentStream.h"
#include "CDesignerMainForm.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CProjectProps.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedo.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <chrono>
#include <malloc.h>

namespace {
constexpr int kMoves = 10000;

// Answers as the designer does, so that the document is saved for designing.
class TDesignerStandIn : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGIsFiller)
            message.Result = 1;
    }
};

double HeapBytes()
{
    return double(mallinfo2().uordblks);
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_TenThousandMovesThenUndoAll(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("undo.vld"));
    {
        TDocumentBuilder doc(1);
        auto *box = doc.Add<TSampleTextBox>(0, QStringLiteral("Box1"), QRect(60, 60, 200, 30));
        box->SetText(QStringLiteral("Moved ten thousand times"));
        TDesignerStandIn designer;
        GlobalMainForm = &designer;
        doc.Project.SetFilling(false);
        const bool saved = doc.Save(path);
        GlobalMainForm = nullptr;
        if (!saved) {
            state.SkipWithError("the document could not be saved");
            return;
        }
    }
    TDesignerMainForm window;
    window.SetPlugInFolder(dir.filePath(QStringLiteral("plugins/")));
    window.FormCreate();
    window.resize(1100, 860);
    window.show();
    QCoreApplication::processEvents();
    if (!window.OpenDocument(path) || !window.DesignMode()) {
        state.SkipWithError("the document did not open for designing");
        return;
    }
    auto *box = qobject_cast<QWidget *>(Global_FormElementRef(QStringLiteral("Box1")));
    TSurfaceDesignerEngine *engine = window.SurfaceDesigner1()->Engine();
    window.SurfaceDesigner1()->SelectCtrl(box, false);
    const double streamed = double(ComponentToBytes(dynamic_cast<TComponent *>(box)).size());

    double moveSeconds = 0, undoSeconds = 0, heap = 0;
    for (auto _ : state) {
        const double heapBefore = HeapBytes();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kMoves; ++i)
            QTest::keyClick(engine, i % 200 < 100 ? Qt::Key_Right : Qt::Key_Left,
                            Qt::ControlModifier);
        moveSeconds += Seconds(start);
        heap += HeapBytes() - heapBefore;
        if (window.DesignerUndoRedo().Count() != kMoves) {
            state.SkipWithError("a move was not recorded");
            return;
        }
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kMoves; ++i)
            window.DesignerUndoRedo().Undo();
        undoSeconds += Seconds(start);
        state.SetIterationTime(moveSeconds + undoSeconds);
        state.PauseTiming();
        window.DesignerUndoRedo().Clear();
        state.ResumeTiming();
    }
    const double records = double(state.iterations()) * kMoves;
    state.counters["move_per_record_us"] = moveSeconds / records * 1e6;
    state.counters["undo_per_record_us"] = undoSeconds / records * 1e6;
    state.counters["bytes_per_record"] = heap / records;
    state.counters["element_streamed_bytes"] = streamed;
    window.CloseDocument();
}
BENCHMARK(BM_TenThousandMovesThenUndoAll)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv);
}
