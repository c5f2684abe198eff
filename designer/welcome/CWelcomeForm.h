#pragma once
// The designer's start page: new documents of each kind, the recent documents,
// help and support. It asks the window it belongs to for all of them only by
// posting it the welcome request, and frees itself the same way when closed.

#include <QDialog>

class QAction;
class QCheckBox;
class QListWidget;
class QListWidgetItem;
class TDesignerINIInfo;

class TWelcomeForm : public QDialog
{
    Q_OBJECT
public:
    // The request codes, in the request's first parameter.
    enum TWelcomeCode {
        wcShow = 10,
        wcClosed = 20,
        wcNewPaper = 30,
        wcNewWeb640 = 40,
        wcNewWeb800 = 50,
        wcNewWeb1024 = 60,
        wcHelp = 70,
        wcSupportTicket = 80,
        wcFeedback = 90,
        wcUpdate = 100,
        wcOpenRecent = 130,
        wcOpenOther = 140
    };

    // Requests go to target; the check box keeps "Welcome" in settings and useWelcome's
    // check the opposite of its own.
    TWelcomeForm(QWidget *target, TDesignerINIInfo &settings, QAction *useWelcome);

    // The check box following the setting, changed elsewhere.
    void SetDoNotShow(bool doNotShow);

    void done(int result) override;

private:
    QWidget *CreateBanner();
    QListWidget *CreateList(const char *name);
    void AddEntry(QListWidget *list, const QIcon &icon, const QString &caption, int code,
                  int index = 0);
    void Request(const QListWidgetItem *item);

    QWidget *m_target;
    TDesignerINIInfo &m_settings;
    QAction *m_useWelcome;
    QCheckBox *m_doNotShow = nullptr;
};
