#include "CComponentStreamPrivate.h"

#include <bit>

namespace ComponentStreamDetail {

QByteArrayView TInput::Bytes(qint64 count)
{
    QByteArrayView bytes;
    if (count < 0 || !m_stream.ReadView(count, bytes))
        Fail();
    return bytes;
}

unsigned TInput::Peek() const
{
    if (m_stream.AtEnd())
        Fail();
    return std::uint8_t(m_stream.Data().at(m_stream.Position()));
}

qint64 TInput::Length()
{
    const auto length = LE<std::int32_t>();
    if (length < 0 || length > m_stream.Remaining())
        Fail();
    return length;
}

void TInput::Signature()
{
    if (Bytes(4) != QByteArrayView(kSignature, 4))
        Fail();
}

std::int64_t TInput::IntegerBody(unsigned tag)
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

TStreamObjectHeader TInput::Header()
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

TStreamValue TInput::Value(int depth)
{
    const unsigned tag = Byte();
    return ValueBody(tag, depth);
}

TStreamValue TInput::ValueBody(unsigned tag, int depth)
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

void TInput::SkipValue(int depth)
{
    const unsigned tag = Byte();
    SkipValueBody(tag, depth);
}

void TInput::SkipValueBody(unsigned tag, int depth)
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

QByteArrayView TInput::WStringBytes()
{
    const auto count = LE<std::int32_t>();
    if (count < 0 || count > m_stream.Remaining() / 2)
        Fail();
    return Bytes(qint64(count) * 2);
}

QString TInput::WString()
{
    const QByteArrayView bytes = WStringBytes();
    QString text(bytes.size() / 2, Qt::Uninitialized);
    // Copied a unit at a time: the bytes need not be aligned for char16_t.
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = qFromLittleEndian<std::uint16_t>(bytes.data() + 2 * i);
    return text;
}

TStreamCollectionItem TInput::CollectionItem(unsigned tag, int depth)
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

} // namespace ComponentStreamDetail
