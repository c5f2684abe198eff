// The designer window's page commands: insert, delete and reorder pages, with
// the records that bring a deleted page back as the same surface and elements.

#include "CBasePgCtrl.h"
#include "CComponentStream.h"
#include "CDesignerMainForm.h"
#include "CDialogService.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedo.h"
#include "CUndoRedoTypes.h"

#include <QAction>
#include <QTabBar>

namespace {
// A copy through the stream, so that the record keeps every setting and the project
// gets an object of its own each time the page comes back.
std::unique_ptr<TProjectPropsPageProps> CopyPageProps(TProjectPropsPageProps *source)
{
    auto copy = std::make_unique<TProjectPropsPageProps>(nullptr);
    if (source) {
        TMemoryStream stream(ComponentToBytes(source));
        ReadComponent(stream, copy.get());
    }
    return copy;
}

QString FreeComponentName(const TComponent *owner, const QString &base)
{
    for (int n = 1;; ++n) {
        const QString name = base + QString::number(n);
        if (!owner->FindComponent(name))
            return name;
    }
}

void TellPagesChanged()
{
    GlobalNotifyCtrls(VRMSGCalcReset, 0, 0, true);
    GlobalNotifyCtrls(VRMSGCalcUpdate, 0, 0, true);
}
} // namespace

void TDesignerMainForm::InsertPage(bool record)
{
    TPageControl *pages = PagesPageControl();
    if (!pages || !GlobalProjectProps)
        return;
    const int source = GlobalActivePgIdx();
    TPrinterPage *from = GlobalPgScrollBox(source);
    TTabSheet *sheet = nullptr;
    {
        const TGlobalFlagScope adding(GlobalAddingPage);
        auto props = std::make_unique<TProjectPropsPageProps>(nullptr);
        GlobalProjectProps->ClonePgProps(source, props.get());
        GlobalProjectProps->AddPage(props.release());
        sheet = pages->AddPage(QString());
        sheet->SetName(FreeComponentName(pages, QStringLiteral("TabSheet")));
        auto *view = new TFillerScrollBox(pages, sheet);
        view->SetName(FreeComponentName(pages, QStringLiteral("FillerScrollBox")));
        if (from)
            view->SetZoom(from->Zoom());
        view->show();
    }
    pages->SetActivePageIndex(pages->indexOf(sheet));
    if (record) {
        auto *surface = sheet->PageView();
        auto undo = NewRecord(idPageAdded);
        auto redo = NewRecord(idPageAdded);
        auto remove = std::make_unique<TUndoRedoTypes_Page>(surface, true, nullptr);
        auto insert = std::make_unique<TUndoRedoTypes_Page>(
            surface, false, CopyPageProps(GlobalPgProps(GlobalActivePgIdx())));
        insert->SheetName = sheet->Name();
        insert->SheetCaption = sheet->Caption();
        undo->AddItem(std::move(remove));
        redo->AddItem(std::move(insert));
        Record(std::move(undo), std::move(redo));
    }
    GlobalMadeChange();
    TellPagesChanged();
    UpdateDesignCommands();
    EditStateChanged(nullptr);
}

void TDesignerMainForm::DeletePage()
{
    TPageControl *pages = PagesPageControl();
    if (!DesignMode() || pages->PageCount() < 2)
        return;
    const int index = pages->ActivePageIndex();
    if (Global_MessageDlg(QStringLiteral("Delete Page"),
                          QStringLiteral("Delete page %1. Are you sure ?").arg(index + 1),
                          mtConfirmation, mbYes | mbNo, 0)
        != mrYes)
        return;
    RemovePage(index, true);
}

void TDesignerMainForm::RemovePage(int index, bool record)
{
    TPageControl *pages = PagesPageControl();
    TTabSheet *sheet = pages->Pages(index);
    auto *surface = qobject_cast<TPrinterPage *>(sheet ? sheet->PageView() : nullptr);
    if (!surface)
        return;
    if (m_designer1) {
        m_designer1->UnSelectAll();
        m_designer1->SetActive(false);
        m_designer1->SetSurface(nullptr);
    }
    // Non-visual elements belong to the document, not to a page: they move on.
    if (pages->PageCount() > 1) {
        TPrinterPage *next = GlobalPgScrollBox(index + 1 < pages->PageCount() ? index + 1 : 0);
        for (QObject *child : surface->children())
            if (auto *element = qobject_cast<TBasePgCtrl *>(child);
                element && !qobject_cast<TVisualPgCtrl *>(element))
                element->setParent(next);
    }
    std::unique_ptr<TProjectPropsPageProps> props(GlobalProjectProps->Page(index));
    GlobalProjectProps->RemovePage(index, false);
    if (record && !Replaying()) {
        auto undo = NewRecord(idPageRemoved);
        auto redo = NewRecord(idPageRemoved);
        undo->SetPageIndex(index);
        redo->SetPageIndex(index);
        auto insert = std::make_unique<TUndoRedoTypes_Page>(surface, true, std::move(props));
        insert->SheetName = sheet->Name();
        insert->SheetCaption = sheet->Caption();
        undo->AddItem(std::move(insert));
        redo->AddItem(std::make_unique<TUndoRedoTypes_Page>(surface, false, nullptr));
        Record(std::move(undo), std::move(redo));
    }
    // The surface and its elements leave the document but live on with the record.
    for (QObject *child : surface->children())
        if (auto *component = dynamic_cast<TComponent *>(child);
            component && component->Owner() == pages)
            pages->RemoveComponent(component);
    surface->setParent(nullptr);
    pages->RemoveComponent(surface);
    {
        const TGlobalFlagScope adding(GlobalAddingPage);
        pages->removeTab(index);
        delete sheet;
    }
    pages->UpdateTabTexts();
    GlobalMadeChange();
    TellPagesChanged();
    UpdateDesignCommands();
    PageChanged();
}

int TDesignerMainForm::RestorePage(TUndoRedoTypes_Page &entry, int index)
{
    TPageControl *pages = PagesPageControl();
    QWidget *surface = entry.Ctrl();
    if (!surface || !entry.PageProps())
        return -1;
    const int at = qBound(0, index, pages->PageCount());
    {
        const TGlobalFlagScope adding(GlobalAddingPage);
        GlobalProjectProps->InsertPage(at, CopyPageProps(entry.PageProps()).release());
        auto *sheet = new TTabSheet(pages);
        sheet->SetName(entry.SheetName.isEmpty() || pages->FindComponent(entry.SheetName)
                           ? FreeComponentName(pages, QStringLiteral("TabSheet"))
                           : entry.SheetName);
        sheet->SetCaption(entry.SheetCaption);
        pages->insertTab(at, sheet, QString());
        if (auto *component = dynamic_cast<TComponent *>(surface); component && !component->Owner())
            pages->InsertComponent(component);
        for (QObject *child : surface->children())
            if (auto *component = dynamic_cast<TComponent *>(child);
                component && !component->Owner())
                pages->InsertComponent(component);
        surface->setParent(sheet);
        surface->show();
    }
    pages->UpdateTabTexts();
    pages->SetActivePageIndex(at);
    GlobalMadeChange();
    TellPagesChanged();
    UpdateDesignCommands();
    return at;
}

void TDesignerMainForm::PageMoved(int from, int to)
{
    if (!GlobalProjectProps || from == to)
        return;
    std::unique_ptr<TProjectPropsPageProps> props(GlobalProjectProps->Page(from));
    GlobalProjectProps->RemovePage(from, false);
    GlobalProjectProps->InsertPage(to, props.release());
    // Records name their page by index; the move is not recorded, so they follow it.
    const auto follow = [from, to](const TUndoRedo::TItemList &list) {
        for (const auto &item : list) {
            auto *record = dynamic_cast<TUndoRedoTypes_Base *>(item.get());
            if (!record)
                continue;
            const int i = record->PageIndex();
            if (i == from)
                record->SetPageIndex(to);
            else if (from < to && i > from && i <= to)
                record->SetPageIndex(i - 1);
            else if (to < from && i >= to && i < from)
                record->SetPageIndex(i + 1);
        }
    };
    follow(m_undo->UndoList());
    follow(m_undo->RedoList());
    PagesPageControl()->UpdateTabTexts();
    GlobalMadeChange();
    TellPagesChanged();
}
