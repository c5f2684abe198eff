// Saving and loading a document of 20 pages × 250 elements (5,000 elements)
// through the model without windows, beside the floor under it measured on
// the same payload: SHA-1 + AES both ways, and a bare walk of the streams.

#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
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

// A text-box-like element publishing the groups a real one streams.
class TBenchBox : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupFill *VisualFillProps READ VisualFillProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupPad *VisualPadProps READ VisualPadProps)
    Q_PROPERTY(TPropGroupParagraph *VisualParagraphProps READ VisualParagraphProps)
    Q_PROPERTY(TPropGroupPosSize *VisualPosSizeProps READ VisualPosSizeProps)
    Q_PROPERTY(TPropGroupValidation *VisualValidationProps READ VisualValidationProps)
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 20; }
};

namespace {
const TClassRegistration<TBenchBox> registerBox;
constexpr int kPages = 20;
constexpr int kPerPage = 250;

struct TFixture
{
    TFixture()
    {
        path = dir.filePath(QStringLiteral("bench.vld"));
        TDocumentBuilder doc(kPages);
        for (int page = 0; page < kPages; ++page)
            for (int i = 0; i < kPerPage; ++i) {
                auto *box
                    = doc.Add<TBenchBox>(page, QStringLiteral("Box%1_%2").arg(page).arg(i),
                                         QRect(40 + (i % 5) * 140, 40 + (i / 5) * 20, 130, 18));
                box->VisualGeneralProps()->SetGeneralDefaultText(
                    QStringLiteral("Value %1 on page %2").arg(i).arg(page));
                box->VisualBorderProps()->SetBorderWidth(1);
            }
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    GlobalInitPaths();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "bench_document.moc"
