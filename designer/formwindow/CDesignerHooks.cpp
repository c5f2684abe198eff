// What the model asks of the designer through its seams: the selection an edit
// applies to, selecting an element by request, and the records of the edit
// dialogs that a double-click opens. One designer window serves them at a time.

#include "CBasePgCtrl.h"
#include "CDesignerMainForm.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedo.h"
#include "CUndoRedoTypes.h"

namespace {
TDesignerMainForm *s_serving = nullptr;
} // namespace

void TDesignerMainForm::ServeModelHooks(bool serve)
{
    if (serve) {
        s_serving = this;
        GlobalDesignerUndoRedo = m_undo.get();
        GlobalDesignerSelection = [] {
            return s_serving ? s_serving->SelectedElements() : QList<QWidget *>();
        };
        GlobalSelectElementHook = [](QWidget *element, bool keepSelection) {
            if (s_serving)
                s_serving->SelectElement(element, keepSelection);
        };
        GlobalRecordDblClickUndo = [](QWidget *element, const QString &property,
                                      const QString &oldValue, const QString &newValue) {
            if (s_serving)
                s_serving->RecordDialogEdit(element, property, oldValue, newValue);
        };
        GlobalRecordPageDblClickUndo = [](int pageIndex, const QString &property,
                                          const QString &oldValue, const QString &newValue) {
            if (s_serving)
                s_serving->RecordDialogEdit(GlobalPgProps(pageIndex), property, oldValue, newValue);
        };
    } else if (s_serving == this) {
        s_serving = nullptr;
        GlobalDesignerUndoRedo = nullptr;
        GlobalDesignerSelection = nullptr;
        GlobalSelectElementHook = nullptr;
        GlobalRecordDblClickUndo = nullptr;
        GlobalRecordPageDblClickUndo = nullptr;
    }
}

QList<QWidget *> TDesignerMainForm::SelectedElements() const
{
    QList<QWidget *> elements;
    TSurfaceDesigner *designer = CurrentDesigner();
    if (!DesignMode() || !designer || !designer->Active())
        return elements;
    for (QWidget *ctrl : designer->Engine()->SelectedCtrls()) {
        QWidget *element = designer == m_designer2.get() ? ElementOfButton(ctrl) : ctrl;
        if (qobject_cast<TBasePgCtrl *>(element))
            elements.append(element);
    }
    return elements;
}

void TDesignerMainForm::SelectElement(QWidget *element, bool keepSelection)
{
    if (!DesignMode() || !element)
        return;
    if (QWidget *button = StripButtonOf(element)) {
        m_designer2->SelectCtrl(button, keepSelection);
        return;
    }
    const int page = GlobalPageIndexOf(element->parentWidget());
    if (page >= 0 && page != GlobalActivePgIdx())
        PagesPageControl()->SetActivePageIndex(page);
    if (m_designer1->Active())
        m_designer1->SelectCtrl(element, keepSelection);
}

void TDesignerMainForm::RecordDialogEdit(QObject *object, const QString &property,
                                         const QString &oldValue, const QString &newValue)
{
    if (!object || Replaying())
        return;
    auto undo = NewRecord(idDblClickDlg);
    auto redo = NewRecord(idDblClickDlg);
    undo->AddItem(std::make_unique<TUndoRedoTypes_DblClickDlg>(object, true, property, oldValue));
    redo->AddItem(std::make_unique<TUndoRedoTypes_DblClickDlg>(object, false, property, newValue));
    Record(std::move(undo), std::move(redo));
}

void TDesignerMainForm::ApplyDialogEdit(TUndoRedoTypes_DblClickDlg &entry)
{
    QObject *object = entry.Object();
    if (auto *page = qobject_cast<TProjectPropsPageProps *>(object)) {
        page->PageBackgroundProps()->SetPageFileName(entry.Text2);
        page->RepaintPage();
    } else if (object) {
        SendMessage(object, VRMSGDblClickDlgSetPropVal,
                    reinterpret_cast<std::uintptr_t>(&entry.Text1),
                    reinterpret_cast<std::intptr_t>(&entry.Text2));
        if (auto *visual = qobject_cast<TVisualPgCtrl *>(object)) {
            visual->BuildWYSIWYGInf(true, true);
            visual->update();
        }
    }
}

void TDesignerMainForm::OpenEditDialog()
{
    TSurfaceDesigner *designer = CurrentDesigner();
    if (!DesignMode() || !designer)
        return;
    const QList<QWidget *> selected = SelectedElements();
    QString value;
    if (selected.size() == 1) {
        if (auto *element = qobject_cast<TBasePgCtrl *>(selected.front()))
            element->ShowPropEditor(QString(), true, value);
    } else if (selected.isEmpty() && designer == m_designer1.get()) {
        // Nothing selected: the page's own dialog.
        if (TProjectPropsPageProps *page = GlobalPgProps(GlobalActivePgIdx()))
            page->ShowPropEditor(QString(), true, value);
    }
    if (m_designer1->Active())
        m_designer1->Engine()->update();
    EditStateChanged(nullptr);
}
