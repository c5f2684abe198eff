#include "ScriptedDialogService.h"

#include <QApplication>
#include <QDialog>
#include <gtest/gtest.h>

namespace {
const char *KindName(TDialogKind kind)
{
    switch (kind) {
    case TDialogKind::Message:
        return "message box";
    case TDialogKind::OpenFile:
        return "open dialog";
    case TDialogKind::SaveFile:
        return "save dialog";
    case TDialogKind::Folder:
        return "folder dialog";
    case TDialogKind::Print:
        return "print dialog";
    case TDialogKind::Modal:
        return "modal window";
    }
    return "dialog";
}
} // namespace

TScriptedDialogService::~TScriptedDialogService() = default;

void TScriptedDialogService::ExpectMessage(int answer, const QString &textContains)
{
    m_script.append(TAnswer {TDialogKind::Message, textContains, answer, {}, {}, {}});
}

void TScriptedDialogService::ExpectOpenFile(const QString &fileName)
{
    m_script.append(TAnswer {TDialogKind::OpenFile, {}, 0, fileName, {}, {}});
}

void TScriptedDialogService::ExpectSaveFile(const QString &fileName)
{
    m_script.append(TAnswer {TDialogKind::SaveFile, {}, 0, fileName, {}, {}});
}

void TScriptedDialogService::ExpectFolder(const QString &folder)
{
    m_script.append(TAnswer {TDialogKind::Folder, {}, 0, folder, {}, {}});
}

void TScriptedDialogService::ExpectPrint(std::function<bool(TPrintRequest &)> answer)
{
    m_script.append(TAnswer {TDialogKind::Print, {}, 0, {}, std::move(answer), {}});
}

void TScriptedDialogService::ExpectModal(std::function<int(QDialog &)> answer)
{
    m_script.append(TAnswer {TDialogKind::Modal, {}, 0, {}, {}, std::move(answer)});
}

void TScriptedDialogService::VerifyAllUsed()
{
    for (const TAnswer &a : m_script)
        ADD_FAILURE() << "A scripted answer to a " << KindName(a.Kind)
                      << " was never asked for: " << a.Match.toStdString();
    m_script.clear();
}

void TScriptedDialogService::Reset()
{
    m_script.clear();
    m_shown.clear();
    m_urls.clear();
    m_beeps = 0;
    m_urlsOpen = true;
}

const TScriptedDialogService::TAnswer *TScriptedDialogService::Next(const TShownDialog &shown)
{
    m_shown.append(shown);
    // What else was on the screen when the dialog came up.
    for (const QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            m_shown.last().VisibleWindows << window->objectName();
    if (m_script.isEmpty() || m_script.first().Kind != shown.Kind) {
        ADD_FAILURE() << "Unexpected " << KindName(shown.Kind) << " \""
                      << shown.Caption.toStdString() << "\": " << shown.Text.toStdString();
        return nullptr;
    }
    m_current = m_script.takeFirst();
    if (!m_current.Match.isEmpty() && !shown.Text.contains(m_current.Match)) {
        ADD_FAILURE() << "Expected a " << KindName(shown.Kind) << " containing \""
                      << m_current.Match.toStdString() << "\", got: " << shown.Text.toStdString();
    }
    return &m_current;
}

int TScriptedDialogService::MessageBox(const TMessageRequest &request)
{
    const TAnswer *a = Next(
        {TDialogKind::Message, request.Caption, request.Text, request.Type, request.Buttons});
    if (a)
        return a->Result;
    return (request.Buttons & mbCancel) ? mrCancel : mrNone;
}

QString TScriptedDialogService::OpenFileName(const TFileRequest &request)
{
    const TAnswer *a = Next({TDialogKind::OpenFile, request.Caption, request.Filter, mtInformation,
                             0, request.InitialDir});
    return a ? a->Text : QString();
}

QString TScriptedDialogService::SaveFileName(const TFileRequest &request)
{
    const TAnswer *a = Next({TDialogKind::SaveFile, request.Caption, request.Filter, mtInformation,
                             0, request.InitialDir});
    return a ? a->Text : QString();
}

QString TScriptedDialogService::FolderName(const QString &caption, const QString &initialDir)
{
    const TAnswer *a = Next({TDialogKind::Folder, caption, initialDir});
    return a ? a->Text : QString();
}

bool TScriptedDialogService::PrintDialog(TPrintRequest &request)
{
    const TAnswer *a = Next({TDialogKind::Print, QStringLiteral("Print"), {}});
    return a && a->Print && a->Print(request);
}

int TScriptedDialogService::ExecModal(QDialog &dialog)
{
    const TAnswer *a = Next({TDialogKind::Modal, dialog.windowTitle(), dialog.objectName()});
    return a && a->Modal ? a->Modal(dialog) : int(QDialog::Rejected);
}

bool TScriptedDialogService::OpenUrl(const QUrl &url)
{
    m_urls.append(url);
    return m_urlsOpen;
}
