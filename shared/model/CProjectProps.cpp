#include "CProjectProps.h"

#include "CClassRegistry.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPlugIns.h"
#include "CPropHelper.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPointer>

namespace {
constexpr int kPdfPaneKind = 100;
constexpr int kPageFileTopic = 57;

const TClassRegistration<TProjectPropsPageProps> registerPageProps;

void ShowFileError(const QString &fileName, const char *what)
{
    Global_MessageDlg(GlobalAppTitle(),
                      QString::fromLatin1(SPageFileMessage).arg(fileName, QLatin1String(what)),
                      mtError, mbOK, 0);
}
} // namespace

int GlobalPgPropGroupPgNo(const TPropGroup *group)
{
    if (!group || !GlobalProjectProps)
        return -1;
    return int(GlobalProjectProps->PageProps().indexOf(
        qobject_cast<TProjectPropsPageProps *>(group->Owner())));
}

TProjectPropsPageProps *GlobalPgProps(int index)
{
    return GlobalProjectProps ? GlobalProjectProps->Page(index) : nullptr;
}

int GlobalPageIndexOf(const QWidget *pageView)
{
    for (int i = 0; pageView && GlobalPagesPageControl && i < GlobalPagesPageControl->PageCount();
         ++i)
        if (GlobalPgScrollBox(i) == pageView)
            return i;
    return -1;
}

namespace {
// Margins and paper groups reach their page view through their page's index.
TPrinterPage *PageViewOfGroup(const TPropGroup *group)
{
    return GlobalPgScrollBox(GlobalPgPropGroupPgNo(group));
}

struct TRegisterGroupLookup
{
    TRegisterGroupLookup() { GlobalPgPropGroupPageView = &PageViewOfGroup; }
} registerGroupLookup;
} // namespace

// ---------------------------------------------------------------------------
// TProjectPropsPagePropsPropGroupPDF

TProjectPropsPagePropsPropGroupPDF::TProjectPropsPagePropsPropGroupPDF(TProjectPropsPageProps *page,
                                                                       QObject *parent)
    : TPropGroupPDF(page), m_page(page)
{
    setParent(parent);
}

void TProjectPropsPagePropsPropGroupPDF::PropertyChanged(int code)
{
    auto *background = m_page->PageBackgroundProps();
    if (code == 1) {
        QObject *pane = Global_FormElementRef(PDFLink());
        if (pane) {
            QString name;
            SendMessage(pane, VRMSGGetPDFName, 0, reinterpret_cast<std::intptr_t>(&name));
            background->AssignFileName(name);
        } else if (!background->Busy()) {
            background->ClearPicture();
            background->AssignFileName(QString());
        }
        m_page->RepaintPage();
    } else if (code == 2 && !PDFLink().isEmpty()) {
        m_page->RepaintPage();
    }
    TPropGroupPDF::PropertyChanged(code);
}

// ---------------------------------------------------------------------------
// TProjectPropsPagePropsPropGroupFill

TProjectPropsPagePropsPropGroupFill::TProjectPropsPagePropsPropGroupFill(
    TProjectPropsPageProps *page)
    : TPropGroupFill(page, false), m_page(page)
{ }

void TProjectPropsPagePropsPropGroupFill::PropertyChanged(int code)
{
    if (code == 1)
        m_page->RepaintPage();
    TPropGroupFill::PropertyChanged(code);
}

// ---------------------------------------------------------------------------
// TProjectPropsPagePropsPropGroupBackground

TProjectPropsPagePropsPropGroupBackground::TProjectPropsPagePropsPropGroupBackground(
    TProjectPropsPageProps *page)
    : TPropGroup(page), m_page(page), m_pdf(new TProjectPropsPagePropsPropGroupPDF(page, this))
{ }

void TProjectPropsPagePropsPropGroupBackground::SetFileNameImage(const QByteArray &data)
{
    m_imageData = data;
    m_picture = data.isEmpty() ? QImage() : QImage::fromData(data);
    RepaintPage();
}

void TProjectPropsPagePropsPropGroupBackground::ClearPicture()
{
    m_imageData.clear();
    m_picture = QImage();
}

void TProjectPropsPagePropsPropGroupBackground::SetPageDisplay(bool value)
{
    if (m_display == value)
        return;
    m_display = value;
    RepaintPage();
    PropChanged(1);
}

void TProjectPropsPagePropsPropGroupBackground::SetPageFitTo(TPageFitTo value)
{
    if (m_fitTo == value)
        return;
    m_fitTo = value;
    RepaintPage();
    PropChanged(4);
}

void TProjectPropsPagePropsPropGroupBackground::SetPageProportional(bool value)
{
    if (m_proportional == value)
        return;
    m_proportional = value;
    RepaintPage();
    PropChanged(6);
}

void TProjectPropsPagePropsPropGroupBackground::RepaintPage() const
{
    m_page->RepaintPage();
}

bool TProjectPropsPagePropsPropGroupBackground::LoadPicture(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    QImage picture;
    if (!picture.loadFromData(data))
        return false;
    m_imageData = data;
    m_picture = picture;
    return true;
}

void TProjectPropsPagePropsPropGroupBackground::SetPageFileName(const QString &name)
{
    TGlobalFlagScope busy(m_busy);
    const QString previous = m_fileName;
    m_fileName = name;
    // A stream brings the picture and the PDF settings itself.
    if (OwnerLoading() || GlobalLoadingProject)
        return;
    const bool pdfInstalled = GlobalPlugIns && GlobalPlugIns->Installed(kPdfPaneKind);
    if (pdfInstalled && QFileInfo(name).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0) {
        if (QObject *pane = GlobalLocatePdfPane(name)) {
            ClearPicture();
            const auto *component = dynamic_cast<const TComponent *>(pane);
            m_pdf->SetPDFLink(component ? component->Name() : QString());
            m_pdf->SetPDFPage(1);
        } else {
            m_fileName = previous;
        }
    } else if (name.isEmpty()) {
        ClearPicture();
        m_pdf->RenamePDFLink(QString());
        m_pdf->SetPDFPage(0);
    } else if (QFileInfo::exists(name)) {
        if (!LoadPicture(name)) {
            ShowFileError(name, "loaded");
            ClearPicture();
            m_fileName.clear();
        }
        m_pdf->RenamePDFLink(QString());
        m_pdf->SetPDFPage(0);
    } else {
        ShowFileError(name, "found");
        m_fileName = previous;
    }
    RepaintPage();
    GlobalMadeChange();
}

void TProjectPropsPagePropsPropGroupBackground::DefineProperties(TFiler &filer)
{
    filer.DefineBinaryProperty(
        QStringLiteral("FileNameImage.Data"),
        [this](const QByteArray &data) { SetFileNameImage(ImageBytes(data)); },
        [this] { return PictureData(m_imageData); }, !m_imageData.isEmpty());
}

QByteArray TProjectPropsPagePropsPropGroupBackground::PictureData(const QByteArray &imageBytes)
{
    QByteArray className;
    QByteArray data = imageBytes;
    if (imageBytes.startsWith("\x89PNG")) {
        className = "TPngImage";
    } else if (imageBytes.startsWith("\xFF\xD8")) {
        className = "TJPEGImage";
    } else if (imageBytes.startsWith("GIF8")) {
        className = "TGIFImage";
    } else if (imageBytes.startsWith("BM")) {
        // A bitmap's data carries its own length first.
        className = "TBitmap";
        const quint32 size = quint32(imageBytes.size());
        data = QByteArray(reinterpret_cast<const char *>(&size), 4) + imageBytes;
    } else {
        // Other formats Qt reads are kept as PNG.
        className = "TPngImage";
        data.clear();
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImage::fromData(imageBytes).save(&buffer, "PNG");
    }
    return char(className.size()) + className + data;
}

QByteArray TProjectPropsPagePropsPropGroupBackground::ImageBytes(const QByteArray &pictureData)
{
    if (pictureData.isEmpty())
        return {};
    const int nameLength = static_cast<unsigned char>(pictureData.at(0));
    if (pictureData.size() < 1 + nameLength)
        return {};
    const QByteArray className = pictureData.mid(1, nameLength);
    QByteArray data = pictureData.mid(1 + nameLength);
    if (className.compare("TBitmap", Qt::CaseInsensitive) == 0 && data.size() >= 4)
        data.remove(0, 4);
    return data;
}

int TProjectPropsPagePropsPropGroupBackground::HlpCtx(const QString &name) const
{
    static constexpr TPropHlpCtx table[] = {{"PageDisplay", 112},
                                            {"PageFileName", 120},
                                            {"PageFitTo", 122},
                                            {"PageProportional", 167},
                                            {"PagePublish", 169}};
    return GetHlpCtx(name, table);
}

// ---------------------------------------------------------------------------
// TProjectPropsPageProps

TProjectPropsPageProps::TProjectPropsPageProps(TComponent *owner)
    : QObject(nullptr), TComponent(this, owner),
      m_background(new TProjectPropsPagePropsPropGroupBackground(this)),
      m_fill(new TProjectPropsPagePropsPropGroupFill(this)), m_margins(new TPropGroupMargins(this)),
      m_paper(new TPropGroupPaper(this)), m_propHelper(new TPropHelper(this))
{
    AddRemovePropHelperInf(m_propHelper);
}

TProjectPropsPageProps::~TProjectPropsPageProps() = default;

void TProjectPropsPageProps::SetPageDefaultFocus(const QString &name)
{
    if (m_defaultFocus != name) {
        m_defaultFocus = name;
        if (!IsLoading())
            GlobalMadeChange();
    }
}

void TProjectPropsPageProps::SetPagePublishPage(bool value)
{
    if (m_publishPage != value) {
        m_publishPage = value;
        if (!IsLoading())
            GlobalMadeChange();
    }
}

void TProjectPropsPageProps::AddRemovePropHelperInf(TPropHelper *helper)
{
    static constexpr struct
    {
        const char *Name;
        const char *Caption;
        int Order;
    } entries[] = {{"PagePaperProps", "Paper", 10},
                   {"PaperSize", "Size", 20},
                   {"PaperWidth", "Width (mm)", 30},
                   {"PaperHeight", "Height (mm)", 40},
                   {"PaperOrientation", "Orientation", 50},
                   {"PageBackgroundProps", "Background", 60},
                   {"PageFileName", "File Name", 70},
                   {"PagePDFProps", "PDF", 80},
                   {"PDFLink", "Link", 90},
                   {"PDFPage", "Page", 100},
                   {"PageFitTo", "Fit To", 110},
                   {"PageProportional", "Proportional", 115},
                   {"PagePublish", "Publish", 120},
                   {"PageDisplay", "Display", 130},
                   {"PageFillProps", "Fill", 140},
                   {"FillColor", "Color", 150},
                   {"FillPublish", "Publish", 160},
                   {"PageMarginProps", "Margins (mm)", 170},
                   {"MarginsTop", "Top", 180},
                   {"MarginsRight", "Right", 190},
                   {"MarginsBottom", "Bottom", 200},
                   {"MarginsLeft", "Left", 210},
                   {"MarginsDisplay", "Display", 220},
                   {"PagePublishPage", "Publish", 225},
                   {"PageDefaultView", "Default View", 228},
                   {"PageDefaultFocus", "Default Focus", 230}};
    for (const auto &entry : entries)
        helper->AddInfo(QString::fromLatin1(entry.Name), QString::fromLatin1(entry.Caption),
                        entry.Order);
}

int TProjectPropsPageProps::HlpCtx(const QString &propertyName)
{
    static constexpr TPropHlpCtx table[]
        = {{"PageDisplay", 112},      {"PageFileName", 120},    {"PageFitTo", 122},
           {"PageProportional", 167}, {"PagePublish", 169},     {"PagePublishPage", 173},
           {"PageDefaultView", 110},  {"PageDefaultFocus", 106}};
    if (const int topic = TPropGroup::GetHlpCtx(propertyName, table))
        return topic;
    for (const TPropGroup *group :
         {static_cast<TPropGroup *>(m_background), static_cast<TPropGroup *>(m_fill),
          static_cast<TPropGroup *>(m_margins), static_cast<TPropGroup *>(m_paper),
          static_cast<TPropGroup *>(m_background->PagePDFProps())})
        if (const int topic = group->HlpCtx(propertyName))
            return topic;
    return 0;
}

bool TProjectPropsPageProps::ShowPropEditor(const QString &propertyName, bool recordUndo,
                                            QString &value)
{
    value.clear();
    if (!propertyName.isEmpty() && propertyName != u"PageFileName")
        return false;
    const QString current = m_background->PageFileName();
    const bool pdf = GlobalPlugIns && GlobalPlugIns->Installed(kPdfPaneKind);
    QString chosen;
    if (!GlobalSelectedImageFile(current, QStringLiteral("Background Image File"), pdf, chosen,
                                 kPageFileTopic)) {
        value = current;
        return false;
    }
    if (recordUndo && GlobalRecordPageDblClickUndo)
        GlobalRecordPageDblClickUndo(GlobalActivePgIdx(), QStringLiteral("PageFileName"), current,
                                     chosen);
    m_background->SetPageFileName(chosen);
    value = m_background->PageFileName();
    PostMessage(GlobalMainForm, VRMSGEditStateChanged);
    return true;
}

int TProjectPropsPageProps::PageIndex() const
{
    return GlobalProjectProps
        ? int(GlobalProjectProps->PageProps().indexOf(const_cast<TProjectPropsPageProps *>(this)))
        : -1;
}

TPrinterPage *TProjectPropsPageProps::PageView() const
{
    return GlobalPgScrollBox(PageIndex());
}

void TProjectPropsPageProps::RepaintPage() const
{
    if (TPrinterPage *view = PageView())
        view->PaintBox()->update();
}

void TProjectPropsPageProps::Dispatch(TMessage &message)
{
    // Every reported change of a page setting is a change of the document.
    if (message.Msg == VRMSGPropChanged && !IsLoading())
        GlobalMadeChange();
}

// ---------------------------------------------------------------------------
// TProjectProps

TProjectProps::TProjectProps(TComponent *owner) : QObject(nullptr), TComponent(this, owner)
{
    GlobalFilling = Filling();
    RegisterPropertyEditors();
}

TProjectProps::~TProjectProps()
{
    Clear();
}

bool TProjectProps::Filling() const
{
    return m_filling || GlobalVeloraFiller();
}

void TProjectProps::SetFilling(bool filling)
{
    m_filling = filling;
    GlobalFilling = Filling();
}

int TProjectProps::AddPage(TProjectPropsPageProps *page)
{
    InsertPage(PageCount(), page);
    return PageCount() - 1;
}

void TProjectProps::InsertPage(int index, TProjectPropsPageProps *page)
{
    if (!page)
        page = new TProjectPropsPageProps(nullptr);
    m_pages.insert(qBound(0, index, PageCount()), page);
}

void TProjectProps::RemovePage(int index, bool free)
{
    if (index < 0 || index >= PageCount())
        return;
    TProjectPropsPageProps *page = m_pages.takeAt(index);
    if (free)
        delete page;
}

void TProjectProps::Clear()
{
    while (!m_pages.isEmpty())
        delete m_pages.takeLast();
}

void TProjectProps::ClonePgProps(int sourceIndex, TProjectPropsPageProps *destination) const
{
    const TProjectPropsPageProps *source = Page(sourceIndex);
    if (!source || !destination)
        return;
    const auto *from = source->PageBackgroundProps();
    auto *to = destination->PageBackgroundProps();
    to->SetPageDisplay(from->PageDisplay());
    to->SetPageFitTo(from->PageFitTo());
    to->SetPageProportional(from->PageProportional());
    to->SetPagePublish(from->PagePublish());
    destination->PageFillProps()->SetFillColor(source->PageFillProps()->FillColor());
    destination->PageFillProps()->SetFillPublish(source->PageFillProps()->FillPublish());
    destination->PageFillProps()->SetFillTransparent(source->PageFillProps()->FillTransparent());
    const TPropGroupMargins *m = source->PageMarginProps();
    TPropGroupMargins *dm = destination->PageMarginProps();
    dm->SetMarginsBottom(m->MarginsBottom());
    dm->SetMarginsDisplay(m->MarginsDisplay());
    dm->SetMarginsLeft(m->MarginsLeft());
    dm->SetMarginsRight(m->MarginsRight());
    dm->SetMarginsTop(m->MarginsTop());
    const TPropGroupPaper *p = source->PagePaperProps();
    TPropGroupPaper *dp = destination->PagePaperProps();
    dp->SetPaperHeight(p->PaperHeight());
    dp->SetPaperOrientation(p->PaperOrientation());
    dp->SetPaperSize(p->PaperSize());
    dp->SetPaperWidth(p->PaperWidth());
}

void TProjectProps::DestroyingNVCtrl(const QObject *element)
{
    const auto *component = dynamic_cast<const TComponent *>(element);
    if (!component)
        return;
    for (TProjectPropsPageProps *page : m_pages) {
        TPropGroupPDF *pdf = page->PageBackgroundProps()->PagePDFProps();
        if (pdf->PDFLink().compare(component->Name(), Qt::CaseInsensitive) == 0)
            pdf->RenamePDFLink(QString());
    }
}

void TProjectProps::RenamedNVCtrl(const QString &oldName, const QString &newName)
{
    // An empty old name is an element being named for the first time, which no link names.
    if (oldName.isEmpty() || oldName == newName)
        return;
    for (TProjectPropsPageProps *page : m_pages) {
        TPropGroupPDF *pdf = page->PageBackgroundProps()->PagePDFProps();
        if (pdf->PDFLink().compare(oldName, Qt::CaseInsensitive) == 0)
            pdf->RenamePDFLink(newName);
    }
}

// ---------------------------------------------------------------------------
// TProjectPagePaintBox

TProjectPagePaintBox::TProjectPagePaintBox(TPrinterPage *page) : TPrinterPagePaintBox(page) { }

void TProjectPagePaintBox::PaintBackground(QPainter &canvas, const QRect &sheet,
                                           const QRect &margins, int pageIndex, bool onScreen)
{
    const TProjectPropsPageProps *page = GlobalPgProps(pageIndex);
    const TColor fill = page ? page->PageFillProps()->FillColor() : clNone;
    // The screen shows paper; a printer prints only a colour that was set.
    if (onScreen)
        canvas.fillRect(sheet, fill == clNone ? QColor(Qt::white) : ColorToQColor(fill));
    else if (fill != clNone && page && page->PageFillProps()->FillPublish())
        canvas.fillRect(sheet, ColorToQColor(fill));
    if (!page)
        return;
    const auto *background = page->PageBackgroundProps();
    if (onScreen ? !background->PageDisplay() : !background->PagePublish())
        return;
    TPropGroupPDF *pdf = background->PagePDFProps();
    const QImage &picture = background->Picture();
    const TGlobalImageSource source = GlobalImageSource(pdf, &picture);
    if (source == gisNone)
        return;
    const QRect target = background->PageFitTo() == ftMargins ? margins : sheet;
    const QRect rect = GlobalAdjImgRect(target, source, pdf, &picture, pageIndex,
                                        background->PageProportional(), false);
    if (source == gisPicture) {
        // Shrunk for the screen, sampling single pixels drops the thin strokes of printed
        // labels; the printer takes the picture at its own resolution.
        canvas.save();
        canvas.setRenderHint(QPainter::SmoothPixmapTransform, onScreen);
        canvas.drawImage(rect, picture);
        canvas.restore();
        return;
    }
    // A PDF view paints its own page: canvas, page number and rectangle travel along.
    if (QObject *pane = Global_FormElementRef(pdf->PDFLink())) {
        TPaintPDFPageRequest request {&canvas, pdf->PDFPage(), rect};
        SendMessage(pane, VRMSGPaintPDFPage, std::uintptr_t(pdf->PDFPage()),
                    reinterpret_cast<std::intptr_t>(&request));
    }
}

void TProjectPagePaintBox::PaintSheet(QPainter &canvas)
{
    const QRect margins = Page()->GetUserArea(pdScreen);
    PaintBackground(canvas, rect(), margins, GlobalPageIndexOf(Page()), true);
    PaintMargins(canvas);
}
