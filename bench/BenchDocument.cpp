#include "BenchDocument.h"

#include "CAppPaths.h"
#include "CClassRegistry.h"
#include "CDocumentBuilder.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

namespace {
const TClassRegistration<TSampleTextBox> registerBox;
} // namespace

QString BenchText(int page, int i)
{
    return QStringLiteral("Value %1 on page %2").arg(i).arg(page);
}

QRect BenchRect(int i, int perPage)
{
    if (perPage > CBENCH_PER_PAGE)
        return QRect(20 + (i % CBENCH_DENSE_COLUMNS) * 15, 20 + (i / CBENCH_DENSE_COLUMNS) * 10, 14,
                     9);
    return QRect(40 + (i % 5) * 140, 40 + (i / 5) * 20, 130, 18);
}

TBenchMarks BenchMarks(int page, int i, int perPage)
{
    TBenchMarks marks;
    marks.Rect = BenchRect(i, perPage);
    marks.Filled = i % 3 == 0;
    if (perPage > CBENCH_PER_PAGE) {
        // A cell of a dense form holds one character.
        marks.Text = QString(QChar(u'0' + (i + page) % 10));
    } else if (i % 5 == 4) {
        marks.Comb = true;
        marks.Text = QString::number(10000000 + i * 7 + page).left(8);
    } else {
        marks.Text = BenchText(page, i);
    }
    return marks;
}

void BuildBenchDocument(TDocumentBuilder &doc, int pages, int perPage)
{
    for (int page = 0; page < pages; ++page) {
        doc.AddPage();
        for (int i = 0; i < perPage; ++i) {
            const TBenchMarks marks = BenchMarks(page, i, perPage);
            auto *box = doc.Add<TSampleTextBox>(page, QStringLiteral("Box%1_%2").arg(page).arg(i),
                                                marks.Rect);
            box->VisualGeneralProps()->SetGeneralDefaultText(marks.Text);
            box->VisualBorderProps()->SetBorderWidth(1);
            if (marks.Filled)
                box->VisualFillProps()->SetFillColor(CBENCH_FILL);
            if (marks.Comb) {
                TPropGroupFixed *comb = box->VisualParagraphProps()->ParagraphFixed();
                comb->SetFixedWidth(CBENCH_COMB_MM);
                comb->SetFixedHeight(CBENCH_COMB_MM);
                comb->FixedBorderProps()->SetBorderWidth(1);
                box->VisualParagraphProps()->SetParagraphStyle(psFixed);
            }
        }
    }
}

double ResidentBytes()
{
    malloc_trim(0);
    QFile file(QStringLiteral("/proc/self/statm"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE));
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
