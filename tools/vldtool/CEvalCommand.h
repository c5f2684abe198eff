#pragma once
// "vldtool eval EXPR": evaluates one expression with the built-in functions.

#include <QStringList>

// args are the words after "eval"; returns the exit status.
int RunEvalCommand(const QStringList &args);
