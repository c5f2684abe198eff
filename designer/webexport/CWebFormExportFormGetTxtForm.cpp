#include "CWebFormExportFormGetTxtForm.h"

#include "CBaseElementHintForm.h"
#include "CBasePgCtrl.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CWebFormExport.h"

#include <QDialogButtonBox>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
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

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("FieldTabs"));
    m_tabs->addTab(QStringLiteral("All"));
    const int pages = GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
    if (pages > 1)
        for (int i = 1; i <= pages; ++i)
            m_tabs->addTab(QString::number(i));
    layout->addWidget(m_tabs);
    m_fields = new QListWidget(this);
    m_fields->setObjectName(QStringLiteral("FieldList"));
    layout->addWidget(m_fields, 1);
    m_noFields = new QLabel(QStringLiteral("No fields available."), m_fields);
    m_noFields->setObjectName(QStringLiteral("NoFieldsLabel"));
    m_noFields->setAlignment(Qt::AlignCenter);
    auto *over = new QVBoxLayout(m_fields);
    over->addWidget(m_noFields);
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
    for (const TWebExportElement &element : WebExportElements()) {
        fields.insert(element.Element, element.FieldName);
        const bool known
            = std::any_of(m_candidates.cbegin(), m_candidates.cend(),
                          [&](const TCandidate &c) { return c.FieldName == element.FieldName; });
        if (!known)
            m_candidates.append({element.FieldName, element.Page});
    }
    m_picker = std::make_unique<TFieldHintForm>(this, std::move(fields));
    m_picker->OnPick = [this](const QString &name, bool accept) {
        InsertField(name, accept);
    };

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tabs, &QTabBar::currentChanged, this, [this] { FillFields(); });
    connect(m_fields, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { InsertField(item->text(), false); });
    connect(m_fields, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { InsertField(item->text(), true); });
    FillFields();
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

void TWebFormExportFormGetTxtForm::FillFields()
{
    // Tab 0 is "All"; tab n shows page n.
    const int page = m_tabs->currentIndex() - 1;
    m_fields->clear();
    for (const TCandidate &candidate : std::as_const(m_candidates))
        if (page < 0 || candidate.Page == page)
            m_fields->addItem(candidate.FieldName);
    m_noFields->setVisible(m_fields->count() == 0);
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
