#pragma once
// The designer's main window: the filler's window with design mode added. A
// surface designer sits on the active page; the element commands work on its
// selection, and every design action is recorded in one history for the whole
// document, replayed by one handler for both undo and redo. A toolbar button
// switches the document between designing and filling it in.

#include "CFillerMainForm.h"
#include "CUndoRedoTypes.h"

#include <QList>
#include <QPointer>
#include <memory>

class QAction;
class QDockWidget;
class QScrollArea;
class QWidget;
class TCustomSurfaceDesigner;
class TObjectInspectorForm;
class TPaletteForm;
class TPrinterPage;
class TSurfaceDesigner;
class TUndoRedo;
class TUndoRedoItem;
class TUndoRedoTypes_Base;
class TUndoRedoTypes_DblClickDlg;
class TUndoRedoTypes_Page;
class TBasePgCtrl;
class TVisualPgCtrl;

class TDesignerMainForm : public TFillerMainForm
{
    Q_OBJECT
public:
    // The numbers the one edit handler tells its commands apart by.
    enum TEditCommand {
        ecUndo,
        ecRedo,
        ecCut,
        ecCopy,
        ecPaste,
        ecDelete,
        ecSelectAll,
        ecDuplicate
    };

    // The kinds of new document: paper, or a web form fitting a browser window of that size.
    enum TNewDocumentKind { ndPaper, ndWeb640, ndWeb800, ndWeb1024 };

    explicit TDesignerMainForm(QWidget *parent = nullptr);
    ~TDesignerMainForm() override;

    void FormCreate() override;
    void Dispatch(TMessage &message) override;

    TSurfaceDesigner *SurfaceDesigner1() const { return m_designer1.get(); }
    TPaletteForm *Palette() const { return m_palette; }
    TObjectInspectorForm *Inspector() const { return m_inspector; }
    // The designer of the non-visual strip.
    TSurfaceDesigner *SurfaceDesigner2() const { return m_designer2.get(); }
    // The button standing for a non-visual element on the strip, or null.
    QWidget *StripButtonOf(const QObject *element) const;
    TUndoRedo &DesignerUndoRedo() const { return *m_undo; }
    // Whether the document is being designed (not filled in).
    bool DesignMode() const;
    // Switches between designing and filling; false when the focused element refused its edit.
    bool SetDesignMode(bool design);
    // The edit commands on the page designer's selection (the filler's editing in filling mode).
    void EditCommand(int command);
    void BringToFront();
    void SendToBack();
    // In screen pixels at the current zoom; where the next paste lands.
    int PasteOffset() const { return m_pasteOffset; }
    // Appends a page with the active page's settings and shows it; recorded when asked.
    void InsertPage(bool record = true);
    // The inspector shows the active page's settings, nothing selected.
    void ShowPageProperties();
    // Asks, then deletes the active page (not the last one left).
    void DeletePage();
    // Changes a published property of each object (a property path such as
    // "VisualBorderProps.BorderWidth", written as PropertyValueText gives it) as one
    // undoable step; false, changing nothing, when an object lacks it or refuses the value.
    // Renames an element as one undoable step. A name that is not valid or is taken changes
    // nothing: an element tells the user why itself, another component raises the reason.
    bool Rename(QObject *object, const QString &name);
    // Closes the document (asking to save first) and starts a new one in design mode.
    void NewDocument(TNewDocumentKind kind);
    // The element kind the palette has chosen, 0 for none: the next press on the page
    // draws a band, and the release places an element of the kind there.
    void SetPaletteKind(int kind);
    int PaletteKind() const { return m_paletteKind; }
    // Adds an element of the kind on the active page at rect (page coordinates; an empty
    // rect takes the kind's own size at the zoom), at least 8 x 8; recorded. Null when the
    // kind is not installed.
    TBasePgCtrl *CreateElement(int kind, QRect rect, bool select);
    bool ChangeProperty(const QList<QObject *> &objects, const QString &path, const QString &value);
    // The TAB order and find dialogs (CDesignerTabOrder.cpp): made on first use, shown or
    // closed by their commands; they follow the elements and the page shown, close while the
    // form is filled in and come back after, and go with the document.
    void ToggleTabOrderDialog();
    void ToggleFindDialog();
    class TTabOrderDlg *TabOrderDialog() const;
    class TFindFormElementDlg *FindDialog() const;
    // New TAB order numbers, recorded as one undoable step.
    void ApplyTabOrder(const QList<std::pair<TVisualPgCtrl *, int>> &orders);
    void ElementsChangedForDialogs(bool tabOrder, bool find);
    void ScheduleElementDialogsUpdate();
    void WatchHistoryForElementDialogs();
    void ElementDialogsFollowPage();
    // Commands enabled while designing; dialogs put away for filling in, freed without document.
    void ElementDialogsFollowMode();

signals:
    // An element was placed from the palette's choice, which is now cleared.
    void PaletteChoiceCleared();

protected:
    QString ProgramTitle() const override;
    void ShowActiveZoom() override;
    void FormShow() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void CreateMenus() override;
    void CreateToolBars() override;
    void UpdateDocumentCommands() override;
    void PageChanged() override;
    void EditStateChanged(QObject *source) override;

private:
    void SetUpDesigner();
    // Settings and the welcome screen (CDesignerWelcome.cpp).
public:
    class TDesignerINIInfo &DesignerSettings() const;
    // The welcome window while it is open, else null.
    class TWelcomeForm *WelcomeForm() const;

protected:
    std::unique_ptr<TFillerINIInfo> CreateSettings() const override;

private:
    // View > Use Welcome Screen, and the Page and Object toolbars' checks.
    void CreateWelcomeMenus();
    void ApplyToolBarSettings();
    // A request of the welcome window (0x85F4): its code and, for a recent document, the index.
    void WelcomeRequest(int code, int index);
    void ShowWelcome();
    void CloseWelcome();
    void SetUseWelcome(bool on);
    // The floating tool windows' places, kept for the next start.
    void StoreToolWindowBounds();
    // The edit state and the inspector follow the designer's selection.
    void FollowSelection(TSurfaceDesigner &designer);
    // The designer follows the active page in design mode and lets go otherwise.
    void AttachDesigner();
    void UpdateDesignCommands();
    // The designer's handlers.
    void CtrlMoved(const QList<QWidget *> &ctrls, int key, int grabber, bool horz, bool vert);
    void BeforeCtrlsDeleted(const QList<QWidget *> &ctrls);
    void CtrlsPasted(const QList<QWidget *> &ctrls);
    // Takes an element off its page and out of the document's owner without freeing it;
    // records the removal when asked.
    void RemoveElement(QWidget *element, bool record);
    // Puts an element back on a page at its child index.
    void RestoreElement(QWidget *element, TPrinterPage *page);
    // Takes the page out of the document, its surface and elements kept for a record.
    void RemovePage(int index, bool record);
    // Puts a page a record kept back at the index (appended past the end); its index.
    int RestorePage(TUndoRedoTypes_Page &entry, int index);
    // A tab dragged onto another: the project's pages follow.
    void PageMoved(int from, int to);
    void PlaceFromPalette(const QRect &band);
    // The model's seams to the designer (CDesignerHooks.cpp).
    void ServeModelHooks(bool serve);
    // The elements selected on the current designer (those behind strip buttons there).
    QList<QWidget *> SelectedElements() const;
    void SelectElement(QWidget *element, bool keepSelection);
    void RecordDialogEdit(QObject *object, const QString &property, const QString &oldValue,
                          const QString &newValue);
    void ApplyDialogEdit(TUndoRedoTypes_DblClickDlg &entry);
    // A double-click: the selected element's own dialog, or the page's with none selected.
    void OpenEditDialog();
    // File > Export To HTML: the export window on the document (CDesignerExport.cpp).
    void ExportToHTML();
    // The palette and inspector tool windows (CDesignerDocks.cpp).
    void SetUpDocks();
    QDockWidget *AddToolDock(QWidget *tool, const char *name, const char *section, bool dockedLeft,
                             QAction *toggle);
    void FillPalette();
    void ShowPaletteTab(int index);
    // Shown while designing, each as its View menu check says.
    void UpdateDocks();
    // The inspector shows the selected elements, or the active page's settings.
    void ScheduleInspectorUpdate();
    void UpdateInspector();
    // The non-visual strip (CDesignerStrip.cpp).
    void SetUpStrip();
    TSurfaceDesigner *CurrentDesigner() const;
    QString StripHint(TBasePgCtrl *element) const;
    TBasePgCtrl *ElementOfButton(const QWidget *button) const;
    void AddStripButton(TBasePgCtrl *element);
    void RemoveStripButton(const QObject *element);
    // A button per non-visual element of the document.
    void FillStrip();
    // Places the buttons; the strip shows while designing a document that has any.
    void LayoutStrip();
    void StripCommand(int command);
    void StripPasted(const QList<QWidget *> &ctrls);
    // A non-visual element leaves the document or is destroyed.
    void NonVisualGoing(QObject *element);
    void GatherNonVisualElements();
    // The page's scroll bars and the designer's overlay stay above its elements.
    void RaisePageChromeOf(TPrinterPage *page);
    // Applies a record for undo and redo alike.
    void ApplyRecord(TUndoRedoItem *item, bool isUndo);
    std::unique_ptr<TUndoRedoTypes_Base> NewRecord(int id) const;
    void Record(std::unique_ptr<TUndoRedoTypes_Base> undo,
                std::unique_ptr<TUndoRedoTypes_Base> redo);
    // An undo/redo pair naming the elements at their child indexes (idCtrlAdded, idCtrlRemoved).
    void RecordElements(TUndoRedoTypes_ID id, const QList<QWidget *> &elements);
    // A pasted element joins the document, renamed when its name is taken.
    void AdoptPasted(TBasePgCtrl *element);
    void ChangeZOrder(bool toFront);
    bool Replaying() const;
    static bool CanPaste();

    QPointer<TWelcomeForm> m_welcomeForm;
    QAction *m_welcomeAction = nullptr;
    std::unique_ptr<TUndoRedo> m_undo;
    std::unique_ptr<TSurfaceDesigner> m_designer1;
    std::unique_ptr<TSurfaceDesigner> m_designer2;
    QWidget *m_stripPanel = nullptr;
    QWidget *m_stripContent = nullptr;
    QScrollArea *m_stripScroll = nullptr;
    struct TStripButton
    {
        QPointer<QWidget> Button;
        QPointer<QWidget> Element;
    };
    QList<TStripButton> m_strip;
    QPointer<TTabOrderDlg> m_tabOrderDlg;
    QPointer<TFindFormElementDlg> m_findDlg;
    bool m_tabOrderDlgWasOpen = false;
    bool m_findDlgWasOpen = false;
    bool m_elementDialogsWatchHistory = false;
    // Whether the strip's designer, entered last, takes the edit commands.
    bool m_stripCurrent = false;
    QAction *m_designAction = nullptr;
    int m_pasteOffset = 8;
    int m_paletteKind = 0;
    TPaletteForm *m_palette = nullptr;
    TObjectInspectorForm *m_inspector = nullptr;
    bool m_inspectorPending = false;
    QDockWidget *m_paletteDock = nullptr;
    QDockWidget *m_propertiesDock = nullptr;
    QAction *m_paletteAction = nullptr;
    QAction *m_propertiesAction = nullptr;
    bool m_docksReady = false;
    // The document whose stored palette tab was shown.
    QString m_paletteTabShownFor;
    bool m_switching = false;
};
