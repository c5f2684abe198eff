// Cut, copy and paste: the selection as one component stream per control, kept in the
// engine, in a clipboard file and on the system clipboard.

#include "CGlobal.h"
#include "CSurfaceDesigner.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>

namespace {
const char *const SPasteCaption = "Paste";
const char *const SPasteNothing = "The clipboard does not hold form elements.";
const char *const SPasteDamaged = "The form elements on the clipboard could not be read: %1";
const char *const SClipboardNotSaved = "The clipboard file %1 could not be written: %2";
} // namespace

void TSurfaceDesignerEngine::WriteSelection(TMemoryStream &stream)
{
    stream.Clear();
    for (const auto &entry : m_selection)
        if (auto *component = dynamic_cast<TComponent *>(entry->Ctrl()))
            WriteComponent(stream, component);
}

bool TSurfaceDesignerEngine::SaveClipboard(const QString &fileName, const QByteArray &data)
{
    QFileInfo(fileName).absoluteDir().mkpath(QStringLiteral("."));
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    Global_MessageDlg(GlobalAppTitle(),
                      QString::fromLatin1(SClipboardNotSaved).arg(fileName, file.errorString()),
                      mtError, mbOK, 0);
    return false;
}

void TSurfaceDesignerEngine::PublishClipboard(const QByteArray &data)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QString::fromLatin1(CSURFACEDESIGNER_MIME_TYPE), data);
    clipboard->setMimeData(mime.release());
}

bool TSurfaceDesignerEngine::Copy(bool toFile, const QString &fileName, TMemoryStream *stream)
{
    return Cut(toFile, fileName, false, stream);
}

bool TSurfaceDesignerEngine::Cut(bool toFile, const QString &fileName, bool doDelete,
                                 TMemoryStream *stream)
{
    TMemoryStream &target = stream ? *stream : m_stream;
    WriteSelection(target);
    // Nothing is deleted unless the copy is safely stored first.
    if (toFile && !SaveClipboard(fileName, target.Data()))
        return false;
    if (!target.Data().isEmpty())
        PublishClipboard(target.Data());
    if (doDelete && !m_selection.empty()) {
        m_designer->Delete(nullptr);
        if (m_designer->OnCtrlsDeleted)
            m_designer->OnCtrlsDeleted(m_designer);
    }
    return true;
}

TMemoryStream *TSurfaceDesignerEngine::PasteSource(bool fromFile, const QString &fileName,
                                                   TMemoryStream *given,
                                                   std::unique_ptr<TMemoryStream> &temporary)
{
    if (given)
        return given;
    // The system clipboard holds elements only when a designer copied last: the newest copy.
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *mime = clipboard ? clipboard->mimeData() : nullptr;
    const QString type = QString::fromLatin1(CSURFACEDESIGNER_MIME_TYPE);
    if (mime && mime->hasFormat(type)) {
        temporary = std::make_unique<TMemoryStream>(mime->data(type));
        return temporary.get();
    }
    if (fromFile) {
        QFile file(fileName);
        if (!file.exists())
            return nullptr;
        if (!file.open(QIODevice::ReadOnly)) {
            PasteRefused(QString::fromLatin1(SPasteDamaged).arg(file.errorString()));
            return nullptr;
        }
        temporary = std::make_unique<TMemoryStream>(file.readAll());
        return temporary.get();
    }
    return &m_stream;
}

void TSurfaceDesignerEngine::PasteRefused(const QString &reason)
{
    Global_MessageDlg(QString::fromLatin1(SPasteCaption), reason, mtError, mbOK, 0);
}

bool TSurfaceDesignerEngine::Paste(bool fromFile, const QString &fileName, TMemoryStream *stream)
{
    std::unique_ptr<TMemoryStream> temporary;
    TMemoryStream *source = PasteSource(fromFile, fileName, stream, temporary);
    if (!source || source->Size() == 0)
        return false;
    TGlobalFlagScope pasting(GlobalPasting);
    // Everything is read before anything is handed over: damage anywhere pastes nothing.
    std::vector<std::unique_ptr<QObject>> read;
    try {
        source->SetPosition(0);
        while (!source->AtEnd()) {
            TComponent *component = ReadNewComponent(*source, nullptr);
            read.emplace_back(component->Object());
        }
    } catch (const EVeloraError &error) {
        read.clear();
        const bool elements = source->Data().startsWith("TPF0");
        PasteRefused(elements ? QString::fromLatin1(SPasteDamaged).arg(error.Message())
                              : QString::fromLatin1(SPasteNothing));
        return false;
    }
    // The host takes over the controls; what is not a control goes with the list.
    QList<QPointer<QWidget>> ctrls;
    QList<QWidget *> handed;
    for (auto &object : read) {
        if (auto *ctrl = qobject_cast<QWidget *>(object.get())) {
            ctrls.append(ctrl);
            handed.append(ctrl);
            object.release();
        }
    }
    read.clear();
    if (handed.isEmpty()) {
        PasteRefused(QString::fromLatin1(SPasteNothing));
        return false;
    }
    if (m_designer->OnCtrlPaste)
        m_designer->OnCtrlPaste(m_designer, handed);
    // What the host neither placed nor owns would be lost: it is freed.
    for (const auto &ctrl : ctrls) {
        auto *component = dynamic_cast<TComponent *>(ctrl.data());
        if (ctrl && !ctrl->parent() && (!component || !component->Owner()))
            delete ctrl.data();
    }
    if (m_designer->OnCtrlsPasted)
        m_designer->OnCtrlsPasted(m_designer);
    return true;
}
