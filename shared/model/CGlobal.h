#pragma once
// State and services shared by the programs, the shared library and the plug-ins.

#include "CDialogService.h" // Global_MessageDlg, GlobalAppTitle
#include "CPublished.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

class QImage;
class QObject;
class QWidget;
class TComponent;
class TPageControl;
class TPrinterPage;
class TPropGroup;
class TPropGroupPDF;
class TProjectProps;
class TProjectPropsPageProps;
class TUndoRedo;

// Application title format: the program's name goes in place of %s.
inline constexpr const char *CGLOBAL_DEF_APPTITLE = "Velora %s";
// Version tag at the head of every document file.
inline constexpr std::uint32_t CGLOBAL_VLD_VER1 = 1;

// Each global says who sets it and who reads it.

// The open document's project: set by the main window at start (and by the
// document builder); read by document I/O, printing and the element kinds.
extern TProjectProps *GlobalProjectProps;
// Shift of the current print job in printer pixels, 0 when no offset applies: set
// by project printing per page; read by the page drawing of the same print.
extern int GlobalDirtyPrnXOfs;
extern int GlobalDirtyPrnYOfs;

// Unsaved changes: set by GlobalMadeChange and GlobalClearChanges; read by the
// main window (Save enabled, asking before close).
extern bool GlobalProjectChanged;
// Set by document reading and plug-in loading; read by elements and groups so
// that nothing relays out, validates or reports a change while reading.
extern bool GlobalLoadingProject;
// Set by the main window while it closes a document; read by elements and
// groups, which then neither validate nor look up linked elements.
extern bool GlobalClearingProject;
// Set while the document builder adds a page; read by the page settings, which
// then do not report their changes.
extern bool GlobalAddingPage;
// While the designer creates an element from the palette or on request.
extern bool GlobalAddingControl;
// Result of TPropHelper::Translated (the caption of a translated property):
// set by the property helper; read by whoever asked, the inspector's
// translate callback and the tests.
extern QString GlobalGeneralString;

// The program's main window, which answers the main-window messages: set by
// the main window (and the document builder); read by everything that sends them.
extern QWidget *GlobalMainForm;
// Path of the open document, empty when it has none yet: set by the main window whenever
// the path changes; read by the e-mail action, which attaches the document.
extern QString GlobalProjectName;
// Owner of every page surface and element of the open document: set by the main
// window (and the document builder); read by element lookups, I/O and printing.
extern TPageControl *GlobalPagesPageControl;
// Whether the open document is being filled in: set by the project when its
// Filling flag changes; read by elements (validation, focus, drawing).
extern bool GlobalFilling;

// Elements are being pasted: set by the surface designer's paste for its duration (and
// by the designer's window around it); read by elements and groups to skip relayout and checks.
extern bool GlobalPasting;
// The files copied visual and non-visual elements pass through (GlobalAppDataPath +
// "Velora/DATA.v" and "Velora/DATA.nv"): read by the designer's cut, copy and paste.
QString GlobalAppVisualClipboardFile();
QString GlobalAppNonVisualClipboardFile();

// Sets a flag for the life of a scope and restores it even when an error passes through.
class TGlobalFlagScope
{
public:
    explicit TGlobalFlagScope(bool &flag, bool value = true) : m_flag(flag), m_old(flag)
    {
        m_flag = value;
    }
    ~TGlobalFlagScope() { m_flag = m_old; }
    TGlobalFlagScope(const TGlobalFlagScope &) = delete;
    TGlobalFlagScope &operator=(const TGlobalFlagScope &) = delete;

private:
    bool &m_flag;
    bool m_old;
};

// Page access; a page index is a tab index of GlobalPagesPageControl.
int GlobalActivePgIdx();
// The page view of a page (first child of its tab sheet), or null.
TPrinterPage *GlobalPgScrollBox(int index);
// The sheet widget of a page's view, or null.
QWidget *GlobalPgPaintBox(int index);
// The page settings of a page, or null.
TProjectPropsPageProps *GlobalPgProps(int index);
// The page whose settings own the group, -1 when none.
int GlobalPgPropGroupPgNo(const TPropGroup *group);

void GlobalMadeChange();
void GlobalClearChanges();

// Program identity, asked of the main window.
bool GlobalVeloraFiller();
bool GlobalQuickDrawPDFs();

// Sends one message record to the elements of every page (or the active one) and
// returns its result; 0 when there are no pages.
std::intptr_t GlobalNotifyCtrls(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                                bool allPages);

// Formatted fixed-point with that many decimals (18 significant digits) and parsed back.
Extended GlobalSetDecPlaces(Extended value, int places);
int GlobalCompFontHeight(int screenPixelsPerInch, int zoomPercent, int points);

// Percent-encodes everything but letters, digits and ! $ ' ( ) * - . @ _ (UTF-8 bytes above 127).
QString Global_HTTPEncode(const QString &text);
bool Global_IsValidEmail(const QString &text);
// The trimmed non-empty lines joined by the separator, the extra item appended unless
// a line already is it (ignoring case).
QString Global_ListToStr(const QString &lines, const QString &extra, QChar separator);
QString Global_StrToList(const QString &text, QChar separator);
QRect Global_NormalizeRect(const QRect &rect);
// Applying it twice gives the text back.
QString GlobalDisguiseString(const QString &text);
QString CommonGlobal_DecToBaseN(std::uint64_t value, int base, const QString &digits, int width);
std::uint64_t CommonGlobal_BaseNToDec(const QString &number, int base, const QString &digits);
// A named item of a program file's version data ("FileVersion", "ProductName", ...);
// empty for files that are not ours and for unknown items.
QString CommonGlobal_GetVerInfo(const QString &fileName, const QString &item);
// The control's index among its parent's child widgets, -1 when it has none.
int CommonGlobal_CtrlZOrder(const QWidget *control);
// Text without its mark-up tags.
QString Global_StripHTML(const QString &text);
// Where a link (symbolic link or desktop entry) points; the name itself otherwise.
QString GlobalGetLinkTarget(const QString &fileName);

// The element of that name among the page control's components, or null.
QObject *Global_FormElementRef(const QString &name);
bool Global_FormElementNameIn(const QList<TComponent *> &components, const QString &name);
// Natural order: Box2 before Box10, prefixes compared ignoring case.
void Global_FileNameSort(QList<TComponent *> &components);
// Names of the document's elements whose kind is one of the given ones.
QStringList Global_FillHTMLExportDropList(std::span<const int> kinds);
// Shows the element's page and gives the element the focus.
void GlobalFocusElement(const QString &name);
// Index of the text among the items (or the lines of itemsText when items is null):
// exact match ignoring case first, then the first item the text begins.
int GlobalStrInList(const QString &text, const QString &itemsText,
                    const QStringList *items = nullptr);

// Page backgrounds.
enum TGlobalImageSource { gisNone = 0, gisPDF = 1, gisPicture = 2 };
TGlobalImageSource GlobalImageSource(const TPropGroupPDF *pdf, const QImage *picture);
// Where a background is drawn inside the target rectangle.
QRect GlobalAdjImgRect(const QRect &target, TGlobalImageSource source, const TPropGroupPDF *pdf,
                       const QImage *picture, int pageIndex, bool proportional, bool actualSize);
// True when the folder exists and lists at least one entry.
bool GlobalValidLocation(const QString &folder);

// Selects an element in the designer, switching to its page first when needed.
void GlobalSelectElement(QWidget *element, bool keepSelection);
// The designer's part of the selection: set by the designer once its surfaces
// exist (null in the filler); read by GlobalSelectElement.
using TSelectElementHook = void (*)(QWidget *element, bool keepSelection);
extern TSelectElementHook GlobalSelectElementHook;
// The PDF view element of that name, or null after telling the user why not.
QObject *GlobalValidatePDFLink(const QString &name);
QObject *GlobalValidateDatabaseLink(const QString &name, bool show);
// The PDF view element that shows the file, asking the main window to make one when none does.
QObject *GlobalLocatePdfPane(const QString &fileName);

// The page view a page-settings group belongs to, or null when its page is not in the project:
// set by the project unit when the library loads; read by the page-settings groups.
using TGroupPageLookup = TPrinterPage *(*)(const TPropGroup *group);
extern TGroupPageLookup GlobalPgPropGroupPageView;

// File chooser for page backgrounds; false when cancelled.
bool GlobalSelectedImageFile(const QString &current, const QString &caption, bool pdfAvailable,
                             QString &fileName, int helpTopic);
QString GlobalImageFileFilter(bool pdfAvailable);

// The shared text editor window: caption " " + caption; false (cancelled) leaves result as given.
bool GlobalGetTextDlg(const QString &text, const QString &caption, bool singleLine, QString &result,
                      int helpTopic);

// Designer seams: the controls a property edit applies to, and the undo record of
// a double-click edit. Set by the designer once its surface and history exist
// (null in the filler); read by the elements' and the project's property editors.
// The designer's history of design actions; null in the filler.
extern TUndoRedo *GlobalDesignerUndoRedo;
using TSelectionLookup = QList<QWidget *> (*)();
extern TSelectionLookup GlobalDesignerSelection;
using TDblClickUndoRecorder = void (*)(QWidget *element, const QString &property,
                                       const QString &oldValue, const QString &newValue);
extern TDblClickUndoRecorder GlobalRecordDblClickUndo;
using TPageDblClickUndoRecorder = void (*)(int pageIndex, const QString &property,
                                           const QString &oldValue, const QString &newValue);
extern TPageDblClickUndoRecorder GlobalRecordPageDblClickUndo;

// What the focused control can do now; the main window enables its Edit menu from it.
struct TContextMenuState
{
    bool Undo = false;
    bool Redo = false;
    bool Cut = false;
    bool Copy = false;
    bool Paste = false;
    bool Delete = false;
    bool SelectAll = false;
    bool Spare = false;
};

// Implemented by the controls that announce themselves with the edit-state message.
class TContextMenuStateSource
{
public:
    virtual ~TContextMenuStateSource() = default;
    virtual void GetContextMenuState(TContextMenuState &state) const = 0;
};
