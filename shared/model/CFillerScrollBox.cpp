#include "CFillerScrollBox.h"

#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
#include "CGlobal.h"
#include "CPageControl.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
const TClassRegistration<TFillerScrollBox> registerScrollBox;
const TClassRegistration<TTabSheet> registerTabSheet;
} // namespace

TFillerPaintBox::TFillerPaintBox(TPrinterPage *page) : TProjectPagePaintBox(page) { }

void TFillerPaintBox::mousePressEvent(QMouseEvent *event)
{
    if (GlobalPagesPageControl)
        GlobalPagesPageControl->setFocus(Qt::MouseFocusReason);
    TProjectPagePaintBox::mousePressEvent(event);
}

TFillerScrollBox::TFillerScrollBox(TComponent *owner, QWidget *parent) : TPrinterPage(owner, parent)
{
    SetColor(TColor {13033447});
    ReplacePaintBox(new TFillerPaintBox(this));
}

bool TFillerScrollBox::MarginsShown() const
{
    return ShowMargins() && !GlobalVeloraFiller() && !GlobalFilling;
}

void TFillerScrollBox::RelayoutElements()
{
    if (GlobalLoadingProject || IsLoading())
        return;
    bool any = false;
    for (QObject *child : children()) {
        auto *element = qobject_cast<TBasePgCtrl *>(child);
        if (!element)
            continue;
        any = true;
        if (auto *visual = qobject_cast<TVisualPgCtrl *>(element))
            visual->CalcRelFontSize();
        element->UpdateBounds(element->RelBoundsRect(PaperRect()));
    }
    if (any)
        if (TVisualPgCtrl *focused = TVisualPgCtrl::FocusedElement();
            focused && focused->parentWidget() == this)
            focused->update();
}

void TFillerScrollBox::mousePressEvent(QMouseEvent *event)
{
    if (GlobalPagesPageControl)
        GlobalPagesPageControl->setFocus(Qt::MouseFocusReason);
    TPrinterPage::mousePressEvent(event);
}

void TFillerScrollBox::wheelEvent(QWheelEvent *event)
{
    // Ctrl+wheel zooms in the window; other modifiers do nothing.
    if (event->modifiers() & Qt::ControlModifier) {
        if (window() != this)
            QApplication::sendEvent(window(), event);
        return;
    }
    if (event->modifiers() != Qt::NoModifier) {
        event->ignore();
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    if (VertScrollBar()->isVisibleTo(this))
        VertScrollBar()->setValue(VertScrollBar()->value() - notches * WheelPixels);
    event->accept();
}
