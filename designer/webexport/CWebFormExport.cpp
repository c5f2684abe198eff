#include "CWebFormExport.h"

#include "CProjectInfo.h"

#include <QFileInfo>

TWebExportSettings TWebExportSettings::FromProject(const TProjectInfo &info,
                                                   const QString &documentPath)
{
    TWebExportSettings s;
    const QString base
        = documentPath.isEmpty() ? QString() : QFileInfo(documentPath).completeBaseName();
    s.FileName = info.LastExportFileName();
    if (s.FileName.isEmpty())
        s.FileName
            = QStringLiteral("%1.html").arg(base.isEmpty() ? QStringLiteral("Untitled") : base);
    s.Title = info.LastExportFileTitle();
    s.FormName = info.LastExportFormName();
    if (s.FormName.isEmpty())
        s.FormName = QString(base).remove(u' ');
    s.Action = info.LastExportAction();
    s.Method = info.LastExportMethod().isEmpty() ? QStringLiteral("Post") : info.LastExportMethod();
    s.Target = info.LastExportTarget();
    s.Encoding = info.LastExportEncryption();
    s.Submit = info.LastExportSubmit();
    s.Reset = info.LastExportReset();
    const int action = info.LastExportSubmitAction();
    s.SubmitAction = action == 1 ? TWebExportSubmitAction::AspEmail
        : action == 2            ? TWebExportSubmitAction::PhpEmail
                                 : TWebExportSubmitAction::None;
    s.SubmitActionTitle = info.LastExportSubmitActionTitle();
    s.AfterSubmit = info.LastExportAfterSubmitAction() == 1 ? TWebExportAfterSubmit::DisplayPage
                                                            : TWebExportAfterSubmit::DisplayText;
    s.DisplayText = info.LastExportAfterSubmitActionDisplayText();
    s.DisplayPage = info.LastExportAfterSubmitActionDisplayPage();
    s.Email[0] = {info.LastExportFrom1(), info.LastExportTo1(),      info.LastExportCC1(),
                  info.LastExportBCC1(),  info.LastExportSubject1(), info.LastExportBody1()};
    s.Email[1] = {info.LastExportFrom2(), info.LastExportTo2(),      info.LastExportCC2(),
                  info.LastExportBCC2(),  info.LastExportSubject2(), info.LastExportBody2()};
    s.Body2ToBrowser = info.LastExportBody2ToBrowser();
    s.CustomSMTP = info.LastExportCustomSMTP();
    s.SMTPServer = info.LastExportSMTPNameIPAddr();
    s.SMTPPort = info.LastExportSMTPPort();
    s.SMTPSendUsing = info.LastExportSMTPSendUsing();
    return s;
}

void TWebExportSettings::ToProject(TProjectInfo &info) const
{
    info.SetLastExportFileName(FileName);
    info.SetLastExportFileTitle(Title);
    info.SetLastExportFormName(FormName);
    info.SetLastExportAction(Action);
    info.SetLastExportMethod(Method);
    info.SetLastExportTarget(Target);
    info.SetLastExportEncryption(Encoding);
    info.SetLastExportSubmit(Submit);
    info.SetLastExportReset(Reset);
    info.SetLastExportSubmitAction(int(SubmitAction));
    info.SetLastExportSubmitActionTitle(SubmitActionTitle);
    info.SetLastExportAfterSubmitAction(int(AfterSubmit));
    info.SetLastExportAfterSubmitActionDisplayText(DisplayText);
    info.SetLastExportAfterSubmitActionDisplayPage(DisplayPage);
    info.SetLastExportFrom1(Email[0].From);
    info.SetLastExportTo1(Email[0].To);
    info.SetLastExportCC1(Email[0].CC);
    info.SetLastExportBCC1(Email[0].BCC);
    info.SetLastExportSubject1(Email[0].Subject);
    info.SetLastExportBody1(Email[0].Body);
    info.SetLastExportFrom2(Email[1].From);
    info.SetLastExportTo2(Email[1].To);
    info.SetLastExportCC2(Email[1].CC);
    info.SetLastExportBCC2(Email[1].BCC);
    info.SetLastExportSubject2(Email[1].Subject);
    info.SetLastExportBody2(Email[1].Body);
    info.SetLastExportBody2ToBrowser(Body2ToBrowser);
    info.SetLastExportCustomSMTP(CustomSMTP);
    info.SetLastExportSMTPNameIPAddr(SMTPServer);
    info.SetLastExportSMTPPort(SMTPPort);
    info.SetLastExportSMTPSendUsing(SMTPSendUsing);
}

int TWebExportSettings::AfterSubmitPage() const
{
    return HasScript() && AfterSubmit == TWebExportAfterSubmit::DisplayPage ? DisplayPage : -1;
}

std::optional<TWebExportKind> WebExportKindOf(int)
{
    return std::nullopt;
}
QList<int> WebExportPages(const TWebExportSettings &)
{
    return {};
}
QList<TWebExportElement> WebExportElements(const QList<int> &)
{
    return {};
}
QList<TWebExportElement> WebExportElements()
{
    return {};
}
std::optional<TWebExportProblem> CheckWebExport(const TWebExportSettings &)
{
    return std::nullopt;
}
TWebExportFiles WebExportFiles(const TWebExportSettings &, const QString &)
{
    return {};
}
QStringList WebExportExistingFiles(const TWebExportFiles &)
{
    return {};
}
QString WebExportOverwriteQuestion(const QString &)
{
    return {};
}
QString WebExportCompletedMessage(const TWebExportFiles &)
{
    return {};
}
QString WebExportHtml(const TWebExportSettings &)
{
    return {};
}
QString WebExportScript(const TWebExportSettings &)
{
    return {};
}
QString WriteWebExport(const TWebExportSettings &, const TWebExportFiles &)
{
    return {};
}
