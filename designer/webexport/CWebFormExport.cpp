#include "CWebFormExport.h"

#include "CWebFormExportPrivate.h"

#include "CBasePgCtrl.h"
#include "CDocumentFile.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "CPropGroups.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

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

QString WebHtml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case 0x00A3:
            out += QLatin1String("&pound;");
            break;
        case 0x00AC:
            out += QLatin1String("&not;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString WebHtmlAttr(const QString &text)
{
    return WebHtml(text)
        .replace(u'\r', QLatin1String("&#13;"))
        .replace(u'\n', QLatin1String("&#10;"))
        .replace(u'\t', QLatin1String("&#9;"));
}

QString WebJsString(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\'':
            out += QLatin1String("\\'");
            break;
        case u'"':
            out += QLatin1String("\\\"");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case 0x2028:
            out += QLatin1String("\\u2028");
            break;
        case 0x2029:
            out += QLatin1String("\\u2029");
            break;
        case u'/':
            // "</" would end the script element around the literal.
            out += i > 0 && text.at(i - 1) == u'<' ? QLatin1String("\\/") : QLatin1String("/");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QVariant WebElementProperty(const QObject *element, const char *name)
{
    if (!element)
        return {};
    const QVariant own = element->property(name);
    if (own.isValid())
        return own;
    for (const char *group : {"VisualGeneralProps", "VisualValidationProps", "VisualParagraphProps",
                              "VisualCharacterProps"}) {
        const auto *props = element->property(group).value<QObject *>();
        if (!props)
            continue;
        const QVariant value = props->property(name);
        if (value.isValid())
            return value;
    }
    return {};
}

bool WebElementPublished(const QObject *element)
{
    if (const auto *visual = qobject_cast<const TVisualPgCtrl *>(element))
        return !visual->VisualGeneralProps() || visual->VisualGeneralProps()->GeneralPublish();
    const QVariant publish = WebElementProperty(element, "GeneralPublish");
    return !publish.isValid() || publish.toBool();
}

int WebRadioGroup(const QObject *element)
{
    for (const char *name : {"GroupID", "GeneralGroupID", "GroupIndex"}) {
        const QVariant value = WebElementProperty(element, name);
        if (value.isValid())
            return value.toInt();
    }
    return -1;
}

QSize WebPageSize(int page)
{
    const TPrinterPage *view = GlobalPgScrollBox(page);
    if (!view)
        return {};
    return QSize(int(Round(view->PageWidth() / 25.4L * view->ScreenPixelsPerInchX())),
                 int(Round(view->PageHeight() / 25.4L * view->ScreenPixelsPerInchY())));
}

std::optional<TWebExportKind> WebExportKindOf(int classTypeId)
{
    switch (classTypeId) {
    case 10:
    case 200:
        return TWebExportKind::Label;
    case 20:
    case 205:
    case 210:
    case 215:
    case 217:
    case 218:
        return TWebExportKind::TextBox;
    case 30:
    case 225:
        return TWebExportKind::Image;
    case 50:
    case 230:
        return TWebExportKind::CheckBox;
    case 60:
    case 235:
        return TWebExportKind::RadioButton;
    case 70:
    case 240:
        return TWebExportKind::Select;
    case 80:
    case 90:
    case 95:
    case 245:
    case 250:
        return TWebExportKind::ReadOnlyText;
    case 105:
    case 255:
        return TWebExportKind::Button;
    default:
        return std::nullopt;
    }
}

QList<int> WebExportPages(const TWebExportSettings &settings)
{
    QList<int> pages;
    const int count = GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
    const int afterSubmit = settings.AfterSubmitPage();
    for (int page = 0; page < count; ++page) {
        const TProjectPropsPageProps *props = GlobalPgProps(page);
        if (page != afterSubmit && (!props || props->PagePublishPage()) && GlobalPgScrollBox(page))
            pages << page;
    }
    return pages;
}

QList<TWebExportElement> WebExportElements(const QList<int> &pages)
{
    QList<TWebExportElement> elements;
    for (const int page : pages) {
        const TPrinterPage *view = GlobalPgScrollBox(page);
        if (!view)
            continue;
        for (QObject *child : view->children()) {
            auto *element = qobject_cast<TBasePgCtrl *>(child);
            if (!element || !WebElementPublished(element))
                continue;
            const std::optional<TWebExportKind> kind = WebExportKindOf(element->ClassTypeID());
            if (!kind)
                continue;
            QString field = element->Name();
            if (*kind == TWebExportKind::RadioButton && WebRadioGroup(element) != -1)
                field = QStringLiteral("GroupID%1").arg(WebRadioGroup(element));
            elements.append({element, *kind, page, field});
        }
    }
    return elements;
}

QList<TWebExportElement> WebExportElements()
{
    QList<int> pages;
    const int count = GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
    for (int page = 0; page < count; ++page)
        pages << page;
    return WebExportElements(pages);
}

namespace {
bool ElementIn(const QList<TWebExportElement> &elements, const QString &name)
{
    return std::any_of(elements.begin(), elements.end(), [&name](const TWebExportElement &item) {
        return item.Element->Name().compare(name, Qt::CaseInsensitive) == 0;
    });
}
} // namespace

std::optional<TWebExportProblem> CheckWebExport(const TWebExportSettings &settings)
{
    if (settings.FileName.trimmed().isEmpty())
        return TWebExportProblem {TWebExportField::FileName,
                                  QStringLiteral("Please specify the file name of the HTML file "
                                                 "where the form will be exported to.")};
    static const QRegularExpression formName(QStringLiteral("^[A-Za-z][A-Za-z0-9_:.\\-]*$"));
    if (!formName.match(settings.FormName).hasMatch())
        return TWebExportProblem {
            TWebExportField::FormName,
            QStringLiteral("Invalid Form Name!\r\rForm Name must begin with A-Z or a-z followed by "
                           "zero or more characters from (A-Z, a-z), digits (0-9), hyphens (-), "
                           "underscores (_), colons (:) or periods (.).")};
    if (settings.HasScript() && WebScriptFileName(settings).isEmpty())
        return TWebExportProblem {TWebExportField::Action,
                                  QStringLiteral("Please specify an Action. This field is also "
                                                 "required to determine the file name of the "
                                                 "ASP/PHP file to be generated.")};
    const QList<TWebExportElement> elements = WebExportElements(WebExportPages(settings));
    if (settings.Submit.isEmpty() || !ElementIn(elements, settings.Submit))
        return TWebExportProblem {TWebExportField::Submit,
                                  QStringLiteral("Please choose which form element is to be used "
                                                 "as a Submit button.")};
    if (!settings.Reset.isEmpty()
        && settings.Reset.compare(settings.Submit, Qt::CaseInsensitive) == 0)
        return TWebExportProblem {TWebExportField::Reset,
                                  QStringLiteral("The Submit and Reset buttons cannot be the same "
                                                 "form element. Please choose another.")};
    return std::nullopt;
}

QString WebScriptFileName(const TWebExportSettings &settings)
{
    QString action = settings.Action.trimmed();
    const qsizetype cut = action.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (cut >= 0)
        action.truncate(cut);
    const qsizetype slash = std::max(action.lastIndexOf(u'/'), action.lastIndexOf(u'\\'));
    const QString name = action.mid(slash + 1);
    return name == QLatin1String(".") || name == QLatin1String("..") ? QString() : name;
}

QString WebImagePrefix(const TWebExportSettings &settings)
{
    return QFileInfo(settings.FileName.trimmed()).completeBaseName() + u'_';
}

TWebExportFiles WebExportFiles(const TWebExportSettings &settings, const QString &folder)
{
    const QDir dir(folder);
    QString name = QFileInfo(settings.FileName.trimmed()).fileName();
    if (!name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
        name += QStringLiteral(".html");
    TWebExportFiles files;
    files.Html = dir.filePath(name);
    if (settings.HasScript() && !WebScriptFileName(settings).isEmpty())
        files.Script = dir.filePath(WebScriptFileName(settings));
    return files;
}

QStringList WebExportExistingFiles(const TWebExportFiles &files)
{
    QStringList existing;
    for (const QString &path : {files.Html, files.Script})
        if (!path.isEmpty() && QFileInfo::exists(path))
            existing << path;
    return existing;
}

QString WebExportOverwriteQuestion(const QString &path)
{
    return QStringLiteral("A file named \"%1\" already exists. Continue and overwrite ?")
        .arg(QFileInfo(path).fileName());
}

QString WebExportCompletedMessage(const TWebExportFiles &files)
{
    return QStringLiteral("Export to \"") + QFileInfo(files.Html).fileName()
        + QStringLiteral("\" completed.");
}

QString WebExportHtml(const TWebExportSettings &settings)
{
    QList<TWebExportImage> images;
    return WebBuildHtml(settings, images);
}

QString WebExportScript(const TWebExportSettings &settings)
{
    QList<TWebExportImage> images;
    return settings.HasScript() ? WebBuildScript(settings, images) : QString();
}

namespace {
QString WriteOne(const QString &path, const QByteArray &bytes)
{
    QString reason;
    if (WriteWholeFile(path, bytes, &reason))
        return {};
    return QStringLiteral("Could not write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
}
} // namespace

QString WriteWebExport(const TWebExportSettings &settings, const TWebExportFiles &files)
{
    if (!files.Script.isEmpty() && IsSameFile(files.Script, files.Html))
        return QStringLiteral("The script file \"%1\" would replace the HTML file.")
            .arg(QFileInfo(files.Script).fileName());
    QList<TWebExportImage> images;
    const QString html = WebBuildHtml(settings, images);
    const QString script = files.Script.isEmpty() ? QString() : WebBuildScript(settings, images);
    if (QString error = WriteOne(files.Html, html.toUtf8()); !error.isEmpty())
        return error;
    const QDir folder = QFileInfo(files.Html).absoluteDir();
    QStringList written;
    for (const TWebExportImage &image : images) {
        if (written.contains(image.Name))
            continue;
        written << image.Name;
        if (QString error = WriteOne(folder.filePath(image.Name), image.Bytes); !error.isEmpty())
            return error;
    }
    if (!files.Script.isEmpty())
        if (QString error = WriteOne(files.Script, script.toUtf8()); !error.isEmpty())
            return error;
    return {};
}
