#pragma once
// "vldtool values [--json] [--include-passwords] FILE...": the values of
// filled documents, one row (or object) per document.

#include <QStringList>

// args are the words after "values"; returns the exit status (TDocumentExit).
int RunValuesCommand(const QStringList &args);
