#include "CStringPropEditForm.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
// A one-line edit selects all its text when the focus comes by the keyboard; here
// typing goes on at the end, however the focus came.
class TEndLineEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QLineEdit::focusInEvent(event);
        end(false);
    }
};
} // namespace

TStringPropEditForm::TStringPropEditForm(QWidget *owner, bool singleLine) : TBaseForm(owner, true)
{
    setObjectName(QStringLiteral("StringEditForm"));
    setWindowTitle(QStringLiteral("String"));
    auto *layout = new QVBoxLayout(this);
    // A one-line edit is what one line needs: Enter reaches the default button, and a
    // line break can be neither typed nor pasted.
    if (singleLine) {
        m_line = new TEndLineEdit(this);
        layout->addWidget(m_line);
    } else {
        m_memo = new QPlainTextEdit(this);
        m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        layout->addWidget(m_memo);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TStringPropEditForm::SetText(const QString &text)
{
    if (m_line)
        m_line->setText(text);
    else
        m_memo->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QString TStringPropEditForm::Text() const
{
    if (m_line)
        return m_line->text();
    return m_memo->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void TStringPropEditForm::showEvent(QShowEvent *event)
{
    TBaseForm::showEvent(event);
    // Typing goes on where the text ends.
    if (m_line) {
        m_line->setFocus();
    } else {
        m_memo->setFocus();
        m_memo->moveCursor(QTextCursor::End);
        m_memo->ensureCursorVisible();
    }
}
