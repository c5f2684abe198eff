#include "CDesignerMainForm.h"

#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CObjectInspectorForm.h"
#include "COnlineHelp.h"
#include "CPageControl.h"
#include "CPlugIns.h"
#include "CPrinterPage.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "CPropGroups.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedo.h"
#include "CUndoRedoTypes.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

namespace {
// The hidden-field kind: it keeps its size.
constexpr int kHiddenFieldKind = 220;
constexpr int kPdfViewKind = 100;

const struct
{
    const char *Name;
    int Command;
} kEditActions[] = {{"EditUndo", TDesignerMainForm::ecUndo},
                    {"EditRedo", TDesignerMainForm::ecRedo},
                    {"EditCut", TDesignerMainForm::ecCut},
                    {"EditCopy", TDesignerMainForm::ecCopy},
                    {"EditPaste", TDesignerMainForm::ecPaste},
                    {"EditDelete", TDesignerMainForm::ecDelete},
                    {"EditSelectAll", TDesignerMainForm::ecSelectAll},
                    {"EditDuplicate", TDesignerMainForm::ecDuplicate}};

// The desktop theme's icon, ours where the theme has none of the name.
QIcon ThemeIcon(const char *name)
{
    const QString icon = QString::fromLatin1(name);
    return QIcon::fromTheme(icon, QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)));
}

bool Locked(const QWidget *ctrl)
{
    const auto *element = qobject_cast<const TVisualPgCtrl *>(ctrl);
    return element && element->VisualGeneralProps()
        && element->VisualGeneralProps()->GeneralLocked();
}
} // namespace

TDesignerMainForm::TDesignerMainForm(QWidget *parent)
    : TFillerMainForm(parent), m_undo(std::make_unique<TUndoRedo>())
{
    setObjectName(QStringLiteral("DesignerMainForm"));
    const auto apply = [this](TUndoRedo *, TUndoRedoItem *item, bool isUndo) {
        ApplyRecord(item, isUndo);
    };
    m_undo->OnUndo = apply;
    m_undo->OnRedo = apply;
    m_undo->OnChange = [](TUndoRedo *) {
        GlobalMadeChange();
    };
}

TDesignerMainForm::~TDesignerMainForm()
{
    StoreToolWindowBounds();
    // The designer's events reach this window; they stop before it goes.
    for (auto *designer : {&m_designer1, &m_designer2})
        if (*designer) {
            static_cast<TSurfaceDesignerEvents &>(**designer) = TSurfaceDesignerEvents();
            designer->reset();
        }
    ServeModelHooks(false);
    // Elements held only by the history go with it; those in the document stay with it.
    m_undo->Clear();
}

QString TDesignerMainForm::ProgramTitle() const
{
    return QStringLiteral("Velora Designer");
}

void TDesignerMainForm::FormCreate()
{
    TFillerMainForm::FormCreate();
    SetUpDesigner();
    SetUpStrip();
    SetUpDocks();
    ServeModelHooks(true);
    setProperty("HelpContext", dhctx_TitlePage);
    connect(m_inspector, &TObjectInspectorForm::HelpRequested, this,
            [](int context) { ShowOnlineHelp(context); });
    connect(PagesPageControl()->tabBar(), &QTabBar::tabMoved, this,
            [this](int from, int to) { Guarded([&] { PageMoved(from, to); }); });
    UpdateDesignCommands();
}

void TDesignerMainForm::CreateMenus()
{
    TFillerMainForm::CreateMenus();
    const auto add = [this](QMenu *menu, const char *name, const QString &caption,
                            const QKeySequence &key, auto run) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        menu->addAction(action);
        connect(action, &QAction::triggered, this, [this, run] { Guarded([&] { run(); }); });
        return action;
    };
    auto *edit = findChild<QMenu *>(QStringLiteral("EditMenu"));
    add(edit, "EditDuplicate", QStringLiteral("Duplicate"), QKeySequence(Qt::CTRL | Qt::Key_D),
        [this] { EditCommand(ecDuplicate); });
    // One handler for every edit command, told apart by number.
    for (const auto &row : kEditActions) {
        QAction *action = Action(QString::fromLatin1(row.Name));
        disconnect(action, &QAction::triggered, this, nullptr);
        connect(action, &QAction::triggered, this,
                [this, command = row.Command] { Guarded([&] { EditCommand(command); }); });
    }

    // New documents, first in the File menu and on the New button's drop-down.
    auto *newMenu = new QMenu(QStringLiteral("&New"), this);
    newMenu->setObjectName(QStringLiteral("FileNewMenu"));
    const struct
    {
        const char *Name;
        const char *Caption;
        TNewDocumentKind Kind;
    } kinds[] = {{"FileNewPaper", " Paper form or e-form", ndPaper},
                 {"FileNewWeb640", "640x480 \"safe\" Web form", ndWeb640},
                 {"FileNewWeb800", "800x600 \"safe\" Web form", ndWeb800},
                 {"FileNewWeb1024", "1024x768 \"safe\" Web form", ndWeb1024}};
    for (const auto &row : kinds)
        add(newMenu, row.Name, QString::fromLatin1(row.Caption),
            row.Kind == ndPaper ? QKeySequence(QKeySequence::New) : QKeySequence(),
            [this, kind = row.Kind] { NewDocument(kind); });
    if (QMenu *file = FileMenu())
        file->insertMenu(file->actions().value(0), newMenu);
    if (QMenu *file = FileMenu()) {
        QAction *html = add(file, "FileExportHTML", QStringLiteral("Export To HTML..."),
                            QKeySequence(), [this] { ExportToHTML(); });
        const qsizetype saveAs = file->actions().indexOf(Action(QStringLiteral("FileSaveAs")));
        file->insertAction(file->actions().value(saveAs + 1), html);
    }

    auto *view = findChild<QMenu *>(QStringLiteral("ViewMenu"));
    m_designAction = new QAction(QStringLiteral("Designer"), this);
    m_designAction->setObjectName(QStringLiteral("ViewDesigner"));
    m_designAction->setShortcut(QKeySequence(Qt::Key_F4));
    m_designAction->setCheckable(true);
    m_designAction->setToolTip(QStringLiteral("Toggle Designer (On/Off)"));
    view->insertAction(view->actions().value(0), m_designAction);
    connect(m_designAction, &QAction::triggered, this,
            [this](bool on) { Guarded([&] { SetDesignMode(on); }); });
    CreateWelcomeMenus();

    auto *help = findChild<QMenu *>(QStringLiteral("HelpMenu"));
    auto *page = new QMenu(QStringLiteral("&Page"), this);
    page->setObjectName(QStringLiteral("PageMenu"));
    menuBar()->insertMenu(help ? help->menuAction() : nullptr, page);
    add(page, "PageProperties", QStringLiteral("&Properties"), QKeySequence(),
        [this] { ShowPageProperties(); });
    add(page, "PageInsert", QStringLiteral("&Insert Page"), QKeySequence(),
        [this] { InsertPage(true); });
    add(page, "PageDelete", QStringLiteral("&Delete Page"), QKeySequence(),
        [this] { DeletePage(); });

    auto *element = new QMenu(QStringLiteral("&Element"), this);
    element->setObjectName(QStringLiteral("ElementMenu"));
    menuBar()->insertMenu(help ? help->menuAction() : nullptr, element);
    add(element, "ElementToFront", QStringLiteral("To Front"), QKeySequence(),
        [this] { BringToFront(); });
    add(element, "ElementToBack", QStringLiteral("To Back"), QKeySequence(),
        [this] { SendToBack(); });
    // Also from the dialogs themselves, which they then close.
    add(element, "ElementTabOrder", QStringLiteral("TAB Order..."), QKeySequence(Qt::Key_F11),
        [this] { ToggleTabOrderDialog(); })
        ->setShortcutContext(Qt::ApplicationShortcut);
    add(element, "ElementFind", QStringLiteral("Find..."), QKeySequence(Qt::Key_F12), [this] {
        ToggleFindDialog();
    })->setShortcutContext(Qt::ApplicationShortcut);
}

void TDesignerMainForm::CreateToolBars()
{
    const std::pair<const char *, const char *> icons[]
        = {{"FileNewPaper", "document-new"},
           {"PageInsert", "page-insert"},
           {"PageProperties", "document-properties"},
           {"PageDelete", "page-delete"},
           {"ElementToFront", "object-to-front"},
           {"ElementToBack", "object-to-back"},
           {"ElementTabOrder", "element-tab-order"},
           {"ElementFind", "element-find"},
           {"EditDuplicate", "edit-copy"},
           {"FileExportHTML", "export-html"}};
    for (const auto &[action, icon] : icons)
        Action(QString::fromLatin1(action))->setIcon(ThemeIcon(icon));
    m_designAction->setIcon(ThemeIcon("designer-mode"));
    findChild<QMenu *>(QStringLiteral("FileNewMenu"))->setIcon(ThemeIcon("document-new"));
    TFillerMainForm::CreateToolBars();
    if (auto *file = findChild<QToolBar *>(QStringLiteral("FileToolBar")))
        file->insertAction(Action(QStringLiteral("FilePrint")),
                           Action(QStringLiteral("FileExportHTML")));
    if (auto *view = findChild<QToolBar *>(QStringLiteral("ViewToolBar"))) {
        view->addSeparator();
        view->addAction(m_designAction);
        if (QWidget *button = view->widgetForAction(m_designAction))
            button->setObjectName(QStringLiteral("DesignerToolButton"));
    }
    if (auto *file = findChild<QToolBar *>(QStringLiteral("FileToolBar"))) {
        auto *button = new QToolButton(file);
        button->setObjectName(QStringLiteral("NewToolButton"));
        button->setDefaultAction(Action(QStringLiteral("FileNewPaper")));
        button->setMenu(findChild<QMenu *>(QStringLiteral("FileNewMenu")));
        button->setPopupMode(QToolButton::MenuButtonPopup);
        button->setToolTip(QStringLiteral("New"));
        file->insertWidget(file->actions().value(0), button);
    }
    QToolBar *page = addToolBar(QStringLiteral("Page"));
    page->setObjectName(QStringLiteral("PageToolBar"));
    page->addAction(Action(QStringLiteral("PageProperties")));
    page->addAction(Action(QStringLiteral("PageInsert")));
    page->addAction(Action(QStringLiteral("PageDelete")));
    QToolBar *object = addToolBar(QStringLiteral("Object"));
    object->setObjectName(QStringLiteral("ObjectToolBar"));
    object->addAction(Action(QStringLiteral("ElementToFront")));
    object->addAction(Action(QStringLiteral("ElementToBack")));
    ApplyToolBarSettings();
    Action(QStringLiteral("ElementTabOrder"))->setToolTip(QStringLiteral("TAB Order"));
    Action(QStringLiteral("ElementFind"))->setToolTip(QStringLiteral("Find Form Element"));
    object->addAction(Action(QStringLiteral("ElementTabOrder")));
    object->addAction(Action(QStringLiteral("ElementFind")));
}

void TDesignerMainForm::SetUpDesigner()
{
    m_designer1.reset(CreateComponent<TSurfaceDesigner>(nullptr));
    TSurfaceDesigner &d = *m_designer1;
    d.SetName(QStringLiteral("SurfaceDesigner1"));
    d.SetGrabbers(CSURFACEDESIGNER_ALL_GRABBERS);
    d.SetGrabbersOfs(3);
    d.SetGrabbersSize(5);
    d.SetGroupGrabbers(CSURFACEDESIGNER_CORNER_GRABBERS);
    d.SetGroupGrabbersOfs(0);
    d.SetGroupGrabbersColor(clBlack);
    d.SetGroupGrabbersFillColor(TColor::FromRGB(128, 128, 128));
    d.SetGroupResize(true);
    d.SetRoundGrabbers(false);

    auto *popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("SurfaceDesigner1PopupMenu"));
    for (const auto &row : kEditActions)
        popup->addAction(Action(QString::fromLatin1(row.Name)));
    popup->addSeparator();
    popup->addAction(Action(QStringLiteral("ElementToFront")));
    popup->addAction(Action(QStringLiteral("ElementToBack")));
    popup->addAction(Action(QStringLiteral("ElementTabOrder")));
    popup->addAction(Action(QStringLiteral("ElementFind")));
    d.SetPopupMenu(popup);

    d.OnCanSelect = [](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        allow = qobject_cast<TVisualPgCtrl *>(ctrl) != nullptr;
    };
    d.OnCanMove = [](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        allow = qobject_cast<TVisualPgCtrl *>(ctrl) && !Locked(ctrl);
    };
    d.OnCanResize = [](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        const auto *element = qobject_cast<TVisualPgCtrl *>(ctrl);
        allow = element && element->ClassTypeID() != kHiddenFieldKind;
    };
    d.OnGetPrepTypeColor = [](TCustomSurfaceDesigner *, TSurfaceDesignerEngineSurfacePrepType use,
                              QWidget *ctrl, TColor &color) {
        if (use != ptBanding && Locked(ctrl))
            color = clRed;
    };
    // The window removes elements itself, so that they can come back.
    d.OnCanDelete = [this](TCustomSurfaceDesigner *, QWidget *ctrl, bool &allow) {
        allow = false;
        RemoveElement(ctrl, !Replaying());
        GlobalMadeChange();
    };
    d.OnBeforeCtrlsDeleted = [this](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls) {
        BeforeCtrlsDeleted(ctrls);
    };
    d.OnCtrlMoved = [this](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls, int key,
                           TSurfaceDesignerGrabber grabber, bool horz, bool vert) {
        CtrlMoved(ctrls, key, grabber, horz, vert);
    };
    d.OnCtrlPaste = [this](TCustomSurfaceDesigner *, const QList<QWidget *> &ctrls) {
        CtrlsPasted(ctrls);
    };
    FollowSelection(d);
    d.OnDblClick = [this](TCustomSurfaceDesigner *) {
        OpenEditDialog();
    };
    d.OnMouseUp = [this](TCustomSurfaceDesigner *, Qt::MouseButton button, Qt::KeyboardModifiers,
                         int, int) {
        if (button == Qt::LeftButton && m_paletteKind)
            PlaceFromPalette(m_designer1->Engine()->BandRect().normalized());
    };
    // In TAB order, ties by z-order.
    d.OnSortSelCtrls = [](TSurfaceDesignerEngine *engine) {
        const auto key = [](const QWidget *ctrl) {
            const auto *element = qobject_cast<const TVisualPgCtrl *>(ctrl);
            return std::pair(element ? element->TabOrder() : 0, CommonGlobal_CtrlZOrder(ctrl));
        };
        auto &list = engine->SelectionList();
        std::stable_sort(list.begin(), list.end(), [&](const auto &a, const auto &b) {
            return key(a->Ctrl()) < key(b->Ctrl());
        });
    };
}

void TDesignerMainForm::FollowSelection(TSurfaceDesigner &d)
{
    // Not while a document closes: the overlay then goes with its page, mid-destruction.
    const auto selectionChanged = [this] {
        if (!m_undo->Busy() && !GlobalClearingProject)
            EditStateChanged(nullptr);
    };
    d.OnCtrlSelect = [selectionChanged](TCustomSurfaceDesigner *, QWidget *) {
        selectionChanged();
    };
    d.OnCtrlUnSelect = d.OnCtrlSelect;
    d.OnSelectionCleared = [selectionChanged](TCustomSurfaceDesigner *) {
        selectionChanged();
    };
    d.OnSelectedFromRect = [selectionChanged](TCustomSurfaceDesigner *, const QRect &) {
        selectionChanged();
    };
    d.OnCtrlsDeleted = d.OnSelectionCleared;
}

bool TDesignerMainForm::DesignMode() const
{
    return HasDocument() && !GlobalFilling;
}

bool TDesignerMainForm::Replaying() const
{
    return m_undo->Busy();
}

void TDesignerMainForm::AttachDesigner()
{
    if (!m_designer1)
        return;
    TPrinterPage *page = DesignMode() ? ActivePage() : nullptr;
    if (page) {
        m_designer1->SetSurface(page);
        m_designer1->SetActive(true);
        if (isActiveWindow())
            m_designer1->Engine()->setFocus(Qt::OtherFocusReason);
    } else {
        m_designer1->SetActive(false);
        m_designer1->SetSurface(nullptr);
    }
}

bool TDesignerMainForm::SetDesignMode(bool design)
{
    if (!HasDocument() || m_switching) {
        m_designAction->setChecked(DesignMode());
        return false;
    }
    const QScopedValueRollback switching(m_switching, true);
    // A refused edit keeps the element focused and the mode as it was.
    if (!CommitEdit()) {
        m_designAction->setChecked(DesignMode());
        return false;
    }
    if (design)
        if (TVisualPgCtrl *focused = TVisualPgCtrl::FocusedElement())
            focused->KillFocus();
    GlobalMadeChange();
    GlobalProjectProps->SetFilling(!design);
    AttachDesigner();
    UpdateDocumentCommands();
    GlobalNotifyCtrls(VRMSGToggleLockPages, design ? 0 : 1, 0, true);
    EditStateChanged(nullptr);
    return true;
}

void TDesignerMainForm::UpdateDocumentCommands()
{
    TFillerMainForm::UpdateDocumentCommands();
    // A document new or opened takes the welcome window's place.
    if (HasDocument())
        CloseWelcome();
    // A new or opened document starts a new history.
    if (!HasDocument() && m_undo && m_undo->Count() > 0 && !m_undo->Busy())
        m_undo->Clear();
    AttachDesigner();
    FillStrip();
    if (!HasDocument()) {
        m_paletteTabShownFor.clear();
    } else if (m_paletteTabShownFor != DocumentPath() || DocumentPath().isEmpty()) {
        // An opened document shows the palette tab it was designed with.
        m_paletteTabShownFor = DocumentPath();
        if (!DocumentPath().isEmpty())
            ShowPaletteTab(ProjectInfo().LastPalettePage());
    }
    UpdateDesignCommands();
}

void TDesignerMainForm::FormShow()
{
    TFillerMainForm::FormShow();
    FillPalette();
}

void TDesignerMainForm::UpdateDesignCommands()
{
    if (!m_designAction)
        return;
    const bool open = HasDocument();
    const bool design = DesignMode();
    {
        const QSignalBlocker quiet(m_designAction);
        m_designAction->setEnabled(open);
        m_designAction->setChecked(design);
    }
    // In design mode the edit keys are the window's; in filling mode the focused element's.
    for (const auto &row : kEditActions)
        if (QAction *action = Action(QString::fromLatin1(row.Name)))
            action->setShortcutContext(design ? Qt::WindowShortcut : Qt::WidgetShortcut);
    if (QAction *duplicate = Action(QStringLiteral("EditDuplicate")))
        duplicate->setVisible(!open || design);
    if (QMenu *element = findChild<QMenu *>(QStringLiteral("ElementMenu")))
        element->setEnabled(design);
    // Their toolbar buttons too; in design mode the selection decides (EditStateChanged).
    if (!design)
        for (const char *name : {"ElementToFront", "ElementToBack"})
            Action(QString::fromLatin1(name))->setEnabled(false);
    if (QMenu *page = findChild<QMenu *>(QStringLiteral("PageMenu")))
        page->setEnabled(design);
    Action(QStringLiteral("PageInsert"))->setEnabled(design);
    Action(QStringLiteral("PageProperties"))->setEnabled(design);
    Action(QStringLiteral("FileExportHTML"))->setEnabled(design);
    Action(QStringLiteral("PageDelete"))->setEnabled(design && PagesPageControl()->PageCount() > 1);
    LayoutStrip();
    UpdateDocks();
    // Pages are reordered by dragging their tabs while designing.
    PagesPageControl()->tabBar()->setMovable(design);
    ElementDialogsFollowMode();
}

void TDesignerMainForm::PageChanged()
{
    GatherNonVisualElements();
    TFillerMainForm::PageChanged();
    AttachDesigner();
    ElementDialogsFollowPage();
}

bool TDesignerMainForm::CanPaste()
{
    // The clipboard file, or elements another designer window put on the system clipboard.
    if (QFile::exists(GlobalAppVisualClipboardFile()))
        return true;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromLatin1(CSURFACEDESIGNER_MIME_TYPE));
}

void TDesignerMainForm::EditStateChanged(QObject *source)
{
    if (!DesignMode() || !m_designer1) {
        TFillerMainForm::EditStateChanged(source);
        ScheduleInspectorUpdate();
        return;
    }
    if (GlobalClearingProject)
        return;
    TSurfaceDesigner *designer = CurrentDesigner();
    const bool strip = designer == m_designer2.get();
    const bool current = designer->Active() && designer->Surface();
    TSurfaceDesignerEngine *engine = current ? designer->Engine() : nullptr;
    const int n = engine ? engine->SelCount() : 0;
    int selectable = 0;
    if (engine)
        for (QObject *child : designer->Surface()->children())
            if (auto *ctrl = qobject_cast<QWidget *>(child); ctrl && engine->CanSelect(ctrl))
                ++selectable;
    const bool elementCurrent = engine && qobject_cast<TVisualPgCtrl *>(engine->SelectedCtrl());
    const std::pair<const char *, bool> flags[]
        = {{"EditUndo", m_undo->CanUndo()},
           {"EditRedo", m_undo->CanRedo()},
           {"EditCut", n > 0},
           {"EditCopy", n > 0},
           {"EditPaste",
            current && (strip ? QFile::exists(GlobalAppNonVisualClipboardFile()) : CanPaste())},
           {"EditDelete", n > 0},
           {"EditSelectAll", current && n != selectable},
           {"EditDuplicate", n > 0},
           {"ElementToFront", n > 0 && elementCurrent},
           {"ElementToBack", n > 0 && elementCurrent}};
    for (const auto &[name, on] : flags)
        if (QAction *action = Action(QString::fromLatin1(name)))
            action->setEnabled(on);
    ScheduleInspectorUpdate();
}

void TDesignerMainForm::Dispatch(TMessage &message)
{
    switch (message.Msg) {
    case VRMSGIsFiller:
        // Not the filler.
        message.Result = 1;
        return;
    case VRMSGCreateElement: {
        // Low word the kind, high word whether to select it; the size likewise.
        const auto kind = int(message.WParam & 0xFFFF);
        const bool select = (message.WParam >> 16) & 0xFFFF;
        const QSize size(int(message.LParam & 0xFFFF), int((message.LParam >> 16) & 0xFFFF));
        const TPrinterPage *page = ActivePage();
        const QPoint at = page
            ? QPoint(qMax(0, page->PaperRect().left()), qMax(0, page->PaperRect().top()))
            : QPoint();
        message.Result = std::intptr_t(ObjectParam(CreateElement(kind, QRect(at, size), select)));
        return;
    }
    case VRMSGWelcome:
        WelcomeRequest(int(message.WParam), int(message.LParam));
        return;
    case VRMSGNonVisualDestroyed:
        NonVisualGoing(reinterpret_cast<QObject *>(message.WParam));
        GlobalNotifyCtrls(message.Msg, message.WParam, 0, true);
        return;
    case VRMSGBasePgCtrlNameChanged:
        if (!GlobalLoadingProject && !GlobalPasting && !GlobalAddingControl) {
            ElementsChangedForDialogs(true, true);
            // Page backgrounds name the PDF view they show; a renamed view keeps them.
            const auto *renamed = ParamObject<TBasePgCtrl>(message.WParam);
            const auto *oldName = reinterpret_cast<const QString *>(message.LParam);
            if (renamed && oldName && renamed->ClassTypeID() == kPdfViewKind && GlobalProjectProps)
                GlobalProjectProps->RenamedNVCtrl(*oldName, renamed->Name());
        }
        break;
    case VRMSGReadOnlyChanged:
        ElementsChangedForDialogs(true, false);
        break;
    case VRMSGEditStateChanged:
        if (DesignMode()) {
            EditStateChanged(nullptr);
            return;
        }
        break;
    default:
        break;
    }
    TFillerMainForm::Dispatch(message);
}
