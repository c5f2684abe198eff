#include "CEMailDlg.h"

#include "CButtonActions.h"
#include "CEMailer.h"
#include "CGlobal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEMailDlg::TEMailDlg(QWidget *parent, const TButtonAction &action)
    : TBaseForm(parent), m_hideSettings(action.Bool(ButtonParam::EmailHideSettings))
{
    using namespace ButtonParam;
    setObjectName(QStringLiteral("EMailForm"));
    setWindowTitle(QStringLiteral(" Email"));
    const auto edit = [this](const QString &text) {
        auto *line = new QLineEdit(text, this);
        // Leaving a field trims it.
        connect(line, &QLineEdit::editingFinished, this,
                [line] { line->setText(line->text().trimmed()); });
        connect(line, &QLineEdit::textChanged, this, &TEMailDlg::UpdateControls);
        return line;
    };
    ToEdit = edit(action.Str(EmailTo));
    FromEdit = edit(action.Str(EmailFrom));
    CCEdit = edit(action.Str(EmailCC));
    BCCEdit = edit(action.Str(EmailBCC));
    HostEdit = edit(action.Str(EmailHost));
    SubjectEdit = edit(action.Str(EmailSubject));
    UserIDEdit = edit(action.Str(EmailUserID));
    PasswordEdit = edit(action.Str(EmailPassword));
    PasswordEdit->setEchoMode(QLineEdit::Password);
    AttachCombo = new QComboBox(this);
    AttachCombo->setEditable(true);
    QStringList files = action.Str(EmailAttachments).split(u';');
    files.removeAll(QString());
    AttachCombo->addItems(files);
    AttachCombo->setEditText(action.Str(EmailCurrentAttachment));
    AddAttachButton = new QPushButton(QStringLiteral("+"), this);
    DeleteAttachButton = new QPushButton(QStringLiteral("-"), this);
    AttachDocumentCheck = new QCheckBox(QStringLiteral("Attach current Velora document"), this);
    AttachDocumentCheck->setChecked(action.Bool(EmailAttachDocument));
    BodyEdit = new QPlainTextEdit(action.Str(EmailBody), this);
    SendButton = new QPushButton(QStringLiteral("Send"), this);
    connect(AddAttachButton, &QPushButton::clicked, this, &TEMailDlg::AddAttachment);
    connect(DeleteAttachButton, &QPushButton::clicked, this, &TEMailDlg::DeleteAttachment);
    connect(SendButton, &QPushButton::clicked, this, &TEMailDlg::SendClicked);

    auto *settings = new QGroupBox(QStringLiteral(" Settings "), this);
    auto *grid = new QGridLayout(settings);
    int row = 0;
    const auto add = [&](const QString &caption, QWidget *field, QWidget *button = nullptr) {
        auto *label = new QLabel(caption, settings);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (button)
            grid->addWidget(button, row, 2);
        if (m_hideSettings && (field == HostEdit || field == UserIDEdit || field == PasswordEdit))
            label->hide(), field->hide();
        ++row;
    };
    add(QStringLiteral("To"), ToEdit, ListButton(ToEdit, QStringLiteral("Recipients")));
    add(QStringLiteral("From"), FromEdit);
    add(QStringLiteral("CC"), CCEdit, ListButton(CCEdit, QStringLiteral("CC - Carbon Copy")));
    add(QStringLiteral("BCC"), BCCEdit,
        ListButton(BCCEdit, QStringLiteral("BCC - Blind Carbon Copy")));
    add(QStringLiteral("Host"), HostEdit);
    add(QStringLiteral("Subject"), SubjectEdit);
    add(QStringLiteral("User ID"), UserIDEdit);
    add(QStringLiteral("Password"), PasswordEdit);
    auto *attachRow = new QHBoxLayout;
    attachRow->addWidget(AttachCombo, 1);
    attachRow->addWidget(AddAttachButton);
    attachRow->addWidget(DeleteAttachButton);
    grid->addWidget(new QLabel(QStringLiteral("Attach :"), settings), row, 0);
    grid->addLayout(attachRow, row++, 1);
    grid->addWidget(AttachDocumentCheck, row++, 1);
    auto *bodyButton = new QPushButton(QStringLiteral("..."), settings);
    connect(bodyButton, &QPushButton::clicked, this, [this] {
        QString text;
        if (GlobalGetTextDlg(BodyEdit->toPlainText(), QStringLiteral("Body Text"), false, text, 0))
            BodyEdit->setPlainText(text);
    });
    grid->addWidget(new QLabel(QStringLiteral("Body :"), settings), row, 0);
    grid->addWidget(BodyEdit, row, 1);
    grid->addWidget(bodyButton, row++, 2);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(SendButton, QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(settings);
    layout->addWidget(buttons);
    UpdateControls();
}

QPushButton *TEMailDlg::ListButton(QLineEdit *edit, const QString &caption)
{
    auto *button = new QPushButton(QStringLiteral("..."), this);
    connect(button, &QPushButton::clicked, this, [edit, caption] {
        // One address per line in the editor, joined with ";" again.
        QString text;
        if (GlobalGetTextDlg(Global_StrToList(edit->text(), u';'), caption, false, text, 0))
            edit->setText(Global_ListToStr(text, QString(), u';'));
    });
    return button;
}

void TEMailDlg::UpdateControls()
{
    const bool smtp = !HostEdit->text().trimmed().isEmpty()
        && !UserIDEdit->text().trimmed().isEmpty() && !PasswordEdit->text().isEmpty();
    for (QWidget *control :
         {static_cast<QWidget *>(AttachCombo), static_cast<QWidget *>(AddAttachButton),
          static_cast<QWidget *>(DeleteAttachButton),
          static_cast<QWidget *>(AttachDocumentCheck)}) {
        control->setEnabled(smtp);
        control->setVisible(smtp || !m_hideSettings);
    }
    SendButton->setEnabled(!FromEdit->text().trimmed().isEmpty()
                           && (!ToEdit->text().trimmed().isEmpty()
                               || !CCEdit->text().trimmed().isEmpty()
                               || !BCCEdit->text().trimmed().isEmpty()));
}

void TEMailDlg::AddAttachment()
{
    const auto add = [this](const QString &file) {
        if (!file.isEmpty() && AttachCombo->findText(file) < 0)
            AttachCombo->addItem(file);
    };
    add(AttachCombo->currentText().trimmed());
    TFileRequest request;
    request.Caption = QStringLiteral("Attach");
    request.Filter = QStringLiteral("All Files|*.*");
    const QString chosen = DialogService().OpenFileName(request);
    if (chosen.isEmpty())
        return;
    add(chosen);
    AttachCombo->setEditText(chosen);
}

void TEMailDlg::DeleteAttachment()
{
    const int index = AttachCombo->findText(AttachCombo->currentText());
    if (index < 0) {
        AttachCombo->setEditText(QString());
        return;
    }
    AttachCombo->removeItem(index);
    AttachCombo->setCurrentIndex(qMin(index, AttachCombo->count() - 1));
}

TEMailer TEMailDlg::Mailer() const
{
    TEMailer mailer;
    QStringList files;
    for (int i = 0; i < AttachCombo->count(); ++i)
        files.append(AttachCombo->itemText(i));
    if (!AttachCombo->currentText().trimmed().isEmpty()
        && !files.contains(AttachCombo->currentText().trimmed()))
        files.append(AttachCombo->currentText().trimmed());
    const bool smtp = AttachCombo->isEnabled();
    mailer.Attachments = smtp ? files.join(u';') : QString();
    mailer.AttachDocument = smtp && AttachDocumentCheck->isChecked();
    mailer.To = ToEdit->text().trimmed();
    mailer.CC = CCEdit->text().trimmed();
    mailer.BCC = BCCEdit->text().trimmed();
    mailer.From = FromEdit->text().trimmed();
    mailer.Subject = SubjectEdit->text();
    mailer.Body = BodyEdit->toPlainText();
    mailer.Host = HostEdit->text().trimmed();
    mailer.UserID = UserIDEdit->text().trimmed();
    mailer.Password = PasswordEdit->text();
    return mailer;
}

void TEMailDlg::SendClicked()
{
    SendButton->setEnabled(false);
    TEMailer mailer = Mailer();
    if (mailer.Send())
        accept();
    else
        UpdateControls();
}
