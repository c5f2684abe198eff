#pragma once
// Printing a range of the document's pages onto the current printer: per page
// the page colour, its background, the margins when shown, and every published
// element drawn by itself at printer resolution, shifted by the printer offset.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>

class QProgressBar;
class QPushButton;
class QPainter;
class TPrintJob;
struct TDeviceMode;
class TProjectProps;

// The progress window of long work, with a Cancel button.
class TCommonGaugeForm : public QDialog
{
    Q_OBJECT
public:
    TCommonGaugeForm(QWidget *owner, int maximum);
    // Advances the gauge and lets a click on Cancel through.
    void UpdateGauge(int step);
    bool Cancelled() const { return m_cancelled; }
    QPushButton *CancelButton() const { return m_cancel; }
    QProgressBar *Gauge() const { return m_gauge; }

private:
    QProgressBar *m_gauge;
    QPushButton *m_cancel;
    bool m_cancelled = false;
};

// How printing picks one of the current printer's saved offsets: the selection
// dialog, none, or the one of that name (unattended printing).
struct TPrintOffsetChoice
{
    enum TMode { Ask, None, Named };
    TMode Mode = Ask;
    QString Name;
};
extern TPrintOffsetChoice GlobalPrintOffsetChoice;
// The names of the printer's saved offsets, in file order.
QStringList SavedOffsetNames(const QString &printer);

// False only when an error was reported; cancelling, an abandoned offset choice
// and having nothing to print count as done.
bool GlobalPrintedProject(TProjectProps *project, const QString &title, int firstPage, int lastPage,
                          bool reverseOrder, bool showProgress, QWidget *owner);

// Draws one page at printer resolution onto the canvas, with offsets in millimetres.
void GlobalPrintPage(QPainter &canvas, int pageIndex, double offsetXMm, double offsetYMm);

// Several fillings of one form in one job on the current printer (bulk filling):
// the offsets are chosen once, as a print chooses them, and each filling's
// published pages follow the ones before, each on its own paper. A job that is
// not ended leaves nothing behind.
class TProjectPrintRun
{
public:
    TProjectPrintRun();
    ~TProjectPrintRun();
    TProjectPrintRun(const TProjectPrintRun &) = delete;
    TProjectPrintRun &operator=(const TProjectPrintRun &) = delete;

    // False when no offsets could be had: ErrorText says why, or is empty when
    // the choice was abandoned.
    bool ChooseOffsets();
    // The range's published pages as they stand now; false with ErrorText when the printer failed.
    bool AddPages(const QString &title, int firstPage, int lastPage);
    // False with ErrorText when the output could not be finished.
    bool End();
    void Abort();
    int PagesPrinted() const { return m_pages; }
    const QString &ErrorText() const { return m_error; }

private:
    void Finish();

    std::unique_ptr<TPrintJob> m_job;
    // The job turns the printer's paper page by page; the printer gets its own back.
    std::unique_ptr<TDeviceMode> m_modeBefore;
    double m_offsetX = 0;
    double m_offsetY = 0;
    int m_pages = 0;
    bool m_laidOut = false;
    QString m_error;
};
