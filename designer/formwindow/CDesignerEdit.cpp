// The designer window's element commands, the records they make and the one
// handler that applies a record for undo and redo.

#include "CBasePgCtrl.h"
#include "CDesignerMainForm.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CPublished.h"
#include "CSurfaceDesigner.h"
#include "CUndoRedo.h"
#include "CUndoRedoTypes.h"

#include <QMetaProperty>
#include <QScrollBar>
#include <algorithm>

namespace {
QList<QWidget *> SiblingWidgets(const QWidget *parent, const QWidget *except)
{
    QList<QWidget *> widgets;
    for (QObject *child : parent->children())
        if (auto *widget = qobject_cast<QWidget *>(child); widget && widget != except)
            widgets.append(widget);
    return widgets;
}

bool IsElement(const QWidget *widget)
{
    return qobject_cast<const TBasePgCtrl *>(widget) != nullptr;
}

// What the page keeps above its elements stays there.
void RaisePageChrome(TPrinterPage *page, QWidget *engine)
{
    page->HorzScrollBar()->raise();
    page->VertScrollBar()->raise();
    if (engine && engine->parentWidget() == page)
        engine->raise();
}

// Puts each control at its child index; the indexes are those of one arrangement,
// so placing them lowest first lands each where it was.
void SetZOrders(TPrinterPage *page, QWidget *engine, QList<std::pair<QWidget *, int>> places)
{
    for (const auto &[ctrl, index] : places)
        ctrl->raise();
    std::stable_sort(places.begin(), places.end(),
                     [](const auto &a, const auto &b) { return a.second < b.second; });
    for (const auto &[ctrl, index] : places) {
        const QList<QWidget *> siblings = SiblingWidgets(page, ctrl);
        if (index >= 0 && index < siblings.size())
            ctrl->stackUnder(siblings.at(index));
        else
            ctrl->raise();
    }
    RaisePageChrome(page, engine);
}

void Relayout(QWidget *ctrl)
{
    auto *element = qobject_cast<TBasePgCtrl *>(ctrl);
    if (!element)
        return;
    if (const TPrinterPage *page = element->ParentPage())
        element->UpdateBounds(element->RelBoundsRect(page->PaperRect()));
    if (auto *visual = qobject_cast<TVisualPgCtrl *>(element))
        visual->BuildWYSIWYGInf(true, true);
}

// The object holding the path's last property, and that property; null when the path
// does not lead to one.
std::pair<QObject *, QMetaProperty> ResolveProperty(QObject *object, const QString &path)
{
    const QStringList names = path.split(QLatin1Char('.'));
    for (qsizetype i = 0; object && i < names.size(); ++i) {
        const QMetaObject *meta = object->metaObject();
        const int index = meta->indexOfProperty(names.at(i).toLatin1().constData());
        const QMetaProperty property
            = index >= 0 ? meta->property(index) : FindStoredProperty(meta, names.at(i));
        if (!property.isValid())
            return {};
        if (i == names.size() - 1)
            return {object, property};
        object = property.read(object).value<QObject *>();
    }
    return {};
}

void TellElements(QWidget *ctrl)
{
    const auto *component = dynamic_cast<const TComponent *>(ctrl);
    const QString name = component ? component->Name() : QString();
    GlobalNotifyCtrls(VRMSGBasePgCtrlNameChanged, ObjectParam(ctrl),
                      reinterpret_cast<std::intptr_t>(&name), true);
}
} // namespace

std::unique_ptr<TUndoRedoTypes_Base> TDesignerMainForm::NewRecord(int id) const
{
    return std::make_unique<TUndoRedoTypes_Base>(TUndoRedoTypes_ID(id), GlobalActivePgIdx());
}

void TDesignerMainForm::Record(std::unique_ptr<TUndoRedoTypes_Base> undo,
                               std::unique_ptr<TUndoRedoTypes_Base> redo)
{
    m_undo->Add(std::move(undo), std::move(redo));
}

void TDesignerMainForm::RecordElements(TUndoRedoTypes_ID id, const QList<QWidget *> &elements)
{
    auto undo = NewRecord(id);
    auto redo = NewRecord(id);
    for (QWidget *element : elements) {
        const int z = CommonGlobal_CtrlZOrder(element);
        undo->AddItem(std::make_unique<TUndoRedoTypes_ZOrder>(element, true, z));
        redo->AddItem(std::make_unique<TUndoRedoTypes_ZOrder>(element, false, z));
    }
    Record(std::move(undo), std::move(redo));
}

void TDesignerMainForm::AdoptPasted(TBasePgCtrl *element)
{
    if (element->Name().isEmpty() || GlobalPagesPageControl->FindComponent(element->Name()))
        element->SetName(SurfaceDesignerGetAutoName(element, GlobalPagesPageControl));
    GlobalPagesPageControl->InsertComponent(element);
}

void TDesignerMainForm::EditCommand(int command)
{
    if (!DesignMode()) {
        static constexpr std::uint32_t kMessages[]
            = {VRMSGUndo, VRMSGRedo, VRMSGCut, VRMSGCopy, VRMSGPaste, VRMSGClear, VRMSGSelectAll};
        if (command >= 0 && command < int(std::size(kMessages)))
            SendToFocused(kMessages[command]);
        return;
    }
    if (command == ecUndo || command == ecRedo) {
        command == ecUndo ? m_undo->Undo() : m_undo->Redo();
        EditStateChanged(nullptr);
        return;
    }
    if (CurrentDesigner() == m_designer2.get()) {
        StripCommand(command);
        return;
    }
    if (!m_designer1->Active() || !m_designer1->Surface())
        return;
    TSurfaceDesignerEngine *engine = m_designer1->Engine();
    const QString clipboard = GlobalAppVisualClipboardFile();
    switch (command) {
    case ecCut:
        if (engine->Cut(true, clipboard, true))
            m_pasteOffset = 0;
        break;
    case ecCopy:
        if (engine->Copy(true, clipboard))
            m_pasteOffset = 8;
        break;
    case ecPaste: {
        m_designer1->UnSelectAll();
        const TGlobalFlagScope pasting(GlobalPasting);
        if (engine->Paste(true, clipboard))
            m_pasteOffset += 8;
        break;
    }
    case ecDelete:
        m_designer1->Delete(nullptr);
        if (m_pasteOffset > 0)
            m_pasteOffset -= 8;
        break;
    case ecSelectAll:
        m_designer1->SelectAll();
        break;
    case ecDuplicate: {
        TMemoryStream stream;
        engine->Copy(false, QString(), &stream);
        m_designer1->UnSelectAll();
        m_pasteOffset = 8;
        const TGlobalFlagScope pasting(GlobalPasting);
        engine->Paste(false, QString(), &stream);
        break;
    }
    default:
        break;
    }
    EditStateChanged(nullptr);
}

void TDesignerMainForm::RemoveElement(QWidget *element, bool record)
{
    if (!element)
        return;
    if (record)
        RecordElements(idCtrlRemoved, {element});
    if (m_designer1)
        m_designer1->Engine()->RemoveFromSelection(element);
    if (!qobject_cast<TVisualPgCtrl *>(element))
        NonVisualGoing(element);
    element->setParent(nullptr);
    if (auto *component = dynamic_cast<TComponent *>(element); component && component->Owner())
        component->Owner()->RemoveComponent(component);
    TellElements(element);
}

void TDesignerMainForm::BeforeCtrlsDeleted(const QList<QWidget *> &ctrls)
{
    if (!Replaying())
        RecordElements(idCtrlRemoved, ctrls);
    for (QWidget *ctrl : ctrls)
        RemoveElement(ctrl, false);
    GlobalMadeChange();
}

void TDesignerMainForm::CtrlMoved(const QList<QWidget *> &ctrls, int, int grabber, bool horz,
                                  bool vert)
{
    GlobalMadeChange();
    QList<TVisualPgCtrl *> elements;
    for (QWidget *ctrl : ctrls)
        if (auto *element = qobject_cast<TVisualPgCtrl *>(ctrl))
            elements.append(element);
    if (elements.isEmpty())
        return;
    // Captured before the stored positions follow the new bounds.
    auto undo = NewRecord(idCtrlMoveResize);
    for (TVisualPgCtrl *element : elements)
        undo->AddItem(TUndoRedoTypes_CtrlMovedResized::Capture(element, true));
    const auto g = TSurfaceDesignerGrabber(grabber);
    const bool move = g == dgNone;
    const bool leftEdge = g == dgTopLeft || g == dgLeftCenter || g == dgBottomLeft;
    const bool rightEdge = g == dgTopRight || g == dgRightCenter || g == dgBottomRight;
    const bool topEdge = g == dgTopLeft || g == dgTopCenter || g == dgTopRight;
    const bool bottomEdge = g == dgBottomLeft || g == dgBottomCenter || g == dgBottomRight;
    const bool left = move || leftEdge || horz;
    const bool top = move || topEdge || vert;
    const bool width = !move && (leftEdge || rightEdge || horz);
    const bool height = !move && (topEdge || bottomEdge || vert);
    auto redo = NewRecord(idCtrlMoveResize);
    for (TVisualPgCtrl *element : elements) {
        element->CalcRelBounds(left, top, false, false, height, width);
        if (!move)
            element->BuildWYSIWYGInf(true, true);
        redo->AddItem(TUndoRedoTypes_CtrlMovedResized::Capture(element, false));
    }
    Record(std::move(undo), std::move(redo));
    EditStateChanged(nullptr);
}

void TDesignerMainForm::CtrlsPasted(const QList<QWidget *> &ctrls)
{
    TPrinterPage *page = ActivePage();
    if (!page)
        return;
    const TGlobalFlagScope pasting(GlobalPasting);
    QList<QWidget *> placed;
    for (QWidget *ctrl : ctrls) {
        auto *element = qobject_cast<TBasePgCtrl *>(ctrl);
        // What is not an element is left to the designer, which frees it.
        if (!element)
            continue;
        AdoptPasted(element);
        const QRect at
            = element->RelBoundsRect(page->PaperRect()).translated(m_pasteOffset, m_pasteOffset);
        m_designer1->Add(element, at, page, false, false);
        element->CalcRelBounds(true, true, false, false, true, true);
        if (auto *visual = qobject_cast<TVisualPgCtrl *>(element)) {
            visual->BuildWYSIWYGInf(true, true);
            if (TPropGroupGeneral *general = visual->VisualGeneralProps())
                general->SetGeneralLocked(false);
            visual->SetTabOrder(int(page->children().size()) + 1);
        } else {
            AddStripButton(element);
        }
        placed.append(element);
    }
    if (placed.isEmpty())
        return;
    RaisePageChrome(page, m_designer1->Engine());
    RecordElements(idCtrlAdded, placed);
    for (int i = 0; i < placed.size(); ++i)
        m_designer1->SelectCtrl(placed.at(i), i > 0);
    for (QWidget *ctrl : placed)
        TellElements(ctrl);
}

bool TDesignerMainForm::ChangeProperty(const QList<QObject *> &objects, const QString &path,
                                       const QString &value)
{
    struct TChange
    {
        QObject *Object;
        QObject *Holder;
        QMetaProperty Property;
        QString Old;
    };
    if (path == QLatin1String("Name"))
        return Rename(objects.size() == 1 ? objects.front() : nullptr, value);
    QList<TChange> changes;
    for (QObject *object : objects) {
        const auto [holder, property] = ResolveProperty(object, path);
        if (!holder || !property.isWritable())
            return false;
        // An object that already holds the value is left out; none left, nothing is recorded.
        const QString old = PropertyValueText(holder, property);
        if (old != value)
            changes.append({object, holder, property, old});
    }
    // All or nothing: a value one object refuses is taken back from the others.
    for (qsizetype i = 0; i < changes.size(); ++i) {
        const TChange &c = changes.at(i);
        if (!SetPropertyValueText(c.Holder, c.Property, value)) {
            for (qsizetype j = i - 1; j >= 0; --j)
                SetPropertyValueText(changes.at(j).Holder, changes.at(j).Property,
                                     changes.at(j).Old);
            return false;
        }
    }
    if (changes.isEmpty())
        return true;
    auto undo = NewRecord(idPropInspChange);
    auto redo = NewRecord(idPropInspChange);
    for (const TChange &c : changes) {
        undo->AddItem(std::make_unique<TUndoRedoTypes_PropInsp>(
            c.Object, true, c.Holder, QString::fromLatin1(c.Property.name()), c.Old));
        redo->AddItem(std::make_unique<TUndoRedoTypes_PropInsp>(
            c.Object, false, c.Holder, QString::fromLatin1(c.Property.name()),
            PropertyValueText(c.Holder, c.Property)));
        if (auto *ctrl = qobject_cast<QWidget *>(c.Object))
            Relayout(ctrl);
    }
    Record(std::move(undo), std::move(redo));
    GlobalMadeChange();
    if (m_designer1 && m_designer1->Active())
        m_designer1->Engine()->update();
    EditStateChanged(nullptr);
    return true;
}

bool TDesignerMainForm::Rename(QObject *object, const QString &name)
{
    auto *component = dynamic_cast<TComponent *>(object);
    if (!component)
        return false;
    const QString old = component->Name();
    if (old == name)
        return true;
    // Raises with the reason when the name is not valid or is taken (an element says why
    // itself and keeps its name); nothing is recorded then.
    component->SetName(name);
    if (component->Name() != name)
        return true;
    auto undo = NewRecord(idPropInspChange);
    auto redo = NewRecord(idPropInspChange);
    const QString property = QStringLiteral("Name");
    undo->AddItem(std::make_unique<TUndoRedoTypes_PropInsp>(object, true, object, property, old));
    redo->AddItem(std::make_unique<TUndoRedoTypes_PropInsp>(object, false, object, property, name));
    Record(std::move(undo), std::move(redo));
    GlobalMadeChange();
    EditStateChanged(nullptr);
    return true;
}

void TDesignerMainForm::RaisePageChromeOf(TPrinterPage *page)
{
    RaisePageChrome(page, m_designer1 ? m_designer1->Engine() : nullptr);
}

void TDesignerMainForm::BringToFront()
{
    ChangeZOrder(true);
}

void TDesignerMainForm::SendToBack()
{
    ChangeZOrder(false);
}

void TDesignerMainForm::ChangeZOrder(bool toFront)
{
    if (!DesignMode() || !m_designer1->Active())
        return;
    TPrinterPage *page = ActivePage();
    TSurfaceDesignerEngine *engine = m_designer1->Engine();
    QList<QWidget *> ctrls;
    for (QWidget *ctrl : engine->SelectedCtrls())
        if (ctrl && IsElement(ctrl) && ctrl->parentWidget() == page)
            ctrls.append(ctrl);
    if (!page || ctrls.isEmpty())
        return;
    const TUndoRedoTypes_ID id = toFront ? idToFront : idToBack;
    auto undo = NewRecord(id);
    for (QWidget *ctrl : ctrls)
        undo->AddItem(
            std::make_unique<TUndoRedoTypes_ZOrder>(ctrl, true, CommonGlobal_CtrlZOrder(ctrl)));
    if (toFront) {
        for (QWidget *ctrl : ctrls)
            ctrl->raise();
    } else {
        // Under the lowest element, so that the sheet and its shadow stay beneath.
        for (auto it = ctrls.rbegin(); it != ctrls.rend(); ++it) {
            const QList<QWidget *> siblings = SiblingWidgets(page, *it);
            const auto lowest = std::find_if(siblings.begin(), siblings.end(), IsElement);
            if (lowest != siblings.end())
                (*it)->stackUnder(*lowest);
        }
    }
    RaisePageChrome(page, engine);
    auto redo = NewRecord(id);
    for (QWidget *ctrl : ctrls)
        redo->AddItem(
            std::make_unique<TUndoRedoTypes_ZOrder>(ctrl, false, CommonGlobal_CtrlZOrder(ctrl)));
    Record(std::move(undo), std::move(redo));
    engine->update();
    EditStateChanged(nullptr);
}

void TDesignerMainForm::RestoreElement(QWidget *element, TPrinterPage *page)
{
    if (auto *component = dynamic_cast<TComponent *>(element); component && !component->Owner())
        GlobalPagesPageControl->InsertComponent(component);
    element->setParent(page);
    if (qobject_cast<TVisualPgCtrl *>(element))
        element->show();
    else if (auto *nonVisual = qobject_cast<TBasePgCtrl *>(element))
        AddStripButton(nonVisual);
}

void TDesignerMainForm::ApplyRecord(TUndoRedoItem *item, bool isUndo)
{
    auto *record = dynamic_cast<TUndoRedoTypes_Base *>(item);
    if (!record || !HasDocument())
        return;
    const TUndoRedoTypes_ID id = record->ID();
    const bool pageRecord = id == idPageAdded || id == idPageRemoved;
    if (!pageRecord && record->PageIndex() != GlobalActivePgIdx()
        && record->PageIndex() < PagesPageControl()->PageCount())
        PagesPageControl()->SetActivePageIndex(record->PageIndex());
    m_designer1->UnSelectAll();
    TPrinterPage *page = GlobalPgScrollBox(record->PageIndex());
    QWidget *engine = m_designer1->Active() ? m_designer1->Engine() : nullptr;
    QList<QWidget *> ctrls;
    for (int i = 0; i < record->Count(); ++i)
        if (QWidget *ctrl = record->Items(i)->Ctrl())
            ctrls.append(ctrl);

    switch (id) {
    case idCtrlAdded:
    case idCtrlRemoved: {
        const bool remove = (id == idCtrlAdded) == isUndo;
        if (remove) {
            for (QWidget *ctrl : ctrls)
                RemoveElement(ctrl, false);
        } else if (page) {
            QList<std::pair<QWidget *, int>> places;
            for (int i = 0; i < record->Count(); ++i) {
                auto *entry = dynamic_cast<TUndoRedoTypes_ZOrder *>(record->Items(i));
                if (!entry || !entry->Ctrl())
                    continue;
                RestoreElement(entry->Ctrl(), page);
                places.append({entry->Ctrl(), entry->ZOrder});
            }
            SetZOrders(page, engine, places);
            for (const auto &place : places) {
                Relayout(place.first);
                TellElements(place.first);
            }
        }
        break;
    }
    case idPageAdded:
    case idPageRemoved:
        if ((id == idPageAdded) == isUndo) {
            RemovePage(record->PageIndex(), false);
        } else if (auto *entry = dynamic_cast<TUndoRedoTypes_Page *>(
                       record->Count() > 0 ? record->Items(0) : nullptr)) {
            if (const int at = RestorePage(*entry, record->PageIndex()); at >= 0)
                record->SetPageIndex(at);
        }
        break;
    case idDblClickDlg:
        for (int i = 0; i < record->Count(); ++i)
            if (auto *entry = dynamic_cast<TUndoRedoTypes_DblClickDlg *>(record->Items(i)))
                ApplyDialogEdit(*entry);
        break;
    case idPropInspChange:
        for (int i = 0; i < record->Count(); ++i) {
            auto *entry = dynamic_cast<TUndoRedoTypes_PropInsp *>(record->Items(i));
            if (!entry || !entry->PropObject)
                continue;
            const QMetaObject *meta = entry->PropObject->metaObject();
            const QMetaProperty property
                = meta->property(meta->indexOfProperty(entry->PropName.toLatin1().constData()));
            if (property.isValid())
                SetPropertyValueText(entry->PropObject, property, entry->Value);
            else if (auto *component = dynamic_cast<TComponent *>(entry->PropObject.data());
                     component && entry->PropName == QLatin1String("Name"))
                component->SetName(entry->Value);
            if (QWidget *ctrl = entry->Ctrl())
                Relayout(ctrl);
        }
        break;
    case idCtrlMoveResize:
        for (int i = 0; i < record->Count(); ++i)
            if (auto *entry = dynamic_cast<TUndoRedoTypes_CtrlMovedResized *>(record->Items(i)))
                entry->Restore();
        break;
    case idToFront:
    case idToBack:
        if (page) {
            QList<std::pair<QWidget *, int>> places;
            for (int i = record->Count() - 1; i >= 0; --i)
                if (auto *entry = dynamic_cast<TUndoRedoTypes_ZOrder *>(record->Items(i));
                    entry && entry->Ctrl() && entry->Ctrl()->parentWidget() == page)
                    places.append({entry->Ctrl(), entry->ZOrder});
            SetZOrders(page, engine, places);
        }
        break;
    default:
        break;
    }

    // Elements that came or went leave nothing selected; the others are selected again.
    if (id != idCtrlAdded && id != idCtrlRemoved && !pageRecord && m_designer1->Active()) {
        bool first = true;
        for (QWidget *ctrl : ctrls)
            if (ctrl->parentWidget() == m_designer1->Surface()) {
                m_designer1->SelectCtrl(ctrl, !first);
                first = false;
            }
    }
    if (engine)
        engine->update();
}
