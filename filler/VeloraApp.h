#pragma once
// Start-up shared by both programs: paths, the application object, and the
// developer option --screenshot=FILE that saves the main window as a picture
// once it is shown and quits.

#include <QString>
#include <functional>

class QMainWindow;

int RunVeloraProgram(int argc, char **argv, const QString &applicationName,
                     const std::function<QMainWindow *()> &createMainWindow);
