#include "CComponentStream.h"

#include "CClassRegistry.h"
#include "CColor.h"
#include "CPageControl.h"
#include "CPublished.h"

#include <QHash>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QPointer>
#include <QWidget>
#include <QtEndian>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <map>
#include <memory>

const char *const SReadError = "Read Error.";

namespace {
const char kSignature[4] = {'T', 'P', 'F', '0'};
// Objects and nested values together; real documents stay below 10.
constexpr int kMaxDepth = 64;
// Nested property objects on the writing side; deeper means a cycle.
constexpr int kMaxNesting = 16;

// Codes 0x80 to 0x9F; the five unassigned ones keep their own value so that
// any byte reads and writes back unchanged.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

[[noreturn]] void Fail()
{
    throw EReadError(QString::fromLatin1(SReadError));
}

[[noreturn]] void WriteFail(const QString &what)
{
    throw EVeloraError(QStringLiteral("Stream write error: %1").arg(what));
}

bool IsIntegerTag(unsigned tag)
{
    return tag == vaInt8 || tag == vaInt16 || tag == vaInt32 || tag == vaInt64;
}

bool IsTextTag(unsigned tag)
{
    return tag == vaString || tag == vaLString || tag == vaWString || tag == vaUTF8String;
}

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
    QHash<QString, int> ByLowerName;
    // Declared defaults, parsed once per class and only for writing.
    std::vector<std::optional<QVariant>> Defaults;
    bool DefaultsDone = false;
};

// Per reading or writing session: plug-ins may unload their classes in between.
class TClassCache
{
public:
    TClassProps &Of(const QMetaObject *metaObject)
    {
        auto it = m_classes.find(metaObject);
        if (it != m_classes.end())
            return it->second;
        TClassProps &props = m_classes[metaObject];
        for (const QMetaProperty &p : StoredProperties(metaObject)) {
            props.ByLowerName.insert(QString::fromLatin1(p.name()).toLower(),
                                     int(props.List.size()));
            props.List.push_back({p, PropertyKindOf(p), QString::fromLatin1(p.name())});
        }
        return props;
    }
    const TPropInfo *Find(const QMetaObject *metaObject, QStringView name)
    {
        TClassProps &props = Of(metaObject);
        const auto it = props.ByLowerName.constFind(name.toString().toLower());
        return it == props.ByLowerName.constEnd() ? nullptr : &props.List[size_t(it.value())];
    }
    const std::vector<std::optional<QVariant>> &Defaults(const QMetaObject *metaObject)
    {
        TClassProps &props = Of(metaObject);
        if (!props.DefaultsDone) {
            for (const TPropInfo &info : props.List)
                props.Defaults.push_back(DeclaredDefault(metaObject, info.Prop));
            props.DefaultsDone = true;
        }
        return props.Defaults;
    }

private:
    std::map<const QMetaObject *, TClassProps> m_classes;
};

// Enumerations and flags are read and written as their raw integer, whatever the type's size.
std::int64_t RawOrdinal(const QVariant &value)
{
    const QMetaType type = value.metaType();
    const void *data = value.constData();
    switch (type.sizeOf()) {
    case 1:
        return *static_cast<const std::int8_t *>(data);
    case 2:
        return *static_cast<const std::int16_t *>(data);
    case 4:
        return *static_cast<const std::int32_t *>(data);
    case 8:
        return *static_cast<const std::int64_t *>(data);
    default:
        return value.toLongLong();
    }
}

std::optional<QVariant> OrdinalVariant(QMetaType type, std::int64_t value)
{
    switch (type.sizeOf()) {
    case 1: {
        if (value < INT8_MIN || value > UINT8_MAX)
            return std::nullopt;
        const auto v = std::int8_t(value);
        return QVariant(type, &v);
    }
    case 2: {
        if (value < INT16_MIN || value > UINT16_MAX)
            return std::nullopt;
        const auto v = std::int16_t(value);
        return QVariant(type, &v);
    }
    case 4: {
        if (value < INT32_MIN || value > UINT32_MAX)
            return std::nullopt;
        const auto v = std::int32_t(value);
        return QVariant(type, &v);
    }
    case 8:
        return QVariant(type, &value);
    default:
        return std::nullopt;
    }
}

bool SameValue(TKind kind, const QVariant &a, const QVariant &b)
{
    switch (kind) {
    case TKind::Boolean:
        return a.toBool() == b.toBool();
    case TKind::Ordinal:
        return a.toLongLong() == b.toLongLong() && a.toULongLong() == b.toULongLong();
    case TKind::Enumeration:
    case TKind::Flags:
        // A declared default is parsed to a plain integer, the value is of the enum's type.
        return (a.metaType().id() < QMetaType::User ? a.toLongLong() : RawOrdinal(a))
            == (b.metaType().id() < QMetaType::User ? b.toLongLong() : RawOrdinal(b));
    case TKind::Color:
        return a.value<TColor>() == b.value<TColor>();
    case TKind::Extended: {
        // Bit for bit: a negative zero is a value of its own.
        std::uint8_t x[10], y[10];
        ExtendedToBytes(a.value<long double>(), x);
        ExtendedToBytes(b.value<long double>(), y);
        return std::memcmp(x, y, 10) == 0;
    }
    case TKind::Floating:
        return std::bit_cast<std::uint64_t>(a.toDouble())
            == std::bit_cast<std::uint64_t>(b.toDouble());
    case TKind::Text:
        return a.toString() == b.toString();
    case TKind::StringList:
        return a.toStringList() == b.toStringList();
    case TKind::Bytes:
        return a.toByteArray() == b.toByteArray();
    case TKind::Reference:
        return a.value<QObject *>() == b.value<QObject *>();
    case TKind::Nested:
    case TKind::Other:
        return a == b;
    }
    return false;
}

// The components a record lists as its children, in the order they are shown.
QList<TComponent *> StreamChildren(QObject *object, TComponent *root)
{
    QList<TComponent *> result;
    auto take = [&](QObject *child) {
        auto *component = dynamic_cast<TComponent *>(child);
        if (component && component->Owner() == root)
            result.append(component);
    };
    // A page control's pages are children of its internal stack, not of the control.
    if (auto *pages = qobject_cast<TPageControl *>(object)) {
        for (int i = 0; i < pages->count(); ++i)
            take(pages->widget(i));
        return result;
    }
    for (QObject *child : object->children())
        take(child);
    return result;
}

// ---------------------------------------------------------------------------
// Writing.

class TWriter;

class TWriteFiler : public TFiler
{
public:
    TWriteFiler(TWriter &writer, const QString &prefix) : m_writer(writer), m_prefix(prefix) { }
    void DefineProperty(const QString &name, const TReadProc &, const TWriteProc &write,
                        bool hasData) override;

private:
    TWriter &m_writer;
    QString m_prefix;
};

class TWriter
{
public:
    TWriter(QByteArray &out, TComponent *root) : m_out(out), m_root(root) { }
    ~TWriter()
    {
        for (auto &[metaObject, prototype] : m_prototypes)
            if (prototype)
                delete prototype->Object();
    }
    TWriter(const TWriter &) = delete;
    TWriter &operator=(const TWriter &) = delete;

    void WriteRoot()
    {
        m_out.append(kSignature, 4);
        WriteObject(m_root);
    }

    void WriteNamedValue(const QString &path, const TStreamValue &value)
    {
        WriteShortString(path);
        WriteValue(value);
    }

private:
    void WriteObject(TComponent *component)
    {
        QObject *object = component->Object();
        WriteShortString(QString::fromLatin1(object->metaObject()->className()));
        WriteShortString(component->Name());
        WriteProperties(object, Prototype(object), QString(), 0);
        m_out.append('\0');
        for (TComponent *child : StreamChildren(object, m_root))
            WriteObject(child);
        m_out.append('\0');
    }

    // A new object of the class, to learn the values its constructor gives;
    // null for classes that streams cannot create.
    QObject *Prototype(QObject *object)
    {
        const QMetaObject *metaObject = object->metaObject();
        auto it = m_prototypes.find(metaObject);
        if (it == m_prototypes.end()) {
            TComponent *prototype = nullptr;
            const TRegisteredClass *cls = GetClass(QString::fromLatin1(metaObject->className()));
            if (cls && cls->MetaObject == metaObject && cls->Create) {
                try {
                    prototype = cls->Create(nullptr);
                } catch (const std::exception &) {
                    prototype = nullptr;
                }
            }
            it = m_prototypes.emplace(metaObject, prototype).first;
        }
        return it->second ? it->second->Object() : nullptr;
    }

    void WriteProperties(QObject *object, QObject *prototype, const QString &prefix, int nesting)
    {
        if (nesting > kMaxNesting)
            WriteFail(prefix);
        const QMetaObject *metaObject = object->metaObject();
        const TClassProps &props = m_classes.Of(metaObject);
        const auto &defaults = m_classes.Defaults(metaObject);
        for (size_t i = 0; i < props.List.size(); ++i) {
            const TPropInfo &info = props.List[i];
            if (info.Kind == TKind::Nested) {
                WriteNested(object, prototype, info, prefix, nesting);
                continue;
            }
            if (!info.Prop.isWritable() || info.Kind == TKind::Other)
                continue;
            const QVariant value = info.Prop.read(object);
            if (IsDefault(info, value, defaults[i], prototype))
                continue;
            WriteProperty(prefix + info.Name, info, value);
        }
        if (auto *custom = dynamic_cast<TCustomStreaming *>(object)) {
            TWriteFiler filer(*this, prefix);
            custom->DefineProperties(filer);
        }
    }

    void WriteNested(QObject *object, QObject *prototype, const TPropInfo &info,
                     const QString &prefix, int nesting)
    {
        QObject *inner = info.Prop.read(object).value<QObject *>();
        if (!inner)
            return;
        QObject *innerPrototype
            = prototype ? info.Prop.read(prototype).value<QObject *>() : nullptr;
        if (innerPrototype && innerPrototype->metaObject() != inner->metaObject())
            innerPrototype = nullptr;
        WriteProperties(inner, innerPrototype, prefix + info.Name + u'.', nesting + 1);
    }

    // Left out only when it equals the declared default and what the class's
    // own constructor gives: a kind that starts from another value than its
    // base declares must still record a change back to the base's value.
    static bool IsDefault(const TPropInfo &info, const QVariant &value,
                          const std::optional<QVariant> &declared, QObject *prototype)
    {
        bool isDeclared = false;
        if (declared)
            isDeclared = SameValue(info.Kind, value, *declared);
        else if (info.Kind == TKind::StringList)
            isDeclared = value.toStringList().isEmpty();
        else if (info.Kind == TKind::Bytes)
            isDeclared = value.toByteArray().isEmpty();
        else if (info.Kind == TKind::Reference)
            isDeclared = !value.value<QObject *>();
        return isDeclared && (!prototype || SameValue(info.Kind, value, info.Prop.read(prototype)));
    }

    void WriteProperty(const QString &path, const TPropInfo &info, const QVariant &value)
    {
        switch (info.Kind) {
        case TKind::Boolean:
            WriteShortString(path);
            WriteByte(value.toBool() ? vaTrue : vaFalse);
            break;
        case TKind::Ordinal:
            WriteShortString(path);
            if (value.metaType().id() == QMetaType::ULongLong
                && value.toULongLong() > quint64(std::numeric_limits<std::int64_t>::max()))
                WriteFail(path);
            WriteInteger(value.toLongLong());
            break;
        case TKind::Enumeration: {
            WriteShortString(path);
            const std::int64_t n = RawOrdinal(value);
            const char *key = info.Prop.enumerator().valueToKey(int(n));
            if (key && n >= INT32_MIN && n <= INT32_MAX) {
                WriteByte(vaIdent);
                WriteShortString(QString::fromLatin1(key));
            } else {
                WriteInteger(n);
            }
            break;
        }
        case TKind::Flags:
            WriteShortString(path);
            WriteSet(info.Prop.enumerator(), RawOrdinal(value));
            break;
        case TKind::Color: {
            WriteShortString(path);
            const TColor color = value.value<TColor>();
            const QString ident = ColorToIdent(color);
            if (ident.isEmpty()) {
                WriteInteger(color.Value);
            } else {
                WriteByte(vaIdent);
                WriteShortString(ident);
            }
            break;
        }
        case TKind::Extended:
            WriteShortString(path);
            WriteExtended(value.value<long double>());
            break;
        case TKind::Floating:
            WriteShortString(path);
            if (value.metaType().id() == QMetaType::Float) {
                WriteByte(vaSingle);
                WriteLE(std::bit_cast<std::uint32_t>(value.toFloat()));
            } else {
                WriteExtended(value.toDouble());
            }
            break;
        case TKind::Text:
            WriteShortString(path);
            WriteText(value.toString());
            break;
        case TKind::StringList: {
            // A list is stored as its lines, under the list's own Strings.
            WriteShortString(path + QStringLiteral(".Strings"));
            WriteByte(vaList);
            for (const QString &line : value.toStringList())
                WriteText(line);
            WriteByte(vaNull);
            break;
        }
        case TKind::Bytes:
            WriteShortString(path);
            WriteBinary(value.toByteArray());
            break;
        case TKind::Reference: {
            const QObject *target = value.value<QObject *>();
            const auto *component = dynamic_cast<const TComponent *>(target);
            const QString name = component ? component->Name() : QString();
            if (name.isEmpty())
                return;
            WriteShortString(path);
            WriteByte(vaIdent);
            WriteShortString(name);
            break;
        }
        case TKind::Nested:
        case TKind::Other:
            break;
        }
    }

    void WriteValue(const TStreamValue &value)
    {
        switch (value.Type) {
        case vaNull:
            WriteFail(QStringLiteral("a value may not be Null"));
        case vaList:
            WriteByte(vaList);
            for (const TStreamValue &item : value.Items)
                WriteValue(item);
            WriteByte(vaNull);
            break;
        case vaInt8:
        case vaInt16:
        case vaInt32:
            WriteInteger(value.Int);
            break;
        case vaInt64:
            WriteByte(vaInt64);
            WriteLE(value.Int);
            break;
        case vaExtended:
            WriteExtended(value.Float);
            break;
        case vaSingle:
            WriteByte(vaSingle);
            WriteLE(std::bit_cast<std::uint32_t>(float(value.Float)));
            break;
        case vaDate:
            WriteByte(vaDate);
            WriteLE(std::bit_cast<std::uint64_t>(double(value.Float)));
            break;
        case vaCurrency:
            WriteByte(vaCurrency);
            WriteLE(value.Int);
            break;
        case vaString:
        case vaLString:
            WriteText(value.Text);
            break;
        case vaWString:
            WriteWString(value.Text);
            break;
        case vaUTF8String: {
            const QByteArray bytes = value.Text.toUtf8();
            WriteByte(vaUTF8String);
            WriteLength(bytes.size());
            m_out.append(bytes);
            break;
        }
        case vaIdent:
            WriteByte(vaIdent);
            WriteShortString(value.Text);
            break;
        case vaFalse:
        case vaTrue:
        case vaNil:
            WriteByte(value.Type);
            break;
        case vaBinary:
            WriteBinary(value.Data);
            break;
        case vaSet:
            WriteByte(vaSet);
            for (const QString &member : value.Members)
                if (!member.isEmpty())
                    WriteShortString(member);
            WriteByte(0);
            break;
        case vaCollection:
            WriteByte(vaCollection);
            for (const TStreamCollectionItem &item : value.Collection) {
                if (item.Order)
                    WriteInteger(*item.Order);
                WriteByte(vaList);
                for (const TStreamProperty &property : item.Properties)
                    WriteNamedValue(property.Path, property.Value);
                WriteByte(vaNull);
            }
            WriteByte(vaNull);
            break;
        default:
            WriteFail(QStringLiteral("unknown value type"));
        }
    }

    void WriteByte(unsigned byte) { m_out.append(char(byte)); }

    template<class T>
    void WriteLE(T value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian(value, bytes);
        m_out.append(bytes, sizeof(T));
    }

    void WriteLength(qsizetype length)
    {
        if (length > std::numeric_limits<std::int32_t>::max())
            WriteFail(QStringLiteral("value too long"));
        WriteLE(std::int32_t(length));
    }

    void WriteShortString(const QString &text)
    {
        QByteArray bytes;
        if (!StringToWindows1252(text, bytes) || bytes.size() > 255)
            WriteFail(text.left(64));
        WriteByte(unsigned(bytes.size()));
        m_out.append(bytes);
    }

    void WriteInteger(std::int64_t n)
    {
        if (n >= INT8_MIN && n <= INT8_MAX) {
            WriteByte(vaInt8);
            WriteLE(std::int8_t(n));
        } else if (n >= INT16_MIN && n <= INT16_MAX) {
            WriteByte(vaInt16);
            WriteLE(std::int16_t(n));
        } else if (n >= INT32_MIN && n <= INT32_MAX) {
            WriteByte(vaInt32);
            WriteLE(std::int32_t(n));
        } else {
            WriteByte(vaInt64);
            WriteLE(n);
        }
    }

    void WriteExtended(long double value)
    {
        std::uint8_t bytes[10];
        ExtendedToBytes(value, bytes);
        WriteByte(vaExtended);
        m_out.append(reinterpret_cast<const char *>(bytes), 10);
    }

    // 8-bit when every character has a Windows-1252 code, UTF-16 otherwise.
    void WriteText(const QString &text)
    {
        QByteArray bytes;
        if (!StringToWindows1252(text, bytes)) {
            WriteWString(text);
        } else if (bytes.size() <= 255) {
            WriteByte(vaString);
            WriteByte(unsigned(bytes.size()));
            m_out.append(bytes);
        } else {
            WriteByte(vaLString);
            WriteLength(bytes.size());
            m_out.append(bytes);
        }
    }

    void WriteWString(const QString &text)
    {
        WriteByte(vaWString);
        WriteLength(text.size());
        for (QChar c : text)
            WriteLE(std::uint16_t(c.unicode()));
    }

    void WriteBinary(const QByteArray &bytes)
    {
        WriteByte(vaBinary);
        WriteLength(bytes.size());
        m_out.append(bytes);
    }

    void WriteSet(const QMetaEnum &e, std::int64_t value)
    {
        WriteByte(vaSet);
        for (int i = 0; i < e.keyCount(); ++i) {
            const auto bit = std::int64_t(unsigned(e.value(i)));
            if (bit != 0 && std::has_single_bit(std::uint64_t(bit)) && (value & bit) == bit)
                WriteShortString(QString::fromLatin1(e.key(i)));
        }
        WriteByte(0);
    }

    QByteArray &m_out;
    TComponent *m_root;
    TClassCache m_classes;
    std::map<const QMetaObject *, TComponent *> m_prototypes;
};

void TWriteFiler::DefineProperty(const QString &name, const TReadProc &, const TWriteProc &write,
                                 bool hasData)
{
    if (hasData && write)
        m_writer.WriteNamedValue(m_prefix + name, write());
}

// ---------------------------------------------------------------------------
// Reading: the bounds-checked primitives shared by the reader and the walk.

class TInput
{
public:
    explicit TInput(TMemoryStream &stream) : m_stream(stream) { }

    QByteArrayView Bytes(qint64 count)
    {
        QByteArrayView bytes;
        if (count < 0 || !m_stream.ReadView(count, bytes))
            Fail();
        return bytes;
    }
    unsigned Byte() { return std::uint8_t(Bytes(1)[0]); }
    unsigned Peek() const
    {
        if (m_stream.AtEnd())
            Fail();
        return std::uint8_t(m_stream.Data().at(m_stream.Position()));
    }
    template<class T>
    T LE()
    {
        return qFromLittleEndian<T>(Bytes(sizeof(T)).data());
    }
    qint64 Length()
    {
        const auto length = LE<std::int32_t>();
        if (length < 0 || length > m_stream.Remaining())
            Fail();
        return length;
    }
    QString ShortString() { return Windows1252ToString(Bytes(Byte())); }

    void Signature()
    {
        if (Bytes(4) != QByteArrayView(kSignature, 4))
            Fail();
    }

    std::int64_t IntegerBody(unsigned tag)
    {
        switch (tag) {
        case vaInt8:
            return LE<std::int8_t>();
        case vaInt16:
            return LE<std::int16_t>();
        case vaInt32:
            return LE<std::int32_t>();
        case vaInt64:
            return LE<std::int64_t>();
        default:
            Fail();
        }
    }

    TStreamObjectHeader Header()
    {
        TStreamObjectHeader header;
        const unsigned prefix = Peek();
        if ((prefix & 0xF0) == 0xF0) {
            Byte();
            header.Flags = prefix & 0x0F;
            if (header.Flags & ffChildPos) {
                const unsigned tag = Byte();
                if (tag != vaInt8 && tag != vaInt16 && tag != vaInt32)
                    Fail();
                header.ChildPos = IntegerBody(tag);
            }
        }
        header.ClassName = ShortString();
        if (header.ClassName.isEmpty())
            Fail();
        header.Name = ShortString();
        return header;
    }

    TStreamValue Value(int depth)
    {
        const unsigned tag = Byte();
        return ValueBody(tag, depth);
    }

    TStreamValue ValueBody(unsigned tag, int depth)
    {
        if (depth > kMaxDepth)
            Fail();
        TStreamValue value;
        value.Type = TValueType(tag);
        switch (tag) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil:
            break;
        case vaList:
            for (unsigned next = Byte(); next != vaNull; next = Byte())
                value.Items.push_back(ValueBody(next, depth + 1));
            break;
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64:
            value.Int = IntegerBody(tag);
            break;
        case vaExtended: {
            const QByteArrayView bytes = Bytes(10);
            value.Float = ExtendedFromBytes(reinterpret_cast<const std::uint8_t *>(bytes.data()));
            break;
        }
        case vaString:
            value.Text = Windows1252ToString(Bytes(Byte()));
            break;
        case vaIdent:
            value.Text = ShortString();
            break;
        case vaLString:
            value.Text = Windows1252ToString(Bytes(Length()));
            break;
        case vaWString:
            value.Text = WString();
            break;
        case vaUTF8String:
            value.Text = QString::fromUtf8(Bytes(Length()));
            break;
        case vaBinary: {
            const QByteArrayView bytes = Bytes(Length());
            value.Data = QByteArray(bytes.data(), bytes.size());
            break;
        }
        case vaSet:
            for (QString member = ShortString(); !member.isEmpty(); member = ShortString())
                value.Members.append(member);
            break;
        case vaCollection:
            for (unsigned next = Byte(); next != vaNull; next = Byte())
                value.Collection.push_back(CollectionItem(next, depth + 1));
            break;
        case vaSingle:
            value.Float = std::bit_cast<float>(LE<std::uint32_t>());
            break;
        case vaCurrency:
            value.Int = LE<std::int64_t>();
            break;
        case vaDate:
            value.Float = std::bit_cast<double>(LE<std::uint64_t>());
            break;
        default:
            Fail();
        }
        return value;
    }

    void SkipValue(int depth)
    {
        const unsigned tag = Byte();
        SkipValueBody(tag, depth);
    }

    void SkipValueBody(unsigned tag, int depth)
    {
        if (depth > kMaxDepth)
            Fail();
        switch (tag) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil:
            break;
        case vaList:
            for (unsigned next = Byte(); next != vaNull; next = Byte())
                SkipValueBody(next, depth + 1);
            break;
        case vaInt8:
            Bytes(1);
            break;
        case vaInt16:
            Bytes(2);
            break;
        case vaInt32:
        case vaSingle:
            Bytes(4);
            break;
        case vaInt64:
        case vaCurrency:
        case vaDate:
            Bytes(8);
            break;
        case vaExtended:
            Bytes(10);
            break;
        case vaString:
        case vaIdent:
            Bytes(Byte());
            break;
        case vaLString:
        case vaUTF8String:
        case vaBinary:
            Bytes(Length());
            break;
        case vaWString:
            WStringBytes();
            break;
        case vaSet:
            while (const unsigned length = Byte())
                Bytes(length);
            break;
        case vaCollection:
            for (unsigned next = Byte(); next != vaNull; next = Byte()) {
                if (IsIntegerTag(next) && next != vaInt64) {
                    IntegerBody(next);
                    next = Byte();
                }
                if (next != vaList)
                    Fail();
                while (const unsigned length = Byte()) {
                    Bytes(length);
                    SkipValue(depth + 1);
                }
            }
            break;
        default:
            Fail();
        }
    }

private:
    QByteArrayView WStringBytes()
    {
        const auto count = LE<std::int32_t>();
        if (count < 0 || count > m_stream.Remaining() / 2)
            Fail();
        return Bytes(qint64(count) * 2);
    }

    QString WString()
    {
        const QByteArrayView bytes = WStringBytes();
        QString text(bytes.size() / 2, Qt::Uninitialized);
        // Copied a unit at a time: the bytes need not be aligned for char16_t.
        char16_t *out = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < text.size(); ++i)
            out[i] = qFromLittleEndian<std::uint16_t>(bytes.data() + 2 * i);
        return text;
    }

    TStreamCollectionItem CollectionItem(unsigned tag, int depth)
    {
        if (depth > kMaxDepth)
            Fail();
        TStreamCollectionItem item;
        if (IsIntegerTag(tag) && tag != vaInt64) {
            item.Order = IntegerBody(tag);
            tag = Byte();
        }
        if (tag != vaList)
            Fail();
        for (QString path = ShortString(); !path.isEmpty(); path = ShortString())
            item.Properties.push_back({path, Value(depth + 1)});
        return item;
    }

    TMemoryStream &m_stream;
};

// ---------------------------------------------------------------------------
// The walk: records in order, nothing created.

void WalkObject(TInput &in, TStreamVisitor &visitor, int depth)
{
    if (depth > kMaxDepth)
        Fail();
    visitor.BeginObject(in.Header(), depth);
    const bool values = visitor.WantsValues();
    static const TStreamValue skipped;
    for (QString path = in.ShortString(); !path.isEmpty(); path = in.ShortString()) {
        if (values) {
            visitor.Property(path, in.Value(depth + 1), depth);
        } else {
            in.SkipValue(depth + 1);
            visitor.Property(path, skipped, depth);
        }
    }
    while (in.Peek() != 0)
        WalkObject(in, visitor, depth + 1);
    in.Byte();
    visitor.EndObject(depth);
}

class TTextVisitor : public TStreamVisitor
{
public:
    void BeginObject(const TStreamObjectHeader &header, int depth) override
    {
        Indent(depth);
        if (header.Flags & ffInherited)
            m_text += QStringLiteral("inherited ");
        else if (header.Flags & ffInline)
            m_text += QStringLiteral("inline ");
        else
            m_text += QStringLiteral("object ");
        if (!header.Name.isEmpty())
            m_text += header.Name + QStringLiteral(": ");
        m_text += header.ClassName;
        if (header.ChildPos)
            m_text += QStringLiteral(" [%1]").arg(*header.ChildPos);
        m_text += u'\n';
    }
    void Property(const QString &path, const TStreamValue &value, int depth) override
    {
        Indent(depth + 1);
        m_text += path + QStringLiteral(" = ") + StreamValueText(value, depth + 1) + u'\n';
    }
    void EndObject(int depth) override
    {
        Indent(depth);
        m_text += QStringLiteral("end\n");
    }
    const QString &Text() const { return m_text; }

private:
    void Indent(int depth) { m_text += QString(2 * depth, u' '); }
    QString m_text;
};

QString QuotedText(const QString &text)
{
    QString result;
    bool quoted = false;
    for (QChar c : text) {
        if (c.unicode() < 32) {
            if (quoted)
                result += u'\'';
            quoted = false;
            result += u'#' + QString::number(c.unicode());
            continue;
        }
        if (!quoted)
            result += u'\'';
        quoted = true;
        result += c;
        if (c == u'\'')
            result += c;
    }
    if (quoted)
        result += u'\'';
    return result.isEmpty() ? QStringLiteral("''") : result;
}

template<class T>
QString NumberText(T value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString CurrencyText(std::int64_t value)
{
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(value) : std::uint64_t(value);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / 10000) + u'.'
        + QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QChar(u'0'));
}

// ---------------------------------------------------------------------------
// Reading into objects.

class TReadFiler : public TFiler
{
public:
    explicit TReadFiler(QStringView name) : m_name(name) { }
    void DefineProperty(const QString &name, const TReadProc &read, const TWriteProc &,
                        bool) override
    {
        if (!m_read && read && m_name.compare(name, Qt::CaseInsensitive) == 0)
            m_read = read;
    }
    const TReadProc &Read() const { return m_read; }

private:
    QStringView m_name;
    TReadProc m_read;
};

class TReader
{
public:
    explicit TReader(TMemoryStream &stream) : m_in(stream) { }

    TComponent *Read(TComponent *root, TComponent *owner)
    {
        m_in.Signature();
        const TStreamObjectHeader header = m_in.Header();
        std::unique_ptr<QObject> created;
        if (!root) {
            root = Create(header, owner);
            created.reset(root->Object());
        }
        m_root = root;
        try {
            Begin(root);
            if (created && !header.Name.isEmpty())
                root->SetName(header.Name);
            const QString context = !root->Name().isEmpty() ? root->Name()
                : !header.Name.isEmpty()                    ? header.Name
                                                            : header.ClassName;
            ReadBody(root->Object(), context, 0);
            ResolveFixups();
        } catch (...) {
            EndLoading();
            throw;
        }
        EndLoading();
        for (const auto &[object, component] : m_loaded)
            if (object)
                component->Loaded();
        created.release();
        return root;
    }

private:
    static TComponent *Create(const TStreamObjectHeader &header, TComponent *owner)
    {
        const TRegisteredClass *cls = GetClass(header.ClassName);
        TComponent *component = cls && cls->Create ? cls->Create(owner) : nullptr;
        if (!component)
            throw EReadError(QStringLiteral("Class %1 not found").arg(header.ClassName));
        return component;
    }

    void Begin(TComponent *component)
    {
        component->SetComponentState(csLoading | csReading, true);
        m_loaded.emplace_back(component->Object(), component);
    }

    void EndLoading()
    {
        for (const auto &[object, component] : m_loaded)
            if (object)
                component->SetComponentState(csLoading | csReading, false);
    }

    void ReadBody(QObject *object, const QString &context, int depth)
    {
        if (depth > kMaxDepth)
            Fail();
        for (QString path = m_in.ShortString(); !path.isEmpty(); path = m_in.ShortString())
            ReadProperty(object, path, context, depth);
        while (m_in.Peek() != 0)
            ReadChild(object, context, depth + 1);
        m_in.Byte();
    }

    void ReadChild(QObject *parent, const QString &context, int depth)
    {
        const TStreamObjectHeader header = m_in.Header();
        TComponent *child = nullptr;
        bool show = false;
        if (header.Flags & ffInherited) {
            child = m_root->FindComponent(header.Name);
            if (!child)
                throw EReadError(
                    QStringLiteral("%1: Ancestor for '%2' not found").arg(context, header.Name));
            Begin(child);
        } else {
            // Owned by the root from the start, so a failure below leaks nothing.
            child = Create(header, m_root);
            Begin(child);
            if (!header.Name.isEmpty())
                child->SetName(header.Name);
            show = Insert(parent, child->Object());
        }
        const QString childContext
            = context + u'.' + (header.Name.isEmpty() ? header.ClassName : header.Name);
        ReadBody(child->Object(), childContext, depth);
        if (show)
            static_cast<QWidget *>(child->Object())->show();
    }

    // Puts a new child below its parent; true when it must be shown once read.
    static bool Insert(QObject *parent, QObject *child)
    {
        if (!child->isWidgetType()) {
            child->setParent(parent);
            return false;
        }
        auto *widget = static_cast<QWidget *>(child);
        if (auto *pages = qobject_cast<TPageControl *>(parent)) {
            pages->addTab(widget, QString());
            return false;
        }
        if (!parent->isWidgetType())
            return false;
        auto *parentWidget = static_cast<QWidget *>(parent);
        const bool hidden = widget->testAttribute(Qt::WA_WState_ExplicitShowHide)
            && widget->testAttribute(Qt::WA_WState_Hidden);
        widget->setParent(parentWidget);
        return !hidden && parentWidget->isVisible();
    }

    [[noreturn]] static void PropertyError(const QString &context, const QString &path)
    {
        throw EReadError(QStringLiteral("%1: Property %2 does not exist").arg(context, path));
    }
    [[noreturn]] static void ValueError(const QString &context, const QString &path)
    {
        throw EReadError(QStringLiteral("%1: Invalid value for property %2").arg(context, path));
    }

    void ReadProperty(QObject *object, const QString &path, const QString &context, int depth)
    {
        QObject *target = object;
        QStringView rest(path);
        for (;;) {
            const qsizetype dot = rest.indexOf(u'.');
            const TPropInfo *info
                = m_classes.Find(target->metaObject(), dot < 0 ? rest : rest.left(dot));
            if (info && dot < 0) {
                Assign(target, *info, m_in.Value(depth + 1), context, path);
                return;
            }
            if (info && info->Kind == TKind::StringList
                && rest.mid(dot + 1).compare(u"Strings", Qt::CaseInsensitive) == 0) {
                Assign(target, *info, m_in.Value(depth + 1), context, path);
                return;
            }
            QObject *inner = info && info->Kind == TKind::Nested
                ? info->Prop.read(target).value<QObject *>()
                : nullptr;
            if (!inner)
                break;
            target = inner;
            rest = rest.mid(dot + 1);
        }
        // Values a class streams itself; their names may hold points of their own.
        if (auto *custom = dynamic_cast<TCustomStreaming *>(target)) {
            TReadFiler filer(rest);
            custom->DefineProperties(filer);
            if (filer.Read()) {
                filer.Read()(m_in.Value(depth + 1));
                return;
            }
        }
        PropertyError(context, path);
    }

    static std::optional<long double> Number(const TStreamValue &value)
    {
        if (value.IsInteger())
            return static_cast<long double>(value.Int);
        switch (value.Type) {
        case vaExtended:
        case vaSingle:
        case vaDate:
            return value.Float;
        case vaCurrency:
            return static_cast<long double>(value.Int) / 10000;
        default:
            return std::nullopt;
        }
    }

    static std::optional<std::int64_t> EnumKey(const QMetaEnum &e, const QString &name)
    {
        for (int i = 0; i < e.keyCount(); ++i)
            if (name.compare(QLatin1String(e.key(i)), Qt::CaseInsensitive) == 0)
                return e.value(i);
        return std::nullopt;
    }

    std::optional<QVariant> Convert(const TPropInfo &info, const TStreamValue &value,
                                    QObject *target)
    {
        const QMetaType type = info.Prop.metaType();
        switch (info.Kind) {
        case TKind::Boolean:
            if (value.Type == vaTrue || value.Type == vaFalse)
                return QVariant(value.Type == vaTrue);
            if (value.IsInteger())
                return QVariant(value.Int != 0);
            if (value.Type == vaIdent && value.Text.compare(u"True", Qt::CaseInsensitive) == 0)
                return QVariant(true);
            if (value.Type == vaIdent && value.Text.compare(u"False", Qt::CaseInsensitive) == 0)
                return QVariant(false);
            return std::nullopt;
        case TKind::Ordinal: {
            if (!value.IsInteger())
                return std::nullopt;
            const bool isUnsigned = type.id() == QMetaType::UInt || type.id() == QMetaType::UShort
                || type.id() == QMetaType::UChar || type.id() == QMetaType::ULong
                || type.id() == QMetaType::ULongLong;
            if (isUnsigned && value.Int < 0)
                return std::nullopt;
            const std::int64_t bits = 8 * type.sizeOf();
            if (bits < 64) {
                const std::int64_t max = isUnsigned ? (std::int64_t(1) << bits) - 1
                                                    : (std::int64_t(1) << (bits - 1)) - 1;
                const std::int64_t min = isUnsigned ? 0 : -max - 1;
                if (value.Int < min || value.Int > max)
                    return std::nullopt;
            }
            QVariant v(qlonglong(value.Int));
            return v.convert(type) ? std::optional<QVariant>(v) : std::nullopt;
        }
        case TKind::Enumeration: {
            const QMetaEnum e = info.Prop.enumerator();
            std::optional<std::int64_t> n;
            if (value.Type == vaIdent)
                n = EnumKey(e, value.Text);
            else if (value.IsInteger() && value.Int >= INT32_MIN && value.Int <= INT32_MAX
                     && e.valueToKey(int(value.Int)))
                n = value.Int;
            return n ? OrdinalVariant(type, *n) : std::nullopt;
        }
        case TKind::Flags: {
            const QMetaEnum e = info.Prop.enumerator();
            std::int64_t all = 0;
            for (int i = 0; i < e.keyCount(); ++i)
                all |= std::int64_t(unsigned(e.value(i)));
            std::int64_t n = 0;
            if (value.Type == vaSet) {
                for (const QString &member : value.Members) {
                    const auto bit = EnumKey(e, member);
                    if (!bit)
                        return std::nullopt;
                    n |= std::int64_t(unsigned(*bit));
                }
            } else if (value.IsInteger() && (value.Int & ~all) == 0) {
                n = value.Int;
            } else {
                return std::nullopt;
            }
            return OrdinalVariant(type, n);
        }
        case TKind::Color: {
            TColor color;
            if (value.Type == vaIdent && IdentToColor(value.Text, &color))
                return QVariant::fromValue(color);
            if (value.IsInteger() && value.Int >= INT32_MIN && value.Int <= UINT32_MAX)
                return QVariant::fromValue(TColor(std::int32_t(std::uint32_t(value.Int))));
            return std::nullopt;
        }
        case TKind::Extended: {
            const auto n = Number(value);
            return n ? std::optional<QVariant>(QVariant::fromValue(*n)) : std::nullopt;
        }
        case TKind::Floating: {
            const auto n = Number(value);
            if (!n)
                return std::nullopt;
            if (type.id() == QMetaType::Float)
                return QVariant(float(*n));
            return QVariant(double(*n));
        }
        case TKind::Text:
            return value.IsText() ? std::optional<QVariant>(value.Text) : std::nullopt;
        case TKind::StringList: {
            if (value.Type != vaList)
                return std::nullopt;
            QStringList lines;
            for (const TStreamValue &item : value.Items) {
                if (!item.IsText())
                    return std::nullopt;
                lines.append(item.Text);
            }
            return QVariant(lines);
        }
        case TKind::Bytes:
            return value.Type == vaBinary ? std::optional<QVariant>(value.Data) : std::nullopt;
        case TKind::Reference:
            if (value.Type == vaIdent) {
                // Resolved once the whole tree is in: the target may come later.
                m_fixups.push_back({target, info.Prop, value.Text});
                return QVariant();
            }
            if (value.Type == vaNil)
                return QVariant(type, nullptr);
            return std::nullopt;
        case TKind::Nested:
        case TKind::Other:
            return std::nullopt;
        }
        return std::nullopt;
    }

    void Assign(QObject *target, const TPropInfo &info, const TStreamValue &value,
                const QString &context, const QString &path)
    {
        if (!info.Prop.isWritable() && info.Kind != TKind::Nested)
            throw EReadError(QStringLiteral("%1: Property %2 is read-only").arg(context, path));
        const std::optional<QVariant> converted = Convert(info, value, target);
        if (!converted)
            ValueError(context, path);
        if (converted->isValid() && !info.Prop.write(target, *converted))
            ValueError(context, path);
    }

    void ResolveFixups()
    {
        for (const TFixup &fixup : m_fixups) {
            if (!fixup.Target)
                continue;
            TComponent *found = m_root->Name().compare(fixup.Name, Qt::CaseInsensitive) == 0
                ? m_root
                : m_root->FindComponent(fixup.Name);
            const QMetaType type = fixup.Prop.metaType();
            QObject *object = found ? found->Object() : nullptr;
            // QObject comes first in every Qt class, so the pointer needs no adjusting.
            if (object && type.metaObject() && object->metaObject()->inherits(type.metaObject()))
                fixup.Prop.write(fixup.Target, QVariant(type, &object));
        }
    }

    struct TFixup
    {
        QPointer<QObject> Target;
        QMetaProperty Prop;
        QString Name;
    };

    TInput m_in;
    TComponent *m_root = nullptr;
    TClassCache m_classes;
    // The object guards against touching a component a setter may have freed.
    std::vector<std::pair<QPointer<QObject>, TComponent *>> m_loaded;
    std::vector<TFixup> m_fixups;
};
} // namespace

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
    return IsIntegerTag(Type);
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
TStreamVisitor::~TStreamVisitor() = default;

void WriteComponent(TMemoryStream &stream, TComponent *root)
{
    stream.Write(ComponentToBytes(root));
}

QByteArray ComponentToBytes(TComponent *root)
{
    QByteArray bytes;
    TWriter(bytes, root).WriteRoot();
    return bytes;
}

void ReadComponent(TMemoryStream &stream, TComponent *root)
{
    Q_ASSERT(root);
    TReader(stream).Read(root, nullptr);
}

TComponent *ReadNewComponent(TMemoryStream &stream, TComponent *owner)
{
    return TReader(stream).Read(nullptr, owner);
}

void WalkComponent(TMemoryStream &stream, TStreamVisitor &visitor)
{
    TInput in(stream);
    in.Signature();
    WalkObject(in, visitor, 0);
}

std::optional<TStreamValue> PeekRootProperty(TMemoryStream &stream, const QString &path)
{
    class TPeek : public TStreamVisitor
    {
    public:
        explicit TPeek(const QString &path) : m_path(path) { }
        void BeginObject(const TStreamObjectHeader &, int) override { }
        void Property(const QString &path, const TStreamValue &value, int depth) override
        {
            if (depth == 0 && path.compare(m_path, Qt::CaseInsensitive) == 0)
                Found = value;
        }
        void EndObject(int) override { }
        std::optional<TStreamValue> Found;

    private:
        const QString &m_path;
    } peek(path);
    const qint64 start = stream.Position();
    try {
        WalkComponent(stream, peek);
    } catch (...) {
        stream.SetPosition(start);
        throw;
    }
    stream.SetPosition(start);
    return peek.Found;
}

QString ComponentToText(TMemoryStream &stream)
{
    TTextVisitor visitor;
    WalkComponent(stream, visitor);
    return visitor.Text();
}

QString StreamValueText(const TStreamValue &value, int indent)
{
    const QString inner(2 * (indent + 1), u' ');
    switch (value.Type) {
    case vaNull:
        return QStringLiteral("null");
    case vaList: {
        QString text = QStringLiteral("(");
        for (const TStreamValue &item : value.Items)
            text += u'\n' + inner + StreamValueText(item, indent + 1);
        return text + u')';
    }
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
        return QString::number(value.Int);
    case vaExtended:
        return NumberText(value.Float);
    case vaSingle:
        return NumberText(float(value.Float));
    case vaDate:
        return NumberText(double(value.Float));
    case vaCurrency:
        return CurrencyText(value.Int);
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String:
        return QuotedText(value.Text);
    case vaIdent:
        return value.Text;
    case vaFalse:
        return QStringLiteral("False");
    case vaTrue:
        return QStringLiteral("True");
    case vaNil:
        return QStringLiteral("nil");
    case vaBinary: {
        QString text = QStringLiteral("{");
        for (qsizetype i = 0; i < value.Data.size(); i += 32)
            text += u'\n' + inner + QString::fromLatin1(value.Data.mid(i, 32).toHex().toUpper());
        return text + u'}';
    }
    case vaSet:
        return u'[' + value.Members.join(QStringLiteral(", ")) + u']';
    case vaCollection: {
        QString text = QStringLiteral("<");
        const QString innerMost(2 * (indent + 2), u' ');
        for (const TStreamCollectionItem &item : value.Collection) {
            text += u'\n' + inner + QStringLiteral("item");
            if (item.Order)
                text += QStringLiteral(" [%1]").arg(*item.Order);
            for (const TStreamProperty &property : item.Properties)
                text += u'\n' + innerMost + property.Path + QStringLiteral(" = ")
                    + StreamValueText(property.Value, indent + 2);
            text += u'\n' + inner + QStringLiteral("end");
        }
        return text + u'>';
    }
    }
    return QString();
}

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
