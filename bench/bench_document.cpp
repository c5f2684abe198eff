// Saving and loading a document of 20 pages × 250 elements (5,000 elements)
// through the model without windows, beside the floor under it measured on
// the same payload: SHA-1 + AES both ways, and a bare walk of the streams.

#include "BenchDocument.h"
#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CComponentStream.h"
#include "CDocumentBuilder.h"
#include "CDocumentFile.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CProjectIO.h"
#include "CPropGroups.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
constexpr int kPages = CBENCH_PAGES;
constexpr int kPerPage = CBENCH_PER_PAGE;

struct TFixture
{
    TFixture()
    {
        path = dir.filePath(QStringLiteral("bench.vld"));
        TDocumentBuilder doc;
        BuildBenchDocument(doc);
        doc.Save(path);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        envelope = file.readAll();
        TMemoryStream stream(envelope);
        std::uint32_t tag = 0;
        DecryptDocument(stream, tag);
        payload = stream.Data();
    }
    QTemporaryDir dir;
    QString path;
    QByteArray envelope;
    QByteArray payload;
};

TFixture &Fixture()
{
    static TFixture fixture;
    return fixture;
}

void BM_Save(benchmark::State &state)
{
    // The document to save, read once outside the timing.
    TDocumentBuilder doc;
    LoadDocument(Fixture().path, doc.Info);
    const QString out = Fixture().dir.filePath(QStringLiteral("saved.vld"));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.Save(out));
    state.counters["elements"] = kPages * kPerPage;
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State &state)
{
    for (auto _ : state) {
        TDocumentBuilder doc;
        TGlobalFlagScope loading(GlobalLoadingProject);
        benchmark::DoNotOptimize(LoadDocument(Fixture().path, doc.Info));
        state.PauseTiming(); // freeing the elements is not loading
        doc.Pages()->DestroyComponents();
        state.ResumeTiming();
    }
    state.counters["bytes"] = double(Fixture().envelope.size());
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

// The floor: the cipher and digest both ways over the same payload.
void BM_FloorCrypto(benchmark::State &state)
{
    for (auto _ : state) {
        TMemoryStream stream(Fixture().payload);
        EncryptDocument(stream);
        std::uint32_t tag = 0;
        benchmark::DoNotOptimize(DecryptDocument(stream, tag));
    }
}
BENCHMARK(BM_FloorCrypto)->Unit(benchmark::kMillisecond);

// The floor: walking every stream of the payload, creating nothing.
void BM_FloorScan(benchmark::State &state)
{
    for (auto _ : state) {
        TMemoryStream stream(Fixture().payload);
        QString missing;
        benchmark::DoNotOptimize(ScanRequiredPlugIns(stream, missing));
    }
}
BENCHMARK(BM_FloorScan)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv);
}
