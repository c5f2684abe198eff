#pragma once
// The HTML web form export: the settings it keeps in the project, which
// elements and pages go into the form, the checks made before exporting, and
// the writing of the page, its pictures and the ASP or PHP submit script.
// Knows no dialog: the export window (and the command line) ask the questions.

#include "CVeloraTypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TBasePgCtrl;
class TProjectInfo;

// What happens on the server when the form is submitted.
enum class TWebExportSubmitAction { None = 0, AspEmail = 1, PhpEmail = 2 };
// What the script shows once the mail is sent.
enum class TWebExportAfterSubmit { DisplayText = 0, DisplayPage = 1 };

struct TWebExportEmail
{
    QString From;
    QString To;
    QString CC;
    QString BCC;
    QString Subject;
    QString Body;
    // A mail is sent only with a sender and a recipient.
    bool Configured() const { return !From.trimmed().isEmpty() && !To.trimmed().isEmpty(); }
};

struct TWebExportSettings
{
    QString FileName;
    QString Title;
    QString FormName;
    QString Action;
    QString Method;
    QString Target;
    QString Encoding;
    // Element names; empty for none.
    QString Submit;
    QString Reset;
    TWebExportSubmitAction SubmitAction = TWebExportSubmitAction::None;
    QString SubmitActionTitle;
    TWebExportAfterSubmit AfterSubmit = TWebExportAfterSubmit::DisplayText;
    QString DisplayText;
    // Index of the page in the project (0 is the first page), -1 for none.
    int DisplayPage = -1;
    TWebExportEmail Email[2];
    bool Body2ToBrowser = true;
    TCheckBoxState CustomSMTP = cbUnchecked;
    QString SMTPServer = QStringLiteral("LocalHost");
    int SMTPPort = 25;
    int SMTPSendUsing = 2;

    // The project's stored settings, with the proposals for what it leaves empty:
    // the file name and form name from the document's name, the method "Post".
    static TWebExportSettings FromProject(const TProjectInfo &info, const QString &documentPath);
    void ToProject(TProjectInfo &info) const;

    bool HasScript() const { return SubmitAction != TWebExportSubmitAction::None; }
    // The page shown after submitting, when it is one of the project's pages; else -1.
    int AfterSubmitPage() const;
};

// Element kinds by what the form makes of them.
enum class TWebExportKind {
    Label,
    TextBox,
    Image,
    CheckBox,
    RadioButton,
    Select,
    ReadOnlyText,
    Button,
};

// The form's kind for an element kind number (ClassTypeID); nothing when not exported.
std::optional<TWebExportKind> WebExportKindOf(int classTypeId);
// The kind of the document's hidden fields (non-visual; one hidden input each).
inline constexpr int CWEBEXPORT_HIDDEN_KIND = 220;

struct TWebExportElement
{
    TBasePgCtrl *Element = nullptr;
    TWebExportKind Kind = TWebExportKind::Label;
    // Index of its page in the project.
    int Page = -1;
    // The field name the browser submits its value under: the element's name, or
    // "GroupID" and the group number for a radio button of a group.
    QString FieldName;
};

// Pages of the form: published pages, in page order, without the after-submit page.
QList<int> WebExportPages(const TWebExportSettings &settings);
// The elements a form can hold on the given pages (Publish on, a mapped kind), in page
// order and then in each page's list order.
QList<TWebExportElement> WebExportElements(const QList<int> &pages);
// The elements of every page: what the dialog offers before the pages are settled.
QList<TWebExportElement> WebExportElements();
// Told in an information box when there is nothing to export.
inline constexpr const char *SWebExportNothing = "There are no form elements to export.";

// The setting a check found at fault, so that the dialog can focus it.
enum class TWebExportField { FileName, FormName, Action, Submit, Reset };
struct TWebExportProblem
{
    TWebExportField Field;
    QString Message;
};
// The checks before an export, in order; nothing when all pass. The submit
// element must be one of the elements of the form's pages.
std::optional<TWebExportProblem> CheckWebExport(const TWebExportSettings &settings);

// The files an export into a folder writes.
struct TWebExportFiles
{
    // The page: the file name with the extension ".html".
    QString Html;
    // The script, from the Action's file name; empty without a submit action.
    QString Script;
};
TWebExportFiles WebExportFiles(const TWebExportSettings &settings, const QString &folder);
// Those of the files that already exist (for the questions before overwriting).
QStringList WebExportExistingFiles(const TWebExportFiles &files);
// The question asked for each existing file.
QString WebExportOverwriteQuestion(const QString &path);
// Told when the export is done.
QString WebExportCompletedMessage(const TWebExportFiles &files);

// The texts the export writes, for the writer and the tests.
QString WebExportHtml(const TWebExportSettings &settings);
QString WebExportScript(const TWebExportSettings &settings);

// Writes the page, its pictures beside it and the script, each whole or not at all
// (a temporary file renamed into place). Files written before a failure stay. Empty
// on success, else the reason (the caller puts "Export failed.\r" before it).
QString WriteWebExport(const TWebExportSettings &settings, const TWebExportFiles &files);
