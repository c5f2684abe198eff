#include "CClassRegistry.h"
#include "CComponentStream.h"
#include "CPageControl.h"
#include "test_component_stream_samples.h"

#include <QtEndian>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace {
// Stream bytes written out by hand.
struct TBuild
{
    QByteArray Bytes;
    TBuild &operator<<(int byte)
    {
        Bytes.append(char(byte));
        return *this;
    }
    TBuild &Short(QByteArrayView text)
    {
        Bytes.append(char(text.size()));
        Bytes.append(text);
        return *this;
    }
    template<class T>
    TBuild &LE(T value)
    {
        char raw[sizeof(T)];
        qToLittleEndian(value, raw);
        Bytes.append(raw, sizeof(T));
        return *this;
    }
    TBuild &Raw(QByteArrayView bytes)
    {
        Bytes.append(bytes);
        return *this;
    }
};

TBuild Record(QByteArrayView cls, QByteArrayView name)
{
    TBuild b;
    b.Raw("TPF0").Short(cls).Short(name);
    return b;
}

// A sample with one property record read into it.
std::unique_ptr<TSampleComponent> ReadProperty(QByteArrayView path, const QByteArray &value)
{
    TBuild b = Record("TSampleComponent", "S");
    b.Short(path).Raw(value) << 0 << 0;
    auto sample = std::make_unique<TSampleComponent>();
    TMemoryStream stream(b.Bytes);
    ReadComponent(stream, sample.get());
    EXPECT_TRUE(stream.AtEnd());
    return sample;
}

QString ReadFailure(const QByteArray &bytes, TComponent *root)
{
    TMemoryStream stream(bytes);
    try {
        ReadComponent(stream, root);
    } catch (const EVeloraError &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

// Every property record of a stream's root, by path.
class TRecords : public TStreamVisitor
{
public:
    void BeginObject(const TStreamObjectHeader &, int) override { }
    void Property(const QString &path, const TStreamValue &value, int depth) override
    {
        if (depth == 0)
            Values[path] = value;
        Paths.append(QString(depth, u'>') + path);
    }
    void EndObject(int) override { }
    std::map<QString, TStreamValue> Values;
    QStringList Paths;
};

TRecords RecordsOf(TComponent *root)
{
    TMemoryStream stream(ComponentToBytes(root));
    TRecords records;
    WalkComponent(stream, records);
    EXPECT_TRUE(stream.AtEnd());
    return records;
}

QByteArray ExtendedBytes(long double value)
{
    std::uint8_t bytes[10];
    ExtendedToBytes(value, bytes);
    return QByteArray(reinterpret_cast<const char *>(bytes), 10);
}
} // namespace

TEST(ComponentStream, WritesTheRecordByteForByteLeavingDefaultsOut)
{
    TSampleComponent sample;
    sample.SetName(QStringLiteral("Sample1"));
    sample.SetFlag(true);
    sample.SetCount(100);
    sample.SetBig(qint64(1) << 40);
    sample.SetCaption(QStringLiteral("Hi"));
    sample.SetStyle(psFixed);
    sample.SetFont(csBold | csUnderline);
    sample.SetColor(TColor(0x123456));
    sample.Group()->SetGroupAlign(taCenter);
    sample.Group()->GroupLeaf()->SetLeafWidth(3);

    TBuild expected = Record("TSampleComponent", "Sample1");
    expected.Short("Flag") << vaTrue;
    expected.Short("Count") << vaInt8 << 100;
    expected.Short("Big") << vaInt64;
    expected.LE(qint64(1) << 40);
    expected.Short("Caption") << vaString;
    expected.Short("Hi");
    expected.Short("Style") << vaIdent;
    expected.Short("psFixed");
    expected.Short("Font") << vaSet;
    expected.Short("csBold").Short("csUnderline") << 0;
    expected.Short("Color") << vaInt32;
    expected.LE(qint32(0x123456));
    // Nested objects in declaration order, inner properties with dotted paths.
    expected.Short("Group.GroupLeaf.LeafWidth") << vaInt8 << 3;
    expected.Short("Group.GroupAlign") << vaIdent;
    expected.Short("taCenter");
    expected << 0 << 0;
    EXPECT_EQ(ComponentToBytes(&sample).toHex(' '), expected.Bytes.toHex(' '));

    // A root's record can be looked at before it is read, as a load needs its page count.
    TMemoryStream stream(expected.Bytes);
    EXPECT_EQ(PeekRootProperty(stream, u"count"_qs)->Int, 100);
    EXPECT_FALSE(PeekRootProperty(stream, u"LeafWidth"_qs));
    EXPECT_EQ(stream.Position(), 0);

    TSampleComponent defaults;
    EXPECT_EQ(ComponentToBytes(&defaults), (Record("TSampleComponent", "") << 0 << 0).Bytes);
}

TEST(ComponentStream, IntegersTakeTheSmallestTagThatHoldsThem)
{
    const std::pair<qint64, TValueType> cases[] = {
        {127, vaInt8},
        {-128, vaInt8},
        {128, vaInt16},
        {-129, vaInt16},
        {32767, vaInt16},
        {32768, vaInt32},
        {-32769, vaInt32},
        {std::numeric_limits<qint32>::min(), vaInt32},
        {qint64(1) << 31, vaInt64},
        {std::numeric_limits<qint64>::min(), vaInt64},
    };
    for (const auto &[n, tag] : cases) {
        TSampleComponent sample;
        sample.SetBig(n);
        const TStreamValue value = RecordsOf(&sample).Values[QStringLiteral("Big")];
        EXPECT_EQ(value.Type, tag) << n;
        EXPECT_EQ(value.Int, n);

        TSampleComponent back;
        TMemoryStream stream(ComponentToBytes(&sample));
        ReadComponent(stream, &back);
        EXPECT_EQ(back.Big(), n);
    }
}

TEST(ComponentStream, TextIsWindows1252WhereItCanBeAndUtf16Otherwise)
{
    // The 8-bit form is Windows-1252 itself, not Latin-1: the euro sign is 0x80.
    const QString western = QStringLiteral("Grüße – “zitiert” 5 €");
    QByteArray bytes;
    ASSERT_TRUE(StringToWindows1252(western, bytes));
    EXPECT_EQ(bytes, QByteArray("Gr\xFC\xDF") + "e \x96 \x93zitiert\x94 5 \x80");
    EXPECT_EQ(Windows1252ToString(bytes), western);

    const struct
    {
        QString Text;
        TValueType Tag;
    } cases[] = {
        {western, vaString},
        {QString(255, u'x'), vaString},
        {QString(256, u'x'), vaLString},
        {QStringLiteral("Ωμέγα 😀"), vaWString},
        // C1 controls other than the five unassigned codes have no byte of their own.
        {QString(QChar(0x0080)), vaWString},
        {QString(QChar(0x0081)), vaString},
        {QString(), vaString},
    };
    for (const auto &c : cases) {
        TSampleComponent sample;
        sample.SetCaption(c.Text);
        sample.Group()->SetGroupLines({c.Text, QStringLiteral("b")});
        const TRecords records = RecordsOf(&sample);
        if (!c.Text.isEmpty()) {
            EXPECT_EQ(records.Values.at(QStringLiteral("Caption")).Type, c.Tag) << c.Text.size();
        }

        TSampleComponent back;
        TMemoryStream stream(ComponentToBytes(&sample));
        ReadComponent(stream, &back);
        EXPECT_EQ(back.Caption(), c.Text);
        EXPECT_EQ(back.Group()->GroupLines(), sample.Group()->GroupLines());
    }
}

TEST(ComponentStream, ExtendedValuesRoundTripBitForBit)
{
    // The stored form is the x87 format: significand with its integer bit, then sign and exponent.
    EXPECT_EQ(ExtendedBytes(1.0L).toHex(' '), "00 00 00 00 00 00 00 80 ff 3f");
    EXPECT_EQ(ExtendedBytes(-2.5L).toHex(' '), "00 00 00 00 00 00 00 a0 00 c0");

    const std::uint8_t nanWithPayload[10] = {1, 2, 3, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
    const long double values[] = {
        0.0L,
        -0.0L,
        1.0L / 3,
        10.005L,
        -123456789.987654321L,
        std::numeric_limits<long double>::denorm_min(),
        std::numeric_limits<long double>::min(),
        std::numeric_limits<long double>::max(),
        -std::numeric_limits<long double>::infinity(),
        ExtendedFromBytes(nanWithPayload),
    };
    for (const long double v : values) {
        TSampleComponent sample;
        sample.SetRatio(v);
        TSampleComponent back;
        TMemoryStream stream(ComponentToBytes(&sample));
        ReadComponent(stream, &back);
        EXPECT_EQ(ExtendedBytes(back.Ratio()).toHex(), ExtendedBytes(v).toHex());
    }
}

TEST(ComponentStream, ReadsEveryValueTag)
{
    auto le = [](auto v) {
        return TBuild().LE(v).Bytes;
    };
    auto tagged = [](int tag, const QByteArray &payload) {
        return char(tag) + payload;
    };
    auto shortText = [](QByteArrayView t) {
        return TBuild().Short(t).Bytes;
    };

    EXPECT_EQ(ReadProperty("Count", tagged(vaInt8, le(qint8(-5))))->Count(), -5);
    EXPECT_EQ(ReadProperty("Count", tagged(vaInt16, le(qint16(-300))))->Count(), -300);
    EXPECT_EQ(ReadProperty("Count", tagged(vaInt32, le(qint32(100000))))->Count(), 100000);
    EXPECT_EQ(ReadProperty("Big", tagged(vaInt64, le(qint64(1) << 50)))->Big(), qint64(1) << 50);
    EXPECT_EQ(ReadProperty("Ratio", tagged(vaExtended, ExtendedBytes(1.5L)))->Ratio(), 1.5L);
    EXPECT_EQ(ReadProperty("Scale", tagged(vaSingle, le(0x3E800000u)))->Scale(), 0.25);
    EXPECT_EQ(ReadProperty("Ratio", tagged(vaCurrency, le(qint64(12345))))->Ratio(),
              12345.0L / 10000);
    EXPECT_EQ(ReadProperty("Scale", tagged(vaDate, le(std::bit_cast<quint64>(45000.5))))->Scale(),
              45000.5);
    EXPECT_EQ(ReadProperty("Caption", tagged(vaString, shortText("\x80 x")))->Caption(),
              QStringLiteral("€ x"));
    EXPECT_EQ(ReadProperty("Caption", tagged(vaLString, le(qint32(3)) + "a\x93z"))->Caption(),
              QStringLiteral("a“z"));
    EXPECT_EQ(
        ReadProperty("Caption",
                     tagged(vaWString, le(qint32(2)) + le(quint16(0x3A9)) + le(quint16(u'x'))))
            ->Caption(),
        QStringLiteral("Ωx"));
    EXPECT_EQ(ReadProperty("Caption", tagged(vaUTF8String, le(qint32(5)) + "\xC3\x9F\xE2\x9C\x93"))
                  ->Caption(),
              QStringLiteral("ß✓"));
    EXPECT_EQ(ReadProperty("Style", tagged(vaIdent, shortText("PSJUSTIFIED")))->Style(),
              psJustified);
    EXPECT_EQ(ReadProperty("Color", tagged(vaIdent, shortText("clRed")))->Color(), clRed);
    EXPECT_EQ(ReadProperty("Color", tagged(vaInt32, le(qint32(0x1FFFFFFF))))->Color(), clNone);
    EXPECT_FALSE(ReadProperty("Flag", QByteArray(1, char(vaFalse)))->Flag());
    EXPECT_TRUE(ReadProperty("Flag", QByteArray(1, char(vaTrue)))->Flag());
    EXPECT_EQ(
        ReadProperty("Blob", tagged(vaBinary, le(qint32(3)) + QByteArray("\0\1\2", 3)))->Blob(),
        QByteArray("\0\1\2", 3));
    EXPECT_EQ(
        ReadProperty(
            "Font",
            tagged(vaSet, shortText("csItalic") + shortText("csStrikeOut") + QByteArray(1, 0)))
            ->Font(),
        csItalic | csStrikeOut);
    EXPECT_EQ(ReadProperty("Buddy", QByteArray(1, char(vaNil)))->Buddy(), nullptr);
    EXPECT_EQ(ReadProperty("Group.GroupLines.Strings",
                           tagged(vaList,
                                  tagged(vaString, shortText("a"))
                                      + tagged(vaWString, le(qint32(1)) + le(quint16(0x3A9)))
                                      + QByteArray(1, char(vaNull))))
                  ->Group()
                  ->GroupLines(),
              (QStringList {QStringLiteral("a"), QStringLiteral("Ω")}));

    // A collection: an item with an order value and one without, each a property list.
    const QByteArray collection
        = tagged(vaCollection,
                 tagged(vaInt8, le(qint8(7))) + char(vaList) + shortText("Name")
                     + tagged(vaString, shortText("first")) + char(0) + char(vaList) + char(0)
                     + char(vaNull));
    const auto sample = ReadProperty("Items", collection);
    ASSERT_EQ(sample->Items.Type, vaCollection);
    ASSERT_EQ(sample->Items.Collection.size(), 2u);
    EXPECT_EQ(sample->Items.Collection[0].Order, 7);
    ASSERT_EQ(sample->Items.Collection[0].Properties.size(), 1u);
    EXPECT_EQ(sample->Items.Collection[0].Properties[0].Path, QStringLiteral("Name"));
    EXPECT_EQ(sample->Items.Collection[0].Properties[0].Value.Text, QStringLiteral("first"));
    EXPECT_FALSE(sample->Items.Collection[1].Order);
    // Written back as it stands.
    EXPECT_TRUE(
        ComponentToBytes(sample.get()).contains(TBuild().Short("Items").Raw(collection).Bytes));
}

TEST(ComponentStream, TreesRoundTripWithChildrenCreatedByClassName)
{
    TPageControl pages;
    pages.SetName(QStringLiteral("Pages"));
    QList<TSampleComponent *> fields;
    for (int i = 1; i <= 2; ++i) {
        auto *sheet = CreateComponent<TTabSheet>(&pages);
        sheet->SetName(QStringLiteral("Sheet%1").arg(i));
        pages.addTab(sheet, QString());
        auto *panel = CreateComponent<TSamplePanel>(&pages);
        panel->SetName(QStringLiteral("Panel%1").arg(i));
        panel->SetLevel(i);
        panel->setParent(sheet);
        auto *field = CreateComponent<TSampleComponent>(&pages);
        field->SetName(QStringLiteral("Field%1").arg(i));
        field->setParent(panel);
        field->SetRatio(1.0L / (i + 2));
        field->SetCaption(i == 1 ? QStringLiteral("Straße") : QStringLiteral("Ωμέγα"));
        field->Group()->GroupLeaf()->SetLeafColor(clNavy);
        field->Extra = QByteArray("extra", 5);
        fields.append(field);
        auto *hidden = CreateComponent<TSampleHidden>(&pages);
        hidden->SetName(QStringLiteral("Hidden%1").arg(i));
        hidden->setParent(panel);
        // Not owned by the page control: not part of its tree.
        (new TSamplePanel(nullptr))->setParent(panel);
    }
    // A reference to a component that comes later in the stream.
    fields[0]->SetBuddy(fields[1]);
    const QByteArray written = ComponentToBytes(&pages);

    TPageControl back;
    back.SetName(QStringLiteral("Pages"));
    back.show();
    TMemoryStream stream(written);
    ReadComponent(stream, &back);
    EXPECT_TRUE(stream.AtEnd());

    TMemoryStream original(written), copy(ComponentToBytes(&back));
    EXPECT_EQ(ComponentToText(copy), ComponentToText(original));
    ASSERT_EQ(back.PageCount(), 2);
    EXPECT_EQ(back.ComponentCount(), 8);
    auto *field1 = qobject_cast<TSampleComponent *>(back.FindComponent(u"field1"_qs)->Object());
    auto *field2 = qobject_cast<TSampleComponent *>(back.FindComponent(u"Field2"_qs)->Object());
    ASSERT_TRUE(field1 && field2);
    EXPECT_EQ(field1->Buddy(), field2);
    EXPECT_EQ(field1->parent(), back.Pages(0)->PageView());
    EXPECT_EQ(field2->Caption(), QStringLiteral("Ωμέγα"));
    EXPECT_EQ(field1->Group()->GroupLeaf()->LeafColor(), clNavy);
    EXPECT_EQ(field1->Extra, QByteArray("extra"));
    // Loaded once each, after every flag of the reading is gone.
    EXPECT_EQ(field1->LoadedCount, 1);
    EXPECT_EQ(field1->StateWhenLoaded, 0u);
    EXPECT_FALSE(back.IsLoading());
    // Children of a shown parent show, unless they hid themselves.
    auto *panel1 = static_cast<QWidget *>(back.FindComponent(u"Panel1"_qs)->Object());
    auto *hidden1 = static_cast<QWidget *>(back.FindComponent(u"Hidden1"_qs)->Object());
    EXPECT_TRUE(panel1->isVisible());
    EXPECT_TRUE(hidden1->isHidden());
    EXPECT_EQ(hidden1->parentWidget(), panel1);
}

TEST(ComponentStream, AKindStartingFromOtherValuesKeepsAChangeBackToTheBaseValue)
{
    TSampleRight right;
    const TRecords untouched = RecordsOf(&right);
    EXPECT_EQ(untouched.Values.count(QStringLiteral("Count")), 1u) << "differs from the declared 0";

    // The declared defaults, but not what this kind starts from: still written.
    right.SetCount(0);
    right.Group()->SetGroupAlign(taLeftJustify);
    const QByteArray written = ComponentToBytes(&right);
    const TRecords records = RecordsOf(&right);
    EXPECT_EQ(records.Values.at(QStringLiteral("Count")).Int, 0);
    EXPECT_EQ(records.Values.at(QStringLiteral("Group.GroupAlign")).Text, u"taLeftJustify"_qs);

    TSampleRight back;
    TMemoryStream stream(written);
    ReadComponent(stream, &back);
    EXPECT_EQ(back.Count(), 0);
    EXPECT_EQ(back.Group()->GroupAlign(), taLeftJustify);
}

TEST(ComponentStream, UnknownPropertyNamesTheComponentPathAndTheProperty)
{
    TBuild b;
    b.Raw("TPF0").Short("TPageControl").Short("Pages") << 0;
    b.Short("TTabSheet").Short("Sheet1") << 0;
    b.Short("TSampleComponent").Short("Field1");
    b.Short("Group.Nope") << vaInt8 << 1 << 0 << 0 << 0 << 0;
    TPageControl pages;
    const QString message = ReadFailure(b.Bytes, &pages);
    EXPECT_EQ(message, u"Pages.Sheet1.Field1: Property Group.Nope does not exist"_qs);
    // What the load path recognises: after the colon, the name taken out.
    QStringList words = message.section(u':', 1).trimmed().split(u' ');
    words.removeAt(1);
    EXPECT_EQ(words.join(u' ').toLower(), u"property does not exist"_qs);
    EXPECT_FALSE(pages.IsLoading());

    TSampleComponent sample;
    sample.SetName(u"S"_qs);
    for (const char *path : {"Nope", "Scratch", "Group.GroupLeaf.Nope", "Flag.Nope", "Group.",
                             ".Flag", "Caption.Strings"}) {
        TBuild p = Record("TSampleComponent", "S");
        p.Short(path) << vaInt8 << 1 << 0 << 0;
        EXPECT_EQ(ReadFailure(p.Bytes, &sample),
                  u"S: Property %1 does not exist"_qs.arg(QLatin1String(path)));
    }
}

TEST(ComponentStream, UnregisteredClassesAndUnfitValuesAreReadErrors)
{
    TBuild unknownChild = Record("TSampleComponent", "S");
    unknownChild << 0;
    unknownChild.Short("TNowhere").Short("X") << 0 << 0 << 0;
    TSampleComponent sample;
    EXPECT_EQ(ReadFailure(unknownChild.Bytes, &sample), u"Class TNowhere not found"_qs);
    TMemoryStream unknownRoot((Record("TNowhere", "") << 0 << 0).Bytes);
    EXPECT_THROW(ReadNewComponent(unknownRoot, nullptr), EReadError);

    const std::pair<const char *, QByteArray> unfit[] = {
        {"Style", QByteArray(1, char(vaIdent)) + TBuild().Short("psBogus").Bytes},
        {"Style", TBuild().operator<<(vaInt8).operator<<(9).Bytes},
        {"Font", QByteArray(1, char(vaSet)) + TBuild().Short("csNone").Bytes + char(0)},
        {"Count", QByteArray(1, char(vaString)) + TBuild().Short("1").Bytes},
        {"Count", TBuild().operator<<(vaInt64).LE(qint64(1) << 40).Bytes},
        {"Flag", QByteArray(1, char(vaNull))},
        {"Group", QByteArray(1, char(vaNil))},
        {"Caption", QByteArray(1, char(vaIdent)) + TBuild().Short("x").Bytes},
        {"Extra", QByteArray(1, char(vaTrue))},
    };
    for (const auto &[path, value] : unfit) {
        TBuild b = Record("TSampleComponent", "S");
        b.Short(path).Raw(value) << 0 << 0;
        TSampleComponent target;
        target.SetName(u"S"_qs);
        const QString message = ReadFailure(b.Bytes, &target);
        EXPECT_TRUE(message.contains(u"Invalid value for property"_qs))
            << path << " " << message.toStdString();
    }

    // A root the reader made is gone again when reading fails.
    TObjectComponent owner;
    TBuild broken = Record("TSampleComponent", "New");
    broken.Short("Nope") << vaTrue << 0 << 0;
    TMemoryStream stream(broken.Bytes);
    EXPECT_THROW(ReadNewComponent(stream, &owner), EReadError);
    EXPECT_EQ(owner.ComponentCount(), 0);

    TMemoryStream good((Record("TSampleRight", "Made") << 0 << 0).Bytes);
    TComponent *made = ReadNewComponent(good, &owner);
    ASSERT_NE(qobject_cast<TSampleRight *>(made->Object()), nullptr);
    EXPECT_EQ(made->Name(), u"Made"_qs);
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_EQ(static_cast<TSampleRight *>(made->Object())->LoadedCount, 1);
}

TEST(ComponentStream, OwnValuesComeAfterThePublishedOnesAndMayHoldPoints)
{
    TSampleComponent sample;
    sample.SetFlag(true);
    sample.Extra = QByteArray("\xFF\x00", 2);
    EXPECT_EQ(RecordsOf(&sample).Paths, (QStringList {u"Flag"_qs, u"Extra"_qs}));

    // Older files hold a picture as <property>.Data; the class reads it itself.
    TBuild b = Record("TSampleComponent", "S");
    b.Short("Legacy.Data") << vaBinary;
    b.LE(qint32(2)).Raw("pq") << 0 << 0;
    TSampleComponent back;
    TMemoryStream stream(b.Bytes);
    ReadComponent(stream, &back);
    EXPECT_EQ(back.Legacy, QByteArray("pq"));
}

TEST(ComponentStream, TextShowsTheTreeAsPeopleReadIt)
{
    TBuild b;
    b.Raw("TPF0").Short("TPageControl").Short("Pages");
    b.Short("Caption") << vaString;
    b.Short("it's\r\nok");
    b.Short("Ratio") << vaExtended;
    b.Raw(ExtendedBytes(0.1L));
    b.Short("Money") << vaCurrency;
    b.LE(qint64(-12345));
    // A small fraction keeps its leading zeros: 1.05, not 1.5.
    b.Short("Fee") << vaCurrency;
    b.LE(qint64(10500));
    b.Short("Font") << vaSet;
    b.Short("csBold").Short("csItalic") << 0;
    b.Short("Lines.Strings") << vaList << vaString;
    b.Short("a") << vaInt16;
    b.LE(qint16(-300)) << vaNull;
    b.Short("Data") << vaBinary;
    b.LE(qint32(3)).Raw("\x01\xAB\xFF") << 0;
    // A child with the prefix: inherited, at position 2.
    b << 0xF3 << vaInt8 << 2;
    b.Short("TTabSheet").Short("") << 0 << 0 << 0;
    TMemoryStream stream(b.Bytes);
    EXPECT_EQ(ComponentToText(stream),
              u"object Pages: TPageControl\n"
              "  Caption = 'it''s'#13#10'ok'\n"
              "  Ratio = 0.1\n"
              "  Money = -1.2345\n"
              "  Fee = 1.0500\n"
              "  Font = [csBold, csItalic]\n"
              "  Lines.Strings = (\n"
              "    'a'\n"
              "    -300)\n"
              "  Data = {\n"
              "    01ABFF}\n"
              "  inherited TTabSheet [2]\n"
              "  end\n"
              "end\n"_qs);
}
