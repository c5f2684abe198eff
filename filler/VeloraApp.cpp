#include "VeloraApp.h"

#include "CAppPaths.h"
#include "CCalibrationPage.h"
#include "CDialogService.h"
#include "CDocumentFile.h"
#include "CException.h"
#include "CFillerBulkFill.h"
#include "CFillerDialogs.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterService.h"
#include "CProjectPrint.h"

#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

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
    explicit TConsoleDialogService(bool publishAnyway) : m_publishAnyway(publishAnyway) { }
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
        // Only the question whether to publish a form that failed validation has a yes.
        const bool publishQuestion = qobject_cast<TValidationFailureDlg *>(&dialog)
            && dialog.findChild<QPushButton *>(QStringLiteral("YesButton"));
        if (publishQuestion && m_publishAnyway)
            return mrYes;
        QStringList texts {dialog.windowTitle().trimmed()};
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            if (!label->text().isEmpty())
                texts << label->text();
        if (publishQuestion)
            texts << QStringLiteral("Not printed: the form failed validation; use --publish-anyway "
                                    "to print it anyway.");
        Report(texts.join(u'\n'));
        return publishQuestion ? int(mrNo) : int(QDialog::Rejected);
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
    bool m_publishAnyway;
    bool m_failed = false;
};

void Complain(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// What the command line asks for once it has been read.
struct TStartOptions
{
    bool Help = false;
    bool Version = false;
    QString Document;
    QString Screenshot;
    QString Pdf;
    bool PrintToPdf = false;
    bool Print = false;
    QString Printer;
    bool ListPrinters = false;
    bool PublishAnyway = false;
    bool NoOffsets = false;
    QString Offset;
    QString FillData;
    QString SaveEach;
    bool SkipInvalid = false;
    QString Calibration;
    int Paper = 0;
    // A command of the program's own was asked for.
    bool ProgramCommand = false;
};

// The queue --print uses: the one named, else the system's default, else its first.
bool ChoosePrinter(const TStartOptions &options)
{
    TPrinterService &printers = PrinterService();
    if (!options.Printer.isEmpty()) {
        if (printers.SetPrinter(options.Printer))
            return true;
        Complain(QStringLiteral("There is no printer \"%1\". Printers: %2.")
                     .arg(options.Printer, printers.Printers().join(QStringLiteral(", "))));
        return false;
    }
    const QString chosen = !QPrinterInfo::defaultPrinterName().isEmpty()
        ? QPrinterInfo::defaultPrinterName()
        : QPrinterInfo::availablePrinterNames().value(0);
    if (chosen.isEmpty() || !printers.SetPrinter(chosen)) {
        Complain(QStringLiteral("There is no printer queue to print to; name one with --printer, "
                                "or use --print-to-pdf."));
        return false;
    }
    return true;
}

// The printer's saved offsets need a choice that no dialog can ask for.
bool ChooseOffsets(const TStartOptions &options)
{
    GlobalPrintOffsetChoice = {};
    if (options.NoOffsets) {
        GlobalPrintOffsetChoice.Mode = TPrintOffsetChoice::None;
        return true;
    }
    const QString printer = PrinterService().PrinterName();
    const QStringList names = SavedOffsetNames(printer);
    if (!options.Offset.isEmpty()) {
        if (names.contains(options.Offset)) {
            GlobalPrintOffsetChoice.Mode = TPrintOffsetChoice::Named;
            GlobalPrintOffsetChoice.Name = options.Offset;
            return true;
        }
        Complain(names.isEmpty()
                     ? QStringLiteral("The printer \"%1\" has no saved offsets.").arg(printer)
                     : QStringLiteral("The printer \"%1\" has no saved offset \"%2\". Its saved "
                                      "offsets: %3.")
                           .arg(printer, options.Offset, names.join(QStringLiteral(", "))));
        return false;
    }
    if (names.isEmpty())
        return true;
    Complain(QStringLiteral("The printer \"%1\" has saved offsets: %2. Choose one with --offset "
                            "NAME, or print without them with --no-offsets.")
                 .arg(printer, names.join(QStringLiteral(", "))));
    return false;
}

// The printer an unattended print goes to: the built-in one writing OUT for
// --print-to-pdf, else a queue. The built-in printer puts its PDF in place only
// when whole, so a failed print never leaves half a file at OUT nor overwrites
// what was there.
bool ChooseUnattendedPrinter(const TStartOptions &options)
{
    if (!options.PrintToPdf)
        return ChoosePrinter(options);
    const QString &output = options.Pdf;
    if (IsSameFile(output, options.Document)) {
        Complain(QStringLiteral("Not printed: \"%1\" is the document itself.").arg(output));
        return false;
    }
    if (!options.FillData.isEmpty() && IsSameFile(output, options.FillData)) {
        Complain(QStringLiteral("Not printed: \"%1\" is the data file itself.").arg(output));
        return false;
    }
    if (const QString problem = OutputTargetProblem(output); !problem.isEmpty()) {
        Complain(QStringLiteral("Could not write \"%1\": %2").arg(output, problem));
        return false;
    }
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    PrinterService().SetOutputFileName(QFileInfo(output).absoluteFilePath());
    return true;
}

// --print-to-pdf OUT DOC and --print DOC: the document as it stands, printed as
// File > Print prints it, without a window; with --fill, one filled copy per row.
int PrintUnattended(TFillerMainForm &window, const TStartOptions &options)
{
    window.SetRecoveryJournal(false);
    const bool printing = options.PrintToPdf || options.Print;
    if (printing && (!ChooseUnattendedPrinter(options) || !ChooseOffsets(options)))
        return 1;
    auto *console = new TConsoleDialogService(options.PublishAnyway);
    std::unique_ptr<TDialogService> previous
        = SetDialogService(std::unique_ptr<TDialogService>(console));
    window.FormCreate();
    window.LoadPlugIns();
    bool ok = false;
    if (!options.FillData.isEmpty()) {
        TBulkFillRequest request;
        request.Data = options.FillData;
        request.Document = options.Document;
        request.Print = printing;
        request.SaveDir = options.SaveEach;
        request.SkipInvalid = options.SkipInvalid;
        request.PublishAnyway = options.PublishAnyway;
        ok = RunBulkFill(window, request) == 0;
    } else {
        ok = window.OpenDocument(options.Document);
        if (ok) {
            const int pages = window.PagesPageControl()->PageCount();
            ok = window.Print(false, true, 0, 1, 1, pages);
        }
        window.CloseDocument();
    }
    ok = ok && !console->Failed();
    SetDialogService(std::move(previous));
    GlobalPrintOffsetChoice = {};
    return ok ? 0 : 1;
}

// A program's own unattended command: as printing runs, without a window or a journal.
int RunProgramCommand(TFillerMainForm &window, const TProgramCommands &commands)
{
    window.SetRecoveryJournal(false);
    auto *console = new TConsoleDialogService(false);
    std::unique_ptr<TDialogService> previous
        = SetDialogService(std::unique_ptr<TDialogService>(console));
    window.FormCreate();
    window.LoadPlugIns();
    int code = commands.Run(window);
    if (code == 0 && console->Failed())
        code = 1;
    window.CloseDocument();
    SetDialogService(std::move(previous));
    return code;
}

// --print-calibration OUT: the calibration page on the built-in printer.
int PrintCalibration(const TStartOptions &options)
{
    if (const QString problem = OutputTargetProblem(options.Calibration); !problem.isEmpty()) {
        Complain(QStringLiteral("Could not write \"%1\": %2").arg(options.Calibration, problem));
        return 1;
    }
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    PrinterService().SetOutputFileName(QFileInfo(options.Calibration).absoluteFilePath());
    const TPaperForm *paper = PaperFormByCode(options.Paper ? options.Paper : 9);
    QString error;
    if (!PrintCalibrationPage(paper->SizeMm, poPortrait, &error)) {
        Complain(QStringLiteral("Not printed: %1").arg(error));
        return 1;
    }
    return 0;
}

// --list-printers: the queues with the papers each one takes.
int ListPrinters()
{
    const QString def = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo &queue : QPrinterInfo::availablePrinters()) {
        std::printf("%s%s\n", qPrintable(queue.printerName()),
                    queue.printerName() == def ? " (default)" : "");
        for (const QPageSize &paper : queue.supportedPageSizes()) {
            const QSizeF mm = paper.size(QPageSize::Millimeter);
            std::printf("  %s (%g x %g mm)\n", qPrintable(paper.name()), mm.width(), mm.height());
        }
    }
    std::printf("%s (built in: writes PDF files)\n",
                qPrintable(TPrinterService::BuiltInPrinterName));
    for (const TPaperForm &form : PaperForms())
        std::printf("  %s (%g x %g mm)\n", qPrintable(form.Name), form.SizeMm.width(),
                    form.SizeMm.height());
    return 0;
}

// The options the windowing system reads from the command line itself: they
// must not be taken for unknown ones. "-platform offscreen" is a long option.
void AddWindowSystemOptions(QCommandLineParser &parser)
{
    static const char *const withValue[]
        = {"platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
           "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
           "display",     "geometry",           "qmljsdebugger"};
    static const char *const flags[] = {"reverse", "widgetcount", "nograb", "dograb"};
    for (const char *name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : flags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

const QCommandLineOption kHelp({QStringLiteral("h"), QStringLiteral("help")},
                               QStringLiteral("Show this help and quit."));
const QCommandLineOption kVersion({QStringLiteral("v"), QStringLiteral("version")},
                                  QStringLiteral("Show the version and quit."));
const QCommandLineOption kPrintToPdf(
    QStringLiteral("print-to-pdf"),
    QStringLiteral("Print the document as it stands to the PDF file <out.pdf> without a "
                   "window, then quit. Fails when a dialog would be needed."),
    QStringLiteral("out.pdf"));
const QCommandLineOption kPrint(
    QStringLiteral("print"),
    QStringLiteral("Print the document as it stands on a printer queue (--printer, else the "
                   "system's default, else its first queue) without a window, then quit. Fails "
                   "when a dialog would be needed."));
const QCommandLineOption kPrinter(QStringLiteral("printer"),
                                  QStringLiteral("With --print: the printer queue to print on."),
                                  QStringLiteral("name"));
const QCommandLineOption kListPrinters(
    QStringLiteral("list-printers"),
    QStringLiteral("List the printer queues and the papers each one takes, then quit."));
const QCommandLineOption
    kOffset(QStringLiteral("offset"),
            QStringLiteral("With --print or --print-to-pdf: shift the print by the printer's saved "
                           "offset of that name."),
            QStringLiteral("name"));
const QCommandLineOption kNoOffsets(
    QStringLiteral("no-offsets"),
    QStringLiteral("With --print or --print-to-pdf: print without the printer's saved offsets."));
const QCommandLineOption kPublishAnyway(
    QStringLiteral("publish-anyway"),
    QStringLiteral("With --print, --print-to-pdf or --fill: print a form that fails validation "
                   "(a blank form to fill in by hand, say)."));
const QCommandLineOption kFill(
    QStringLiteral("fill"),
    QStringLiteral("With --print-to-pdf, --print or --save-each: fill the document once per row "
                   "of the CSV file <data.csv> (columns named like the elements) and print every "
                   "filled copy in one job. Refused rows are reported with their row number and "
                   "nothing is printed, unless --skip-invalid."),
    QStringLiteral("data.csv"));
const QCommandLineOption kSaveEach(
    QStringLiteral("save-each"),
    QStringLiteral("With --fill: save each filled copy as a document of its own in the folder "
                   "<dir> (FORM-ROW.vld)."),
    QStringLiteral("dir"));
const QCommandLineOption
    kSkipInvalid(QStringLiteral("skip-invalid"),
                 QStringLiteral("With --fill: leave refused rows out and print the others."));
const QCommandLineOption kPrintCalibration(
    QStringLiteral("print-calibration"),
    QStringLiteral("Print the calibration page (millimetre rulers and crosshairs, to measure a "
                   "printer's shift) to the PDF file <out.pdf>, then quit."),
    QStringLiteral("out.pdf"));
const QCommandLineOption
    kPaper(QStringLiteral("paper"),
           QStringLiteral("With --print-calibration: the paper, by its code (9 is A4, 1 is "
                          "Letter, 11 is A5)."),
           QStringLiteral("code"));
const QCommandLineOption kScreenshot(
    QStringLiteral("screenshot"),
    QStringLiteral("Developer option: save the main window as a PNG picture <file> once it "
                   "is shown, then quit."),
    QStringLiteral("file"));

void DeclareOptions(QCommandLineParser &parser, TVeloraProgram program,
                    const TProgramCommands &commands)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(program == TVeloraProgram::Filler
                                         ? QStringLiteral("Fills in and prints Velora forms.")
                                         : QStringLiteral("Designs Velora forms."));
    parser.addOptions({kHelp, kVersion});
    if (program == TVeloraProgram::Filler)
        parser.addOptions({kPrintToPdf, kPrint, kPrinter, kListPrinters, kOffset, kNoOffsets,
                           kPublishAnyway, kFill, kSaveEach, kSkipInvalid, kPrintCalibration,
                           kPaper});
    parser.addOptions(commands.Options);
    parser.addOption(kScreenshot);
    AddWindowSystemOptions(parser);
    parser.addPositionalArgument(QStringLiteral("document"),
                                 QStringLiteral("The form document (.vld) to open."),
                                 QStringLiteral("[document]"));
}

// Fills in the options; answers what is wrong with the command line, or nothing.
QString ReadOptions(QCommandLineParser &parser, const QStringList &arguments,
                    TVeloraProgram program, const TProgramCommands &commands,
                    TStartOptions &options)
{
    if (!parser.parse(arguments))
        return parser.errorText();
    const QStringList positional = parser.positionalArguments();
    if (commands.Read) {
        if (QString error = commands.Read(parser, positional, options.ProgramCommand);
            !error.isEmpty())
            return error;
    }
    const bool filler = program == TVeloraProgram::Filler;
    options.Help = parser.isSet(kHelp);
    options.Version = parser.isSet(kVersion);
    options.Document = positional.value(0);
    options.Screenshot = parser.value(kScreenshot);
    options.PrintToPdf = filler && parser.isSet(kPrintToPdf);
    options.Pdf = options.PrintToPdf ? parser.value(kPrintToPdf) : QString();
    options.Print = filler && parser.isSet(kPrint);
    options.Printer = filler ? parser.value(kPrinter) : QString();
    options.ListPrinters = filler && parser.isSet(kListPrinters);
    options.Offset = filler ? parser.value(kOffset) : QString();
    options.NoOffsets = filler && parser.isSet(kNoOffsets);
    options.PublishAnyway = filler && parser.isSet(kPublishAnyway);
    options.FillData = filler ? parser.value(kFill) : QString();
    options.SaveEach = filler ? parser.value(kSaveEach) : QString();
    options.SkipInvalid = filler && parser.isSet(kSkipInvalid);
    options.Calibration = filler ? parser.value(kPrintCalibration) : QString();
    if (filler && parser.isSet(kFill) && options.FillData.isEmpty())
        return QStringLiteral("--fill needs the CSV file of the values.");
    if (filler && parser.isSet(kSaveEach) && options.SaveEach.isEmpty())
        return QStringLiteral("--save-each needs the folder to save into.");
    if (((filler && parser.isSet(kSaveEach)) || options.SkipInvalid) && options.FillData.isEmpty())
        return QStringLiteral("--save-each and --skip-invalid go with --fill.");
    if (filler && parser.isSet(kPrintCalibration)) {
        if (options.Calibration.isEmpty())
            return QStringLiteral("--print-calibration needs the name of the PDF file to write.");
        if (!options.Document.isEmpty() || options.PrintToPdf || options.Print
            || !options.FillData.isEmpty() || options.ListPrinters)
            return QStringLiteral("--print-calibration prints the calibration page alone: no "
                                  "document and no other printing option.");
    }
    if (filler && parser.isSet(kPaper)) {
        if (!parser.isSet(kPrintCalibration))
            return QStringLiteral("--paper goes with --print-calibration.");
        bool number = false;
        options.Paper = parser.value(kPaper).toInt(&number);
        if (!number || !PaperFormByCode(options.Paper))
            return QStringLiteral("--paper needs a paper code from 1 to %1; \"%2\" is none.")
                .arg(PaperForms().size())
                .arg(parser.value(kPaper));
    }
    if (!options.FillData.isEmpty() && !options.PrintToPdf && !options.Print
        && options.SaveEach.isEmpty())
        return QStringLiteral("--fill goes with --print-to-pdf, --print or --save-each.");
    if (!options.FillData.isEmpty() && options.Document.isEmpty())
        return QStringLiteral("--fill needs the document to fill.");
    if (!options.FillData.isEmpty() && !options.Screenshot.isEmpty())
        return QStringLiteral("--fill opens no window to take a screenshot of.");
    const bool printing = options.PrintToPdf || options.Print;
    if (positional.size() > 1)
        return QStringLiteral("Only one document can be given.");
    if (options.PrintToPdf && options.Print)
        return QStringLiteral("--print and --print-to-pdf cannot go together.");
    if (filler && parser.isSet(kPrinter) && !options.Print)
        return QStringLiteral("--printer goes with --print.");
    if (filler && parser.isSet(kPrinter) && options.Printer.isEmpty())
        return QStringLiteral("--printer needs the name of a printer queue.");
    if (options.PublishAnyway && !printing && options.FillData.isEmpty())
        return QStringLiteral("--publish-anyway goes with --print, --print-to-pdf or --fill.");
    if (((filler && parser.isSet(kOffset)) || options.NoOffsets) && !printing)
        return QStringLiteral("--offset and --no-offsets go with --print or --print-to-pdf.");
    if (filler && parser.isSet(kOffset) && options.NoOffsets)
        return QStringLiteral("--offset and --no-offsets cannot go together.");
    if (filler && parser.isSet(kOffset) && options.Offset.isEmpty())
        return QStringLiteral("--offset needs the name of a saved offset.");
    if (options.ListPrinters && (printing || !options.Document.isEmpty()))
        return QStringLiteral("--list-printers takes no document and prints nothing.");
    if (!printing)
        return {};
    const QString command
        = options.Print ? QStringLiteral("--print") : QStringLiteral("--print-to-pdf");
    if (options.PrintToPdf && options.Pdf.isEmpty())
        return QStringLiteral("--print-to-pdf needs the name of the PDF file to write.");
    if (options.Document.isEmpty())
        return QStringLiteral("%1 needs the document to print.").arg(command);
    if (!options.Screenshot.isEmpty())
        return QStringLiteral("%1 opens no window to take a screenshot of.").arg(command);
    return {};
}

// Reads the command line before there is an application object, so that help,
// version and errors need no display. Answers the exit code when the program
// ends here.
std::optional<int> ReadCommandLine(int argc, char **argv, const QString &applicationName,
                                   TVeloraProgram program, const TProgramCommands &commands,
                                   TStartOptions &options)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    DeclareOptions(parser, program, commands);
    const QString error = ReadOptions(parser, arguments, program, commands, options);
    if (error.isEmpty() && !options.Help && !options.Version)
        return std::nullopt;
    // The usage names the program as it was started; a core application needs no display.
    QCoreApplication core(argc, argv);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n\n%s", qPrintable(QFileInfo(arguments.value(0)).fileName()),
                     qPrintable(error), qPrintable(parser.helpText()));
        return 2;
    }
    if (options.Help)
        std::fputs(qPrintable(parser.helpText()), stdout);
    else
        std::printf("%s %s\n", qPrintable(applicationName), VELORA_VERSION);
    return 0;
}
} // namespace

int RunVeloraProgram(int argc, char **argv, const QString &applicationName, TVeloraProgram program,
                     const std::function<TFillerMainForm *()> &createMainWindow,
                     const TProgramCommands &commands)
{
    TStartOptions options;
    if (const std::optional<int> exitCode
        = ReadCommandLine(argc, argv, applicationName, program, commands, options))
        return *exitCode;
    const bool unattended = options.PrintToPdf || options.Print || options.ListPrinters
        || !options.FillData.isEmpty() || !options.Calibration.isEmpty() || options.ProgramCommand;
    // Unattended printing needs no display.
    if (unattended && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TVeloraApplication app(argc, argv);
    QApplication::setApplicationName(applicationName);
    QApplication::setOrganizationName(QStringLiteral("Corvale"));
    QApplication::setApplicationVersion(QStringLiteral(VELORA_VERSION));
    GlobalInitPaths();

    if (options.ListPrinters)
        return ListPrinters();
    if (!options.Calibration.isEmpty())
        return PrintCalibration(options);
    std::unique_ptr<TFillerMainForm> window(createMainWindow());
    if (options.PrintToPdf || options.Print || !options.FillData.isEmpty())
        return PrintUnattended(*window, options);
    if (options.ProgramCommand && commands.Run)
        return RunProgramCommand(*window, commands);
    window->FormCreate();
    window->SetStartDocument(options.Document);
    const QString screenshot = options.Screenshot;
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
