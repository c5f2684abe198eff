#pragma once
// The filler's main window: one document, its pages as tabs, typing, checking
// and saving. The designer's main window derives from it and extends its
// overridable steps.

#include "CMessages.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QKeyEvent;
class QMenu;
class QSpinBox;
class QTimer;
class QToolBar;
class TFillerINIInfo;
class TPageControl;
class TPlugIns;
class TPrinterPage;
class TProjectInfo;
class TProjectProps;
class TRecoveryJournal;
class TVisualPgCtrl;
struct TFillerAction;
struct TFillerCommand;

class TFillerMainForm : public QMainWindow, public TMessageTarget
{
    Q_OBJECT
public:
    static constexpr int ZoomMin = 5;
    static constexpr int ZoomMax = 800;
    static constexpr int WheelZoomStep = 8;

    explicit TFillerMainForm(QWidget *parent = nullptr);
    ~TFillerMainForm() override;

    // Second step of construction, where the overridable steps reach the descendant.
    virtual void FormCreate();
    // Folder the plug-ins are loaded from when the window is first shown.
    void SetPlugInFolder(const QString &folder) { m_plugInFolder = folder; }
    // Creates the project and loads the plug-ins (done when first shown).
    void LoadPlugIns();
    // The command-line argument, opened once the window is shown.
    void SetStartDocument(const QString &path) { m_startDocument = path; }
    // Whether committed edits go to the recovery journal and a journal left behind is
    // offered back: for people filling the form in, not for unattended runs, which type
    // nothing of their own to lose and must not take or remove another run's journal.
    void SetRecoveryJournal(bool on) { m_recoveryJournal = on; }

    // Document operations; each tells the user what went wrong.
    bool OpenDocument(const QString &path);
    void CloseDocument();
    bool Save();
    bool SaveAs(const QString &suggested = QString());
    // True to proceed: nothing unsaved, saved, or (with Cancel) not wanted.
    bool AskSaveChanges(bool withCancel);
    // True when every element passes, or (continue mode) the user publishes anyway.
    bool ValidateForm(bool continueMode);
    // Prints pages (range 0 all, 1 the current page, 2 from..to, 1-based), asking first when
    // showDialog. False when nothing was printed.
    bool Print(bool showDialog, bool collate, int range, int copies, int from, int to);
    // A button's command; the result is the message answer.
    std::intptr_t RunCommand(int code, const QString &argument);

    const QString &DocumentPath() const { return m_documentPath; }
    bool HasDocument() const;
    TPageControl *PagesPageControl() const { return m_pages; }
    TPrinterPage *ActivePage() const;
    TFillerINIInfo &Settings() const { return *m_settings; }
    TProjectInfo &ProjectInfo() const { return *m_projectInfo; }
    QComboBox *ZoomBox() const { return m_zoomBox; }
    QAction *Action(const QString &objectName) const;
    QMenu *FileMenu() const { return m_fileMenu; }

    void Dispatch(TMessage &message) override;

protected:
    virtual QString ProgramTitle() const;
    // The settings object, read once when the window is created; a descendant adds its keys.
    virtual std::unique_ptr<TFillerINIInfo> CreateSettings() const;
    virtual void CreateMenus();
    virtual void CreateToolBars();
    // Once, when first shown: plug-ins, project, command line.
    virtual void FormShow();
    // In the designer, what happens when there is no document to open at start.
    virtual void StartWithoutDocument();
    virtual void UpdateDocumentCommands();
    virtual void PageChanged();
    virtual void EditStateChanged(QObject *source);
    void UpdateTitle();
    void RebuildRecentMenu();
    void ApplyDefaultViews();
    void SetActiveZoom(int zoom);
    // To the next zoom preset above (1) or below (-1) the active page's zoom.
    void StepZoom(int direction);
    // The element's hint in the status bar while hints are on; null clears it.
    void ShowHint(const QWidget *element);
    // After every zoom change of the active page.
    virtual void ShowActiveZoom();
    // False when the focused element refused its text (and said why).
    bool CommitEdit();
    void SendToFocused(std::uint32_t msg);
    void ResetForm();
    void ToggleSetting(const char *name, bool on);
    // Runs a step started by a Qt signal: an error ends the step here, shown as the
    // application's handler shows it, and never travels through Qt's dispatch.
    static void Guarded(const std::function<void()> &step);

    // Tool tips show only while the "Hints" setting is on.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // Menus and toolbars are built from ActionTable (CFillerActions.cpp), button commands
    // run from CommandTable (CFillerCommands.cpp); members, so their rows reach private steps.
    static const TFillerAction ActionTable[];
    static const TFillerCommand CommandTable[];
    QAction *AddAction(QMenu *menu, const TFillerAction &row);
    void AddZoomControls(QToolBar *bar);
    // The document extension in place of the one given.
    static QString WithVldExtension(const QString &path);
    void ZoomBoxEdited();
    void OpenWithDialog(const QString &prefill);
    bool SaveTo(const QString &path);
    void GoToPage(int index);
    // Before a tab changes: the focused element commits, or the tab stays.
    bool AllowPageChange();
    // The page of the element that kept the focus comes back, with the keys.
    void ShowFocusedElementPage();
    // Committed edits go to the document's recovery journal while a form is being filled; at
    // open, a journal newer than the document is offered back (CFillerRecovery.cpp).
    void RecordCommittedEdit(TVisualPgCtrl *element);
    void OfferRecovery();
    void DropJournal();
    // What the window says while no document is open; shown only then.
    void CreateEmptyPanel();
    void UpdateEmptyPanel();
    // Page Up, Page Down, Ctrl+Home and Ctrl+End scroll the page when no box takes them.
    bool ScrollPageByKey(const QKeyEvent &key);

    QString m_documentPath;
    QString m_plugInFolder;
    QString m_startDocument;
    std::uint32_t m_versionTag = 0;
    bool m_shownOnce = false;
    bool m_settingZoom = false;
    std::unique_ptr<TFillerINIInfo> m_settings;
    std::unique_ptr<TProjectInfo> m_projectInfo;
    std::unique_ptr<TProjectProps> m_project;
    std::unique_ptr<TPlugIns> m_plugIns;
    TPageControl *m_pages = nullptr;
    QTimer *m_pulse = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_viewMenu = nullptr;
    QAction *m_recentSeparator = nullptr;
    QList<QAction *> m_recentActions;
    QComboBox *m_zoomBox = nullptr;
    QSpinBox *m_zoomUpDown = nullptr;
    QWidget *m_emptyPanel = nullptr;
    // The file last printed to, offered again until the program closes.
    QString m_printFileName;
    std::unique_ptr<TRecoveryJournal> m_journal;
    bool m_recoveryJournal = true;
    // The hint the status bar shows, so that only a hint is cleared, never another message.
    QString m_shownHint;
    QList<QToolBar *> m_toolBars;
};
