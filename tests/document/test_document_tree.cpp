// Whole documents through the codec and the envelope: every stored property
// of the project, its page settings, its pages and elements and its export
// settings comes back as it was written.

#include "CComponentStream.h"
#include "CDocumentFile.h"
#include "CPropGroups.h"
#include "DocumentSamples.h"
#include "GlobalsGuard.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>

namespace {
class TValueTypes : public TStreamVisitor
{
public:
    void BeginObject(const TStreamObjectHeader &header, int) override { m_object = header.Name; }
    void Property(const QString &path, const TStreamValue &value, int) override
    {
        Types[m_object + u'.' + path] = value.Type;
    }
    void EndObject(int) override { }
    std::map<QString, TValueType> Types;

private:
    QString m_object;
};

// Sample documents are real projects: building or reading one marks a change and sets
// the filling state, which later tests must not see.
class DocumentTree : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
};
} // namespace

TEST_F(DocumentTree, SavesAndLoadsBackWithEveryStoredPropertyEqual)
{
    TSampleDocument original(2, 3);
    const QByteArray payload = original.Payload();

    TMemoryStream stream(payload);
    ASSERT_TRUE(EncryptDocument(stream));
    std::uint32_t version = 0;
    ASSERT_TRUE(DecryptDocument(stream, version));
    TSampleDocument loaded(0, 0);
    loaded.Read(stream);
    EXPECT_TRUE(stream.AtEnd());

    // Written again, the loaded objects give the same records, root by root.
    const QStringList before = PayloadRoots(payload);
    const QStringList after = PayloadRoots(loaded.Payload());
    ASSERT_EQ(before.size(), 5);
    ASSERT_EQ(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i]) << "root " << i;
    EXPECT_TRUE(before[3].contains(u"BaseRelLeft = "_qs));

    ASSERT_EQ(loaded.Project.PageCount(), 2);
    ASSERT_EQ(loaded.Pages->PageCount(), 2);
    auto *box
        = qobject_cast<TSampleTextBox *>(loaded.Pages->FindComponent(u"Field1_1"_qs)->Object());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), loaded.Pages->Pages(1)->PageView());
    EXPECT_EQ(box->VisualGeneralProps()->GeneralDefaultText(), u"Ωμέγα ✓"_qs);
    EXPECT_EQ(box->VisualParagraphProps()->ParagraphFixed()->FixedBorderProps()->BorderColor(),
              clRed);
    // Extended values come back bit for bit, not only to the digits shown.
    std::uint8_t stored[10], wanted[10];
    ExtendedToBytes(box->BaseRelLeft(), stored);
    ExtendedToBytes(12.345678901234567891L + 1, wanted);
    EXPECT_EQ(std::memcmp(stored, wanted, 10), 0);

    // Text goes 8-bit where Windows-1252 holds it, UTF-16 otherwise.
    TMemoryStream roots(payload);
    TValueTypes types;
    while (!roots.AtEnd())
        WalkComponent(roots, types);
    EXPECT_EQ(types.Types[u"Field0_0.VisualGeneralProps.GeneralDefaultText"_qs], vaString);
    EXPECT_EQ(types.Types[u"Field0_1.VisualGeneralProps.GeneralDefaultText"_qs], vaWString);
    EXPECT_EQ(types.Types[u"Field0_1.BaseRelLeft"_qs], vaExtended);
}
