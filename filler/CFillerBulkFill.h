#pragma once
// Filling one form from the rows of a CSV file (--fill): each row's values go
// into the elements named by its columns through each element's own typing
// checks and validation, and every row that passes is printed as one filled
// copy into a single job and/or saved as a filled document of its own.

#include <QString>

class TFillerMainForm;

struct TBulkFillRequest
{
    QString Data; // the CSV file
    QString Document; // the form
    bool Print = false; // on the current printer, offsets already chosen
    QString SaveDir; // empty: no filled documents
    bool SkipInvalid = false;
    bool PublishAnyway = false;
};

// The exit status: 0 when every row that was not left out went out, 1 otherwise.
// Problems and progress go to standard error, each problem with its row.
int RunBulkFill(TFillerMainForm &window, const TBulkFillRequest &request);
