#include "CWebFormExportFormGetTxtForm.h"

#include "CBaseElementHintForm.h"
#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CWebFormExport.h"

#include <QDialogButtonBox>
#include <QHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// Picks the form's elements only, by the name their value is submitted under: a radio
// button of a group stands for its group.
class TFieldHintForm : public TBaseElementHintForm
{
public:
    TFieldHintForm(QWidget *dialog, QHash<const QObject *, QString> fields)
        : TBaseElementHintForm(
            dialog, [this](const TVisualPgCtrl *element) { return m_fields.contains(element); }),
          m_fields(std::move(fields))
    { }
    QString PickedName(const TVisualPgCtrl *element) const override
    {
        return m_fields.value(element);
    }

private:
    QHash<const QObject *, QString> m_fields;
};
} // namespace

TWebFormExportFormGetTxtForm::TWebFormExportFormGetTxtForm(const QString &fieldName,
                                                           const QString &text, QWidget *owner)
    : TBaseForm(owner, true)
{
    setObjectName(QStringLiteral("WebFormExportFormGetTxtForm"));
    setWindowTitle(u' ' + fieldName);
    auto *layout = new QVBoxLayout(this);
    auto *caption = new QLabel(fieldName + QStringLiteral(" :"), this);
    layout->addWidget(caption);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("TextMemo"));
    m_memo->setTabChangesFocus(true);
    m_memo->setPlainText(text);
    m_memo->moveCursor(QTextCursor::End);
    caption->setBuddy(m_memo);
    layout->addWidget(m_memo, 1);

    m_fieldList = new TElementFieldList(QStringLiteral("No fields available."), this);
    layout->addWidget(m_fieldList, 1);
    auto *hint = new QLabel(
        QStringLiteral("Hold down Alt and mouse over form elements. Click/Double Click to select."),
        this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    resize(420, 420);

    // A radio group is offered once, under its field name.
    QHash<const QObject *, QString> fields;
    QList<std::pair<QString, int>> candidates;
    for (const TWebExportElement &element : WebExportElements()) {
        fields.insert(element.Element, element.FieldName);
        const bool known = std::any_of(candidates.cbegin(), candidates.cend(),
                                       [&](const auto &c) { return c.first == element.FieldName; });
        if (!known)
            candidates.append({element.FieldName, element.Page});
    }
    m_fieldList->SetCandidates(std::move(candidates));
    m_fieldList->OnPick = [this](const QString &name, bool confirm) {
        InsertField(name, confirm);
    };
    m_picker = std::make_unique<TFieldHintForm>(this, std::move(fields));
    m_picker->OnPick = [this](const QString &name, bool accept) {
        InsertField(name, accept);
    };

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_memo->setFocus();
}

TWebFormExportFormGetTxtForm::~TWebFormExportFormGetTxtForm() = default;

bool TWebFormExportFormGetTxtForm::Edit(const QString &fieldName, QString &text, QWidget *owner)
{
    TWebFormExportFormGetTxtForm form(fieldName, text, owner);
    if (DialogService().ExecModal(form) != QDialog::Accepted)
        return false;
    text = form.Text();
    return true;
}

QString TWebFormExportFormGetTxtForm::Text() const
{
    return m_memo->toPlainText();
}

void TWebFormExportFormGetTxtForm::InsertField(const QString &name, bool confirm)
{
    const QString reference = QStringLiteral("#!") + name;
    // The second click of a double-click finds its own insertion selected.
    if (m_memo->textCursor().selectedText() != reference)
        TBaseElementHintForm::ReplaceSelection(m_memo, reference);
    m_memo->setFocus();
    if (confirm)
        accept();
}

void TWebFormExportFormGetTxtForm::showEvent(QShowEvent *event)
{
    TBaseForm::showEvent(event);
    m_picker->Start();
}

void TWebFormExportFormGetTxtForm::hideEvent(QHideEvent *event)
{
    m_picker->Stop();
    TBaseForm::hideEvent(event);
}
