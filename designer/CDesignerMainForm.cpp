#include "CDesignerMainForm.h"

TDesignerMainForm::TDesignerMainForm(QWidget *parent) : TFillerMainForm(parent)
{
    setObjectName(QStringLiteral("DesignerMainForm"));
    UpdateTitle();
}

QString TDesignerMainForm::ProgramTitle() const
{
    return QStringLiteral("Velora Designer");
}

void TDesignerMainForm::Dispatch(TMessage &message)
{
    // Not the filler.
    if (message.Msg == 0x8401) {
        message.Result = 1;
        return;
    }
    TFillerMainForm::Dispatch(message);
}
