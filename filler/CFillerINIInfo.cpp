#include "CFillerINIInfo.h"

#include "CAppPaths.h"
#include "Cini.h"

#include <QFileInfo>

namespace {
const QString kApp = QStringLiteral("App");
const QString kRecents = QStringLiteral("Recents");
} // namespace

TFillerINIInfo::TFillerINIInfo(const QString &iniFile) : m_ini(iniFile)
{
    const QString examples = GlobalAppDataPath + QStringLiteral("Example Forms/");
    const auto b = [&](const char *key, bool def) {
        return INIReadBool(m_ini, kApp, QString::fromLatin1(key), def);
    };
    m_firstRunEver = b("FirstRunEver", true);
    m_pdfQuickDraw = b("PDFQuickDraw", false);
    m_hints = b("Hints", true);
    m_fileToolBar = b("FileToolBar", true);
    m_editToolBar = b("EditToolBar", true);
    m_viewToolBar = b("ViewToolBar", true);
    m_helpToolBar = b("HelpToolBar", true);
    m_lastOpenDir = INIReadStr(m_ini, kApp, QStringLiteral("LastOpenDir"), examples);
    m_lastSaveDir = INIReadStr(m_ini, kApp, QStringLiteral("LastSaveDir"), examples);

    // Entries whose file has gone are dropped; the rest close up.
    for (const QString &line : INIReadSection(m_ini, kRecents)) {
        const QString path = INIReadStr(m_ini, kRecents, line, QString());
        if (!path.isEmpty() && QFileInfo::exists(path) && m_recents.size() < MaxRecents)
            m_recents << path;
    }
}

TFillerINIInfo::~TFillerINIInfo()
{
    WriteRecents();
}

void TFillerINIInfo::SetBool(bool &field, bool value, const char *key)
{
    if (field == value)
        return;
    field = value;
    INIWriteBool(m_ini, kApp, QString::fromLatin1(key), value);
}

void TFillerINIInfo::SetPath(QString &field, const QString &value, const char *key)
{
    if (field.compare(value, Qt::CaseInsensitive) == 0)
        return;
    field = value;
    INIWriteStr(m_ini, kApp, QString::fromLatin1(key), value);
}

void TFillerINIInfo::AddRecent(const QString &path)
{
    if (!m_recents.isEmpty() && m_recents.first() == path)
        return;
    m_recents.removeIf([&](const QString &p) { return p.compare(path, Qt::CaseInsensitive) == 0; });
    m_recents.prepend(path);
    while (m_recents.size() > MaxRecents)
        m_recents.removeLast();
    WriteRecents();
}

void TFillerINIInfo::WriteRecents() const
{
    INIEraseSection(m_ini, kRecents);
    for (qsizetype i = 0; i < m_recents.size(); ++i)
        INIWriteStr(m_ini, kRecents, QString::number(i), m_recents.at(i));
}
