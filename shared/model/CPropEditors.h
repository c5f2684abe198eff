#pragma once
// The system's own property editors, as far as they stand without the
// designer's inspector: the caption table for enumeration names, and the
// validation message window with the edit action the inspector row triggers.

#include "CBaseForm.h"

#include <QList>
#include <QMetaProperty>
#include <QString>
#include <QStringList>
#include <memory>

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

// ---------------------------------------------------------------------------
// Inspector row editors. An editor works on one property of the objects that
// hold it (one holder per selected object) and translates between the stored
// text (as PropertyValueText gives it) and the text its row shows.

class TPropEditor
{
public:
    TPropEditor(const QList<QObject *> &holders, const QMetaProperty &property);
    virtual ~TPropEditor() = default;
    TPropEditor(const TPropEditor &) = delete;
    TPropEditor &operator=(const TPropEditor &) = delete;

    virtual TPropEditorKind Kind() const { return TPropEditorKind::String; }
    // The row's text for a stored value.
    virtual QString DisplayText(const QString &stored) const { return stored; }
    // The drop-down entries; empty for a plain text row.
    virtual QStringList GetValues() const { return {}; }
    // The stored text for what the user typed; false, with the message to show,
    // when the text is not a value of the property.
    virtual bool StoredText(const QString &typed, QString &stored, QString &error) const;
    // Dialog editors: the stored text chosen in the dialog; false when cancelled.
    virtual bool Edit(QString &stored);

    const QList<QObject *> &Holders() const { return m_holders; }
    const QMetaProperty &Property() const { return m_property; }
    QString PropertyName() const { return QString::fromLatin1(m_property.name()); }

private:
    QList<QObject *> m_holders;
    QMetaProperty m_property;
};

// A fixed list of captions; the property's ordinal value is the caption's index.
class TPropEditorBaseOrd : public TPropEditor
{
public:
    using TPropEditor::TPropEditor;
    TPropEditorKind Kind() const override { return TPropEditorKind::Ordinal; }
    QString DisplayText(const QString &stored) const override;
    QStringList GetValues() const override { return Captions(); }
    bool StoredText(const QString &typed, QString &stored, QString &error) const override;
    // The caption's index, ignoring case; -1 when it is none of them.
    int FindValue(const QString &text) const;

protected:
    virtual QStringList SetEnumStrings() const = 0;
    // Ordinal of a stored value and back; enumerations count their members in order.
    virtual int OrdinalOf(const QString &stored) const;
    virtual QString StoredOf(int ordinal) const;

private:
    const QStringList &Captions() const;
    mutable QStringList m_captions;
    mutable bool m_filled = false;
};

// Suggestions in a drop-down; any text is taken.
class TPropEditorBaseStr : public TPropEditor
{
public:
    using TPropEditor::TPropEditor;
    QStringList GetValues() const override { return SetSuggestions(); }

protected:
    virtual QStringList SetSuggestions() const { return {}; }
};

// A button opening a dialog: the first selected object's ShowPropEditor, without
// undo recording; the inspector's change path records the new value.
class TPropEditorBaseDlg : public TPropEditor
{
public:
    using TPropEditor::TPropEditor;
    TPropEditorKind Kind() const override { return TPropEditorKind::Dialog; }
    bool Edit(QString &stored) override;
};

// The paper forms of the printer now selected, "Custom" first.
QStringList PropEditorPaperSizeCaptions();
// Date and time formats offered by the display-format editors, in lower case.
QStringList PropEditorDateFormats();
QStringList PropEditorTimeFormats();

// The editor of a row: a registered one (by property, type and group class), else
// the system's own for that property name, else a generic one for its kind.
std::unique_ptr<TPropEditor> CreatePropEditor(const QList<QObject *> &holders,
                                              const QMetaProperty &property);
