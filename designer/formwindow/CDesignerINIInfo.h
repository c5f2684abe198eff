#pragma once
// The designer's settings: the filler's, and the designer's own keys (its
// toolbars, the welcome screen, the tool windows' places and the last export
// folder). The inspector and the TAB order dialog keep their own keys. A first
// start offers the tutorials and examples as recent documents.

#include "CFillerINIInfo.h"

#include <QRect>
#include <optional>

class TDesignerINIInfo : public TFillerINIInfo
{
public:
    // The tool windows whose place is kept, each in its own section.
    enum TToolWindow { twPalette, twProperties };

    explicit TDesignerINIInfo(const QString &iniFile);
    ~TDesignerINIInfo() override = default;

    // What a recent list that is empty after reading becomes.
    static QStringList DefaultRecents();

    bool ObjectToolBar() const { return m_objectToolBar; }
    void SetObjectToolBar(bool value) { SetBool(m_objectToolBar, value, App, "ObjectToolBar"); }
    bool PageToolBar() const { return m_pageToolBar; }
    void SetPageToolBar(bool value) { SetBool(m_pageToolBar, value, App, "PageToolBar"); }
    bool Welcome() const { return m_welcome; }
    void SetWelcome(bool value) { SetBool(m_welcome, value, App, "Welcome"); }
    QString LastExportDir() const { return m_lastExportDir; }
    void SetLastExportDir(const QString &folder);

    // The section a tool window's keys are kept in: "Palette" or "Properties".
    static QString SectionOf(TToolWindow window);
    bool DockedLeft(TToolWindow window) const { return m_tools[window].DockedLeft; }
    void SetDockedLeft(TToolWindow window, bool value);
    bool Floating(TToolWindow window) const { return m_tools[window].Floating; }
    void SetFloating(TToolWindow window, bool value);
    bool Visible(TToolWindow window) const { return m_tools[window].Visible; }
    void SetVisible(TToolWindow window, bool value);
    // Where the window was last left floating: the palette keeps its place only, the
    // inspector its size too (the palette's is empty). None where nothing was stored.
    std::optional<QRect> FloatingBounds(TToolWindow window) const { return m_tools[window].Bounds; }
    void SetFloatingBounds(TToolWindow window, const QRect &bounds);

private:
    static const QString App;
    struct TToolSettings
    {
        bool DockedLeft = false;
        bool Floating = false;
        bool Visible = true;
        std::optional<QRect> Bounds;
    };
    void SetBool(bool &field, bool value, const QString &section, const char *key);
    void ReadTool(TToolWindow window, bool dockedLeft);

    bool m_objectToolBar = true;
    bool m_pageToolBar = true;
    bool m_welcome = true;
    QString m_lastExportDir;
    TToolSettings m_tools[2];
};
