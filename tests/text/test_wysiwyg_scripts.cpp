// Laying out text of any script: clusters kept whole through wrapping and in
// every style, and the paragraph direction, set or found, with its storage.

#include "CBasePgCtrl.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CPublished.h"
#include "CWYSIWYGEngine.h"

#include <QRandomGenerator>
#include <QTextBoundaryFinder>
#include <gtest/gtest.h>

namespace {
class Scripts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        box = CreateComponent<TVisualPgCtrl>(nullptr);
        box->setParent(page.get());
        Size(3000, 2000);
    }
    TWYSIWYGEngine &Engine() { return *box->WYSIWYGEngine(); }
    TPropGroupParagraph &Paragraph() { return *box->VisualParagraphProps(); }
    const TWYSIWYGEngineChar &At(int i) { return *Engine().TextData(i); }
    void Size(Extended width, Extended height)
    {
        box->SetBaseRelWidth(width * 100 / page->PageWidthPixels());
        box->SetBaseRelHeight(height * 100 / page->PageHeightPixels());
    }
    void Build(const QString &text, bool wrap)
    {
        Paragraph().SetParagraphWrap(wrap);
        box->SetText(text);
        box->BuildWYSIWYGInf(true, false);
    }
    // Right edge in percent of the last character drawn on line 1.
    Extended LineRight()
    {
        Extended right = 0;
        for (int i = 0; i + 1 < Engine().TextDataCount(); ++i)
            if (At(i).Line == 1 && !At(i).IsBreak())
                right = std::max(right, At(i).X + At(i).Width);
        return right;
    }

    std::unique_ptr<TPrinterPage> page = std::make_unique<TPrinterPage>(nullptr);
    TVisualPgCtrl *box = nullptr;
};
} // namespace

TEST_F(Scripts, RandomMixedTextsKeepClustersWholeInEveryStyle)
{
    QRandomGenerator random(20261208);
    const QStringList pieces = {QStringLiteral("ab"),
                                QStringLiteral(" "),
                                QStringLiteral("e\u0301"),
                                QStringLiteral("שלום"),
                                QStringLiteral("مرحبا"),
                                QStringLiteral("नमस्ते"),
                                QString::fromUcs4(U"\U0001F44D\U0001F3FD"),
                                QStringLiteral("12"),
                                QStringLiteral("\r\n")};
    for (int round = 0; round < 120; ++round) {
        QString text;
        for (int i = int(random.bounded(1, 12)); i > 0; --i)
            text.append(pieces[random.bounded(int(pieces.size()))]);
        Paragraph().SetParagraphStyle(TParagraphStyle(random.bounded(3)));
        Paragraph().SetParagraphHorzAlign(TAlignment(random.bounded(3)));
        Paragraph().SetParagraphDirection(TParagraphDirection(random.bounded(3)));
        Size(300 + random.bounded(900), 3000);
        Build(text, random.bounded(2) == 1);

        const QString wrapped = Engine().WrappedText();
        const std::string context = text.toUtf8().toPercentEncoding().toStdString();
        ASSERT_EQ(Engine().TextDataCount(), wrapped.size() + 1) << context;
        // Wrapping never breaks inside a cluster, and cluster parts are exactly
        // the units that continue one.
        QString unwrapped = wrapped;
        unwrapped.remove(QStringLiteral("\r\r\n"));
        EXPECT_EQ(unwrapped, text) << context;
        // Clusters never reach over a line break.
        for (int i = 0; i < wrapped.size(); ++i) {
            if (At(i).IsBreak())
                continue;
            int from = i;
            while (from > 0 && !At(from - 1).IsBreak())
                --from;
            int to = i;
            while (to < wrapped.size() && !At(to).IsBreak())
                ++to;
            QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme,
                                       QStringView(wrapped).sliced(from, to - from).toString());
            finder.setPosition(i - from);
            EXPECT_EQ(At(i).ClusterPart, !finder.isAtBoundary()) << context << " at " << i;
            if (At(i).ClusterPart) {
                EXPECT_EQ(At(i).X, At(i - 1).X) << context << " at " << i;
                EXPECT_EQ(At(i).Line, At(i - 1).Line) << context << " at " << i;
            }
        }
    }
}

TEST_F(Scripts, TheDirectionSetOrFoundMakesLeftTheStartOfTheLine)
{
    // Found: a Hebrew paragraph starts at the right edge when aligned left.
    Build(QStringLiteral("שלום abc"), false);
    EXPECT_TRUE(Engine().LineRightToLeft(1));
    const Extended areaRight = LineRight();
    EXPECT_GT(At(0).X, At(5).X);
    // Set: Latin in a right-to-left paragraph ends there too; right alignment is its end.
    Build(QStringLiteral("abc"), false);
    EXPECT_FALSE(Engine().LineShaped(1));
    const Extended latinLeft = At(0).X;
    Paragraph().SetParagraphDirection(pdRightToLeft);
    Build(QStringLiteral("abc"), false);
    EXPECT_TRUE(Engine().LineRightToLeft(1));
    EXPECT_NEAR(LineRight(), areaRight, 1e-6);
    Paragraph().SetParagraphHorzAlign(taRightJustify);
    Build(QStringLiteral("abc"), false);
    EXPECT_NEAR(At(0).X, latinLeft, 1e-6);
    // Forced left to right, Hebrew starts at the left.
    Paragraph().SetParagraphHorzAlign(taLeftJustify);
    Paragraph().SetParagraphDirection(pdLeftToRight);
    Build(QStringLiteral("שלום"), false);
    EXPECT_FALSE(Engine().LineRightToLeft(1));
    EXPECT_NEAR(std::min(At(0).X, At(3).X), latinLeft, 1e-6);
}

TEST_F(Scripts, TheDirectionIsStoredOnlyWhenSet)
{
    // Old files have none and read as automatic; new ones name it only when set.
    TPropGroupParagraph &paragraph = Paragraph();
    const QMetaProperty property
        = FindStoredProperty(paragraph.metaObject(), QStringLiteral("ParagraphDirection"));
    ASSERT_TRUE(property.isValid());
    EXPECT_EQ(paragraph.ParagraphDirection(), pdAutomatic);
    EXPECT_TRUE(IsDefaultValue(&paragraph, property));
    paragraph.SetParagraphDirection(pdRightToLeft);
    EXPECT_FALSE(IsDefaultValue(&paragraph, property));
    EXPECT_EQ(PropertyValueText(&paragraph, property), QStringLiteral("pdRightToLeft"));

    TPropGroupParagraph copy(nullptr);
    EXPECT_TRUE(SetPropertyValueText(&copy, property, QStringLiteral("pdRightToLeft")));
    EXPECT_EQ(copy.ParagraphDirection(), pdRightToLeft);
}
