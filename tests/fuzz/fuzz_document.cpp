// libFuzzer target for reading documents: the input as a document file
// (envelope, kind scan, the roots read as a load reads them, the text dump)
// and, since random bytes seldom match a digest, as a plain payload as well.
// The element kinds are the shipped plug-ins beside the target, loaded as the
// programs load them. With VELORA_FUZZ_SEEDS=<folder> it first writes seed
// documents there (tools/fuzz-doc adds the example forms).

#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
#include "CComponentStream.h"
#include "CDialogService.h"
#include "CDocumentFile.h"
#include "CPageControl.h"
#include "CPlugIns.h"
#include "CPrinterPage.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "CPropGroups.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <memory>

namespace {
// The text box's element kind, as its plug-in declares it.
constexpr int kTextBoxKind = 20;

const TClassRegistration<TTabSheet> registerTabSheet;
const TClassRegistration<TPrinterPage> registerPage;

// Dialogs are answered at once; a fuzzer has nobody to click.
class TNoDialogs : public TDialogService
{
public:
    int MessageBox(const TMessageRequest &request) override
    {
        return (request.Buttons & mbOK) ? mrOk : mrCancel;
    }
    QString OpenFileName(const TFileRequest &) override { return {}; }
    QString SaveFileName(const TFileRequest &) override { return {}; }
    QString FolderName(const QString &, const QString &) override { return {}; }
    bool PrintDialog(TPrintRequest &) override { return false; }
    int ExecModal(QDialog &) override { return mrCancel; }
    bool OpenUrl(const QUrl &) override { return false; }
    void Beep() override { }
};

void DumpAll(TMemoryStream &payload)
{
    try {
        payload.SetPosition(0);
        while (!payload.AtEnd())
            ComponentToText(payload);
    } catch (const EVeloraError &) { }
}

// The roots in the order a load reads them; each read tree is written again.
void ReadAll(TMemoryStream &payload)
{
    payload.SetPosition(0);
    TProjectProps project;
    TPageControl control;
    TProjectInfo info;
    try {
        const auto count = PeekRootProperty(payload, QStringLiteral("PageCount"));
        const int pages
            = count && count->IsInteger() ? int(std::clamp<qint64>(count->Int, 0, 64)) : 0;
        ReadComponent(payload, &project);
        ComponentToBytes(&project);
        for (int i = 0; i < pages; ++i) {
            auto settings = std::make_unique<TProjectPropsPageProps>();
            ReadComponent(payload, settings.get());
            ComponentToBytes(settings.get());
        }
        ReadComponent(payload, &control);
        ComponentToBytes(&control);
        if (!payload.AtEnd())
            ReadComponent(payload, &info);
        // Roots of any registered class, until the end.
        TObjectComponent owner;
        while (!payload.AtEnd())
            ComponentToBytes(ReadNewComponent(payload, &owner));
    } catch (const EVeloraError &) { }
}

void Examine(TMemoryStream &payload)
{
    QString missing;
    ScanRequiredPlugIns(payload, missing);
    DumpAll(payload);
    ReadAll(payload);
}

void WriteSeed(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(QDir(folder).filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// A small document of every root, as the programs write one.
void WriteSeeds(const QString &folder)
{
    QDir().mkpath(folder);
    TProjectProps project;
    TPageControl pages;
    pages.SetName(QStringLiteral("PagesPageControl"));
    TProjectInfo info;
    info.SetLastExportBody1(QStringLiteral("Body\r\n"));
    auto *settings = project.Page(project.AddPage());
    settings->PageBackgroundProps()->SetFileNameImage(QByteArray("\x89PNG\r\n", 6));
    settings->PageBackgroundProps()->PagePDFProps()->RenamePDFLink(QStringLiteral("Pdf1"));
    auto *sheet = CreateComponent<TTabSheet>(&pages);
    sheet->SetName(QStringLiteral("TabSheet1"));
    pages.addTab(sheet, QString());
    auto *view = CreateComponent<TPrinterPage>(&pages);
    view->SetName(QStringLiteral("FillerScrollBox1"));
    view->setParent(sheet);
    for (int i = 0; i < 2; ++i) {
        auto *box = GlobalPlugIns && GlobalPlugIns->Installed(kTextBoxKind)
            ? dynamic_cast<TVisualPgCtrl *>(
                GlobalPlugIns->PlugInInstance(kTextBoxKind, true, &pages))
            : nullptr;
        if (!box)
            continue;
        box->SetName(QStringLiteral("Field%1").arg(i));
        box->setParent(view);
        box->SetBaseRelLeft(12.5L + i);
        box->VisualGeneralProps()->SetGeneralDefaultText(i ? QStringLiteral("Ωμέγα")
                                                           : QStringLiteral("Grüße €"));
        box->VisualParagraphProps()->ParagraphFixed()->FixedBorderProps()->SetBorderColor(clRed);
        box->VisualCharacterProps()->SetCharacterStyle(csBold | csItalic);
    }
    TMemoryStream payload;
    WriteComponent(payload, &project);
    WriteComponent(payload, settings);
    WriteComponent(payload, &pages);
    WriteComponent(payload, &info);
    WriteSeed(folder, QStringLiteral("seed-payload"), payload.Data());
    EncryptDocument(payload);
    WriteSeed(folder, QStringLiteral("seed-document.vld"), payload.Data());
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_document";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    GlobalInitPaths();
    SetDialogService(std::make_unique<TNoDialogs>());
    // Every element kind that ships, from the folder the target runs in.
    static TPlugIns plugIns(GlobalExecPath);
    GlobalPlugIns = &plugIns;
    if (plugIns.Count() == 0)
        qWarning("fuzz_document: no plug-ins in %s; only the built-in kinds are read",
                 qPrintable(GlobalExecPath));
    const QString seeds = qEnvironmentVariable("VELORA_FUZZ_SEEDS");
    if (!seeds.isEmpty())
        WriteSeeds(seeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TMemoryStream document(bytes);
    std::uint32_t version = 0;
    if (DecryptDocument(document, version))
        Examine(document);
    TMemoryStream payload(bytes);
    Examine(payload);
    // There is no event loop: what the objects posted is delivered here, not piled up.
    QCoreApplication::sendPostedEvents();
    return 0;
}
