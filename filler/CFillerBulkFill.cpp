#include "CFillerBulkFill.h"

#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrl.h"
#include "CCsv.h"
#include "CDialogService.h"
#include "CDocumentFile.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CProjectIO.h"
#include "CProjectPrint.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
void Say(const QString &text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// What would have been a dialog while a row is checked is one of the row's problems.
class TRowDialogs : public TDialogService
{
public:
    QStringList Texts;

    int MessageBox(const TMessageRequest &request) override
    {
        Add(request.Text);
        return request.Buttons & mbNo ? mrNo : mrCancel;
    }
    QString OpenFileName(const TFileRequest &) override { return {}; }
    QString SaveFileName(const TFileRequest &) override { return {}; }
    QString FolderName(const QString &, const QString &) override { return {}; }
    bool PrintDialog(TPrintRequest &) override { return false; }
    int ExecModal(QDialog &dialog) override
    {
        // The validation window lists its messages in one label; other windows say what they say.
        if (const auto *messages = dialog.findChild<QLabel *>(QStringLiteral("Messages"))) {
            Add(messages->text());
        } else {
            for (const QLabel *label : dialog.findChildren<QLabel *>())
                Add(label->text());
        }
        return mrNo;
    }
    bool OpenUrl(const QUrl &) override { return false; }
    void Beep() override { }

private:
    void Add(QString text)
    {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
            Texts << line.trimmed();
    }
};

// Installs the row's dialog service for as long as it lives.
class TDialogScope
{
public:
    explicit TDialogScope(std::unique_ptr<TDialogService> service)
        : m_previous(SetDialogService(std::move(service)))
    { }
    ~TDialogScope() { SetDialogService(std::move(m_previous)); }
    TDialogScope(const TDialogScope &) = delete;
    TDialogScope &operator=(const TDialogScope &) = delete;

private:
    std::unique_ptr<TDialogService> m_previous;
};

QString Shortened(const QString &value)
{
    constexpr int kShown = 40;
    QString shown = value;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"))
        .replace(u'\n', QStringLiteral("\\n"));
    return shown.size() > kShown ? shown.left(kShown - 1) + QChar(0x2026) : shown;
}

// Values compare as texts whatever their line breaks.
QString PlainBreaks(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

// A column of the data and the element it names; null when it names none.
struct TColumn
{
    QString Name;
    TVisualPgCtrl *Element = nullptr;
    bool Fillable = false;
};

class TBulkFill
{
public:
    TBulkFill(TFillerMainForm &window, const TBulkFillRequest &request)
        : m_window(window), m_request(request)
    { }

    int Run()
    {
        QList<TCsvRecord> records;
        if (!ReadData(records))
            return 1;
        if (!m_window.OpenDocument(m_request.Document))
            return 1;
        const int status = FillRows(records);
        m_window.CloseDocument();
        return status;
    }

private:
    bool ReadData(QList<TCsvRecord> &records)
    {
        const QString &path = m_request.Data;
        if (const QString problem = DocumentSourceProblem(path); !problem.isEmpty()) {
            Say(QStringLiteral("%1 %2").arg(path, problem));
            return false;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            Say(QStringLiteral("%1: %2").arg(path, file.errorString()));
            return false;
        }
        QString error;
        if (!ReadCsv(file.readAll(), records, error)) {
            Say(QStringLiteral("%1: %2").arg(path, error));
            return false;
        }
        if (records.isEmpty()) {
            Say(QStringLiteral("%1: no header line naming the columns").arg(path));
            return false;
        }
        if (records.size() == 1) {
            Say(QStringLiteral("%1: no rows below the header").arg(path));
            return false;
        }
        QHash<QString, int> seen;
        for (const QString &name : std::as_const(records.first().Fields)) {
            if (name.trimmed().isEmpty()) {
                Say(QStringLiteral("%1: line %2: a column without a name")
                        .arg(path)
                        .arg(records.first().Line));
                return false;
            }
            if (seen.contains(name.trimmed().toCaseFolded())) {
                Say(QStringLiteral("%1: line %2: the column \"%3\" is named twice")
                        .arg(path)
                        .arg(records.first().Line)
                        .arg(name));
                return false;
            }
            seen.insert(name.trimmed().toCaseFolded(), 1);
        }
        return true;
    }

    void MapColumns(const QStringList &header)
    {
        QHash<QString, TVisualPgCtrl *> elements;
        for (int page = 0; page < m_window.PagesPageControl()->PageCount(); ++page)
            if (TPrinterPage *view = GlobalPgScrollBox(page))
                for (QObject *child : view->children())
                    if (auto *element = qobject_cast<TVisualPgCtrl *>(child))
                        elements.insert(element->Name().toCaseFolded(), element);
        for (const QString &name : header) {
            TColumn column;
            column.Name = name.trimmed();
            column.Element = elements.value(column.Name.toCaseFolded());
            column.Fillable
                = column.Element && column.Element->isEnabled() && GlobalCanFocus(column.Element);
            m_columns << column;
        }
    }

    // Puts one value in as typing would and leaves the element, which validates it.
    void FillValue(const TColumn &column, const QString &value, QStringList &problems)
    {
        TVisualPgCtrl *element = column.Element;
        if (PlainBreaks(element->Text()) == PlainBreaks(value))
            return;
        element->SetFocus(QPoint(-1, -1));
        auto *editor = dynamic_cast<TBaseRTEditFocusCtrl *>(element->Editor());
        const auto breaks = [](const QString &text) {
            return text.contains(u'\n') || text.contains(u'\r');
        };
        if (!editor || !editor->ReplaceTextChecked(value)) {
            problems << QStringLiteral("%1: \"%2\" is not a value this box takes")
                            .arg(element->Name(), Shortened(value));
            // The next row starts from the form's text, not from what was refused.
            element->SetText(m_formTexts.value(element));
        } else if (breaks(value) && !breaks(element->Text())) {
            // A paste joins the lines for a box of one line; a data file's value is not
            // changed unseen.
            problems << QStringLiteral("%1: \"%2\" has line breaks, and the box holds one line")
                            .arg(element->Name(), Shortened(value));
            element->SetText(m_formTexts.value(element));
        }
        try {
            element->KillFocus();
        } catch (const EVeloraError &error) {
            problems << element->Name() + QStringLiteral(": ")
                    + QString(error.Message()).replace(u'\r', u' ');
            element->SetText(m_formTexts.value(element));
            try {
                element->KillFocus();
            } catch (const EVeloraError &) { }
        }
    }

    QStringList CheckRow(const TCsvRecord &record)
    {
        QStringList problems;
        auto dialogs = std::make_unique<TRowDialogs>();
        TRowDialogs *seen = dialogs.get();
        const TDialogScope scope(std::move(dialogs));
        const QStringList &fields = record.Fields;
        if (fields.size() > m_columns.size())
            problems << QStringLiteral("%1 values, but the header names %2 columns")
                            .arg(fields.size())
                            .arg(m_columns.size());
        QStringList missing;
        for (qsizetype i = fields.size(); i < m_columns.size(); ++i)
            missing << m_columns.at(i).Name;
        if (!missing.isEmpty())
            problems << QStringLiteral("no value for %1").arg(missing.join(QStringLiteral(", ")));
        // Typed boxes first, so that calculated ones have settled when compared.
        for (qsizetype i = 0; i < m_columns.size(); ++i) {
            const TColumn &column = m_columns.at(i);
            const QString value = i < fields.size() ? fields.at(i) : QString();
            if (!column.Element) {
                if (!value.isEmpty())
                    problems << QStringLiteral("the column \"%1\" names no element of the form")
                                    .arg(column.Name);
                continue;
            }
            if (column.Fillable)
                FillValue(column, value, problems);
        }
        for (qsizetype i = 0; i < m_columns.size() && i < fields.size(); ++i) {
            const TColumn &column = m_columns.at(i);
            if (column.Element && !column.Fillable
                && PlainBreaks(column.Element->Text()) != PlainBreaks(fields.at(i)))
                problems << QStringLiteral("%1 cannot be filled in; the form gives \"%2\", the "
                                           "row \"%3\"")
                                .arg(column.Name, Shortened(column.Element->Text()),
                                     Shortened(fields.at(i)));
        }
        if (problems.isEmpty() && !m_request.PublishAnyway && !m_window.ValidateForm(false))
            problems << (seen->Texts.isEmpty() ? QStringList {QStringLiteral("failed validation")}
                                               : seen->Texts);
        // The next row starts with no box open, whatever this one left focused.
        if (TVisualPgCtrl *focused = TVisualPgCtrl::FocusedElement()) {
            try {
                focused->KillFocus();
            } catch (const EVeloraError &) {
                focused->SetText(m_formTexts.value(focused));
                focused->KillFocus();
            }
        }
        // Whatever was said while filling is the row's too.
        for (const QString &text : std::as_const(seen->Texts))
            if (!problems.contains(text))
                problems << text;
        return problems;
    }

    bool OutputRow(int row, int rows)
    {
        if (m_run) {
            if (!m_run->AddPages(QFileInfo(m_request.Document).completeBaseName(), 0,
                                 m_window.PagesPageControl()->PageCount() - 1)) {
                Say(QStringLiteral("Not printed: %1").arg(m_run->ErrorText()));
                return false;
            }
        }
        if (m_staging) {
            GlobalNotifyCtrls(VRMSGAboutToSave, 0, 0, true);
            const QString name = QStringLiteral("%1-%2.vld")
                                     .arg(QFileInfo(m_request.Document).completeBaseName())
                                     .arg(row, int(QString::number(rows).size()), 10, QChar(u'0'));
            if (!SaveDocument(m_staging->filePath(name), m_window.ProjectInfo())) {
                Say(QStringLiteral("Row %1 could not be saved in %2.")
                        .arg(row)
                        .arg(m_request.SaveDir));
                return false;
            }
            m_saved << name;
        }
        return true;
    }

    bool PrepareOutputs()
    {
        if (!m_request.SaveDir.isEmpty()) {
            const QFileInfo dir(m_request.SaveDir);
            if (!dir.isDir() || !dir.isWritable()) {
                Say(QStringLiteral("Could not write into \"%1\": not a folder that can be written.")
                        .arg(m_request.SaveDir));
                return false;
            }
            // Filled documents are put in place only when the whole run went well.
            m_staging = std::make_unique<QTemporaryDir>(
                QDir(m_request.SaveDir).filePath(QStringLiteral(".velora-fill-XXXXXX")));
            if (!m_staging->isValid()) {
                Say(QStringLiteral("Could not write into \"%1\": %2")
                        .arg(m_request.SaveDir, m_staging->errorString()));
                return false;
            }
        }
        if (m_request.Print) {
            m_run = std::make_unique<TProjectPrintRun>();
            if (!m_run->ChooseOffsets()) {
                if (!m_run->ErrorText().isEmpty())
                    Say(m_run->ErrorText());
                return false;
            }
        }
        return true;
    }

    bool PlaceSavedDocuments()
    {
        for (const QString &name : std::as_const(m_saved)) {
            const QString target = QDir(m_request.SaveDir).filePath(name);
            // Replaces a document of that name in one step: it is never missing meanwhile.
            if (std::rename(QFile::encodeName(m_staging->filePath(name)).constData(),
                            QFile::encodeName(target).constData())
                != 0) {
                Say(QStringLiteral("Could not put \"%1\" in place: %2")
                        .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
                return false;
            }
        }
        return true;
    }

    int FillRows(const QList<TCsvRecord> &records)
    {
        MapColumns(records.first().Fields);
        for (const TColumn &column : std::as_const(m_columns))
            if (column.Element)
                m_formTexts.insert(column.Element, column.Element->Text());
        if (!PrepareOutputs())
            return 1;
        const int rows = int(records.size()) - 1;
        int refused = 0;
        int done = 0;
        bool outputFailed = false;
        QElapsedTimer clock;
        clock.start();
        qint64 lastReport = 0;
        for (int row = 1; row <= rows; ++row) {
            const TCsvRecord &record = records.at(row);
            const QStringList problems = CheckRow(record);
            if (!problems.isEmpty()) {
                ++refused;
                for (const QString &problem : problems)
                    Say(QStringLiteral("row %1 (line %2): %3")
                            .arg(row)
                            .arg(record.Line)
                            .arg(problem));
            } else if (!outputFailed && (m_request.SkipInvalid || refused == 0)) {
                if (!OutputRow(row, rows))
                    outputFailed = true;
                else
                    ++done;
            }
            // Posted notes and the row's closed editors would otherwise pile up for the whole
            // run: there is no event loop to take them.
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (clock.elapsed() - lastReport >= 2000 && row < rows) {
                lastReport = clock.elapsed();
                Say(QStringLiteral("%1 of %2 rows...").arg(row).arg(rows));
            }
        }
        const bool complete = !outputFailed && (m_request.SkipInvalid || refused == 0) && done > 0;
        if (!complete) {
            if (m_run)
                m_run->Abort();
            if (outputFailed)
                return 1;
            if (done == 0 && refused == rows && m_request.SkipInvalid)
                Say(QStringLiteral("Nothing printed or saved: every row was refused."));
            else
                Say(QStringLiteral("Nothing printed or saved: %1 of %2 rows were refused; "
                                   "--skip-invalid leaves them out.")
                        .arg(refused)
                        .arg(rows));
            return 1;
        }
        if (m_run && !m_run->End()) {
            Say(QStringLiteral("Not printed: %1").arg(m_run->ErrorText()));
            return 1;
        }
        if (m_staging && !PlaceSavedDocuments())
            return 1;
        Say(QStringLiteral("%1 of %2 rows filled%3.")
                .arg(done)
                .arg(rows)
                .arg(refused ? QStringLiteral("; %1 left out").arg(refused) : QString()));
        return 0;
    }

    TFillerMainForm &m_window;
    const TBulkFillRequest &m_request;
    QList<TColumn> m_columns;
    QHash<TVisualPgCtrl *, QString> m_formTexts;
    std::unique_ptr<TProjectPrintRun> m_run;
    std::unique_ptr<QTemporaryDir> m_staging;
    QStringList m_saved;
};
} // namespace

int RunBulkFill(TFillerMainForm &window, const TBulkFillRequest &request)
{
    return TBulkFill(window, request).Run();
}
