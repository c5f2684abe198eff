// The commands a document's buttons send to the filler window, by code.

#include "CDialogService.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"

#include <QAction>
#include <QFileInfo>
#include <algorithm>
#include <iterator>

struct TFillerCommand
{
    int Code;
    // Returns the message answer.
    std::intptr_t (*Run)(TFillerMainForm &form, const QString &argument);
};

namespace {
// Most arguments start with "0" for doing it without a dialog.
QChar FirstOf(const QString &argument)
{
    return argument.isEmpty() ? QChar() : argument.at(0);
}
} // namespace

// New (10) is not here: only the designer makes documents.
const TFillerCommand TFillerMainForm::CommandTable[] = {
    // Open: "0" and the path, or else the name the dialog suggests.
    {20,
     [](TFillerMainForm &w, const QString &argument) -> std::intptr_t {
         if (!w.AskSaveChanges(true))
             return 0;
         if (FirstOf(argument) == u'0')
             w.OpenDocument(argument.mid(1));
         else
             w.OpenWithDialog(argument);
         return 0;
     }},
    {30,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         if (w.AskSaveChanges(true)) {
             w.CloseDocument();
             PostMessage(&w, VRMSGWelcome, 10);
         }
         return 0;
     }},
    {40,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.Save();
         return 0;
     }},
    // Save As: "0" for no dialog, then "0" for not asking before replacing the open
    // document, then the path.
    {50,
     [](TFillerMainForm &w, const QString &argument) -> std::intptr_t {
         if (FirstOf(argument) != u'0')
             return w.SaveAs(argument.mid(2)) ? 0 : 1;
         // A refused text stops the save before anything is asked; every way of not saving
         // answers non-zero, which ends a button's list.
         if (!w.CommitEdit())
             return 1;
         const QString path = argument.mid(2);
         if (path.isEmpty()) {
             Global_MessageDlg(QStringLiteral("Save As Error"),
                               QStringLiteral("Unable to create file!\rFile name not specified."),
                               mtWarning, mbOK, 0);
             return 1;
         }
         const QString target = WithVldExtension(path);
         // Without asking only over the open document itself: a form must not be able
         // to overwrite other files of the user unseen.
         const bool silent = argument.size() > 1 && argument.at(1) == u'0'
             && QFileInfo(target).absoluteFilePath()
                 == QFileInfo(w.m_documentPath).absoluteFilePath();
         if (!silent && QFileInfo::exists(target)
             && Global_MessageDlg(
                    QStringLiteral("Save As"),
                    QStringLiteral("%1 already exists.\rDo you want to replace it?").arg(target),
                    mtWarning, mbYes | mbNo, 0)
                 != mrYes)
             return 1;
         return w.SaveTo(target) ? 0 : 1;
     }},
    // Print: the dialog, collate and range digits, then copies;from;to; each ended by ";".
    {60,
     [](TFillerMainForm &w, const QString &argument) -> std::intptr_t {
         const int collate = argument.mid(1, 1).toInt();
         const int range = argument.mid(2, 1).toInt();
         const QStringList numbers = argument.mid(3).split(u';');
         const int copies = qMax(1, numbers.value(0).toInt());
         const int from = numbers.value(1).toInt();
         const int to = numbers.value(2).toInt();
         // Non-zero when nothing was printed (dialog cancelled, validation failed), which
         // ends a button's list before a Close that would lose the form.
         return w.Print(FirstOf(argument) != u'0', collate != 0, range, copies, from, to) ? 0 : 1;
     }},
    // Validate answers whether the form passed.
    {70,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         return w.CommitEdit() && w.ValidateForm(false) ? 1 : 0;
     }},
    {80,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.close();
         return 0;
     }},
    {90,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.GoToPage(0);
         return 0;
     }},
    {100,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.GoToPage(GlobalActivePgIdx() + 1);
         return 0;
     }},
    {110,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.GoToPage(GlobalActivePgIdx() - 1);
         return 0;
     }},
    {120,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.GoToPage((w.m_pages ? w.m_pages->PageCount() : 0) - 1);
         return 0;
     }},
    // Go to page: its 1-based number, ended by ";".
    {130,
     [](TFillerMainForm &w, const QString &argument) -> std::intptr_t {
         bool ok = false;
         const int n = argument.section(u';', 0, 0).toInt(&ok);
         if (ok)
             w.GoToPage(n - 1);
         return 0;
     }},
    // The zoom commands go through the menu, which is disabled without a document.
    {140,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.Action(QStringLiteral("ViewActualSize"))->trigger();
         return 0;
     }},
    {150,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.Action(QStringLiteral("ViewFitToWidth"))->trigger();
         return 0;
     }},
    {160,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.Action(QStringLiteral("ViewFitToPage"))->trigger();
         return 0;
     }},
    {180,
     [](TFillerMainForm &w, const QString &) -> std::intptr_t {
         w.ResetForm();
         return 0;
     }},
};

std::intptr_t TFillerMainForm::RunCommand(int code, const QString &argument)
{
    // Codes this version does not know do nothing.
    const auto *command = std::ranges::find(CommandTable, code, &TFillerCommand::Code);
    return command != std::end(CommandTable) ? command->Run(*this, argument) : 0;
}
