#include "CButtonActionsDlg.h"

#include "CGlobal.h"
#include "CPageControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
using namespace ButtonParam;

// The order the action combo offers them in; New is read back but not offered.
const int OfferedKinds[]
    = {bakOpen,     bakClose,      bakSave,       bakSaveAs,       bakPrint,
       bakExit,     bakActualSize, bakFitToWidth, bakFitToPage,    bakResetForm,
       bakValidate, bakFirstPage,  bakNextPage,   bakPreviousPage, bakLastPage,
       bakGotoPage, bakHyperlink,  bakPostToURL,  bakEmail,        bakExecute};

const int PostableKinds[] = {10, 20, 50, 60, 70, 80, 90, 95, 125, 130, 140, 145};
const int ResponseKinds[] = {20, 145};

QPushButton *BrowseButton(QWidget *parent, QLineEdit *target, const QString &caption,
                          const QString &filter, bool save)
{
    auto *button = new QPushButton(QStringLiteral("&Browse"), parent);
    QObject::connect(button, &QPushButton::clicked, parent, [=] {
        TFileRequest request;
        request.Caption = caption;
        request.Filter = filter;
        request.FileName = target->text();
        const QString chosen
            = save ? DialogService().SaveFileName(request) : DialogService().OpenFileName(request);
        if (!chosen.isEmpty())
            target->setText(chosen);
    });
    return button;
}

QWidget *Row(QWidget *parent, std::initializer_list<QWidget *> widgets)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *widget : widgets)
        layout->addWidget(widget, widget == *widgets.begin() ? 1 : 0);
    return row;
}
} // namespace

TButtonActionsDlg::TButtonActionsDlg(QWidget *parent, const QString &actionsText)
    : TBaseForm(parent), ActionCombo(new QComboBox(this)), PerformList(new QListWidget(this)),
      m_pages(new QStackedWidget(this)),
      m_pageCount(GlobalPagesPageControl ? qMax(1, GlobalPagesPageControl->PageCount()) : 1)
{
    setObjectName(QStringLiteral("ButtonActionsForm"));
    setWindowTitle(QStringLiteral(" Actions"));
    for (const int kind : OfferedKinds)
        ActionCombo->addItem(TButtonAction::KindName(kind), kind);

    m_pageOfKind = QList<int>(bakCount, 0);
    m_pages->addWidget(NoParamsPage());
    const auto page = [this](QWidget *widget, std::initializer_list<int> kinds) {
        const int index = m_pages->addWidget(widget);
        for (const int kind : kinds)
            m_pageOfKind[kind] = index;
    };
    page(OpenPage(), {bakOpen});
    page(SaveAsPage(), {bakSaveAs});
    page(PrintPage(), {bakPrint});
    page(GotoPage_(), {bakGotoPage});
    page(HyperlinkPage(), {bakHyperlink});
    page(PostPage(), {bakPostToURL});
    page(EmailPage(), {bakEmail});
    page(ExecutePage(), {bakExecute});
    connect(ActionCombo, &QComboBox::currentIndexChanged, this,
            [this] { m_pages->setCurrentIndex(m_pageOfKind.value(ChosenKind())); });
    m_pages->setCurrentIndex(m_pageOfKind.value(ChosenKind()));

    AddButton = new QPushButton(QStringLiteral("&Add"), this);
    UpButton = new QPushButton(QStringLiteral("&Up"), this);
    DownButton = new QPushButton(QStringLiteral("Do&wn"), this);
    DeleteButton = new QPushButton(QStringLiteral("&Delete"), this);
    ModifyButton = new QPushButton(QStringLiteral("&Modify"), this);
    connect(AddButton, &QPushButton::clicked, this, &TButtonActionsDlg::AddClicked);
    connect(ModifyButton, &QPushButton::clicked, this, &TButtonActionsDlg::ModifyClicked);
    connect(DeleteButton, &QPushButton::clicked, this, &TButtonActionsDlg::DeleteClicked);
    connect(UpButton, &QPushButton::clicked, this, [this] { MoveClicked(-1); });
    connect(DownButton, &QPushButton::clicked, this, [this] { MoveClicked(1); });
    connect(PerformList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < m_actions.size())
            ShowAction(m_actions.at(row));
        UpdateButtons();
    });

    auto *action = new QGroupBox(QStringLiteral("Action"), this);
    auto *actionLayout = new QVBoxLayout(action);
    actionLayout->addWidget(ActionCombo);
    actionLayout->addWidget(m_pages, 1);
    actionLayout->addWidget(AddButton, 0, Qt::AlignRight);
    auto *perform = new QGroupBox(QStringLiteral("Perform"), this);
    auto *performLayout = new QGridLayout(perform);
    performLayout->addWidget(PerformList, 0, 0, 6, 1);
    int row = 0;
    for (QPushButton *button : {UpButton, DownButton, DeleteButton, ModifyButton})
        performLayout->addWidget(button, row++, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *columns = new QHBoxLayout;
    columns->addWidget(action, 3);
    columns->addWidget(perform, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    TActionsList list;
    list.StrToList(actionsText);
    for (int i = 0; i < list.Count(); ++i)
        m_actions.append(*list.Action(i));
    RefillList(m_actions.isEmpty() ? -1 : 0);
}

QString TButtonActionsDlg::ActionsText() const
{
    TActionsList list;
    for (const TButtonAction &action : m_actions)
        list.Add(std::make_unique<TButtonAction>(action));
    return list.ListToStr();
}

int TButtonActionsDlg::ChosenKind() const
{
    return ActionCombo->currentData().toInt();
}

void TButtonActionsDlg::ChooseKind(int kind)
{
    const int index = ActionCombo->findData(kind);
    if (index >= 0)
        ActionCombo->setCurrentIndex(index);
}

QWidget *TButtonActionsDlg::NoParamsPage()
{
    auto *page = new QLabel(QStringLiteral("This action has no parameters."), this);
    page->setAlignment(Qt::AlignCenter);
    return page;
}

QWidget *TButtonActionsDlg::OpenPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    OpenPath = new QLineEdit(page);
    OpenUseDialog = new QCheckBox(page);
    layout->addRow(new QLabel(QStringLiteral("Open Project Name"), page));
    layout->addRow(Row(page,
                       {OpenPath,
                        BrowseButton(page, OpenPath, QStringLiteral("Open Project Name"),
                                     QStringLiteral("Velora Documents (*.VLD)|*.VLD"), false)}));
    layout->addRow(QStringLiteral("Use Open Dialog : "), OpenUseDialog);
    return page;
}

QWidget *TButtonActionsDlg::SaveAsPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    SaveAsPath = new QLineEdit(page);
    SaveAsUseDialog = new QCheckBox(page);
    SaveAsOverwrite = new QCheckBox(page);
    layout->addRow(new QLabel(QStringLiteral("Save Project Name"), page));
    layout->addRow(Row(page,
                       {SaveAsPath,
                        BrowseButton(page, SaveAsPath, QStringLiteral("Save Project As Name"),
                                     QStringLiteral("Velora Documents (*.VLD)|*.VLD"), true)}));
    layout->addRow(QStringLiteral("Use Save Dialog : "), SaveAsUseDialog);
    layout->addRow(QStringLiteral("Overwrite Prompt : "), SaveAsOverwrite);
    return page;
}

QWidget *TButtonActionsDlg::PrintPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    PrintCopies = new QSpinBox(page);
    PrintCopies->setRange(1, 999);
    PrintAll = new QRadioButton(QStringLiteral("All"), page);
    PrintSelected = new QRadioButton(QStringLiteral("Selected"), page);
    PrintPages = new QRadioButton(QStringLiteral("From :"), page);
    PrintFrom = new QSpinBox(page);
    PrintTo = new QSpinBox(page);
    PrintFrom->setRange(1, m_pageCount);
    PrintTo->setRange(1, m_pageCount);
    PrintTo->setValue(m_pageCount);
    PrintAll->setChecked(true);
    PrintCollate = new QCheckBox(page);
    PrintUseDialog = new QCheckBox(page);
    layout->addRow(QStringLiteral("Copies :"), PrintCopies);
    layout->addRow(PrintAll);
    layout->addRow(PrintSelected);
    layout->addRow(
        Row(page, {PrintPages, PrintFrom, new QLabel(QStringLiteral("To :"), page), PrintTo}));
    layout->addRow(QStringLiteral("Collate :"), PrintCollate);
    layout->addRow(QStringLiteral("Use Print Dialog :"), PrintUseDialog);
    return page;
}

QWidget *TButtonActionsDlg::GotoPage_()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    GotoPage = new QSpinBox(page);
    GotoPage->setRange(1, m_pageCount);
    GotoUseDialog = new QCheckBox(page);
    layout->addRow(QStringLiteral("Page Number :"), GotoPage);
    layout->addRow(QStringLiteral("Use Dialog : "), GotoUseDialog);
    return page;
}

QWidget *TButtonActionsDlg::HyperlinkPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    HyperlinkURL = new QLineEdit(page);
    HyperlinkUseDialog = new QCheckBox(page);
    layout->addRow(QStringLiteral("Hyperlink URL"), HyperlinkURL);
    layout->addRow(QStringLiteral("Use Dialog : "), HyperlinkUseDialog);
    return page;
}

QWidget *TButtonActionsDlg::PostPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QGridLayout(page);
    PostAvailable = new QListWidget(page);
    PostFields = new QListWidget(page);
    PostAvailable->addItems(Global_FillHTMLExportDropList(PostableKinds));
    auto *add = new QPushButton(QStringLiteral("->"), page);
    auto *remove = new QPushButton(QStringLiteral("<-"), page);
    add->setObjectName(QStringLiteral("PostAddField"));
    remove->setObjectName(QStringLiteral("PostRemoveField"));
    connect(add, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem *item = PostAvailable->takeItem(PostAvailable->currentRow()))
            PostFields->addItem(item);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem *item = PostFields->takeItem(PostFields->currentRow()))
            PostAvailable->addItem(item);
    });
    PostURL = new QLineEdit(page);
    PostResponseField = new QComboBox(page);
    const QStringList responses = Global_FillHTMLExportDropList(ResponseKinds);
    if (!responses.isEmpty())
        PostResponseField->addItem(QString());
    PostResponseField->addItems(responses);
    PostRespondWithDialog = new QCheckBox(page);
    PostStripHTML = new QCheckBox(page);
    layout->addWidget(new QLabel(QStringLiteral("Available Fields"), page), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Fields To Send"), page), 0, 2);
    layout->addWidget(PostAvailable, 1, 0, 2, 1);
    layout->addWidget(add, 1, 1);
    layout->addWidget(remove, 2, 1);
    layout->addWidget(PostFields, 1, 2, 2, 1);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("URL"), PostURL);
    form->addRow(QStringLiteral("Response Field"), PostResponseField);
    form->addRow(QStringLiteral("Respond With Dialog :"), PostRespondWithDialog);
    form->addRow(QStringLiteral("Strip HTML Tags :"), PostStripHTML);
    layout->addLayout(form, 3, 0, 1, 3);
    layout->setRowStretch(4, 1);
    return page;
}

QWidget *TButtonActionsDlg::EmailPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    const auto line = [page] {
        return new QLineEdit(page);
    };
    EmailTo = line(), EmailCC = line(), EmailBCC = line(), EmailFrom = line();
    EmailHost = line(), EmailUserID = line(), EmailPassword = line(), EmailSubject = line();
    EmailPassword->setEchoMode(QLineEdit::Password);
    EmailBody = new QPlainTextEdit(page);
    EmailAttachments = new QComboBox(page);
    EmailAttachments->setEditable(true);
    EmailAttachDocument = new QCheckBox(QStringLiteral("Attach current Velora document"), page);
    EmailHideSettings = new QCheckBox(QStringLiteral("Hide settings at fill time"), page);
    EmailUseDialog = new QCheckBox(QStringLiteral("Use dialog at fill time"), page);
    const auto edited = [this, page](QLineEdit *edit, const QString &caption) {
        auto *button = new QPushButton(QStringLiteral("..."), page);
        connect(button, &QPushButton::clicked, this, [edit, caption] {
            QString text;
            if (GlobalGetTextDlg(Global_StrToList(edit->text(), u';'), caption, false, text, 0))
                edit->setText(Global_ListToStr(text, QString(), u';'));
        });
        return Row(page, {edit, button});
    };
    auto *attach = new QPushButton(QStringLiteral("Attach"), page);
    connect(attach, &QPushButton::clicked, this, [this] {
        TFileRequest request;
        request.Caption = QStringLiteral("Attach");
        request.Filter = QStringLiteral("All Files|*.*");
        const QString chosen = DialogService().OpenFileName(request);
        if (!chosen.isEmpty() && EmailAttachments->findText(chosen) < 0)
            EmailAttachments->addItem(chosen);
        if (!chosen.isEmpty())
            EmailAttachments->setCurrentText(chosen);
    });
    auto *body = new QPushButton(QStringLiteral("..."), page);
    connect(body, &QPushButton::clicked, this, [this] {
        QString text;
        if (GlobalGetTextDlg(EmailBody->toPlainText(), QStringLiteral("Body Text"), false, text, 0))
            EmailBody->setPlainText(text);
    });
    layout->addRow(QStringLiteral("To"), edited(EmailTo, QStringLiteral("Recipients")));
    layout->addRow(QStringLiteral("CC"), edited(EmailCC, QStringLiteral("CC - Carbon Copy")));
    layout->addRow(QStringLiteral("BCC"),
                   edited(EmailBCC, QStringLiteral("BCC - Blind Carbon Copy")));
    layout->addRow(QStringLiteral("From"), EmailFrom);
    layout->addRow(QStringLiteral("Subject"), EmailSubject);
    layout->addRow(QStringLiteral("Host"), EmailHost);
    layout->addRow(QStringLiteral("User ID"), EmailUserID);
    layout->addRow(QStringLiteral("Password"), EmailPassword);
    layout->addRow(QStringLiteral("Attach :"), Row(page, {EmailAttachments, attach}));
    layout->addRow(EmailAttachDocument);
    layout->addRow(QStringLiteral("Body :"), Row(page, {EmailBody, body}));
    layout->addRow(EmailHideSettings);
    layout->addRow(EmailUseDialog);
    return page;
}

QWidget *TButtonActionsDlg::ExecutePage()
{
    auto *page = new QWidget(this);
    auto *layout = new QFormLayout(page);
    ExecuteProgram = new QLineEdit(page);
    ExecuteParameters = new QLineEdit(page);
    layout->addRow(QStringLiteral("Application :"),
                   Row(page,
                       {ExecuteProgram,
                        BrowseButton(page, ExecuteProgram, QStringLiteral("Application"),
                                     QStringLiteral("Applications|*"), false)}));
    layout->addRow(QStringLiteral("Parameters :"), ExecuteParameters);
    return page;
}

void TButtonActionsDlg::ReadPost(TButtonAction &action) const
{
    QStringList fields;
    for (int i = 0; i < PostFields->count(); ++i)
        fields.append(PostFields->item(i)->text());
    action.SetStr(ButtonParam::PostURL, this->PostURL->text().trimmed());
    action.SetStr(ButtonParam::PostFields, fields.join(QStringLiteral("\r\n")));
    action.SetStr(ButtonParam::PostResponseField, PostResponseField->currentText());
    action.SetBool(ButtonParam::PostRespondWithDialog, PostRespondWithDialog->isChecked());
    action.SetBool(ButtonParam::PostStripHTML, PostStripHTML->isChecked());
}

void TButtonActionsDlg::ShowPost(const TButtonAction &action)
{
    this->PostURL->setText(action.Str(ButtonParam::PostURL));
    const QStringList chosen
        = action.Str(ButtonParam::PostFields).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    // Every name goes back to the available ones, then the chosen move across in order.
    while (PostFields->count() > 0)
        PostAvailable->addItem(PostFields->takeItem(0));
    for (const QString &name : chosen) {
        const QList<QListWidgetItem *> found = PostAvailable->findItems(name, Qt::MatchFixedString);
        if (!found.isEmpty())
            PostFields->addItem(PostAvailable->takeItem(PostAvailable->row(found.first())));
        else
            PostFields->addItem(name);
    }
    const int response = PostResponseField->findText(action.Str(ButtonParam::PostResponseField));
    PostResponseField->setCurrentIndex(qMax(0, response));
    PostRespondWithDialog->setChecked(action.Bool(ButtonParam::PostRespondWithDialog));
    PostStripHTML->setChecked(action.Bool(ButtonParam::PostStripHTML));
}

void TButtonActionsDlg::ReadEmail(TButtonAction &action) const
{
    QStringList files;
    for (int i = 0; i < EmailAttachments->count(); ++i)
        files.append(EmailAttachments->itemText(i));
    action.SetStr(ButtonParam::EmailAttachments, files.join(u';'));
    action.SetStr(EmailCurrentAttachment, EmailAttachments->currentText().trimmed());
    action.SetBool(ButtonParam::EmailAttachDocument, EmailAttachDocument->isChecked());
    action.SetStr(ButtonParam::EmailBCC, EmailBCC->text().trimmed());
    action.SetStr(ButtonParam::EmailBody, EmailBody->toPlainText());
    action.SetStr(ButtonParam::EmailCC, EmailCC->text().trimmed());
    action.SetStr(ButtonParam::EmailFrom, EmailFrom->text().trimmed());
    action.SetBool(ButtonParam::EmailHideSettings, EmailHideSettings->isChecked());
    action.SetStr(ButtonParam::EmailHost, EmailHost->text().trimmed());
    action.SetStr(ButtonParam::EmailPassword, EmailPassword->text());
    action.SetStr(ButtonParam::EmailSubject, EmailSubject->text());
    action.SetStr(ButtonParam::EmailTo, EmailTo->text().trimmed());
    action.SetBool(ButtonParam::EmailUseDialog, EmailUseDialog->isChecked());
    action.SetStr(ButtonParam::EmailUserID, EmailUserID->text().trimmed());
}

void TButtonActionsDlg::ShowEmail(const TButtonAction &action)
{
    EmailAttachments->clear();
    EmailAttachments->addItems(
        action.Str(ButtonParam::EmailAttachments).split(u';', Qt::SkipEmptyParts));
    EmailAttachments->setCurrentText(action.Str(EmailCurrentAttachment));
    EmailAttachDocument->setChecked(action.Bool(ButtonParam::EmailAttachDocument));
    EmailBCC->setText(action.Str(ButtonParam::EmailBCC));
    EmailBody->setPlainText(action.Str(ButtonParam::EmailBody));
    EmailCC->setText(action.Str(ButtonParam::EmailCC));
    EmailFrom->setText(action.Str(ButtonParam::EmailFrom));
    EmailHideSettings->setChecked(action.Bool(ButtonParam::EmailHideSettings));
    EmailHost->setText(action.Str(ButtonParam::EmailHost));
    EmailPassword->setText(action.Str(ButtonParam::EmailPassword));
    EmailSubject->setText(action.Str(ButtonParam::EmailSubject));
    EmailTo->setText(action.Str(ButtonParam::EmailTo));
    EmailUseDialog->setChecked(action.Bool(ButtonParam::EmailUseDialog));
    EmailUserID->setText(action.Str(ButtonParam::EmailUserID));
}

TButtonAction TButtonActionsDlg::ShownAction() const
{
    TButtonAction action(ChosenKind());
    switch (action.Kind()) {
    case bakOpen:
        action.SetStr(ButtonParam::OpenPath, OpenPath->text().trimmed());
        action.SetBool(ButtonParam::OpenUseDialog, OpenUseDialog->isChecked());
        break;
    case bakSaveAs:
        action.SetBool(SaveAsOverwritePrompt, SaveAsOverwrite->isChecked());
        action.SetStr(ButtonParam::SaveAsPath, SaveAsPath->text().trimmed());
        action.SetBool(ButtonParam::SaveAsUseDialog, SaveAsUseDialog->isChecked());
        break;
    case bakPrint:
        action.SetBool(ButtonParam::PrintCollate, PrintCollate->isChecked());
        action.SetInt(ButtonParam::PrintCopies, PrintCopies->value());
        action.SetInt(ButtonParam::PrintFrom, PrintFrom->value());
        action.SetInt(ButtonParam::PrintTo, qMax(PrintFrom->value(), PrintTo->value()));
        action.SetInt(PrintRange, PrintSelected->isChecked() ? 1 : PrintPages->isChecked() ? 2 : 0);
        action.SetBool(ButtonParam::PrintUseDialog, PrintUseDialog->isChecked());
        break;
    case bakGotoPage:
        action.SetInt(ButtonParam::GotoPage, GotoPage->value());
        action.SetBool(ButtonParam::GotoUseDialog, GotoUseDialog->isChecked());
        break;
    case bakHyperlink:
        action.SetStr(ButtonParam::HyperlinkURL, HyperlinkURL->text().trimmed());
        action.SetBool(ButtonParam::HyperlinkUseDialog, HyperlinkUseDialog->isChecked());
        break;
    case bakPostToURL:
        ReadPost(action);
        break;
    case bakEmail:
        ReadEmail(action);
        break;
    case bakExecute:
        action.SetStr(ButtonParam::ExecuteProgram, ExecuteProgram->text().trimmed());
        action.SetStr(ButtonParam::ExecuteParameters, ExecuteParameters->text().trimmed());
        break;
    default:
        break;
    }
    return action;
}

void TButtonActionsDlg::ShowAction(const TButtonAction &action)
{
    ChooseKind(action.Kind());
    switch (action.Kind()) {
    case bakOpen:
        OpenPath->setText(action.Str(ButtonParam::OpenPath));
        OpenUseDialog->setChecked(action.Bool(ButtonParam::OpenUseDialog));
        break;
    case bakSaveAs:
        SaveAsOverwrite->setChecked(action.Bool(SaveAsOverwritePrompt));
        SaveAsPath->setText(action.Str(ButtonParam::SaveAsPath));
        SaveAsUseDialog->setChecked(action.Bool(ButtonParam::SaveAsUseDialog));
        break;
    case bakPrint:
        PrintCollate->setChecked(action.Bool(ButtonParam::PrintCollate));
        PrintCopies->setValue(action.Int(ButtonParam::PrintCopies));
        PrintFrom->setValue(action.Int(ButtonParam::PrintFrom));
        PrintTo->setValue(action.Int(ButtonParam::PrintTo));
        PrintAll->setChecked(action.Int(PrintRange) == 0);
        PrintSelected->setChecked(action.Int(PrintRange) == 1);
        PrintPages->setChecked(action.Int(PrintRange) == 2);
        PrintUseDialog->setChecked(action.Bool(ButtonParam::PrintUseDialog));
        break;
    case bakGotoPage:
        GotoPage->setValue(action.Int(ButtonParam::GotoPage));
        GotoUseDialog->setChecked(action.Bool(ButtonParam::GotoUseDialog));
        break;
    case bakHyperlink:
        HyperlinkURL->setText(action.Str(ButtonParam::HyperlinkURL));
        HyperlinkUseDialog->setChecked(action.Bool(ButtonParam::HyperlinkUseDialog));
        break;
    case bakPostToURL:
        ShowPost(action);
        break;
    case bakEmail:
        ShowEmail(action);
        break;
    case bakExecute:
        ExecuteProgram->setText(action.Str(ButtonParam::ExecuteProgram));
        ExecuteParameters->setText(action.Str(ButtonParam::ExecuteParameters));
        break;
    default:
        break;
    }
}

void TButtonActionsDlg::RefillList(int current)
{
    const QSignalBlocker blocker(PerformList);
    PerformList->clear();
    for (const TButtonAction &action : m_actions)
        PerformList->addItem(action.DisplayName());
    PerformList->setCurrentRow(current);
    if (current >= 0 && current < m_actions.size())
        ShowAction(m_actions.at(current));
    UpdateButtons();
}

void TButtonActionsDlg::UpdateButtons()
{
    const int row = PerformList->currentRow();
    UpButton->setEnabled(row > 0);
    DownButton->setEnabled(row >= 0 && row + 1 < m_actions.size());
    DeleteButton->setEnabled(row >= 0);
    ModifyButton->setEnabled(row >= 0);
}

void TButtonActionsDlg::AddClicked()
{
    m_actions.append(ShownAction());
    RefillList(int(m_actions.size()) - 1);
}

void TButtonActionsDlg::ModifyClicked()
{
    const int row = PerformList->currentRow();
    if (row < 0 || row >= m_actions.size())
        return;
    m_actions[row] = ShownAction();
    RefillList(row);
}

void TButtonActionsDlg::DeleteClicked()
{
    const int row = PerformList->currentRow();
    if (row < 0 || row >= m_actions.size())
        return;
    m_actions.removeAt(row);
    RefillList(qMin(row, int(m_actions.size()) - 1));
}

void TButtonActionsDlg::MoveClicked(int by)
{
    const int row = PerformList->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_actions.size())
        return;
    m_actions.swapItemsAt(row, to);
    RefillList(to);
}
