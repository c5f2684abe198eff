#pragma once
// --export-html OUT.html DOC: the designer exports a document as a web form
// without a window, with the export settings stored in the document.

#include "VeloraApp.h"

TProgramCommands WebExportCommands();
