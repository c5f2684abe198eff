#include "CComponentStream.h"
#include "CComponentStreamPrivate.h"

#include "CClassRegistry.h"
#include "CColor.h"
#include "CPageControl.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QtEndian>
#include <bit>
#include <cstring>
#include <limits>
#include <map>

using namespace ComponentStreamDetail;

namespace {
// Nested property objects on the writing side; deeper means a cycle.
constexpr int kMaxNesting = 16;

[[noreturn]] void WriteFail(const QString &what)
{
    throw EVeloraError(QStringLiteral("Stream write error: %1").arg(what));
}

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
} // namespace

// ---------------------------------------------------------------------------

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
