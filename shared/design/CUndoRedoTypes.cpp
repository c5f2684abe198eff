#include "CUndoRedoTypes.h"

#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CException.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CPropGroups.h"

#include <QWidget>
#include <exception>

namespace {
// A record still held in the list being discarded that names the control.
bool HeldRecordNames(const QWidget *ctrl)
{
    const TUndoRedo::TItemList *list = TUndoRedo::ListBeingFreed();
    if (!list)
        return false;
    for (const auto &item : *list)
        if (const auto *record = dynamic_cast<const TUndoRedoTypes_Base *>(item.get()))
            if (record->Names(ctrl))
                return true;
    return false;
}

bool Detached(const QObject *object)
{
    const auto *component = dynamic_cast<const TComponent *>(object);
    return !component || !component->Owner();
}

void ReportFreeFailure(const QString &kind, const QString &message)
{
    Global_MessageDlg(QString(), QString::fromLatin1(SUndoRedoFreeError).arg(kind, message),
                      mtError, mbOK, 0);
}
} // namespace

TUndoRedoTypes_Item::TUndoRedoTypes_Item(QObject *object, bool ownsObject)
    : m_object(object), m_ownsObject(ownsObject)
{ }

TUndoRedoTypes_Item::~TUndoRedoTypes_Item()
{
    // Never from a base destructor's virtual call: the derived part decides in its own.
    if (!m_ownsObject || !m_object || !MayFree())
        return;
    try {
        FreeInternals();
    } catch (const EVeloraError &error) {
        ReportFreeFailure(KindName(), error.Message());
    } catch (const std::exception &error) {
        ReportFreeFailure(KindName(), QString::fromLocal8Bit(error.what()));
    }
}

QWidget *TUndoRedoTypes_Item::Ctrl() const
{
    return qobject_cast<QWidget *>(m_object.data());
}

bool TUndoRedoTypes_Item::Names(const QWidget *ctrl) const
{
    const QWidget *own = Ctrl();
    return own && ctrl && (own == ctrl || ctrl->parentWidget() == own);
}

bool TUndoRedoTypes_Item::MayFree() const
{
    const QWidget *ctrl = Ctrl();
    return ctrl && Detached(ctrl) && !ctrl->parentWidget() && !HeldRecordNames(ctrl);
}

void TUndoRedoTypes_Item::FreeInternals()
{
    if (auto *element = qobject_cast<TBasePgCtrl *>(Object()))
        delete element;
}

QString TUndoRedoTypes_Item::KindName() const
{
    return QStringLiteral("Form Element");
}

TUndoRedoTypes_ZOrder::TUndoRedoTypes_ZOrder(QObject *object, bool ownsObject, int zOrder)
    : TUndoRedoTypes_Item(object, ownsObject), ZOrder(zOrder)
{ }

TUndoRedoTypes_CtrlMovedResized::TUndoRedoTypes_CtrlMovedResized(QObject *object, bool ownsObject,
                                                                 const Extended values[8])
    : TUndoRedoTypes_Item(object, ownsObject)
{
    std::copy(values, values + 8, Values);
}

std::unique_ptr<TUndoRedoTypes_CtrlMovedResized>
TUndoRedoTypes_CtrlMovedResized::Capture(TVisualPgCtrl *element, bool ownsObject)
{
    Extended values[8] = {element->BaseRelLeft(), element->BaseRelTop(), element->BaseRelWidth(),
                          element->BaseRelHeight()};
    if (const TPropGroupPosSize *group = element->VisualPosSizeProps()) {
        values[4] = group->PosSizeLeft();
        values[5] = group->PosSizeTop();
        values[6] = group->PosSizeWidth();
        values[7] = group->PosSizeHeight();
    }
    return std::make_unique<TUndoRedoTypes_CtrlMovedResized>(element, ownsObject, values);
}

void TUndoRedoTypes_CtrlMovedResized::Restore() const
{
    auto *element = qobject_cast<TVisualPgCtrl *>(Object());
    if (!element)
        return;
    element->SetBaseRelLeft(Values[0]);
    element->SetBaseRelTop(Values[1]);
    element->SetBaseRelWidth(Values[2]);
    element->SetBaseRelHeight(Values[3]);
    if (TPropGroupPosSize *group = element->VisualPosSizeProps())
        group->UpdateBounds(Values[4], Values[5], Values[6], Values[7]);
    if (const TPrinterPage *page = element->ParentPage())
        element->UpdateBounds(element->RelBoundsRect(page->PaperRect()));
    element->BuildWYSIWYGInf(true, true);
}

TUndoRedoTypes_PropInsp::TUndoRedoTypes_PropInsp(QObject *object, bool ownsObject,
                                                 QObject *propObject, const QString &propName,
                                                 const QString &value)
    : TUndoRedoTypes_Item(object, ownsObject), PropObject(propObject), PropName(propName),
      Value(value)
{ }

TUndoRedoTypes_DblClickDlg::TUndoRedoTypes_DblClickDlg(QObject *object, bool ownsObject,
                                                       const QString &text1, const QString &text2)
    : TUndoRedoTypes_Item(object, ownsObject), Text1(text1), Text2(text2)
{ }

TUndoRedoTypes_Page::TUndoRedoTypes_Page(QObject *object, bool ownsObject,
                                         std::unique_ptr<TProjectPropsPageProps> pageProps)
    : TUndoRedoTypes_Item(object, ownsObject), m_pageProps(std::move(pageProps))
{ }

TUndoRedoTypes_Page::~TUndoRedoTypes_Page()
{
    // The base destructor no longer sees this class: the page decides here.
    if (OwnsObject() && Object() && MayFree()) {
        try {
            FreeInternals();
        } catch (const EVeloraError &error) {
            ReportFreeFailure(KindName(), error.Message());
        } catch (const std::exception &error) {
            ReportFreeFailure(KindName(), QString::fromLocal8Bit(error.what()));
        }
    }
}

std::unique_ptr<TProjectPropsPageProps> TUndoRedoTypes_Page::TakePageProps()
{
    return std::move(m_pageProps);
}

bool TUndoRedoTypes_Page::MayFree() const
{
    // A page back in the document sits in a tab again.
    const QWidget *surface = Ctrl();
    return surface && !surface->parentWidget() && !HeldRecordNames(surface);
}

void TUndoRedoTypes_Page::FreeInternals()
{
    QWidget *surface = Ctrl();
    for (QObject *child : surface->children())
        if (dynamic_cast<TComponent *>(child) && Detached(child))
            delete child;
    delete surface;
    m_pageProps.reset();
}

QString TUndoRedoTypes_Page::KindName() const
{
    return QStringLiteral("Page");
}

TUndoRedoTypes_Base::TUndoRedoTypes_Base(TUndoRedoTypes_ID id, int pageIndex,
                                         const QByteArray &inspectorState)
    : m_id(id), m_pageIndex(pageIndex), m_inspectorState(inspectorState)
{ }

TUndoRedoTypes_Base::~TUndoRedoTypes_Base()
{
    // Last first, each taken out before it goes, so that it no longer counts as held.
    while (!m_items.empty()) {
        std::unique_ptr<TUndoRedoTypes_Item> entry = std::move(m_items.back());
        m_items.pop_back();
        entry.reset();
    }
}

void TUndoRedoTypes_Base::AddItem(std::unique_ptr<TUndoRedoTypes_Item> entry)
{
    m_items.push_back(std::move(entry));
}

bool TUndoRedoTypes_Base::Names(const QWidget *ctrl) const
{
    for (const auto &entry : m_items)
        if (entry && entry->Names(ctrl))
            return true;
    return false;
}
