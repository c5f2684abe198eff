#include "Cini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace {
struct TIniEntry
{
    QString Key;
    QString Value;
};

struct TIniSection
{
    QString Name;
    QList<TIniEntry> Entries;
    // Comments and other lines that are not entries, kept where they stood.
    QStringList Leading;
};

struct TIniFile
{
    QStringList Preamble;
    QList<TIniSection> Sections;

    TIniSection *Find(const QString &name)
    {
        for (TIniSection &s : Sections)
            if (s.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &s;
        return nullptr;
    }
};

TIniEntry *FindEntry(TIniSection &section, const QString &key)
{
    for (TIniEntry &e : section.Entries)
        if (e.Key.compare(key, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

TIniFile Load(const QString &fileName)
{
    TIniFile ini;
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return ini;
    const QString text = QString::fromUtf8(f.readAll());
    TIniSection *current = nullptr;
    for (const QString &raw : text.split(u'\n')) {
        QString line = raw;
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            ini.Sections.append(TIniSection {trimmed.mid(1, trimmed.size() - 2).trimmed(), {}, {}});
            current = &ini.Sections.last();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (current && eq > 0 && !trimmed.startsWith(u';')) {
            const QString key = line.left(eq).trimmed();
            if (!FindEntry(*current, key))
                current->Entries.append(TIniEntry {key, line.mid(eq + 1).trimmed()});
            continue;
        }
        if (trimmed.isEmpty())
            continue;
        (current ? current->Leading : ini.Preamble).append(line);
    }
    return ini;
}

bool Save(const QString &fileName, const TIniFile &ini)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QString text;
    for (const QString &line : ini.Preamble)
        text += line + u'\n';
    for (const TIniSection &s : ini.Sections) {
        text += QLatin1Char('[') + s.Name + QLatin1String("]\n");
        for (const QString &line : s.Leading)
            text += line + u'\n';
        for (const TIniEntry &e : s.Entries)
            text += e.Key + u'=' + e.Value + u'\n';
        text += u'\n';
    }
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(text.toUtf8());
    return out.commit();
}

std::optional<QString> Lookup(const QString &file, const QString &section, const QString &key)
{
    TIniFile ini = Load(file);
    TIniSection *s = ini.Find(section);
    if (!s)
        return std::nullopt;
    const TIniEntry *e = FindEntry(*s, key);
    return e ? std::optional<QString>(e->Value) : std::nullopt;
}

std::optional<int> ParseInt(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    int v = 0;
    if (t.startsWith(u'$'))
        v = t.mid(1).toInt(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toInt(&ok, 16);
    else
        v = t.toInt(&ok, 10);
    return ok ? std::optional<int>(v) : std::nullopt;
}
} // namespace

bool INISectionExists(const QString &file, const QString &section)
{
    return Load(file).Find(section) != nullptr;
}

QStringList INIReadSection(const QString &file, const QString &section)
{
    TIniFile ini = Load(file);
    QStringList keys;
    if (TIniSection *s = ini.Find(section))
        for (const TIniEntry &e : s->Entries)
            keys.append(e.Key);
    return keys;
}

QStringList INIReadSectionValues(const QString &file, const QString &section)
{
    TIniFile ini = Load(file);
    QStringList lines;
    if (TIniSection *s = ini.Find(section))
        for (const TIniEntry &e : s->Entries)
            lines.append(e.Key + u'=' + e.Value);
    return lines;
}

bool INIReadBool(const QString &file, const QString &section, const QString &key, bool def)
{
    const auto v = Lookup(file, section, key);
    const auto n = v ? ParseInt(*v) : std::nullopt;
    return n ? *n != 0 : def;
}

int INIReadInt(const QString &file, const QString &section, const QString &key, int def)
{
    const auto v = Lookup(file, section, key);
    const auto n = v ? ParseInt(*v) : std::nullopt;
    return n.value_or(def);
}

QString INIReadStr(const QString &file, const QString &section, const QString &key,
                   const QString &def)
{
    return Lookup(file, section, key).value_or(def);
}

bool INIEraseSection(const QString &file, const QString &section)
{
    TIniFile ini = Load(file);
    for (qsizetype i = 0; i < ini.Sections.size(); ++i) {
        if (ini.Sections[i].Name.compare(section, Qt::CaseInsensitive) == 0) {
            ini.Sections.removeAt(i);
            return Save(file, ini);
        }
    }
    return true;
}

bool INIDeleteKey(const QString &file, const QString &section, const QString &key)
{
    TIniFile ini = Load(file);
    TIniSection *s = ini.Find(section);
    if (!s)
        return true;
    for (qsizetype i = 0; i < s->Entries.size(); ++i) {
        if (s->Entries[i].Key.compare(key, Qt::CaseInsensitive) == 0) {
            s->Entries.removeAt(i);
            return Save(file, ini);
        }
    }
    return true;
}

bool INIWriteStr(const QString &file, const QString &section, const QString &key,
                 const QString &value)
{
    TIniFile ini = Load(file);
    TIniSection *s = ini.Find(section);
    if (!s) {
        ini.Sections.append(TIniSection {section, {}, {}});
        s = &ini.Sections.last();
    }
    // A line break would split the value into a second, unrelated entry.
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    if (TIniEntry *e = FindEntry(*s, key))
        e->Value = v.trimmed();
    else
        s->Entries.append(TIniEntry {key, v.trimmed()});
    return Save(file, ini);
}

bool INIWriteInt(const QString &file, const QString &section, const QString &key, int value)
{
    return INIWriteStr(file, section, key, QString::number(value));
}

bool INIWriteBool(const QString &file, const QString &section, const QString &key, bool value)
{
    return INIWriteStr(file, section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
