#pragma once
// Every message box, file chooser, print dialog, modal window, hand-off to
// the desktop and beep goes through one replaceable service, so that tests
// can answer dialogs instead of blocking on them.

#include <QString>
#include <QUrl>
#include <memory>

class QDialog;
class QPrinter;
class QWidget;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
    mbClose = 1u << 11,
};
using TMsgDlgButtons = unsigned;
inline constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
    mrClose = 11,
};

struct TMessageRequest
{
    QString Caption;
    QString Text;
    TMsgDlgType Type = mtInformation;
    TMsgDlgButtons Buttons = mbOK;
    int HelpTopic = 0;
};

struct TFileRequest
{
    QString Caption;
    QString InitialDir;
    QString FileName;
    // "Description|*.a;*.b|Description|*.c" as documents and windows give it.
    QString Filter;
    int FilterIndex = 1;
    QString DefaultExt;
};

struct TPrintRequest
{
    QPrinter *Printer = nullptr;
    int MinPage = 1;
    int MaxPage = 1;
    int FromPage = 0;
    int ToPage = 0;
    bool PageRangeEnabled = true;
    int Copies = 1;
    bool Collate = false;
};

class TDialogService
{
public:
    virtual ~TDialogService() = default;
    virtual int MessageBox(const TMessageRequest &request) = 0;
    // Empty when cancelled.
    virtual QString OpenFileName(const TFileRequest &request) = 0;
    virtual QString SaveFileName(const TFileRequest &request) = 0;
    virtual QString FolderName(const QString &caption, const QString &initialDir) = 0;
    // True when the user confirmed; the request holds the choices.
    virtual bool PrintDialog(TPrintRequest &request) = 0;
    // Runs a window modally and returns its result.
    virtual int ExecModal(QDialog &dialog) = 0;
    virtual bool OpenUrl(const QUrl &url) = 0;
    virtual void Beep() = 0;
};

TDialogService &DialogService();
// Installs a service (null restores the Qt one); returns the one it replaces.
std::unique_ptr<TDialogService> SetDialogService(std::unique_ptr<TDialogService> service);
std::unique_ptr<TDialogService> CreateQtDialogService();

// "Desc|*.a;*.b|Desc2|*.c" → "Desc (*.a *.b);;Desc2 (*.c)"; the list of Qt name filters.
QStringList FilterToNameFilters(const QString &filter);

// Message boxes through the dialog service, centred and captioned as the programs are.
int Global_MessageDlg(const QString &caption, const QString &message, int type, unsigned buttons,
                      int helpTopic);
// The running program's name, for captions.
QString GlobalAppTitle();
// Opens an address with the desktop's opener; when none takes it, says so with the address,
// which the user can copy from the message. False when it did not open.
bool Global_OpenUrl(const QUrl &url);
