#include "CButtonActions.h"

namespace {
struct TKindInfo
{
    const char *Name;
    const char *Fields;
};

const TKindInfo Kinds[bakCount] = {
    {"New", ""},
    {"Open", "sb"},
    {"Close", ""},
    {"Save", ""},
    {"Save As", "bsb"},
    {"Print", "biiiib"},
    {"Validate Form", ""},
    {"Exit", ""},
    {"First Page", ""},
    {"Next Page", ""},
    {"Previous Page", ""},
    {"Last Page", ""},
    {"Goto Page", "ib"},
    {"Hyperlink To URL", "sb"},
    {"Post To URL", "sssbb"},
    {"Email", "sbssssbsssssbs"},
    {"Execute Application", "ss"},
    {"(View) Actual Size", ""},
    {"(View) Fit To Width", ""},
    {"(View) Fit To Page", ""},
    {"Reset Form", ""},
};

QString Default(QChar type)
{
    return type == u's' ? QString() : QStringLiteral("0");
}
} // namespace

TButtonAction::TButtonAction(int kind) : m_kind(kind)
{
    for (const QChar type : FieldTypes(kind))
        m_fields.append(Default(type));
}

void TButtonAction::SetStr(int field, const QString &value)
{
    if (field >= 0 && field < m_fields.size())
        m_fields[field] = TPropParamsListHelper::FieldText(value);
}

QString TButtonAction::AsString() const
{
    QStringList fields {QString::number(m_kind)};
    fields += m_fields;
    return fields.join(TPropParamsListHelper::Separator);
}

QString TButtonAction::FieldTypes(int kind)
{
    return kind >= 0 && kind < bakCount ? QString::fromLatin1(Kinds[kind].Fields) : QString();
}

QString TButtonAction::KindName(int kind)
{
    return kind >= 0 && kind < bakCount ? QString::fromLatin1(Kinds[kind].Name) : QString();
}

int TButtonAction::KindByName(const QString &name)
{
    for (int kind = 0; kind < bakCount; ++kind)
        if (name.compare(QLatin1String(Kinds[kind].Name), Qt::CaseInsensitive) == 0)
            return kind;
    return -1;
}

TButtonAction &TActionsList::Append(int kind)
{
    auto action = std::make_unique<TButtonAction>(kind);
    TButtonAction &added = *action;
    Add(std::move(action));
    return added;
}

void TActionsList::AddParams(int type, const QString &source)
{
    // An unknown kind has no fields: reading goes on with the next field as a kind.
    if (type < 0 || type >= bakCount)
        return;
    TButtonAction &action = Append(type);
    const QString types = TButtonAction::FieldTypes(type);
    for (int field = 0; field < types.size(); ++field) {
        switch (types.at(field).unicode()) {
        case 'b':
            action.SetBool(field, GetBoolParam(source));
            break;
        case 'i':
            action.SetInt(field, GetIntParam(source));
            break;
        default:
            action.SetStr(field, GetStrParam(source));
        }
    }
}
