#pragma once
// The field picker of the web export window: the text of one setting, into
// which the form's elements are inserted as field references ("#!" and the
// name the browser submits the element's value under), picked from a list by
// page or by holding Alt over the page.

#include "CBaseForm.h"

#include <QList>
#include <memory>

#include "CElementFieldList.h"

class QPlainTextEdit;
class TBaseElementHintForm;

class TWebFormExportFormGetTxtForm : public TBaseForm
{
    Q_OBJECT
public:
    // fieldName is what the setting is called ("From (Email 1)").
    TWebFormExportFormGetTxtForm(const QString &fieldName, const QString &text,
                                 QWidget *owner = nullptr);
    ~TWebFormExportFormGetTxtForm() override;

    // Runs the picker through the dialog service; with OK, text takes the result.
    static bool Edit(const QString &fieldName, QString &text, QWidget *owner);

    QString Text() const;
    // Puts "#!" and the name in place of the selection; confirm ends the dialog with OK.
    void InsertField(const QString &name, bool confirm);

    QPlainTextEdit *Memo() const { return m_memo; }
    QTabBar *PageTabs() const { return m_fieldList->PageTabs(); }
    QListWidget *FieldList() const { return m_fieldList->FieldList(); }
    QLabel *NoFieldsLabel() const { return m_fieldList->NoFieldsLabel(); }
    TBaseElementHintForm *Picker() const { return m_picker.get(); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPlainTextEdit *m_memo;
    TElementFieldList *m_fieldList;
    std::unique_ptr<TBaseElementHintForm> m_picker;
};
