#include "CPrinterService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr double kInch = 25.4;

struct TFormRow
{
    const char *Name;
    double Width, Height;
    bool Inches;
};

// Codes 1 to 47 of the device-mode paper numbering, in order.
constexpr TFormRow kForms[] = {
    {"Letter", 8.5, 11, true},
    {"Letter Small", 8.5, 11, true},
    {"Tabloid", 11, 17, true},
    {"Ledger", 17, 11, true},
    {"Legal", 8.5, 14, true},
    {"Statement", 5.5, 8.5, true},
    {"Executive", 7.25, 10.5, true},
    {"A3", 297, 420, false},
    {"A4", 210, 297, false},
    {"A4 Small", 210, 297, false},
    {"A5", 148, 210, false},
    {"B4 (JIS)", 257, 364, false},
    {"B5 (JIS)", 182, 257, false},
    {"Folio", 8.5, 13, true},
    {"Quarto", 215, 275, false},
    {"10x14", 10, 14, true},
    {"11x17", 11, 17, true},
    {"Note", 8.5, 11, true},
    {"Envelope #9", 3.875, 8.875, true},
    {"Envelope #10", 4.125, 9.5, true},
    {"Envelope #11", 4.5, 10.375, true},
    {"Envelope #12", 4.75, 11, true},
    {"Envelope #14", 5, 11.5, true},
    {"C size sheet", 17, 22, true},
    {"D size sheet", 22, 34, true},
    {"E size sheet", 34, 44, true},
    {"Envelope DL", 110, 220, false},
    {"Envelope C5", 162, 229, false},
    {"Envelope C3", 324, 458, false},
    {"Envelope C4", 229, 324, false},
    {"Envelope C6", 114, 162, false},
    {"Envelope C65", 114, 229, false},
    {"Envelope B4", 250, 353, false},
    {"Envelope B5", 176, 250, false},
    {"Envelope B6", 176, 125, false},
    {"Envelope", 110, 230, false},
    {"Envelope Monarch", 3.875, 7.5, true},
    {"6 3/4 Envelope", 3.625, 6.5, true},
    {"US Std Fanfold", 14.875, 11, true},
    {"German Std Fanfold", 8.5, 12, true},
    {"German Legal Fanfold", 8.5, 13, true},
    {"B4 (ISO)", 250, 353, false},
    {"Japanese Postcard", 100, 148, false},
    {"9x11", 9, 11, true},
    {"10x11", 10, 11, true},
    {"15x11", 15, 11, true},
    {"Envelope Invite", 220, 220, false},
};

QList<TPaperForm> BuildForms()
{
    QList<TPaperForm> forms;
    int code = 1;
    for (const TFormRow &row : kForms) {
        const double k = row.Inches ? kInch : 1.0;
        // Millimetres to a tenth, as device modes keep them.
        const auto mm = [k](double v) {
            return std::round(v * k * 10.0) / 10.0;
        };
        forms.append(TPaperForm {code++, QString::fromLatin1(row.Name),
                                 QSizeF(mm(row.Width), mm(row.Height))});
    }
    return forms;
}

QPageSize PageSizeFor(const QSizeF &sizeMm)
{
    // Portrait size; the fuzzy match names standard papers ("A4") in the output.
    const QSizeF portrait(qMin(sizeMm.width(), sizeMm.height()),
                          qMax(sizeMm.width(), sizeMm.height()));
    return QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

QString SystemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// The PDF writer does not report failed writes; a whole PDF ends with its end-of-file marker.
bool IsWholePdf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    file.seek(file.size() - 16);
    return file.readAll().trimmed().endsWith("%%EOF");
}

// Why the PDF writer's writes to the file failed: a write at its end fails the same way.
QString WriteFailureReason(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_APPEND);
    if (fd < 0)
        return SystemReason(errno);
    static const char zeros[1 << 16] = {};
    int code = 0;
    for (qint64 left = sizeof zeros; left > 0 && !code;) {
        const ssize_t n = ::write(fd, zeros, size_t(left));
        if (n < 0 && errno != EINTR)
            code = errno;
        else if (n > 0)
            left -= n;
    }
    if (!code && ::fsync(fd) != 0)
        code = errno;
    ::close(fd);
    return code ? SystemReason(code) : QStringLiteral("the PDF was cut short");
}

// Zero when the file reached the disk, else the error number.
int SyncFile(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY);
    if (fd < 0)
        return errno;
    const int code = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return code;
}

// Qt's queue engine hands the job to the print system without saying whether the queue
// took it; the print system's library, which Qt has loaded, tells how its last request
// went. Empty when it went well or the library is not there.
QString QueueRefusal()
{
    void *cups = ::dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!cups)
        return {};
    using TStatus = int (*)();
    using TText = const char *(*)();
    const auto status = reinterpret_cast<TStatus>(::dlsym(cups, "cupsLastError"));
    const auto text = reinterpret_cast<TText>(::dlsym(cups, "cupsLastErrorString"));
    QString refusal;
    // Statuses from 0x0400 on are the client's and the server's errors.
    if (status && status() >= 0x0400) {
        const char *reason = text ? text() : nullptr;
        refusal = reason && *reason ? QString::fromUtf8(reason)
                                    : QStringLiteral("the queue did not take the job");
    }
    ::dlclose(cups);
    return refusal;
}

// Why a file cannot go at path: something that is not an ordinary file is there.
QString TargetProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return info.isDir() ? QStringLiteral("It is a folder")
                        : QStringLiteral("It is not an ordinary file");
}

QSizeF ModeSizeMm(const TDeviceMode &mode)
{
    if (const TPaperForm *form = PaperFormByCode(mode.PaperSize))
        return form->SizeMm;
    return QSizeF(mode.PaperWidth / 10.0, mode.PaperLength / 10.0);
}
} // namespace

const QList<TPaperForm> &PaperForms()
{
    static const QList<TPaperForm> forms = BuildForms();
    return forms;
}

const TPaperForm *PaperFormByCode(int code)
{
    const auto &forms = PaperForms();
    return code >= 1 && code <= forms.size() ? &forms[code - 1] : nullptr;
}

int PaperCodeForSize(const QSizeF &sizeMm)
{
    for (const TPaperForm &f : PaperForms()) {
        const bool same = std::abs(f.SizeMm.width() - sizeMm.width()) <= 1.0
            && std::abs(f.SizeMm.height() - sizeMm.height()) <= 1.0;
        const bool turned = std::abs(f.SizeMm.width() - sizeMm.height()) <= 1.0
            && std::abs(f.SizeMm.height() - sizeMm.width()) <= 1.0;
        if (same || turned)
            return f.Code;
    }
    return 0;
}

const QString TPrinterService::BuiltInPrinterName = QStringLiteral("Velora PDF Printer");

TPrinterService::TPrinterService()
{
    m_outputFile = QDir::home().filePath(QStringLiteral("Velora.pdf"));
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    const QStringList system = QPrinterInfo::availablePrinterNames();
    m_printer = !def.isNull() ? def.printerName()
                              : (system.isEmpty() ? BuiltInPrinterName : system.first());
    QueryDevice();
}

TPrinterService::~TPrinterService() = default;

QStringList TPrinterService::Printers() const
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.append(BuiltInPrinterName);
    return names;
}

bool TPrinterService::SetPrinter(const QString &name)
{
    if (!Printers().contains(name))
        return false;
    if (name != m_printer) {
        m_printer = name;
        QueryDevice();
        emit PrinterChanged();
    }
    return true;
}

bool TPrinterService::CanOpen(const QString &name) const
{
    return name == BuiltInPrinterName || !QPrinterInfo::printerInfo(name).isNull();
}

QList<TPaperForm> TPrinterService::Forms(const QString &name) const
{
    // Every printer offers the same numbered forms so that a code always means the same paper.
    return CanOpen(name) ? PaperForms() : QList<TPaperForm>();
}

QPageLayout TPrinterService::PageLayout() const
{
    const auto orientation
        = m_mode.Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(PageSizeFor(ModeSizeMm(m_mode)), orientation, QMarginsF());
}

std::unique_ptr<QPrinter> TPrinterService::CreatePrinter() const
{
    std::unique_ptr<QPrinter> printer;
    if (IsBuiltIn()) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(600);
        printer->setOutputFileName(m_outputFile);
    } else {
        printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(m_printer),
                                             QPrinter::HighResolution);
    }
    printer->setPageLayout(PageLayout());
    // Zero margins clamp to what the device can print; its origin is then the printable corner.
    printer->setPageMargins(IsBuiltIn() ? BuiltInMargins(m_mode.Orientation) : QMarginsF(),
                            QPageLayout::Millimeter);
    printer->setCopyCount(m_mode.Copies);
    printer->setCollateCopies(m_mode.Collate);
    return printer;
}

QPoint TPrinterService::PhysicalOffset() const
{
    return m_offset[m_mode.Orientation == poLandscape ? 1 : 0];
}

void TPrinterService::SetBuiltInMargins(const QMarginsF &portraitMm)
{
    m_builtInMargins = portraitMm;
    if (IsBuiltIn())
        QueryDevice();
}

QMarginsF TPrinterService::BuiltInMargins(TPrinterOrientation orientation) const
{
    const QMarginsF &m = m_builtInMargins;
    // A landscape page lies on the sheet turned a quarter counter-clockwise.
    return orientation == poLandscape ? QMarginsF(m.bottom(), m.left(), m.top(), m.right()) : m;
}

void TPrinterService::QueryDevice()
{
    m_offset[0] = m_offset[1] = QPoint();
    if (IsBuiltIn()) {
        m_ppiX = m_ppiY = 600;
        for (const TPrinterOrientation turned : {poPortrait, poLandscape}) {
            const QMarginsF m = BuiltInMargins(turned);
            m_offset[turned == poLandscape ? 1 : 0]
                = QPoint(qRound(m.left() * m_ppiX / kInch), qRound(m.top() * m_ppiY / kInch));
        }
        return;
    }
    const TPrinterOrientation orientation = m_mode.Orientation;
    for (const TPrinterOrientation turned : {poPortrait, poLandscape}) {
        m_mode.Orientation = turned;
        const auto printer = CreatePrinter();
        m_ppiX = m_ppiY = printer->resolution();
        const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
        const QRectF page = printer->pageRect(QPrinter::DevicePixel);
        m_offset[turned == poLandscape ? 1 : 0] = (page.topLeft() - paper.topLeft()).toPoint();
    }
    m_mode.Orientation = orientation;
}

TPrinterService &PrinterService()
{
    static TPrinterService service;
    return service;
}

TPrintJob::TPrintJob()
    : m_printer(PrinterService().CreatePrinter()), m_outputFile(m_printer->outputFileName())
{
    // Printing through a symbolic link replaces the file it points to.
    const QFileInfo output(m_outputFile);
    if (!m_outputFile.isEmpty() && output.isSymLink())
        m_outputFile = output.symLinkTarget();
}

TPrintJob::~TPrintJob()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    DiscardPartFile();
}

bool TPrintJob::Begin(const QString &title)
{
    m_printer->setDocName(title);
    const QString cannotWrite = QStringLiteral("Could not write \"%1\".").arg(m_outputFile);
    if (!m_outputFile.isEmpty()) {
        if (const QString problem = TargetProblem(m_outputFile); !problem.isEmpty()) {
            m_error = CannotWrite(problem);
            return false;
        }
        // In the same folder, so that putting it in place is one rename.
        QTemporaryFile part(m_outputFile + QStringLiteral(".XXXXXX"));
        part.setAutoRemove(false);
        if (!part.open()) {
            m_error = CannotWrite(part.errorString());
            return false;
        }
        m_partFile = part.fileName();
        m_printer->setOutputFileName(m_partFile);
    }
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_error = m_outputFile.isEmpty()
            ? QStringLiteral("The printer \"%1\" could not start the job.")
                  .arg(m_printer->printerName())
            : cannotWrite;
        m_painter.reset();
        DiscardPartFile();
        return false;
    }
    m_page = 1;
    return true;
}

void TPrintJob::SetPage(const QSizeF &sizeMm, TPrinterOrientation orientation)
{
    const auto o = orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    m_printer->setPageOrientation(o);
    m_printer->setPageSize(PageSizeFor(sizeMm));
    if (m_printer->outputFormat() == QPrinter::PdfFormat)
        m_printer->setPageMargins(PrinterService().BuiltInMargins(orientation),
                                  QPageLayout::Millimeter);
}

bool TPrintJob::NewPage()
{
    if (!m_printer->newPage()) {
        m_error = !m_partFile.isEmpty()
            ? CannotWrite(WriteFailureReason(m_partFile))
            : QStringLiteral("The printer \"%1\" could not start a new page: its print file "
                             "could not be written.")
                  .arg(m_printer->printerName());
        return false;
    }
    ++m_page;
    return true;
}

bool TPrintJob::End()
{
    if (!m_painter)
        return false;
    bool ok = m_painter->end();
    m_painter.reset();
    if (ok && m_outputFile.isEmpty()) {
        if (const QString refusal = QueueRefusal(); !refusal.isEmpty()) {
            m_error = QStringLiteral("The printer \"%1\" did not take the job: %2")
                          .arg(m_printer->printerName(), refusal);
            ok = false;
        }
    }
    if (!ok && m_error.isEmpty())
        m_error = m_partFile.isEmpty()
            ? QStringLiteral("The printer \"%1\" could not finish the job.")
                  .arg(m_printer->printerName())
            : CannotWrite(WriteFailureReason(m_partFile));
    if (ok && !m_partFile.isEmpty()) {
        // A full disk cuts the PDF short without an error from its writer.
        int code = 0;
        if (!IsWholePdf(m_partFile)) {
            m_error = CannotWrite(WriteFailureReason(m_partFile));
            ok = false;
        } else if ((code = SyncFile(m_partFile)) != 0) {
            m_error = CannotWrite(SystemReason(code));
            ok = false;
        }
    }
    if (ok && !m_partFile.isEmpty()) {
        // A temporary file is private; the PDF gets the rights of an ordinary new file.
        const QFile::Permissions rights = QFileInfo::exists(m_outputFile)
            ? QFile::permissions(m_outputFile)
            : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        QFile::setPermissions(m_partFile, rights);
        ok = std::rename(QFile::encodeName(m_partFile).constData(),
                         QFile::encodeName(m_outputFile).constData())
            == 0;
        if (ok)
            m_partFile.clear();
        else
            m_error = CannotWrite(SystemReason(errno));
    }
    DiscardPartFile();
    return ok;
}

void TPrintJob::Abort()
{
    m_printer->abort();
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    DiscardPartFile();
}

QString TPrintJob::CannotWrite(const QString &reason) const
{
    return QStringLiteral("Could not write \"%1\": %2").arg(m_outputFile, reason);
}

void TPrintJob::DiscardPartFile()
{
    if (m_partFile.isEmpty())
        return;
    QFile::remove(m_partFile);
    m_partFile.clear();
}

QPainter &TPrintJob::Canvas()
{
    Q_ASSERT(m_painter);
    return *m_painter;
}
