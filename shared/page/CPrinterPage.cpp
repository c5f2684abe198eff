#include "CPrinterPage.h"

#include "CBasePgCtrl.h"
#include "CPrinterService.h"

#include <QPaintEvent>
#include <QPainter>


TPrinterPage::TPrinterPage(TComponent *owner, QWidget *parent)
    : QWidget(parent), TComponent(this, owner)
{
    QueryDevices();
    const TDeviceMode &mode = PrinterService().DeviceMode();
    if (const TPaperForm *form = PaperFormByCode(mode.PaperSize)) {
        m_pageWidth = int(Round(form->SizeMm.width()));
        m_pageHeight = int(Round(form->SizeMm.height()));
    }
    m_pageSize = mode.PaperSize;
    CalcPaintBoxBounds();
}

TPrinterPage::~TPrinterPage() = default;

void TPrinterPage::QueryDevices()
{
    m_screenPpiX = logicalDpiX();
    m_screenPpiY = logicalDpiY();
    const TPrinterService &printers = PrinterService();
    m_printerPpiX = printers.PixelsPerInchX();
    m_printerPpiY = printers.PixelsPerInchY();
    m_physicalOffset = printers.PhysicalOffset();
}

void TPrinterPage::PrinterChanged()
{
    QueryDevices();
    CalcPaintBoxBounds();
}

void TPrinterPage::Dispatch(TMessage &message)
{
    if (message.Msg == VRMSGPrinterChanged)
        PrinterChanged();
}

int TPrinterPage::PageWidthPixels() const
{
    return int(Round(m_pageWidth / 25.4L * m_printerPpiX));
}

int TPrinterPage::PageHeightPixels() const
{
    return int(Round(m_pageHeight / 25.4L * m_printerPpiY));
}

void TPrinterPage::SetMargin(int index, int value)
{
    if (m_margins[index] == value)
        return;
    m_margins[index] = value;
    if (!IsLoading())
        update();
}

void TPrinterPage::SetShowMargins(bool show)
{
    if (m_showMargins != show) {
        m_showMargins = show;
        update();
    }
}

void TPrinterPage::SetHorzDisplayMargin(int v)
{
    m_horzDisplayMargin = v;
    CalcPaintBoxBounds();
}

void TPrinterPage::SetVertDisplayMargin(int v)
{
    m_vertDisplayMargin = v;
    CalcPaintBoxBounds();
}

void TPrinterPage::SetPageWidth(int mm)
{
    // Paper under 1 mm has no extent to convert through.
    if (mm < 1 || mm == m_pageWidth)
        return;
    m_pageWidth = mm;
    CalcPaintBoxBounds();
}

void TPrinterPage::SetPageHeight(int mm)
{
    if (mm < 1 || mm == m_pageHeight)
        return;
    m_pageHeight = mm;
    CalcPaintBoxBounds();
}

void TPrinterPage::SetPageSize(int code)
{
    m_pageSize = code;
    // A code beyond the known forms keeps the stored millimetres.
    const TPaperForm *form = PaperFormByCode(code);
    if (!form || IsLoading())
        return;
    int w = int(Round(form->SizeMm.width()));
    int h = int(Round(form->SizeMm.height()));
    if (m_orientation == poLandscape)
        std::swap(w, h);
    m_pageWidth = w;
    m_pageHeight = h;
    CalcPaintBoxBounds();
}

void TPrinterPage::SetPageOrientation(TPrinterOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    if (IsLoading())
        return;
    std::swap(m_pageWidth, m_pageHeight);
    CalcPaintBoxBounds();
}

void TPrinterPage::SetZoom(int zoom)
{
    zoom = qBound(ZoomMin(), zoom, ZoomMax());
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    CalcPaintBoxBounds();
    ZoomChanged();
}

void TPrinterPage::CalcPaintBoxBounds()
{
    const int w = Scale(int(Round(m_pageWidth / 25.4L * m_screenPpiX)));
    const int h = Scale(int(Round(m_pageHeight / 25.4L * m_screenPpiY)));
    const int freeX = width() - w - 2 * m_horzDisplayMargin;
    const int freeY = height() - h - 2 * m_vertDisplayMargin;
    const int left = m_horzDisplayMargin + (freeX > 0 ? freeX / 2 : 0);
    const int top = m_vertDisplayMargin + (freeY > 0 ? freeY / 2 : 0);
    m_paperRect = QRect(left, top, w, h);
    RelayoutElements();
    update();
}

void TPrinterPage::RelayoutElements()
{
    // Elements keep their place as a share of the paper; loading sets it first.
    if (IsLoading())
        return;
    for (QObject *child : children())
        if (auto *element = qobject_cast<TBasePgCtrl *>(child))
            element->UpdateBounds(element->RelBoundsRect(m_paperRect));
}

void TPrinterPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    CalcPaintBoxBounds();
}

void TPrinterPage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Dark));
    p.fillRect(m_paperRect, Qt::white);
    if (!m_showMargins || m_pageWidth <= 0 || m_pageHeight <= 0)
        return;
    const auto x = [&](int mm) {
        return int(Round(Extended(mm) / m_pageWidth * m_paperRect.width()));
    };
    const auto y = [&](int mm) {
        return int(Round(Extended(mm) / m_pageHeight * m_paperRect.height()));
    };
    p.setPen(QPen(Qt::lightGray, 0, Qt::DashLine));
    p.drawRect(m_paperRect.adjusted(x(LeftMargin()), y(TopMargin()), -x(RightMargin()),
                                    -y(BottomMargin())));
}
