#include "CBasePgCtrl.h"

#include "CElementEditor.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CSorter.h"
#include "CVisualPgCtrlPrivate.h"

#include <QMouseEvent>
#include <climits>

namespace VisualPgCtrlDetail {
QPointer<TVisualPgCtrl> g_focused;

void ShowLeavingError(const EVeloraError &error)
{
    Global_MessageDlg(GlobalAppTitle(), error.Message(), mtError, mbOK, 0);
}
} // namespace VisualPgCtrlDetail

using namespace VisualPgCtrlDetail;

namespace {
// The page surface of a page index (−1: the active page), or null.
TPrinterPage *PageViewAt(int index)
{
    return GlobalPgScrollBox(index < 0 ? GlobalActivePgIdx() : index);
}
} // namespace

// ---------------------------------------------------------------------------
// TVisualPgCtrl: focus, the editor and TAB order

TVisualPgCtrl *TVisualPgCtrl::FocusedElement()
{
    return g_focused;
}

QWidget *TVisualPgCtrl::CreateEdit(const QPoint &point)
{
    m_creatingEditor = true;
    QWidget *editor = nullptr;
    try {
        editor = DoCreateEdit(point);
    } catch (...) {
        m_creatingEditor = false;
        throw;
    }
    m_creatingEditor = false;
    return editor;
}

QWidget *TVisualPgCtrl::DoCreateEdit(const QPoint &)
{
    return nullptr;
}

void TVisualPgCtrl::FreeEdit()
{
    // The editor may be the very control whose key or focus handling got here.
    QWidget *editor = m_editor;
    m_editor = nullptr;
    if (editor) {
        editor->hide();
        editor->deleteLater();
    }
}

bool TVisualPgCtrl::CanFocus() const
{
    return !m_general->GeneralReadOnly();
}

Qt::CursorShape TVisualPgCtrl::GetCursor(const QPoint &) const
{
    return Qt::ArrowCursor;
}

void TVisualPgCtrl::KillFocus()
{
    if (!m_focused)
        return;
    DoValidate();
    FreeEdit();
    m_focused = false;
    if (g_focused == this)
        g_focused = nullptr;
    NotifyAccessibleFocus(this, false);
    // The display may differ from the text being edited (numbers are formatted).
    BuildWYSIWYGInf(true, true);
    PostMessage(GlobalMainForm, VRMSGEditStateChanged);
    if (Text() != m_textAtFocus)
        SendMessage(GlobalMainForm, VRMSGEditCommitted, ObjectParam(this));
}

QList<TVisualPgCtrl *> TVisualPgCtrl::BuildTABOrderList(int pageIndex)
{
    QList<TVisualPgCtrl *> list;
    const TPrinterPage *page = PageViewAt(pageIndex);
    if (!page)
        return list;
    for (QObject *child : page->children())
        if (auto *element = qobject_cast<TVisualPgCtrl *>(child);
            element && GlobalCanFocus(element))
            list.append(element);
    TSorter sorter;
    sorter.OnCompare = [&list](TSorter *, int i, int j) {
        return list[i]->TabOrder() < list[j]->TabOrder()
            ? -1
            : (list[i]->TabOrder() > list[j]->TabOrder());
    };
    sorter.OnSwap = [&list](TSorter *, int i, int j) {
        list.swapItemsAt(i, j);
    };
    sorter.QuickSort(0, int(list.size()) - 1);
    return list;
}

TVisualPgCtrl *TVisualPgCtrl::SelectCtrl(bool forward, int pageIndex, int current)
{
    const int pageCount = GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
    if (pageCount == 0)
        return nullptr;
    int page = pageIndex < 0 ? GlobalPagesPageControl->ActivePageIndex() : pageIndex;
    QList<TVisualPgCtrl *> list = BuildTABOrderList(page);
    int index = current == INT_MAX ? int(list.indexOf(this)) : current;
    if (!forward && current == -1)
        index = int(list.size());
    index += forward ? 1 : -1;
    // Pages with nothing to focus are passed over; with none anywhere we stay put.
    for (int tries = 0; index < 0 || index >= list.size(); ++tries) {
        if (tries > pageCount)
            return nullptr;
        page = (page + (forward ? 1 : -1) + pageCount) % pageCount;
        list = BuildTABOrderList(page);
        index = forward ? 0 : int(list.size()) - 1;
    }
    TVisualPgCtrl *target = list[index];
    if (target->Focused())
        return target;
    KillFocus();
    if (page != GlobalPagesPageControl->ActivePageIndex()) {
        GlobalPagesPageControl->SetActivePageIndex(page);
        SendMessage(GlobalMainForm, VRMSGActivePageChanged);
    }
    if (TPrinterPage *view = target->ParentPage())
        view->ScrollInView(target->geometry());
    target->SetFocus(QPoint(-1, -1));
    return target;
}

void TVisualPgCtrl::SetFocus(const QPoint &point)
{
    if (!CanFocus())
        return;
    if (g_focused && g_focused != this)
        g_focused->KillFocus();
    m_focused = true;
    g_focused = this;
    m_textAtFocus = Text();
    BuildWYSIWYGInf(true, false);
    m_editor = CreateEdit(point);
    if (auto *focus = dynamic_cast<TElementEditor *>(m_editor.data())) {
        focus->OwnerResized();
        if (point == QPoint(-1, -1))
            focus->SelectAll();
    } else if (m_editor) {
        m_editor->setGeometry(m_editArea);
    }
    if (m_editor) {
        m_editor->show();
        m_editor->setFocus();
    }
    NotifyAccessibleFocus(this, true);
    update();
}

void TVisualPgCtrl::mousePressEvent(QMouseEvent *event)
{
    if (!CanFocus()) {
        if (GlobalFilling && GlobalPagesPageControl)
            GlobalPagesPageControl->setFocus();
        return;
    }
    if (m_focused) {
        // A click on the border would otherwise leave the keys with whatever took the click.
        if (m_editor)
            m_editor->setFocus();
        return;
    }
    try {
        SetFocus(event->position().toPoint());
    } catch (const EVeloraError &error) {
        // The element holding the focus refused to let go of its text.
        ShowLeavingError(error);
    }
}

void TVisualPgCtrl::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(m_general->GeneralReadOnly() ? Qt::ArrowCursor
                                           : GetCursor(event->position().toPoint()));
}

bool GlobalCanFocus(QObject *control)
{
    auto *element = qobject_cast<TVisualPgCtrl *>(control);
    return element && element->VisualGeneralProps()
        && element->VisualGeneralProps()->GeneralDisplay()
        && !element->VisualGeneralProps()->GeneralReadOnly() && element->CanFocus()
        && element->ClassTypeID() != -1;
}
