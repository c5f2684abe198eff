#pragma once
// The designer's " Actions" dialog: the actions a button runs, in order, each
// with the parameters of its kind.

#include "CBaseForm.h"
#include "CButtonActions.h"

#include <QList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;

class TButtonActionsDlg : public TBaseForm
{
    Q_OBJECT
public:
    TButtonActionsDlg(QWidget *parent, const QString &actionsText);

    // The list as the property stores it.
    QString ActionsText() const;
    const QList<TButtonAction> &Actions() const { return m_actions; }

    // The kind chosen in the action combo.
    int ChosenKind() const;
    void ChooseKind(int kind);
    // The chosen kind with the parameters shown.
    TButtonAction ShownAction() const;
    void ShowAction(const TButtonAction &action);

    void AddClicked();
    void ModifyClicked();
    void DeleteClicked();
    void MoveClicked(int by);

    QComboBox *ActionCombo;
    QListWidget *PerformList;
    QPushButton *AddButton, *UpButton, *DownButton, *DeleteButton, *ModifyButton;
    // Parameters, by the page that shows them.
    QLineEdit *OpenPath, *SaveAsPath, *HyperlinkURL, *PostURL, *ExecuteProgram, *ExecuteParameters;
    QCheckBox *OpenUseDialog, *SaveAsUseDialog, *SaveAsOverwrite, *PrintUseDialog, *PrintCollate,
        *GotoUseDialog, *HyperlinkUseDialog, *PostRespondWithDialog, *PostStripHTML;
    QSpinBox *PrintCopies, *PrintFrom, *PrintTo, *GotoPage;
    QRadioButton *PrintAll, *PrintSelected, *PrintPages;
    QListWidget *PostAvailable, *PostFields;
    QComboBox *PostResponseField;
    QLineEdit *EmailTo, *EmailCC, *EmailBCC, *EmailFrom, *EmailHost, *EmailUserID, *EmailPassword,
        *EmailSubject;
    QComboBox *EmailAttachments;
    QPlainTextEdit *EmailBody;
    QCheckBox *EmailAttachDocument, *EmailHideSettings, *EmailUseDialog;

private:
    QWidget *NoParamsPage();
    QWidget *OpenPage();
    QWidget *SaveAsPage();
    QWidget *PrintPage();
    QWidget *GotoPage_();
    QWidget *HyperlinkPage();
    QWidget *PostPage();
    QWidget *EmailPage();
    QWidget *ExecutePage();
    void ReadPost(TButtonAction &action) const;
    void ShowPost(const TButtonAction &action);
    void ReadEmail(TButtonAction &action) const;
    void ShowEmail(const TButtonAction &action);
    void RefillList(int current);
    void UpdateButtons();

    QStackedWidget *m_pages;
    QList<int> m_pageOfKind;
    QList<TButtonAction> m_actions;
    int m_pageCount;
};
