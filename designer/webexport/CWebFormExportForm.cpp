#include "CWebFormExportForm.h"

#include "CBasePgCtrl.h"
#include "CDesignerINIInfo.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "COnlineHelp.h"
#include "CPageControl.h"
#include "CProjectInfo.h"
#include "CProjectProps.h"
#include "CWebFormExportFormGetTxtForm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int kFormHelp = dhctx_DialogHTMLExportForm;
constexpr int kEmailHelp = dhctx_DialogHTMLExportSubmitEmail;
const char *const kHelpText = "HelpText";
const char *const kFieldName = "FieldName";

QString Message(const char *text)
{
    return QString::fromLatin1(text);
}

void SetHelp(QWidget *widget, const char *help)
{
    widget->setProperty(kHelpText, QString::fromLatin1(help));
}

void Select(QComboBox *combo, const QVariant &data)
{
    const int index = combo->findData(data);
    combo->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace

TWebFormExportForm::TWebFormExportForm(TProjectInfo &info, const QString &documentPath,
                                       TDesignerINIInfo &settings, QWidget *owner)
    : TBaseINIForm(owner), m_info(info), m_settings(settings),
      m_loaded(TWebExportSettings::FromProject(info, documentPath))
{
    setObjectName(QStringLiteral("WebFormExportForm"));
    setWindowTitle(QStringLiteral(" Export to HTML"));
    OnStore = [this](const TWebExportSettings &settings) {
        settings.ToProject(m_info);
        GlobalMadeChange();
    };

    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("ExportTabs"));
    m_tabs->addTab(BuildFormTab(), QStringLiteral("Form"));
    m_tabs->addTab(BuildEmailTab(), QStringLiteral("Submit Email(s)"));
    m_tabs->widget(0)->setProperty("HelpContext", kFormHelp);
    m_tabs->widget(1)->setProperty("HelpContext", kEmailHelp);
    setProperty("HelpContext", kFormHelp);
    connect(m_tabs, &QTabWidget::currentChanged, this,
            [this](int index) { setProperty("HelpContext", index == 1 ? kEmailHelp : kFormHelp); });
    layout->addWidget(m_tabs);

    m_help = new QLabel(this);
    m_help->setObjectName(QStringLiteral("HelpLabel"));
    m_help->setWordWrap(true);
    m_help->setFrameShape(QFrame::StyledPanel);
    m_help->setMinimumHeight(m_help->fontMetrics().lineSpacing() * 3);
    m_help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_help);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_continue = new QPushButton(QStringLiteral("Continue"), this);
    m_continue->setObjectName(QStringLiteral("ContinueButton"));
    m_continue->setDefault(true);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);
    buttons->addWidget(m_continue);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_continue, &QPushButton::clicked, this, [this] { Continue(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { FocusChanged(now); });

    Show(m_loaded);
}

TWebFormExportForm::~TWebFormExportForm()
{
    // Hiding the window in the base destructor moves the focus, and this part is gone by then.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

QLineEdit *TWebFormExportForm::Edit(const char *name, const QString &help)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setProperty(kHelpText, help);
    return edit;
}

QWidget *TWebFormExportForm::WithPicker(QWidget *edit, const QString &fieldName)
{
    edit->setProperty(kFieldName, fieldName);
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    auto *button = new QPushButton(QStringLiteral("..."), row);
    button->setObjectName(edit->objectName() + QStringLiteral("Button"));
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    button->setToolTip(QStringLiteral("Insert form elements"));
    layout->addWidget(button, 0, Qt::AlignTop);
    connect(button, &QPushButton::clicked, this, [this, edit] { PickFields(edit); });
    // A memo takes its double-clicks in its viewport.
    if (auto *memo = qobject_cast<QPlainTextEdit *>(edit))
        memo->viewport()->installEventFilter(this);
    else
        edit->installEventFilter(this);
    if (edit == m_displayText)
        m_displayTextButton = button;
    return row;
}

QWidget *TWebFormExportForm::BuildFormTab()
{
    auto *tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("FormTab"));
    auto *layout = new QVBoxLayout(tab);

    auto *form = new QFormLayout;
    m_fileName = Edit("FileNameEdit",
                      QStringLiteral("The name of the HTML file the form is exported to, without "
                                     "its folder. The folder is asked for on Continue."));
    m_title = Edit("TitleEdit",
                   QStringLiteral("The title of the web page, shown by the browser "
                                  "in its title bar or tab."));
    m_formName
        = Edit("FormNameEdit",
               QStringLiteral("The name of the HTML form. It begins with a letter followed "
                              "by letters, digits, hyphens, underscores, colons or periods."));
    m_action = Edit("ActionEdit",
                    QStringLiteral("Where the browser sends the submitted form. With a submit "
                                   "script it is also the file name of the script written."));
    form->addRow(QStringLiteral("File Name :"), m_fileName);
    form->addRow(QStringLiteral("Title :"), m_title);
    form->addRow(QStringLiteral("Form Name :"), m_formName);
    form->addRow(QStringLiteral("Action :"), m_action);

    auto *method = new QWidget(tab);
    auto *methodLayout = new QHBoxLayout(method);
    methodLayout->setContentsMargins(0, 0, 0, 0);
    m_get = new QRadioButton(QStringLiteral("Get"), method);
    m_get->setObjectName(QStringLiteral("GetRadio"));
    m_post = new QRadioButton(QStringLiteral("Post"), method);
    m_post->setObjectName(QStringLiteral("PostRadio"));
    for (QRadioButton *radio : {m_get, m_post}) {
        SetHelp(radio,
                "How the browser sends the form: Post in the body of the request, Get in "
                "the address.");
        methodLayout->addWidget(radio);
    }
    methodLayout->addStretch();
    form->addRow(QStringLiteral("Method :"), method);

    m_target = new QComboBox(tab);
    m_target->setObjectName(QStringLiteral("TargetCombo"));
    m_target->setEditable(true);
    m_target->addItems({QString(), QStringLiteral("_blank"), QStringLiteral("_self"),
                        QStringLiteral("_parent"), QStringLiteral("_top")});
    SetHelp(m_target,
            "The window or frame the answer to the submitted form is shown in; empty "
            "for the form's own.");
    form->addRow(QStringLiteral("Target :"), m_target);
    m_encoding = new QComboBox(tab);
    m_encoding->setObjectName(QStringLiteral("EncryptionCombo"));
    m_encoding->addItems({QString(), QStringLiteral("application/x-www-form-urlencoded"),
                          QStringLiteral("multipart/form-data"), QStringLiteral("text/plain")});
    SetHelp(m_encoding, "How the browser encodes the submitted values; empty for its default.");
    form->addRow(QStringLiteral("Encryption :"), m_encoding);

    m_submit = new QComboBox(tab);
    m_submit->setObjectName(QStringLiteral("SubmitCombo"));
    SetHelp(m_submit, "The form element that submits the form when clicked.");
    m_reset = new QComboBox(tab);
    m_reset->setObjectName(QStringLiteral("ResetCombo"));
    SetHelp(m_reset,
            "The form element that clears the form when clicked; none for no reset "
            "button.");
    const QString none = QStringLiteral("(None)");
    m_submit->addItem(none, QString());
    m_reset->addItem(none, QString());
    for (const TWebExportElement &element : WebExportElements()) {
        const QString name = element.Element->Name();
        m_submit->addItem(name, name);
        m_reset->addItem(name, name);
    }
    form->addRow(QStringLiteral("Submit Button :"), m_submit);
    form->addRow(QStringLiteral("Reset Button :"), m_reset);
    layout->addLayout(form);

    auto *submit = new QGroupBox(QStringLiteral(" Submit Action "), tab);
    auto *submitLayout = new QGridLayout(submit);
    m_none = new QRadioButton(QStringLiteral("None"), submit);
    m_none->setObjectName(QStringLiteral("NoneRadio"));
    m_asp = new QRadioButton(QStringLiteral("ASP Email"), submit);
    m_asp->setObjectName(QStringLiteral("AspRadio"));
    m_php = new QRadioButton(QStringLiteral("PHP Email"), submit);
    m_php->setObjectName(QStringLiteral("PhpRadio"));
    auto *actions = new QButtonGroup(submit);
    int column = 0;
    for (QRadioButton *radio : {m_none, m_asp, m_php}) {
        SetHelp(radio,
                "What the server does with the submitted form: nothing of ours, or an "
                "ASP or PHP script that e-mails the values and shows a page.");
        actions->addButton(radio);
        submitLayout->addWidget(radio, 0, column++);
    }
    connect(actions, &QButtonGroup::buttonToggled, this, [this](QAbstractButton *, bool on) {
        if (on)
            SubmitActionChanged();
    });
    m_scriptTitle
        = Edit("ScriptTitleEdit", QStringLiteral("The title of the page the submit script shows."));
    auto *scriptForm = new QFormLayout;
    scriptForm->addRow(QStringLiteral("Title :"), m_scriptTitle);
    submitLayout->addLayout(scriptForm, 1, 0, 1, 3);

    m_showText = new QRadioButton(QStringLiteral("Display Text"), submit);
    m_showText->setObjectName(QStringLiteral("DisplayTextRadio"));
    m_showPage = new QRadioButton(QStringLiteral("Display Project Page"), submit);
    m_showPage->setObjectName(QStringLiteral("DisplayPageRadio"));
    auto *after = new QButtonGroup(submit);
    for (QRadioButton *radio : {m_showText, m_showPage}) {
        SetHelp(radio,
                "What the submit script shows once the e-mails are sent: a text, or a "
                "page of this document (which is then left out of the form).");
        after->addButton(radio);
    }
    connect(after, &QButtonGroup::buttonToggled, this, [this] { UpdateEnabling(); });
    m_displayText = Edit("DisplayTextEdit",
                         QStringLiteral("The text the submit script shows. #! before an element's "
                                        "name stands for the value submitted for it."));
    m_displayTextButton = nullptr;
    QWidget *textRow = WithPicker(m_displayText, QStringLiteral("After Submit Text"));
    m_displayPage = new QComboBox(submit);
    m_displayPage->setObjectName(QStringLiteral("DisplayPageCombo"));
    SetHelp(m_displayPage, "The published page the submit script shows.");
    m_displayPage->addItem(QStringLiteral("(None)"), -1);
    if (GlobalProjectProps && GlobalPagesPageControl)
        for (TProjectPropsPageProps *page : GlobalProjectProps->PageProps()) {
            const int index = page->PageIndex();
            if (!page->PagePublishPage() || index < 0)
                continue;
            const TTabSheet *sheet = GlobalPagesPageControl->Pages(index);
            const QString caption = sheet && !sheet->Caption().isEmpty()
                ? sheet->Caption()
                : QStringLiteral("Page %1").arg(index + 1);
            m_displayPage->addItem(caption, index);
        }
    auto *afterForm = new QFormLayout;
    afterForm->addRow(m_showText, new QWidget(submit));
    afterForm->addRow(QStringLiteral("Display Text :"), textRow);
    afterForm->addRow(m_showPage, m_displayPage);
    submitLayout->addLayout(afterForm, 2, 0, 1, 3);
    layout->addWidget(submit);
    layout->addStretch();
    return tab;
}

QWidget *TWebFormExportForm::BuildEmailTab()
{
    auto *tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("EmailTab"));
    auto *layout = new QVBoxLayout(tab);
    auto *fields = new QGroupBox(QStringLiteral(" To specify a form element within a field, prefix "
                                                "its name with #! (i.e. #!FormName) "),
                                 tab);
    auto *columns = new QHBoxLayout(fields);
    for (int i = 0; i < 2; ++i) {
        const QString n = QString::number(i + 1);
        auto *mail = new QGroupBox(QStringLiteral(" Email %1 ").arg(n), fields);
        auto *form = new QFormLayout(mail);
        const auto field = [&](const char *name, const char *caption, const char *help) {
            QLineEdit *edit = Edit(name, QString::fromLatin1(help));
            edit->setObjectName(edit->objectName() + n);
            form->addRow(
                QString::fromLatin1(caption) + QStringLiteral(" :"),
                WithPicker(edit,
                           QStringLiteral("%1 (Email %2)").arg(QString::fromLatin1(caption), n)));
            return edit;
        };
        m_from[i] = field("FromEdit", "From",
                          "The sender's address. The e-mail is sent only "
                          "with a sender and a recipient.");
        m_to[i] = field("ToEdit", "To", "The recipients' addresses, separated by commas.");
        m_cc[i] = field("CCEdit", "CC", "Addresses that receive a copy.");
        m_bcc[i] = field("BCCEdit", "BCC", "Addresses that receive a copy unseen by the others.");
        m_subject[i] = field("SubjectEdit", "Subject", "The subject of the e-mail.");
        m_body[i] = new QPlainTextEdit(mail);
        m_body[i]->setObjectName(QStringLiteral("BodyMemo") + n);
        m_body[i]->setTabChangesFocus(true);
        m_body[i]->setProperty(kHelpText, QStringLiteral("The text of the e-mail."));
        form->addRow(QStringLiteral("Body :"),
                     WithPicker(m_body[i], QStringLiteral("Body (Email %1)").arg(n)));
        columns->addWidget(mail);
    }
    layout->addWidget(fields);

    auto *smtp = new QGroupBox(tab);
    auto *smtpForm = new QFormLayout(smtp);
    m_customSMTP = new QCheckBox(
        QStringLiteral("Use custom SMTP settings for sending submit email(s)"), smtp);
    m_customSMTP->setObjectName(QStringLiteral("CustomSMTPCheck"));
    SetHelp(m_customSMTP,
            "Send the ASP script's e-mails through this mail server rather than "
            "the web server's own settings.");
    connect(m_customSMTP, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
    smtpForm->addRow(m_customSMTP);
    m_smtpServer = Edit("SMTPServerEdit", QStringLiteral("The mail server's name or IP address."));
    smtpForm->addRow(QStringLiteral("Name or IP address :"), m_smtpServer);
    m_smtpPort = new QSpinBox(smtp);
    m_smtpPort->setObjectName(QStringLiteral("SMTPPortSpin"));
    m_smtpPort->setRange(1, 65535);
    SetHelp(m_smtpPort, "The mail server's port, usually 25.");
    smtpForm->addRow(QStringLiteral("Port :"), m_smtpPort);
    m_smtpSendUsing = new QSpinBox(smtp);
    m_smtpSendUsing->setObjectName(QStringLiteral("SMTPSendUsingSpin"));
    m_smtpSendUsing->setRange(1, 2);
    SetHelp(m_smtpSendUsing,
            "1 drops the e-mail into the web server's pickup folder, 2 sends "
            "it to the mail server over the network.");
    smtpForm->addRow(QStringLiteral("Send Using :"), m_smtpSendUsing);
    layout->addWidget(smtp);
    layout->addStretch();
    return tab;
}

void TWebFormExportForm::Show(const TWebExportSettings &s)
{
    m_fileName->setText(s.FileName);
    m_title->setText(s.Title);
    m_formName->setText(s.FormName);
    m_action->setText(s.Action);
    (s.Method.compare(QStringLiteral("Get"), Qt::CaseInsensitive) == 0 ? m_get : m_post)
        ->setChecked(true);
    m_target->setCurrentText(s.Target);
    m_encoding->setCurrentIndex(qMax(0, m_encoding->findText(s.Encoding)));
    Select(m_submit, s.Submit);
    Select(m_reset, s.Reset);
    m_scriptTitle->setText(s.SubmitActionTitle);
    (s.AfterSubmit == TWebExportAfterSubmit::DisplayPage ? m_showPage : m_showText)
        ->setChecked(true);
    m_displayText->setText(s.DisplayText);
    Select(m_displayPage, s.DisplayPage);
    for (int i = 0; i < 2; ++i) {
        m_from[i]->setText(s.Email[i].From);
        m_to[i]->setText(s.Email[i].To);
        m_cc[i]->setText(s.Email[i].CC);
        m_bcc[i]->setText(s.Email[i].BCC);
        m_subject[i]->setText(s.Email[i].Subject);
        m_body[i]->setPlainText(s.Email[i].Body);
    }
    m_customSMTP->setChecked(s.CustomSMTP == cbChecked);
    m_smtpServer->setText(s.SMTPServer);
    m_smtpPort->setValue(s.SMTPPort);
    m_smtpSendUsing->setValue(s.SMTPSendUsing);
    // Set last: the switch from None changes nothing in the Action.
    m_shownAction = s.SubmitAction;
    (s.SubmitAction == TWebExportSubmitAction::AspEmail       ? m_asp
         : s.SubmitAction == TWebExportSubmitAction::PhpEmail ? m_php
                                                              : m_none)
        ->setChecked(true);
    UpdateEnabling();
}

TWebExportSettings TWebFormExportForm::Settings() const
{
    // Starts from what was loaded, which keeps what the window does not show.
    TWebExportSettings s = m_loaded;
    s.FileName = m_fileName->text();
    s.Title = m_title->text();
    s.FormName = m_formName->text();
    s.Action = m_action->text();
    s.Method = m_get->isChecked() ? QStringLiteral("Get") : QStringLiteral("Post");
    s.Target = m_target->currentText();
    s.Encoding = m_encoding->currentText();
    s.Submit = m_submit->currentData().toString();
    s.Reset = m_reset->currentData().toString();
    s.SubmitAction = m_asp->isChecked() ? TWebExportSubmitAction::AspEmail
        : m_php->isChecked()            ? TWebExportSubmitAction::PhpEmail
                                        : TWebExportSubmitAction::None;
    s.SubmitActionTitle = m_scriptTitle->text();
    s.AfterSubmit = m_showPage->isChecked() ? TWebExportAfterSubmit::DisplayPage
                                            : TWebExportAfterSubmit::DisplayText;
    s.DisplayText = m_displayText->text();
    s.DisplayPage = m_displayPage->currentData().toInt();
    for (int i = 0; i < 2; ++i)
        s.Email[i] = {m_from[i]->text(), m_to[i]->text(),      m_cc[i]->text(),
                      m_bcc[i]->text(),  m_subject[i]->text(), m_body[i]->toPlainText()};
    // Kept as the box shows it, also while PHP greys it.
    s.CustomSMTP = m_customSMTP->isChecked() ? cbChecked : cbUnchecked;
    s.SMTPServer = m_smtpServer->text();
    s.SMTPPort = m_smtpPort->value();
    s.SMTPSendUsing = m_smtpSendUsing->value();
    return s;
}

void TWebFormExportForm::SubmitActionChanged()
{
    const TWebExportSubmitAction now = m_asp->isChecked() ? TWebExportSubmitAction::AspEmail
        : m_php->isChecked()                              ? TWebExportSubmitAction::PhpEmail
                                                          : TWebExportSubmitAction::None;
    const TWebExportSubmitAction before = m_shownAction;
    m_shownAction = now;
    // The script's language is also the Action's extension.
    const auto swap = [this](const QString &from, const QString &to) {
        const QString action = m_action->text();
        if (action.endsWith(from, Qt::CaseInsensitive))
            m_action->setText(action.left(action.size() - from.size()) + to);
    };
    if (before == TWebExportSubmitAction::AspEmail && now == TWebExportSubmitAction::PhpEmail)
        swap(QStringLiteral(".asp"), QStringLiteral(".php"));
    else if (before == TWebExportSubmitAction::PhpEmail && now == TWebExportSubmitAction::AspEmail)
        swap(QStringLiteral(".php"), QStringLiteral(".asp"));
    UpdateEnabling();
}

void TWebFormExportForm::UpdateEnabling()
{
    const bool script = !m_none->isChecked();
    const bool asp = m_asp->isChecked();
    m_scriptTitle->setEnabled(script);
    m_showText->setEnabled(script);
    m_showPage->setEnabled(script);
    const bool text = script && m_showText->isChecked();
    m_displayText->setEnabled(text);
    if (m_displayTextButton)
        m_displayTextButton->setEnabled(text);
    m_displayPage->setEnabled(script && m_showPage->isChecked());
    m_tabs->setTabEnabled(1, script);
    m_customSMTP->setEnabled(asp);
    const bool smtp = asp && m_customSMTP->isChecked();
    m_smtpServer->setEnabled(smtp);
    m_smtpPort->setEnabled(smtp);
    m_smtpSendUsing->setEnabled(smtp);
}

void TWebFormExportForm::FocusChanged(QWidget *now)
{
    // A field inside a row of its own (a spin box's line, a combo's edit) tells its help
    // through the widget that holds it.
    for (QWidget *w = now; w && w != this; w = w->parentWidget())
        if (const QVariant help = w->property(kHelpText); help.isValid()) {
            m_help->setText(help.toString());
            return;
        }
}

void TWebFormExportForm::PickFields(QWidget *field)
{
    if (!field->isEnabled())
        return;
    const QString name = field->property(kFieldName).toString();
    auto *line = qobject_cast<QLineEdit *>(field);
    auto *memo = qobject_cast<QPlainTextEdit *>(field);
    QString text = line ? line->text() : memo->toPlainText();
    if (!TWebFormExportFormGetTxtForm::Edit(name, text, this))
        return;
    if (line)
        line->setText(text);
    else
        memo->setPlainText(text);
    field->setFocus();
}

bool TWebFormExportForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        auto *field = qobject_cast<QWidget *>(watched);
        if (field && !field->property(kFieldName).isValid())
            field = field->parentWidget();
        if (field && field->property(kFieldName).isValid()) {
            PickFields(field);
            return true;
        }
    }
    return TBaseINIForm::eventFilter(watched, event);
}

QWidget *TWebFormExportForm::FieldOf(TWebExportField field) const
{
    switch (field) {
    case TWebExportField::FileName:
        return m_fileName;
    case TWebExportField::FormName:
        return m_formName;
    case TWebExportField::Action:
        return m_action;
    case TWebExportField::Submit:
        return m_submit;
    case TWebExportField::Reset:
        return m_reset;
    }
    return m_fileName;
}

bool TWebFormExportForm::Continue()
{
    const TWebExportSettings settings = Settings();
    const QString caption = GlobalAppTitle();
    if (const auto problem = CheckWebExport(settings)) {
        Global_MessageDlg(caption, problem->Message, mtWarning, mbOK, 0);
        QWidget *field = FieldOf(problem->Field);
        for (int i = 0; i < m_tabs->count(); ++i)
            if (m_tabs->widget(i)->isAncestorOf(field))
                m_tabs->setCurrentIndex(i);
        field->setFocus(Qt::OtherFocusReason);
        if (auto *line = qobject_cast<QLineEdit *>(field))
            line->selectAll();
        return false;
    }
    const QString folder = DialogService().FolderName(
        Message("Please choose the Export folder location."), m_settings.LastExportDir());
    if (folder.isEmpty())
        return false;
    m_settings.SetLastExportDir(folder);
    const TWebExportFiles files = WebExportFiles(settings, folder);
    for (const QString &path : WebExportExistingFiles(files))
        if (Global_MessageDlg(caption, WebExportOverwriteQuestion(path), mtConfirmation, mbYesNo, 0)
            != mrYes)
            return false;

    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString failure = [&] {
        const auto restore = qScopeGuard([this] {
            QApplication::restoreOverrideCursor();
            setEnabled(true);
        });
        return WriteWebExport(settings, files);
    }();
    if (!failure.isEmpty()) {
        Global_MessageDlg(caption, QStringLiteral("Export failed.\r") + failure, mtError, mbOK, 0);
        return false;
    }
    if (OnStore)
        OnStore(settings);
    Global_MessageDlg(caption, WebExportCompletedMessage(files), mtInformation, mbOK, 0);
    accept();
    return true;
}
