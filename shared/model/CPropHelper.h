#pragma once
// TPropHelper decides which published properties the designer's inspector
// shows, under which caption and in which order. TPropParamsListHelper packs
// a list of typed parameter records into one string property.

#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <vector>

// Inspector caption and sort order of one property identifier.
class TPropHelperInfo
{
public:
    TPropHelperInfo(int order, const QString &caption) : Order(order), Caption(caption) { }

    int Order;
    QString Caption;
};

class TPropHelper : public QObject
{
    Q_OBJECT

public:
    explicit TPropHelper(QObject *owner = nullptr);
    ~TPropHelper() override;

    // Identifiers are matched without regard to case; adding one again replaces its entry.
    virtual void AddInfo(const QString &identifier, const QString &caption, int order);
    virtual void Clear();
    virtual void RemoveInfo(const QString &identifier);
    // Shown in the inspector exactly when the identifier has an entry.
    virtual bool PropUsed(const QObject *instance, const QMetaProperty &property) const;
    // -1, 0 or 1 by the entries' orders; an identifier without entry counts as 0.
    virtual int SortCompare(const QObject *instance, const QMetaProperty &a,
                            const QMetaProperty &b) const;
    // When an entry exists, its caption is left in GlobalGeneralString.
    virtual bool Translated(const QString &identifier) const;

    bool PropUsed(const QString &identifier) const { return Info(identifier) != nullptr; }
    int SortCompare(const QString &a, const QString &b) const;
    const TPropHelperInfo *Info(const QString &identifier) const;
    int Count() const { return int(m_infos.size()); }

private:
    struct TCaseInsensitiveLess
    {
        bool operator()(const QString &a, const QString &b) const
        {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        }
    };
    std::map<QString, std::unique_ptr<TPropHelperInfo>, TCaseInsensitiveLess> m_infos;
};

// One parameter record; it writes all its fields, its type number first.
class TPropParamsListHelperParams
{
public:
    virtual ~TPropParamsListHelperParams() = default;
    virtual QString AsString() const = 0;
};

class TPropParamsListHelper
{
public:
    static constexpr QChar Separator = QChar(0x01);

    TPropParamsListHelper() = default;
    virtual ~TPropParamsListHelper() = default;
    TPropParamsListHelper(const TPropParamsListHelper &) = delete;
    TPropParamsListHelper &operator=(const TPropParamsListHelper &) = delete;

    virtual void Clear() { m_params.clear(); }
    QString ListToStr() const;
    void StrToList(const QString &text);

    // Each reads one field at the position and moves past its separator.
    virtual bool GetBoolParam(const QString &source);
    virtual int GetIntParam(const QString &source);
    virtual QString GetStrParam(const QString &source);

    // A text as a field: separators would split it, so they are dropped.
    static QString FieldText(const QString &text);

    int Count() const { return int(m_params.size()); }
    TPropParamsListHelperParams *Params(int index) const { return m_params.at(index).get(); }
    void Add(std::unique_ptr<TPropParamsListHelperParams> params);
    // 1-based, as the fields are read.
    int Position() const { return m_position; }

protected:
    // Creates the record for that type number and reads its fields from source.
    virtual void AddParams(int type, const QString &source) = 0;

private:
    int m_position = 1;
    std::vector<std::unique_ptr<TPropParamsListHelperParams>> m_params;
};
