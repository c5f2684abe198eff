#pragma once
// Published properties on the Qt meta-object system: the stored properties a
// document records, in declaration order with ancestors first, and the
// defaults that let the writer leave unchanged values out.
//
// A class declares a default next to its property:
//     Q_PROPERTY(bool GeneralDisplay READ ... WRITE ...)
//     Q_CLASSINFO("Default:GeneralDisplay", "true")
// Literals: true/false, integers, decimal numbers, enumeration member names
// (flags joined by "|", "" for the empty set), colour identifiers or numbers,
// and plain text. Without a declaration, ordinal properties (integers, Booleans,
// enumerations, sets, colours) are always stored, texts default to empty and
// floating-point values to 0. The literal "nodefault" makes a property always stored.

#include <QList>
#include <QMetaProperty>
#include <QVariant>
#include <climits>
#include <cmath>
#include <optional>

using Extended = long double;

// Round half to even, as every rounding of the design does.
// Values read from files may be anything: NaN gives 0 and the rest saturates.
inline long long SaturatedInteger(Extended value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 0x1p63L)
        return LLONG_MAX;
    if (value < -0x1p63L)
        return LLONG_MIN;
    return static_cast<long long>(value);
}
inline long long Round(Extended value)
{
    // As nearbyint in the default rounding mode (half to even) without its call, which
    // painting makes for every character: below 2^62 in size, adding 2^63 leaves no
    // bits for a fraction, so the sum is the rounded value.
    constexpr Extended kShift = 0x1p63L;
    if (value >= 0 && value < 0x1p62L)
        return static_cast<long long>((value + kShift) - kShift);
    if (value < 0 && value > -0x1p62L)
        return static_cast<long long>((value - kShift) + kShift);
    return SaturatedInteger(std::nearbyint(value));
}
inline long long Trunc(Extended value)
{
    return SaturatedInteger(std::trunc(value));
}

// How a published property's value is stored, compared and streamed.
enum class TPropertyKind {
    Boolean,
    Ordinal,
    Enumeration,
    Flags,
    Color,
    Extended,
    Floating,
    Text,
    StringList,
    Bytes,
    Nested, // a property object, reached and never replaced
    Reference, // a settable pointer to another object
    Other
};
TPropertyKind PropertyKindOf(const QMetaProperty &property);

// Classes of the Qt framework publish nothing; ours start below them.
bool IsFrameworkClass(const QMetaObject *metaObject);

// Stored published properties, ancestors first, each in declaration order.
QList<QMetaProperty> StoredProperties(const QMetaObject *metaObject);
QMetaProperty FindStoredProperty(const QMetaObject *metaObject, const QString &name);

// The default a class (or its nearest ancestor declaring one) gives a
// property; nothing when the property is always stored.
std::optional<QVariant> DeclaredDefault(const QMetaObject *metaObject,
                                        const QMetaProperty &property);

// True when the object's value equals the declared default, so a writer skips it.
bool IsDefaultValue(const QObject *object, const QMetaProperty &property);

// The property's value as a literal of the kind defaults are declared in.
QString PropertyValueText(const QObject *object, const QMetaProperty &property);
// Writes a value given as PropertyValueText gives it; false when the text does not
// parse as the property's kind or the object refuses it.
bool SetPropertyValueText(QObject *object, const QMetaProperty &property, const QString &text);
