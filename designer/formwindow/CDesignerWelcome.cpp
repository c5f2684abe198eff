// The designer's settings object and its welcome screen: the start page asks
// the window for new documents, recent documents and help only by posting it
// the welcome request, which is answered here. Also the settings the window
// applies at start: the Page and Object toolbars and the floating tool windows.

#include "CDesignerINIInfo.h"
#include "CDesignerMainForm.h"
#include "CWelcomeForm.h"

#include "CAppPaths.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QToolBar>

std::unique_ptr<TFillerINIInfo> TDesignerMainForm::CreateSettings() const
{
    return std::make_unique<TDesignerINIInfo>(GlobalAppINI);
}

TDesignerINIInfo &TDesignerMainForm::DesignerSettings() const
{
    return static_cast<TDesignerINIInfo &>(Settings());
}

TWelcomeForm *TDesignerMainForm::WelcomeForm() const
{
    return m_welcomeForm && m_welcomeForm->isVisible() ? m_welcomeForm.data() : nullptr;
}

void TDesignerMainForm::CreateWelcomeMenus()
{
    auto *view = findChild<QMenu *>(QStringLiteral("ViewMenu"));
    if (!view)
        return;
    view->addSeparator();
    m_welcomeAction = view->addAction(QStringLiteral("Use &Welcome Screen"));
    m_welcomeAction->setObjectName(QStringLiteral("ViewUseWelcome"));
    m_welcomeAction->setCheckable(true);
    m_welcomeAction->setChecked(DesignerSettings().Welcome());
    // Triggered only by the user: the welcome window's check box sets the check quietly.
    connect(m_welcomeAction, &QAction::triggered, this,
            [this](bool on) { Guarded([&] { SetUseWelcome(on); }); });
}

void TDesignerMainForm::ApplyToolBarSettings()
{
    auto *toggles = findChild<QMenu *>(QStringLiteral("ToolbarsMenu"));
    TDesignerINIInfo &settings = DesignerSettings();
    const struct
    {
        const char *Name;
        const char *Caption;
        bool Shown;
        void (TDesignerINIInfo::*Store)(bool);
    } bars[] = {{"PageToolBar", "&Page", settings.PageToolBar(), &TDesignerINIInfo::SetPageToolBar},
                {"ObjectToolBar", "&Object", settings.ObjectToolBar(),
                 &TDesignerINIInfo::SetObjectToolBar}};
    for (const auto &row : bars) {
        const QString name = QString::fromLatin1(row.Name);
        auto *bar = findChild<QToolBar *>(name);
        if (!bar || !toggles)
            continue;
        bar->setVisible(row.Shown);
        QAction *toggle = toggles->addAction(QString::fromLatin1(row.Caption));
        toggle->setObjectName(QStringLiteral("Toggle") + name);
        toggle->setCheckable(true);
        toggle->setChecked(row.Shown);
        connect(toggle, &QAction::toggled, this, [this, bar, store = row.Store](bool on) {
            Guarded([&] {
                bar->setVisible(on);
                (DesignerSettings().*store)(on);
            });
        });
    }
}

void TDesignerMainForm::WelcomeRequest(int code, int index)
{
    const auto trigger = [this](const char *name) {
        if (QAction *action = Action(QString::fromLatin1(name)); action && action->isEnabled())
            action->trigger();
    };
    switch (code) {
    case TWelcomeForm::wcShow:
        // Also posted after a document closed; one opened meanwhile keeps the window away.
        if (DesignerSettings().Welcome() && !WelcomeForm() && !HasDocument())
            ShowWelcome();
        break;
    case TWelcomeForm::wcClosed:
        // Only a closed window: one shown again before the request came stays.
        if (m_welcomeForm && !m_welcomeForm->isVisible())
            delete m_welcomeForm.data();
        break;
    case TWelcomeForm::wcNewPaper:
        NewDocument(ndPaper);
        break;
    case TWelcomeForm::wcNewWeb640:
        NewDocument(ndWeb640);
        break;
    case TWelcomeForm::wcNewWeb800:
        NewDocument(ndWeb800);
        break;
    case TWelcomeForm::wcNewWeb1024:
        NewDocument(ndWeb1024);
        break;
    case TWelcomeForm::wcHelp:
        trigger("HelpHelpTopics");
        break;
    case TWelcomeForm::wcSupportTicket:
        trigger("HelpSupportTicket");
        break;
    case TWelcomeForm::wcFeedback:
        trigger("HelpLeaveFeedback");
        break;
    case TWelcomeForm::wcUpdate:
        trigger("HelpUpdates");
        break;
    case TWelcomeForm::wcOpenRecent: {
        const QString path = Settings().Recents().value(index);
        if (!path.isEmpty() && AskSaveChanges(true))
            OpenDocument(path);
        break;
    }
    case TWelcomeForm::wcOpenOther:
        trigger("FileOpen");
        break;
    default:
        break;
    }
}

void TDesignerMainForm::ShowWelcome()
{
    // A window closed but not yet freed makes way for the new one.
    delete m_welcomeForm.data();
    m_welcomeForm = new TWelcomeForm(this, DesignerSettings(), m_welcomeAction);
    m_welcomeForm->show();
    m_welcomeForm->raise();
    m_welcomeForm->activateWindow();
}

void TDesignerMainForm::CloseWelcome()
{
    if (m_welcomeForm && m_welcomeForm->isVisible())
        m_welcomeForm->close();
}

void TDesignerMainForm::SetUseWelcome(bool on)
{
    DesignerSettings().SetWelcome(on);
    if (TWelcomeForm *welcome = WelcomeForm()) {
        if (on)
            welcome->SetDoNotShow(false);
        else
            welcome->close();
    } else if (on && !HasDocument()) {
        ShowWelcome();
    }
}

void TDesignerMainForm::StoreToolWindowBounds()
{
    for (auto [dock, window] : {std::pair(m_paletteDock, TDesignerINIInfo::twPalette),
                                std::pair(m_propertiesDock, TDesignerINIInfo::twProperties)})
        // A window never shown this time has no place of its own to keep.
        if (dock && dock->isFloating() && dock->testAttribute(Qt::WA_WState_Created))
            DesignerSettings().SetFloatingBounds(window, dock->geometry());
}
