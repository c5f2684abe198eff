#include "CObjectInspectorForm.h"

#include "CAppPaths.h"
#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CProjectProps.h"
#include "CPropGroups.h"
#include "CPropHelper.h"
#include "Cini.h"

#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString kSection = QStringLiteral("App");
const QString kExpanded = QStringLiteral("Expanded");
const QString kSplitter = QStringLiteral("Splitter");
constexpr int kNoHelpContext = 40;

QObject *OwnerOf(QObject *holder)
{
    for (QObject *o = holder; o; o = o->parent())
        if (qobject_cast<TBasePgCtrl *>(o) || qobject_cast<TProjectPropsPageProps *>(o))
            return o;
    return nullptr;
}
} // namespace

// ---------------------------------------------------------------------------
// TObjectComboBox

TObjectComboBox::TObjectComboBox(QWidget *parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("ObjectComboBox"));
    setMaxVisibleItems(16);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
}

void TObjectComboBox::SetObjects(QObject *pageProps, int pageIndex,
                                 const QList<QObject *> &elements)
{
    const QSignalBlocker blocker(this);
    clear();
    if (pageProps)
        // The spaces keep the entry as wide as the list is.
        addItem(QStringLiteral("Page %1").arg(pageIndex + 1) + QString(64, u' '),
                QVariant::fromValue(pageProps));
    QList<QObject *> sorted = elements;
    const auto nameOf = [](QObject *o) {
        const auto *component = dynamic_cast<const TComponent *>(o);
        return component ? component->Name() : o->objectName();
    };
    std::stable_sort(sorted.begin(), sorted.end(), [&](QObject *a, QObject *b) {
        return nameOf(a).compare(nameOf(b), Qt::CaseInsensitive) < 0;
    });
    for (QObject *element : std::as_const(sorted)) {
        const auto *ctrl = qobject_cast<TBasePgCtrl *>(element);
        QString kind = ctrl ? ctrl->GetPlugInHint() : QString();
        if (kind.isEmpty())
            kind = QString::fromLatin1(element->metaObject()->className());
        addItem(nameOf(element) + QStringLiteral(": ") + kind, QVariant::fromValue(element));
    }
    setCurrentIndex(-1);
}

QObject *TObjectComboBox::ObjectAt(int index) const
{
    return itemData(index).value<QObject *>();
}

void TObjectComboBox::ShowObject(QObject *object)
{
    const QSignalBlocker blocker(this);
    int found = -1;
    for (int i = 0; object && i < count(); ++i)
        if (ObjectAt(i) == object)
            found = i;
    setCurrentIndex(found);
}

// ---------------------------------------------------------------------------
// TObjectInspectorForm

TObjectInspectorForm::TObjectInspectorForm(QWidget *parent)
    : QWidget(parent, Qt::Tool), m_combo(new TObjectComboBox(this)), m_grid(new TPropertyGrid(this))
{
    setObjectName(QStringLiteral("ObjectInspectorForm"));
    setWindowTitle(QStringLiteral("Properties"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_combo);
    layout->addWidget(m_grid, 1);
    resize(260, 480);

    m_grid->SetExpanded(
        INIReadStr(GlobalAppINI, kSection, kExpanded, QString()).split(u',', Qt::SkipEmptyParts));
    m_grid->SetSplitter(
        INIReadInt(GlobalAppINI, kSection, kSplitter, TPropertyGrid::DefaultSplitter));

    TPropertyGridModel *model = m_grid->Model();
    model->OnFilterProp = [](QObject *holder, const QMetaProperty &property) {
        const TPropHelper *helper = HelperOf(holder);
        if (!helper || !helper->PropUsed(holder, property))
            return false;
        // An element's group also has its say about its own properties.
        const auto *group = qobject_cast<TPropGroup *>(holder);
        return !group || !qobject_cast<TBasePgCtrl *>(OwnerOf(holder))
            || group->PropUsed(QString::fromLatin1(property.name()));
    };
    model->OnTranslateProp = [](QObject *holder, const QMetaProperty &property) {
        const QString name = QString::fromLatin1(property.name());
        const TPropHelper *helper = HelperOf(holder);
        return helper && helper->Translated(name) ? GlobalGeneralString : name;
    };
    model->OnCompare = [](QObject *holder, const QMetaProperty &a, const QMetaProperty &b) {
        const TPropHelper *helper = HelperOf(holder);
        return helper ? helper->SortCompare(holder, a, b) : 0;
    };
    model->OnNameRow = [](QObject *object) {
        const TPropHelper *helper = HelperOf(object);
        return qobject_cast<TBasePgCtrl *>(object) && helper
            && helper->PropUsed(QStringLiteral("Name"));
    };
    model->OnChangeProperty
        = [this](const QList<QObject *> &objects, const QString &path, const QString &value) {
              return OnChangeProperty && OnChangeProperty(objects, path, value);
          };
    connect(model, &TPropertyGridModel::PropertyCommitted, this, [this](const QString &path) {
        if (path == QLatin1String("Name"))
            RebuildObjectList();
        emit PropertyChanged(path);
    });
    connect(m_combo, &QComboBox::activated, this, [this](int index) {
        QObject *object = m_combo->ObjectAt(index);
        if (!object)
            return;
        SetSelection({object});
        if (auto *element = qobject_cast<TBasePgCtrl *>(object))
            GlobalSelectElement(element, false);
        emit ElementChosen(object);
    });
}

TObjectInspectorForm::~TObjectInspectorForm()
{
    SaveSettings();
}

void TObjectInspectorForm::SaveSettings() const
{
    INIWriteInt(GlobalAppINI, kSection, kSplitter, m_grid->Splitter());
    INIWriteStr(GlobalAppINI, kSection, kExpanded, m_grid->Expanded().join(u','));
}

TPropHelper *TObjectInspectorForm::HelperOf(QObject *holder)
{
    QObject *owner = OwnerOf(holder);
    if (auto *element = qobject_cast<TBasePgCtrl *>(owner))
        return element->PropHelper();
    if (auto *page = qobject_cast<TProjectPropsPageProps *>(owner))
        return page->PropHelper();
    return nullptr;
}

void TObjectInspectorForm::SetSelection(const QList<QObject *> &objects)
{
    for (const QPointer<QObject> &old : std::as_const(m_selection))
        if (old)
            disconnect(old, &QObject::destroyed, this, nullptr);
    m_selection.clear();
    QList<QObject *> live;
    for (QObject *object : objects)
        if (object && !live.contains(object)) {
            live.append(object);
            m_selection.append(object);
            connect(object, &QObject::destroyed, this, [this] { ObjectGone(); });
        }
    m_grid->SetObjects(live);
    // The list is rebuilt when the page or its elements changed; renames rebuild it too.
    const int page = GlobalActivePgIdx();
    TPrinterPage *view = GlobalPgScrollBox(page);
    const int listed = view ? int(view->findChildren<TBasePgCtrl *>().size()) : 0;
    if (page != m_listedPage || listed != m_listedCount)
        RebuildObjectList();
    else
        m_combo->ShowObject(live.size() == 1 ? live.first() : nullptr);
}

QList<QObject *> TObjectInspectorForm::Selection() const
{
    QList<QObject *> result;
    for (const QPointer<QObject> &object : m_selection)
        if (object)
            result.append(object);
    return result;
}

void TObjectInspectorForm::ObjectGone()
{
    // The rows hold the objects: drop them at once, show the survivors once all are gone.
    m_grid->SetObjects({});
    if (m_rebuildPending)
        return;
    m_rebuildPending = true;
    QTimer::singleShot(0, this, [this] {
        m_rebuildPending = false;
        SetSelection(Selection());
    });
}

void TObjectInspectorForm::Refresh()
{
    m_grid->RefreshValues();
    // An undone rename changes the list's order.
    RebuildObjectList();
}

void TObjectInspectorForm::RebuildObjectList()
{
    const int page = GlobalActivePgIdx();
    QList<QObject *> elements;
    if (TPrinterPage *view = GlobalPgScrollBox(page))
        for (TBasePgCtrl *element : view->findChildren<TBasePgCtrl *>())
            elements.append(element);
    m_combo->SetObjects(GlobalPgProps(page), page, elements);
    m_listedPage = page;
    m_listedCount = int(elements.size());
    const QList<QObject *> selection = Selection();
    m_combo->ShowObject(selection.size() == 1 ? selection.first() : nullptr);
}

int TObjectInspectorForm::HelpContext() const
{
    const QList<QObject *> selection = Selection();
    const QString name = m_grid->CurrentPropertyName();
    if (selection.isEmpty() || name.isEmpty())
        return kNoHelpContext;
    const QString parentName = m_grid->CurrentParentName();
    QObject *object = selection.first();
    int context = 0;
    for (const QString &asked : {name, parentName}) {
        if (asked.isEmpty() || context)
            continue;
        if (auto *element = qobject_cast<TBasePgCtrl *>(object))
            context = element->HlpCtx(asked);
        else if (auto *page = qobject_cast<TProjectPropsPageProps *>(object))
            context = page->HlpCtx(asked);
        else if (auto *group = qobject_cast<TPropGroup *>(object))
            context = group->HlpCtx(asked);
    }
    return context > 0 ? context : kNoHelpContext;
}

void TObjectInspectorForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        emit HelpRequested(HelpContext());
        return;
    }
    QWidget::keyPressEvent(event);
}
