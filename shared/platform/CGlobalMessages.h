#pragma once
// The numbered messages between the shared library, the programs and the
// plug-ins. Ids are part of the plug-in contract: never renumber them.

#include <QRect>
#include <cstdint>

class QPainter;

enum : std::uint32_t {
    // Main window: answers 0 in the filler.
    VRMSGIsFiller = 0x8401,
    VRMSGToggleLockPages = 0x8402,
    VRMSGVisualPgCtrlTextChanged = 0x8403,
    VRMSGPrinterChanged = 0x8404,
    // PDF view: paint a page of its document (canvas, page, rectangle).
    VRMSGPaintPDFPage = 0x8406,
    VRMSGBasePgCtrlNameChanged = 0x8409,
    // Focused control: the platform's edit commands.
    VRMSGCut = 0x0300,
    VRMSGCopy = 0x0301,
    VRMSGPaste = 0x0302,
    VRMSGClear = 0x0303,
    VRMSGUndo = 0x0304,
    VRMSGSelectAll = 0x840F,
    // Main window: commit the pending edit of the element in WParam.
    VRMSGCommitEdit = 0x8410,
    VRMSGPDFNameMatch = 0x840B,
    // Main window: create an element of a kind (low half of WParam; the high half
    // non-zero selects it) of a size (LParam: width low, height high; 0 for the kind's own).
    VRMSGCreateElement = 0x840C,
    VRMSGSetPDFName = 0x840D,
    // Main window: an element lost the focus or a double-click edit was applied.
    VRMSGEditStateChanged = 0x840E,
    VRMSGNonVisualDestroyed = 0x8411,
    // PDF view: size of a page, width in the low 16 bits, height in the high ones.
    VRMSGPDFPageSize = 0x8412,
    VRMSGGetPDFName = 0x8413,
    VRMSGActivePageChanged = 0x8414,
    VRMSGReadOnlyChanged = 0x8415,
    VRMSGProjectChanged = 0x8416,
    VRMSGAboutToSave = 0x8417,
    VRMSGTranslateProp = 0x8418,
    // Main window: non-zero when PDF pages may be drawn quickly.
    VRMSGQuickDrawPDFs = 0x8419,
    VRMSGCalcReset = 0x841B,
    VRMSGCalcUpdate = 0x841C,
    VRMSGPropChanged = 0x841D,
    VRMSGRedo = 0x841E,
    // Every element, twice a second while a document is open.
    VRMSGPulse = 0x8420,
    // Main window: ask to save changes (WParam 1 offers Cancel); 1 proceeds.
    VRMSGAskSaveChanges = 0x8423,
    // Every element, once a document has been opened in the filler.
    VRMSGDocumentOpened = 0x8478,
    VRMSGDblClickDlgSetPropVal = 0x841F,
    VRMSGPagePaperChange = 0x84AA,
    // Main window: a button's command, code in WParam, text argument (QString*) in LParam.
    VRMSGCommand = 0x84B4,
    VRMSGIsPassword = 0x852C,
    VRMSGResetForm = 0x8590,
    // Main window: show the welcome screen (code in WParam); only the designer answers.
    VRMSGWelcome = 0x85F4,
    // Main window: the element in WParam left the focus with a text other than the one it
    // had when it took it (an edit the user has committed).
    VRMSGEditCommitted = 0x8620,
};

// What VRMSGPaintPDFPage carries in its long parameter.
struct TPaintPDFPageRequest
{
    QPainter *Canvas;
    int Page;
    QRect Rect;
};
