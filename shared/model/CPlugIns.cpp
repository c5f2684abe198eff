#include "CPlugIns.h"

#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CSorter.h"
#include "CSplashForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLibrary>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QSet>

#include <dlfcn.h>

TPlugIns *GlobalPlugIns = nullptr;

namespace {
QString WithTrailingSlash(const QString &folder)
{
    return folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

// Name order, so that loading (and its messages) does not depend on the file system.
QStringList PlugInFiles(const QString &folder)
{
    // An empty folder would mean the working directory.
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("vrPI_*.bpl")});
    // Files only: a folder or a pipe of that name is nothing to load.
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name);
    return dir.entryList();
}

QString ReasonOf(const std::exception &error)
{
    if (const auto *velora = dynamic_cast<const EVeloraError *>(&error))
        return velora->Message();
    return QString::fromLocal8Bit(error.what());
}

int SortGroupOf(int kind)
{
    const TPlugInKind *row = GlobalPlugInKind(kind);
    return row ? row->SortGroup : 0;
}

// Code of an element still alive must not be unmapped under it.
bool HasLiveElements(const QString &className)
{
    const TRegisteredClass *registered = GetClass(className);
    if (!registered || !registered->MetaObject)
        return false;
    const QWidgetList widgets = QApplication::allWidgets();
    for (const QWidget *widget : widgets)
        if (widget->metaObject()->inherits(registered->MetaObject))
            return true;
    return false;
}

// Qt keeps one process-wide table of custom meta-types, and a plug-in carries
// its own copy of the description of every type it names. A copy left in that
// table after unloading would be read from unmapped memory by the next
// registration of the same name: when the plug-in is loaded again, say.
const void *ObjectBase(const void *address)
{
    Dl_info info;
    return address && dladdr(address, &info) ? info.dli_fbase : nullptr;
}

// The types an element class names, with the classes of its published groups.
void CollectTypes(const QMetaObject *meta, QSet<const QMetaObject *> &seen, QList<QMetaType> &types)
{
    for (; meta && !seen.contains(meta); meta = meta->superClass()) {
        seen.insert(meta);
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaType type = meta->property(i).metaType();
            types << type;
            if (type.flags().testFlag(QMetaType::PointerToQObject))
                CollectTypes(type.metaObject(), seen, types);
        }
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            types << method.returnMetaType();
            for (int p = 0; p < method.parameterCount(); ++p)
                types << method.parameterMetaType(p);
        }
    }
}

QList<QMetaType> TypesOf(const QList<const QMetaObject *> &classes)
{
    QList<QMetaType> types;
    QSet<const QMetaObject *> seen;
    for (const QMetaObject *meta : classes)
        CollectTypes(meta, seen, types);
    return types;
}

// The programs' descriptions enter the table before the plug-in's copies can:
// those then only ever point at them.
void RegisterProgramTypes(const QMetaObject *elementClass)
{
    const void *base = ObjectBase(elementClass);
    for (QMetaType type : TypesOf({elementClass}))
        if (type.isValid() && ObjectBase(type.iface()) != base)
            type.id();
}

void UnregisterPlugInTypes(const QList<const QMetaObject *> &classes)
{
    if (classes.isEmpty())
        return;
    const void *base = ObjectBase(classes.first());
    for (QMetaType type : TypesOf(classes)) {
        const QtPrivate::QMetaTypeInterface *own = type.iface();
        if (!own || ObjectBase(own) != base)
            continue;
        const int id = own->typeId.loadRelaxed();
        // By name: another plug-in's copy of a shared type may carry an id already taken
        // away, and asking for that id is answered with a warning.
        if (id >= QMetaType::User && QMetaType::fromName(own->name).iface() == own)
            QMetaType::unregisterMetaType(type);
    }
}
} // namespace

// ---------------------------------------------------------------------------
// TPlugIn

TPlugIn::TPlugIn(const QString &folder, const QString &fileName)
    : m_className(ClassNameOf(fileName))
{
    QString reason;
    try {
        Load(folder, fileName);
        return;
    } catch (const std::exception &error) {
        reason = ReasonOf(error);
    } catch (...) {
        reason = QStringLiteral("Unknown error.");
    }
    Release();
    Global_MessageDlg(GlobalAppTitle(),
                      QStringLiteral("Error loading %1 plug-in.\n%2").arg(m_className, reason),
                      mtError, mbOK, 0);
    throw EPlugInAbort(reason);
}

TPlugIn::~TPlugIn()
{
    Release();
}

QString TPlugIn::ClassNameOf(const QString &fileName)
{
    QString kind = QFileInfo(fileName).completeBaseName();
    kind.remove(QStringLiteral("vrPI_"), Qt::CaseInsensitive);
    return u'T' + kind;
}

void TPlugIn::Load(const QString &folder, const QString &fileName)
{
    const QString path = folder + fileName;
    auto library = std::make_unique<QLibrary>(path);
    if (!library->load())
        throw EVeloraError(library->errorString());
    m_handle = std::move(library);

    const TRegisteredClass *registered = GetClass(m_className);
    if (!registered)
        throw EVeloraError(
            QStringLiteral("%1 does not register the class %2.").arg(path, m_className));
    RegisterProgramTypes(registered->MetaObject);
    m_typeSources = {registered->MetaObject};
    m_instance.reset(GetInstance(nullptr));
    if (!m_instance)
        throw EVeloraError(QStringLiteral("%1 is not a form element.").arg(m_className));
    // The published groups may be the kind's own classes behind a program's type.
    for (const QObject *part : m_instance->Object()->findChildren<QObject *>())
        if (!m_typeSources.contains(part->metaObject()))
            m_typeSources << part->metaObject();
    m_hint = m_instance->GetPlugInHint();
    m_fileName = path;
    m_paletteImage = LoadImage(m_className, path);
    m_toolBarImage = LoadImage(m_className + QStringLiteral("_1"), path);
    QFile description(QStringLiteral(":/plugins/%1.txt").arg(m_className.toUpper()));
    if (description.open(QIODevice::ReadOnly))
        m_description = QString::fromUtf8(description.readAll()).trimmed();
    m_instance->RegisterPropertyEditors();
}

std::unique_ptr<QPixmap> TPlugIn::LoadImage(const QString &resource, const QString &fileName)
{
    const QString path = QStringLiteral(":/plugins/%1.png").arg(resource.toUpper());
    // Not through QPixmap::load: its cache would outlive the plug-in's resources.
    const QImage image(path);
    if (image.isNull())
        throw EVeloraError(QStringLiteral("%1 has no image %2.").arg(fileName, path));
    return std::make_unique<QPixmap>(QPixmap::fromImage(image));
}

void TPlugIn::Release()
{
    m_toolBarImage.reset();
    m_paletteImage.reset();
    m_instance.reset();
    if (!m_handle)
        return;
    if (HasLiveElements(m_className))
        qWarning("Velora: %s stays loaded while elements of %s exist.",
                 qPrintable(m_handle->fileName()), qPrintable(m_className));
    else {
        UnregisterPlugInTypes(m_typeSources);
        m_handle->unload();
    }
    m_handle.reset();
}

TBasePgCtrl *TPlugIn::GetInstance(TComponent *owner)
{
    const TRegisteredClass *registered = GetClass(m_className);
    if (!registered)
        return nullptr;
    TComponent *made = registered->Create(owner);
    if (auto *element = ComponentCast<TBasePgCtrl>(made))
        return element;
    // Not an element: nobody may keep it, its owner included.
    if (made)
        delete made->Object();
    return nullptr;
}

int TPlugIn::Kind() const
{
    return m_instance ? m_instance->ClassTypeID() : -1;
}

// ---------------------------------------------------------------------------
// TPlugIns

TPlugIns::TPlugIns(const QString &folder) : m_folder(WithTrailingSlash(folder))
{
    LoadPlugIns();
}

TPlugIns::~TPlugIns()
{
    Clear();
    if (GlobalPlugIns == this)
        GlobalPlugIns = nullptr;
}

void TPlugIns::GetPlugIns()
{
    const QStringList files = PlugInFiles(m_folder);
    for (const QString &fileName : files) {
        if (SplashForm)
            SplashForm->UpdateProgressBar(SplashForm->Progress() + 1);
        QString reason;
        try {
            m_list.push_back(std::make_unique<TPlugIn>(m_folder, fileName));
            continue;
        } catch (const std::exception &error) {
            reason = ReasonOf(error);
        } catch (...) {
            reason = QStringLiteral("Unknown error.");
        }
        Global_MessageDlg(GlobalAppTitle(),
                          QStringLiteral("%1 plug-in is not installed.\n%2")
                              .arg(QFileInfo(fileName).completeBaseName(), reason),
                          mtError, mbOK, 0);
    }
}

void TPlugIns::Clear()
{
    while (!m_list.empty())
        m_list.pop_back();
}

bool TPlugIns::Installed(int kind) const
{
    return PlugIn(kind) != nullptr;
}

void TPlugIns::LoadPlugIns()
{
    const TGlobalFlagScope loading(GlobalLoadingProject);
    Clear();
    GetPlugIns();
    if (m_list.empty())
        return;
    TSorter sorter;
    sorter.OnCompare = [this](TSorter *, int i, int j) {
        return SortComp(i, j);
    };
    sorter.OnSwap = [this](TSorter *, int i, int j) {
        SortSwop(i, j);
    };
    sorter.QuickSort(0, Count() - 1);
}

TPlugIn *TPlugIns::PlugIn(int kind) const
{
    for (const auto &plugIn : m_list)
        if (plugIn->Kind() == kind)
            return plugIn.get();
    return nullptr;
}

TBasePgCtrl *TPlugIns::PlugInInstance(int kind, bool create, TComponent *owner) const
{
    TPlugIn *plugIn = PlugIn(kind);
    if (!plugIn)
        return nullptr;
    return create ? plugIn->GetInstance(owner) : plugIn->Instance();
}

const QPixmap *TPlugIns::PlugInPaletteToolBarImage(int kind, bool second) const
{
    const TPlugIn *plugIn = PlugIn(kind);
    if (!plugIn)
        return nullptr;
    return second ? plugIn->ToolBarImage() : plugIn->PaletteImage();
}

int TPlugIns::SortComp(int i, int j) const
{
    const int kindI = m_list[i]->Kind();
    const int kindJ = m_list[j]->Kind();
    const int groupI = SortGroupOf(kindI);
    const int groupJ = SortGroupOf(kindJ);
    if (groupI != groupJ)
        return groupI < groupJ ? -1 : 1;
    if (kindI != kindJ)
        return kindI < kindJ ? -1 : 1;
    return 0;
}

void TPlugIns::SortSwop(int i, int j)
{
    std::swap(m_list[i], m_list[j]);
}

int PlugInCount(const QString &folder)
{
    return int(PlugInFiles(WithTrailingSlash(folder)).size());
}
