// The designer window's tool windows: the palette and the property inspector
// dock at the window's sides or float; both show only while a document is
// designed, each as its View menu check says. Their side, floating state and
// visibility are kept in the settings file.

#include "CDesignerINIInfo.h"
#include "CDesignerMainForm.h"
#include "CGlobal.h"
#include "CHideShowPluginsForm.h"
#include "CObjectInspectorForm.h"
#include "CPaletteForm.h"
#include "CPlugIns.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "CSurfaceDesigner.h"

#include <QAction>
#include <QDockWidget>
#include <QEvent>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>

QDockWidget *TDesignerMainForm::AddToolDock(QWidget *tool, const char *name, const char *section,
                                            bool dockedLeft, QAction *toggle)
{
    // The side each window docks at by default is the settings object's to say.
    Q_UNUSED(dockedLeft);
    const auto window
        = TDesignerINIInfo::SectionOf(TDesignerINIInfo::twPalette) == QLatin1String(section)
        ? TDesignerINIInfo::twPalette
        : TDesignerINIInfo::twProperties;
    TDesignerINIInfo &settings = DesignerSettings();
    auto *dock = new QDockWidget(tool->windowTitle(), this);
    dock->setObjectName(QString::fromLatin1(name));
    dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    dock->setWidget(tool);
    addDockWidget(settings.DockedLeft(window) ? Qt::LeftDockWidgetArea : Qt::RightDockWidgetArea,
                  dock);
    dock->setFloating(settings.Floating(window));
    // A floating window comes back where it was left (the inspector at its size too).
    if (const std::optional<QRect> bounds = settings.FloatingBounds(window);
        bounds && dock->isFloating())
        dock->setGeometry(
            QRect(bounds->topLeft(), bounds->isEmpty() ? dock->geometry().size() : bounds->size()));
    toggle->setChecked(settings.Visible(window));
    dock->hide();
    // Closing the window is the same as its View command.
    dock->installEventFilter(this);
    connect(dock, &QDockWidget::dockLocationChanged, this, [this, dock, window] {
        if (m_docksReady && !dock->isFloating())
            DesignerSettings().SetDockedLeft(window,
                                             dockWidgetArea(dock) == Qt::LeftDockWidgetArea);
    });
    connect(dock, &QDockWidget::topLevelChanged, this, [this, window](bool floating) {
        if (m_docksReady)
            DesignerSettings().SetFloating(window, floating);
    });
    connect(toggle, &QAction::toggled, this, [this, window](bool on) {
        DesignerSettings().SetVisible(window, on);
        UpdateDocks();
    });
    return dock;
}

void TDesignerMainForm::SetUpDocks()
{
    auto *view = findChild<QMenu *>(QStringLiteral("ViewMenu"));
    const auto check = [this, view](const char *name, const QString &caption, Qt::Key key) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        action->setShortcut(QKeySequence(key));
        if (view)
            view->insertAction(view->actions().value(1), action);
        return action;
    };
    m_propertiesAction = check("ViewProperties", QStringLiteral("&Properties"), Qt::Key_F5);
    m_paletteAction = check("ViewPlugIns", QStringLiteral("Plug-&Ins"), Qt::Key_F6);

    m_palette = new TPaletteForm(this);
    // The palette docks at the right and the inspector at the left unless moved.
    m_paletteDock = AddToolDock(m_palette, "PaletteDock", "Palette", false, m_paletteAction);
    connect(m_palette, &TPaletteForm::KindChoiceChanged, this,
            [this](int kind) { SetPaletteKind(kind); });
    connect(this, &TDesignerMainForm::PaletteChoiceCleared, m_palette, &TPaletteForm::Reset);
    connect(m_palette, &TPaletteForm::HideShowRequested, this, [this] {
        THideShowPluginsForm dialog(*m_palette, this);
        dialog.Run();
    });
    // The document reopens with the tab it was designed with.
    connect(m_palette, &TPaletteForm::PageChanged, this, [this](int index) {
        SetPaletteKind(0);
        if (!GlobalLoadingProject && HasDocument())
            ProjectInfo().SetLastPalettePage(index);
    });
    m_inspector = new TObjectInspectorForm(this);
    m_inspector->setObjectName(QStringLiteral("ObjectInspectorForm"));
    m_inspector->setWindowTitle(QStringLiteral("Properties"));
    m_inspector->OnChangeProperty
        = [this](const QList<QObject *> &objects, const QString &path, const QString &value) {
              return ChangeProperty(objects, path, value);
          };
    m_propertiesDock
        = AddToolDock(m_inspector, "PropertiesDock", "Properties", true, m_propertiesAction);
    connect(m_inspector, &TObjectInspectorForm::ElementChosen, this, [this](QObject *object) {
        if (auto *element = qobject_cast<QWidget *>(object)) {
            SelectElement(element, false);
        } else {
            m_designer1->UnSelectAll();
            if (m_designer2)
                m_designer2->UnSelectAll();
        }
    });
    connect(m_inspector, &TObjectInspectorForm::PropertyChanged, this, [this](const QString &path) {
        // Moved or renamed elements: the grabbers and the drop-down follow.
        if (path.contains(QLatin1String("PosSize")) && m_designer1->Active())
            m_designer1->Engine()->update();
        if (path == QLatin1String("Name"))
            m_inspector->RebuildObjectList();
    });
    m_docksReady = true;
}

void TDesignerMainForm::ScheduleInspectorUpdate()
{
    if (!m_inspector || m_inspectorPending)
        return;
    m_inspectorPending = true;
    // Once the selection has settled: a band selects its controls one by one.
    QTimer::singleShot(0, this, [this] {
        m_inspectorPending = false;
        UpdateInspector();
    });
}

void TDesignerMainForm::UpdateInspector()
{
    if (!m_inspector)
        return;
    QList<QObject *> objects;
    if (DesignMode() && !GlobalClearingProject) {
        for (QWidget *element : SelectedElements())
            objects.append(element);
        // Nothing selected: the page's own settings.
        if (objects.isEmpty())
            if (TProjectPropsPageProps *page = GlobalPgProps(GlobalActivePgIdx()))
                objects.append(page);
    }
    if (objects != m_inspector->Selection()) {
        m_inspector->SetSelection(objects);
        m_inspector->RebuildObjectList();
    } else {
        m_inspector->Refresh();
    }
}

void TDesignerMainForm::FillPalette()
{
    if (m_palette && GlobalPlugIns)
        m_palette->Fill(*GlobalPlugIns);
}

void TDesignerMainForm::ShowPaletteTab(int index)
{
    QTabWidget *tabs = m_palette ? m_palette->PlugInPageControl() : nullptr;
    if (tabs && index >= 0 && index < tabs->count() && tabs->isTabVisible(index))
        tabs->setCurrentIndex(index);
}

void TDesignerMainForm::UpdateDocks()
{
    const bool design = DesignMode();
    for (auto [dock, action] : {std::pair(m_paletteDock, m_paletteAction),
                                std::pair(m_propertiesDock, m_propertiesAction)}) {
        if (action)
            action->setEnabled(HasDocument());
        if (dock)
            dock->setVisible(design && action->isChecked());
    }
    if (!design && m_palette)
        m_palette->Reset();
}

bool TDesignerMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close) {
        if (watched == m_paletteDock && m_paletteAction)
            m_paletteAction->setChecked(false);
        else if (watched == m_propertiesDock && m_propertiesAction)
            m_propertiesAction->setChecked(false);
    }
    return TFillerMainForm::eventFilter(watched, event);
}

void TDesignerMainForm::ShowPageProperties()
{
    if (!DesignMode())
        return;
    m_designer1->UnSelectAll();
    if (m_designer2)
        m_designer2->UnSelectAll();
    // Asked for by name: the inspector shows, even when it was put away.
    if (m_propertiesAction && !m_propertiesAction->isChecked())
        m_propertiesAction->setChecked(true);
    UpdateInspector();
}
