#include "CComponentStream.h"
#include "CComponentStreamPrivate.h"

#include "CClassRegistry.h"
#include "CColor.h"
#include "CPageControl.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QPointer>
#include <QWidget>
#include <memory>

using namespace ComponentStreamDetail;

namespace {
// Back from the raw integer to the enumeration's own type; nothing when it does not fit.
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
            // In range for the type, so its bits are the value's: no conversion needed.
            return OrdinalVariant(type, value.Int);
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

void ReadComponent(TMemoryStream &stream, TComponent *root)
{
    Q_ASSERT(root);
    TReader(stream).Read(root, nullptr);
}

TComponent *ReadNewComponent(TMemoryStream &stream, TComponent *owner)
{
    return TReader(stream).Read(nullptr, owner);
}
