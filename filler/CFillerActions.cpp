// The filler window's menus and toolbars, both built from one table of actions
// so that a command keeps one name, caption and key wherever it shows.

#include "CBasePgCtrl.h"
#include "CCalibrationPage.h"
#include "CDialogService.h"
#include "CFillerDialogs.h"
#include "CFillerINIInfo.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "COnlineHelp.h"
#include "CPageControl.h"
#include "CPrinterOffsetsDlg.h"
#include "CPrinterPage.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QKeyCombination>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
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

namespace {
// A default QKeyCombination is Qt::Key_unknown, not "no key".
constexpr QKeyCombination kNoKey = QKeyCombination::fromCombined(0);
} // namespace

struct TFillerAction
{
    TFillerMenu Menu = mnNone;
    TFillerToolBar Bar = tbNone;
    const char *Name = nullptr;
    const char *Caption = nullptr;
    QKeyCombination Key = kNoKey;
    // A freedesktop icon name: the desktop's theme icon, else our own of that name.
    const char *Icon = nullptr;
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
    Global_OpenUrl(QUrl(QString::fromLatin1(url)));
}
} // namespace

// In menu order; each toolbar takes its rows in the same order. Columns: menu, toolbar,
// object name, caption, key, icon, flags, what it does, and a checkable action's setting.
const TFillerAction TFillerMainForm::ActionTable[] = {
    {mnFile, tbFile, "FileOpen", "&Open...", Qt::CTRL | Qt::Key_O, "document-open", 0,
     [](TFillerMainForm &w, bool) {
         if (w.AskSaveChanges(true))
             w.OpenWithDialog(QString());
     }},
    {mnFile, tbNone, "FileClose", "&Close", Qt::CTRL | Qt::Key_W, nullptr, 0,
     [](TFillerMainForm &w, bool) {
         if (!w.AskSaveChanges(true))
             return;
         w.CloseDocument();
         PostMessage(&w, VRMSGWelcome, 10);
     }},
    {.Menu = mnFile, .Kind = akSeparator},
    {mnFile, tbFile, "FileSave", "&Save", Qt::CTRL | Qt::Key_S, "document-save", 0,
     [](TFillerMainForm &w, bool) {
         w.Save();
     }},
    {mnFile, tbNone, "FileSaveAs", "Save &As...", Qt::CTRL | Qt::SHIFT | Qt::Key_S, nullptr, 0,
     [](TFillerMainForm &w, bool) {
         w.SaveAs(w.m_documentPath);
     }},
    {.Menu = mnFile, .Kind = akSeparator},
    {mnFile, tbNone, "FilePrinterOffsets", "Printer O&ffsets...", kNoKey, nullptr, 0,
     [](TFillerMainForm &w, bool) {
         TPrinterOffsetsDlg offsets(&w);
         DialogService().ExecModal(offsets);
     }},
    {mnFile, tbNone, "FilePrintCalibration", "Print Ca&libration Page...", kNoKey, nullptr, 0,
     [](TFillerMainForm &, bool) {
         PrintCalibrationPageWithDialog();
     }},
    {mnFile, tbFile, "FilePrint", "&Print...", Qt::CTRL | Qt::Key_P, "document-print", 0,
     [](TFillerMainForm &w, bool) {
         w.Print(true, true, 0, 1, 1, w.m_pages ? w.m_pages->PageCount() : 1);
     }},
    {.Menu = mnFile, .Kind = akRecentFiles},
    {mnFile, tbNone, "FileExit", "E&xit", Qt::CTRL | Qt::Key_Q, nullptr, afQuit,
     [](TFillerMainForm &w, bool) {
         w.close();
     }},

    // Enabled by what the focused control can do.
    {mnEdit, tbEdit, "EditUndo", "&Undo", Qt::CTRL | Qt::Key_Z, "edit-undo",
     afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGUndo);
     }},
    {mnEdit, tbEdit, "EditRedo", "&Redo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z, "edit-redo",
     afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGRedo);
     }},
    {mnEdit, tbEdit, "EditCut", "Cu&t", Qt::CTRL | Qt::Key_X, "edit-cut", afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGCut);
     }},
    {mnEdit, tbEdit, "EditCopy", "&Copy", Qt::CTRL | Qt::Key_C, "edit-copy",
     afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGCopy);
     }},
    {mnEdit, tbEdit, "EditPaste", "&Paste", Qt::CTRL | Qt::Key_V, "edit-paste",
     afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGPaste);
     }},
    {mnEdit, tbEdit, "EditDelete", "&Delete", Qt::CTRL | Qt::Key_Delete, "edit-delete",
     afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGClear);
     }},
    {mnEdit, tbEdit, "EditSelectAll", "Select &All", Qt::CTRL | Qt::Key_A, "edit-select-all",
     afDisabled | afFocusKeys,
     [](TFillerMainForm &w, bool) {
         w.SendToFocused(VRMSGSelectAll);
     }},

    {mnView, tbView, "ViewActualSize", "&Actual Size", Qt::Key_F7, "zoom-original", 0,
     [](TFillerMainForm &w, bool) {
         w.SetActiveZoom(100);
     }},
    {mnView, tbView, "ViewFitToWidth", "Fit To &Width", Qt::Key_F8, "zoom-fit-width", 0,
     [](TFillerMainForm &w, bool) {
         if (TPrinterPage *page = w.ActivePage())
             w.SetActiveZoom(page->FitTo(ftWindow, false));
     }},
    {mnView, tbView, "ViewFitToPage", "Fit To &Page", Qt::Key_F9, "zoom-fit-best", 0,
     [](TFillerMainForm &w, bool) {
         if (TPrinterPage *page = w.ActivePage())
             w.SetActiveZoom(page->FitTo(ftPage, false));
     }},
    {mnView, tbNone, "ViewZoomIn", "Zoom &In", Qt::CTRL | Qt::Key_Plus, "zoom-in", 0,
     [](TFillerMainForm &w, bool) {
         w.StepZoom(1);
     }},
    {mnView, tbNone, "ViewZoomOut", "Zoom &Out", Qt::CTRL | Qt::Key_Minus, "zoom-out", 0,
     [](TFillerMainForm &w, bool) {
         w.StepZoom(-1);
     }},
    {.Bar = tbView, .Kind = akZoomControls},
    {.Menu = mnView, .Kind = akSeparator},
    {mnView, tbNone, "ViewNextPage", "&Next Page", Qt::CTRL | Qt::Key_PageDown, "go-next", 0,
     [](TFillerMainForm &w, bool) {
         w.GoToPage(GlobalActivePgIdx() + 1);
     }},
    {mnView, tbNone, "ViewPreviousPage", "Pre&vious Page", Qt::CTRL | Qt::Key_PageUp, "go-previous",
     0,
     [](TFillerMainForm &w, bool) {
         w.GoToPage(GlobalActivePgIdx() - 1);
     }},
    {.Menu = mnView, .Bar = tbView, .Kind = akSeparator},
    {mnView, tbView, "ViewResetForm", "&Reset Form...", kNoKey, "edit-clear", 0,
     [](TFillerMainForm &w, bool) {
         w.ResetForm();
     }},
    {mnView, tbView, "ViewValidateForm", "Va&lidate Form...", kNoKey, "dialog-ok-apply", 0,
     [](TFillerMainForm &w, bool) {
         if (w.CommitEdit() && w.ValidateForm(false))
             Global_MessageDlg(QStringLiteral("Validate"),
                               QStringLiteral("Form validation passed!"), mtInformation, mbOK, 0);
     }},
    {.Menu = mnView, .Kind = akSeparator},
    // Shown once the PDF kind turns out to be installed.
    {mnView, tbNone, "ViewPDFQuickDraw", "PDF &Quick Draw", kNoKey, nullptr, afHidden,
     [](TFillerMainForm &w, bool on) {
         w.m_settings->SetPDFQuickDraw(on);
         if (TPrinterPage *page = w.ActivePage())
             page->PaintBox()->update();
     },
     &TFillerINIInfo::PDFQuickDraw},
    {mnView, tbNone, "ViewHints", "&Hints", kNoKey, nullptr, 0,
     [](TFillerMainForm &w, bool on) {
         w.m_settings->SetHints(on);
         if (!on) {
             QToolTip::hideText();
             w.ShowHint(nullptr);
         }
     },
     &TFillerINIInfo::Hints},
    {.Menu = mnView, .Name = "ToolbarsMenu", .Caption = "&Toolbars", .Kind = akToolBarsMenu},

    {mnHelp, tbHelp, "HelpHelpTopics", "Help &Topics...", Qt::Key_F1, "help-contents", 0,
     [](TFillerMainForm &, bool) {
         RequestOnlineHelp(QApplication::focusWidget());
     }},
    {.Menu = mnHelp, .Kind = akSeparator},
    {mnHelp, tbNone, "HelpSupportTicket", "&Support Ticket", kNoKey, nullptr, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/support");
     }},
    {mnHelp, tbNone, "HelpLeaveFeedback", "Leave &Feedback", kNoKey, nullptr, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/feedback");
     }},
    {mnHelp, tbNone, "HelpUpdates", "&Updates", kNoKey, nullptr, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/updates");
     }},
    {mnHelp, tbNone, "HelpCorvaleOnline", "Corvale &Online", kNoKey, nullptr, 0,
     [](TFillerMainForm &, bool) {
         OpenWebPage("https://velora.invalid/");
     }},
    {.Menu = mnHelp, .Kind = akSeparator},
    {mnHelp, tbNone, "HelpAbout", "&About Velora...", kNoKey, nullptr, 0,
     [](TFillerMainForm &w, bool) {
         TAboutDialog about(&w);
         DialogService().ExecModal(about);
     }},
};

QAction *TFillerMainForm::AddAction(QMenu *menu, const TFillerAction &row)
{
    QAction *action = menu->addAction(QString::fromLatin1(row.Caption));
    action->setObjectName(QString::fromLatin1(row.Name));
    if (row.Key.toCombined() != 0) {
        QList<QKeySequence> keys {QKeySequence(row.Key)};
        // Keys every desktop program knows, beside the ones the commands were given.
        if (row.Key == QKeyCombination(Qt::Key_F7))
            keys << QKeySequence(Qt::CTRL | Qt::Key_0);
        if (row.Key == (Qt::CTRL | Qt::Key_Plus))
            keys << QKeySequence(Qt::CTRL | Qt::Key_Equal);
        action->setShortcuts(keys);
    }
    // The tip names the key, as the menu does.
    QString tip = QString::fromLatin1(row.Caption).remove(QStringLiteral("...")).remove(u'&');
    if (!action->shortcut().isEmpty())
        tip += QStringLiteral(" (%1)").arg(action->shortcut().toString(QKeySequence::NativeText));
    action->setToolTip(tip);
    if (row.Icon) {
        const QString name = QString::fromLatin1(row.Icon);
        action->setIcon(QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name))));
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
    // Opened from the keyboard, the menu has taken the keys from the element; what can be
    // edited is still what that element can do.
    connect(menus[mnEdit], &QMenu::aboutToShow, this, [this] {
        if (TVisualPgCtrl *element = TVisualPgCtrl::FocusedElement())
            EditStateChanged(element->Editor());
    });
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
        QAction *toggle = toggles->addAction(u'&' + caption);
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
