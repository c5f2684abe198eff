#pragma once
// The filler's main window; the designer's main window derives from it and
// extends its overridable steps.

#include "CMessages.h"

#include <QMainWindow>

class QAction;

class TFillerMainForm : public QMainWindow, public TMessageTarget
{
    Q_OBJECT
public:
    explicit TFillerMainForm(QWidget *parent = nullptr);
    ~TFillerMainForm() override;

    QAction *ExitAction() const { return m_exitAction; }

    void Dispatch(TMessage &message) override;

protected:
    virtual QString ProgramTitle() const;
    virtual void CreateMenus();
    void UpdateTitle();

private:
    QAction *m_exitAction = nullptr;
};
