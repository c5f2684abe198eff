#pragma once
// Where the programs find themselves, their plug-ins and their settings.

#include <QString>

// Folder of the running program (plug-ins and the shared library sit beside it), with a trailing
// "/".
extern QString GlobalExecPath;
// $XDG_CONFIG_HOME (or ~/.config) + "/Corvale/"; the program's folder when neither can be had.
extern QString GlobalAppDataPath;
// GlobalAppDataPath + "Velora/App.ini".
extern QString GlobalAppINI;
extern QString GlobalAppVisualClipboardFile;
extern QString GlobalAppNonVisualClipboardFile;
// Where the installed example forms and tutorials lie below: the "share" folder
// beside the program's folder, with a trailing "/".
extern QString GlobalProgramFiles;

// Computes the paths from the environment; call after the application object exists.
void GlobalInitPaths();
