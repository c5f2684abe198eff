// The designer window's TAB order and find dialogs: made on first use, shown or
// closed by their commands, kept in step with the document's elements and the
// page shown, put away while the form is filled in and freed with the document.

#include "CBasePgCtrl.h"
#include "CDesignerMainForm.h"
#include "CFindFormElementDlg.h"
#include "CGlobal.h"
#include "CSurfaceDesigner.h"
#include "CTabOrderDlg.h"
#include "CUndoRedo.h"
#include "CUndoRedoTypes.h"

#include <QAction>
#include <QTimer>

TTabOrderDlg *TDesignerMainForm::TabOrderDialog() const
{
    return m_tabOrderDlg;
}

TFindFormElementDlg *TDesignerMainForm::FindDialog() const
{
    return m_findDlg;
}

void TDesignerMainForm::ToggleTabOrderDialog()
{
    if (m_tabOrderDlg && m_tabOrderDlg->isVisible()) {
        m_tabOrderDlg->close();
        return;
    }
    if (!DesignMode())
        return;
    if (!m_tabOrderDlg) {
        m_tabOrderDlg = new TTabOrderDlg(this);
        m_tabOrderDlg->OnApply = [this](const TTabOrderDlg::TTabOrders &orders) {
            ApplyTabOrder(orders);
        };
        m_tabOrderDlg->OnSelectElement = [this](TVisualPgCtrl *element) {
            if (DesignMode() && m_designer1->Active() && element->parentWidget() == ActivePage())
                m_designer1->SelectCtrl(element, false);
        };
        WatchHistoryForElementDialogs();
    }
    m_tabOrderDlg->SetPage(ActivePage());
    m_tabOrderDlg->show();
    m_tabOrderDlg->raise();
}

void TDesignerMainForm::ToggleFindDialog()
{
    if (m_findDlg && m_findDlg->isVisible()) {
        m_findDlg->close();
        return;
    }
    if (!DesignMode())
        return;
    if (!m_findDlg) {
        m_findDlg = new TFindFormElementDlg(this);
        WatchHistoryForElementDialogs();
    } else {
        m_findDlg->Fill();
    }
    m_findDlg->show();
    m_findDlg->raise();
    m_findDlg->activateWindow();
}

void TDesignerMainForm::ApplyTabOrder(const QList<std::pair<TVisualPgCtrl *, int>> &orders)
{
    const QString property = QStringLiteral("TabOrder");
    auto undo = NewRecord(idPropInspChange);
    auto redo = NewRecord(idPropInspChange);
    for (const auto &[element, number] : orders) {
        if (!element || element->TabOrder() == number)
            continue;
        undo->AddItem(std::make_unique<TUndoRedoTypes_PropInsp>(
            element, true, element, property, QString::number(element->TabOrder())));
        element->SetTabOrder(number);
        redo->AddItem(std::make_unique<TUndoRedoTypes_PropInsp>(element, false, element, property,
                                                                QString::number(number)));
    }
    if (undo->Count() == 0)
        return;
    Record(std::move(undo), std::move(redo));
    GlobalMadeChange();
    EditStateChanged(nullptr);
}

void TDesignerMainForm::WatchHistoryForElementDialogs()
{
    if (m_elementDialogsWatchHistory)
        return;
    m_elementDialogsWatchHistory = true;
    // Every change of the design is recorded or replayed; the dialogs look again once it is
    // done (a removal is recorded before the element goes).
    for (auto *event : {&m_undo->OnUndo, &m_undo->OnRedo})
        *event = [this, previous = *event](TUndoRedo *sender, TUndoRedoItem *item, bool isUndo) {
            if (previous)
                previous(sender, item, isUndo);
            ScheduleElementDialogsUpdate();
        };
    m_undo->OnChange = [this, previous = m_undo->OnChange](TUndoRedo *sender) {
        if (previous)
            previous(sender);
        ScheduleElementDialogsUpdate();
    };
}

void TDesignerMainForm::ScheduleElementDialogsUpdate()
{
    if (m_tabOrderDlg)
        QTimer::singleShot(0, m_tabOrderDlg, [this] { ElementsChangedForDialogs(true, false); });
    if (m_findDlg)
        QTimer::singleShot(0, m_findDlg, [this] { ElementsChangedForDialogs(false, true); });
}

void TDesignerMainForm::ElementsChangedForDialogs(bool tabOrder, bool find)
{
    if (GlobalLoadingProject || GlobalClearingProject)
        return;
    if (tabOrder && m_tabOrderDlg && m_tabOrderDlg->isVisible())
        m_tabOrderDlg->Reconcile();
    if (find && m_findDlg && m_findDlg->isVisible())
        m_findDlg->Fill();
}

void TDesignerMainForm::ElementDialogsFollowPage()
{
    if (m_tabOrderDlg && m_tabOrderDlg->isVisible() && m_tabOrderDlg->Page() != ActivePage())
        m_tabOrderDlg->SetPage(ActivePage());
}

void TDesignerMainForm::ElementDialogsFollowMode()
{
    const bool design = DesignMode();
    for (const char *name : {"ElementTabOrder", "ElementFind"})
        if (QAction *action = Action(QString::fromLatin1(name)))
            action->setEnabled(design);
    if (!HasDocument()) {
        // The TAB order dialog stores its place as it goes.
        delete m_tabOrderDlg.data();
        delete m_findDlg.data();
        m_tabOrderDlgWasOpen = m_findDlgWasOpen = false;
        return;
    }
    if (!design) {
        for (auto [dialog, wasOpen] :
             {std::pair<QDialog *, bool *>(m_tabOrderDlg, &m_tabOrderDlgWasOpen),
              std::pair<QDialog *, bool *>(m_findDlg, &m_findDlgWasOpen)})
            if (dialog && dialog->isVisible()) {
                dialog->close();
                *wasOpen = true;
            }
        return;
    }
    if (std::exchange(m_tabOrderDlgWasOpen, false) && m_tabOrderDlg && !m_tabOrderDlg->isVisible())
        ToggleTabOrderDialog();
    if (std::exchange(m_findDlgWasOpen, false) && m_findDlg && !m_findDlg->isVisible())
        ToggleFindDialog();
}
