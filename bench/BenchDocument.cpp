#include "BenchDocument.h"

#include "CAppPaths.h"
#include "CClassRegistry.h"
#include "CDocumentBuilder.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {
const TClassRegistration<TSampleTextBox> registerBox;
} // namespace

QString BenchText(int page, int i)
{
    return QStringLiteral("Value %1 on page %2").arg(i).arg(page);
}

QRect BenchRect(int i)
{
    return QRect(40 + (i % 5) * 140, 40 + (i / 5) * 20, 130, 18);
}

void BuildBenchDocument(TDocumentBuilder &doc)
{
    for (int page = 0; page < CBENCH_PAGES; ++page) {
        doc.AddPage();
        for (int i = 0; i < CBENCH_PER_PAGE; ++i) {
            auto *box = doc.Add<TSampleTextBox>(page, QStringLiteral("Box%1_%2").arg(page).arg(i),
                                                BenchRect(i));
            box->VisualGeneralProps()->SetGeneralDefaultText(BenchText(page, i));
            box->VisualBorderProps()->SetBorderWidth(1);
        }
    }
}

int RunBenchmarks(int argc, char **argv, benchmark::BenchmarkReporter *reporter)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GlobalInitPaths();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return 0;
}
