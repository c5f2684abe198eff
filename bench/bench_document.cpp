// Saving and loading a document of 20 pages × 250 elements (5,000 elements)
// through the model without windows, beside the floor under it measured on
// the same payload: SHA-1 + AES both ways, and a bare walk of the streams.
// Then `vldtool check` of a form with a 200 MB background picture: its time
// beside SHA-1 + AES over the same file, and its peak memory beside the file.

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
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

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
} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv);
}
