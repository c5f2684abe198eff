#include "CComponentStream.h"

#include <charconv>

namespace {
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
} // namespace

// ---------------------------------------------------------------------------

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
