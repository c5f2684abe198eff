#pragma once
// The plug-in registry: every element kind installed beside the programs, with
// its prototype element and palette images, in palette order.

#include "CAppPaths.h"
#include "CException.h"

#include <QPixmap>
#include <QString>
#include <memory>
#include <vector>

class QLibrary;
class TBasePgCtrl;
class TComponent;

// Raised by a plug-in that failed to load once the user has been told; carries the reason.
class EPlugInAbort : public EVeloraError
{
public:
    using EVeloraError::EVeloraError;
};

// One loaded plug-in file and the element kind it registered.
class TPlugIn
{
public:
    // Loads folder + fileName; raises EPlugInAbort after telling the user why it failed.
    TPlugIn(const QString &folder, const QString &fileName);
    virtual ~TPlugIn();
    TPlugIn(const TPlugIn &) = delete;
    TPlugIn &operator=(const TPlugIn &) = delete;

    // A new element of the kind; with no owner the caller owns it. Null when the class is gone.
    virtual TBasePgCtrl *GetInstance(TComponent *owner);

    const QString &ClassName() const { return m_className; }
    const QString &Hint() const { return m_hint; }
    // The package's one-line description; empty when it has none.
    const QString &Description() const { return m_description; }
    TBasePgCtrl *Instance() const { return m_instance.get(); }
    QLibrary *Handle() const { return m_handle.get(); }
    const QString &FileName() const { return m_fileName; }
    const QPixmap *PaletteImage() const { return m_paletteImage.get(); }
    const QPixmap *ToolBarImage() const { return m_toolBarImage.get(); }
    // The kind number, asked of the prototype.
    int Kind() const;

    // "T" + the file name without extension and without any "vrPI_" (case ignored).
    static QString ClassNameOf(const QString &fileName);

private:
    void Load(const QString &folder, const QString &fileName);
    static std::unique_ptr<QPixmap> LoadImage(const QString &resource, const QString &fileName);
    void Release();

    QString m_className;
    QString m_hint;
    QString m_description;
    std::unique_ptr<QLibrary> m_handle;
    // Classes whose meta-types leave Qt's table with the code.
    QList<const QMetaObject *> m_typeSources;
    std::unique_ptr<TBasePgCtrl> m_instance;
    QString m_fileName;
    std::unique_ptr<QPixmap> m_paletteImage;
    std::unique_ptr<QPixmap> m_toolBarImage;
};

// The registry of installed kinds. Elements of a kind must be gone before the
// registry (or its entry) goes.
class TPlugIns
{
public:
    // Loads every plug-in of folder (with a trailing "/").
    explicit TPlugIns(const QString &folder = GlobalExecPath);
    virtual ~TPlugIns();
    TPlugIns(const TPlugIns &) = delete;
    TPlugIns &operator=(const TPlugIns &) = delete;

    virtual void GetPlugIns();
    virtual void Clear();
    virtual bool Installed(int kind) const;
    virtual void LoadPlugIns();
    // Null for a kind that is not installed, here and below.
    virtual TPlugIn *PlugIn(int kind) const;
    // The prototype, or (create) a new element owned by owner.
    virtual TBasePgCtrl *PlugInInstance(int kind, bool create, TComponent *owner) const;
    virtual const QPixmap *PlugInPaletteToolBarImage(int kind, bool second) const;

    int SortComp(int i, int j) const;
    void SortSwop(int i, int j);

    // In palette order once loaded.
    const std::vector<std::unique_ptr<TPlugIn>> &List() const { return m_list; }
    int Count() const { return int(m_list.size()); }
    const QString &Folder() const { return m_folder; }

private:
    QString m_folder;
    std::vector<std::unique_ptr<TPlugIn>> m_list;
};

// The installed element kinds: set by the main window once it has loaded them;
// read by document reading, the about box and the designer's palette.
extern TPlugIns *GlobalPlugIns;

// Plug-in files in folder, counted the way the registry finds them.
int PlugInCount(const QString &folder = GlobalExecPath);
