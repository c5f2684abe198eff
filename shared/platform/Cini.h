#pragma once
// The settings file. Every call opens the file, does one thing and closes it.
// Values are kept exactly as written (offsets hold quotes and commas), sections
// and keys keep their order, names compare without regard to case, and every
// write goes through a temporary file renamed over the old one.

#include <QString>
#include <QStringList>

bool INISectionExists(const QString &file, const QString &section);
// The keys of a section, in file order.
QStringList INIReadSection(const QString &file, const QString &section);
// "key=value" lines of a section, in file order.
QStringList INIReadSectionValues(const QString &file, const QString &section);
bool INIReadBool(const QString &file, const QString &section, const QString &key, bool def);
int INIReadInt(const QString &file, const QString &section, const QString &key, int def);
QString INIReadStr(const QString &file, const QString &section, const QString &key,
                   const QString &def);

// Writers return false when the file could not be written; the old file stays as it was.
bool INIEraseSection(const QString &file, const QString &section);
bool INIDeleteKey(const QString &file, const QString &section, const QString &key);
bool INIWriteBool(const QString &file, const QString &section, const QString &key, bool value);
bool INIWriteInt(const QString &file, const QString &section, const QString &key, int value);
bool INIWriteStr(const QString &file, const QString &section, const QString &key,
                 const QString &value);
