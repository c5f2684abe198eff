// The recovery journal in the window: committed edits are recorded as they
// happen, and a journal left by a program that did not close is offered back.

#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrl.h"
#include "CDialogService.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CRecoveryJournal.h"

#include <QFileInfo>
#include <QHash>

namespace {
constexpr int kValueShown = 40;

QString Shortened(const QString &value)
{
    QString shown = value;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
    return shown.size() > kValueShown ? shown.left(kValueShown - 1) + QChar(0x2026) : shown;
}
} // namespace

void TFillerMainForm::RecordCommittedEdit(TVisualPgCtrl *element)
{
    if (!m_recoveryJournal || !element || m_documentPath.isEmpty() || GlobalClearingProject
        || GlobalLoadingProject || (!GlobalVeloraFiller() && !GlobalFilling))
        return;
    if (!m_journal)
        m_journal = std::make_unique<TRecoveryJournal>(m_documentPath);
    // A journal that cannot be written must not stop the typing; the save still works.
    if (!m_journal->Record(element->Name(), element->Text()))
        qWarning("Velora: the recovery journal %s could not be written: %s",
                 qPrintable(m_journal->Path()), qPrintable(m_journal->ErrorString()));
}

void TFillerMainForm::DropJournal()
{
    if (m_journal)
        m_journal->Remove();
    m_journal.reset();
}

void TFillerMainForm::OfferRecovery()
{
    if (!m_recoveryJournal || m_documentPath.isEmpty()
        || !TRecoveryJournal::HasNewerJournal(m_documentPath))
        return;
    const QString journalPath = TRecoveryJournal::PathFor(m_documentPath);
    const TJournalContents contents = TRecoveryJournal::Read(journalPath);
    // The last value of each element, in the order the elements were first committed.
    QStringList order;
    QHash<QString, QString> values;
    for (const TJournalEntry &entry : contents.Entries) {
        if (!values.contains(entry.Element))
            order << entry.Element;
        values.insert(entry.Element, entry.Value);
    }
    if (order.isEmpty() && !contents.Damaged) {
        QFile::remove(journalPath);
        return;
    }
    QStringList lines;
    for (const QString &name : std::as_const(order))
        lines << QStringLiteral("%1: %2").arg(name, Shortened(values.value(name)));
    QString question
        = QStringLiteral("Velora was closed before these changes were saved: restore them?");
    if (!lines.isEmpty())
        question += QStringLiteral("\r\r") + lines.join(u'\r');
    if (contents.Damaged)
        question += QStringLiteral("\r\rThe recovery file %1 is damaged: only the changes before "
                                   "the damage can be restored.")
                        .arg(journalPath);
    const bool restore = !order.isEmpty()
        && Global_MessageDlg(GlobalAppTitle(), question, mtConfirmation, mbYes | mbNo, 0) == mrYes;
    if (order.isEmpty())
        Global_MessageDlg(GlobalAppTitle(), question, mtWarning, mbOK, 0);
    if (!restore) {
        QFile::remove(journalPath);
        return;
    }

    // Each value goes in as the user would put it there, through the element's own checks.
    const int startPage = GlobalActivePgIdx();
    QStringList refused;
    for (const QString &name : std::as_const(order)) {
        const QString value = values.value(name);
        auto *element = qobject_cast<TVisualPgCtrl *>(Global_FormElementRef(name));
        if (!element || !element->isEnabled() || !GlobalCanFocus(element)) {
            refused
                << QStringLiteral("%1: no box of that name can be filled in this form").arg(name);
            continue;
        }
        if (element->Text() == value)
            continue;
        for (int i = 0; i < m_pages->PageCount(); ++i)
            if (GlobalPgScrollBox(i) == element->parentWidget())
                GoToPage(i);
        element->SetFocus(QPoint(-1, -1));
        auto *editor = dynamic_cast<TBaseRTEditFocusCtrl *>(element->Editor());
        if (!editor || !editor->ReplaceTextChecked(value)) {
            refused << QStringLiteral("%1: \"%2\" is not a value this box takes")
                           .arg(name, Shortened(value));
            CommitEdit();
            continue;
        }
        if (!CommitEdit())
            break;
    }
    GoToPage(startPage);
    if (!refused.isEmpty())
        Global_MessageDlg(
            GlobalAppTitle(),
            QStringLiteral("These values were not restored:\r\r%1").arg(refused.join(u'\r')),
            mtWarning, mbOK, 0);
}
