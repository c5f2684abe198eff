#pragma once
// The documents the benchmarks share, built through the model. The common one
// is 20 pages × 250 text elements (5,000 elements), each with a text and a
// border; every third has a fill and every fifth is a comb of boxes. Other
// shapes scale it: more pages of 250, or dense pages of 5,000 comb-cell-sized
// elements, as on a tax form.

#include "CBasePgCtrl.h"
#include "CPropGroups.h"
#include "SampleTextBox.h"

class TDocumentBuilder;
namespace benchmark {
class BenchmarkReporter;
}

inline constexpr int CBENCH_PAGES = 20;
inline constexpr int CBENCH_PER_PAGE = 250;
// A page with more elements than this is laid out as a dense grid.
inline constexpr int CBENCH_DENSE_COLUMNS = 50;

// The marks an element of the benchmark documents carries.
struct TBenchMarks
{
    QRect Rect; // on the page view at 100 % (screen pixels)
    QString Text;
    bool Filled = false;
    bool Comb = false;
};
// Comb boxes of the benchmark documents, in millimetres, and the fill colour.
inline constexpr int CBENCH_COMB_MM = 4;
inline constexpr TColor CBENCH_FILL {0x00E0F0FF};

// Fills an empty builder with pages × perPage elements.
void BuildBenchDocument(TDocumentBuilder &doc, int pages = CBENCH_PAGES,
                        int perPage = CBENCH_PER_PAGE);
// What element i of a page holds in a document of perPage elements a page.
TBenchMarks BenchMarks(int page, int i, int perPage = CBENCH_PER_PAGE);
// The text of element i of a page.
QString BenchText(int page, int i);
// Where element i of a page lies on the page view at 100 % (screen pixels).
QRect BenchRect(int i, int perPage = CBENCH_PER_PAGE);

// The process's resident memory now, in bytes, after handing freed memory back.
double ResidentBytes();

// The main of the benchmark programs: a QApplication on the offscreen platform,
// the application paths, then the benchmarks the command line selects.
int RunBenchmarks(int argc, char **argv, benchmark::BenchmarkReporter *reporter = nullptr);
