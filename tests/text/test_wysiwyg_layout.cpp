// Line breaking, alignment and the character list the editor relies on.

#include "CBasePgCtrl.h"
#include "CBaseRTEditFocusCtrl.h"
#include "CPrinterPage.h"
#include "CPropGroups.h"
#include "CWYSIWYGEngine.h"
#include "ScriptedDialogService.h"

#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

namespace {
const Extended kCell = 5 * 600 / 25.4L; // a 5 mm box at 600 ppi

class Layout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        box = CreateComponent<TVisualPgCtrl>(nullptr);
        box->setParent(page.get());
    }

    TWYSIWYGEngine &Engine() { return *box->WYSIWYGEngine(); }
    TPropGroupParagraph &Paragraph() { return *box->VisualParagraphProps(); }
    const TWYSIWYGEngineChar &At(int i) { return *Engine().TextData(i); }

    // The element's size in printer pixels, which is what the engine lays out into.
    void Size(Extended width, Extended height)
    {
        box->SetBaseRelWidth(width * 100 / page->PageWidthPixels());
        box->SetBaseRelHeight(height * 100 / page->PageHeightPixels());
        refWidth = int(Round(width));
    }
    void Build(const QString &text, bool wrap)
    {
        Paragraph().SetParagraphWrap(wrap);
        box->SetText(text);
        box->BuildWYSIWYGInf(true, false);
    }
    // Measures in the element's font, which a first build prepares.
    Extended Width(const QString &text)
    {
        Size(2000, 400);
        Build(QStringLiteral("x"), false);
        return Engine().TextWidth(text);
    }
    Extended PxX(Extended percent) const { return percent * refWidth / 100; }
    QString Chars()
    {
        QString s;
        for (int i = 0; i < Engine().TextDataCount(); ++i)
            s.append(At(i).Ch);
        return s;
    }

    std::unique_ptr<TPrinterPage> page = std::make_unique<TPrinterPage>(nullptr);
    TVisualPgCtrl *box = nullptr;
    int refWidth = 0;
};
} // namespace

TEST_F(Layout, WrappingKeepsOneEntryPerCharacterOfTheWrappedText)
{
    const Extended fits = Width(QStringLiteral("ab "));
    ASSERT_LT(std::ceil(fits) + 1, Width(QStringLiteral("ab cd")));
    Size(std::ceil(fits) + 1, 400);
    Build(QStringLiteral("ab cd"), true);

    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("ab \r\r\ncd"));
    EXPECT_EQ(Chars(), QStringLiteral("ab \r\r\ncd") + QChar(0));
    const int lines[] = {1, 1, 1, 1, 1, 1, 2, 2, 2};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(At(i).Line, lines[i]) << i;
        EXPECT_EQ(At(i).SoftBreak, i >= 3 && i <= 5) << i;
        EXPECT_FALSE(At(i).HardBreak) << i;
    }
    // The break sits at the end of the line it ends; the next line starts at the left.
    EXPECT_NEAR(double(At(3).X), double(At(2).X + At(2).Width), 1e-12);
    EXPECT_EQ(At(6).X, 0);
    EXPECT_NEAR(double(At(6).Y - At(0).Y), double(Engine().TextHeight() * 100 / 400), 1e-9);
    EXPECT_EQ(Engine().LineNo(), 2);
}

TEST_F(Layout, AWordThatFillsTheLineExactlyStaysOnIt)
{
    // Three comb boxes in a wrapped row (the width rounds up to whole pixels).
    Paragraph().SetParagraphStyle(psFixed);
    Size(std::ceil(kCell * 3), 400);
    Build(QStringLiteral("abc"), true);
    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("abc"));
    EXPECT_EQ(At(0).Line, 1);
    EXPECT_EQ(At(2).Line, 1);
    Build(QStringLiteral("abcd"), true);
    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("abc\r\r\nd"));

    // Plain text measured to the pixel fits its own width.
    Paragraph().SetParagraphStyle(psVariable);
    const Extended word = Width(QStringLiteral("abc"));
    Size(std::ceil(word), 400);
    Build(QStringLiteral("abc"), true);
    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("abc"));
}

TEST_F(Layout, WordsLongerThanTheLineBreakCharacterByCharacter)
{
    // Fixed boxes count one each: 3.5 boxes hold 3 characters.
    Paragraph().SetParagraphStyle(psFixed);
    Size(kCell * 3.5L, 1000);
    Build(QStringLiteral("abcdefgh"), true);
    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("abc\r\r\ndef\r\r\ngh"));

    // Measured characters: every line fits and only soft breaks are added.
    Paragraph().SetParagraphStyle(psVariable);
    const QString word = QStringLiteral("Incomprehensibilities");
    Size(Width(QStringLiteral("Incom")), 2000);
    Build(word, true);
    const QStringList lines = Engine().WrappedText().split(QStringLiteral("\r\r\n"));
    EXPECT_EQ(lines.join(QString()), word);
    EXPECT_GT(lines.size(), 3);
    for (const QString &line : lines)
        EXPECT_LE(Engine().TextWidth(line), Extended(refWidth)) << line.toStdString();

    // A character wider than the whole line gets a soft break before it, even as
    // the first character, so it stands on a line of its own.
    Size(3, 2000);
    Build(QStringLiteral("WW"), true);
    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("\r\r\nW\r\r\nW"));
    EXPECT_EQ(Chars(), Engine().WrappedText() + QChar(0));
    EXPECT_TRUE(At(0).SoftBreak && At(2).SoftBreak);
    EXPECT_EQ(At(3).Line, 2);
    EXPECT_EQ(Engine().LineNo(), 3);
}

TEST_F(Layout, FixedLinesAlignByWholeBoxesWhenCentredAndToTheEdgeWhenRight)
{
    Paragraph().SetParagraphStyle(psFixed);
    Paragraph().SetParagraphHorzAlign(taCenter);
    Size(kCell * 6.5L, 400);
    Build(QStringLiteral("abc"), false);
    // Free room is 3.5 boxes: three whole boxes, halved to one.
    EXPECT_NEAR(double(PxX(At(0).X)), double(kCell), 1e-6);
    EXPECT_NEAR(double(PxX(At(2).X - At(1).X)), double(kCell), 1e-6);
    // The grid of six boxes follows the same alignment: a full line stays put.
    ASSERT_EQ(Engine().FixedBordersDataCount(), 6 + 1);
    EXPECT_NEAR(double(Engine().FixedBordersData(0)->X), 0.0, 1e-9);

    Paragraph().SetParagraphHorzAlign(taRightJustify);
    EXPECT_NEAR(double(PxX(At(2).X + At(2).Width)), refWidth, 1e-6);
}

TEST_F(Layout, RightAlignedPlainTextCarriesBlanksToTheNextWord)
{
    const Extended fits = Width(QStringLiteral("ab "));
    Paragraph().SetParagraphHorzAlign(taRightJustify);
    Size(std::ceil(fits) + 1, 400);
    Build(QStringLiteral("ab cd"), true);

    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("ab\r\r\n cd"));
    // No trailing blank pushes either line off the right edge.
    EXPECT_NEAR(double(PxX(At(1).X + At(1).Width)), refWidth, 1e-6);
    EXPECT_NEAR(double(PxX(At(7).X + At(7).Width)), refWidth, 1e-6);
    EXPECT_EQ(At(5).Line, 2);
}

TEST_F(Layout, JustifiedLinesReachTheRightEdgeExceptTheLastOfAParagraph)
{
    const Extended width = Width(QStringLiteral("aa bb cc d"));
    Paragraph().SetParagraphStyle(psJustified);
    Size(width, 2000);
    Build(QStringLiteral("aa bb cc dd ee ff\r\ngg hh ii"), true);
    const QString wrapped = Engine().WrappedText();
    ASSERT_EQ(wrapped, QStringLiteral("aa bb cc \r\r\ndd ee ff\r\ngg hh ii"));

    // "cc" ends at the edge: the trailing blank's width went to the inner blanks.
    EXPECT_NEAR(double(PxX(At(7).X + At(7).Width)), refWidth, 1e-6);
    // Lines ended by a hard break or by the end keep natural blanks.
    const Extended blank = Engine().TextWidth(QStringLiteral(" "));
    for (const char *word : {"ee", "hh"}) {
        const int i = int(wrapped.indexOf(QLatin1String(word)));
        EXPECT_NEAR(double(PxX(At(i).X - At(i - 1).X)), double(blank), 1e-6) << word;
    }
}

TEST_F(Layout, JustifiedLinesBrokenInsideAWordEndAtTheRightEdgeToo)
{
    const Extended width = Width(QStringLiteral("ab cdefghij"));
    Paragraph().SetParagraphStyle(psJustified);
    Size(width, 2000);
    Build(QStringLiteral("ab cdefghijklmnopqrstuvwxyz"), true);
    const QString wrapped = Engine().WrappedText();
    const int end = int(wrapped.indexOf(QStringLiteral("\r\r\n")));
    ASSERT_GT(end, 3) << wrapped.toStdString();
    ASSERT_NE(wrapped[end - 1], u' ');
    // No trailing blank hands its width over, so none is added: the last
    // character of the line ends at the edge, not a blank's width past it.
    EXPECT_NEAR(double(PxX(At(end - 1).X + At(end - 1).Width)), refWidth, 1e-6);
}

TEST_F(Layout, LineTopsSkipLinesThatHoldOnlyBreaks)
{
    Size(1000, 1000);
    Build(QStringLiteral("a\r\n\r\nb"), false);
    EXPECT_EQ(Engine().GetTextLineTop(1), 0);
    EXPECT_EQ(Engine().GetTextLineTop(2), -1);
    EXPECT_NEAR(double(Engine().GetTextLineTop(3)), double(Engine().TextHeight() / 5), 1e-9);
    EXPECT_EQ(Engine().GetTextLineTop(4), -1);
}

TEST_F(Layout, EmptyLinesAndTheEndKeepTheOffsetOfTheLineBefore)
{
    Size(1000, 1000);
    Paragraph().SetParagraphHorzAlign(taCenter);
    Build(QStringLiteral("abc\r\n\r\ndef"), false);
    const Extended start = At(0).X;
    ASSERT_GT(start, 1.0L);
    // The break that ends "abc" stands after it; those of the empty line
    // where "abc" starts, not in the middle of the empty line.
    EXPECT_NEAR(double(At(3).X), double(At(2).X + At(2).Width), 1e-12);
    EXPECT_EQ(At(5).Line, 2);
    EXPECT_EQ(At(5).X, start);
    EXPECT_EQ(At(6).X, start);
    // The end of a text that ends with a break, likewise.
    Build(QStringLiteral("abc\r\n"), false);
    EXPECT_EQ(At(5).Line, 2);
    EXPECT_EQ(At(5).X, start);
    // Before the first line there is no offset yet.
    Paragraph().SetParagraphHorzAlign(taRightJustify);
    Build(QStringLiteral("\r\nabc"), false);
    EXPECT_EQ(At(0).X, 0);
    EXPECT_EQ(At(1).X, 0);
    EXPECT_GT(At(2).X, 1.0L);
}

TEST_F(Layout, AClickLowOnAnEmptyLineFindsThatLine)
{
    // The editor finds the line under a point from each entry's top and height.
    Size(1000, 1000);
    page->SetZoom(200); // places the element on the screen
    Build(QStringLiteral("a\r\n\r\nb"), false);
    ASSERT_EQ(At(3).Line, 2);
    const Extended lineHeight = At(5).Y - At(3).Y;
    ASSERT_GT(lineHeight * box->height() / 100, 8);
    const int y = int(Round((At(3).Y + lineHeight * 0.75L) / 100 * box->height()));
    const int index = BaseRTEditFocusCtrlChrIdxFromPos(box, QPoint(2, y), -1, false);
    ASSERT_GE(index, 0);
    EXPECT_EQ(At(index).Line, 2);
}

TEST_F(Layout, CentringTooTallTextMovesItUpByHalfTheExcess)
{
    Width(QString());
    const Extended h = Engine().TextHeight();
    const int height = int(2 * h);
    Size(1000, height);
    Paragraph().SetParagraphVertAlign(taVerticalCenter);
    Build(QStringLiteral("1\r\n2\r\n3\r\n4"), false);
    EXPECT_NEAR(double(Engine().GetTextLineTop(1) * height / 100), double((height - 4 * h) / 2),
                1e-6);
    EXPECT_TRUE(Engine().Overflow());

    // Boxes move by whole rows: 2.5 rows of room for 5 rows is -1 row, not -1.25.
    Paragraph().SetParagraphStyle(psFixed);
    Size(1000, kCell * 2.5L);
    const int boxHeight = int(Round(kCell * 2.5L));
    Build(QStringLiteral("1\r\n2\r\n3\r\n4\r\n5"), false);
    EXPECT_NEAR(double(Engine().GetTextLineTop(1) * boxHeight / 100), double(-kCell), 1e-6);
    Paragraph().SetParagraphVertAlign(taAlignBottom);
    EXPECT_NEAR(double(Engine().GetTextLineTop(5) * boxHeight / 100), double(boxHeight - kCell),
                1e-6);
}

TEST_F(Layout, OverflowTellsWhetherTheTextFits)
{
    Size(Width(QStringLiteral("abc")) + 1, 1000);
    Build(QStringLiteral("abc"), false);
    EXPECT_FALSE(Engine().Overflow());
    Build(QStringLiteral("abcd"), false);
    EXPECT_TRUE(Engine().Overflow());

    // An empty text reports the grid's lines and overflow: the clipped extra row
    // of a wrapped grid overflows, a single row does not.
    Paragraph().SetParagraphStyle(psFixed);
    Size(kCell * 4.2L, kCell * 2.2L);
    Build(QString(), true);
    EXPECT_EQ(Engine().FixedBordersDataCount(), 3 * 4 + 2 * 2 + 1);
    EXPECT_EQ(Engine().TextDataCount(), 0);
    EXPECT_EQ(Engine().LineNo(), 3);
    EXPECT_TRUE(Engine().Overflow());
    Build(QString(), false);
    EXPECT_EQ(Engine().LineNo(), 1);
    EXPECT_FALSE(Engine().Overflow());
    // A text reports its own.
    Build(QStringLiteral("a"), true);
    EXPECT_EQ(Engine().LineNo(), 1);
    EXPECT_FALSE(Engine().Overflow());
    Build(QStringLiteral("abcdefgh"), true);
    EXPECT_FALSE(Engine().Overflow());
    Build(QStringLiteral("abcdefghi"), true);
    EXPECT_TRUE(Engine().Overflow());
}

TEST_F(Layout, ZeroBoxPitchOrSizeLaysOutNothing)
{
    TPropGroupFixed &boxes = *Paragraph().ParagraphFixed();
    Paragraph().SetParagraphStyle(psFixed);
    Size(1000, 1000);
    const auto empty = [&] {
        Build(QStringLiteral("abc"), true);
        return Engine().TextDataCount() == 0 && Engine().FixedBordersDataCount() == 0;
    };
    boxes.SetFixedWidth(0);
    EXPECT_TRUE(empty());
    boxes.SetFixedWidth(5);
    boxes.SetFixedHorzGap(-5);
    EXPECT_TRUE(empty());
    boxes.SetFixedHorzGap(0);
    boxes.SetFixedHeight(0);
    EXPECT_TRUE(empty());
    boxes.SetFixedHeight(5);
    EXPECT_FALSE(empty());

    Paragraph().SetParagraphStyle(psVariable);
    Size(0, 100);
    EXPECT_TRUE(empty());
    Size(100, 0);
    EXPECT_TRUE(empty());
}

TEST_F(Layout, EveryLineBreakBecomesCRLFSoNoCRIsLeftAlone)
{
    Size(1000, 1000);
    Build(QStringLiteral("a\rb\nc\r\n\r"), false);
    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("a\r\nb\r\nc\r\n\r\n"));
    EXPECT_EQ(Chars(), Engine().WrappedText() + QChar(0));
    EXPECT_TRUE(At(1).HardBreak && At(2).HardBreak);
    EXPECT_EQ(At(3).Line, 2);
    EXPECT_EQ(Engine().LineNo(), 5);
    // The element's text has no soft breaks: CR CR LF is a lone CR and a hard break.
    Build(QStringLiteral("a\r\r\nb"), true);
    EXPECT_EQ(Engine().WrappedText(), QStringLiteral("a\r\n\r\nb"));
}

TEST_F(Layout, RandomTextsKeepTheEntryPerCharacterInvariantInEveryStyle)
{
    QRandomGenerator random(20240917);
    const QString alphabet = QStringLiteral("abcXYZ  \r\n\r\t\u00e9\u20ac");
    const Extended word = Width(QStringLiteral("abcab"));
    for (int round = 0; round < 150; ++round) {
        QString text;
        for (int i = int(random.bounded(1, 40)); i > 0; --i)
            text.append(alphabet[random.bounded(int(alphabet.size()))]);
        Paragraph().SetParagraphStyle(TParagraphStyle(random.bounded(3)));
        Paragraph().SetParagraphHorzAlign(TAlignment(random.bounded(3)));
        Paragraph().SetParagraphVertAlign(TVerticalAlignment(random.bounded(3)));
        Size(word * (1 + random.bounded(3)), 2000);
        Build(text, random.bounded(2) == 1);

        const QString wrapped = Engine().WrappedText();
        const std::string context = text.toUtf8().toPercentEncoding().toStdString();
        ASSERT_EQ(Chars(), wrapped + QChar(0)) << context;
        int line = 1;
        for (int i = 0; i < wrapped.size(); ++i) {
            const auto softAt = [&wrapped](int from) {
                return from >= 0 && QStringView(wrapped).sliced(from).startsWith(u"\r\r\n");
            };
            const bool soft = softAt(i) || softAt(i - 1) || softAt(i - 2);
            const bool brk = wrapped[i] == u'\r' || wrapped[i] == u'\n';
            EXPECT_EQ(At(i).SoftBreak, soft) << context << " at " << i;
            EXPECT_EQ(At(i).HardBreak, brk && !soft) << context << " at " << i;
            EXPECT_EQ(At(i).Line, line) << context << " at " << i;
            line += wrapped[i] == u'\n';
        }
        // Wrapping only adds soft breaks to the text with every break made CR LF.
        QString normal = text;
        normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'))
            .replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        EXPECT_EQ(QString(wrapped).remove(QStringLiteral("\r\r\n")), normal) << context;
    }
}

TEST_F(Layout, AFailingReferenceCanvasIsReportedOnceAndMeasuringGoesOn)
{
    const Extended before = Width(QStringLiteral("abc"));
    WYSIWYGEngineSetPrnPgRefQuery([](int &, int &, QString &error) {
        error = QStringLiteral("The printer cannot be opened.");
        return false;
    });
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("The printer cannot be opened."));
    WYSIWYGEngineRefreshPrnPgRefs();
    WYSIWYGEngineRefreshPrnPgRefs(); // no second box
    ScriptedDialogs().VerifyAllUsed();
    EXPECT_EQ(ScriptedDialogs().Shown().size(), 1);
    EXPECT_EQ(ScriptedDialogs().Shown().first().Type, mtError);
    EXPECT_EQ(Width(QStringLiteral("abc")), before);

    // A printer that answers again is followed.
    WYSIWYGEngineSetPrnPgRefQuery([](int &x, int &y, QString &) {
        x = y = 300;
        return true;
    });
    WYSIWYGEngineRefreshPrnPgRefs();
    Width(QString());
    EXPECT_EQ(Engine().MeasuringFont().pixelSize(), 41); // 10 pt at 300 ppi
    WYSIWYGEngineSetPrnPgRefQuery({});
    WYSIWYGEngineRefreshPrnPgRefs();
    EXPECT_EQ(WYSIWYGEnginePrnPgRefPixelsPerInchY(), 600);
}
