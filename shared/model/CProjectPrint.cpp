#include "CProjectPrint.h"

#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CPrinterService.h"
#include "CPrnOfsSelectDlg.h"
#include "CProjectProps.h"
#include "CPropGroups.h"

#include <QApplication>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <memory>
#include <tuple>

TCommonGaugeForm::TCommonGaugeForm(QWidget *owner, int maximum) : QDialog(owner)
{
    setObjectName(QStringLiteral("CommonGaugeForm"));
    setWindowTitle(QStringLiteral("Progress..."));
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    m_gauge = new QProgressBar(this);
    m_gauge->setRange(0, qMax(1, maximum));
    m_gauge->setValue(0);
    layout->addWidget(m_gauge);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
    resize(320, 90);
}

void TCommonGaugeForm::UpdateGauge(int step)
{
    m_gauge->setValue(qMin(m_gauge->maximum(), m_gauge->value() + step));
    // The window is application-modal: only its Cancel button can be reached meanwhile.
    if (isVisible())
        QApplication::processEvents();
}

namespace {
class EPrintError : public EVeloraError
{
public:
    using EVeloraError::EVeloraError;
};

enum class TOffsetOutcome { Go, Abandoned, Failed };

TOffsetOutcome NamedOffset(const QString &printer, const QString &name, double &x, double &y)
{
    for (const TSavedPrnOfs &entry : ReadSavedPrinterOffsets()) {
        if (entry.Printer.compare(printer, Qt::CaseInsensitive) != 0 || entry.Name != name)
            continue;
        Extended ex = 0, ey = 0;
        QString message;
        if (!CheckPrinterOffset(entry.X, ex, message)
            || !CheckPrinterOffset(entry.Y, ey, message)) {
            Global_MessageDlg(GlobalAppTitle(),
                              QStringLiteral("The saved offset \"%1\": %2").arg(name, message),
                              mtError, mbOK, 0);
            return TOffsetOutcome::Failed;
        }
        x = double(ex);
        y = double(ey);
        return TOffsetOutcome::Go;
    }
    const QStringList names = SavedOffsetNames(printer);
    Global_MessageDlg(GlobalAppTitle(),
                      QStringLiteral("The printer \"%1\" has no saved offset \"%2\".%3")
                          .arg(printer, name,
                               names.isEmpty() ? QString()
                                               : QStringLiteral(" Its saved offsets: %1.")
                                                     .arg(names.join(QStringLiteral(", ")))),
                      mtError, mbOK, 0);
    return TOffsetOutcome::Failed;
}

// Offsets in millimetres when the current printer has saved ones.
TOffsetOutcome ChooseOffset(double &x, double &y)
{
    x = y = 0;
    const QString printer = PrinterService().PrinterName();
    switch (GlobalPrintOffsetChoice.Mode) {
    case TPrintOffsetChoice::None:
        return TOffsetOutcome::Go;
    case TPrintOffsetChoice::Named:
        return NamedOffset(printer, GlobalPrintOffsetChoice.Name, x, y);
    case TPrintOffsetChoice::Ask:
        break;
    }
    if (SavedOffsetNames(printer).isEmpty())
        return TOffsetOutcome::Go;
    TPrnOfsSelDlg dialog(QApplication::activeWindow());
    if (DialogService().ExecModal(dialog) != QDialog::Accepted)
        return TOffsetOutcome::Abandoned;
    x = double(dialog.OffsetX());
    y = double(dialog.OffsetY());
    return TOffsetOutcome::Go;
}

bool Published(int pageIndex)
{
    const TProjectPropsPageProps *page = GlobalPgProps(pageIndex);
    return page && page->PagePublishPage() && GlobalPgScrollBox(pageIndex);
}

// Paper of a page for the printer page that comes next.
void SetPaperFor(TPrintJob &job, int pageIndex)
{
    const TPrinterPage *view = GlobalPgScrollBox(pageIndex);
    if (!view)
        return;
    PrinterPageSetPrinterMetrics(view->PageSize(), view->PageWidth(), view->PageHeight(),
                                 view->PageOrientation(), false);
    // The view's millimetres already lie the way the paper does.
    QSizeF size(view->PageWidth(), view->PageHeight());
    if (view->PageOrientation() == poLandscape)
        size.transpose();
    job.SetPage(size, view->PageOrientation());
}

// Saves the canvas state and gives it back, also when an element's drawing fails.
class TCanvasState
{
public:
    explicit TCanvasState(QPainter &canvas) : m_canvas(canvas) { m_canvas.save(); }
    ~TCanvasState() { m_canvas.restore(); }
    TCanvasState(const TCanvasState &) = delete;
    TCanvasState &operator=(const TCanvasState &) = delete;

private:
    QPainter &m_canvas;
};

// As on loading: each page asks the printer about its paper turned the page's way
// and lays itself out on it.
void LayOutOnOwnPaper(const QList<int> &pages)
{
    TDeviceMode &mode = PrinterService().DeviceMode();
    const TPrinterOrientation before = mode.Orientation;
    for (const int i : pages) {
        if (TPrinterPage *view = GlobalPgScrollBox(i)) {
            mode.Orientation = view->PageOrientation();
            view->PrinterChanged();
        }
    }
    mode.Orientation = before;
}

// The pages of the range that print, in walking order.
QList<int> PrintOrder(int firstPage, int lastPage, bool reverseOrder)
{
    QList<int> order;
    for (int i = firstPage; i <= lastPage; ++i)
        if (Published(i))
            order << i;
    if (reverseOrder)
        std::reverse(order.begin(), order.end());
    return order;
}

// A print queue takes one paper for a whole job, so a system printer gets one job per
// run of pages on the same paper, in order; the built-in printer sets each page's paper.
QList<QList<int>> PaperRuns(const QList<int> &order, bool oneJob)
{
    const auto paperOf = [](int pageIndex) {
        const TPrinterPage *view = GlobalPgScrollBox(pageIndex);
        return view
            ? std::tuple(view->PageWidth(), view->PageHeight(), int(view->PageOrientation()))
            : std::tuple(0, 0, 0);
    };
    QList<QList<int>> runs;
    for (const int page : order) {
        if (runs.isEmpty() || (!oneJob && paperOf(runs.last().last()) != paperOf(page)))
            runs.append(QList<int>());
        runs.last().append(page);
    }
    return runs;
}

// Walks the pages onto the job; false when the progress window was cancelled.
bool PrintPages(TPrintJob &job, const QList<int> &order, const QString &title,
                TCommonGaugeForm &gauge, double offsetX, double offsetY)
{
    // Unpublished pages are not in the order, so every page knows the next one printed.
    SetPaperFor(job, order.first());
    if (!job.Begin(title))
        throw EPrintError(job.ErrorText());
    for (qsizetype n = 0; n < order.size(); ++n) {
        if (gauge.Cancelled())
            return false;
        gauge.UpdateGauge(1);
        GlobalPrintPage(job.Canvas(), order.at(n), offsetX, offsetY);
        if (n + 1 < order.size() && !gauge.Cancelled()) {
            // The paper of the page printed next, which may be turned the other way.
            SetPaperFor(job, order.at(n + 1));
            if (!job.NewPage())
                throw EPrintError(job.ErrorText());
        }
    }
    return !gauge.Cancelled();
}
} // namespace

TPrintOffsetChoice GlobalPrintOffsetChoice;

QStringList SavedOffsetNames(const QString &printer)
{
    QStringList names;
    for (const TSavedPrnOfs &entry : ReadSavedPrinterOffsets())
        if (entry.Printer.compare(printer, Qt::CaseInsensitive) == 0)
            names << entry.Name;
    return names;
}

void GlobalPrintPage(QPainter &canvas, int pageIndex, double offsetXMm, double offsetYMm)
{
    TPrinterPage *view = GlobalPgScrollBox(pageIndex);
    if (!view)
        return;
    GlobalDirtyPrnXOfs = int(Round(offsetXMm * view->PrinterPixelsPerInchX() / 25.4));
    GlobalDirtyPrnYOfs = int(Round(offsetYMm * view->PrinterPixelsPerInchY() / 25.4));
    const QPoint shift
        = QPoint(GlobalDirtyPrnXOfs, GlobalDirtyPrnYOfs) - view->PrinterPhysicalOffset();
    const int pageW = view->PageWidthPixels();
    const int pageH = view->PageHeightPixels();

    canvas.save();
    TProjectPagePaintBox::PaintBackground(canvas, QRect(0, 0, pageW, pageH).translated(shift),
                                          view->GetUserArea(pdPrinter).translated(shift), pageIndex,
                                          false);
    canvas.restore();
    if (view->MarginsShown()) {
        canvas.save();
        canvas.setPen(QPen(Qt::gray, 0, Qt::DashLine));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(view->GetUserArea(pdPrinter).translated(shift));
        canvas.restore();
    }
    for (QObject *child : view->children()) {
        auto *element = qobject_cast<TVisualPgCtrl *>(child);
        if (!element || !element->VisualGeneralProps()
            || !element->VisualGeneralProps()->GeneralPublish())
            continue;
        const int left = int(Round(pageW / 100.0L * element->BaseRelLeft()));
        const int top = int(Round(pageH / 100.0L * element->BaseRelTop()));
        const QRect rect(left, top, int(Round(pageW / 100.0L * element->BaseRelWidth())),
                         int(Round(pageH / 100.0L * element->BaseRelHeight())));
        const TCanvasState state(canvas);
        canvas.setClipRect(rect.translated(shift));
        element->DoPaint(rect.translated(shift), canvas, false);
    }
}

bool GlobalPrintedProject(TProjectProps *project, const QString &title, int firstPage, int lastPage,
                          bool reverseOrder, bool showProgress, QWidget *owner)
{
    if (!project)
        return true;
    double offsetX = 0;
    double offsetY = 0;
    switch (ChooseOffset(offsetX, offsetY)) {
    case TOffsetOutcome::Go:
        break;
    case TOffsetOutcome::Abandoned:
        return true;
    case TOffsetOutcome::Failed:
        return false;
    }
    const QList<int> order = PrintOrder(firstPage, lastPage, reverseOrder);
    if (order.isEmpty()) {
        Global_MessageDlg(GlobalAppTitle(), QStringLiteral("Nothing to print."), mtInformation,
                          mbOK, 0);
        return true;
    }
    LayOutOnOwnPaper(order);

    // The job turns the printer's paper page by page; that is the job's alone.
    const TDeviceMode modeBefore = PrinterService().DeviceMode();
    auto gauge = std::make_unique<TCommonGaugeForm>(owner, int(order.size()));
    if (showProgress)
        gauge->show();
    gauge->UpdateGauge(0);
    bool failed = true;
    QString failure;
    const QList<QList<int>> runs = PaperRuns(order, PrinterService().IsBuiltIn());
    for (qsizetype run = 0; run < runs.size(); ++run) {
        const QString jobTitle = runs.size() == 1
            ? title
            : QStringLiteral("%1 (%2 of %3)").arg(title).arg(run + 1).arg(runs.size());
        failed = true;
        TPrintJob job;
        bool cancelled = false;
        try {
            if (!PrintPages(job, runs.at(run), jobTitle, *gauge, offsetX, offsetY))
                cancelled = true;
            else if (!job.End())
                throw EPrintError(job.ErrorText().isEmpty()
                                      ? QStringLiteral("The print job could not be finished.")
                                      : job.ErrorText());
            failed = false;
        } catch (const EVeloraError &e) {
            failure = e.Message();
        } catch (const std::exception &e) {
            failure = QString::fromLocal8Bit(e.what());
        } catch (...) {
            failure = QStringLiteral("Unknown error.");
        }
        if (failed || cancelled) {
            job.Abort();
            break;
        }
    }
    PrinterService().DeviceMode() = modeBefore;
    GlobalDirtyPrnXOfs = GlobalDirtyPrnYOfs = 0;
    // The progress window goes first: the message stands on its own, not over it.
    gauge.reset();
    if (!failed)
        return true;
    Global_MessageDlg(GlobalAppTitle(),
                      QStringLiteral("Project printing error.\r>> ") + failure
                          + QStringLiteral(" <<"),
                      mtError, mbOK, 0);
    return false;
}

TProjectPrintRun::TProjectPrintRun() = default;

TProjectPrintRun::~TProjectPrintRun()
{
    Abort();
}

bool TProjectPrintRun::ChooseOffsets()
{
    m_error.clear();
    switch (ChooseOffset(m_offsetX, m_offsetY)) {
    case TOffsetOutcome::Go:
        return true;
    case TOffsetOutcome::Abandoned:
        return false;
    case TOffsetOutcome::Failed:
        m_error = QStringLiteral("The printer offset could not be used.");
        return false;
    }
    return false;
}

bool TProjectPrintRun::AddPages(const QString &title, int firstPage, int lastPage)
{
    const QList<int> order = PrintOrder(firstPage, lastPage, false);
    if (order.isEmpty())
        return true;
    // Fillings change texts, not papers: laying the pages out once is enough.
    if (!m_laidOut) {
        m_modeBefore = std::make_unique<TDeviceMode>(PrinterService().DeviceMode());
        LayOutOnOwnPaper(order);
        m_laidOut = true;
    }
    try {
        for (const int page : order) {
            if (!m_job) {
                m_job = std::make_unique<TPrintJob>();
                SetPaperFor(*m_job, page);
                if (!m_job->Begin(title))
                    throw EPrintError(m_job->ErrorText());
            } else {
                SetPaperFor(*m_job, page);
                if (!m_job->NewPage())
                    throw EPrintError(m_job->ErrorText());
            }
            GlobalPrintPage(m_job->Canvas(), page, m_offsetX, m_offsetY);
            ++m_pages;
        }
    } catch (const EVeloraError &e) {
        m_error = e.Message();
        Abort();
        return false;
    }
    return true;
}

bool TProjectPrintRun::End()
{
    const bool ended = !m_job || m_job->End();
    if (!ended)
        m_error = m_job->ErrorText().isEmpty()
            ? QStringLiteral("The print job could not be finished.")
            : m_job->ErrorText();
    m_job.reset();
    Finish();
    return ended;
}

void TProjectPrintRun::Abort()
{
    if (m_job)
        m_job->Abort();
    m_job.reset();
    Finish();
}

void TProjectPrintRun::Finish()
{
    GlobalDirtyPrnXOfs = GlobalDirtyPrnYOfs = 0;
    if (m_modeBefore)
        PrinterService().DeviceMode() = *m_modeBefore;
    m_modeBefore.reset();
    m_laidOut = false;
}
