#include "CCalibrationPage.h"

#include "CDialogService.h"
#include "CPrinterService.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <cmath>

namespace {
// Millimetres on the paper to the canvas's printer pixels.
class TPaperScale
{
public:
    TPaperScale(const QSizeF &paper, double dpiX, double dpiY, const QPointF &offset)
        : m_paper(paper), m_x(dpiX / 25.4), m_y(dpiY / 25.4), m_offset(offset)
    { }
    double PaperWidth() const { return m_paper.width(); }
    QPointF At(double xMm, double yMm) const { return QPointF(xMm * m_x, yMm * m_y) - m_offset; }
    double Width(double mm) const { return mm * m_x; }
    double Height(double mm) const { return mm * m_y; }

private:
    QSizeF m_paper;
    double m_x;
    double m_y;
    QPointF m_offset;
};

constexpr double kRulerInset = 12; // the ruler's line from its edge
constexpr double kCrossArm = 8;

void DrawText(QPainter &canvas, const TPaperScale &scale, double xMm, double yMm,
              const QString &text, Qt::Alignment align)
{
    // A box 60 mm wide and 5 mm high around the anchor, aligned inside it.
    QRectF box(scale.At(xMm, yMm), QSizeF(scale.Width(60), scale.Height(5)));
    if (align & Qt::AlignHCenter)
        box.translate(-box.width() / 2, 0);
    else if (align & Qt::AlignRight)
        box.translate(-box.width(), 0);
    if (align & Qt::AlignVCenter)
        box.translate(0, -box.height() / 2);
    else if (align & Qt::AlignBottom)
        box.translate(0, -box.height());
    canvas.drawText(box, int(align) | Qt::TextDontClip, text);
}

// Ticks every millimetre, longer each 5 and 10, numbered each 10 from the paper's corner.
void DrawRuler(QPainter &canvas, const TPaperScale &scale, const QSizeF &paper, bool horizontal,
               bool farEdge)
{
    const double length = horizontal ? paper.width() : paper.height();
    const double line
        = farEdge ? (horizontal ? paper.height() : paper.width()) - kRulerInset : kRulerInset;
    // Ticks reach toward the edge the ruler runs along.
    const double toward = farEdge ? 1 : -1;
    const auto point = [&](double along, double across) {
        return horizontal ? scale.At(along, across) : scale.At(across, along);
    };
    canvas.drawLine(point(0, line), point(length, line));
    for (int mm = 0; mm <= int(length); ++mm) {
        const double tick = mm % 10 == 0 ? 5 : mm % 5 == 0 ? 3.5 : 2;
        canvas.drawLine(point(mm, line), point(mm, line + toward * tick));
        if (mm % 10 != 0 || mm == 0)
            continue;
        const double labelAt = line - toward * 1;
        if (horizontal)
            DrawText(canvas, scale, mm, labelAt, QString::number(mm),
                     Qt::AlignHCenter | (farEdge ? Qt::AlignBottom : Qt::AlignTop));
        else
            DrawText(canvas, scale, farEdge ? labelAt - 0.5 : labelAt + 0.5, mm,
                     QString::number(mm),
                     Qt::AlignVCenter | (farEdge ? Qt::AlignRight : Qt::AlignLeft));
    }
}

void DrawCrosshair(QPainter &canvas, const TPaperScale &scale, const QPointF &at)
{
    canvas.drawLine(scale.At(at.x() - kCrossArm, at.y()), scale.At(at.x() + kCrossArm, at.y()));
    canvas.drawLine(scale.At(at.x(), at.y() - kCrossArm), scale.At(at.x(), at.y() + kCrossArm));
    const QPointF corner = scale.At(at.x() - 3, at.y() - 3);
    canvas.drawEllipse(QRectF(corner, scale.At(at.x() + 3, at.y() + 3)));
    // Labels stand inward, clear of the rulers.
    const bool right = at.x() > scale.PaperWidth() / 2 + 1;
    DrawText(canvas, scale, right ? at.x() - 1.5 : at.x() + 1.5, at.y() + 1.5,
             QStringLiteral("%1, %2 mm").arg(at.x()).arg(at.y()),
             (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
}
} // namespace

QList<QPointF> CalibrationCrosshairs(const QSizeF &paperMm)
{
    const double w = std::floor(paperMm.width());
    const double h = std::floor(paperMm.height());
    const double inset = CCALIBRATION_CROSS_INSET;
    return {QPointF(inset, inset), QPointF(w - inset, inset), QPointF(inset, h - inset),
            QPointF(w - inset, h - inset), QPointF(std::floor(w / 2), std::floor(h / 2))};
}

void DrawCalibrationPage(QPainter &canvas, const QSizeF &paperMm, double dpiX, double dpiY,
                         const QPointF &physicalOffset, const QString &printerName)
{
    const TPaperScale scale(paperMm, dpiX, dpiY, physicalOffset);
    canvas.save();
    QPen pen(Qt::black);
    pen.setWidthF(scale.Width(0.15));
    pen.setCapStyle(Qt::FlatCap);
    canvas.setPen(pen);
    canvas.setBrush(Qt::NoBrush);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(int(std::lround(scale.Height(2.5))));
    canvas.setFont(font);
    DrawRuler(canvas, scale, paperMm, true, false);
    DrawRuler(canvas, scale, paperMm, true, true);
    DrawRuler(canvas, scale, paperMm, false, false);
    DrawRuler(canvas, scale, paperMm, false, true);
    for (const QPointF &at : CalibrationCrosshairs(paperMm))
        DrawCrosshair(canvas, scale, at);

    const double left = CCALIBRATION_CROSS_INSET;
    const double top = CCALIBRATION_CROSS_INSET + 20;
    const QStringList lines {
        QStringLiteral("Printer calibration page"),
        QStringLiteral("Printer: %1. Paper: %2 x %3 mm.")
            .arg(printerName)
            .arg(paperMm.width())
            .arg(paperMm.height()),
        QStringLiteral("Measure from the paper's left edge to the upright line of a crosshair, "),
        QStringLiteral("and from its top edge to the level line; each crosshair is labelled with"),
        QStringLiteral("where it should be. Enter in File > Printer Offsets, in millimetres:"),
        QStringLiteral("X = label minus measured (positive moves the print right),"),
        QStringLiteral("Y = label minus measured (positive moves the print down)."),
    };
    for (qsizetype i = 0; i < lines.size(); ++i)
        DrawText(canvas, scale, left, top + 6 * double(i), lines.at(i),
                 Qt::AlignLeft | Qt::AlignTop);
    canvas.restore();
}

bool PrintCalibrationPage(const QSizeF &paperMm, TPrinterOrientation orientation, QString *error)
{
    TPrinterService &printers = PrinterService();
    const TDeviceMode before = printers.DeviceMode();
    QSizeF paper = paperMm;
    if (orientation == poLandscape)
        paper.transpose();
    printers.DeviceMode().Orientation = orientation;
    TPrintJob job;
    job.SetPage(paperMm, orientation);
    bool ok = job.Begin(QStringLiteral("Calibration page"));
    if (ok) {
        DrawCalibrationPage(job.Canvas(), paper, printers.PixelsPerInchX(),
                            printers.PixelsPerInchY(), QPointF(printers.PhysicalOffset()),
                            printers.PrinterName());
        ok = job.End();
    }
    if (!ok) {
        if (error)
            *error = job.ErrorText().isEmpty() ? QStringLiteral("The print job failed.")
                                               : job.ErrorText();
        job.Abort();
    }
    printers.DeviceMode() = before;
    return ok;
}

bool PrintCalibrationPageWithDialog()
{
    TPrinterService &printers = PrinterService();
    std::unique_ptr<QPrinter> printer = printers.CreatePrinter();
    printer->setDocName(QStringLiteral("Calibration page"));
    TPrintRequest request;
    request.Printer = printer.get();
    request.PageRangeEnabled = false;
    if (!DialogService().PrintDialog(request))
        return false;
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        printers.SetPrinter(TPrinterService::BuiltInPrinterName);
        if (!printer->outputFileName().isEmpty())
            printers.SetOutputFileName(printer->outputFileName());
    } else {
        printers.SetPrinter(printer->printerName());
    }
    const QPageLayout layout = printer->pageLayout();
    const TPrinterOrientation orientation
        = layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
    QString error;
    if (PrintCalibrationPage(layout.pageSize().size(QPageSize::Millimeter), orientation, &error))
        return true;
    Global_MessageDlg(GlobalAppTitle(),
                      QStringLiteral("The calibration page was not printed: %1").arg(error),
                      mtError, mbOK, 0);
    return false;
}
