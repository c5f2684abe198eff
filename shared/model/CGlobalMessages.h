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
    VRMSGPDFNameMatch = 0x840B,
    // Main window: create an element of a kind (low half of WParam) at a point.
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
    VRMSGDblClickDlgSetPropVal = 0x841F,
    VRMSGPagePaperChange = 0x84AA,
    VRMSGIsPassword = 0x852C,
    VRMSGResetForm = 0x8590,
};

// What VRMSGPaintPDFPage carries in its long parameter.
struct TPaintPDFPageRequest
{
    QPainter *Canvas;
    int Page;
    QRect Rect;
};
