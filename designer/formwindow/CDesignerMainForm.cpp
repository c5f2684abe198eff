#include "CDesignerMainForm.h"

#include "CGlobalMessages.h"

TDesignerMainForm::TDesignerMainForm(QWidget *parent) : TFillerMainForm(parent)
{
    setObjectName(QStringLiteral("DesignerMainForm"));
}

QString TDesignerMainForm::ProgramTitle() const
{
    return QStringLiteral("Velora Designer");
}

void TDesignerMainForm::Dispatch(TMessage &message)
{
    // Not the filler.
    if (message.Msg == VRMSGIsFiller) {
        message.Result = 1;
        return;
    }
    TFillerMainForm::Dispatch(message);
}
