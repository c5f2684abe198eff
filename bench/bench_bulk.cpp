// Bulk filling through the filler's command line: 1,000 rows of the Employee
// example into one PDF, in pages per second, beside one form printed alone
// (the same program, the same form), measured in the same run. Both include
// the program's start, which the single print pays once per form.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
constexpr int kRows = 1000;

QTemporaryDir &Folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString Form()
{
    return QStringLiteral(VELORA_EXAMPLES "/Employee.vld");
}

QString DataFile()
{
    const QString path = Folder().filePath(QStringLiteral("rows.csv"));
    if (!QFile::exists(path)) {
        QByteArray data = "FullName,Address,Email,Salary\r\n";
        for (int row = 1; row <= kRows; ++row)
            data += QStringLiteral("Person %1,\"%1 Main Street\nFlat %1\",p%1@example.com,%2\r\n")
                        .arg(row)
                        .arg(row * 10)
                        .toUtf8();
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(data);
    }
    return path;
}

bool RunFiller(const QStringList &arguments)
{
    QProcess filler;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), Folder().filePath(QStringLiteral("config")));
    filler.setProcessEnvironment(env);
    filler.start(QStringLiteral(VELORA_FILLER), arguments);
    return filler.waitForFinished(600000) && filler.exitStatus() == QProcess::NormalExit
        && filler.exitCode() == 0;
}

// The form filled with the first row, saved by the bulk fill itself.
QString FilledForm()
{
    const QString first = Folder().filePath(QStringLiteral("first.csv"));
    QFile rows(DataFile());
    QFile one(first);
    if (rows.open(QIODevice::ReadOnly) && one.open(QIODevice::WriteOnly)) {
        const QList<QByteArray> lines = rows.readAll().split('\n');
        one.write(lines.mid(0, 3).join('\n') + '\n');
    }
    one.close();
    const QString folder = Folder().filePath(QStringLiteral("filled"));
    QDir().mkpath(folder);
    RunFiller({QStringLiteral("--fill"), first, QStringLiteral("--save-each"), folder, Form()});
    return folder + QStringLiteral("/Employee-1.vld");
}

void BM_SingleFormPrint(benchmark::State &state)
{
    const QString form = FilledForm();
    const QString pdf = Folder().filePath(QStringLiteral("one.pdf"));
    for (auto _ : state)
        if (!RunFiller({QStringLiteral("--print-to-pdf"), pdf, form}))
            state.SkipWithError("VeloraFiller --print-to-pdf failed");
    state.counters["pages_per_s"]
        = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SingleFormPrint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BulkFill1000Rows(benchmark::State &state)
{
    const QString data = DataFile();
    const QString pdf = Folder().filePath(QStringLiteral("bulk.pdf"));
    for (auto _ : state)
        if (!RunFiller(
                {QStringLiteral("--fill"), data, QStringLiteral("--print-to-pdf"), pdf, Form()}))
            state.SkipWithError("VeloraFiller --fill failed");
    state.counters["pages_per_s"]
        = benchmark::Counter(double(state.iterations()) * kRows, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BulkFill1000Rows)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
