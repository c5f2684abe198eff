#pragma once
// The system's own property editors, as far as they stand without the
// designer's inspector: the caption table for enumeration names, and the
// validation message window with the edit action the inspector row triggers.

#include "CBaseForm.h"

#include <QList>
#include <QString>
#include <QStringList>

class QListWidget;
class QPlainTextEdit;
class QWidget;
class TVisualPgCtrl;

// The caption a user sees for an enumeration name; unknown names show as they are.
QString PropEditorTranslate(const QString &name);

// One check an element performs, and the index of its message in the
// element's ValidationErrMsgsList.
struct TValidationCheck
{
    QString Name;
    int Index = 0;
};

class TVEMPropEditForm : public TBaseForm
{
    Q_OBJECT
public:
    TVEMPropEditForm(QWidget *owner, const QList<TValidationCheck> &checks);

    void SetVEMs(const QStringList &messages);
    // The edited list: the messages given, each check's message as edited.
    QStringList VEMs() const { return m_messages; }

    QListWidget *FailedList() const { return m_failed; }
    QPlainTextEdit *MessageMemo() const { return m_memo; }

private:
    void ShowSelected();

    QList<TValidationCheck> m_checks;
    QStringList m_messages;
    QListWidget *m_failed = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    bool m_showing = false;
};

// The edit action of the "ValidationErrMsgsList" row: opens the window with the
// element's checks and, on OK, stores the edited list. False when cancelled.
bool EditValidationErrMsgs(TVisualPgCtrl *element, QWidget *owner);

class TBasePgCtrl;

// How an inspector row edits its property.
enum class TPropEditorKind { Ordinal, String, Dialog };

// One registered editor: the property's type, optionally the property group's
// class, the editor's class name and the property identifier. Names only, so
// an entry outlives the plug-in that registered it.
struct TPropEditorRegistration
{
    QString PropertyType;
    QString GroupClass;
    QString EditorClass;
    QString PropertyName;
    TPropEditorKind Kind = TPropEditorKind::Dialog;
};

// Elements and the project register their editors in RegisterPropertyEditors;
// registering the same property again replaces the entry.
void RegisterPropertyEditor(const TPropEditorRegistration &registration);
// The editor of a property of that type (and group class, when given), or null.
const TPropEditorRegistration *FindPropertyEditor(const QString &propertyName,
                                                  const QString &propertyType,
                                                  const QString &groupClass = QString());
// A dialog editor's action: the element's ShowPropEditor without undo
// recording; unless cancelled, the text becomes the property's value.
bool PropEditorEditDialog(TBasePgCtrl *element, const QString &propertyName);
