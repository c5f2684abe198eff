#include "CDialogService.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <array>

namespace {
struct TButtonMap
{
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Standard;
    TModalResult Result;
};

constexpr std::array<TButtonMap, 12> kButtons {{
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
    {mbAll, QMessageBox::YesToAll, mrAll},
    {mbNoToAll, QMessageBox::NoToAll, mrNoToAll},
    {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
    {mbHelp, QMessageBox::Help, mrNone},
    {mbClose, QMessageBox::Close, mrClose},
}};

QWidget *ActiveWindow()
{
    return QApplication::activeWindow();
}

class TQtDialogService : public TDialogService
{
public:
    int MessageBox(const TMessageRequest &request) override
    {
        QMessageBox box(ActiveWindow());
        box.setWindowTitle(request.Caption);
        // Messages break their lines with CR, as stored texts do.
        box.setText(QString(request.Text)
                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                        .replace(u'\r', u'\n'));
        // Names, paths and addresses in a message can be copied from it.
        box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        switch (request.Type) {
        case mtWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case mtError:
            box.setIcon(QMessageBox::Critical);
            break;
        case mtInformation:
            box.setIcon(QMessageBox::Information);
            break;
        case mtConfirmation:
            box.setIcon(QMessageBox::Question);
            break;
        case mtCustom:
            break;
        }
        QMessageBox::StandardButtons standard;
        for (const auto &b : kButtons)
            if ((request.Buttons & b.Button) && b.Button != mbAll)
                standard |= b.Standard;
        box.setStandardButtons(standard);
        // "All" has no standard button of its own.
        QPushButton *all = (request.Buttons & mbAll)
            ? box.addButton(QObject::tr("&All"), QMessageBox::AcceptRole)
            : nullptr;
        const auto clicked = QMessageBox::StandardButton(box.exec());
        if (all && box.clickedButton() == all)
            return mrAll;
        for (const auto &b : kButtons)
            if (b.Standard == clicked && b.Button != mbAll && (request.Buttons & b.Button))
                return b.Result;
        return (request.Buttons & mbCancel) ? mrCancel : mrNone;
    }

    QString OpenFileName(const TFileRequest &request) override
    {
        QFileDialog dlg(ActiveWindow(), request.Caption, request.InitialDir);
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
        return dlg.exec() == QDialog::Accepted ? dlg.selectedFiles().value(0) : QString();
    }

    QString SaveFileName(const TFileRequest &request) override
    {
        QFileDialog dlg(ActiveWindow(), request.Caption, request.InitialDir);
        Prepare(dlg, request);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        // Callers ask before replacing, after they settle the final name.
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
        return dlg.exec() == QDialog::Accepted ? dlg.selectedFiles().value(0) : QString();
    }

    QString FolderName(const QString &caption, const QString &initialDir) override
    {
        return QFileDialog::getExistingDirectory(ActiveWindow(), caption, initialDir);
    }

    bool PrintDialog(TPrintRequest &request) override
    {
        QPrintDialog dlg(request.Printer, ActiveWindow());
        dlg.setMinMax(request.MinPage, request.MaxPage);
        if (request.FromPage > 0)
            dlg.setFromTo(request.FromPage, request.ToPage);
        dlg.setOption(QAbstractPrintDialog::PrintPageRange, request.PageRangeEnabled);
        dlg.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
        request.Printer->setCopyCount(request.Copies);
        request.Printer->setCollateCopies(request.Collate);
        if (dlg.exec() != QDialog::Accepted)
            return false;
        if (request.Printer->printRange() == QPrinter::PageRange) {
            request.FromPage = request.Printer->fromPage();
            request.ToPage = request.Printer->toPage();
        } else {
            request.FromPage = request.ToPage = 0;
        }
        request.Copies = request.Printer->copyCount();
        request.Collate = request.Printer->collateCopies();
        return true;
    }

    int ExecModal(QDialog &dialog) override { return dialog.exec(); }

    bool OpenUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }

    void Beep() override { QApplication::beep(); }

private:
    static void Prepare(QFileDialog &dlg, const TFileRequest &request)
    {
        const QStringList filters = FilterToNameFilters(request.Filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            dlg.selectNameFilter(filters.value(qMax(0, request.FilterIndex - 1)));
        }
        if (!request.DefaultExt.isEmpty())
            dlg.setDefaultSuffix(request.DefaultExt);
        if (!request.FileName.isEmpty())
            dlg.selectFile(request.FileName);
    }
};

std::unique_ptr<TDialogService> &Current()
{
    static std::unique_ptr<TDialogService> service;
    return service;
}
} // namespace

std::unique_ptr<TDialogService> CreateQtDialogService()
{
    return std::make_unique<TQtDialogService>();
}

TDialogService &DialogService()
{
    auto &service = Current();
    if (!service)
        service = CreateQtDialogService();
    return *service;
}

std::unique_ptr<TDialogService> SetDialogService(std::unique_ptr<TDialogService> service)
{
    auto previous = std::move(Current());
    Current() = service ? std::move(service) : CreateQtDialogService();
    return previous;
}

QStringList FilterToNameFilters(const QString &filter)
{
    QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString &p : patterns)
            p = p.trimmed();
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        // Qt shows the patterns itself; drop a copy already in the description.
        QString label = description;
        const qsizetype paren = label.lastIndexOf(u'(');
        if (paren > 0 && label.endsWith(u')'))
            label = label.left(paren).trimmed();
        result.append(QStringLiteral("%1 (%2)").arg(label, patterns.join(u' ')));
    }
    return result;
}

int Global_MessageDlg(const QString &caption, const QString &message, int type, unsigned buttons,
                      int helpTopic)
{
    return DialogService().MessageBox(
        TMessageRequest {caption, message, TMsgDlgType(type), buttons, helpTopic});
}

QString GlobalAppTitle()
{
    const QString name = QApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Velora") : name;
}

bool Global_OpenUrl(const QUrl &url)
{
    if (DialogService().OpenUrl(url))
        return true;
    Global_MessageDlg(GlobalAppTitle(),
                      QStringLiteral("No program on this computer could open this address:\r\r%1"
                                     "\r\rCopy it into a web browser to open it.")
                          .arg(url.toString()),
                      mtWarning, mbOK, 0);
    return false;
}
