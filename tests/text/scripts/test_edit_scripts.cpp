// Editing text of any script in the employee example's boxes through key events:
// a grapheme cluster is one box, one caret stop and one Backspace; arrows move
// the caret as a mixed line reads on screen.

#include "CBaseRTEditFocusCtrl.h"
#include "CPropGroups.h"
#include "CWYSIWYGEngine.h"
#include "ExampleForms.h"
#include "TypeScript.h"

namespace {
class EditedScripts : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        window = OpenExample(dir, "Employee.vld");
    }
    void TearDown() override
    {
        window.reset();
        ScriptedDialogs().VerifyAllUsed();
    }
    static TBaseRTEditFocusCtrl *Edit()
    {
        return dynamic_cast<TBaseRTEditFocusCtrl *>(QApplication::focusWidget());
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    // Caret stops laid out in a box: entries that start a cluster, no breaks.
    static int Stops(TVisualPgCtrl *box)
    {
        const TWYSIWYGEngine *engine = box->WYSIWYGEngine();
        int n = 0;
        for (int i = 0; i + 1 < engine->TextDataCount(); ++i)
            n += engine->TextData(i)->ClusterPart || engine->TextData(i)->IsBreak() ? 0 : 1;
        return n;
    }

    QTemporaryDir dir;
    std::unique_ptr<TFillerMainForm> window;
};
} // namespace

TEST_F(EditedScripts, ACombBoxTakesAClusterACell)
{
    TVisualPgCtrl *comb = Element("NationalId");
    ASSERT_NE(comb, nullptr);
    comb->VisualGeneralProps()->SetGeneralRestrictTo(QString());
    comb->VisualCharacterProps()->SetCharacterStyle(TCharacterStyles());
    ClickInto("NationalId");
    // e with a combining acute, a thumb with a skin tone, then seven more: nine boxes.
    const QString accented = QStringLiteral("e\u0301");
    const QString thumb = QString::fromUcs4(U"\U0001F44D\U0001F3FD");
    TypeScript(accented + thumb + QStringLiteral("1234567"));
    EXPECT_EQ(comb->Text(), accented + thumb + QStringLiteral("1234567"));
    EXPECT_EQ(Stops(comb), 9);
    const TWYSIWYGEngine *engine = comb->WYSIWYGEngine();
    // The mark and the modifier share their base's box; the next character has the next box.
    EXPECT_EQ(engine->TextData(1)->X, engine->TextData(0)->X);
    EXPECT_EQ(engine->TextData(3)->X, engine->TextData(2)->X);
    EXPECT_GT(engine->TextData(6)->X, engine->TextData(2)->X);
    EXPECT_NEAR(engine->TextData(6)->X - engine->TextData(2)->X,
                engine->TextData(2)->X - engine->TextData(0)->X, 1e-9);
    // A tenth does not fit.
    TypeScript(QStringLiteral("8"));
    EXPECT_EQ(comb->Text(), accented + thumb + QStringLiteral("1234567"));

    // The caret steps over a cluster at once; Backspace takes the whole of it.
    Press(Qt::Key_Home);
    Press(Qt::Key_Right);
    EXPECT_EQ(Edit()->Caret(), 2);
    Press(Qt::Key_Right);
    EXPECT_EQ(Edit()->Caret(), 6);
    Press(Qt::Key_Backspace);
    EXPECT_EQ(comb->Text(), accented + QStringLiteral("1234567"));
    Press(Qt::Key_Backspace);
    EXPECT_EQ(comb->Text(), QStringLiteral("1234567"));
}

TEST_F(EditedScripts, BackspaceTakesTheGraphemeBeforeTheCaret)
{
    ClickInto("FullName");
    // "स्ते" is one conjunct with its vowel sign.
    TypeScript(QStringLiteral("नमस्ते"));
    Press(Qt::Key_Backspace);
    EXPECT_EQ(Element("FullName")->Text(), QStringLiteral("नम"));
    Press(Qt::Key_Backspace);
    EXPECT_EQ(Element("FullName")->Text(), QStringLiteral("न"));
    // Delete takes the letter after the caret with its marks.
    TypeScript(QStringLiteral("e\u0301x"));
    Press(Qt::Key_Home);
    Press(Qt::Key_Right);
    EXPECT_EQ(Edit()->Caret(), 1);
    Press(Qt::Key_Delete);
    EXPECT_EQ(Element("FullName")->Text(), QStringLiteral("नx"));
}

TEST_F(EditedScripts, ArrowsMoveThroughAMixedLineAsItReads)
{
    ClickInto("FullName");
    const QString text = QStringLiteral("Total: שלום 123 ok");
    TypeScript(text);
    TVisualPgCtrl *box = Element("FullName");
    ASSERT_EQ(box->Text(), text);
    const TWYSIWYGEngine *engine = box->WYSIWYGEngine();
    // Drawn "Total: 123 םולש ok": the number keeps its order inside the Hebrew.
    const int one = int(text.indexOf(u'1'));
    EXPECT_LT(engine->TextData(one)->X, engine->TextData(one + 1)->X);
    EXPECT_LT(engine->TextData(one + 1)->X, engine->TextData(one + 2)->X);
    const int shin = int(text.indexOf(QStringLiteral("ש")));
    EXPECT_GT(engine->TextData(shin)->X, engine->TextData(one)->X);

    // From the left end, Right visits every caret stop once, each further right.
    Press(Qt::Key_Home);
    ASSERT_EQ(Edit()->Caret(), 0);
    QList<int> visited {0};
    QList<int> xs {Edit()->CaretRect().x()};
    for (int k = 0; k < 40; ++k) {
        Press(Qt::Key_Right);
        if (Edit()->Caret() == visited.back())
            break;
        visited << Edit()->Caret();
        xs << Edit()->CaretRect().x();
    }
    EXPECT_EQ(visited.size(), text.size() + 1)
        << QStringList([&] {
               QStringList l;
               for (int k = 0; k < visited.size(); ++k)
                   l << QStringLiteral("%1@%2").arg(visited[k]).arg(xs[k]);
               return l;
           }())
               .join(u' ')
               .toStdString();
    for (int k = 1; k < xs.size(); ++k)
        EXPECT_GE(xs[k], xs[k - 1])
            << "stop " << k << " at " << visited[k] << " after " << visited[k - 1];
    // Through the number in its own order.
    const qsizetype at = visited.indexOf(one);
    ASSERT_GE(at, 0);
    EXPECT_EQ(visited.mid(at, 3), QList<int>({one, one + 1, one + 2}));

    // Left comes back the same way.
    QList<int> back {Edit()->Caret()};
    for (int k = 0; k < 40 && Edit()->Caret() != 0; ++k) {
        Press(Qt::Key_Left);
        back.prepend(Edit()->Caret());
    }
    EXPECT_EQ(back, visited);

    // A selection made with Shift and the arrows covers the text in its logical order.
    Press(Qt::Key_Home);
    // Shift held down throughout.
    QWidget *edit = Edit();
    QTest::simulateEvent(edit, true, Qt::Key_Shift, {}, QString(), false);
    for (int k = 0; k < 8; ++k) {
        QTest::simulateEvent(edit, true, Qt::Key_Right, Qt::ShiftModifier, QString(), false);
        QTest::simulateEvent(edit, false, Qt::Key_Right, Qt::ShiftModifier, QString(), false);
    }
    QTest::simulateEvent(edit, false, Qt::Key_Shift, Qt::ShiftModifier, QString(), false);
    EXPECT_EQ(box->SelStart(), 0);
    EXPECT_EQ(box->SelStart() + box->SelLength(), visited[8]);
}

TEST_F(EditedScripts, AClickOnRightToLeftTextFindsTheNearerEdge)
{
    ClickInto("FullName");
    TypeScript(QStringLiteral("שלום"));
    TVisualPgCtrl *box = Element("FullName");
    const TWYSIWYGEngine *engine = box->WYSIWYGEngine();
    QWidget *edit = Edit();
    ASSERT_NE(edit, nullptr);
    const auto click = [&](int i, double along) {
        const TWYSIWYGEngineChar *e = engine->TextData(i);
        const QPoint at(int((e->X + e->Width * along) / 100 * box->width()),
                        int((e->Y + e->Height / 2) / 100 * box->height()));
        QTest::mouseClick(edit, Qt::LeftButton, {},
                          edit->mapFrom(box->window(), box->mapTo(box->window(), at)));
        return Edit()->Caret();
    };
    // The first letter stands rightmost: its right half is before it, its left half after it.
    EXPECT_EQ(click(0, 0.8), 0);
    EXPECT_EQ(click(0, 0.2), 1);
    EXPECT_EQ(click(3, 0.2), 4);
    EXPECT_EQ(click(3, 0.8), 3);
}
