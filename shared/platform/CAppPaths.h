#pragma once
// Where the programs find themselves, their plug-ins and their settings.

#include <QString>

// All three are set by GlobalInitPaths at start and read by the plug-in loader,
// the settings file users and the version lookup.

// Folder of the running program (plug-ins and the shared library sit beside it), with a trailing
// "/".
extern QString GlobalExecPath;
// $XDG_CONFIG_HOME (or ~/.config) + "/Corvale/"; the program's folder when neither can be had.
extern QString GlobalAppDataPath;
// GlobalAppDataPath + "Velora/App.ini".
extern QString GlobalAppINI;

// The folder holding "Tutorials/" and "Example Forms/", with a trailing "/": <prefix>/share/velora/
// when installed (the programs live in <prefix>/lib/velora/), else the build tree's examples.
QString GlobalProgramFiles();

// Computes the paths from the environment; call after the application object exists.
void GlobalInitPaths();
