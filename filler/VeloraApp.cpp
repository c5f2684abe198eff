#include "VeloraApp.h"

#include "CAppPaths.h"
#include "CDialogService.h"
#include "CException.h"
#include "CFillerDialogs.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterService.h"

#include <QCommandLineParser>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <sys/stat.h>

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

// A disk that fills up truncates the file without an error from the PDF writer;
// a whole PDF ends with its end-of-file marker.
bool IsWholePdf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    file.seek(file.size() - 16);
    return file.readAll().trimmed().endsWith("%%EOF");
}

// The temporary file is for its owner only; the PDF gets the mode of the file
// it replaces, or the one a new file would get.
void GiveModeOfNewFile(const QByteArray &partial, const QByteArray &target)
{
    struct stat existing = {};
    mode_t mode = 0;
    if (::stat(target.constData(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(partial.constData(), mode);
}

// --print-to-pdf OUT DOC: the document as it stands, to a PDF, without a window.
// The PDF is written beside OUT and renamed into place only when whole, so a
// failed print never leaves half a file at OUT nor overwrites what was there.
int PrintToPdf(TFillerMainForm &window, const QString &output, const QString &document,
               bool publishAnyway)
{
    const QFileInfo target(output);
    QTemporaryFile partial(
        target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(target.fileName())));
    if (!partial.open()) {
        std::fprintf(stderr, "Could not write \"%s\".\n", qPrintable(output));
        return 1;
    }
    partial.close();
    auto *console = new TConsoleDialogService(publishAnyway);
    std::unique_ptr<TDialogService> previous
        = SetDialogService(std::unique_ptr<TDialogService>(console));
    window.FormCreate();
    window.LoadPlugIns();
    bool ok = window.OpenDocument(document);
    if (ok) {
        PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
        PrinterService().SetOutputFileName(partial.fileName());
        const int pages = window.PagesPageControl()->PageCount();
        ok = window.Print(false, true, 0, 1, 1, pages);
        if (ok && !IsWholePdf(partial.fileName())) {
            std::fprintf(stderr, "Could not write \"%s\" whole.\n", qPrintable(output));
            ok = false;
        }
    }
    ok = ok && !console->Failed();
    window.CloseDocument();
    SetDialogService(std::move(previous));
    if (!ok)
        return 1;
    const QByteArray from = QFile::encodeName(partial.fileName());
    const QByteArray to = QFile::encodeName(target.absoluteFilePath());
    GiveModeOfNewFile(from, to);
    // Unlike a Qt rename, this replaces a file already at OUT in one step.
    std::error_code error;
    std::filesystem::rename(from.constData(), to.constData(), error);
    if (error) {
        std::fprintf(stderr, "Could not write \"%s\": %s\n", qPrintable(output),
                     error.message().c_str());
        return 1;
    }
    partial.setAutoRemove(false);
    return 0;
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
    bool PublishAnyway = false;
};

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
const QCommandLineOption kPublishAnyway(
    QStringLiteral("publish-anyway"),
    QStringLiteral("With --print-to-pdf: print a form that fails validation (a blank form "
                   "to fill in by hand, say)."));
const QCommandLineOption kScreenshot(
    QStringLiteral("screenshot"),
    QStringLiteral("Developer option: save the main window as a PNG picture <file> once it "
                   "is shown, then quit."),
    QStringLiteral("file"));

void DeclareOptions(QCommandLineParser &parser, TVeloraProgram program)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(program == TVeloraProgram::Filler
                                         ? QStringLiteral("Fills in and prints Velora forms.")
                                         : QStringLiteral("Designs Velora forms."));
    parser.addOptions({kHelp, kVersion});
    if (program == TVeloraProgram::Filler)
        parser.addOptions({kPrintToPdf, kPublishAnyway});
    parser.addOption(kScreenshot);
    AddWindowSystemOptions(parser);
    parser.addPositionalArgument(QStringLiteral("document"),
                                 QStringLiteral("The form document (.vld) to open."),
                                 QStringLiteral("[document]"));
}

// Fills in the options; answers what is wrong with the command line, or nothing.
QString ReadOptions(QCommandLineParser &parser, const QStringList &arguments,
                    TVeloraProgram program, TStartOptions &options)
{
    if (!parser.parse(arguments))
        return parser.errorText();
    const QStringList positional = parser.positionalArguments();
    const bool filler = program == TVeloraProgram::Filler;
    options.Help = parser.isSet(kHelp);
    options.Version = parser.isSet(kVersion);
    options.Document = positional.value(0);
    options.Screenshot = parser.value(kScreenshot);
    options.PrintToPdf = filler && parser.isSet(kPrintToPdf);
    options.Pdf = options.PrintToPdf ? parser.value(kPrintToPdf) : QString();
    options.PublishAnyway = filler && parser.isSet(kPublishAnyway);
    if (positional.size() > 1)
        return QStringLiteral("Only one document can be given.");
    if (options.PublishAnyway && !options.PrintToPdf)
        return QStringLiteral("--publish-anyway goes with --print-to-pdf.");
    if (!options.PrintToPdf)
        return {};
    if (options.Pdf.isEmpty())
        return QStringLiteral("--print-to-pdf needs the name of the PDF file to write.");
    if (options.Document.isEmpty())
        return QStringLiteral("--print-to-pdf needs the document to print.");
    if (!options.Screenshot.isEmpty())
        return QStringLiteral("--print-to-pdf opens no window to take a screenshot of.");
    return {};
}

// Reads the command line before there is an application object, so that help,
// version and errors need no display. Answers the exit code when the program
// ends here.
std::optional<int> ReadCommandLine(int argc, char **argv, const QString &applicationName,
                                   TVeloraProgram program, TStartOptions &options)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    DeclareOptions(parser, program);
    const QString error = ReadOptions(parser, arguments, program, options);
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
                     const std::function<TFillerMainForm *()> &createMainWindow)
{
    TStartOptions options;
    if (const std::optional<int> exitCode
        = ReadCommandLine(argc, argv, applicationName, program, options))
        return *exitCode;
    // Unattended printing needs no display.
    if (options.PrintToPdf && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TVeloraApplication app(argc, argv);
    QApplication::setApplicationName(applicationName);
    QApplication::setOrganizationName(QStringLiteral("Corvale"));
    QApplication::setApplicationVersion(QStringLiteral(VELORA_VERSION));
    GlobalInitPaths();

    std::unique_ptr<TFillerMainForm> window(createMainWindow());
    if (options.PrintToPdf)
        return PrintToPdf(*window, options.Pdf, options.Document, options.PublishAnyway);
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
