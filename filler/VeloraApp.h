#pragma once
// Start-up shared by both programs: paths, the application object with its
// error handler, the main window, and the developer option --screenshot=FILE
// that saves the main window as a picture once a document is shown and quits.

#include <QApplication>
#include <QString>
#include <functional>

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

int RunVeloraProgram(int argc, char **argv, const QString &applicationName,
                     const std::function<TFillerMainForm *()> &createMainWindow);
