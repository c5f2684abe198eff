#pragma once
// The designer's undo records: one record per action, holding an entry per
// object concerned. The records of a pair made by the designer differ in who
// owns the objects: the undo record's entries do, the redo record's do not, so
// that an element taken off the document lives exactly as long as a record
// that could bring it back.

#include "CPublished.h"
#include "CUndoRedo.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QWidget;
class TProjectPropsPageProps;
class TVisualPgCtrl;

enum TUndoRedoTypes_ID : std::uint8_t {
    idBase,
    idCtrlAdded,
    idCtrlMoveResize,
    idCtrlRemoved,
    idPropInspChange,
    idDblClickDlg,
    idPageAdded,
    idPageRemoved,
    idToFront,
    idToBack
};

// The caption of the message shown when discarding an entry fails.
inline constexpr const char *SUndoRedoFreeError
    = "Unable to free %1 resources.\r\rError: %2\r\rAlthough this error was caught in theory "
      "it should never have happened. From this point on DO NOT save your project! If you have "
      "to save your project then use SAVE AS and specify a different project name. If you "
      "overwrite your existing project it may become corrupted. Exit this application and run "
      "it again.";

class TUndoRedoTypes_Item
{
public:
    TUndoRedoTypes_Item(QObject *object, bool ownsObject);
    virtual ~TUndoRedoTypes_Item();
    TUndoRedoTypes_Item(const TUndoRedoTypes_Item &) = delete;
    TUndoRedoTypes_Item &operator=(const TUndoRedoTypes_Item &) = delete;

    // Null once the object has gone by other means.
    QObject *Object() const { return m_object; }
    QWidget *Ctrl() const;
    bool OwnsObject() const { return m_ownsObject; }
    // Whether this entry names the control, or the container it sits in directly.
    bool Names(const QWidget *ctrl) const;

protected:
    // Frees the object when it is a form element.
    virtual void FreeInternals();
    // What the failure message calls the object.
    virtual QString KindName() const;
    // Owned, detached from the document, a control, and named by no record still held.
    virtual bool MayFree() const;

private:
    QPointer<QObject> m_object;
    bool m_ownsObject;
};

// An element's index in its parent's child order.
class TUndoRedoTypes_ZOrder : public TUndoRedoTypes_Item
{
public:
    TUndoRedoTypes_ZOrder(QObject *object, bool ownsObject, int zOrder);
    int ZOrder;
};

// An element's stored position and size and its position group's four values.
class TUndoRedoTypes_CtrlMovedResized : public TUndoRedoTypes_Item
{
public:
    TUndoRedoTypes_CtrlMovedResized(QObject *object, bool ownsObject, const Extended values[8]);
    // The values the element holds now.
    static std::unique_ptr<TUndoRedoTypes_CtrlMovedResized> Capture(TVisualPgCtrl *element,
                                                                    bool ownsObject);
    // Gives the values back and lays the element out from them on its page.
    void Restore() const;
    Extended Values[8];
};

class TUndoRedoTypes_PropInsp : public TUndoRedoTypes_Item
{
public:
    TUndoRedoTypes_PropInsp(QObject *object, bool ownsObject, QObject *propObject,
                            const QString &propName, const QString &value);
    QPointer<QObject> PropObject;
    QString PropName;
    QString Value;
};

class TUndoRedoTypes_DblClickDlg : public TUndoRedoTypes_Item
{
public:
    TUndoRedoTypes_DblClickDlg(QObject *object, bool ownsObject, const QString &text1,
                               const QString &text2);
    QString Text1;
    QString Text2;
};

// The object is the page surface; the page's properties are owned by the entry.
class TUndoRedoTypes_Page : public TUndoRedoTypes_Item
{
public:
    TUndoRedoTypes_Page(QObject *object, bool ownsObject,
                        std::unique_ptr<TProjectPropsPageProps> pageProps);
    ~TUndoRedoTypes_Page() override;
    TProjectPropsPageProps *PageProps() const { return m_pageProps.get(); }
    std::unique_ptr<TProjectPropsPageProps> TakePageProps();
    // The tab the surface sat in, made again with the same name when the page comes back.
    QString SheetName;
    QString SheetCaption;

protected:
    void FreeInternals() override;
    QString KindName() const override;
    bool MayFree() const override;

private:
    std::unique_ptr<TProjectPropsPageProps> m_pageProps;
};

// One record of the designer's history.
class TUndoRedoTypes_Base : public TUndoRedoItem
{
public:
    TUndoRedoTypes_Base(TUndoRedoTypes_ID id, int pageIndex,
                        const QByteArray &inspectorState = QByteArray());
    ~TUndoRedoTypes_Base() override;

    void AddItem(std::unique_ptr<TUndoRedoTypes_Item> entry);
    TUndoRedoTypes_ID ID() const { return m_id; }
    int PageIndex() const { return m_pageIndex; }
    void SetPageIndex(int index) { m_pageIndex = index; }
    const QByteArray &InspectorState() const { return m_inspectorState; }
    int Count() const { return int(m_items.size()); }
    TUndoRedoTypes_Item *Items(int index) const { return m_items.at(size_t(index)).get(); }
    // Whether an entry names the control or the container holding it.
    bool Names(const QWidget *ctrl) const;

private:
    TUndoRedoTypes_ID m_id;
    int m_pageIndex;
    QByteArray m_inspectorState;
    std::vector<std::unique_ptr<TUndoRedoTypes_Item>> m_items;
};
