#include "CPdfPane.h"

#include "CComponentStream.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPlugInContract.h"
#include "CPrinterPage.h"
#include "CPropEditors.h"
#include "CPropHelper.h"

#include <QFile>
#include <QFileInfo>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace {
constexpr int kPDFNameTopic = 30;

bool IsPrinterCanvas(const QPainter &canvas)
{
    const QPaintDevice *device = canvas.device();
    const QPaintEngine *engine = canvas.paintEngine();
    return (device && device->devType() == QInternal::Printer)
        || (engine && engine->type() == QPaintEngine::Pdf);
}

// The part of rect the canvas will really show: its clip, or the part of the
// window being repainted.
QRect VisiblePart(const QPainter &canvas, const QRect &rect)
{
    QRect visible = rect;
    if (canvas.hasClipping())
        visible &= canvas.clipBoundingRect().toAlignedRect();
    const QPaintEngine *engine = canvas.paintEngine();
    if (engine && !engine->systemClip().isEmpty())
        visible &= canvas.deviceTransform().inverted().mapRect(engine->systemClip().boundingRect());
    return visible;
}
} // namespace

TPdfPane::TPdfPane(TComponent *owner) : TNonVisualPgCtrl(owner)
{
    // No body on paper: the size of the designer's button that stands for it.
    resize(28, 28);
}

TPdfPane::~TPdfPane() = default;

QString TPdfPane::PDFText() const
{
    return Windows1252ToString(m_pdf);
}

void TPdfPane::SetPDFText(const QString &text)
{
    QByteArray bytes;
    // Every 8-bit string maps back to its bytes; other text is no stored content.
    if (!StringToWindows1252(text, bytes))
        bytes.clear();
    m_pdf = bytes;
    m_cache.clear();
    // Content that cannot be shown stays as it came, so saving loses nothing.
    if (m_pdf.isEmpty() || !m_renderer.LoadData(m_pdf))
        m_renderer.Clear();
}

void TPdfPane::ReportFile(const QString &path, const char *what, const QString &reason) const
{
    QString text = QStringLiteral("The specified PDF file '%1' could not be %2.")
                       .arg(path, QLatin1String(what));
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason.at(0).toUpper() + reason.mid(1) + u'.';
    Global_MessageDlg(GlobalAppTitle(), text, mtError, mbOK, 0);
}

void TPdfPane::SetPDFName(const QString &path)
{
    if (IsLoading() || GlobalLoadingProject) {
        m_name = path;
        return;
    }
    if (path == m_name && !path.isEmpty() && !m_pdf.isEmpty())
        return;
    if (!path.isEmpty()) {
        if (!QFileInfo::exists(path)) {
            ReportFile(path, "found");
            return;
        }
        QFile file(path);
        QByteArray data;
        QString reason;
        bool whole = file.open(QIODevice::ReadOnly);
        if (whole) {
            const qint64 size = file.size();
            data = file.readAll();
            whole = data.size() == size && file.error() == QFileDevice::NoError;
        }
        // The renderer keeps what it showed until the new bytes prove sound.
        if (!whole || !m_renderer.LoadData(data, &reason)) {
            if (!whole)
                reason = file.error() != QFileDevice::NoError
                    ? file.errorString()
                    : QStringLiteral("the file was read only in part");
            ReportFile(path, "loaded", reason);
            return;
        }
        m_pdf = data;
    } else {
        m_pdf.clear();
        m_renderer.Clear();
    }
    m_name = path;
    m_cache.clear();
    update();
    if (TPrinterPage *page = GlobalPgScrollBox(GlobalActivePgIdx()))
        page->PaintBox()->update();
    GlobalMadeChange();
}

void TPdfPane::AddRemovePropHelperInf(TPropHelper *helper)
{
    TNonVisualPgCtrl::AddRemovePropHelperInf(helper);
    helper->AddInfo(QStringLiteral("PDFName"), QStringLiteral("PDF File Name"), 20);
    helper->RemoveInfo(QStringLiteral("BaseLocked"));
}

int TPdfPane::HlpCtx(const QString &propertyName)
{
    if (propertyName.compare(QLatin1String("PDFName"), Qt::CaseInsensitive) == 0)
        return kPDFNameTopic;
    return TNonVisualPgCtrl::HlpCtx(propertyName);
}

void TPdfPane::RegisterPropertyEditors()
{
    TNonVisualPgCtrl::RegisterPropertyEditors();
    RegisterPropertyEditor({QStringLiteral("QString"), QString(),
                            QStringLiteral("TPropEditorPdfPanePDFName"), QStringLiteral("PDFName"),
                            TPropEditorKind::Dialog});
}

bool TPdfPane::ShowPropEditor(const QString &propertyName, bool recordUndo, QString &value)
{
    if (!propertyName.isEmpty()
        && propertyName.compare(QLatin1String("PDFName"), Qt::CaseInsensitive) != 0)
        return TNonVisualPgCtrl::ShowPropEditor(propertyName, recordUndo, value);
    const QString old = m_name;
    value = old;
    QString chosen;
    if (!GlobalSelectedImageFile(old, QStringLiteral("PDF File"), true, chosen, kPDFNameTopic))
        return false;
    SetPDFName(chosen);
    value = m_name;
    if (m_name != chosen)
        return false;
    if (recordUndo && GlobalRecordDblClickUndo && old != m_name)
        GlobalRecordDblClickUndo(this, QStringLiteral("PDFName"), old, m_name);
    PostMessage(GlobalMainForm, VRMSGEditStateChanged);
    return true;
}

std::intptr_t TPdfPane::PageSizeAnswer(int page) const
{
    const QSizeF size = m_renderer.PageSize(page);
    if (size.isEmpty())
        return 0;
    const auto clamp = [](qreal points) {
        return std::uintptr_t(qBound<qreal>(1, std::nearbyint(points), 0xFFFF));
    };
    return std::intptr_t(clamp(size.width()) | (clamp(size.height()) << 16));
}

void TPdfPane::PaintPage(const TPaintPDFPageRequest &request)
{
    if (!request.Canvas || request.Rect.isEmpty() || m_renderer.PageSize(request.Page).isEmpty())
        return;
    QPainter &canvas = *request.Canvas;
    if (IsPrinterCanvas(canvas)) {
        // At the printer's own resolution; never from the screen's cache.
        if (!m_renderer.PaintVectors(canvas, request.Page, request.Rect)) {
            const QImage image = m_renderer.Render(request.Page, request.Rect.size());
            if (!image.isNull())
                canvas.drawImage(request.Rect.topLeft(), image);
        }
    } else if (GlobalQuickDrawPDFs()) {
        DrawQuick(canvas, request.Page, request.Rect);
    } else {
        m_cache.clear();
        DrawDirect(canvas, request.Page, request.Rect);
    }
}

void TPdfPane::DrawQuick(QPainter &canvas, int page, const QRect &rect)
{
    qsizetype i = 0;
    while (i < m_cache.size()
           && (m_cache.at(i).Page != page || m_cache.at(i).Image.size() != rect.size()))
        ++i;
    if (i < m_cache.size()) {
        m_cache.move(i, 0);
    } else {
        QImage image = m_renderer.Render(page, rect.size());
        if (image.isNull())
            return;
        m_cache.prepend({page, std::move(image)});
        // The page just drawn always stays; the least recently used go first.
        qsizetype bytes = 0;
        for (qsizetype n = 0; n < m_cache.size(); ++n) {
            bytes += m_cache.at(n).Image.sizeInBytes();
            if (n > 0 && bytes > QuickDrawBudget) {
                m_cache.resize(n);
                break;
            }
        }
    }
    canvas.drawImage(rect.topLeft(), m_cache.constFirst().Image);
}

void TPdfPane::DrawDirect(QPainter &canvas, int page, const QRect &rect)
{
    const QRect visible = VisiblePart(canvas, rect);
    if (visible.isEmpty())
        return;
    const QImage image = m_renderer.Render(page, rect.size(), visible.translated(-rect.topLeft()));
    if (!image.isNull())
        canvas.drawImage(visible.topLeft(), image);
}

void TPdfPane::Dispatch(TMessage &message)
{
    switch (message.Msg) {
    case VRMSGPaintPDFPage:
        if (const auto *request = reinterpret_cast<const TPaintPDFPageRequest *>(message.LParam))
            PaintPage(*request);
        break;
    case VRMSGPDFPageSize:
        message.Result = PageSizeAnswer(int(message.WParam));
        break;
    case VRMSGGetPDFName:
        if (auto *name = reinterpret_cast<QString *>(message.LParam))
            *name = m_name;
        message.Result = reinterpret_cast<std::intptr_t>(&m_name);
        break;
    case VRMSGPDFNameMatch:
        if (const auto *path = reinterpret_cast<const QString *>(message.LParam))
            message.Result = path->compare(m_name, Qt::CaseInsensitive);
        else
            message.Result = 1;
        break;
    case VRMSGSetPDFName:
        if (const auto *path = reinterpret_cast<const QString *>(message.LParam))
            SetPDFName(*path);
        break;
    case ::VRMSGDblClickDlgSetPropVal: {
        const auto *name = reinterpret_cast<const QString *>(message.WParam);
        const auto *value = reinterpret_cast<const QString *>(message.LParam);
        if (name && value && name->compare(QLatin1String("PDFName"), Qt::CaseInsensitive) == 0)
            SetPDFName(*value);
        else
            TNonVisualPgCtrl::Dispatch(message);
        break;
    }
    default:
        TNonVisualPgCtrl::Dispatch(message);
        break;
    }
}

VELORA_REGISTER_ELEMENT(TPdfPane)
