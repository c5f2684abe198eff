// Finding an element by name among a page control's components, as the
// reader and the calculation boxes do for every reference, against a hash
// lookup as the floor.

#include "CComponent.h"

#include <QHash>
#include <benchmark/benchmark.h>

static void BM_FindComponent(benchmark::State &state)
{
    TObjectComponent owner;
    for (int i = 0; i < state.range(0); ++i)
        (new TObjectComponent(&owner))->SetName(QStringLiteral("Field%1").arg(i));
    const QString wanted = QStringLiteral("field%1").arg(state.range(0) - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(owner.FindComponent(wanted));
}
BENCHMARK(BM_FindComponent)->Arg(50)->Arg(500);

static void BM_HashLookupFloor(benchmark::State &state)
{
    QHash<QString, int> names;
    for (int i = 0; i < state.range(0); ++i)
        names.insert(QStringLiteral("field%1").arg(i), i);
    const QString wanted = QStringLiteral("Field%1").arg(state.range(0) - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(names.value(wanted.toLower()));
}
BENCHMARK(BM_HashLookupFloor)->Arg(50)->Arg(500);

BENCHMARK_MAIN();
