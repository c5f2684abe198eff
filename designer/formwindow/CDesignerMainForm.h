#pragma once
// The designer's main window: the filler's window with the design tools added.

#include "CFillerMainForm.h"

class TDesignerMainForm : public TFillerMainForm
{
    Q_OBJECT
public:
    explicit TDesignerMainForm(QWidget *parent = nullptr);

    void Dispatch(TMessage &message) override;

protected:
    QString ProgramTitle() const override;
};
