#include "CPublished.h"

#include "CColor.h"

#include <QMetaClassInfo>
#include <QObject>
#include <cstdlib>

namespace {
using TKind = TPropertyKind;

std::optional<QString> DefaultLiteral(const QMetaObject *mo, const QMetaProperty &p)
{
    const QByteArray key = QByteArray("Default:") + p.name();
    const int index = mo->indexOfClassInfo(key.constData());
    if (index < 0)
        return std::nullopt;
    return QString::fromUtf8(mo->classInfo(index).value());
}

std::optional<QVariant> ParseLiteral(const QMetaProperty &p, const QString &text)
{
    bool ok = true;
    switch (PropertyKindOf(p)) {
    case TKind::Boolean:
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return QVariant(true);
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return QVariant(false);
        return std::nullopt;
    case TKind::Ordinal: {
        const qlonglong v = text.toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant(v)) : std::nullopt;
    }
    case TKind::Enumeration:
    case TKind::Flags: {
        const QMetaEnum e = p.enumerator();
        const QByteArray keys = text.toLatin1();
        const int v = e.isFlag() ? (keys.isEmpty() ? 0 : e.keysToValue(keys.constData(), &ok))
                                 : e.keyToValue(keys.constData(), &ok);
        return ok ? std::optional<QVariant>(QVariant(qlonglong(v))) : std::nullopt;
    }
    case TKind::Color: {
        TColor c;
        return StringToColor(text, &c) ? std::optional<QVariant>(QVariant::fromValue(c))
                                       : std::nullopt;
    }
    case TKind::Extended: {
        const QByteArray bytes = text.toLatin1();
        char *end = nullptr;
        const long double v = std::strtold(bytes.constData(), &end);
        if (bytes.isEmpty() || end != bytes.constData() + bytes.size())
            return std::nullopt;
        return QVariant::fromValue(v);
    }
    case TKind::Floating: {
        const double v = text.toDouble(&ok);
        return ok ? std::optional<QVariant>(QVariant(v)) : std::nullopt;
    }
    case TKind::Text:
        return QVariant(text);
    case TKind::Nested:
    case TKind::Reference:
        return std::nullopt;
    case TKind::StringList:
    case TKind::Bytes:
    case TKind::Other: {
        QVariant v(text);
        return v.convert(p.metaType()) ? std::optional<QVariant>(v) : std::nullopt;
    }
    }
    return std::nullopt;
}

bool SameValue(const QMetaProperty &p, const QVariant &value, const QVariant &def)
{
    switch (PropertyKindOf(p)) {
    case TKind::Boolean:
        return value.toBool() == def.toBool();
    case TKind::Ordinal:
    case TKind::Enumeration:
    case TKind::Flags:
        return value.toLongLong() == def.toLongLong();
    case TKind::Color:
        return value.value<TColor>() == def.value<TColor>();
    case TKind::Extended:
        return value.value<long double>() == def.value<long double>();
    case TKind::Floating:
        return value.toDouble() == def.toDouble();
    case TKind::Text:
        return value.toString() == def.toString();
    case TKind::Nested:
    case TKind::Reference:
        return false;
    case TKind::StringList:
    case TKind::Bytes:
    case TKind::Other:
        return value == def;
    }
    return false;
}
} // namespace

TPropertyKind PropertyKindOf(const QMetaProperty &p)
{
    if (p.isEnumType())
        return p.isFlagType() ? TKind::Flags : TKind::Enumeration;
    const QMetaType type = p.metaType();
    if (type == QMetaType::fromType<TColor>())
        return TKind::Color;
    if (type == QMetaType::fromType<long double>())
        return TKind::Extended;
    switch (type.id()) {
    case QMetaType::Bool:
        return TKind::Boolean;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
        return TKind::Ordinal;
    case QMetaType::Double:
    case QMetaType::Float:
        return TKind::Floating;
    case QMetaType::QString:
        return TKind::Text;
    case QMetaType::QStringList:
        return TKind::StringList;
    case QMetaType::QByteArray:
        return TKind::Bytes;
    default:
        break;
    }
    if (type.flags() & QMetaType::PointerToQObject)
        // A property object is reached, never replaced; a settable pointer is a reference.
        return p.isWritable() ? TKind::Reference : TKind::Nested;
    return TKind::Other;
}

bool IsFrameworkClass(const QMetaObject *metaObject)
{
    return metaObject->className()[0] == 'Q';
}

QList<QMetaProperty> StoredProperties(const QMetaObject *metaObject)
{
    // Meta-object property indices already run ancestors first, each class
    // in declaration order; framework ancestors are skipped as a block.
    QList<QMetaProperty> result;
    for (int i = 0; i < metaObject->propertyCount(); ++i) {
        const QMetaProperty p = metaObject->property(i);
        if (!p.isStored() || IsFrameworkClass(p.enclosingMetaObject()))
            continue;
        result.append(p);
    }
    return result;
}

QMetaProperty FindStoredProperty(const QMetaObject *metaObject, const QString &name)
{
    for (const QMetaProperty &p : StoredProperties(metaObject))
        if (name.compare(QLatin1String(p.name()), Qt::CaseInsensitive) == 0)
            return p;
    return {};
}

std::optional<QVariant> DeclaredDefault(const QMetaObject *metaObject,
                                        const QMetaProperty &property)
{
    if (const auto literal = DefaultLiteral(metaObject, property)) {
        if (*literal == QLatin1String("nodefault"))
            return std::nullopt;
        auto value = ParseLiteral(property, *literal);
        Q_ASSERT_X(value, property.name(), "declared default does not parse");
        return value;
    }
    switch (PropertyKindOf(property)) {
    case TKind::Text:
        return QVariant(QString());
    case TKind::Extended:
        return QVariant::fromValue(0.0L);
    case TKind::Floating:
        return QVariant(0.0);
    default:
        return std::nullopt;
    }
}

bool IsDefaultValue(const QObject *object, const QMetaProperty &property)
{
    const auto def = DeclaredDefault(object->metaObject(), property);
    return def && SameValue(property, property.read(object), *def);
}

QString PropertyValueText(const QObject *object, const QMetaProperty &property)
{
    const QVariant v = property.read(object);
    switch (PropertyKindOf(property)) {
    case TKind::Boolean:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case TKind::Enumeration:
    case TKind::Flags: {
        const QMetaEnum e = property.enumerator();
        const int n = int(v.toLongLong());
        return QString::fromLatin1(e.isFlag() ? e.valueToKeys(n) : QByteArray(e.valueToKey(n)));
    }
    case TKind::Color:
        return ColorToString(v.value<TColor>());
    case TKind::Extended:
        return QString::number(double(v.value<long double>()), 'g', 18);
    case TKind::Nested:
    case TKind::Reference: {
        const QObject *o = v.value<QObject *>();
        return o ? o->objectName() : QString();
    }
    default:
        return v.toString();
    }
}

bool SetPropertyValueText(QObject *object, const QMetaProperty &property, const QString &text)
{
    const auto value = ParseLiteral(property, text);
    return value && property.write(object, *value);
}
