#pragma once
// The calibration page: a millimetre ruler along each edge of the paper and
// labelled crosshairs at known places, printed without offsets, so that the
// shift of a printer can be measured with a ruler and entered as its offset.

#include "CVeloraTypes.h"

#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

class QPainter;

// How far inside the paper the crosshairs' corners lie, in millimetres.
inline constexpr int CCALIBRATION_CROSS_INSET = 30;

// The crosshairs' centres in millimetres from the paper's top left corner:
// four corners, then the middle (whole millimetres).
QList<QPointF> CalibrationCrosshairs(const QSizeF &paperMm);

// Draws the page at printer resolution onto a canvas whose origin is the printable
// area's corner, physicalOffset printer pixels from the paper's corner.
void DrawCalibrationPage(QPainter &canvas, const QSizeF &paperMm, double dpiX, double dpiY,
                         const QPointF &physicalOffset, const QString &printerName);

// Prints the page on the current printer on paper of that size (portrait sizes),
// turned as asked; false with the reason.
bool PrintCalibrationPage(const QSizeF &paperMm, TPrinterOrientation orientation, QString *error);

// File > Print Calibration Page: the print dialog chooses printer and paper, then
// the page prints; a failure is told to the user. False when nothing printed.
bool PrintCalibrationPageWithDialog();
