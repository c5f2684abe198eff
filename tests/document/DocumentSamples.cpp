#include "DocumentSamples.h"

#include "CClassRegistry.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>

namespace {
const TClassRegistration<TSampleTextBox> registerTextBox;
const TClassRegistration<TTabSheet> registerTabSheet;
// Stands in for the filler's page surface, which is a page of this class.
const TClassRegistration<TPrinterPage> registerPage;

QByteArray SmallPng()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void FillPageSettings(TProjectPropsPageProps *settings, int page)
{
    settings->SetPageDefaultFocus(QStringLiteral("Field%1_0").arg(page));
    settings->SetPageDefaultView(dvFitToWidth);
    settings->SetPagePublishPage(page % 2 == 1);
    settings->PageFillProps()->SetFillColor(clYellow);
    auto *background = settings->PageBackgroundProps();
    background->SetPageDisplay(false);
    background->AssignFileName(QStringLiteral("/forms/back%1.png").arg(page));
    background->SetFileNameImage(SmallPng());
    background->SetPageFitTo(ftMargins);
    background->SetPageProportional(false);
    background->PagePDFProps()->RenamePDFLink(QStringLiteral("Pdf1"));
    background->PagePDFProps()->SetPDFPage(3);
}

void FillElement(TSampleTextBox *box, int index)
{
    box->setGeometry(10 + 5 * index, 20 + 40 * index, 120, 30);
    box->SetBaseRelLeft(12.345678901234567891L + index);
    box->SetBaseRelTop(1.0L / 3);
    box->SetBaseRelWidth(20.5L);
    box->SetBaseRelHeight(std::numeric_limits<long double>::denorm_min());
    box->SetTabOrder(index);
    box->SetHint(QStringLiteral("Hint %1").arg(index));
    auto *general = box->VisualGeneralProps();
    // One text the 8-bit form holds, one it does not.
    general->SetGeneralDefaultText(index % 2 ? QStringLiteral("Ωμέγα ✓")
                                             : QStringLiteral("Grüße – 5 €"));
    general->SetGeneralRequired(true);
    auto *character = box->VisualCharacterProps();
    character->SetCharacterFont(QStringLiteral("Courier New"));
    character->SetCharacterSize(12);
    character->SetCharacterStyle(csBold | csUpperCase);
    character->SetCharacterColor(clMaroon);
    auto *paragraph = box->VisualParagraphProps();
    paragraph->SetParagraphStyle(psFixed);
    paragraph->SetParagraphHorzAlign(taCenter);
    paragraph->ParagraphFixed()->SetFixedWidth(4.25L);
    paragraph->ParagraphFixed()->FixedBorderProps()->SetBorderColor(clRed);
    paragraph->ParagraphFixed()->FixedFillProps()->SetFillTransparent(false);
    box->VisualBorderProps()->SetBorderWidth(2);
    box->VisualPadProps()->SetPadLeft(3);
    box->VisualTABOnProps()->SetTABOnEnterKey(false);
    box->VisualValidationProps()->SetValidationErrMsgsList(
        {QStringLiteral("Field is incomplete!"), QStringLiteral("Second")});
}

} // namespace

TSampleDocument::TSampleDocument(int pages, int elements) : Pages(std::make_unique<TPageControl>())
{
    Pages->SetName(QStringLiteral("PagesPageControl"));
    for (int page = 0; page < pages; ++page) {
        FillPageSettings(Project.Page(Project.AddPage()), page);
        auto *sheet = CreateComponent<TTabSheet>(Pages.get());
        sheet->SetName(QStringLiteral("TabSheet%1").arg(page + 1));
        Pages->addTab(sheet, QStringLiteral("Page %1").arg(page + 1));
        auto *view = CreateComponent<TPrinterPage>(Pages.get());
        view->SetName(QStringLiteral("FillerScrollBox%1").arg(page + 1));
        view->setParent(sheet);
        view->SetColor(clWhite);
        for (int i = 0; i < elements; ++i) {
            auto *box = CreateComponent<TSampleTextBox>(Pages.get());
            box->SetName(QStringLiteral("Field%1_%2").arg(page).arg(i));
            box->setParent(view);
            FillElement(box, i);
        }
    }
    if (pages > 0) {
        Info.SetLastExportFileName(QStringLiteral("/export/form.html"));
        Info.SetLastExportSMTPPort(2525);
        Info.SetLastExportBody1(QStringLiteral("Line 1\r\nLine 2"));
    }
}

TSampleDocument::~TSampleDocument() = default;

QByteArray TSampleDocument::Payload()
{
    TMemoryStream payload;
    WriteComponent(payload, &Project);
    for (TProjectPropsPageProps *settings : Project.PageProps())
        WriteComponent(payload, settings);
    WriteComponent(payload, Pages.get());
    WriteComponent(payload, &Info);
    return payload.Data();
}

void TSampleDocument::Read(TMemoryStream &payload)
{
    const int count = StreamedPageCount(payload);
    ReadComponent(payload, &Project);
    for (int i = 0; i < count; ++i) {
        auto settings = std::make_unique<TProjectPropsPageProps>();
        ReadComponent(payload, settings.get());
        Project.AddPage(settings.release());
    }
    ReadComponent(payload, Pages.get());
    if (!payload.AtEnd())
        ReadComponent(payload, &Info);
}

QByteArray SampleDocumentPayload()
{
    TSampleDocument document(1, 2);
    return document.Payload();
}

QString ReadSampleDocument(const QByteArray &payload)
{
    TSampleDocument document(0, 0);
    TMemoryStream stream(payload);
    try {
        document.Read(stream);
    } catch (const EVeloraError &e) {
        return e.Message();
    }
    return QString();
}

QStringList PayloadRoots(const QByteArray &payload)
{
    static const QRegularExpression pixels(QStringLiteral("^ +(Left|Top|Width|Height) = -?\\d+\n"),
                                           QRegularExpression::MultilineOption);
    QStringList roots;
    TMemoryStream stream(payload);
    while (!stream.AtEnd())
        roots.append(ComponentToText(stream).remove(pixels));
    return roots;
}

int StreamedPageCount(TMemoryStream &payload)
{
    std::optional<TStreamValue> count;
    try {
        count = PeekRootProperty(payload, QStringLiteral("PageCount"));
    } catch (const EReadError &) { }
    return count && count->IsInteger() ? int(std::clamp<std::int64_t>(count->Int, 0, 1 << 20)) : 0;
}

QByteArray SampleScanPayload()
{
    auto s = [](QByteArrayView text) {
        return char(text.size()) + text.toByteArray();
    };
    QByteArray b = "TPF0" + s("TPageControl") + s("Pages") + '\0';
    b += s("TTabSheet") + s("Sheet1") + '\0';
    b += s("tscribe") + s("Text1");
    b += s("Count") + QByteArray("\x02\x05", 2);
    b += s("Lines.Strings")
        + QByteArray("\x01\x06\x01"
                     "a\x00",
                     5);
    b += s("Items") + QByteArray("\x0E\x02\x01\x01", 4) + s("N") + QByteArray("\x06\x01x\0\0", 5);
    b += s("Data") + QByteArray("\x0A\x03\0\0\0abc", 8);
    b += QByteArray(2, '\0');
    b += s("TCombo") + s("") + QByteArray(2, '\0');
    b += s("TButton") + s("Go") + QByteArray(2, '\0');
    b += QByteArray(2, '\0');
    b += "TPF0" + s("TProjectInfo") + s("") + s("LastPalettePage") + QByteArray("\x02\x01", 2);
    b += QByteArray(2, '\0');
    return b;
}
