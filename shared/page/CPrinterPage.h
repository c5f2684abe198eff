#pragma once
// The page surface: a sheet of the printer's paper drawn to scale at a zoom,
// with the conversions between millimetres, printer pixels and screen pixels
// that elements, the text engine and printing rely on. Elements are its children.

#include "CComponent.h"
#include "CMessages.h"
#include "CPublished.h"
#include "CVeloraTypes.h"

#include <QRect>
#include <QWidget>

class TPrinterPage : public QWidget, public TComponent, public TMessageTarget
{
    Q_OBJECT
    Q_PROPERTY(int BottomMargin READ BottomMargin WRITE SetBottomMargin)
    Q_CLASSINFO("Default:BottomMargin", "15")
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
    Q_PROPERTY(bool ShowMargins READ ShowMargins WRITE SetShowMargins)
    Q_CLASSINFO("Default:ShowMargins", "true")
    Q_PROPERTY(int TopMargin READ TopMargin WRITE SetTopMargin)
    Q_CLASSINFO("Default:TopMargin", "15")
    Q_PROPERTY(int VertDisplayMargin READ VertDisplayMargin WRITE SetVertDisplayMargin)
    Q_CLASSINFO("Default:VertDisplayMargin", "4")
    Q_PROPERTY(int Zoom READ Zoom WRITE SetZoom)
    Q_CLASSINFO("Default:Zoom", "100")

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

    int HorzDisplayMargin() const { return m_horzDisplayMargin; }
    void SetHorzDisplayMargin(int v);
    int VertDisplayMargin() const { return m_vertDisplayMargin; }
    void SetVertDisplayMargin(int v);

    // Paper in millimetres, as the printer's device mode gives it.
    int PageWidth() const { return m_pageWidth; }
    int PageHeight() const { return m_pageHeight; }
    void SetPageWidth(int mm);
    void SetPageHeight(int mm);
    int PageSize() const { return m_pageSize; }
    void SetPageSize(int code);
    TPrinterOrientation PageOrientation() const { return m_orientation; }
    void SetPageOrientation(TPrinterOrientation orientation);

    int Zoom() const { return m_zoom; }
    void SetZoom(int zoom);
    int ZoomMin() const { return 1; }
    int ZoomMax() const { return 800; }

    // Device metrics.
    int ScreenPixelsPerInchX() const { return m_screenPpiX; }
    int ScreenPixelsPerInchY() const { return m_screenPpiY; }
    int PrinterPixelsPerInchX() const { return m_printerPpiX; }
    int PrinterPixelsPerInchY() const { return m_printerPpiY; }
    QPoint PrinterPhysicalOffset() const { return m_physicalOffset; }
    // Paper extent in printer pixels.
    int PageWidthPixels() const;
    int PageHeightPixels() const;

    // The sheet in this widget's coordinates (screen pixels at the zoom).
    QRect PaperRect() const { return m_paperRect; }
    // The widget the sheet is painted on.
    QWidget *PaintBox() { return this; }

    virtual void PrinterChanged();
    void Dispatch(TMessage &message) override;

protected:
    virtual void ZoomChanged() { }
    void CalcPaintBoxBounds();
    // Hands every element its rectangle for the paper as it now lies.
    void RelayoutElements();
    void QueryDevices();
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int m_margins[4] = {15, 15, 15, 15};
    bool m_showMargins = true;
    int m_horzDisplayMargin = 4;
    int m_vertDisplayMargin = 4;
    int m_pageWidth = 210;
    int m_pageHeight = 297;
    int m_pageSize = 9;
    TPrinterOrientation m_orientation = poPortrait;
    int m_zoom = 100;
    int m_screenPpiX = 96;
    int m_screenPpiY = 96;
    int m_printerPpiX = 600;
    int m_printerPpiY = 600;
    QPoint m_physicalOffset;
    QRect m_paperRect;
};
