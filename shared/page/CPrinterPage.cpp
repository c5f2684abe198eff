#include "CPrinterPage.h"

#include "CDialogService.h"
#include "CGlobalMessages.h"
#include "CPrinterService.h"

#include <QChildEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

const char *const SPrinterPageMemoryLock = "Memory locking error.";
const char *const SPrinterPageIgnoring = "The Printer is ignoring me!";
const char *const SPrinterPageNotSupported = "Operation not supported at this time.";

namespace {
constexpr int kWheelStep = 3; // single steps per wheel notch

int MmToPixels(int mm, int ppi)
{
    return int(Round(mm / 25.4L * ppi));
}
} // namespace

// ---------------------------------------------------------------------------
// TPrinterPagePaintBox

TPrinterPagePaintBox::TPrinterPagePaintBox(TPrinterPage *page) : QWidget(page), m_page(page)
{
    setObjectName(QStringLiteral("PaintBox"));
}

void TPrinterPagePaintBox::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    PaintSheet(canvas);
}

void TPrinterPagePaintBox::PaintSheet(QPainter &canvas)
{
    canvas.fillRect(rect(), Qt::white);
    PaintMargins(canvas);
}

void TPrinterPagePaintBox::PaintMargins(QPainter &canvas)
{
    if (!m_page->MarginsShown())
        return;
    canvas.setPen(QPen(Qt::gray, 0, Qt::DashLine));
    canvas.setBrush(Qt::NoBrush);
    const QRect area = m_page->GetUserArea(pdScreen);
    canvas.drawRect(area.adjusted(0, 0, -1, -1));
}

// ---------------------------------------------------------------------------
// TPrinterPageShadow

TPrinterPageShadow::TPrinterPageShadow(TPrinterPage *page) : QWidget(page), m_page(page)
{
    setObjectName(QStringLiteral("Shadow"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TPrinterPageShadow::paintEvent(QPaintEvent *)
{
    // Only the strips that stick out from under the sheet show.
    QPainter canvas(this);
    const int s = m_page->ShadowSize();
    const QColor colour = ColorToQColor(m_page->ShadowColor());
    canvas.fillRect(QRect(width() - s, 0, s, height()), colour);
    canvas.fillRect(QRect(0, height() - s, width(), s), colour);
}

// ---------------------------------------------------------------------------
// TPrinterPage

TPrinterPage::TPrinterPage(TComponent *owner, QWidget *parent)
    : QWidget(parent), TComponent(this, owner)
{
    m_shadow = new TPrinterPageShadow(this);
    m_paintBox = new TPrinterPagePaintBox(this);
    m_hbar = new QScrollBar(Qt::Horizontal, this);
    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_hbar->setObjectName(QStringLiteral("HorzScrollBar"));
    m_vbar->setObjectName(QStringLiteral("VertScrollBar"));
    m_hbar->hide();
    m_vbar->hide();
    for (QScrollBar *bar : {m_hbar, m_vbar}) {
        bar->setSingleStep(16);
        connect(bar, &QScrollBar::valueChanged, this, [this] { Relayout(); });
    }
    QueryDevices();
    GetDefPaperInf();
    CalcUserArea();
    CalcPaintBoxBounds();
}

TPrinterPage::~TPrinterPage()
{
    // Elements go first, while the sheet they may ask about still exists.
    SetComponentState(csDestroying, true);
}

void TPrinterPage::ReplacePaintBox(TPrinterPagePaintBox *paintBox)
{
    if (!paintBox || paintBox == m_paintBox)
        return;
    delete m_paintBox;
    m_paintBox = paintBox;
    m_paintBox->setParent(this);
    m_paintBox->show();
    CalcPaintBoxBounds();
}

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
    CalcUserArea();
    CalcPaintBoxBounds();
}

void TPrinterPage::Dispatch(TMessage &message)
{
    if (message.Msg == VRMSGPrinterChanged)
        PrinterChanged();
}

void TPrinterPage::Loaded()
{
    if (m_vbar) {
        m_hbar->raise();
        m_vbar->raise();
    }
    CalcUserArea();
    CalcPaintBoxBounds();
}

int TPrinterPage::PageWidthPixels() const
{
    return MmToPixels(m_pageWidth, m_printerPpiX);
}

int TPrinterPage::PageHeightPixels() const
{
    return MmToPixels(m_pageHeight, m_printerPpiY);
}

void TPrinterPage::CalcUserArea()
{
    // A stored paper size of 0 has no percentages; the margins keep their millimetres.
    if (m_pageWidth > 0) {
        m_marginPercent[1] = Extended(LeftMargin()) / m_pageWidth * 100;
        m_marginPercent[2] = Extended(RightMargin()) / m_pageWidth * 100;
    }
    if (m_pageHeight > 0) {
        m_marginPercent[0] = Extended(BottomMargin()) / m_pageHeight * 100;
        m_marginPercent[3] = Extended(TopMargin()) / m_pageHeight * 100;
    }
}

QRect TPrinterPage::GetUserArea(TPrinterPageDevice device) const
{
    const int w = device == pdPrinter ? PageWidthPixels() : m_paperRect.width();
    const int h = device == pdPrinter ? PageHeightPixels() : m_paperRect.height();
    const auto part = [](Extended percent, int extent) {
        return int(Round(percent * extent / 100));
    };
    QRect area;
    area.setLeft(part(m_marginPercent[1], w));
    area.setTop(part(m_marginPercent[3], h));
    area.setRight(w - part(m_marginPercent[2], w) - 1);
    area.setBottom(h - part(m_marginPercent[0], h) - 1);
    return area;
}

void TPrinterPage::SetMargin(int index, int value)
{
    if (m_margins[index] == value)
        return;
    m_margins[index] = value;
    if (IsLoading())
        return;
    CalcUserArea();
    m_paintBox->update();
}

void TPrinterPage::SetShowMargins(bool show)
{
    if (m_showMargins != show) {
        m_showMargins = show;
        m_paintBox->update();
    }
}

void TPrinterPage::SetColor(TColor color)
{
    if (m_color != color) {
        m_color = color;
        update();
    }
}

void TPrinterPage::SetShadowColor(TColor color)
{
    m_shadowColor = color;
    m_shadow->update();
}

void TPrinterPage::SetShadowSize(int size)
{
    m_shadowSize = qMax(0, size);
    CalcPaintBoxBounds();
}

void TPrinterPage::SetShowShadow(bool show)
{
    m_showShadow = show;
    CalcPaintBoxBounds();
}

void TPrinterPage::SetHorzDisplayMargin(int v)
{
    m_horzDisplayMargin = qMax(0, v);
    CalcPaintBoxBounds();
}

void TPrinterPage::SetVertDisplayMargin(int v)
{
    m_vertDisplayMargin = qMax(0, v);
    CalcPaintBoxBounds();
}

void TPrinterPage::SetPageWidth(int mm)
{
    // Paper under 1 mm has no extent to convert through.
    if (mm < 1 || mm == m_pageWidth)
        return;
    m_pageWidth = mm;
    if (IsLoading())
        return;
    CalcUserArea();
    CalcPaintBoxBounds();
}

void TPrinterPage::SetPageHeight(int mm)
{
    if (mm < 1 || mm == m_pageHeight)
        return;
    m_pageHeight = mm;
    if (IsLoading())
        return;
    CalcUserArea();
    CalcPaintBoxBounds();
}

void TPrinterPage::SetPageSize(int code)
{
    if (code == m_pageSize)
        return;
    m_pageSize = code;
    if (!IsLoading())
        GetPaperDimensions();
}

void TPrinterPage::SwopPageDimensions()
{
    std::swap(m_pageWidth, m_pageHeight);
}

void TPrinterPage::SetPageOrientation(TPrinterOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    if (IsLoading())
        return;
    PrinterService().DeviceMode().Orientation = orientation;
    SwopPageDimensions();
    CalcUserArea();
    CalcPaintBoxBounds();
}

void TPrinterPage::GetDefPaperInf()
{
    const TDeviceMode &mode = PrinterService().DeviceMode();
    if (mode.PaperWidth < 10 || mode.PaperLength < 10)
        throw EPrinterPageError(QString::fromLatin1(SPrinterPageMemoryLock));
    m_pageWidth = mode.PaperWidth / 10;
    m_pageHeight = mode.PaperLength / 10;
    m_pageSize = mode.PaperSize;
    if (m_orientation == poLandscape)
        SwopPageDimensions();
}

void TPrinterPage::GetPaperDimensions()
{
    if (m_pageSize == 0)
        return;
    const QList<TPaperForm> forms = PrinterService().Forms(PrinterService().PrinterName());
    if (forms.isEmpty()) {
        Global_MessageDlg(GlobalAppTitle(), QString::fromLatin1(SPrinterPageIgnoring), mtError,
                          mbOK, 0);
        return;
    }
    // A code beyond the printer's forms keeps the stored millimetres.
    if (m_pageSize < 1 || m_pageSize > forms.size())
        return;
    const QSizeF size = forms.at(m_pageSize - 1).SizeMm;
    int w = int(Round(size.width()));
    int h = int(Round(size.height()));
    if (w < 1 || h < 1)
        return;
    if (m_orientation == poLandscape)
        std::swap(w, h);
    m_pageWidth = w;
    m_pageHeight = h;
    CalcUserArea();
    CalcPaintBoxBounds();
}

void TPrinterPage::ClampZoom()
{
    const int z = qBound(m_zoomMin, m_zoom, qMax(m_zoomMin, m_zoomMax));
    if (z != m_zoom)
        SetZoom(z);
}

void TPrinterPage::SetZoomMin(int zoom)
{
    m_zoomMin = qMax(1, zoom);
    ClampZoom();
}

void TPrinterPage::SetZoomMax(int zoom)
{
    m_zoomMax = qMax(1, zoom);
    ClampZoom();
}

void TPrinterPage::SetZoom(int zoom)
{
    zoom = qBound(m_zoomMin, zoom, qMax(m_zoomMin, m_zoomMax));
    if (zoom == m_zoom)
        return;
    // Keep what is at the centre of the view at the centre.
    const QRect client = ClientRect();
    const auto centre = [](const QScrollBar *bar, int view) {
        const int total = bar->maximum() + bar->pageStep();
        return total > 0 ? (bar->value() + view / 2.0L) / total : 0.5L;
    };
    const Extended fx = centre(m_hbar, client.width());
    const Extended fy = centre(m_vbar, client.height());
    m_zoom = zoom;
    CalcPaintBoxBounds();
    const QRect after = ClientRect();
    {
        QScopedValueRollback guard(m_inLayout, true);
        m_hbar->setValue(
            int(Round(fx * (m_hbar->maximum() + m_hbar->pageStep()) - after.width() / 2.0L)));
        m_vbar->setValue(
            int(Round(fy * (m_vbar->maximum() + m_vbar->pageStep()) - after.height() / 2.0L)));
    }
    CalcPaintBoxBounds();
    ZoomChanged();
}

int TPrinterPage::FitTo(TPrinterPageFitTo mode, bool apply)
{
    const auto fit = [this](int size, int margin, int ppi, int paperMm) {
        if (ppi <= 0 || paperMm <= 0)
            return m_zoom;
        return int(Trunc((size - 2.0L * margin) / ppi / (paperMm / 25.4L) * 100));
    };
    // The view inside any frame, less the scroll bars the fitted sheet will need: none for
    // a whole page, a vertical one for the width of a page taller than the view. Bars the
    // present zoom shows do not count, so fitting twice gives the same zoom.
    const QSize view = contentsRect().size();
    const int zw = fit(view.width(), m_horzDisplayMargin, m_screenPpiX, m_pageWidth);
    const int zh = fit(view.height(), m_vertDisplayMargin, m_screenPpiY, m_pageHeight);
    int zoom = qMin(zw, zh);
    if (mode == ftWindow) {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        zoom = zh < zw ? fit(view.width() - bar, m_horzDisplayMargin, m_screenPpiX, m_pageWidth)
                       : zw;
    }
    if (apply)
        SetZoom(zoom);
    return zoom;
}

QRect TPrinterPage::ClientRect() const
{
    return QRect(0, 0, width() - (m_vbar->isVisibleTo(this) ? m_vbar->width() : 0),
                 height() - (m_hbar->isVisibleTo(this) ? m_hbar->height() : 0));
}

void TPrinterPage::Relayout()
{
    if (!m_inLayout)
        CalcPaintBoxBounds();
}

void TPrinterPage::CalcPaintBoxBounds()
{
    if (m_inLayout)
        return;
    QScopedValueRollback guard(m_inLayout, true);
    const int w = Scale(MmToPixels(m_pageWidth, m_screenPpiX));
    const int h = Scale(MmToPixels(m_pageHeight, m_screenPpiY));
    const int totalW = w + 2 * m_horzDisplayMargin;
    const int totalH = h + 2 * m_vertDisplayMargin;

    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool needV = totalH > height();
    const bool needH = totalW > width() - (needV ? bar : 0);
    if (needH && !needV)
        needV = totalH > height() - bar;
    const int cw = width() - (needV ? bar : 0);
    const int ch = height() - (needH ? bar : 0);

    m_hbar->setGeometry(0, height() - bar, qMax(0, cw), bar);
    m_hbar->setRange(0, qMax(0, totalW - cw));
    m_hbar->setPageStep(qMax(1, cw));
    m_hbar->setVisible(needH);
    m_vbar->setGeometry(width() - bar, 0, bar, qMax(0, ch));
    m_vbar->setRange(0, qMax(0, totalH - ch));
    m_vbar->setPageStep(qMax(1, ch));
    m_vbar->setVisible(needV);

    const int freeX = cw - totalW;
    const int freeY = ch - totalH;
    const int left = m_horzDisplayMargin + (freeX > 0 ? freeX / 2 : -m_hbar->value());
    const int top = m_vertDisplayMargin + (freeY > 0 ? freeY / 2 : -m_vbar->value());
    m_paperRect = QRect(left, top, w, h);

    m_paintBox->setGeometry(m_paperRect);
    m_shadow->setGeometry(m_paperRect.translated(m_shadowSize, m_shadowSize));
    m_shadow->setVisible(m_showShadow && m_shadowSize > 0);
    m_paintBox->lower();
    m_shadow->lower();
    m_hbar->raise();
    m_vbar->raise();
    RelayoutElements();
    update();
}

void TPrinterPage::RelayoutElements()
{
    // Elements keep their place as a share of the paper; loading sets it first.
    if (IsLoading() || (ComponentState() & csDestroying))
        return;
    for (QObject *child : children())
        if (auto *element = dynamic_cast<TPrinterPageElement *>(child))
            element->PaperRectChanged(m_paperRect);
}

void TPrinterPage::ScrollInView(const QRect &rect)
{
    const QRect client = ClientRect();
    const auto bring = [](QScrollBar *bar, int low, int high, int viewLow, int viewHigh) {
        if (!bar->isVisibleTo(bar->parentWidget()))
            return;
        if (high > viewHigh)
            bar->setValue(bar->value() + qMin(high - viewHigh, low - viewLow));
        else if (low < viewLow)
            bar->setValue(bar->value() - (viewLow - low));
    };
    bring(m_hbar, rect.left(), rect.right(), client.left(), client.right());
    bring(m_vbar, rect.top(), rect.bottom(), client.top(), client.bottom());
}

void TPrinterPage::childEvent(QChildEvent *event)
{
    QWidget::childEvent(event);
    // New elements land on top; the scroll bars must stay above them. Raising costs
    // as much as there are elements: a page being read raises them once, when loaded.
    if (event->added() && m_vbar && event->child() != m_hbar && event->child() != m_vbar
        && !IsLoading()) {
        m_hbar->raise();
        m_vbar->raise();
    }
}

void TPrinterPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    CalcPaintBoxBounds();
}

void TPrinterPage::wheelEvent(QWheelEvent *event)
{
    // Ctrl+wheel belongs to the window (zoom).
    if (event->modifiers() & Qt::ControlModifier) {
        event->ignore();
        return;
    }
    const QPoint delta = event->angleDelta();
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || delta.y() == 0;
    QScrollBar *bar = sideways ? m_hbar : m_vbar;
    const int notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120;
    bar->setValue(bar->value() - notches * kWheelStep * bar->singleStep());
    event->accept();
}

void TPrinterPage::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.fillRect(event->rect(), ColorToQColor(m_color));
}

// ---------------------------------------------------------------------------

bool PrinterPageSetPrinterMetrics(int paperSize, int widthMm, int heightMm,
                                  TPrinterOrientation orientation, bool swap)
{
    TPrinterService &printers = PrinterService();
    if (!printers.CanOpen(printers.PrinterName()))
        throw EPrinterPageError(QString::fromLatin1(SPrinterPageNotSupported));
    // Paper without extent is no paper to print on.
    if (widthMm < 1 || heightMm < 1)
        return false;
    TDeviceMode &mode = printers.DeviceMode();
    mode.Orientation = orientation;
    mode.PaperSize = paperSize;
    mode.PaperWidth = (swap ? heightMm : widthMm) * 10;
    mode.PaperLength = (swap ? widthMm : heightMm) * 10;
    return true;
}
