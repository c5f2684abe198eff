#pragma once
// The printers the programs print to: the system's printers through CUPS and
// the built-in "Velora PDF Printer", which writes PDF files and is always
// there. It is the current printer when the system has none.

#include <QList>
#include <QMarginsF>
#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QPoint>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>

#include "CVeloraTypes.h"

class QPainter;
class QPrinter;

// One paper form of a printer; Code is the long-established device-mode paper number.
struct TPaperForm
{
    int Code = 0;
    QString Name;
    QSizeF SizeMm; // portrait
};

// Paper forms in code order: the form at index i has code i + 1.
const QList<TPaperForm> &PaperForms();
// Null for 0 (custom) and for codes beyond the list.
const TPaperForm *PaperFormByCode(int code);
// The code of the form of that size (either orientation, within 1 mm), or 0.
int PaperCodeForSize(const QSizeF &sizeMm);

// What a printer's device mode holds for the next job.
struct TDeviceMode
{
    int PaperSize = 9; // code, 0 custom
    int PaperWidth = 2100; // tenths of millimetres
    int PaperLength = 2970;
    TPrinterOrientation Orientation = poPortrait;
    int Copies = 1;
    bool Collate = false;
};

class TPrinterService : public QObject
{
    Q_OBJECT
public:
    static const QString BuiltInPrinterName;

    TPrinterService();
    ~TPrinterService() override;

    // System printers (when any), then the built-in one.
    QStringList Printers() const;
    QString PrinterName() const { return m_printer; }
    int PrinterIndex() const { return int(Printers().indexOf(m_printer)); }
    // False when there is no printer of that name; the current one stays.
    bool SetPrinter(const QString &name);
    bool IsBuiltIn() const { return m_printer == BuiltInPrinterName; }
    // False when the printer cannot be reached (it vanished from the system).
    bool CanOpen(const QString &name) const;

    TDeviceMode &DeviceMode() { return m_mode; }
    const TDeviceMode &DeviceMode() const { return m_mode; }

    int PixelsPerInchX() const { return m_ppiX; }
    int PixelsPerInchY() const { return m_ppiY; }
    // Unprintable margin at the top left of the paper, in printer pixels, for the paper
    // turned as the device mode now has it.
    QPoint PhysicalOffset() const;
    // For tests: the built-in printer stands for one that cannot print within these
    // margins of its portrait paper, in millimetres; turned paper turns them with it.
    void SetBuiltInMargins(const QMarginsF &portraitMm);
    QMarginsF BuiltInMargins(TPrinterOrientation orientation) const;

    // The forms a printer knows, in code order; empty when it cannot be opened.
    QList<TPaperForm> Forms(const QString &name) const;

    // Where the built-in printer writes its next job.
    QString OutputFileName() const { return m_outputFile; }
    void SetOutputFileName(const QString &fileName) { m_outputFile = fileName; }

    // A printer for the current printer and device mode, ready for a job.
    std::unique_ptr<QPrinter> CreatePrinter() const;
    QPageLayout PageLayout() const;

signals:
    void PrinterChanged();

private:
    void QueryDevice();

    QString m_printer;
    TDeviceMode m_mode;
    int m_ppiX = 600;
    int m_ppiY = 600;
    // Portrait, landscape: a turned paper has its unprintable margins elsewhere.
    QPoint m_offset[2];
    QMarginsF m_builtInMargins;
    QString m_outputFile;
};

TPrinterService &PrinterService();

// A print job on the current printer: pages at printer resolution, each page
// with its own paper and orientation. The built-in printer writes its PDF file
// beside the output file and puts it in place only when the job ends well, so
// a failed or aborted job leaves whatever was there before.
class TPrintJob
{
public:
    TPrintJob();
    // Abandons a job that was not ended.
    ~TPrintJob();
    // False (with ErrorText) when the printer cannot start the job.
    bool Begin(const QString &title);
    // Paper for the page that starts next; call before Begin or before NewPage.
    void SetPage(const QSizeF &sizeMm, TPrinterOrientation orientation);
    bool NewPage();
    // False (with ErrorText) when the output could not be put in place.
    bool End();
    void Abort();
    QPainter &Canvas();
    QPrinter &Printer() { return *m_printer; }
    int PageNumber() const { return m_page; }
    const QString &ErrorText() const { return m_error; }

private:
    void DiscardPartFile();
    QString CannotWrite(const QString &reason) const;

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    int m_page = 0;
    QString m_error;
    // The file the built-in printer is asked for, and the one it writes meanwhile.
    QString m_outputFile;
    QString m_partFile;
};
