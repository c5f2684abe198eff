#pragma once
// The filler's settings in the application settings file, each written back as
// soon as it changes, and the list of recently used documents.

#include <QString>
#include <QStringList>

class TFillerINIInfo
{
public:
    static constexpr int MaxRecents = 10;

    // Reads the settings and the recent list (dropping files that are gone).
    explicit TFillerINIInfo(const QString &iniFile);
    // Writes the recent list back.
    virtual ~TFillerINIInfo();
    TFillerINIInfo(const TFillerINIInfo &) = delete;
    TFillerINIInfo &operator=(const TFillerINIInfo &) = delete;

    bool FirstRunEver() const { return m_firstRunEver; }
    void SetFirstRunEver(bool value) { SetBool(m_firstRunEver, value, "FirstRunEver"); }
    bool PDFQuickDraw() const { return m_pdfQuickDraw; }
    void SetPDFQuickDraw(bool value) { SetBool(m_pdfQuickDraw, value, "PDFQuickDraw"); }
    bool Hints() const { return m_hints; }
    void SetHints(bool value) { SetBool(m_hints, value, "Hints"); }
    bool FileToolBar() const { return m_fileToolBar; }
    void SetFileToolBar(bool value) { SetBool(m_fileToolBar, value, "FileToolBar"); }
    bool EditToolBar() const { return m_editToolBar; }
    void SetEditToolBar(bool value) { SetBool(m_editToolBar, value, "EditToolBar"); }
    bool ViewToolBar() const { return m_viewToolBar; }
    void SetViewToolBar(bool value) { SetBool(m_viewToolBar, value, "ViewToolBar"); }
    bool HelpToolBar() const { return m_helpToolBar; }
    void SetHelpToolBar(bool value) { SetBool(m_helpToolBar, value, "HelpToolBar"); }
    QString LastOpenDir() const { return m_lastOpenDir; }
    void SetLastOpenDir(const QString &value) { SetPath(m_lastOpenDir, value, "LastOpenDir"); }
    QString LastSaveDir() const { return m_lastSaveDir; }
    void SetLastSaveDir(const QString &value) { SetPath(m_lastSaveDir, value, "LastSaveDir"); }

    // Newest first.
    const QStringList &Recents() const { return m_recents; }
    void AddRecent(const QString &path);
    void WriteRecents() const;

    const QString &IniFile() const { return m_ini; }

protected:
    // The list a descendant puts in place when reading left it empty.
    void SetRecents(const QStringList &paths) { m_recents = paths; }

private:
    void SetBool(bool &field, bool value, const char *key);
    void SetPath(QString &field, const QString &value, const char *key);

    QString m_ini;
    bool m_firstRunEver = true;
    bool m_pdfQuickDraw = false;
    bool m_hints = true;
    bool m_fileToolBar = true;
    bool m_editToolBar = true;
    bool m_viewToolBar = true;
    bool m_helpToolBar = true;
    QString m_lastOpenDir;
    QString m_lastSaveDir;
    QStringList m_recents;
};
