#pragma once
// The web export window: the settings of the HTML form and of its submit
// script on two tabs, taken from the project and stored back into it by a
// successful export. "Continue" checks the settings, asks for the folder and
// about files it would overwrite, then writes the files.

#include "CBaseForm.h"
#include "CWebFormExport.h"

#include <functional>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class TDesignerINIInfo;
class TProjectInfo;

class TWebFormExportForm : public TBaseINIForm
{
    Q_OBJECT
public:
    // The settings keep the folder of the last export.
    TWebFormExportForm(TProjectInfo &info, const QString &documentPath, TDesignerINIInfo &settings,
                       QWidget *owner = nullptr);
    ~TWebFormExportForm() override;

    // The settings as the window shows them.
    TWebExportSettings Settings() const;
    // Checks, asks and writes; true when the files were written (the window then closes).
    bool Continue();

    // Stores the exported settings into the project; by default straight into it,
    // marking the project changed.
    std::function<void(const TWebExportSettings &)> OnStore;

    QTabWidget *Tabs() const { return m_tabs; }
    // The help shown for the focused field.
    QLabel *HelpLabel() const { return m_help; }

private:
    QWidget *BuildFormTab();
    QWidget *BuildEmailTab();
    void Show(const TWebExportSettings &settings);
    void SubmitActionChanged();
    void UpdateEnabling();
    void FocusChanged(QWidget *now);
    // Opens the field picker on a text field.
    void PickFields(QWidget *field);
    QWidget *FieldOf(TWebExportField field) const;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // An edit with its "..." button; the button and a double-click open the field picker.
    QWidget *WithPicker(QWidget *edit, const QString &fieldName);
    QLineEdit *Edit(const char *name, const QString &help);

    TProjectInfo &m_info;
    TDesignerINIInfo &m_settings;
    TWebExportSettings m_loaded;
    QTabWidget *m_tabs;
    QLabel *m_help;
    QLineEdit *m_fileName;
    QLineEdit *m_title;
    QLineEdit *m_formName;
    QLineEdit *m_action;
    QRadioButton *m_get;
    QRadioButton *m_post;
    QComboBox *m_target;
    QComboBox *m_encoding;
    QComboBox *m_submit;
    QComboBox *m_reset;
    QRadioButton *m_none;
    QRadioButton *m_asp;
    QRadioButton *m_php;
    QLineEdit *m_scriptTitle;
    QRadioButton *m_showText;
    QRadioButton *m_showPage;
    QLineEdit *m_displayText;
    QPushButton *m_displayTextButton;
    QComboBox *m_displayPage;
    QLineEdit *m_from[2];
    QLineEdit *m_to[2];
    QLineEdit *m_cc[2];
    QLineEdit *m_bcc[2];
    QLineEdit *m_subject[2];
    QPlainTextEdit *m_body[2];
    QCheckBox *m_customSMTP;
    QLineEdit *m_smtpServer;
    QSpinBox *m_smtpPort;
    QSpinBox *m_smtpSendUsing;
    QPushButton *m_continue;
    // The submit action shown last, so that a switch knows where it came from.
    TWebExportSubmitAction m_shownAction = TWebExportSubmitAction::None;
};
