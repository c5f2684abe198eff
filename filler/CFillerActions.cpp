// The filler window's menus and toolbars, both built from one table of actions
// so that a command keeps one name, caption and key wherever it shows.

#include "CDialogService.h"
#include "CFillerDialogs.h"
#include "CFillerINIInfo.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPrinterOffsetsDlg.h"
#include "CPrinterPage.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QKeyCombination>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolTip>
#include <QUrl>

enum TFillerMenu { mnNone, mnFile, mnEdit, mnView, mnHelp };
enum TFillerToolBar { tbNone, tbFile, tbEdit, tbView, tbHelp };

enum TFillerActionKind {
    akAction,
    akSeparator,
    // The separator the recent documents are listed after.
    akRecentFiles,
    // The submenu that shows and hides the toolbars, filled with them.
    akToolBarsMenu,
    // The zoom box and its up-down, which only a toolbar holds.
    akZoomControls
};

enum TFillerActionFlag : unsigned {
    afDisabled = 1,
    afHidden = 2,
    // The key reaches the focused control itself; the action is for the mouse.
    afFocusKeys = 4,
    afQuit = 8
};

// A style icon; a theme icon kept even where the theme lacks it; or a theme icon that
// falls back to a style icon (none for SP_CustomBase).
enum TFillerIconSource { icNone, icStyle, icTheme, icThemeOrStyle };

struct TFillerIcon
{
    TFillerIconSource Source = icNone;
    QStyle::StandardPixmap Style = QStyle::SP_CustomBase;
    const char *Theme = nullptr;
};

namespace {
// A default QKeyCombination is Qt::Key_unknown, not "no key".
constexpr QKeyCombination kNoKey = QKeyCombination::fromCombined(0);
constexpr TFillerIcon kNoIcon;
constexpr QStyle::StandardPixmap kNoStyleIcon = QStyle::SP_CustomBase;

constexpr TFillerIcon StyleIcon(QStyle::StandardPixmap style)
{
    return {icStyle, style, nullptr};
}

constexpr TFillerIcon ThemeIcon(const char *theme)
{
    return {icTheme, kNoStyleIcon, theme};
}

constexpr TFillerIcon ThemeIcon(const char *theme, QStyle::StandardPixmap fallback)
{
    return {icThemeOrStyle, fallback, theme};
}
} // namespace

struct TFillerAction
{
    TFillerMenu Menu = mnNone;
    TFillerToolBar Bar = tbNone;
    const char *Name = nullptr;
    const char *Caption = nullptr;
    QKeyCombination Key = kNoKey;
    TFillerIcon Icon = kNoIcon;
    unsigned Flags = 0;
    // On triggered; for a checkable action on toggled (also by code), with its state.
    void (*Run)(TFillerMainForm &form, bool on) = nullptr;
    // Makes the action checkable, starting from this setting.
    bool (TFillerINIInfo::*Checked)() const = nullptr;
    TFillerActionKind Kind = akAction;
};

namespace {
const struct
{
    TFillerMenu Menu;
    const char *Name;
    const char *Title;
} kMenus[] = {
    {mnFile, "FileMenu", "&File"},
    {mnEdit, "EditMenu", "&Edit"},
    {mnView, "ViewMenu", "&View"},
    {mnHelp, "HelpMenu", "&Help"},
};

const struct
{
    TFillerToolBar Bar;
    const char *Name;
    const char *Caption;
    bool (TFillerINIInfo::*Shown)() const;
    void (TFillerINIInfo::*SetShown)(bool);
} kToolBars[] = {
    {tbFile, "FileToolBar", "File", &TFillerINIInfo::FileToolBar, &TFillerINIInfo::SetFileToolBar},
    {tbEdit, "EditToolBar", "Edit", &TFillerINIInfo::EditToolBar, &TFillerINIInfo::SetEditToolBar},
    {tbView, "ViewToolBar", "View", &TFillerINIInfo::ViewToolBar, &TFillerINIInfo::SetViewToolBar},
    {tbHelp, "HelpToolBar", "Help", &TFillerINIInfo::HelpToolBar, &TFillerINIInfo::SetHelpToolBar},
};

constexpr int kZoomPresets[] = {25, 50, 75, 100, 200, 300, 400, 600, 800};

void OpenWebPage(const char *url)
{
    DialogService().OpenUrl(QUrl(QString::fromLatin1(url)));
}
} // namespace

// In menu order; each toolbar takes its rows in the same order. Columns: menu, toolbar,
// object name, caption, key, icon, flags, what it does, and a checkable action's setting.
const TFillerAction TFillerMainForm::ActionTable[] = {
    {mnFile, tbFile, "FileOpen", "&Open...", Qt::CTRL | Qt::Key_O,
     StyleIcon(QStyle::SP_DialogOpenButton), 0,
     [](TFillerMainForm &w, bool) {
         if (w.AskSaveChanges(true))
             w.OpenWithDialog(QString());
     }},
    {mnFile, tbNone, "FileClose", "Close", Qt::CTRL | Qt::Key_W, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         if (!w.AskSaveChanges(true))
             return;
         w.CloseDocument();
         PostMessage(&w, VRMSGWelcome, 10);
     }},
    {.Menu = mnFile, .Kind = akSeparator},
    {mnFile, tbFile, "FileSave", "&Save", Qt::CTRL | Qt::Key_S,
     StyleIcon(QStyle::SP_DialogSaveButton), 0,
     [](TFillerMainForm &w, bool) {
         w.Save();
     }},
    {mnFile, tbNone, "FileSaveAs", "Save &As...", Qt::CTRL | Qt::SHIFT | Qt::Key_S, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         w.SaveAs(w.m_documentPath);
     }},
    {.Menu = mnFile, .Kind = akSeparator},
    {mnFile, tbNone, "FilePrinterOffsets", "Printer Offsets...", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         TPrinterOffsetsDlg offsets(&w);
         DialogService().ExecModal(offsets);
     }},
    {mnFile, tbFile, "FilePrint", "&Print...", Qt::CTRL | Qt::Key_P, ThemeIcon("document-print"), 0,
     [](TFillerMainForm &w, bool) {
         w.Print(true, true, 0, 1, 1, w.m_pages ? w.m_pages->PageCount() : 1);
     }},
    {.Menu = mnFile, .Kind = akRecentFiles},
    {mnFile, tbNone, "FileExit", "E&xit", Qt::CTRL | Qt::Key_Q, kNoIcon, afQuit,
     [](TFillerMainForm &w, bool) {
         w.close();
     }},

    // Enabled by what the focused control can do.
    {mnEdit, tbEdit, "EditUndo", "Undo", Qt::CTRL | Qt::Key_Z,
     ThemeIcon("edit-undo", QStyle::SP_ArrowBack), afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGUndo);
     }},
    {mnEdit, tbEdit, "EditRedo", "Redo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z,
     ThemeIcon("edit-redo", QStyle::SP_ArrowForward), afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGRedo);
     }},
    {mnEdit, tbEdit, "EditCut", "Cut", Qt::CTRL | Qt::Key_X, ThemeIcon("edit-cut", kNoStyleIcon),
     afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGCut);
     }},
    {mnEdit, tbEdit, "EditCopy", "Copy", Qt::CTRL | Qt::Key_C, ThemeIcon("edit-copy", kNoStyleIcon),
     afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGCopy);
     }},
    {mnEdit, tbEdit, "EditPaste", "Paste", Qt::CTRL | Qt::Key_V,
     ThemeIcon("edit-paste", kNoStyleIcon), afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGPaste);
     }},
    {mnEdit, tbEdit, "EditDelete", "Delete", Qt::CTRL | Qt::Key_Delete,
     ThemeIcon("edit-delete", QStyle::SP_TrashIcon), afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGClear);
     }},
    {mnEdit, tbEdit, "EditSelectAll", "Select All", Qt::CTRL | Qt::Key_A,
     ThemeIcon("edit-select-all", kNoStyleIcon), afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGSelectAll);
     }},

    {mnView, tbView, "ViewActualSize", "Actual Size", Qt::Key_F7, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         w.SetActiveZoom(100);
     }},
    {mnView, tbView, "ViewFitToWidth", "Fit To Width", Qt::Key_F8, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         if (TPrinterPage *page = w.ActivePage())
             w.SetActiveZoom(page->FitTo(ftWindow, false));
     }},
    {mnView, tbView, "ViewFitToPage", "Fit To Page", Qt::Key_F9, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         if (TPrinterPage *page = w.ActivePage())
             w.SetActiveZoom(page->FitTo(ftPage, false));
     }},
    {.Bar = tbView, .Kind = akZoomControls},
    {.Menu = mnView, .Bar = tbView, .Kind = akSeparator},
    {mnView, tbView, "ViewResetForm", "Reset Form...", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         w.ResetForm();
     }},
    {mnView, tbView, "ViewValidateForm", "Validate Form...", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         if (w.CommitEdit() && w.ValidateForm(false))
             Global_MessageDlg(QStringLiteral("Validate"),
                               QStringLiteral("Form validation passed!"), mtInformation, mbOK, 0);
     }},
    {.Menu = mnView, .Kind = akSeparator},
    // Shown once the PDF kind turns out to be installed.
    {mnView, tbNone, "ViewPDFQuickDraw", "PDF Quick Draw", kNoKey, kNoIcon, afHidden,
     [](TFillerMainForm &w, bool on) {
         w.m_settings->SetPDFQuickDraw(on);
         if (TPrinterPage *page = w.ActivePage())
             page->PaintBox()->update();
     },
     &TFillerINIInfo::PDFQuickDraw},
    {mnView, tbNone, "ViewHints", "Hints", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &w, bool on) {
         w.m_settings->SetHints(on);
         if (!on)
             QToolTip::hideText();
     },
     &TFillerINIInfo::Hints},
    {.Menu = mnView, .Name = "ToolbarsMenu", .Caption = "Toolbars", .Kind = akToolBarsMenu},

    {mnHelp, tbHelp, "HelpHelpTopics", "Help Topics...", Qt::Key_F1, kNoIcon, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/help");
     }},
    {.Menu = mnHelp, .Kind = akSeparator},
    {mnHelp, tbNone, "HelpSupportTicket", "Support Ticket", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/support");
     }},
    {mnHelp, tbNone, "HelpLeaveFeedback", "Leave Feedback", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/feedback");
     }},
    {mnHelp, tbNone, "HelpUpdates", "Updates", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/updates");
     }},
    {mnHelp, tbNone, "HelpCorvaleOnline", "Corvale Online", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/");
     }},
    {.Menu = mnHelp, .Kind = akSeparator},
    {mnHelp, tbNone, "HelpAbout", "About Velora...", kNoKey, kNoIcon, 0,
     [](TFillerMainForm &w, bool) {
         TAboutDialog about(&w);
         DialogService().ExecModal(about);
     }},
};

QAction *TFillerMainForm::AddAction(QMenu *menu, const TFillerAction &row)
{
    QAction *action = menu->addAction(QString::fromLatin1(row.Caption));
    action->setObjectName(QString::fromLatin1(row.Name));
    if (row.Key.toCombined() != 0)
        action->setShortcut(QKeySequence(row.Key));
    const TFillerIcon &icon = row.Icon;
    switch (icon.Source) {
    case icNone:
        break;
    case icStyle:
        action->setIcon(style()->standardIcon(icon.Style));
        break;
    case icTheme:
        action->setIcon(QIcon::fromTheme(QString::fromLatin1(icon.Theme)));
        break;
    case icThemeOrStyle:
        action->setIcon(QIcon::fromTheme(
            QString::fromLatin1(icon.Theme),
            icon.Style != kNoStyleIcon ? style()->standardIcon(icon.Style) : QIcon()));
        break;
    }
    if (row.Flags & afFocusKeys)
        action->setShortcutContext(Qt::WidgetShortcut);
    if (row.Flags & afQuit)
        action->setMenuRole(QAction::QuitRole);
    if (row.Flags & afDisabled)
        action->setEnabled(false);
    const auto run = row.Run;
    if (row.Checked) {
        action->setCheckable(true);
        action->setChecked((m_settings.get()->*row.Checked)());
        connect(action, &QAction::toggled, this,
                [this, run](bool on) { Guarded([&] { run(*this, on); }); });
    } else {
        connect(action, &QAction::triggered, this,
                [this, run] { Guarded([&] { run(*this, false); }); });
    }
    if (row.Flags & afHidden)
        action->setVisible(false);
    return action;
}

void TFillerMainForm::CreateMenus()
{
    QMenu *menus[mnHelp + 1] = {};
    for (const auto &entry : kMenus) {
        menus[entry.Menu] = menuBar()->addMenu(QString::fromLatin1(entry.Title));
        menus[entry.Menu]->setObjectName(QString::fromLatin1(entry.Name));
    }
    m_fileMenu = menus[mnFile];
    m_viewMenu = menus[mnView];
    for (const TFillerAction &row : ActionTable) {
        QMenu *menu = menus[row.Menu];
        if (!menu)
            continue;
        switch (row.Kind) {
        case akAction:
            AddAction(menu, row);
            break;
        case akSeparator:
            menu->addSeparator();
            break;
        case akRecentFiles:
            m_recentSeparator = menu->addSeparator();
            break;
        case akToolBarsMenu:
            menu->addMenu(QString::fromLatin1(row.Caption))
                ->setObjectName(QString::fromLatin1(row.Name));
            break;
        case akZoomControls:
            break;
        }
    }
}

void TFillerMainForm::CreateToolBars()
{
    QMenu *toggles = findChild<QMenu *>(QStringLiteral("ToolbarsMenu"));
    for (const auto &entry : kToolBars) {
        const QString name = QString::fromLatin1(entry.Name);
        const QString caption = QString::fromLatin1(entry.Caption);
        const bool shown = (m_settings.get()->*entry.Shown)();
        QToolBar *bar = addToolBar(caption);
        bar->setObjectName(name);
        bar->setVisible(shown);
        QAction *toggle = toggles->addAction(caption);
        toggle->setObjectName(QStringLiteral("Toggle") + name);
        toggle->setCheckable(true);
        toggle->setChecked(shown);
        connect(toggle, &QAction::toggled, this, [this, bar, store = entry.SetShown](bool on) {
            Guarded([&] {
                bar->setVisible(on);
                (m_settings.get()->*store)(on);
            });
        });
        m_toolBars << bar;
        for (const TFillerAction &row : ActionTable) {
            if (row.Bar != entry.Bar)
                continue;
            switch (row.Kind) {
            case akAction:
                bar->addAction(Action(QString::fromLatin1(row.Name)));
                break;
            case akSeparator:
                bar->addSeparator();
                break;
            case akZoomControls:
                AddZoomControls(bar);
                break;
            case akRecentFiles:
            case akToolBarsMenu:
                break;
            }
        }
    }
}

void TFillerMainForm::AddZoomControls(QToolBar *bar)
{
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName(QStringLiteral("ZoomBox"));
    m_zoomBox->setToolTip(QStringLiteral("Current Zoom"));
    m_zoomBox->setEditable(true);
    m_zoomBox->setInsertPolicy(QComboBox::NoInsert);
    for (const int preset : kZoomPresets)
        m_zoomBox->addItem(QStringLiteral("%1 %").arg(preset), preset);
    m_zoomBox->setCurrentText(QStringLiteral("100 %"));
    connect(m_zoomBox, &QComboBox::activated, this,
            [this] { Guarded([this] { ZoomBoxEdited(); }); });
    connect(m_zoomBox->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { Guarded([this] { ZoomBoxEdited(); }); });
    bar->addWidget(m_zoomBox);
    m_zoomUpDown = new QSpinBox(bar);
    m_zoomUpDown->setObjectName(QStringLiteral("ZoomUpDown"));
    m_zoomUpDown->setToolTip(QStringLiteral("Manual Zoom (+/-)"));
    m_zoomUpDown->setRange(ZoomMin, ZoomMax);
    m_zoomUpDown->setValue(100);
    m_zoomUpDown->setButtonSymbols(QAbstractSpinBox::PlusMinus);
    connect(m_zoomUpDown, &QSpinBox::valueChanged, this, [this](int zoom) {
        if (m_settingZoom)
            return;
        Guarded([this, zoom] {
            GlobalMadeChange();
            SetActiveZoom(zoom);
        });
    });
    bar->addWidget(m_zoomUpDown);
}
