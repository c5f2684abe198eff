#pragma once
// The expression editor of a calculation box: the expression, the names of
// the elements it may use (all, or page by page), a keypad, and picking an
// element on the page with Alt and the mouse.

#include "CBaseForm.h"

#include <QStringList>

#include "CElementFieldList.h"

class QPlainTextEdit;
class TBaseElementHintForm;
class TCalc;

class TCalcExprPropEditorForm : public TBaseForm
{
    Q_OBJECT
public:
    TCalcExprPropEditorForm(TCalc *box, QWidget *owner = nullptr);
    ~TCalcExprPropEditorForm() override;

    // Opens the editor through the dialog service; on OK the edited text is in value.
    static bool Edit(TCalc *box, QString &value);

    QString Expression() const;
    QPlainTextEdit *ExprMemo() const { return m_memo; }
    QListWidget *FieldList() const { return m_fieldList->FieldList(); }
    QTabBar *PageTabs() const { return m_fieldList->PageTabs(); }
    QLabel *NoFieldsLabel() const { return m_fieldList->NoFieldsLabel(); }
    TBaseElementHintForm *Picker() const { return m_picker; }

    // A name clicked (selected in the memo) or double-clicked (caret after it).
    void PickName(const QString &name, bool accept);
    // A keypad character at the caret; operators get a space on either side.
    void InsertKey(const QString &key);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TCalc *m_box;
    QPlainTextEdit *m_memo = nullptr;
    TElementFieldList *m_fieldList = nullptr;
    TBaseElementHintForm *m_picker = nullptr; // own window, freed with the form
};
