#include "CComponentStream.h"
#include "CComponentStreamPrivate.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

const char *const SReadError = "Read Error.";

namespace {
// Codes 0x80 to 0x9F; the five unassigned ones keep their own value so that
// any byte reads and writes back unchanged.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsTextTag(unsigned tag)
{
    return tag == vaString || tag == vaLString || tag == vaWString || tag == vaUTF8String;
}
} // namespace

namespace ComponentStreamDetail {

[[noreturn]] void Fail()
{
    throw EReadError(QString::fromLatin1(SReadError));
}

bool IsIntegerTag(unsigned tag)
{
    return tag == vaInt8 || tag == vaInt16 || tag == vaInt32 || tag == vaInt64;
}

namespace {
// Equal for names that compare equal without regard to case; no string is made.
size_t FoldedHash(QStringView name)
{
    size_t hash = 14695981039346656037ULL;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        hash ^= u < 0x80 ? (u >= u'A' && u <= u'Z' ? u + 32 : u) : c.toCaseFolded().unicode();
        hash *= 1099511628211ULL;
    }
    return hash;
}
} // namespace

TClassProps &TClassCache::Of(const QMetaObject *metaObject)
{
    if (metaObject == m_last)
        return *m_lastProps;
    auto it = m_classes.find(metaObject);
    if (it == m_classes.end()) {
        TClassProps &props = m_classes[metaObject];
        for (const QMetaProperty &p : StoredProperties(metaObject)) {
            const QString name = QString::fromLatin1(p.name());
            props.ByFoldedName.insert(FoldedHash(name), int(props.List.size()));
            props.List.push_back({p, PropertyKindOf(p), name});
        }
        it = m_classes.find(metaObject);
    }
    m_last = metaObject;
    m_lastProps = &it->second;
    return it->second;
}

const TPropInfo *TClassCache::Find(const QMetaObject *metaObject, QStringView name)
{
    const TClassProps &props = Of(metaObject);
    // Of equal names the last declared wins: a subclass's own over its ancestor's.
    const TPropInfo *found = nullptr;
    const size_t hash = FoldedHash(name);
    for (auto it = props.ByFoldedName.constFind(hash);
         it != props.ByFoldedName.constEnd() && it.key() == hash; ++it) {
        const TPropInfo &info = props.List[size_t(it.value())];
        // Files mostly spell names as declared; the exact test is the cheap one.
        const bool equal = name == info.Name || name.compare(info.Name, Qt::CaseInsensitive) == 0;
        if (equal && (!found || &info > found))
            found = &info;
    }
    return found;
}

const std::vector<std::optional<QVariant>> &TClassCache::Defaults(const QMetaObject *metaObject)
{
    TClassProps &props = Of(metaObject);
    if (!props.DefaultsDone) {
        for (const TPropInfo &info : props.List)
            props.Defaults.push_back(DeclaredDefault(metaObject, info.Prop));
        props.DefaultsDone = true;
    }
    return props.Defaults;
}

} // namespace ComponentStreamDetail

// ---------------------------------------------------------------------------

TStreamValue TStreamValue::Integer(std::int64_t value)
{
    TStreamValue v;
    v.Type = value >= INT8_MIN && value <= INT8_MAX ? vaInt8
        : value >= INT16_MIN && value <= INT16_MAX  ? vaInt16
        : value >= INT32_MIN && value <= INT32_MAX  ? vaInt32
                                                    : vaInt64;
    v.Int = value;
    return v;
}

TStreamValue TStreamValue::Boolean(bool value)
{
    TStreamValue v;
    v.Type = value ? vaTrue : vaFalse;
    return v;
}

TStreamValue TStreamValue::Ident(const QString &ident)
{
    TStreamValue v;
    v.Type = vaIdent;
    v.Text = ident;
    return v;
}

TStreamValue TStreamValue::Extended(long double value)
{
    TStreamValue v;
    v.Type = vaExtended;
    v.Float = value;
    return v;
}

TStreamValue TStreamValue::FromText(const QString &text)
{
    TStreamValue v;
    QByteArray bytes;
    v.Type = !StringToWindows1252(text, bytes) ? vaWString
        : bytes.size() <= 255                  ? vaString
                                               : vaLString;
    v.Text = text;
    return v;
}

TStreamValue TStreamValue::Binary(const QByteArray &bytes)
{
    TStreamValue v;
    v.Type = vaBinary;
    v.Data = bytes;
    return v;
}

bool TStreamValue::IsInteger() const
{
    return ComponentStreamDetail::IsIntegerTag(Type);
}

bool TStreamValue::IsText() const
{
    return IsTextTag(Type);
}

TMemoryStream::~TMemoryStream() = default;

void TMemoryStream::SetPosition(qint64 position)
{
    m_position = std::clamp<qint64>(position, 0, m_data.size());
}

void TMemoryStream::SetData(QByteArray data)
{
    m_data = std::move(data);
    m_position = 0;
}

bool TMemoryStream::ReadView(qint64 count, QByteArrayView &bytes)
{
    BytesRead(count);
    if (count < 0 || count > Remaining())
        return false;
    bytes = QByteArrayView(m_data.constData() + m_position, count);
    m_position += count;
    return true;
}

bool TMemoryStream::Read(void *buffer, qint64 count)
{
    QByteArrayView bytes;
    if (!ReadView(count, bytes))
        return false;
    if (count > 0)
        std::memcpy(buffer, bytes.data(), size_t(count));
    return true;
}

void TMemoryStream::Write(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    if (m_position == m_data.size()) {
        m_data.append(bytes.data(), bytes.size());
    } else {
        if (m_position + bytes.size() > m_data.size())
            m_data.resize(m_position + bytes.size());
        std::memcpy(m_data.data() + m_position, bytes.data(), size_t(bytes.size()));
    }
    m_position += bytes.size();
}

TFiler::~TFiler() = default;

void TFiler::DefineBinaryProperty(const QString &name, const TReadBinaryProc &read,
                                  const TWriteBinaryProc &write, bool hasData)
{
    TReadProc readValue;
    if (read)
        readValue = [read, name](const TStreamValue &value) {
            if (value.Type != vaBinary)
                throw EReadError(QStringLiteral("Invalid value for property %1").arg(name));
            read(value.Data);
        };
    TWriteProc writeValue;
    if (write)
        writeValue = [write] {
            return TStreamValue::Binary(write());
        };
    DefineProperty(name, readValue, writeValue, hasData);
}

TCustomStreaming::~TCustomStreaming() = default;

QString Windows1252ToString(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = std::uint8_t(bytes[i]);
        out[i] = c >= 0x80 && c < 0xA0 ? QChar(kWindows1252High[c - 0x80]) : QChar(c);
    }
    return text;
}

bool StringToWindows1252(const QString &text, QByteArray &bytes)
{
    bytes.resize(text.size());
    char *out = bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out[i] = char(c);
            continue;
        }
        const auto *end = std::end(kWindows1252High);
        const auto *found = std::find(std::begin(kWindows1252High), end, c);
        if (found == end)
            return false;
        out[i] = char(0x80 + (found - std::begin(kWindows1252High)));
    }
    return true;
}

// Extended is the x87 80-bit format here: the 10 stored bytes are its
// 64-bit significand (explicit integer bit) and its sign and 15-bit exponent.
static_assert(std::numeric_limits<long double>::digits == 64, "Extended must be x87 80-bit");
static_assert(std::endian::native == std::endian::little);

long double ExtendedFromBytes(const std::uint8_t bytes[10])
{
    unsigned char raw[sizeof(long double)] = {};
    std::memcpy(raw, bytes, 10);
    long double value;
    std::memcpy(&value, raw, sizeof value);
    return value;
}

void ExtendedToBytes(long double value, std::uint8_t bytes[10])
{
    unsigned char raw[sizeof(long double)];
    std::memcpy(raw, &value, sizeof value);
    std::memcpy(bytes, raw, 10);
}
