#include "CPropHelper.h"

#include "CGlobal.h"

#include <QStringList>

TPropHelper::TPropHelper(QObject *owner) : QObject(owner) { }

TPropHelper::~TPropHelper() = default;

void TPropHelper::AddInfo(const QString &identifier, const QString &caption, int order)
{
    m_infos[identifier] = std::make_unique<TPropHelperInfo>(order, caption);
}

void TPropHelper::Clear()
{
    m_infos.clear();
}

void TPropHelper::RemoveInfo(const QString &identifier)
{
    m_infos.erase(identifier);
}

const TPropHelperInfo *TPropHelper::Info(const QString &identifier) const
{
    const auto it = m_infos.find(identifier);
    return it == m_infos.end() ? nullptr : it->second.get();
}

bool TPropHelper::PropUsed(const QObject *, const QMetaProperty &property) const
{
    return PropUsed(QString::fromLatin1(property.name()));
}

int TPropHelper::SortCompare(const QString &a, const QString &b) const
{
    const TPropHelperInfo *infoA = Info(a);
    const TPropHelperInfo *infoB = Info(b);
    const int orderA = infoA ? infoA->Order : 0;
    const int orderB = infoB ? infoB->Order : 0;
    return orderA < orderB ? -1 : (orderA > orderB ? 1 : 0);
}

int TPropHelper::SortCompare(const QObject *, const QMetaProperty &a, const QMetaProperty &b) const
{
    return SortCompare(QString::fromLatin1(a.name()), QString::fromLatin1(b.name()));
}

bool TPropHelper::Translated(const QString &identifier) const
{
    const TPropHelperInfo *info = Info(identifier);
    if (info)
        GlobalGeneralString = info->Caption;
    return info != nullptr;
}

// ---------------------------------------------------------------------------

void TPropParamsListHelper::Add(std::unique_ptr<TPropParamsListHelperParams> params)
{
    m_params.push_back(std::move(params));
}

QString TPropParamsListHelper::ListToStr() const
{
    QStringList records;
    records.reserve(qsizetype(m_params.size()));
    for (const auto &params : m_params)
        records.append(params->AsString());
    return records.join(Separator);
}

void TPropParamsListHelper::StrToList(const QString &text)
{
    Clear();
    m_position = 1;
    // Every field read advances the position, so the loop ends on any input.
    while (m_position <= text.size())
        AddParams(GetIntParam(text), text);
}

QString TPropParamsListHelper::GetStrParam(const QString &source)
{
    const qsizetype start = qMax(m_position - 1, 0);
    if (start >= source.size()) {
        m_position = int(source.size()) + 1;
        return {};
    }
    qsizetype end = source.indexOf(Separator, start);
    if (end < 0)
        end = source.size();
    m_position = int(end) + 2;
    return source.mid(start, end - start);
}

int TPropParamsListHelper::GetIntParam(const QString &source)
{
    return GetStrParam(source).toInt();
}

bool TPropParamsListHelper::GetBoolParam(const QString &source)
{
    // Read as a whole field, so a damaged flag cannot shift the fields after it.
    return GetStrParam(source) == QLatin1String("1");
}

QString TPropParamsListHelper::FieldText(const QString &text)
{
    QString result = text;
    return result.remove(Separator);
}
