#pragma once
// Comma-separated values as RFC 4180 has them: fields split by commas, records
// by line breaks (CR LF, LF or CR), a field in double quotes may hold commas,
// line breaks and doubled quotes. Text is UTF-8, with or without a byte-order
// mark.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct TCsvRecord
{
    QStringList Fields;
    // The line of the file the record starts on, 1-based: a quoted line break
    // makes a record span lines.
    int Line = 0;
};

// False, with the reason and its line in error, when the bytes are not UTF-8 CSV.
// Lines that hold nothing at all are no records.
bool ReadCsv(const QByteArray &bytes, QList<TCsvRecord> &records, QString &error);

// The field as it stands, or quoted when it holds a comma, a quote, a line
// break or space at either end.
QString CsvField(const QString &value);
// One record ending in CR LF.
QString CsvRecord(const QStringList &fields);
