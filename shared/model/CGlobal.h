#pragma once
// State and services shared by the programs, the shared library and the plug-ins.

#include "CPublished.h"

#include <QList>
#include <QString>

class QObject;
class QWidget;
class TComponent;
class TPageControl;
class TPrinterPage;
class TPropGroup;

extern bool GlobalProjectChanged;
extern bool GlobalLoadingProject;
extern bool GlobalClearingProject;
extern bool GlobalAddingPage;
extern bool GlobalAddingControl;
extern bool GlobalPasting;
extern bool GlobalPrinting;
extern QString GlobalProjectName;
// Scratch result of TPropHelper::Translated.
extern QString GlobalGeneralString;

// The program's main window, which answers the main-window messages.
extern QWidget *GlobalMainForm;
// Owner of every page surface and element of the open document.
extern TPageControl *GlobalPagesPageControl;
// Whether the open document is being filled in (the designer can switch).
extern bool GlobalFilling;

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

void GlobalMadeChange();
void GlobalClearChanges();

// Program identity, asked of the main window.
bool GlobalVeloraFiller();
bool GlobalQuickDrawPDFs();

// Formatted fixed-point with that many decimals (18 significant digits) and parsed back.
Extended GlobalSetDecPlaces(Extended value, int places);
int GlobalCompFontHeight(int screenPixelsPerInch, int zoomPercent, int points);

// The element of that name among the page control's components, or null.
QObject *Global_FormElementRef(const QString &name);
// The PDF view element of that name, or null after telling the user why not.
QObject *GlobalValidatePDFLink(const QString &name);

// The page view a page-settings group belongs to, or null when its page is not in the project.
// The project registers the lookup when it exists.
using TGroupPageLookup = TPrinterPage *(*)(const TPropGroup *group);
extern TGroupPageLookup GlobalPgPropGroupPageView;

// Message boxes through the dialog service, centred and captioned as the programs are.
int Global_MessageDlg(const QString &caption, const QString &message, int type, unsigned buttons,
                      int helpTopic);
QString GlobalAppTitle();

// The shared text editor window: caption " " + caption; false (cancelled) leaves result as given.
bool GlobalGetTextDlg(const QString &text, const QString &caption, bool singleLine, QString &result,
                      int helpTopic);

// Designer seams, set by the designer once its surface and history exist: the
// controls a property edit applies to, and the undo record of a double-click edit.
using TSelectionLookup = QList<QWidget *> (*)();
extern TSelectionLookup GlobalDesignerSelection;
using TDblClickUndoRecorder = void (*)(QWidget *element, const QString &property,
                                       const QString &oldValue, const QString &newValue);
extern TDblClickUndoRecorder GlobalRecordDblClickUndo;
