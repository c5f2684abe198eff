// The design surface with 1,000 elements on a page: a rubber band that selects
// them all, then a mouse drag of the whole group by one pixel, painting
// included; beside it, in the same iterations, a plain QWidget::move of the
// same 1,000 widgets by one pixel, painting included. Both are given per
// element, and their ratio as a counter (goal: within 3x).

#include "BenchDocument.h"
#include "CDocumentBuilder.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CSurfaceDesigner.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {
constexpr int kElements = 1000;
constexpr int kColumns = 25;

QRect Slot(int i)
{
    return QRect(60 + (i % kColumns) * 30, 60 + (i / kColumns) * 22, 28, 18);
}

void MouseMove(QWidget *widget, const QPoint &at)
{
    QMouseEvent event(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_BandSelectAndDragBesidePlainMove(benchmark::State &state)
{
    TDocumentBuilder doc(1);
    QList<QWidget *> elements;
    for (int i = 0; i < kElements; ++i) {
        auto *box = doc.Add<TSampleTextBox>(0, QStringLiteral("Box%1").arg(i), Slot(i));
        box->VisualBorderProps()->SetBorderWidth(1);
        elements.append(box);
    }
    doc.Pages()->resize(1000, 1200);
    doc.Pages()->show();
    TFillerScrollBox *view = doc.View(0);
    std::unique_ptr<TSurfaceDesigner> designer(CreateComponent<TSurfaceDesigner>(nullptr));
    designer->OnCanSelect = [](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        allow = qobject_cast<TBasePgCtrl *>(ctrl) != nullptr;
    };
    int moves = 0;
    designer->OnCtrlMoved = [&](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls, int,
                                TSurfaceDesignerGrabber, bool, bool) {
        moves += int(ctrls.size());
    };
    designer->SetSurface(view);
    designer->SetActive(true);
    TSurfaceDesignerEngine *engine = designer->Engine();
    QCoreApplication::processEvents();

    const auto onEngine = [&](const QPoint &inView) {
        return engine->mapFrom(view, inView);
    };
    // The page lays its elements out from their share of the paper: take where they are.
    QRect all;
    for (QWidget *element : std::as_const(elements))
        all |= element->geometry();
    const QPoint bandFrom = onEngine(all.topLeft() - QPoint(10, 10));
    const QPoint bandTo = onEngine(all.bottomRight() + QPoint(10, 10));
    double designerSeconds = 0, plainSeconds = 0;
    int step = 1;
    for (auto _ : state) {
        const QPoint grip = onEngine(elements[0]->geometry().center());
        auto start = std::chrono::steady_clock::now();
        QTest::mousePress(engine, Qt::LeftButton, {}, bandFrom);
        MouseMove(engine, (bandFrom + bandTo) / 2);
        MouseMove(engine, bandTo);
        QTest::mouseRelease(engine, Qt::LeftButton, {}, bandTo);
        QTest::mousePress(engine, Qt::LeftButton, {}, grip);
        MouseMove(engine, grip + QPoint(step, 0));
        QTest::mouseRelease(engine, Qt::LeftButton, {}, grip + QPoint(step, 0));
        QCoreApplication::processEvents();
        const double designerTime = Seconds(start);

        start = std::chrono::steady_clock::now();
        for (QWidget *element : std::as_const(elements))
            element->move(element->pos() + QPoint(-step, 0));
        QCoreApplication::processEvents();
        const double plainTime = Seconds(start);

        designerSeconds += designerTime;
        plainSeconds += plainTime;
        state.SetIterationTime(designerTime);
        step = -step;
    }
    if (engine->SelCount() != kElements || moves != kElements * int(state.iterations()))
        state.SkipWithError(QStringLiteral("selected %1, moved %2 of %3 elements")
                                .arg(engine->SelCount())
                                .arg(moves)
                                .arg(kElements * int(state.iterations()))
                                .toStdString()
                                .c_str());
    const double iterations = double(state.iterations()) * kElements;
    state.counters["designer_per_element_us"] = designerSeconds / iterations * 1e6;
    state.counters["plain_move_per_element_us"] = plainSeconds / iterations * 1e6;
    state.counters["ratio"] = plainSeconds > 0 ? designerSeconds / plainSeconds : 0;
    designer.reset();
}
BENCHMARK(BM_BandSelectAndDragBesidePlainMove)->UseManualTime()->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    return RunBenchmarks(argc, argv);
}
