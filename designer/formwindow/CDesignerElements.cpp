// The designer window's new documents and new elements: a paper or web form to
// start from, and an element of a chosen kind placed with a band on the page.

#include "CBasePgCtrl.h"
#include "CDesignerMainForm.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPlugIns.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedoTypes.h"

#include <QAction>

namespace {
// The hidden-field kind: placed at a point, it keeps its own size.
constexpr int kHiddenFieldKind = 220;
// Smaller elements could not be grabbed again.
constexpr int kMinElementSide = 8;

// A web form's page in millimetres, so that it fits the browser window of that size.
struct TWebPage
{
    int Width;
    int Height;
};
constexpr TWebPage kWebPages[] = {{158, 79}, {200, 108}, {252, 158}};
} // namespace

void TDesignerMainForm::NewDocument(TNewDocumentKind kind)
{
    if (!AskSaveChanges(true))
        return;
    CloseDocument();
    if (HasDocument() || !GlobalProjectProps)
        return;
    GlobalProjectProps->SetFilling(false);
    InsertPage(false);
    TPrinterPage *page = ActivePage();
    if (!page)
        return;
    if (kind != ndPaper) {
        const TWebPage &web = kWebPages[kind - ndWeb640];
        page->SetShowMargins(false);
        page->SetPageWidth(web.Width);
        page->SetPageHeight(web.Height);
    }
    // Web forms start on the palette's second tab.
    ShowPaletteTab(kind == ndPaper ? 0 : 1);
    page->FitTo(ftPage, true);
    ShowActiveZoom();
    UpdateDocumentCommands();
    if (m_designer1->Active())
        m_designer1->Engine()->setFocus(Qt::OtherFocusReason);
    GlobalClearChanges();
    UpdateTitle();
}

void TDesignerMainForm::SetPaletteKind(int kind)
{
    m_paletteKind = DesignMode() ? kind : 0;
    if (m_designer1)
        m_designer1->Engine()->InsertBanding = m_paletteKind != 0;
}

void TDesignerMainForm::PlaceFromPalette(const QRect &band)
{
    const int kind = m_paletteKind;
    SetPaletteKind(0);
    emit PaletteChoiceCleared();
    TPrinterPage *page = ActivePage();
    if (!kind || !page)
        return;
    TSurfaceDesignerEngine *engine = m_designer1->Engine();
    QRect rect(engine->mapTo(page, band.topLeft()), band.size());
    if (kind == kHiddenFieldKind)
        rect.setSize(QSize(0, 0));
    CreateElement(kind, rect, true);
}

TBasePgCtrl *TDesignerMainForm::CreateElement(int kind, QRect rect, bool select)
{
    TPrinterPage *page = ActivePage();
    if (!DesignMode() || !page || !GlobalPlugIns || !m_designer1->Active())
        return nullptr;
    TBasePgCtrl *element = nullptr;
    {
        const TGlobalFlagScope adding(GlobalAddingControl);
        std::unique_ptr<TBasePgCtrl> made(
            GlobalPlugIns->PlugInInstance(kind, true, GlobalPagesPageControl));
        if (!made)
            return nullptr;
        // No band: the kind's own size at this zoom.
        if (rect.width() <= 0 || rect.height() <= 0)
            rect.setSize(QSize(qRound(made->width() * page->Zoom() / 100.0),
                               qRound(made->height() * page->Zoom() / 100.0)));
        rect.setWidth(qMax(rect.width(), kMinElementSide));
        rect.setHeight(qMax(rect.height(), kMinElementSide));
        m_designer1->Add(made.get(), rect, page, true, false);
        element = made.release();
        element->CalcRelBounds(true, true, true, true, true, true);
        if (auto *visual = qobject_cast<TVisualPgCtrl *>(element)) {
            visual->CalcPosSizeProps(true, true, true, true, true, true);
            visual->BuildWYSIWYGInf(true, true);
            int elements = 0;
            for (QObject *child : page->children())
                elements += qobject_cast<TVisualPgCtrl *>(child) ? 1 : 0;
            visual->SetTabOrder(elements);
        }
        if (!qobject_cast<TVisualPgCtrl *>(element))
            AddStripButton(element);
        RaisePageChromeOf(page);
        GlobalMadeChange();
        RecordElements(idCtrlAdded, {element});
    }
    if (select)
        m_designer1->SelectCtrl(element, false);
    const QString name = element->Name();
    GlobalNotifyCtrls(VRMSGBasePgCtrlNameChanged, ObjectParam(element),
                      reinterpret_cast<std::intptr_t>(&name), true);
    EditStateChanged(nullptr);
    return element;
}

void TDesignerMainForm::ShowActiveZoom()
{
    TFillerMainForm::ShowActiveZoom();
    // Grabbers grow with the zoom, within what stays easy to hit and to see past.
    TPrinterPage *page = ActivePage();
    if (!m_designer1 || !page)
        return;
    const int size = qBound(5, int((page->Zoom() / 2) * 0.05), 8);
    if (size != m_designer1->GrabbersSize()) {
        m_designer1->SetGrabbersSize(size);
        m_designer1->SetGrabbersOfs(size / 2);
    }
}
