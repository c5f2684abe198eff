#include "CFillerMainForm.h"

#include "CAccessibility.h"
#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CFillerDialogs.h"
#include "CFillerINIInfo.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "COnlineHelp.h"
#include "CPageControl.h"
#include "CPlugIns.h"
#include "CPrinterService.h"
#include "CProjectIO.h"
#include "CProjectInfo.h"
#include "CProjectPrint.h"
#include "CProjectProps.h"
#include "CPropGroups.h"
#include "CRecoveryJournal.h"
#include "CSplashForm.h"
#include "CWYSIWYGEngine.h"
#include "VeloraApp.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCommandLinkButton>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

namespace {
constexpr int kPdfPaneKind = 100;
constexpr int kPulseMs = 500;
// Kinds whose elements may belong to a group of which only one is checked.
constexpr int kGroupKinds[] = {50, 60, 235};

int GroupNumberOf(const QObject *element)
{
    const QVariant group = element->property("GroupNumber");
    return group.isValid() ? group.toInt() : -1;
}

// As findChild looks, children before grandchildren, but not below skip: the
// pages of a form may hold tens of thousands of elements and no command.
QAction *FindAction(const QObject *parent, const QString &name, const QObject *skip)
{
    const QObjectList &children = parent->children();
    for (QObject *child : children)
        if (auto *action = qobject_cast<QAction *>(child); action && action->objectName() == name)
            return action;
    for (QObject *child : children)
        if (child != skip)
            if (QAction *found = FindAction(child, name, skip))
                return found;
    return nullptr;
}

// The window reading a document now, and whether it was asked to close meanwhile.
// One document is read at a time: the open document is the program's.
struct TDocumentReading
{
    QPointer<QWidget> Window;
    bool CloseRequested = false;
};
TDocumentReading Reading;

// Reads a document while the window keeps answering: it repaints and hears a
// close request, which stops reading. Keys and clicks wait.
bool ReadWhileAnswering(QWidget *window, QWidget *pages, const QString &path, TProjectInfo &info,
                        std::uint32_t &versionTag)
{
    Reading = {window, false};
    const auto poll = [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !Reading.CloseRequested;
    };
    // Half-read pages are not painted.
    pages->setUpdatesEnabled(false);
    const bool loaded = LoadDocument(path, info, &versionTag, ShowLoadErrorDialog, poll);
    pages->setUpdatesEnabled(true);
    Reading.Window = nullptr;
    return loaded;
}
} // namespace

QString TFillerMainForm::WithVldExtension(const QString &path)
{
    const QFileInfo info(path);
    return info.path() + u'/' + info.completeBaseName() + QStringLiteral(".vld");
}

TFillerMainForm::TFillerMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FillerMainForm"));
    resize(1024, 768);
    m_plugInFolder = GlobalExecPath;
}

TFillerMainForm::~TFillerMainForm()
{
    qApp->removeEventFilter(this);
    if (m_pages)
        CloseDocument();
    // Elements first, then the kinds they came from.
    delete m_pages;
    m_pages = nullptr;
    if (GlobalPagesPageControl == nullptr || GlobalMainForm == this) {
        GlobalPagesPageControl = nullptr;
        GlobalMainForm = nullptr;
    }
    if (GlobalProjectProps == m_project.get())
        GlobalProjectProps = nullptr;
    m_project.reset();
    if (GlobalPlugIns == m_plugIns.get())
        GlobalPlugIns = nullptr;
    m_plugIns.reset();
}

QString TFillerMainForm::ProgramTitle() const
{
    return QStringLiteral("Velora Filler");
}

std::unique_ptr<TFillerINIInfo> TFillerMainForm::CreateSettings() const
{
    return std::make_unique<TFillerINIInfo>(GlobalAppINI);
}

void TFillerMainForm::FormCreate()
{
    InstallElementAccessibility();
    GlobalMainForm = this;
    setProperty("HelpContext", fhctx_Workspace);
    InstallOnlineHelpKey();
    m_pages = new TPageControl(nullptr);
    m_pages->setParent(this);
    m_pages->SetName(QStringLiteral("PagesPageControl"));
    m_pages->setObjectName(QStringLiteral("PagesPageControl"));
    m_pages->setDocumentMode(true);
    m_pages->tabBar()->setExpanding(false);
    // Not a click focus: a click on a tab must not take the keys from an element
    // before the element has been asked to commit (the paper takes them explicitly).
    m_pages->setFocusPolicy(Qt::TabFocus);
    m_pages->OnChanging = [this] {
        return AllowPageChange();
    };
    setCentralWidget(m_pages);
    GlobalPagesPageControl = m_pages;
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (!GlobalLoadingProject && !GlobalClearingProject)
            Guarded([this] { PageChanged(); });
    });

    m_settings = CreateSettings();
    m_projectInfo = std::make_unique<TProjectInfo>(nullptr);
    m_pulse = new QTimer(this);
    m_pulse->setInterval(kPulseMs);
    connect(m_pulse, &QTimer::timeout, this, [this] {
        Guarded([this] {
            GlobalNotifyCtrls(VRMSGPulse, 0, 0, true);
            if (m_journal)
                m_journal->SyncIfDue();
        });
    });
    qApp->installEventFilter(this);

    CreateMenus();
    CreateToolBars();
    CreateEmptyPanel();
    RebuildRecentMenu();
    statusBar();
    UpdateTitle();
    UpdateDocumentCommands();
}

QAction *TFillerMainForm::Action(const QString &objectName) const
{
    return FindAction(this, objectName, m_pages);
}

void TFillerMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    FormShow();
    // The document opens once the window is on the screen.
    QTimer::singleShot(0, this, [this] {
        if (!m_startDocument.isEmpty())
            OpenDocument(QFileInfo(m_startDocument).absoluteFilePath());
        else
            StartWithoutDocument();
    });
}

void TFillerMainForm::FormShow()
{
    TSplashForm splash;
    splash.show();
    LoadPlugIns();
}

void TFillerMainForm::LoadPlugIns()
{
    if (m_plugIns)
        return;
    m_project = std::make_unique<TProjectProps>(nullptr);
    GlobalProjectProps = m_project.get();
    m_plugIns = std::make_unique<TPlugIns>(m_plugInFolder);
    GlobalPlugIns = m_plugIns.get();
    Action(QStringLiteral("ViewPDFQuickDraw"))->setVisible(m_plugIns->Installed(kPdfPaneKind));
}

void TFillerMainForm::StartWithoutDocument()
{
    // Only the designer shows a welcome screen; the filler starts empty.
    if (m_settings->FirstRunEver())
        m_settings->SetFirstRunEver(false);
    else
        PostMessage(this, VRMSGWelcome, 10);
}

void TFillerMainForm::UpdateTitle()
{
    GlobalProjectName = m_documentPath;
    // The file's name and the changed marker first, where a title bar keeps them visible.
    // A new document not yet saved has no name but can have changes.
    if (m_documentPath.isEmpty())
        setWindowTitle(HasDocument() ? QStringLiteral("Untitled[*] - ") + ProgramTitle()
                                     : ProgramTitle());
    else
        setWindowTitle(QFileInfo(m_documentPath).fileName() + QStringLiteral("[*] - ")
                       + ProgramTitle() + QStringLiteral(" - ") + m_documentPath);
    setWindowModified(HasDocument() && GlobalProjectChanged);
}

bool TFillerMainForm::HasDocument() const
{
    return m_pages && m_pages->PageCount() > 0;
}

TPrinterPage *TFillerMainForm::ActivePage() const
{
    return GlobalPgScrollBox(GlobalActivePgIdx());
}

void TFillerMainForm::UpdateDocumentCommands()
{
    const bool open = HasDocument();
    if (m_emptyPanel && m_emptyPanel->isVisible() == open)
        UpdateEmptyPanel();
    for (const char *name : {"FileSaveAs", "FileClose", "FilePrint", "ViewActualSize",
                             "ViewFitToWidth", "ViewFitToPage", "ViewZoomIn", "ViewZoomOut",
                             "ViewNextPage", "ViewPreviousPage", "ViewResetForm"})
        Action(QString::fromLatin1(name))->setEnabled(open);
    Action(QStringLiteral("ViewValidateForm"))
        ->setEnabled(open && (GlobalVeloraFiller() || GlobalFilling));
    Action(QStringLiteral("FileSave"))->setEnabled(open && GlobalProjectChanged);
    if (m_zoomBox) {
        m_zoomBox->setEnabled(open);
        m_zoomUpDown->setEnabled(open);
        if (!open) {
            QScopedValueRollback guard(m_settingZoom, true);
            m_zoomBox->setCurrentText(QStringLiteral("100 %"));
            m_zoomUpDown->setValue(100);
        }
    }
}

void TFillerMainForm::RebuildRecentMenu()
{
    for (QAction *action : m_recentActions) {
        m_fileMenu->removeAction(action);
        delete action;
    }
    m_recentActions.clear();
    const QStringList &recents = m_settings->Recents();
    QAction *before
        = m_fileMenu->actions().value(m_fileMenu->actions().indexOf(m_recentSeparator) + 1);
    for (qsizetype i = 0; i < recents.size(); ++i) {
        const QString path = recents.at(i);
        auto *action = new QAction(QFileInfo(path).fileName(), m_fileMenu);
        action->setObjectName(QStringLiteral("Recent%1").arg(i));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] {
            Guarded([this, path] {
                if (AskSaveChanges(true))
                    OpenDocument(path);
            });
        });
        m_fileMenu->insertAction(before, action);
        m_recentActions << action;
    }
    if (!recents.isEmpty())
        m_recentActions << m_fileMenu->insertSeparator(before);
    UpdateEmptyPanel();
}

void TFillerMainForm::CreateEmptyPanel()
{
    m_emptyPanel = new QFrame(m_pages);
    m_emptyPanel->setObjectName(QStringLiteral("EmptyPanel"));
    m_emptyPanel->setAutoFillBackground(true);
    m_emptyPanel->setGeometry(m_pages->rect());
}

void TFillerMainForm::UpdateEmptyPanel()
{
    if (!m_emptyPanel)
        return;
    m_emptyPanel->setVisible(!HasDocument());
    if (HasDocument())
        return;
    // Rebuilt whole: the recent documents change with every open and save. Later, since
    // one of its buttons may be what brought us here.
    delete m_emptyPanel->layout();
    for (QWidget *child : m_emptyPanel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->deleteLater();
    }
    auto *outer = new QVBoxLayout(m_emptyPanel);
    outer->addStretch(1);
    auto *column = new QVBoxLayout;
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addLayout(column);
    row->addStretch(1);
    outer->addLayout(row);
    outer->addStretch(2);

    auto *heading = new QLabel(QStringLiteral("No form is open"), m_emptyPanel);
    heading->setObjectName(QStringLiteral("EmptyHeading"));
    QFont bigger = heading->font();
    bigger.setPointSizeF(bigger.pointSizeF() * 1.5);
    bigger.setBold(true);
    heading->setFont(bigger);
    column->addWidget(heading);
    const QStringList &recents = m_settings->Recents();
    auto *advice = new QLabel(
        recents.isEmpty()
            ? QStringLiteral("Open a form to fill it in (File > Open, Ctrl+O).")
            : QStringLiteral("Open a form to fill it in (File > Open, Ctrl+O), or pick one of "
                             "the forms you used last:"),
        m_emptyPanel);
    advice->setObjectName(QStringLiteral("EmptyAdvice"));
    column->addWidget(advice);
    auto *open = new QPushButton(QStringLiteral("&Open a Form..."), m_emptyPanel);
    open->setObjectName(QStringLiteral("EmptyOpen"));
    open->setIcon(Action(QStringLiteral("FileOpen"))->icon());
    connect(open, &QPushButton::clicked, Action(QStringLiteral("FileOpen")), &QAction::trigger);
    column->addWidget(open, 0, Qt::AlignLeft);
    constexpr int kRecentsShown = 5;
    for (qsizetype i = 0; i < qMin<qsizetype>(recents.size(), kRecentsShown); ++i) {
        const QString path = recents.at(i);
        auto *link = new QCommandLinkButton(QFileInfo(path).fileName(),
                                            QDir::toNativeSeparators(path), m_emptyPanel);
        link->setObjectName(QStringLiteral("EmptyRecent%1").arg(i));
        connect(link, &QCommandLinkButton::clicked, this, [this, path] {
            Guarded([this, path] {
                if (AskSaveChanges(true))
                    OpenDocument(path);
            });
        });
        column->addWidget(link);
    }
    m_emptyPanel->raise();
}

// ---------------------------------------------------------------------------
// Documents

void TFillerMainForm::OpenWithDialog(const QString &prefill)
{
    TFileRequest request;
    request.Caption = QStringLiteral("Open");
    // A folder that is gone (or the examples folder never made) sends the user home.
    request.InitialDir = QFileInfo(m_settings->LastOpenDir()).isDir()
        ? m_settings->LastOpenDir()
        : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    request.FileName = prefill;
    request.Filter = QString::fromLatin1(CVELORA_DOC_FILTER) + QStringLiteral("|All files (*)|*");
    request.DefaultExt = QStringLiteral("vld");
    const QString path = DialogService().OpenFileName(request);
    if (!path.isEmpty())
        OpenDocument(path);
}

bool TFillerMainForm::OpenDocument(const QString &path)
{
    // A file that is not there leaves the open document as it is; the reader says why.
    if (!QFileInfo(path).isFile())
        return LoadDocument(path, *m_projectInfo, &m_versionTag, ShowLoadErrorDialog);
    // Asked while another is being read (from a second start, say): opened after it.
    if (Reading.Window) {
        QTimer::singleShot(100, this, [this, path] { OpenDocument(path); });
        return false;
    }
    CloseDocument();
    bool loaded = false;
    {
        TGlobalFlagScope loading(GlobalLoadingProject);
        loaded = ReadWhileAnswering(this, m_pages, path, *m_projectInfo, m_versionTag);
        if (loaded) {
            if (GlobalVeloraFiller() || GlobalFilling)
                ApplyDefaultViews();
            const TPrinterOrientation before = PrinterService().DeviceMode().Orientation;
            for (int i = 0; i < m_pages->PageCount(); ++i) {
                if (TPrinterPage *page = GlobalPgScrollBox(i)) {
                    page->PrinterChanged();
                    PrinterService().DeviceMode().Orientation = page->PageOrientation();
                    page->PrinterChanged();
                }
            }
            PrinterService().DeviceMode().Orientation = before;
            GlobalNotifyCtrls(VRMSGPrinterChanged, std::uintptr_t(PrinterService().PrinterIndex()),
                              0, true);
        }
    }
    if (!loaded) {
        CloseDocument();
        // The close request that stopped reading, answered now that nothing is half open.
        if (std::exchange(Reading.CloseRequested, false))
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return false;
    }
    for (int i = 0; i < m_pages->PageCount(); ++i)
        if (auto *page = qobject_cast<TFillerScrollBox *>(GlobalPgScrollBox(i)))
            page->RelayoutElements();

    m_documentPath = path;
    UpdateTitle();
    m_settings->AddRecent(path);
    RebuildRecentMenu();
    m_settings->SetLastOpenDir(QFileInfo(path).absolutePath());
    GlobalClearChanges();
    UpdateDocumentCommands();
    PageChanged();
    m_pulse->start();
    {
        TGlobalFlagScope loading(GlobalLoadingProject);
        GlobalNotifyCtrls(VRMSGCalcReset, 0, 0, true);
        GlobalNotifyCtrls(VRMSGCalcUpdate, 0, 0, true);
    }
    update();
    if (GlobalVeloraFiller()) {
        ApplyDefaultViews();
        GlobalNotifyCtrls(VRMSGDocumentOpened, 0, 0, true);
    }
    GlobalClearChanges();
    OfferRecovery();
    return true;
}

void TFillerMainForm::ApplyDefaultViews()
{
    for (int i = 0; m_pages && i < m_pages->PageCount(); ++i) {
        TPrinterPage *page = GlobalPgScrollBox(i);
        const TProjectPropsPageProps *props = GlobalPgProps(i);
        if (!page || !props)
            continue;
        switch (props->PageDefaultView()) {
        case dvActualSize:
            page->ActualSize();
            break;
        case dvFitToWidth:
            page->FitTo(ftWindow, true);
            break;
        case dvFitToPage:
            page->FitTo(ftPage, true);
            break;
        case dvDesigned:
            break;
        }
        // A form is read from its top.
        page->HorzScrollBar()->setValue(0);
        page->VertScrollBar()->setValue(0);
    }
    ShowActiveZoom();
}

void TFillerMainForm::CloseDocument()
{
    if (!m_pages)
        return;
    m_pulse->stop();
    {
        TGlobalFlagScope clearing(GlobalClearingProject);
        CommitEdit();
        if (TVisualPgCtrl *focused = TVisualPgCtrl::FocusedElement())
            focused->KillFocus();
        m_pages->hide();
        for (int i = m_pages->count() - 1; i >= 0; --i) {
            QWidget *sheet = m_pages->widget(i);
            m_pages->removeTab(i);
            delete sheet;
        }
        // Anything else the document owned (non-visual elements) goes too.
        m_pages->DestroyComponents();
        m_pages->show();
        if (m_project)
            m_project->Clear();
        m_projectInfo->Clear();
    }
    // Closing is answered (saved, or changes not wanted): nothing is left to recover.
    DropJournal();
    m_documentPath.clear();
    UpdateTitle();
    GlobalClearChanges();
    UpdateDocumentCommands();
    EditStateChanged(nullptr);
}

bool TFillerMainForm::Save()
{
    // A refused text stops the save, as it stops printing: nothing half-checked is written.
    if (!HasDocument() || !CommitEdit())
        return false;
    // The file's own permission bits, not what this user could force (root can write anything).
    const QFileInfo info(m_documentPath);
    const bool readOnly
        = info.exists() && (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner));
    if (m_documentPath.isEmpty() || readOnly)
        return SaveAs(m_documentPath);
    return SaveTo(m_documentPath);
}

bool TFillerMainForm::SaveAs(const QString &suggested)
{
    if (!HasDocument() || !CommitEdit())
        return false;
    TFileRequest request;
    request.Caption = QStringLiteral("Save As");
    request.InitialDir = m_settings->LastSaveDir();
    request.FileName = suggested;
    request.Filter = QString::fromLatin1(CVELORA_DOC_FILTER);
    request.DefaultExt = QStringLiteral("vld");
    QString path = DialogService().SaveFileName(request);
    if (path.isEmpty())
        return false;
    path = WithVldExtension(path);
    // The dialog asked about the name typed; the forced extension may name another file.
    if (path.compare(m_documentPath, Qt::CaseSensitive) != 0 && QFileInfo::exists(path)
        && Global_MessageDlg(
               QStringLiteral("Save As"),
               QStringLiteral("%1 already exists.\rDo you want to replace it?").arg(path),
               mtWarning, mbYes | mbNo, 0)
            != mrYes)
        return false;
    return SaveTo(path);
}

bool TFillerMainForm::SaveTo(const QString &path)
{
    if (!CommitEdit())
        return false;
    GlobalNotifyCtrls(VRMSGAboutToSave, 0, 0, true);
    if (!SaveDocument(path, *m_projectInfo))
        return false;
    DropJournal();
    m_settings->SetLastSaveDir(QFileInfo(path).absolutePath());
    m_documentPath = path;
    m_settings->AddRecent(path);
    RebuildRecentMenu();
    GlobalClearChanges();
    UpdateTitle();
    UpdateDocumentCommands();
    statusBar()->showMessage(QStringLiteral("Saved to %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

bool TFillerMainForm::AskSaveChanges(bool withCancel)
{
    if (!GlobalProjectChanged || !HasDocument())
        return true;
    const QString name = m_documentPath.isEmpty() ? QStringLiteral("new project")
                                                  : QFileInfo(m_documentPath).fileName();
    const int answer
        = Global_MessageDlg(GlobalAppTitle(), QStringLiteral("Save changes to %1 ?").arg(name),
                            mtConfirmation, withCancel ? mbYesNoCancel : (mbYes | mbNo), 0);
    if (answer == mrYes) {
        Save();
        return !GlobalProjectChanged;
    }
    return withCancel && answer == mrNo;
}

void TFillerMainForm::closeEvent(QCloseEvent *event)
{
    // Reading stops at its next look at the window; the window closes after it.
    if (Reading.Window == this) {
        Reading.CloseRequested = true;
        event->ignore();
        return;
    }
    if (!AskSaveChanges(true)) {
        event->ignore();
        return;
    }
    CloseDocument();
    m_settings->WriteRecents();
    event->accept();
}

// ---------------------------------------------------------------------------
// Pages, zoom, editing

void TFillerMainForm::SetActiveZoom(int zoom)
{
    TPrinterPage *page = ActivePage();
    if (!page)
        return;
    page->SetZoom(qBound(ZoomMin, zoom, ZoomMax));
    ShowActiveZoom();
}

void TFillerMainForm::ShowActiveZoom()
{
    TPrinterPage *page = ActivePage();
    if (!page || !m_zoomBox)
        return;
    QScopedValueRollback guard(m_settingZoom, true);
    m_zoomBox->setCurrentText(QStringLiteral("%1 %").arg(page->Zoom()));
    m_zoomUpDown->setValue(page->Zoom());
}

void TFillerMainForm::StepZoom(int direction)
{
    TPrinterPage *page = ActivePage();
    if (!page)
        return;
    const int zoom = page->Zoom();
    int target = direction > 0 ? ZoomMax : ZoomMin;
    for (const int preset : {ZoomMin, 10, 25, 50, 75, 100, 125, 150, 200, 300, 400, 600, ZoomMax}) {
        if (direction > 0 && preset > zoom) {
            target = preset;
            break;
        }
        if (direction < 0 && preset < zoom)
            target = preset;
    }
    SetActiveZoom(target);
}

void TFillerMainForm::ZoomBoxEdited()
{
    if (m_settingZoom)
        return;
    bool ok = false;
    const int zoom = m_zoomBox->currentText().remove(u'%').trimmed().toInt(&ok);
    if (!ok) {
        ShowActiveZoom();
        return;
    }
    GlobalMadeChange();
    SetActiveZoom(zoom);
}

void TFillerMainForm::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || !HasDocument()) {
        event->ignore();
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    if (TPrinterPage *page = ActivePage())
        SetActiveZoom(page->Zoom() + notches * WheelZoomStep);
    event->accept();
}

void TFillerMainForm::PageChanged()
{
    // Tabs the user takes commit first; a change made without asking comes back here.
    if (!CommitEdit()) {
        ShowFocusedElementPage();
        return;
    }
    ShowActiveZoom();
    if (!GlobalVeloraFiller() && !GlobalFilling) {
        EditStateChanged(nullptr);
        return;
    }
    const TProjectPropsPageProps *props = GlobalPgProps(GlobalActivePgIdx());
    auto *element = props
        ? qobject_cast<TVisualPgCtrl *>(Global_FormElementRef(props->PageDefaultFocus()))
        : nullptr;
    if (element && element->parentWidget() == ActivePage() && element->isEnabled()
        && GlobalCanFocus(element)) {
        ActivePage()->ScrollInView(element->geometry());
        element->SetFocus(QPoint(-1, -1));
        EditStateChanged(element);
    } else {
        EditStateChanged(nullptr);
    }
}

void TFillerMainForm::GoToPage(int index)
{
    if (!m_pages || index < 0 || index >= m_pages->PageCount())
        return;
    if (index != m_pages->ActivePageIndex() && !CommitEdit())
        return;
    m_pages->SetActivePageIndex(index);
}

bool TFillerMainForm::AllowPageChange()
{
    const bool hadFocus = TVisualPgCtrl::FocusedElement() != nullptr;
    bool committed = false;
    Guarded([&] { committed = CommitEdit(); });
    // The keys leave with the element, to the pages rather than wherever Qt would put them.
    if (committed && hadFocus)
        m_pages->setFocus(Qt::OtherFocusReason);
    return committed;
}

void TFillerMainForm::ShowFocusedElementPage()
{
    TVisualPgCtrl *focused = TVisualPgCtrl::FocusedElement();
    if (!focused || !m_pages)
        return;
    for (int i = 0; i < m_pages->PageCount(); ++i) {
        if (GlobalPgScrollBox(i) != focused->parentWidget())
            continue;
        // Coming back is no page change: nothing to commit again, nothing to report twice.
        const QSignalBlocker quiet(m_pages);
        m_pages->SetActivePageIndex(i);
        break;
    }
    ShowActiveZoom();
    if (QWidget *editor = focused->Editor())
        editor->setFocus(Qt::OtherFocusReason);
}

void TFillerMainForm::Guarded(const std::function<void()> &step)
{
    try {
        step();
    } catch (const EVeloraError &error) {
        ShowApplicationError(error.Message());
    } catch (const std::exception &error) {
        ShowApplicationError(QString::fromLocal8Bit(error.what()));
    }
}

bool TFillerMainForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        // The setting covers every tool tip of the program, elements' hints above all.
        if (m_settings && !m_settings->Hints())
            return true;
        break;
    case QEvent::Enter:
        if (auto *element = qobject_cast<TBasePgCtrl *>(watched); element && isAncestorOf(element))
            ShowHint(element);
        break;
    case QEvent::Leave:
        if (auto *element = qobject_cast<TBasePgCtrl *>(watched); element && isAncestorOf(element))
            ShowHint(TVisualPgCtrl::FocusedElement());
        break;
    case QEvent::Resize:
        if (watched == m_pages && m_emptyPanel)
            m_emptyPanel->setGeometry(m_pages->rect());
        break;
    case QEvent::KeyPress:
        // Once, at the widget that has the keys (the filter sees the event again as it
        // travels up to the parents).
        if (auto *widget = qobject_cast<QWidget *>(watched); widget
            && widget == QApplication::focusWidget() && isAncestorOf(widget)
            && ScrollPageByKey(*static_cast<QKeyEvent *>(event)))
            return true;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TFillerMainForm::ScrollPageByKey(const QKeyEvent &key)
{
    // Boxes and the window's own edit fields use these keys themselves.
    QWidget *focus = QApplication::focusWidget();
    if (!m_pages || !focus || (focus != m_pages && !m_pages->isAncestorOf(focus))
        || dynamic_cast<TMessageTarget *>(focus))
        return false;
    TPrinterPage *page = ActivePage();
    if (!page)
        return false;
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    QScrollBar *vertical = page->VertScrollBar();
    if (mods == Qt::NoModifier && key.key() == Qt::Key_PageDown)
        vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else if (mods == Qt::NoModifier && key.key() == Qt::Key_PageUp)
        vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
    else if (mods == Qt::ControlModifier && key.key() == Qt::Key_Home)
        vertical->setValue(vertical->minimum());
    else if (mods == Qt::ControlModifier && key.key() == Qt::Key_End)
        vertical->setValue(vertical->maximum());
    else
        return false;
    return true;
}

void TFillerMainForm::ShowHint(const QWidget *element)
{
    const QString hint
        = element && m_settings && m_settings->Hints() ? element->toolTip() : QString();
    if (!hint.isEmpty())
        statusBar()->showMessage(hint);
    else if (statusBar()->currentMessage() == m_shownHint)
        statusBar()->clearMessage();
    m_shownHint = hint;
}

void TFillerMainForm::EditStateChanged(QObject *source)
{
    ShowHint(source ? TVisualPgCtrl::FocusedElement() : nullptr);
    TContextMenuState state;
    if (const auto *provider = dynamic_cast<const TContextMenuStateSource *>(source))
        provider->GetContextMenuState(state);
    const std::pair<const char *, bool> flags[] = {
        {"EditUndo", state.Undo},          {"EditRedo", state.Redo},   {"EditCut", state.Cut},
        {"EditCopy", state.Copy},          {"EditPaste", state.Paste}, {"EditDelete", state.Delete},
        {"EditSelectAll", state.SelectAll}};
    for (const auto &[name, on] : flags)
        if (QAction *action = Action(QString::fromLatin1(name)))
            action->setEnabled(on);
}

void TFillerMainForm::SendToFocused(std::uint32_t msg)
{
    QWidget *focus = QApplication::focusWidget();
    // A menu opened from the keyboard holds the keys until it closes; the element it was
    // opened over is still the one to edit.
    if (!focus || qobject_cast<QMenuBar *>(focus) || qobject_cast<QMenu *>(focus))
        if (TVisualPgCtrl *element = TVisualPgCtrl::FocusedElement())
            focus = element->Editor();
    if (dynamic_cast<TMessageTarget *>(focus)) {
        SendMessage(focus, msg);
        return;
    }
    // Ordinary edit boxes (the zoom box) do their own editing.
    if (auto *line = qobject_cast<QLineEdit *>(focus)) {
        switch (msg) {
        case VRMSGUndo:
            line->undo();
            break;
        case VRMSGRedo:
            line->redo();
            break;
        case VRMSGCut:
            line->cut();
            break;
        case VRMSGCopy:
            line->copy();
            break;
        case VRMSGPaste:
            line->paste();
            break;
        case VRMSGClear:
            line->del();
            break;
        case VRMSGSelectAll:
            line->selectAll();
            break;
        default:
            break;
        }
    }
}

bool TFillerMainForm::CommitEdit()
{
    // A refused text has been reported by its element, which keeps the focus.
    TVisualPgCtrl *focused = TVisualPgCtrl::FocusedElement();
    return !focused || SendMessage(focused, VRMSGCommitEdit, ObjectParam(focused)) == 1;
}

void TFillerMainForm::ResetForm()
{
    if (Global_MessageDlg(GlobalAppTitle(),
                          QStringLiteral("Reset form to defaults (current content maybe "
                                         "lost!)\r\rContinue ?"),
                          mtConfirmation, mbYes | mbNo, 0)
        != mrYes)
        return;
    GlobalNotifyCtrls(VRMSGResetForm, 0, 0, true);
    GlobalMadeChange();
}

bool TFillerMainForm::ValidateForm(bool continueMode)
{
    if (!m_pages)
        return true;
    TVisualPgCtrl *firstFailing = nullptr;
    int firstPage = -1;
    QStringList messages;
    QList<int> groupsSeen;
    for (int page = 0; page < m_pages->PageCount(); ++page) {
        TPrinterPage *view = GlobalPgScrollBox(page);
        if (!view)
            continue;
        QList<TVisualPgCtrl *> elements;
        for (QObject *child : view->children())
            if (auto *element = qobject_cast<TVisualPgCtrl *>(child))
                elements << element;
        std::stable_sort(elements.begin(), elements.end(),
                         [](const TVisualPgCtrl *a, const TVisualPgCtrl *b) {
                             return a->TabOrder() < b->TabOrder();
                         });
        for (TVisualPgCtrl *element : elements) {
            // A group is reported once, through its first element in TAB order.
            bool check = element->VisualValidationProps()
                && element->VisualValidationProps()->ValidationRequired();
            const int group = GroupNumberOf(element);
            if (group != -1
                && std::find(std::begin(kGroupKinds), std::end(kGroupKinds), element->ClassTypeID())
                    != std::end(kGroupKinds)) {
                if (groupsSeen.contains(group))
                    check = false;
                else
                    groupsSeen << group;
            }
            TVisualPgCtrl *failed = nullptr;
            QString message;
            const bool passed = element->Aquired(failed, message, check, 0);
            // What a screen reader says of a box follows its last check.
            (failed ? failed : element)->SetValidationFailed(!passed);
            if (passed)
                continue;
            if (!firstFailing) {
                firstFailing = failed ? failed : element;
                firstPage = page;
            }
            if (!message.isEmpty())
                messages << message;
        }
    }
    if (!firstFailing)
        return true;
    DialogService().Beep();
    GoToPage(firstPage);
    if (GlobalCanFocus(firstFailing)) {
        try {
            firstFailing->SetFocus(QPoint(-1, -1));
        } catch (const EVeloraError &error) {
            // The box being left refused its text; it keeps the focus.
            Global_MessageDlg(GlobalAppTitle(), error.Message(), mtError, mbOK, 0);
        }
    }
    TValidationFailureDlg dialog(this, continueMode, messages.join(u'\r'));
    const int answer = DialogService().ExecModal(dialog);
    return continueMode && answer == mrYes;
}

bool TFillerMainForm::Print(bool showDialog, bool collate, int range, int copies, int from, int to)
{
    if (!HasDocument())
        return false;
    if (!CommitEdit() || !ValidateForm(true))
        return false;
    const int count = m_pages->PageCount();
    // Page numbers may come from a document's button: keep them to the pages there are.
    from = qBound(1, from <= 0 ? 1 : from, count);
    to = qBound(from, to <= 0 ? count : to, count);
    TPrinterService &printers = PrinterService();
    if (showDialog) {
        std::unique_ptr<QPrinter> printer = printers.CreatePrinter();
        TPrintRequest request;
        request.Printer = printer.get();
        request.MinPage = 1;
        request.MaxPage = count;
        request.FromPage = range == 2 ? from : 0;
        request.ToPage = range == 2 ? to : 0;
        request.Copies = copies;
        request.Collate = collate;
        // Printing to a file offers the form's name beside the form, or the file printed to
        // last; the dialog keeps a real printer the default otherwise.
        const QFileInfo form(m_documentPath);
        printer->setDocName(form.completeBaseName());
        if (!m_printFileName.isEmpty()) {
            printer->setOutputFileName(m_printFileName);
        } else if (printer->outputFormat() == QPrinter::PdfFormat && !m_documentPath.isEmpty()) {
            printer->setOutputFileName(form.absolutePath() + u'/' + form.completeBaseName()
                                       + QStringLiteral(".pdf"));
        }
        if (!DialogService().PrintDialog(request))
            return false;
        if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
            m_printFileName = printer->outputFileName();
        // The dialog may have chosen another printer, or a file for the built-in one.
        if (printer->outputFormat() == QPrinter::PdfFormat) {
            printers.SetPrinter(TPrinterService::BuiltInPrinterName);
            if (!printer->outputFileName().isEmpty())
                printers.SetOutputFileName(printer->outputFileName());
        } else {
            printers.SetPrinter(printer->printerName());
        }
        copies = request.Copies;
        collate = request.Collate;
        if (request.FromPage > 0) {
            range = 2;
            from = qBound(1, request.FromPage, count);
            to = qBound(from, request.ToPage, count);
        }
    }
    printers.DeviceMode().Copies = qMax(1, copies);
    printers.DeviceMode().Collate = collate;
    // Elements lay out for the printer they print on.
    for (int i = 0; i < count; ++i)
        if (TPrinterPage *page = GlobalPgScrollBox(i))
            page->PrinterChanged();
    GlobalNotifyCtrls(VRMSGPrinterChanged, std::uintptr_t(printers.PrinterIndex()), 0, true);
    int first = 0;
    int last = count - 1;
    if (range == 1)
        first = last = GlobalActivePgIdx();
    else if (range == 2) {
        first = from - 1;
        last = to - 1;
    }
    const bool printed = GlobalPrintedProject(
        GlobalProjectProps, QFileInfo(m_documentPath).fileName(), first, last, false, true, this);
    WYSIWYGEngineRefreshPrnPgRefs();
    return printed;
}

void TFillerMainForm::ToggleSetting(const char *name, bool on)
{
    if (QAction *action = Action(QString::fromLatin1(name)))
        action->setChecked(on);
}

// ---------------------------------------------------------------------------
// Messages

void TFillerMainForm::Dispatch(TMessage &message)
{
    switch (message.Msg) {
    case VRMSGIsFiller:
        message.Result = 0;
        break;
    case VRMSGCommand: {
        const auto *argument = reinterpret_cast<const QString *>(message.LParam);
        message.Result = RunCommand(int(message.WParam), argument ? *argument : QString());
        break;
    }
    case VRMSGAskSaveChanges:
        message.Result = AskSaveChanges(message.WParam == 1) ? 1 : 0;
        break;
    case VRMSGQuickDrawPDFs:
        message.Result = m_settings && m_settings->PDFQuickDraw() ? 1 : 0;
        break;
    case VRMSGProjectChanged:
        if (QAction *save = Action(QStringLiteral("FileSave")))
            save->setEnabled(HasDocument() && message.WParam != 0);
        setWindowModified(HasDocument() && message.WParam != 0);
        break;
    case VRMSGEditStateChanged:
        // LParam 0: the control is letting go, so nothing can be edited.
        EditStateChanged(message.LParam ? ParamObject<QObject>(message.WParam) : nullptr);
        break;
    case VRMSGCommitEdit:
        // The element may have gone since the message was posted; only the focused one edits.
        if (TVisualPgCtrl *focused = TVisualPgCtrl::FocusedElement();
            focused && ObjectParam(focused) == message.WParam)
            message.Result = SendMessage(focused, VRMSGCommitEdit, message.WParam);
        break;
    case VRMSGActivePageChanged:
        PageChanged();
        break;
    case VRMSGEditCommitted:
        RecordCommittedEdit(ParamObject<TVisualPgCtrl>(message.WParam));
        break;
    case VRMSGVisualPgCtrlTextChanged:
        // Only the elements that follow texts: typing costs the same in any form.
        message.Result = TBasePgCtrl::NotifyTextFollowers(message.WParam);
        break;
    case VRMSGPagePaperChange:
        GlobalNotifyCtrls(VRMSGPagePaperChange, message.WParam, message.LParam, true);
        if (TPrinterPage *page = ActivePage())
            page->PrinterChanged();
        break;
    default:
        break;
    }
}
