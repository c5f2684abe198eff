#include "CDesignerINIInfo.h"

#include "CAppPaths.h"
#include "Cini.h"

#include <climits>

namespace {
constexpr int kNone = INT_MIN;

QString Key(const char *key)
{
    return QString::fromLatin1(key);
}
} // namespace

const QString TDesignerINIInfo::App = QStringLiteral("App");

TDesignerINIInfo::TDesignerINIInfo(const QString &iniFile) : TFillerINIInfo(iniFile)
{
    const QString &ini = IniFile();
    m_objectToolBar = INIReadBool(ini, App, Key("ObjectToolBar"), true);
    m_pageToolBar = INIReadBool(ini, App, Key("PageToolBar"), true);
    m_welcome = INIReadBool(ini, App, Key("Welcome"), true);
    m_lastExportDir = INIReadStr(ini, App, Key("LastExportDir"), QString());
    ReadTool(twPalette, false);
    ReadTool(twProperties, true);
    if (Recents().isEmpty())
        SetRecents(DefaultRecents());
}

QStringList TDesignerINIInfo::DefaultRecents()
{
    const QString root = GlobalProgramFiles();
    return {root + QStringLiteral("Tutorials/Tutorial_1_Getting_Started.vld"),
            root + QStringLiteral("Tutorials/Tutorial_2_Form_Basics.vld"),
            root + QStringLiteral("Example Forms/Employee_Details_31_US.vld"),
            root + QStringLiteral("Example Forms/corvale_contact_form.vld"),
            root + QStringLiteral("Example Forms/Velora_Plug-in_Examples.vld"),
            root + QStringLiteral("Example Forms/Invoice_49_US.vld")};
}

void TDesignerINIInfo::ReadTool(TToolWindow window, bool dockedLeft)
{
    const QString &ini = IniFile();
    const QString section = SectionOf(window);
    TToolSettings &tool = m_tools[window];
    tool.DockedLeft = INIReadBool(ini, section, Key("DockedLeft"), dockedLeft);
    tool.Floating = INIReadBool(ini, section, Key("Floating"), false);
    tool.Visible = INIReadBool(ini, section, Key("Visible"), true);
    const int left = INIReadInt(ini, section, Key("Left"), kNone);
    const int top = INIReadInt(ini, section, Key("Top"), kNone);
    if (left == kNone || top == kNone)
        return;
    // The palette keeps no size of its own; an empty size means "as it is".
    const int width = window == twProperties ? INIReadInt(ini, section, Key("Width"), 0) : 0;
    const int height = window == twProperties ? INIReadInt(ini, section, Key("Height"), 0) : 0;
    tool.Bounds = QRect(left, top, qMax(0, width), qMax(0, height));
}

QString TDesignerINIInfo::SectionOf(TToolWindow window)
{
    return window == twPalette ? QStringLiteral("Palette") : QStringLiteral("Properties");
}

void TDesignerINIInfo::SetBool(bool &field, bool value, const QString &section, const char *key)
{
    if (field == value)
        return;
    field = value;
    INIWriteBool(IniFile(), section, Key(key), value);
}

void TDesignerINIInfo::SetLastExportDir(const QString &folder)
{
    // Folders differing only in case are different folders here.
    if (folder == m_lastExportDir)
        return;
    m_lastExportDir = folder;
    INIWriteStr(IniFile(), App, Key("LastExportDir"), folder);
}

void TDesignerINIInfo::SetDockedLeft(TToolWindow window, bool value)
{
    SetBool(m_tools[window].DockedLeft, value, SectionOf(window), "DockedLeft");
}

void TDesignerINIInfo::SetFloating(TToolWindow window, bool value)
{
    SetBool(m_tools[window].Floating, value, SectionOf(window), "Floating");
}

void TDesignerINIInfo::SetVisible(TToolWindow window, bool value)
{
    SetBool(m_tools[window].Visible, value, SectionOf(window), "Visible");
}

void TDesignerINIInfo::SetFloatingBounds(TToolWindow window, const QRect &bounds)
{
    TToolSettings &tool = m_tools[window];
    const QString section = SectionOf(window);
    const QRect was = tool.Bounds.value_or(QRect());
    const auto write = [&](const char *key, int value, int old) {
        if (!tool.Bounds || value != old)
            INIWriteInt(IniFile(), section, Key(key), value);
    };
    write("Left", bounds.left(), was.left());
    write("Top", bounds.top(), was.top());
    QRect kept(bounds.topLeft(), QSize(0, 0));
    if (window == twProperties) {
        write("Height", bounds.height(), was.height());
        write("Width", bounds.width(), was.width());
        kept = bounds;
    }
    tool.Bounds = kept;
}
