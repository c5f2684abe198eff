// The property inspector with 1,000 text elements selected: the grid built with every
// group expanded and every row's value shown, beside reading the same properties of
// the same objects through the meta-object alone. Counters: both times and their ratio.

#include "BenchDocument.h"
#include "CDocumentBuilder.h"
#include "CObjectInspectorForm.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>

namespace {
constexpr int kElements = 1000;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void ForEachRow(TPropertyGridModel *model, const QModelIndex &parent,
                const std::function<void(const QModelIndex &)> &visit)
{
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        visit(index);
        ForEachRow(model, index, visit);
    }
}

void BM_FillGridWithThousandSelected(benchmark::State &state)
{
    TDocumentBuilder doc(1);
    QList<QObject *> elements;
    for (int i = 0; i < kElements; ++i) {
        auto *box = doc.Add<TSampleTextBox>(0, QStringLiteral("Box%1").arg(i + 1),
                                            QRect(10 + i % 40 * 20, 10 + i / 40 * 30, 18, 24));
        elements.append(box);
    }
    TObjectInspectorForm form;
    form.resize(320, 700);
    form.show();
    QCoreApplication::processEvents();
    // Every group expanded, so that every row is built and shown.
    form.SetSelection({elements.first()});
    QStringList groups;
    ForEachRow(form.Grid()->Model(), {}, [&](const QModelIndex &index) {
        if (form.Grid()->Model()->rowCount(index) > 0)
            groups << form.Grid()->Model()->Node(index)->Name;
    });
    form.Grid()->SetExpanded(groups);

    double gridSeconds = 0, readSeconds = 0;
    int rows = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        form.SetSelection(elements);
        TPropertyGridModel *model = form.Grid()->Model();
        rows = 0;
        ForEachRow(model, {}, [&](const QModelIndex &index) {
            benchmark::DoNotOptimize(index.siblingAtColumn(1).data());
            ++rows;
        });
        form.Grid()->viewport()->repaint();
        const double grid = Seconds(start);
        gridSeconds += grid;

        // The same properties of the same holders, read and nothing else.
        QList<std::pair<QList<QObject *>, QMetaProperty>> listed;
        ForEachRow(model, {}, [&](const QModelIndex &index) {
            const TPropGridNode *node = model->Node(index);
            if (node->Property.isValid())
                listed.append({node->Holders, node->Property});
        });
        start = std::chrono::steady_clock::now();
        for (const auto &[holders, property] : std::as_const(listed))
            for (QObject *holder : holders)
                benchmark::DoNotOptimize(property.read(holder));
        readSeconds += Seconds(start);
        state.SetIterationTime(grid);
        form.SetSelection({});
    }
    const double n = double(state.iterations());
    state.counters["rows"] = rows;
    state.counters["grid_ms"] = gridSeconds / n * 1e3;
    state.counters["metaobject_read_ms"] = readSeconds / n * 1e3;
    state.counters["ratio"] = gridSeconds / readSeconds;
}
BENCHMARK(BM_FillGridWithThousandSelected)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv);
}
