#include "CProjectInfo.h"

#include "CGlobal.h"

TProjectInfo::TProjectInfo(TComponent *owner) : QObject(nullptr), TComponent(this, owner)
{
    Clear();
}

void TProjectInfo::Changed()
{
    GlobalMadeChange();
}

void TProjectInfo::Clear()
{
    m_LastExportFileName = QString();
    m_LastExportFileTitle = QString();
    m_LastExportFormName = QString();
    m_LastExportMethod = QString();
    m_LastExportAction = QString();
    m_LastExportTarget = QString();
    m_LastExportEncryption = QString();
    m_LastExportSubmit = QString();
    m_LastExportReset = QString();
    m_LastExportSubmitAction = 0;
    m_LastExportSubmitActionTitle = QString();
    m_LastExportAfterSubmitAction = 0;
    m_LastExportAfterSubmitActionDisplayText = QStringLiteral("Thank you for your submission.");
    m_LastExportAfterSubmitActionDisplayPage = -1;
    m_LastExportFrom1 = QString();
    m_LastExportTo1 = QString();
    m_LastExportCC1 = QString();
    m_LastExportBCC1 = QString();
    m_LastExportSubject1 = QString();
    m_LastExportBody1 = QString();
    m_LastExportFrom2 = QString();
    m_LastExportTo2 = QString();
    m_LastExportCC2 = QString();
    m_LastExportBCC2 = QString();
    m_LastExportSubject2 = QString();
    m_LastExportBody2 = QString();
    m_LastExportBody2ToBrowser = true;
    m_LastExportCustomSMTP = cbUnchecked;
    m_LastExportSMTPNameIPAddr = QStringLiteral("LocalHost");
    m_LastExportSMTPPort = 25;
    m_LastExportSMTPSendUsing = 2;
    m_LastPalettePage = 0;
}
