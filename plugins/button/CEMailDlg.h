#pragma once
// The fill-time " Email" dialog: the user reviews and changes the message of a
// button's e-mail action, then sends it; a failed send leaves it open.

#include "CBaseForm.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TButtonAction;
class TEMailer;

class TEMailDlg : public TBaseForm
{
    Q_OBJECT
public:
    TEMailDlg(QWidget *parent, const TButtonAction &action);

    // The mailer the fields describe now.
    TEMailer Mailer() const;
    void UpdateControls();
    void AddAttachment();
    void DeleteAttachment();
    void SendClicked();

    QLineEdit *ToEdit, *FromEdit, *CCEdit, *BCCEdit, *HostEdit, *SubjectEdit, *UserIDEdit,
        *PasswordEdit;
    QComboBox *AttachCombo;
    QPushButton *AddAttachButton, *DeleteAttachButton, *SendButton;
    QCheckBox *AttachDocumentCheck;
    QPlainTextEdit *BodyEdit;

private:
    QPushButton *ListButton(QLineEdit *edit, const QString &caption);
    bool m_hideSettings;
};
