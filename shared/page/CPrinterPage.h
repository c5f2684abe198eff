#pragma once
// The page surface: a sheet of the printer's paper drawn to scale at a zoom,
// with the conversions between millimetres, printer pixels and screen pixels
// that elements, the text engine and printing rely on. Elements are its
// children; the sheet and its shadow are children too, kept beneath them, and
// the scroll bars are kept above them.

#include "CColor.h"
#include "CComponent.h"
#include "CException.h"
#include "CMessages.h"
#include "CPublished.h"
#include "CVeloraTypes.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

class QScrollBar;
class TPrinterPage;

// What the page's own operations raise.
class EPrinterPageError : public EVeloraError
{
public:
    using EVeloraError::EVeloraError;
};

extern const char *const SPrinterPageMemoryLock; // "Memory locking error."
extern const char *const SPrinterPageIgnoring; // "The Printer is ignoring me!"
extern const char *const SPrinterPageNotSupported; // "Operation not supported at this time."

enum TPrinterPageDevice { pdPrinter = 0, pdScreen = 1 };
enum TPrinterPageFitTo { ftPage = 0, ftWindow = 1 };

// The sheet: paper colour, margins outline. Page kinds replace it with their own.
// What the page view asks of each element on it: to follow the paper when it
// moves or changes size. The elements keep their place as a share of the paper.
class TPrinterPageElement
{
public:
    virtual ~TPrinterPageElement() = default;
    virtual void PaperRectChanged(const QRect &paper) = 0;
};

class TPrinterPagePaintBox : public QWidget
{
    Q_OBJECT
public:
    explicit TPrinterPagePaintBox(TPrinterPage *page);
    TPrinterPage *Page() const { return m_page; }

protected:
    // Paints the sheet; descendants draw backgrounds before or after the margins.
    virtual void PaintSheet(QPainter &canvas);
    void PaintMargins(QPainter &canvas);
    void paintEvent(QPaintEvent *event) override;

private:
    TPrinterPage *m_page;
};

// A box of the sheet's size, offset down and right, showing on two strips.
class TPrinterPageShadow : public QWidget
{
    Q_OBJECT
public:
    explicit TPrinterPageShadow(TPrinterPage *page);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPrinterPage *m_page;
};

class TPrinterPage : public QWidget, public TComponent, public TMessageTarget
{
    Q_OBJECT
    Q_PROPERTY(int BottomMargin READ BottomMargin WRITE SetBottomMargin)
    Q_CLASSINFO("Default:BottomMargin", "15")
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_CLASSINFO("Default:Color", "clBtnFace")
    Q_PROPERTY(int HorzDisplayMargin READ HorzDisplayMargin WRITE SetHorzDisplayMargin)
    Q_CLASSINFO("Default:HorzDisplayMargin", "4")
    Q_PROPERTY(int LeftMargin READ LeftMargin WRITE SetLeftMargin)
    Q_CLASSINFO("Default:LeftMargin", "15")
    Q_PROPERTY(int PageHeight READ PageHeight WRITE SetPageHeight)
    Q_PROPERTY(VeloraEnums::TPrinterOrientation PageOrientation READ PageOrientation WRITE
                   SetPageOrientation)
    Q_CLASSINFO("Default:PageOrientation", "poPortrait")
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)
    Q_PROPERTY(int PageWidth READ PageWidth WRITE SetPageWidth)
    Q_PROPERTY(int RightMargin READ RightMargin WRITE SetRightMargin)
    Q_CLASSINFO("Default:RightMargin", "15")
    Q_PROPERTY(TColor ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_CLASSINFO("Default:ShadowColor", "0")
    Q_PROPERTY(int ShadowSize READ ShadowSize WRITE SetShadowSize)
    Q_CLASSINFO("Default:ShadowSize", "4")
    Q_PROPERTY(bool ShowMargins READ ShowMargins WRITE SetShowMargins)
    Q_CLASSINFO("Default:ShowMargins", "true")
    Q_PROPERTY(bool ShowShadow READ ShowShadow WRITE SetShowShadow)
    Q_CLASSINFO("Default:ShowShadow", "true")
    Q_PROPERTY(int TopMargin READ TopMargin WRITE SetTopMargin)
    Q_CLASSINFO("Default:TopMargin", "15")
    Q_PROPERTY(int VertDisplayMargin READ VertDisplayMargin WRITE SetVertDisplayMargin)
    Q_CLASSINFO("Default:VertDisplayMargin", "4")
    Q_PROPERTY(int Zoom READ Zoom WRITE SetZoom)
    Q_CLASSINFO("Default:Zoom", "100")
    Q_PROPERTY(int ZoomMax READ ZoomMax WRITE SetZoomMax)
    Q_CLASSINFO("Default:ZoomMax", "800")
    Q_PROPERTY(int ZoomMin READ ZoomMin WRITE SetZoomMin)
    Q_CLASSINFO("Default:ZoomMin", "1")

public:
    explicit TPrinterPage(TComponent *owner, QWidget *parent = nullptr);
    ~TPrinterPage() override;

    static int Scale(int zoom, int value) { return int(Round(zoom / 100.0L * value)); }
    int Scale(int value) const { return Scale(m_zoom, value); }

    int BottomMargin() const { return m_margins[0]; }
    int LeftMargin() const { return m_margins[1]; }
    int RightMargin() const { return m_margins[2]; }
    int TopMargin() const { return m_margins[3]; }
    void SetBottomMargin(int v) { SetMargin(0, v); }
    void SetLeftMargin(int v) { SetMargin(1, v); }
    void SetRightMargin(int v) { SetMargin(2, v); }
    void SetTopMargin(int v) { SetMargin(3, v); }
    void SetMargin(int index, int value);
    bool ShowMargins() const { return m_showMargins; }
    void SetShowMargins(bool show);
    // Whether the sheet outlines the margins now; page kinds may hide them.
    virtual bool MarginsShown() const { return m_showMargins; }

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor color);
    int ShadowSize() const { return m_shadowSize; }
    void SetShadowSize(int size);
    bool ShowShadow() const { return m_showShadow; }
    void SetShowShadow(bool show);

    int HorzDisplayMargin() const { return m_horzDisplayMargin; }
    void SetHorzDisplayMargin(int v);
    int VertDisplayMargin() const { return m_vertDisplayMargin; }
    void SetVertDisplayMargin(int v);

    // Paper in millimetres, as the printer's device mode gives it.
    int PageWidth() const { return m_pageWidth; }
    int PageHeight() const { return m_pageHeight; }
    void SetPageWidth(int mm);
    void SetPageHeight(int mm);
    // The printer's paper code; 0 is a custom size.
    int PageSize() const { return m_pageSize; }
    void SetPageSize(int code);
    TPrinterOrientation PageOrientation() const { return m_orientation; }
    void SetPageOrientation(TPrinterOrientation orientation);

    int Zoom() const { return m_zoom; }
    void SetZoom(int zoom);
    int ZoomMin() const { return m_zoomMin; }
    void SetZoomMin(int zoom);
    int ZoomMax() const { return m_zoomMax; }
    void SetZoomMax(int zoom);
    // The zoom at which the sheet fits the view; applied when asked.
    int FitTo(TPrinterPageFitTo mode, bool apply);
    void ActualSize() { SetZoom(100); }

    // Device metrics.
    int ScreenPixelsPerInchX() const { return m_screenPpiX; }
    int ScreenPixelsPerInchY() const { return m_screenPpiY; }
    int PrinterPixelsPerInchX() const { return m_printerPpiX; }
    int PrinterPixelsPerInchY() const { return m_printerPpiY; }
    QPoint PrinterPhysicalOffset() const { return m_physicalOffset; }
    // Paper extent in printer pixels.
    int PageWidthPixels() const;
    int PageHeightPixels() const;

    // The margin rectangle: printer pixels of the page, or screen pixels of the sheet.
    QRect GetUserArea(TPrinterPageDevice device) const;

    // Paper size from the printer's device mode, and from its forms by PageSize.
    void GetDefPaperInf();
    void GetPaperDimensions();

    // The sheet in this widget's coordinates (screen pixels at the zoom).
    QRect PaperRect() const { return m_paperRect; }
    // The widget the sheet is painted on, beneath the elements.
    TPrinterPagePaintBox *PaintBox() const { return m_paintBox; }
    // The part of the widget not covered by scroll bars.
    QRect ClientRect() const;
    QScrollBar *HorzScrollBar() const { return m_hbar; }
    QScrollBar *VertScrollBar() const { return m_vbar; }
    // Scrolls as little as needed for the rectangle (widget coordinates) to be seen.
    void ScrollInView(const QRect &rect);

    virtual void PrinterChanged();
    void Dispatch(TMessage &message) override;

protected:
    virtual void ZoomChanged() { }
    // Puts a page kind's own sheet in place of the plain one.
    void ReplacePaintBox(TPrinterPagePaintBox *paintBox);
    void CalcPaintBoxBounds();
    // Hands every element its rectangle for the paper as it now lies.
    virtual void RelayoutElements();
    void QueryDevices();
    void CalcUserArea();
    void SwopPageDimensions();
    void Loaded() override;

    void childEvent(QChildEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void ClampZoom();
    void Relayout();

    int m_margins[4] = {15, 15, 15, 15};
    // Margins as percent of the paper: bottom, left, right, top.
    Extended m_marginPercent[4] = {};
    bool m_showMargins = true;
    TColor m_color = clBtnFace;
    TColor m_shadowColor = TColor {0};
    int m_shadowSize = 4;
    bool m_showShadow = true;
    int m_horzDisplayMargin = 4;
    int m_vertDisplayMargin = 4;
    int m_pageWidth = 210;
    int m_pageHeight = 297;
    int m_pageSize = 9;
    TPrinterOrientation m_orientation = poPortrait;
    int m_zoom = 100;
    int m_zoomMin = 1;
    int m_zoomMax = 800;
    int m_screenPpiX = 96;
    int m_screenPpiY = 96;
    int m_printerPpiX = 600;
    int m_printerPpiY = 600;
    QPoint m_physicalOffset;
    QRect m_paperRect;
    bool m_inLayout = false;
    QScrollBar *m_hbar = nullptr;
    QScrollBar *m_vbar = nullptr;
    TPrinterPageShadow *m_shadow = nullptr;
    TPrinterPagePaintBox *m_paintBox = nullptr;
};

// Writes paper and orientation into the current printer's device mode for the
// next job. False when the printer has no device mode.
bool PrinterPageSetPrinterMetrics(int paperSize, int widthMm, int heightMm,
                                  TPrinterOrientation orientation, bool swap);
