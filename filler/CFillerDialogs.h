#pragma once
// The filler window's small modal dialogs: why a document could not be read,
// why a form did not validate, and what this program is.

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QScrollArea;

// Where users get a current installation.
extern const char *const CVELORA_DOWNLOAD_URL;

class TFillerLoadErrDlg : public QDialog
{
    Q_OBJECT
public:
    // properties: the document holds unknown properties; otherwise element kinds
    // (named in missing) are not installed.
    TFillerLoadErrDlg(QWidget *parent, bool properties, bool filler, const QStringList &missing);

    int HelpContext() const { return m_helpContext; }
    QListWidget *MissingList() const { return m_list; }

private:
    int m_helpContext = 0;
    QListWidget *m_list = nullptr;
};

// Shows the dialog through the dialog service.
void ShowLoadErrorDialog(bool properties, const QStringList &missing);

class TValidationFailureDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int LineHeight = 13;
    static constexpr int MaxLines = 16;

    // In continue mode the user may publish anyway: the answer is Yes or No.
    TValidationFailureDlg(QWidget *parent, bool continueMode, const QString &messages);

    QScrollArea *MessageBox() const { return m_scroll; }

private:
    QScrollArea *m_scroll;
};

class TAboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutDialog(QWidget *parent);
};
