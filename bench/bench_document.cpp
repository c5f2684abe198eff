// Saving and loading documents of 5,000 and of 50,000 elements through the
// model without windows, in two shapes: pages of 250 elements (20 pages and
// 200 pages) and dense pages of 5,000 (1 page and 10 pages). Beside each load,
// on the same payload in the same run, the floor under it: SHA-1 + AES both
// ways and a bare walk of the streams; and the resident memory the loaded
// document takes, per element. The ratios to the goals are printed after the
// runs. Then `vldtool check` of a form with a 200 MB background picture: its
// time beside SHA-1 + AES over the same file, and its peak memory beside the file.

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
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {
struct TFixture
{
    TFixture(int pages, int perPage) : Elements(pages * perPage)
    {
        path = dir.filePath(QStringLiteral("bench.vld"));
        TDocumentBuilder doc;
        BuildBenchDocument(doc, pages, perPage);
        doc.Save(path);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        envelope = file.readAll();
        TMemoryStream stream(envelope);
        std::uint32_t tag = 0;
        DecryptDocument(stream, tag);
        payload = stream.Data();
    }
    int Elements;
    QTemporaryDir dir;
    QString path;
    QByteArray envelope;
    QByteArray payload;
};

// One document per shape, made once; the largest is kept only while it is used.
TFixture &Fixture(const benchmark::State &state)
{
    static std::map<std::pair<int, int>, std::unique_ptr<TFixture>> fixtures;
    const std::pair<int, int> shape(int(state.range(0)), int(state.range(1)));
    std::unique_ptr<TFixture> &fixture = fixtures[shape];
    if (!fixture)
        fixture = std::make_unique<TFixture>(shape.first, shape.second);
    return *fixture;
}

void Shapes(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"pages", "per_page"});
    b->Args({CBENCH_PAGES, CBENCH_PER_PAGE})->Args({10 * CBENCH_PAGES, CBENCH_PER_PAGE});
    b->Args({1, 5000})->Args({10, 5000});
}

void BM_Save(benchmark::State &state)
{
    TFixture &fixture = Fixture(state);
    // The document to save, read once outside the timing.
    TDocumentBuilder doc;
    LoadDocument(fixture.path, doc.Info);
    const QString out = fixture.dir.filePath(QStringLiteral("saved.vld"));
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.Save(out));
    state.counters["elements"] = fixture.Elements;
}
BENCHMARK(BM_Save)->Apply(Shapes)->Unit(benchmark::kMillisecond);

// The floor once: the cipher and digest both ways, then a bare walk of every stream.
double FloorSeconds(const TFixture &fixture)
{
    QElapsedTimer timer;
    timer.start();
    {
        TMemoryStream stream(fixture.payload);
        EncryptDocument(stream);
        std::uint32_t tag = 0;
        benchmark::DoNotOptimize(DecryptDocument(stream, tag));
    }
    {
        TMemoryStream stream(fixture.payload);
        QString missing;
        benchmark::DoNotOptimize(ScanRequiredPlugIns(stream, missing));
    }
    return timer.nsecsElapsed() / 1e9;
}

// Goals: within 10x of the floor; 50,000 elements in under 1 s and within 11x of
// 5,000; under 8 KB a element.
void BM_Load(benchmark::State &state)
{
    TFixture &fixture = Fixture(state);
    double floor = 0, load = 0, grown = 0;
    for (auto _ : state) {
        TDocumentBuilder doc;
        const double before = ResidentBytes();
        QElapsedTimer timer;
        timer.start();
        {
            TGlobalFlagScope loading(GlobalLoadingProject);
            benchmark::DoNotOptimize(LoadDocument(fixture.path, doc.Info));
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        load += seconds;
        grown = std::max(grown, ResidentBytes() - before);
        // Freeing the elements is not loading.
        doc.Pages()->DestroyComponents();
        // The best of three, as the floor is what the machine can do with warm caches.
        floor += std::min({FloorSeconds(fixture), FloorSeconds(fixture), FloorSeconds(fixture)});
    }
    const double n = double(state.iterations());
    state.counters["elements"] = fixture.Elements;
    state.counters["MB"] = double(fixture.envelope.size()) / 1e6;
    state.counters["floor_ms"] = floor / n * 1e3;
    state.counters["x_floor"] = load / floor;
    state.counters["KB_per_element"] = grown / fixture.Elements / 1024;
}
BENCHMARK(BM_Load)->Apply(Shapes)->UseManualTime()->Unit(benchmark::kMillisecond);

// The floor alone, part by part: the cipher and digest both ways over the same payload.
void BM_FloorCrypto(benchmark::State &state)
{
    const TFixture &fixture = Fixture(state);
    for (auto _ : state) {
        TMemoryStream stream(fixture.payload);
        EncryptDocument(stream);
        std::uint32_t tag = 0;
        benchmark::DoNotOptimize(DecryptDocument(stream, tag));
    }
}
BENCHMARK(BM_FloorCrypto)->Args({CBENCH_PAGES, CBENCH_PER_PAGE})->Unit(benchmark::kMillisecond);

// The floor: walking every stream of the payload, creating nothing.
void BM_FloorScan(benchmark::State &state)
{
    const TFixture &fixture = Fixture(state);
    for (auto _ : state) {
        TMemoryStream stream(fixture.payload);
        QString missing;
        benchmark::DoNotOptimize(ScanRequiredPlugIns(stream, missing));
    }
}
BENCHMARK(BM_FloorScan)->Args({CBENCH_PAGES, CBENCH_PER_PAGE})->Unit(benchmark::kMillisecond);

// A form whose only page has a 200 MB uncompressed picture as its background.
struct TLargeFixture
{
    TLargeFixture()
    {
        path = dir.filePath(QStringLiteral("large.vld"));
        QByteArray picture;
        {
            QImage image(8192, 8534, QImage::Format_RGB888);
            for (int y = 0; y < image.height(); ++y) {
                uchar *row = image.scanLine(y);
                for (int x = 0; x < 3 * image.width(); ++x)
                    row[x] = uchar((x * 7 + y * 13) ^ (x >> 5));
            }
            QBuffer buffer(&picture);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "BMP");
        }
        TDocumentBuilder doc(1);
        doc.Settings(0)->PageBackgroundProps()->SetFileNameImage(picture);
        picture.clear();
        doc.Save(path);
        size = QFileInfo(path).size();
    }
    QTemporaryDir dir;
    QString path;
    qint64 size = 0;
};

TLargeFixture &Large()
{
    static TLargeFixture fixture;
    return fixture;
}

struct TToolRun
{
    int Status = -1;
    double Seconds = 0;
    double PeakBytes = 0;
};

// vldtool as a process of its own, so that its peak memory is its alone.
TToolRun RunTool(const QStringList &arguments)
{
    QList<QByteArray> words {QByteArrayLiteral(VELORA_VLDTOOL)};
    for (const QString &argument : arguments)
        words << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    TToolRun run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        // A child's own peak counter would start from this process's size, which it
        // shares until it starts the tool: the tool's high-water mark is read while it runs.
        const QString status = QStringLiteral("/proc/%1/status").arg(pid);
        int exit = 0;
        while (waitpid(pid, &exit, WNOHANG) == 0) {
            QFile file(status);
            if (file.open(QIODevice::ReadOnly))
                for (const QByteArray &line : file.readAll().split('\n'))
                    if (line.startsWith("VmHWM:"))
                        run.PeakBytes
                            = std::max(run.PeakBytes,
                                       line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024);
            usleep(1000);
        }
        run.Seconds = timer.nsecsElapsed() / 1e9;
        run.Status = WIFEXITED(exit) ? WEXITSTATUS(exit) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// The goal: peak memory within 3x the file, time within 2x of SHA-1 + AES over it.
void BM_ToolCheckLarge(benchmark::State &state)
{
    const TLargeFixture &large = Large();
    double check = 0, floor = 0, peak = 0;
    int status = 0;
    for (auto _ : state) {
        const TToolRun run = RunTool({QStringLiteral("check"), large.path});
        state.SetIterationTime(run.Seconds);
        check += run.Seconds;
        peak = std::max(peak, run.PeakBytes);
        status = std::max(status, run.Status);
        // The floor in the same run: the envelope's digest and cipher over the same bytes.
        QFile file(large.path);
        file.open(QIODevice::ReadOnly);
        TMemoryStream stream(file.readAll());
        QElapsedTimer timer;
        timer.start();
        std::uint32_t tag = 0;
        benchmark::DoNotOptimize(DecryptDocument(stream, tag));
        floor += timer.nsecsElapsed() / 1e9;
    }
    const double n = double(state.iterations());
    state.counters["file_MB"] = double(large.size) / 1e6;
    state.counters["check_s"] = check / n;
    state.counters["sha1_aes_s"] = floor / n;
    state.counters["time_x_floor"] = check / floor;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_x_file"] = peak / double(large.size);
    state.counters["exit_status"] = status;
}
BENCHMARK(BM_ToolCheckLarge)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
// Keeps each load's time for the ratios of the large document to the small one.
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
    const auto ratio = [&](const char *what, const char *small, const char *large) {
        const auto a = reporter.Times.find(small);
        const auto b = reporter.Times.find(large);
        if (a != reporter.Times.end() && b != reporter.Times.end() && a->second > 0)
            std::printf("%s: 50,000 elements / 5,000 elements = %.2fx (goal within 11x)\n", what,
                        b->second / a->second);
    };
    ratio("load, pages of 250", "BM_Load/pages:20/per_page:250", "BM_Load/pages:200/per_page:250");
    ratio("load, pages of 5,000", "BM_Load/pages:1/per_page:5000",
          "BM_Load/pages:10/per_page:5000");
    ratio("save, pages of 250", "BM_Save/pages:20/per_page:250", "BM_Save/pages:200/per_page:250");
    ratio("save, pages of 5,000", "BM_Save/pages:1/per_page:5000",
          "BM_Save/pages:10/per_page:5000");
    return 0;
}
