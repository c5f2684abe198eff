#include "CFillerMainForm.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>

TFillerMainForm::TFillerMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FillerMainForm"));
    resize(1024, 768);
    CreateMenus();
    UpdateTitle();
}

TFillerMainForm::~TFillerMainForm() = default;

QString TFillerMainForm::ProgramTitle() const
{
    return QStringLiteral("Velora Filler");
}

void TFillerMainForm::CreateMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    m_exitAction = file->addAction(tr("E&xit"), this, &QWidget::close);
    m_exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void TFillerMainForm::UpdateTitle()
{
    setWindowTitle(ProgramTitle());
}

void TFillerMainForm::Dispatch(TMessage &message)
{
    // Answers "is this the filler?" with 0, as only the filler's window does.
    if (message.Msg == 0x8401)
        message.Result = 0;
}
