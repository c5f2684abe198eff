#pragma once
// A button's list of actions and its one-string form: every field of every
// action separated by character 1, each action its kind number followed by
// its parameters in a fixed order.

#include "CPropHelper.h"

#include <QString>
#include <QStringList>

enum TButtonActionKind : int {
    bakNew = 0,
    bakOpen = 1,
    bakClose = 2,
    bakSave = 3,
    bakSaveAs = 4,
    bakPrint = 5,
    bakValidate = 6,
    bakExit = 7,
    bakFirstPage = 8,
    bakNextPage = 9,
    bakPreviousPage = 10,
    bakLastPage = 11,
    bakGotoPage = 12,
    bakHyperlink = 13,
    bakPostToURL = 14,
    bakEmail = 15,
    bakExecute = 16,
    bakActualSize = 17,
    bakFitToWidth = 18,
    bakFitToPage = 19,
    bakResetForm = 20,
    bakCount = 21
};

// The parameters' places in TButtonAction's fields, by kind.
namespace ButtonParam {
enum Open { OpenPath = 0, OpenUseDialog };
enum SaveAs { SaveAsOverwritePrompt = 0, SaveAsPath, SaveAsUseDialog };
enum Print { PrintCollate = 0, PrintCopies, PrintFrom, PrintTo, PrintRange, PrintUseDialog };
enum Goto { GotoPage = 0, GotoUseDialog };
enum Hyperlink { HyperlinkURL = 0, HyperlinkUseDialog };
enum Post { PostURL = 0, PostFields, PostResponseField, PostRespondWithDialog, PostStripHTML };
enum Email {
    EmailAttachments = 0,
    EmailAttachDocument,
    EmailBCC,
    EmailBody,
    EmailCC,
    EmailFrom,
    EmailHideSettings,
    EmailHost,
    EmailPassword,
    EmailCurrentAttachment,
    EmailSubject,
    EmailTo,
    EmailUseDialog,
    EmailUserID
};
enum Execute { ExecuteProgram = 0, ExecuteParameters };
} // namespace ButtonParam

// One action: its kind and its fields as text ("0"/"1" for flags, decimal for numbers).
class TButtonAction : public TPropParamsListHelperParams
{
public:
    explicit TButtonAction(int kind);

    int Kind() const { return m_kind; }
    QString DisplayName() const { return KindName(m_kind); }
    int FieldCount() const { return int(m_fields.size()); }

    QString Str(int field) const { return m_fields.value(field); }
    int Int(int field) const { return m_fields.value(field).toInt(); }
    bool Bool(int field) const { return m_fields.value(field) == QLatin1String("1"); }
    // Texts lose the field separator, so no entry can shift the fields after it.
    void SetStr(int field, const QString &value);
    void SetInt(int field, int value) { SetStr(field, QString::number(value)); }
    void SetBool(int field, bool value)
    {
        SetStr(field, value ? QStringLiteral("1") : QStringLiteral("0"));
    }

    QString AsString() const override;

    // The kind's field types in order: 's' text, 'i' number, 'b' flag.
    static QString FieldTypes(int kind);
    static QString KindName(int kind);
    // -1 when no kind has that name (compared ignoring case).
    static int KindByName(const QString &name);
    bool operator==(const TButtonAction &other) const
    {
        return m_kind == other.m_kind && m_fields == other.m_fields;
    }

private:
    int m_kind;
    QStringList m_fields;
};

class TActionsList : public TPropParamsListHelper
{
public:
    TButtonAction *Action(int index) const { return static_cast<TButtonAction *>(Params(index)); }
    TButtonAction &Append(int kind);

protected:
    void AddParams(int type, const QString &source) override;
};
