#pragma once
// Project settings that travel with the document: the last web-form export,
// its e-mail settings and the designer palette's last page. Every change
// marks the project changed; Clear restores the defaults without doing so.

#include "CComponent.h"
#include "CVeloraTypes.h"

#include <QObject>
#include <QString>

class TProjectInfo : public QObject, public TComponent
{
    Q_OBJECT
    Q_PROPERTY(QString LastExportFileName READ LastExportFileName WRITE SetLastExportFileName)
    Q_CLASSINFO("Default:LastExportFileName", "")
    Q_PROPERTY(QString LastExportFileTitle READ LastExportFileTitle WRITE SetLastExportFileTitle)
    Q_CLASSINFO("Default:LastExportFileTitle", "")
    Q_PROPERTY(QString LastExportFormName READ LastExportFormName WRITE SetLastExportFormName)
    Q_CLASSINFO("Default:LastExportFormName", "")
    Q_PROPERTY(QString LastExportMethod READ LastExportMethod WRITE SetLastExportMethod)
    Q_CLASSINFO("Default:LastExportMethod", "")
    Q_PROPERTY(QString LastExportAction READ LastExportAction WRITE SetLastExportAction)
    Q_CLASSINFO("Default:LastExportAction", "")
    Q_PROPERTY(QString LastExportTarget READ LastExportTarget WRITE SetLastExportTarget)
    Q_CLASSINFO("Default:LastExportTarget", "")
    Q_PROPERTY(QString LastExportEncryption READ LastExportEncryption WRITE SetLastExportEncryption)
    Q_CLASSINFO("Default:LastExportEncryption", "")
    Q_PROPERTY(QString LastExportSubmit READ LastExportSubmit WRITE SetLastExportSubmit)
    Q_CLASSINFO("Default:LastExportSubmit", "")
    Q_PROPERTY(QString LastExportReset READ LastExportReset WRITE SetLastExportReset)
    Q_CLASSINFO("Default:LastExportReset", "")
    Q_PROPERTY(
        int LastExportSubmitAction READ LastExportSubmitAction WRITE SetLastExportSubmitAction)
    Q_CLASSINFO("Default:LastExportSubmitAction", "0")
    Q_PROPERTY(QString LastExportSubmitActionTitle READ LastExportSubmitActionTitle WRITE
                   SetLastExportSubmitActionTitle)
    Q_CLASSINFO("Default:LastExportSubmitActionTitle", "")
    Q_PROPERTY(int LastExportAfterSubmitAction READ LastExportAfterSubmitAction WRITE
                   SetLastExportAfterSubmitAction)
    Q_CLASSINFO("Default:LastExportAfterSubmitAction", "0")
    Q_PROPERTY(
        QString LastExportAfterSubmitActionDisplayText READ LastExportAfterSubmitActionDisplayText
            WRITE SetLastExportAfterSubmitActionDisplayText)
    Q_CLASSINFO("Default:LastExportAfterSubmitActionDisplayText", "Thank you for your submission.")
    Q_PROPERTY(
        int LastExportAfterSubmitActionDisplayPage READ LastExportAfterSubmitActionDisplayPage WRITE
            SetLastExportAfterSubmitActionDisplayPage)
    Q_CLASSINFO("Default:LastExportAfterSubmitActionDisplayPage", "-1")
    Q_PROPERTY(QString LastExportFrom1 READ LastExportFrom1 WRITE SetLastExportFrom1)
    Q_CLASSINFO("Default:LastExportFrom1", "")
    Q_PROPERTY(QString LastExportTo1 READ LastExportTo1 WRITE SetLastExportTo1)
    Q_CLASSINFO("Default:LastExportTo1", "")
    Q_PROPERTY(QString LastExportCC1 READ LastExportCC1 WRITE SetLastExportCC1)
    Q_CLASSINFO("Default:LastExportCC1", "")
    Q_PROPERTY(QString LastExportBCC1 READ LastExportBCC1 WRITE SetLastExportBCC1)
    Q_CLASSINFO("Default:LastExportBCC1", "")
    Q_PROPERTY(QString LastExportSubject1 READ LastExportSubject1 WRITE SetLastExportSubject1)
    Q_CLASSINFO("Default:LastExportSubject1", "")
    Q_PROPERTY(QString LastExportBody1 READ LastExportBody1 WRITE SetLastExportBody1)
    Q_CLASSINFO("Default:LastExportBody1", "")
    Q_PROPERTY(QString LastExportFrom2 READ LastExportFrom2 WRITE SetLastExportFrom2)
    Q_CLASSINFO("Default:LastExportFrom2", "")
    Q_PROPERTY(QString LastExportTo2 READ LastExportTo2 WRITE SetLastExportTo2)
    Q_CLASSINFO("Default:LastExportTo2", "")
    Q_PROPERTY(QString LastExportCC2 READ LastExportCC2 WRITE SetLastExportCC2)
    Q_CLASSINFO("Default:LastExportCC2", "")
    Q_PROPERTY(QString LastExportBCC2 READ LastExportBCC2 WRITE SetLastExportBCC2)
    Q_CLASSINFO("Default:LastExportBCC2", "")
    Q_PROPERTY(QString LastExportSubject2 READ LastExportSubject2 WRITE SetLastExportSubject2)
    Q_CLASSINFO("Default:LastExportSubject2", "")
    Q_PROPERTY(QString LastExportBody2 READ LastExportBody2 WRITE SetLastExportBody2)
    Q_CLASSINFO("Default:LastExportBody2", "")
    Q_PROPERTY(bool LastExportBody2ToBrowser READ LastExportBody2ToBrowser WRITE
                   SetLastExportBody2ToBrowser)
    Q_CLASSINFO("Default:LastExportBody2ToBrowser", "true")
    Q_PROPERTY(VeloraEnums::TCheckBoxState LastExportCustomSMTP READ LastExportCustomSMTP WRITE
                   SetLastExportCustomSMTP)
    Q_CLASSINFO("Default:LastExportCustomSMTP", "cbUnchecked")
    Q_PROPERTY(QString LastExportSMTPNameIPAddr READ LastExportSMTPNameIPAddr WRITE
                   SetLastExportSMTPNameIPAddr)
    Q_CLASSINFO("Default:LastExportSMTPNameIPAddr", "LocalHost")
    Q_PROPERTY(int LastExportSMTPPort READ LastExportSMTPPort WRITE SetLastExportSMTPPort)
    Q_CLASSINFO("Default:LastExportSMTPPort", "25")
    Q_PROPERTY(
        int LastExportSMTPSendUsing READ LastExportSMTPSendUsing WRITE SetLastExportSMTPSendUsing)
    Q_CLASSINFO("Default:LastExportSMTPSendUsing", "2")
    Q_PROPERTY(int LastPalettePage READ LastPalettePage WRITE SetLastPalettePage)
    Q_CLASSINFO("Default:LastPalettePage", "0")

public:
    explicit TProjectInfo(TComponent *owner = nullptr);
    // Back to the defaults; the project is not marked changed.
    void Clear();

    QString LastExportFileName() const { return m_LastExportFileName; }
    void SetLastExportFileName(const QString &value) { Change(m_LastExportFileName, value); }
    QString LastExportFileTitle() const { return m_LastExportFileTitle; }
    void SetLastExportFileTitle(const QString &value) { Change(m_LastExportFileTitle, value); }
    QString LastExportFormName() const { return m_LastExportFormName; }
    void SetLastExportFormName(const QString &value) { Change(m_LastExportFormName, value); }
    QString LastExportMethod() const { return m_LastExportMethod; }
    void SetLastExportMethod(const QString &value) { Change(m_LastExportMethod, value); }
    QString LastExportAction() const { return m_LastExportAction; }
    void SetLastExportAction(const QString &value) { Change(m_LastExportAction, value); }
    QString LastExportTarget() const { return m_LastExportTarget; }
    void SetLastExportTarget(const QString &value) { Change(m_LastExportTarget, value); }
    QString LastExportEncryption() const { return m_LastExportEncryption; }
    void SetLastExportEncryption(const QString &value) { Change(m_LastExportEncryption, value); }
    QString LastExportSubmit() const { return m_LastExportSubmit; }
    void SetLastExportSubmit(const QString &value) { Change(m_LastExportSubmit, value); }
    QString LastExportReset() const { return m_LastExportReset; }
    void SetLastExportReset(const QString &value) { Change(m_LastExportReset, value); }
    int LastExportSubmitAction() const { return m_LastExportSubmitAction; }
    void SetLastExportSubmitAction(int value) { Change(m_LastExportSubmitAction, value); }
    QString LastExportSubmitActionTitle() const { return m_LastExportSubmitActionTitle; }
    void SetLastExportSubmitActionTitle(const QString &value)
    {
        Change(m_LastExportSubmitActionTitle, value);
    }
    int LastExportAfterSubmitAction() const { return m_LastExportAfterSubmitAction; }
    void SetLastExportAfterSubmitAction(int value) { Change(m_LastExportAfterSubmitAction, value); }
    QString LastExportAfterSubmitActionDisplayText() const
    {
        return m_LastExportAfterSubmitActionDisplayText;
    }
    void SetLastExportAfterSubmitActionDisplayText(const QString &value)
    {
        Change(m_LastExportAfterSubmitActionDisplayText, value);
    }
    int LastExportAfterSubmitActionDisplayPage() const
    {
        return m_LastExportAfterSubmitActionDisplayPage;
    }
    void SetLastExportAfterSubmitActionDisplayPage(int value)
    {
        Change(m_LastExportAfterSubmitActionDisplayPage, value);
    }
    QString LastExportFrom1() const { return m_LastExportFrom1; }
    void SetLastExportFrom1(const QString &value) { Change(m_LastExportFrom1, value); }
    QString LastExportTo1() const { return m_LastExportTo1; }
    void SetLastExportTo1(const QString &value) { Change(m_LastExportTo1, value); }
    QString LastExportCC1() const { return m_LastExportCC1; }
    void SetLastExportCC1(const QString &value) { Change(m_LastExportCC1, value); }
    QString LastExportBCC1() const { return m_LastExportBCC1; }
    void SetLastExportBCC1(const QString &value) { Change(m_LastExportBCC1, value); }
    QString LastExportSubject1() const { return m_LastExportSubject1; }
    void SetLastExportSubject1(const QString &value) { Change(m_LastExportSubject1, value); }
    QString LastExportBody1() const { return m_LastExportBody1; }
    void SetLastExportBody1(const QString &value) { Change(m_LastExportBody1, value); }
    QString LastExportFrom2() const { return m_LastExportFrom2; }
    void SetLastExportFrom2(const QString &value) { Change(m_LastExportFrom2, value); }
    QString LastExportTo2() const { return m_LastExportTo2; }
    void SetLastExportTo2(const QString &value) { Change(m_LastExportTo2, value); }
    QString LastExportCC2() const { return m_LastExportCC2; }
    void SetLastExportCC2(const QString &value) { Change(m_LastExportCC2, value); }
    QString LastExportBCC2() const { return m_LastExportBCC2; }
    void SetLastExportBCC2(const QString &value) { Change(m_LastExportBCC2, value); }
    QString LastExportSubject2() const { return m_LastExportSubject2; }
    void SetLastExportSubject2(const QString &value) { Change(m_LastExportSubject2, value); }
    QString LastExportBody2() const { return m_LastExportBody2; }
    void SetLastExportBody2(const QString &value) { Change(m_LastExportBody2, value); }
    bool LastExportBody2ToBrowser() const { return m_LastExportBody2ToBrowser; }
    void SetLastExportBody2ToBrowser(bool value) { Change(m_LastExportBody2ToBrowser, value); }
    TCheckBoxState LastExportCustomSMTP() const { return m_LastExportCustomSMTP; }
    void SetLastExportCustomSMTP(TCheckBoxState value) { Change(m_LastExportCustomSMTP, value); }
    QString LastExportSMTPNameIPAddr() const { return m_LastExportSMTPNameIPAddr; }
    void SetLastExportSMTPNameIPAddr(const QString &value)
    {
        Change(m_LastExportSMTPNameIPAddr, value);
    }
    int LastExportSMTPPort() const { return m_LastExportSMTPPort; }
    void SetLastExportSMTPPort(int value) { Change(m_LastExportSMTPPort, value); }
    int LastExportSMTPSendUsing() const { return m_LastExportSMTPSendUsing; }
    void SetLastExportSMTPSendUsing(int value) { Change(m_LastExportSMTPSendUsing, value); }
    int LastPalettePage() const { return m_LastPalettePage; }
    void SetLastPalettePage(int value) { Change(m_LastPalettePage, value); }

private:
    template<class T>
    void Change(T &field, const T &value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    void Changed();

    QString m_LastExportFileName;
    QString m_LastExportFileTitle;
    QString m_LastExportFormName;
    QString m_LastExportMethod;
    QString m_LastExportAction;
    QString m_LastExportTarget;
    QString m_LastExportEncryption;
    QString m_LastExportSubmit;
    QString m_LastExportReset;
    int m_LastExportSubmitAction;
    QString m_LastExportSubmitActionTitle;
    int m_LastExportAfterSubmitAction;
    QString m_LastExportAfterSubmitActionDisplayText;
    int m_LastExportAfterSubmitActionDisplayPage;
    QString m_LastExportFrom1;
    QString m_LastExportTo1;
    QString m_LastExportCC1;
    QString m_LastExportBCC1;
    QString m_LastExportSubject1;
    QString m_LastExportBody1;
    QString m_LastExportFrom2;
    QString m_LastExportTo2;
    QString m_LastExportCC2;
    QString m_LastExportBCC2;
    QString m_LastExportSubject2;
    QString m_LastExportBody2;
    bool m_LastExportBody2ToBrowser;
    TCheckBoxState m_LastExportCustomSMTP;
    QString m_LastExportSMTPNameIPAddr;
    int m_LastExportSMTPPort;
    int m_LastExportSMTPSendUsing;
    int m_LastPalettePage;
};
