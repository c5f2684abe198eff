#include "VeloraApp.h"

#include "CAppPaths.h"
#include "CDialogService.h"
#include "CException.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterService.h"

#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

TVeloraApplication::TVeloraApplication(int &argc, char **argv) : QApplication(argc, argv) { }

bool TVeloraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const EVeloraError &e) {
        ShowApplicationError(e.Message());
    } catch (const std::exception &e) {
        ShowApplicationError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void ShowApplicationError(const QString &message)
{
    DialogService().Beep();
    Global_MessageDlg(GlobalAppTitle(), message, mtError, mbOK, 0);
}

namespace {
// Unattended work: what would have been a dialog goes to standard error, and
// any dialog at all means the work did not go as asked.
class TConsoleDialogService : public TDialogService
{
public:
    bool Failed() const { return m_failed; }

    int MessageBox(const TMessageRequest &request) override
    {
        Report(request.Text);
        return request.Buttons & mbNo ? mrNo : mrCancel;
    }
    QString OpenFileName(const TFileRequest &) override { return Refuse(); }
    QString SaveFileName(const TFileRequest &) override { return Refuse(); }
    QString FolderName(const QString &, const QString &) override { return Refuse(); }
    bool PrintDialog(TPrintRequest &) override { return !Refuse().isEmpty(); }
    int ExecModal(QDialog &dialog) override
    {
        QStringList texts {dialog.windowTitle().trimmed()};
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            if (!label->text().isEmpty())
                texts << label->text();
        Report(texts.join(u'\n'));
        return QDialog::Rejected;
    }
    bool OpenUrl(const QUrl &) override { return false; }
    void Beep() override { }

private:
    void Report(const QString &text)
    {
        m_failed = true;
        std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace(u'\r', u'\n')));
    }
    QString Refuse()
    {
        Report(QStringLiteral("A dialog was needed."));
        return {};
    }
    bool m_failed = false;
};

// --print-to-pdf OUT DOC: the document as it stands, to a PDF, without a window.
int PrintToPdf(TFillerMainForm &window, const QString &output, const QString &document)
{
    auto *console = new TConsoleDialogService;
    std::unique_ptr<TDialogService> previous
        = SetDialogService(std::unique_ptr<TDialogService>(console));
    window.FormCreate();
    window.LoadPlugIns();
    bool ok = !document.isEmpty() && !output.isEmpty() && window.OpenDocument(document);
    if (ok) {
        PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
        PrinterService().SetOutputFileName(QFileInfo(output).absoluteFilePath());
        const int pages = window.PagesPageControl()->PageCount();
        ok = window.Print(false, true, 0, 1, 1, pages) && QFileInfo(output).size() > 0;
    } else if (document.isEmpty() || output.isEmpty()) {
        std::fprintf(stderr, "usage: VeloraFiller --print-to-pdf OUT.pdf DOCUMENT.vld\n");
    }
    ok = ok && !console->Failed();
    window.CloseDocument();
    SetDialogService(std::move(previous));
    return ok ? 0 : 1;
}
} // namespace

int RunVeloraProgram(int argc, char **argv, const QString &applicationName,
                     const std::function<TFillerMainForm *()> &createMainWindow)
{
    // Unattended printing needs no display.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--print-to-pdf") == 0
            && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    TVeloraApplication app(argc, argv);
    QApplication::setApplicationName(applicationName);
    QApplication::setOrganizationName(QStringLiteral("Corvale"));
    QApplication::setApplicationVersion(QStringLiteral(VELORA_VERSION));
    GlobalInitPaths();

    QString screenshot;
    QString document;
    QString pdf;
    bool printToPdf = false;
    const QStringList args = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg.startsWith(QLatin1String("--screenshot=")))
            screenshot = arg.mid(int(qstrlen("--screenshot=")));
        else if (arg == QLatin1String("--print-to-pdf")) {
            printToPdf = true;
            pdf = args.value(++i);
        } else if (document.isEmpty() && !arg.startsWith(QLatin1String("--")))
            document = arg;
    }

    std::unique_ptr<TFillerMainForm> window(createMainWindow());
    if (printToPdf)
        return PrintToPdf(*window, pdf, document);
    window->FormCreate();
    window->SetStartDocument(document);
    if (screenshot.isEmpty())
        window->showMaximized();
    else
        window->show();
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1500, window.get(), [&window, screenshot] {
            const bool saved = window->grab().save(screenshot);
            window->close();
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
