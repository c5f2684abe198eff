#pragma once
// The expression editor of a calculation box: the expression, the names of
// the elements it may use (all, or page by page), a keypad, and picking an
// element on the page with Alt and the mouse.

#include "CBaseForm.h"

#include <QStringList>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTabBar;
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
    QListWidget *FieldList() const { return m_fields; }
    QTabBar *PageTabs() const { return m_tabs; }
    QLabel *NoFieldsLabel() const { return m_noFields; }
    TBaseElementHintForm *Picker() const { return m_picker; }

    // A name clicked (selected in the memo) or double-clicked (caret after it).
    void PickName(const QString &name, bool accept);
    // A keypad character at the caret; operators get a space on either side.
    void InsertKey(const QString &key);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FillFields();

    TCalc *m_box;
    QPlainTextEdit *m_memo = nullptr;
    QTabBar *m_tabs = nullptr;
    QListWidget *m_fields = nullptr;
    QLabel *m_noFields = nullptr;
    TBaseElementHintForm *m_picker = nullptr; // own window, freed with the form
    // Name and page (from 0) of every element that may be used.
    QList<std::pair<QString, int>> m_candidates;
};
