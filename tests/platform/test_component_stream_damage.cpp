// Damaged streams: every fault is the reader's own error, never a read past
// the end, a stack overflow or a crash.

#include "CComponentStream.h"
#include "CPageControl.h"
#include "test_component_stream_samples.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
QByteArray SampleTree()
{
    TPageControl pages;
    pages.SetName(QStringLiteral("Pages"));
    auto *sheet = CreateComponent<TTabSheet>(&pages);
    sheet->SetName(QStringLiteral("Sheet1"));
    pages.addTab(sheet, QString());
    auto *panel = CreateComponent<TSamplePanel>(&pages);
    panel->SetName(QStringLiteral("Panel1"));
    panel->setParent(sheet);
    auto *field = CreateComponent<TSampleComponent>(&pages);
    field->SetName(QStringLiteral("Field1"));
    field->setParent(panel);
    field->SetCount(-70000);
    field->SetBig(qint64(1) << 40);
    field->SetRatio(2.5L);
    field->SetScale(0.5);
    field->SetCaption(QString(300, u'z'));
    field->SetFont(csBold);
    field->SetBlob(QByteArray("blob"));
    field->Group()->SetGroupLines({QStringLiteral("Ω"), QStringLiteral("b")});
    field->Extra = QByteArray("x");
    TStreamCollectionItem item;
    item.Order = 1;
    item.Properties.push_back(
        {QStringLiteral("Name"), TStreamValue::FromText(QStringLiteral("n"))});
    field->Items.Type = vaCollection;
    field->Items.Collection.push_back(item);
    return ComponentToBytes(&pages);
}

QString WalkFailure(const QByteArray &bytes)
{
    struct TNothing : TStreamVisitor
    {
        void BeginObject(const TStreamObjectHeader &, int) override { }
        void Property(const QString &, const TStreamValue &, int) override { }
        void EndObject(int) override { }
    } visitor;
    TMemoryStream stream(bytes);
    try {
        WalkComponent(stream, visitor);
        stream.SetPosition(0);
        ComponentToText(stream);
    } catch (const EReadError &e) {
        return e.Message();
    }
    return QString();
}

// Reads into a fresh root; the message, or empty on success.
template<class TRoot = TPageControl>
QString ReadOutcome(const QByteArray &bytes)
{
    TRoot root;
    TMemoryStream stream(bytes);
    try {
        ReadComponent(stream, &root);
    } catch (const EVeloraError &e) {
        EXPECT_FALSE(root.IsLoading());
        return e.Message();
    }
    return QString();
}

QByteArray Root(const QByteArray &properties)
{
    QByteArray b("TPF0\x10TSampleComponent\x01S");
    return b + properties + QByteArray(2, 0);
}

QByteArray Property(QByteArrayView path, QByteArrayView value)
{
    return char(path.size()) + path.toByteArray() + value.toByteArray();
}
} // namespace

TEST(ComponentStreamDamage, EveryTruncationIsAReadError)
{
    const QByteArray whole = SampleTree();
    ASSERT_TRUE(WalkFailure(whole).isEmpty());
    ASSERT_TRUE(ReadOutcome(whole).isEmpty());
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const QByteArray cut = whole.left(length);
        EXPECT_EQ(WalkFailure(cut), QString::fromLatin1(SReadError)) << length;
        EXPECT_EQ(ReadOutcome(cut), QString::fromLatin1(SReadError)) << length;
    }
}

TEST(ComponentStreamDamage, LengthsAndCountsBeyondTheBytesThereAreReadErrors)
{
    auto le32 = [](qint32 v) {
        char raw[4];
        qToLittleEndian(v, raw);
        return QByteArray(raw, 4);
    };
    const QByteArray values[] = {
        char(vaLString) + le32(0x7FFFFFFF) + "abc",
        char(vaLString) + le32(-1),
        char(vaUTF8String) + le32(4) + "abc",
        char(vaBinary) + le32(1 << 30),
        char(vaBinary) + le32(-5) + "xxxxxx",
        // Counts of 16-bit characters whose byte size overflows 32 bits.
        char(vaWString) + le32(0x7FFFFFFF) + "ab",
        char(vaWString) + le32(0x40000001) + "abcd",
        char(vaString) + QByteArray(1, char(200)) + "short",
        char(vaIdent) + QByteArray(1, char(9)) + "ident",
        char(vaExtended) + QByteArray(9, 0),
        char(vaSet) + QByteArray(1, char(10)) + "cs",
    };
    for (const QByteArray &value : values) {
        const QByteArray bytes = Root(Property("Caption", value));
        EXPECT_EQ(WalkFailure(bytes), QString::fromLatin1(SReadError)) << value.toHex().data();
        TSampleComponent sample;
        TMemoryStream stream(bytes);
        EXPECT_THROW(ReadComponent(stream, &sample), EVeloraError) << value.toHex().data();
    }
}

TEST(ComponentStreamDamage, UnknownTagsAndDeepNestingAreReadErrors)
{
    for (int tag : {21, 22, 0x7F, 0xFF})
        EXPECT_EQ(WalkFailure(Root(Property("Flag", QByteArray(1, char(tag))))),
                  QString::fromLatin1(SReadError))
            << tag;
    EXPECT_EQ(WalkFailure(QByteArray("TPF1\x01T\x00\x00\x00", 9)), QString::fromLatin1(SReadError));
    // An empty class name is no record.
    EXPECT_EQ(WalkFailure(QByteArray("TPF0\x00\x00\x00\x00", 8)), QString::fromLatin1(SReadError));

    // Lists within lists, and objects within objects, far deeper than any document.
    const QByteArray deepList = QByteArray(100000, char(vaList)) + QByteArray(100000, char(vaNull));
    EXPECT_EQ(WalkFailure(Root(Property("Caption", deepList))), QString::fromLatin1(SReadError));
    EXPECT_EQ(ReadOutcome<TSampleComponent>(Root(Property("Group.GroupLines.Strings", deepList))),
              QString::fromLatin1(SReadError));

    QByteArray deepObjects("TPF0");
    for (int i = 0; i < 5000; ++i)
        deepObjects += QByteArray("\x0CTSamplePanel\x00\x00", 15);
    deepObjects += QByteArray(5001, 0);
    EXPECT_EQ(WalkFailure(deepObjects), QString::fromLatin1(SReadError));
    EXPECT_EQ(ReadOutcome(deepObjects), QString::fromLatin1(SReadError));

    QByteArray deepCollection;
    for (int i = 0; i < 5000; ++i)
        deepCollection += QByteArray(1, char(vaCollection)) + char(vaList) + "\x01x";
    EXPECT_EQ(WalkFailure(Root(Property("Items", deepCollection))),
              QString::fromLatin1(SReadError));
}

TEST(ComponentStreamDamage, SingleByteCorruptionsEndInAnErrorOrAReadDocument)
{
    const QByteArray whole = SampleTree();
    QRandomGenerator random(7);
    for (int i = 0; i < 3000; ++i) {
        QByteArray damaged = whole;
        const auto at = random.bounded(int(damaged.size()));
        damaged[at] = char(random.bounded(256));
        // Either outcome is fine; what is tested is that nothing else happens.
        WalkFailure(damaged);
        ReadOutcome(damaged);
    }
}
