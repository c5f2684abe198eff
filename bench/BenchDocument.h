#pragma once
// The document the benchmarks share: 20 pages × 250 text elements (5,000
// elements), each with a text and a border, built through the model.

#include "CBasePgCtrl.h"
#include "CPropGroups.h"
#include "SampleTextBox.h"

class TDocumentBuilder;
namespace benchmark {
class BenchmarkReporter;
}

inline constexpr int CBENCH_PAGES = 20;
inline constexpr int CBENCH_PER_PAGE = 250;

// Fills an empty builder with the benchmark document.
void BuildBenchDocument(TDocumentBuilder &doc);
// The text of element i of a page.
QString BenchText(int page, int i);
// Where element i of a page lies on the page view at 100 % (screen pixels).
QRect BenchRect(int i);

// The main of the benchmark programs: a QApplication on the offscreen platform,
// the application paths, then the benchmarks the command line selects.
int RunBenchmarks(int argc, char **argv, benchmark::BenchmarkReporter *reporter = nullptr);
