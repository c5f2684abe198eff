#pragma once
// What the component stream's units share and callers never see: the view of
// published properties that the writer and the reader both take, and the
// bounds-checked decoder under the reader and the walk.

#include "CComponentStream.h"
#include "CPublished.h"

#include <QHash>
#include <QMetaProperty>
#include <QStringView>
#include <QVariant>
#include <QtEndian>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace ComponentStreamDetail {

inline constexpr char kSignature[4] = {'T', 'P', 'F', '0'};
// Objects and nested values together; real documents stay below 10.
inline constexpr int kMaxDepth = 64;

[[noreturn]] void Fail();

bool IsIntegerTag(unsigned tag);

// ---------------------------------------------------------------------------
// Published properties as the codec sees them.

using TKind = TPropertyKind;

struct TPropInfo
{
    QMetaProperty Prop;
    TKind Kind;
    QString Name;
};

struct TClassProps
{
    std::vector<TPropInfo> List;
    // Names are compared without regard to case; looked up by a hash of the folded name.
    QMultiHash<size_t, int> ByFoldedName;
    // Declared defaults, parsed once per class and only for writing.
    std::vector<std::optional<QVariant>> Defaults;
    bool DefaultsDone = false;
};

// Per reading or writing session: plug-ins may unload their classes in between.
class TClassCache
{
public:
    TClassProps &Of(const QMetaObject *metaObject);
    const TPropInfo *Find(const QMetaObject *metaObject, QStringView name);
    const std::vector<std::optional<QVariant>> &Defaults(const QMetaObject *metaObject);

private:
    std::map<const QMetaObject *, TClassProps> m_classes;
    // Properties of one object come one after the other.
    const QMetaObject *m_last = nullptr;
    TClassProps *m_lastProps = nullptr;
};

// ---------------------------------------------------------------------------
// Reading: the bounds-checked primitives shared by the reader and the walk.

class TInput
{
public:
    explicit TInput(TMemoryStream &stream) : m_stream(stream) { }

    QByteArrayView Bytes(qint64 count);
    unsigned Byte() { return std::uint8_t(Bytes(1)[0]); }
    unsigned Peek() const;
    template<class T>
    T LE()
    {
        return qFromLittleEndian<T>(Bytes(sizeof(T)).data());
    }
    qint64 Length();
    QString ShortString() { return Windows1252ToString(Bytes(Byte())); }

    void Signature();

    std::int64_t IntegerBody(unsigned tag);

    TStreamObjectHeader Header();

    TStreamValue Value(int depth);
    TStreamValue ValueBody(unsigned tag, int depth);

    void SkipValue(int depth);
    void SkipValueBody(unsigned tag, int depth);

private:
    QByteArrayView WStringBytes();
    QString WString();
    TStreamCollectionItem CollectionItem(unsigned tag, int depth);

    TMemoryStream &m_stream;
};

} // namespace ComponentStreamDetail
