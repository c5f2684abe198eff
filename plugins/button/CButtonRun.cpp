// Carrying out a button's actions: commands to the main window, the dialogs
// of the page and address actions, posting, e-mail and starting programs.

#include "CBasePgCtrl.h"
#include "CButton.h"
#include "CButtonDialogs.h"
#include "CEMailDlg.h"
#include "CEMailer.h"
#include "CGlobal.h"
#include "CIdHTTP.h"
#include "CNetProgressForm.h"
#include "CPageControl.h"

#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {
using namespace ButtonParam;

QChar Digit(bool value)
{
    return value ? u'1' : u'0';
}

int PageCount()
{
    return GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
}

// Commands that answer non-zero when they did not happen end the list.
bool CommandGoesOn(int code, const QString &argument = QString())
{
    return ButtonCommand(code, argument) == 0;
}

bool RunGotoPage(const TButtonAction &action)
{
    int page = action.Int(ButtonParam::GotoPage);
    if (action.Bool(GotoUseDialog)) {
        TButtonGotoPageDlg dialog(GlobalMainForm, page, PageCount());
        if (DialogService().ExecModal(dialog) != mrOk)
            return false;
        page = dialog.Page();
    }
    // A page the document does not have is not gone to.
    if (page >= 1 && page <= PageCount())
        ButtonCommand(130, QString::number(page));
    return true;
}

bool RunHyperlink(const TButtonAction &action)
{
    QString url = action.Str(HyperlinkURL).trimmed();
    if (action.Bool(HyperlinkUseDialog)) {
        TButtonHyperLinkToURLForm dialog(GlobalMainForm, url);
        if (DialogService().ExecModal(dialog) != mrOk)
            return false;
        url = dialog.URL();
    }
    Global_OpenUrl(QUrl::fromUserInput(url.isEmpty() ? QStringLiteral("about:blank") : url));
    return true;
}

QString PostPairs(const QString &fields)
{
    QStringList pairs;
    for (const QString &line : fields.split(u'\n')) {
        const QString name = line.trimmed();
        auto *element = qobject_cast<TVisualPgCtrl *>(Global_FormElementRef(name));
        if (!name.isEmpty() && element)
            pairs.append(element->Name() + u'=' + Global_HTTPEncode(element->Text()));
    }
    return pairs.join(u'&');
}

void PostToURL(const TButtonAction &action)
{
    const QString url = action.Str(PostURL).trimmed();
    if (url.isEmpty())
        throw EVeloraError(QStringLiteral("No URL specified!"));
    const QString pairs = PostPairs(action.Str(PostFields));
    if (pairs.isEmpty())
        throw EVeloraError(QStringLiteral("No fields specified!"));
    TIdHTTP http;
    QString response;
    {
        TNetProgressForm progress(GlobalMainForm, http, pairs.size());
        response = http.Post(url, pairs.toUtf8());
    }
    if (action.Bool(PostStripHTML))
        response = Global_StripHTML(response);
    const QString target = action.Str(PostResponseField).trimmed();
    if (auto *element
        = qobject_cast<TVisualPgCtrl *>(target.isEmpty() ? nullptr : Global_FormElementRef(target)))
        element->SetText(response);
    if (action.Bool(PostRespondWithDialog)) {
        QString shown;
        GlobalGetTextDlg(response, QStringLiteral("Response"), false, shown, 0);
    }
}

bool RunEmail(const TButtonAction &action)
{
    if (action.Bool(EmailUseDialog)) {
        TEMailDlg dialog(GlobalMainForm, action);
        return DialogService().ExecModal(dialog) == mrOk;
    }
    TEMailer(action).Send();
    return true;
}

void RunExecute(const TButtonAction &action)
{
    const QString program = action.Str(ExecuteProgram).trimmed();
    const QString parameters = action.Str(ExecuteParameters).trimmed();
    if (program.isEmpty() || !QFileInfo(program).isFile()) {
        DialogService().Beep();
        return;
    }
    // A form from someone else must not start programs unseen: ask, naming both.
    QString question = QStringLiteral("This form wants to start the program\r%1").arg(program);
    if (!parameters.isEmpty())
        question += QStringLiteral("\rwith the arguments\r%1").arg(parameters);
    question += QStringLiteral("\r\rStart it?");
    if (Global_MessageDlg(QStringLiteral("Execute Application"), question, mtWarning, mbYesNo, 0)
        != mrYes)
        return;
    if (!QProcess::startDetached(program, QProcess::splitCommand(parameters)))
        Global_MessageDlg(QStringLiteral("Execute Application"),
                          QStringLiteral("Unable to start %1!").arg(program), mtWarning, mbOK, 0);
}
} // namespace

bool ButtonRunAction(const TButtonAction &action)
{
    switch (action.Kind()) {
    case bakNew:
        ButtonCommand(10);
        return false;
    case bakOpen:
        ButtonCommand(20, Digit(action.Bool(OpenUseDialog)) + action.Str(OpenPath));
        return false;
    case bakClose:
        ButtonCommand(30);
        return false;
    case bakSave:
        ButtonCommand(40);
        return true;
    case bakSaveAs:
        return CommandGoesOn(50,
                             QString(Digit(action.Bool(SaveAsUseDialog)))
                                 + Digit(action.Bool(SaveAsOverwritePrompt))
                                 + action.Str(SaveAsPath));
    case bakPrint:
        return CommandGoesOn(60,
                             QString(Digit(action.Bool(PrintUseDialog)))
                                 + Digit(action.Bool(PrintCollate))
                                 + QString::number(qBound(0, action.Int(PrintRange), 2))
                                 + QString::number(action.Int(PrintCopies)) + u';'
                                 + QString::number(action.Int(PrintFrom)) + u';'
                                 + QString::number(action.Int(PrintTo)));
    case bakValidate:
        if (ButtonCommand(70) == 0)
            return false;
        Global_MessageDlg(QStringLiteral("Validate"), QStringLiteral("Form validation passed!"),
                          mtInformation, mbOK, 0);
        return true;
    case bakExit:
        ButtonCommand(80);
        return false;
    case bakFirstPage:
    case bakNextPage:
    case bakPreviousPage:
    case bakLastPage:
        ButtonCommand(90 + 10 * (action.Kind() - bakFirstPage));
        return true;
    case bakGotoPage:
        return RunGotoPage(action);
    case bakHyperlink:
        return RunHyperlink(action);
    case bakPostToURL:
        try {
            PostToURL(action);
        } catch (const EIdCancelled &) {
        } catch (const EVeloraError &error) {
            Global_MessageDlg(QStringLiteral("Post To URL Error"), error.Message(), mtWarning, mbOK,
                              0);
        }
        return true;
    case bakEmail:
        return RunEmail(action);
    case bakExecute:
        RunExecute(action);
        return true;
    case bakActualSize:
    case bakFitToWidth:
    case bakFitToPage:
        ButtonCommand(140 + 10 * (action.Kind() - bakActualSize));
        return true;
    case bakResetForm:
        ButtonCommand(180);
        return true;
    default:
        return true;
    }
}
