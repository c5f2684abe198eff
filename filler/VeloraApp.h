#pragma once
// Start-up shared by both programs: the command line, paths, the application
// object with its error handler and the main window. The filler also prints a
// document to PDF without a window (--print-to-pdf).

#include <QApplication>
#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <functional>

class QCommandLineParser;
class TFillerMainForm;

// Errors that reach the event loop are shown to the user and end the action, not the program.
class TVeloraApplication : public QApplication
{
public:
    TVeloraApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Beeps and shows the error of the action that failed.
void ShowApplicationError(const QString &message);

// Which program starts decides the options its command line offers.
enum class TVeloraProgram { Filler, Designer };

// Unattended commands of one program that the shared start-up does not know:
// their options, how the parsed command line asks for one, and the work.
struct TProgramCommands
{
    QList<QCommandLineOption> Options;
    // An error text for a command line in error, else empty; sets wanted when a
    // command is asked for. Positional arguments as given (the document first).
    std::function<QString(const QCommandLineParser &parser, const QStringList &positional,
                          bool &wanted)>
        Read;
    // Runs without showing a window, once the plug-ins are loaded; any dialog on the
    // way goes to standard error and fails the run. Answers the exit code.
    std::function<int(TFillerMainForm &window)> Run;
};

// --help, --version and a command line in error end here without a display:
// 0 for help and version, 2 for a bad command line.
int RunVeloraProgram(int argc, char **argv, const QString &applicationName, TVeloraProgram program,
                     const std::function<TFillerMainForm *()> &createMainWindow,
                     const TProgramCommands &commands = {});
