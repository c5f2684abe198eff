// Evaluating a calculation box's expression: a 200-token text with nested calls against the same
// arithmetic compiled as long double code, which is the floor no evaluator can beat.

#include "CStExpression.h"

#include <QStringList>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int SegmentCount = 3;
constexpr int ValueCount = 7;
// Each segment's a to g; three segments of 66 tokens joined by "+" give 200 tokens.
const long double Values[SegmentCount][ValueCount] = {
    {1.5L, 3, 2.5L, 3, 0.75L, 1.25L, 2},
    {0.25L, 5, 7.5L, 1.5L, 2.5L, 3.5L, 4},
    {2.75L, 6, 0.5L, 2, 1.5L, 0.5L, 1},
};

QString ExpressionText()
{
    QStringList segments;
    for (const auto &v : Values) {
        QString segment = QStringLiteral("sqrt(abs(sin(%1)*3+2))*hypot(%2,4)-ln(%3)/exp(-0.5)"
                                         "+2^%4^0.5-(1.25-%5)*-4+logn(2,sqr(%6)+1)*cos(%7/3)");
        for (const long double value : v)
            segment = segment.arg(double(value));
        segments.append(segment);
    }
    return segments.join(QLatin1Char('+'));
}

long double CompiledSegment(const long double *v)
{
    return std::sqrt(std::fabs(std::sin(v[0]) * 3 + 2)) * std::hypot(v[1], 4.0L)
        - std::log(v[2]) / std::exp(-0.5L) + std::pow(2.0L, std::pow(v[3], 0.5L))
        - (1.25L - v[4]) * -4 + std::log(v[5] * v[5] + 1) / std::log(2.0L) * std::cos(v[6] / 3);
}

long double Compiled(const long double (&values)[SegmentCount][ValueCount])
{
    long double sum = 0;
    for (const auto &v : values)
        sum += CompiledSegment(v);
    return sum;
}

} // namespace

static void BM_EvaluateExpression(benchmark::State &state)
{
    TStExpression expression(TStExprSeparators {});
    expression.SetExpression(ExpressionText());
    const long double value = expression.AnalyzeExpression();
    if (std::fabs(value - Compiled(Values)) > 1e-15L * std::fabs(value))
        state.SkipWithError("the evaluator and the compiled code disagree");
    for (auto _ : state)
        benchmark::DoNotOptimize(expression.AnalyzeExpression());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateExpression);

static void BM_CompiledFloor(benchmark::State &state)
{
    long double values[SegmentCount][ValueCount];
    std::copy(&Values[0][0], &Values[0][0] + SegmentCount * ValueCount, &values[0][0]);
    for (auto _ : state) {
        // Makes the inputs unknown again, so the arithmetic is done on every pass.
        benchmark::DoNotOptimize(values);
        benchmark::ClobberMemory();
        benchmark::DoNotOptimize(Compiled(values));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompiledFloor);

BENCHMARK_MAIN();
