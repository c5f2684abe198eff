#include "CCalcExprPropEditorForm.h"

#include "CBaseElementHintForm.h"
#include "CCalc.h"
#include "CDialogService.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace {
int PageIndexOf(const TBasePgCtrl *element)
{
    const TPrinterPage *page = element->ParentPage();
    const int count = GlobalPagesPageControl ? GlobalPagesPageControl->PageCount() : 0;
    for (int i = 0; page && i < count; ++i)
        if (GlobalPgScrollBox(i) == page)
            return i;
    return -1;
}

bool MayBeUsed(const TVisualPgCtrl *element, const TCalc *box)
{
    return element != box && element->IsCalcField();
}
} // namespace

TCalcExprPropEditorForm::TCalcExprPropEditorForm(TCalc *box, QWidget *owner)
    : TBaseForm(owner, true), m_box(box)
{
    setObjectName(QStringLiteral("CalcExprPropEditorForm"));
    // Captions are plain, as every dialog's is here.
    setWindowTitle(QStringLiteral("Expression"));
    setProperty("HelpContext", 68);
    setWindowFlag(Qt::Tool);
    auto *grid = new QGridLayout(this);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("ExprMemo"));
    m_memo->setTabChangesFocus(true);
    m_memo->setPlainText(box->CalcExpression());
    m_memo->moveCursor(QTextCursor::End);

    m_fieldList = new TElementFieldList(QStringLiteral("No fields available on this page."), this);

    auto *keypad = new QGridLayout;
    const char *keys[] = {"7", "8", "9", "(", ")", "4", "5", "6", "^",
                          "÷", "1", "2", "3", "x", "-", "0", ".", "+"};
    int at = 0;
    for (const char *key : keys) {
        auto *button = new QPushButton(QString::fromUtf8(key), this);
        button->setObjectName(QStringLiteral("Key_") + QString::fromUtf8(key));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedWidth(32);
        keypad->addWidget(button, at / 5, at % 5);
        ++at;
        connect(button, &QPushButton::clicked, this, [this, button] { InsertKey(button->text()); });
    }
    auto *hint = new QLabel(
        QStringLiteral("Hold Alt and mouse over form elements. Click to select."), this);
    hint->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    grid->addWidget(new QLabel(QStringLiteral("Expression"), this), 0, 0);
    grid->addWidget(m_memo, 1, 0, 1, 2);
    grid->addWidget(m_fieldList, 2, 0, 2, 1);
    grid->addLayout(keypad, 3, 1, Qt::AlignTop);
    grid->addWidget(hint, 4, 0, 1, 2);
    grid->addWidget(buttons, 5, 0, 1, 2);
    resize(460, 400);

    m_picker = new TBaseElementHintForm(
        this, [box](const TVisualPgCtrl *element) { return MayBeUsed(element, box); });
    m_picker->OnPick = [this](const QString &name, bool accept) {
        PickName(name, accept);
    };

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_fieldList->OnPick = [this](const QString &name, bool accept) {
        PickName(name, accept);
    };

    if (TComponent *owner = box->Owner()) {
        QList<TComponent *> components;
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (auto *element = qobject_cast<TVisualPgCtrl *>(owner->Components(i)->Object());
                element && MayBeUsed(element, box))
                components.append(owner->Components(i));
        Global_FileNameSort(components);
        QList<std::pair<QString, int>> candidates;
        for (TComponent *component : std::as_const(components))
            candidates.append({component->Name(),
                               PageIndexOf(static_cast<TBasePgCtrl *>(
                                   qobject_cast<TVisualPgCtrl *>(component->Object())))});
        m_fieldList->SetCandidates(std::move(candidates));
    }
}

TCalcExprPropEditorForm::~TCalcExprPropEditorForm()
{
    delete m_picker;
}

bool TCalcExprPropEditorForm::Edit(TCalc *box, QString &value)
{
    TCalcExprPropEditorForm form(box, GlobalMainForm);
    if (DialogService().ExecModal(form) != QDialog::Accepted)
        return false;
    value = form.Expression();
    return true;
}

QString TCalcExprPropEditorForm::Expression() const
{
    return m_memo->toPlainText();
}

void TCalcExprPropEditorForm::PickName(const QString &name, bool accept)
{
    QTextCursor cursor = m_memo->textCursor();
    if (cursor.selectedText() != name) {
        const int start = cursor.selectionStart();
        cursor.insertText(name);
        cursor.setPosition(start);
        cursor.setPosition(start + int(name.size()), QTextCursor::KeepAnchor);
    }
    if (accept)
        cursor.setPosition(cursor.selectionEnd());
    m_memo->setTextCursor(cursor);
    m_memo->setFocus();
}

void TCalcExprPropEditorForm::InsertKey(const QString &key)
{
    QString text = key;
    if (key == QStringLiteral("÷"))
        text = QStringLiteral("/");
    else if (key == QStringLiteral("x"))
        text = QStringLiteral("*");
    if (text == QStringLiteral("*") || text == QStringLiteral("/") || text == QStringLiteral("+")
        || text == QStringLiteral("-"))
        text = u' ' + text + u' ';
    QTextCursor cursor = m_memo->textCursor();
    cursor.insertText(text);
    cursor.movePosition(QTextCursor::End);
    m_memo->setTextCursor(cursor);
}

void TCalcExprPropEditorForm::showEvent(QShowEvent *event)
{
    TBaseForm::showEvent(event);
    m_picker->Start();
}

void TCalcExprPropEditorForm::hideEvent(QHideEvent *event)
{
    m_picker->Stop();
    TBaseForm::hideEvent(event);
}
