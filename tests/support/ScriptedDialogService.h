#pragma once
// The dialog service of the tests: records every dialog, answers from a
// script, and fails the running test on a dialog nobody expected.

#include "CDialogService.h"

#include <QList>
#include <QStringList>
#include <functional>

enum class TDialogKind { Message, OpenFile, SaveFile, Folder, Print, Modal };

struct TShownDialog
{
    TShownDialog(TDialogKind kind, QString caption, QString text, TMsgDlgType type = mtInformation,
                 TMsgDlgButtons buttons = 0, QString folder = {})
        : Kind(kind), Caption(std::move(caption)), Text(std::move(text)), Type(type),
          Buttons(buttons), Folder(std::move(folder))
    { }

    TDialogKind Kind;
    QString Caption;
    QString Text;
    TMsgDlgType Type = mtInformation;
    TMsgDlgButtons Buttons = 0;
    // File dialogs: the folder they start in.
    QString Folder;
    // Object names of the windows on the screen when it came up.
    QStringList VisibleWindows;
};

class TScriptedDialogService : public TDialogService
{
public:
    ~TScriptedDialogService() override;

    // Answers the next message box; when textContains is given the box must contain it.
    void ExpectMessage(int answer, const QString &textContains = {});
    void ExpectOpenFile(const QString &fileName);
    void ExpectSaveFile(const QString &fileName);
    void ExpectFolder(const QString &folder);
    void ExpectPrint(std::function<bool(TPrintRequest &)> answer);
    // The handler may work the dialog (fill fields, press buttons) and returns its result.
    void ExpectModal(std::function<int(QDialog &)> answer);

    const QList<TShownDialog> &Shown() const { return m_shown; }
    int Beeps() const { return m_beeps; }
    const QList<QUrl> &OpenedUrls() const { return m_urls; }
    // As on a desktop with no browser: addresses are recorded, and none opens.
    void SetUrlsOpen(bool open) { m_urlsOpen = open; }
    int PendingAnswers() const { return int(m_script.size()); }
    // Fails the test when scripted answers were never asked for, then forgets them.
    void VerifyAllUsed();
    void Reset();

    int MessageBox(const TMessageRequest &request) override;
    QString OpenFileName(const TFileRequest &request) override;
    QString SaveFileName(const TFileRequest &request) override;
    QString FolderName(const QString &caption, const QString &initialDir) override;
    bool PrintDialog(TPrintRequest &request) override;
    int ExecModal(QDialog &dialog) override;
    bool OpenUrl(const QUrl &url) override;
    void Beep() override { ++m_beeps; }

private:
    struct TAnswer
    {
        TDialogKind Kind;
        QString Match;
        int Result = 0;
        QString Text;
        std::function<bool(TPrintRequest &)> Print;
        std::function<int(QDialog &)> Modal;
    };
    // Null (after failing the test) when the script has no answer of that kind next.
    const TAnswer *Next(const TShownDialog &shown);

    QList<TAnswer> m_script;
    TAnswer m_current;
    QList<TShownDialog> m_shown;
    QList<QUrl> m_urls;
    int m_beeps = 0;
    bool m_urlsOpen = true;
};

// The service every test program runs with.
TScriptedDialogService &ScriptedDialogs();
