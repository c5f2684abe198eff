// Typing into a text element of a real filler window: line breaks, number
// rules, full boxes, undo and redo, the clipboard between elements, pasting,
// selecting, the popup menu, the caret and placing it with the mouse on
// zoomed, wrapped, centred text.

#include "CAppPaths.h"
#include "CBaseRTEditFocusCtrl.h"
#include "CClassRegistry.h"
#include "CDocumentBuilder.h"
#include "CFillerMainForm.h"
#include "CGlobal.h"
#include "CPrinterPage.h"
#include "CVisualPgCtrlNumeric.h"
#include "CWYSIWYGEngine.h"
#include "FillerTestWindow.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>

// A text kind of the tests: its editor takes everything from its groups.
// Not in the kind table, so no plug-in is needed to read it.
class TEditTestBox : public TVisualPgCtrlNumeric
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupParagraph *VisualParagraphProps READ VisualParagraphProps)
    Q_PROPERTY(TPropGroupTABOn *VisualTABOnProps READ VisualTABOnProps)

public:
    using TVisualPgCtrlNumeric::TVisualPgCtrlNumeric;
    int ClassTypeID() const override { return 20; }
    QWidget *DoCreateEdit(const QPoint &point) override
    {
        return new TBaseRTEditFocusCtrl(this, BaseRTEditFocusCtrlParams(this, point), false);
    }
    TBaseRTEditFocusCtrl *Edit() const { return qobject_cast<TBaseRTEditFocusCtrl *>(Editor()); }
};

namespace {
const TClassRegistration<TEditTestBox> registerEditBox;

class EditInFiller : public ::testing::Test
{
protected:
    // First, so that it puts the globals back after everything else is gone.
    TGlobalsGuard m_globals;
    using TSetup = std::function<void(TEditTestBox *)>;
    struct TBoxPlan
    {
        QString Name;
        QSize Size = {200, 30};
        TSetup Setup = {};
    };

    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        ScriptedDialogs().Reset();
        QApplication::clipboard()->clear();
    }
    void TearDown() override
    {
        window.reset();
        ScriptedDialogs().VerifyAllUsed();
    }
    // One page of boxes, one below the other in TAB order; Enter stays in a box.
    TFillerMainForm &Open(const QList<TBoxPlan> &boxes)
    {
        const QString path = dir.filePath(QStringLiteral("edit.vld"));
        {
            TDocumentBuilder doc(1);
            int y = 60;
            for (const TBoxPlan &plan : boxes) {
                auto *box = doc.Add<TEditTestBox>(0, plan.Name, QRect(QPoint(60, y), plan.Size));
                box->SetTabOrder(y);
                box->VisualTABOnProps()->SetTABOnEnterKey(false);
                if (plan.Setup)
                    plan.Setup(box);
                y += plan.Size.height() + 20;
            }
            EXPECT_TRUE(doc.Save(path));
        }
        window = StartFillerWindow(dir.filePath(QStringLiteral("plugins/")), path);
        return *window;
    }
    static TEditTestBox *Box(const QString &name)
    {
        return qobject_cast<TEditTestBox *>(Global_FormElementRef(name));
    }
    // A click at a point of the element, on the element or on its editor.
    static void Click(TEditTestBox *box, QPoint at = QPoint(-1, -1))
    {
        if (at == QPoint(-1, -1))
            at = box->rect().center();
        QWidget *target = box->Edit() ? static_cast<QWidget *>(box->Edit()) : box;
        QTest::mouseClick(target, Qt::LeftButton, {},
                          target->mapFrom(box->window(), box->mapTo(box->window(), at)));
        QCoreApplication::processEvents();
    }
    static void Type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        QCoreApplication::processEvents();
    }
    static int StrPos(TEditTestBox *box)
    {
        return box->Edit()->ListIdxToStrIdx(box->Edit()->Caret());
    }
    // One key event carrying the text, as an input method sends it.
    static void TypeText(const QString &text)
    {
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, text, {});
    }
    static void Paste(const QString &text)
    {
        QApplication::clipboard()->setText(text);
        Press(Qt::Key_V, Qt::ControlModifier);
    }
    // The left edge of an entry at the middle of its line, element coordinates.
    static QPoint EntryPoint(TEditTestBox *box, int i)
    {
        const TWYSIWYGEngineChar *e = box->WYSIWYGEngine()->TextData(i);
        return QPoint(int(Round(e->X / 100 * box->width())),
                      int(Round((e->Y + e->Height / 2) / 100 * box->height())));
    }
    static QPoint InEdit(TEditTestBox *box, QPoint at)
    {
        return box->Edit()->mapFrom(box->window(), box->mapTo(box->window(), at));
    }
    static QString Selected(TEditTestBox *box)
    {
        int start = 0;
        int length = 0;
        QString text;
        box->Edit()->SelectedText(start, length, text);
        return text;
    }

    QTemporaryDir dir;
    std::unique_ptr<TFillerMainForm> window;
};
} // namespace

TEST_F(EditInFiller, LineBreaksAreWholeAndOnlyWhereWrappingAllowsThem)
{
    Open({{QStringLiteral("Line")}, {QStringLiteral("Memo"), {90, 120}, [](TEditTestBox *box) {
                                         box->VisualParagraphProps()->SetParagraphWrap(true);
                                     }}});
    TEditTestBox *line = Box(QStringLiteral("Line"));
    Click(line);
    Type(QStringLiteral("ab"));
    Press(Qt::Key_Return);
    Press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(line->Text(), QStringLiteral("ab"));

    TEditTestBox *memo = Box(QStringLiteral("Memo"));
    Click(memo);
    ASSERT_EQ(TVisualPgCtrl::FocusedElement(), memo);
    Type(QStringLiteral("ab"));
    Press(Qt::Key_Return);
    Type(QStringLiteral("cd"));
    EXPECT_EQ(memo->Text(), QStringLiteral("ab\r\ncd"));
    Press(Qt::Key_Home);
    Press(Qt::Key_Backspace);
    EXPECT_EQ(memo->Text(), QStringLiteral("abcd"));
    EXPECT_EQ(StrPos(memo), 3);

    // Overwrite at the end of a line replaces the break as a whole.
    Press(Qt::Key_Return);
    Press(Qt::Key_Up);
    Press(Qt::Key_End);
    Press(Qt::Key_Insert);
    ASSERT_FALSE(memo->Edit()->InsertMode());
    Type(QStringLiteral("x"));
    EXPECT_EQ(memo->Text(), QStringLiteral("abxcd"));
    Type(QStringLiteral("y"));
    EXPECT_EQ(memo->Text(), QStringLiteral("abxyd"));
    // Over a selection, overwriting replaces the selection and nothing after it.
    Press(Qt::Key_Home, Qt::ShiftModifier);
    Type(QStringLiteral("z"));
    EXPECT_EQ(memo->Text(), QStringLiteral("zd"));
    Press(Qt::Key_Insert);
    EXPECT_TRUE(memo->Edit()->InsertMode());

    // Wrapped text: every Right and Left is one character, never inside a soft break.
    Press(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("one two three four five six seven"));
    const TWYSIWYGEngine *engine = memo->WYSIWYGEngine();
    ASSERT_GT(engine->LineNo(), 2);
    Press(Qt::Key_Home, Qt::ControlModifier);
    // On a line feed, or past the first entry of a soft break.
    const auto insideBreak = [&](int i) {
        const TWYSIWYGEngineChar *e = engine->TextData(i);
        return e->Ch == u'\n' || (e->SoftBreak && engine->TextData(i - 1)->SoftBreak);
    };
    const int length = int(memo->Text().size());
    for (int step = 1; step <= length; ++step) {
        Press(Qt::Key_Right);
        EXPECT_EQ(StrPos(memo), step + 1);
        EXPECT_FALSE(insideBreak(memo->Edit()->Caret())) << step;
    }
    for (int step = length; step >= 1; --step) {
        Press(Qt::Key_Left);
        EXPECT_EQ(StrPos(memo), step);
        EXPECT_FALSE(insideBreak(memo->Edit()->Caret())) << step;
    }
    EXPECT_EQ(ScriptedDialogs().Beeps(), 0);
}

TEST_F(EditInFiller, NumbersAreCheckedAsTheyAreTyped)
{
    Open({{QStringLiteral("Amount"),
           {200, 30},
           [](TEditTestBox *box) {
               box->VisualNumberProps()->SetNumberNumericsOnly(true);
           }},
          {QStringLiteral("Count"), {200, 30}, [](TEditTestBox *box) {
               box->VisualNumberProps()->SetNumberNumericsOnly(true);
               box->VisualNumberProps()->SetNumberDecPlaces(0);
           }}});
    TEditTestBox *amount = Box(QStringLiteral("Amount"));
    Click(amount);
    Type(QStringLiteral("-"));
    EXPECT_EQ(amount->Text(), QStringLiteral("-"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 0);
    Type(QStringLiteral("."));
    EXPECT_EQ(amount->Text(), QStringLiteral("-"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 1);
    Press(Qt::Key_Backspace);
    Type(QStringLiteral("."));
    EXPECT_EQ(amount->Text(), QString());
    EXPECT_EQ(ScriptedDialogs().Beeps(), 2);
    Type(QStringLiteral("12-x3.5"));
    EXPECT_EQ(amount->Text(), QStringLiteral("123.5"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 4);
    // A refused key leaves the selection it would have replaced.
    Press(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("x"));
    EXPECT_EQ(amount->Text(), QStringLiteral("123.5"));
    EXPECT_EQ(amount->SelLength(), 5);
    EXPECT_EQ(ScriptedDialogs().Beeps(), 5);

    TEditTestBox *count = Box(QStringLiteral("Count"));
    Click(count);
    Type(QStringLiteral("7.5"));
    EXPECT_EQ(count->Text(), QStringLiteral("75"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 6);
}

TEST_F(EditInFiller, FullBoxesBeepOrMoveOn)
{
    Open({{QStringLiteral("Full"),
           {200, 30},
           [](TEditTestBox *box) {
               box->NumericGeneralProps()->SetGeneralMaxChars(3);
           }},
          {QStringLiteral("Code"),
           {200, 30},
           [](TEditTestBox *box) {
               box->NumericGeneralProps()->SetGeneralMaxChars(3);
               box->NumericTABOnProps()->SetTABOnMaxChars(true);
           }},
          {QStringLiteral("Next")},
          {QStringLiteral("Narrow"), {60, 30}, [](TEditTestBox *box) {
               box->NumericGeneralProps()->SetGeneralMaxChars(50);
           }}});
    TEditTestBox *full = Box(QStringLiteral("Full"));
    Click(full);
    Type(QStringLiteral("abcd"));
    EXPECT_EQ(full->Text(), QStringLiteral("abc"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 1);

    Press(Qt::Key_Tab);
    TEditTestBox *code = Box(QStringLiteral("Code"));
    ASSERT_EQ(TVisualPgCtrl::FocusedElement(), code);
    Type(QStringLiteral("xyz"));
    EXPECT_EQ(code->Text(), QStringLiteral("xyz"));
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Box(QStringLiteral("Next")));
    Type(QStringLiteral("q"));
    EXPECT_EQ(Box(QStringLiteral("Next"))->Text(), QStringLiteral("q"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 1);

    // Far below its maximum, the narrow box takes what fits and no more.
    TEditTestBox *narrow = Box(QStringLiteral("Narrow"));
    Click(narrow);
    Type(QString(20, u'W'));
    const qsizetype fitted = narrow->Text().size();
    EXPECT_GT(fitted, 0);
    EXPECT_LT(fitted, 20);
    EXPECT_EQ(ScriptedDialogs().Beeps(), 1 + 20 - fitted);
    EXPECT_FALSE(narrow->WYSIWYGEngine()->Overflow());
    EXPECT_EQ(narrow->WYSIWYGEngine()->TextDataCount(), fitted + 1);
}

TEST_F(EditInFiller, UndoRedoAndTheClipboardWorkThroughKeysAndTheEditMenu)
{
    TFillerMainForm &w = Open({{QStringLiteral("From")}, {QStringLiteral("To")}});
    TEditTestBox *from = Box(QStringLiteral("From"));
    Click(from);
    EXPECT_FALSE(w.Action(QStringLiteral("EditUndo"))->isEnabled());
    Type(QStringLiteral("hello"));
    EXPECT_TRUE(w.Action(QStringLiteral("EditUndo"))->isEnabled());
    for (int i = 0; i < 5; ++i)
        Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(from->Text(), QString());
    EXPECT_FALSE(w.Action(QStringLiteral("EditUndo"))->isEnabled());
    EXPECT_TRUE(w.Action(QStringLiteral("EditRedo"))->isEnabled());
    for (int i = 0; i < 5; ++i)
        Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(from->Text(), QStringLiteral("hello"));
    EXPECT_EQ(from->Edit()->Caret(), 5);
    EXPECT_FALSE(w.Action(QStringLiteral("EditRedo"))->isEnabled());

    // Cut by key, paste from the menu into the other element.
    Type(QStringLiteral(" world"));
    EXPECT_FALSE(w.Action(QStringLiteral("EditCut"))->isEnabled());
    Press(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(w.Action(QStringLiteral("EditCut"))->isEnabled());
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(from->Text(), QStringLiteral("hello "));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("world"));
    TEditTestBox *to = Box(QStringLiteral("To"));
    Click(to);
    ASSERT_EQ(TVisualPgCtrl::FocusedElement(), to);
    EXPECT_TRUE(w.Action(QStringLiteral("EditPaste"))->isEnabled());
    w.Action(QStringLiteral("EditPaste"))->trigger();
    EXPECT_EQ(to->Text(), QStringLiteral("world"));
    // And back by the menu: cut all, paste over the remainder.
    w.Action(QStringLiteral("EditSelectAll"))->trigger();
    w.Action(QStringLiteral("EditCut"))->trigger();
    EXPECT_EQ(to->Text(), QString());
    Click(from);
    Press(Qt::Key_End);
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(from->Text(), QStringLiteral("hello world"));

    // Each element keeps its own history, across losing the focus.
    Click(to);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(to->Text(), QStringLiteral("world"));
    EXPECT_EQ(from->Text(), QStringLiteral("hello world"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 0);
}

TEST_F(EditInFiller, ClicksPlaceTheCaretOnZoomedWrappedCentredText)
{
    Open({{QStringLiteral("Note"), {130, 90}, [](TEditTestBox *box) {
               box->VisualParagraphProps()->SetParagraphWrap(true);
               box->VisualParagraphProps()->SetParagraphHorzAlign(taCenter);
               box->VisualCharacterProps()->SetCharacterSize(12);
               box->SetText(QStringLiteral("The quick brown fox jumps over the lazy dog"));
           }}});
    TEditTestBox *note = Box(QStringLiteral("Note"));
    window->ActivePage()->SetZoom(150);
    window->ActivePage()->ScrollInView(note->geometry());
    QCoreApplication::processEvents();
    const TWYSIWYGEngine *engine = note->WYSIWYGEngine();
    ASSERT_GE(engine->LineNo(), 3);
    // Two characters of the second line, and the pixel column between them.
    int k = 0;
    while (!(engine->TextData(k)->Line == 2 && engine->TextData(k)->Ch.isLetter()
             && engine->TextData(k + 1)->Ch.isLetter()))
        ++k;
    const TWYSIWYGEngineChar *left = engine->TextData(k);
    const TWYSIWYGEngineChar *right = engine->TextData(k + 1);
    ASSERT_TRUE(left->Ch.isLetter() && right->Ch.isLetter() && right->Line == 2);
    ASSERT_GT(left->X, 1.0L); // centred, not at the left edge
    const int w = note->width();
    const int h = note->height();
    const int between = int(Round(right->X / 100 * w));
    const int y = int(Round((right->Y + right->Height / 2) / 100 * h));
    ASSERT_GE(between - int(Round(left->X / 100 * w)), 4);

    // The click that opens the editor, then clicks on the editor itself.
    Click(note, QPoint(between - 1, y));
    ASSERT_TRUE(note->Edit());
    EXPECT_EQ(note->Edit()->Caret(), k + 1);
    Click(note, QPoint(int(Round(left->X / 100 * w)) + 1, y));
    EXPECT_EQ(note->Edit()->Caret(), k);
    Click(note, QPoint(between + 1, y));
    EXPECT_EQ(note->Edit()->Caret(), k + 1);
    EXPECT_EQ(
        note->Edit()->CaretRect().left(),
        note->Edit()->mapFrom(window.get(), note->mapTo(window.get(), QPoint(between, 0))).x());
}

TEST_F(EditInFiller, PasteRunsTheTypingChecksOnBreaksAndCharacters)
{
    Open({{QStringLiteral("Line")},
          {QStringLiteral("Memo"),
           {200, 120},
           [](TEditTestBox *box) {
               box->VisualParagraphProps()->SetParagraphWrap(true);
           }},
          {QStringLiteral("Digits"),
           {200, 30},
           [](TEditTestBox *box) {
               box->VisualGeneralProps()->SetGeneralRestrictTo(QStringLiteral("0123456789."));
               box->NumericGeneralProps()->SetGeneralMaxChars(6);
               box->VisualNumberProps()->SetNumberNumericsOnly(true);
               box->SetText(QStringLiteral("1"));
           }},
          {QStringLiteral("Narrow"), {50, 30}, nullptr},
          {QStringLiteral("Signs"), {200, 30}, [](TEditTestBox *box) {
               box->VisualGeneralProps()->SetGeneralRestrictTo(QStringLiteral("€ä😀"));
           }}});
    Click(Box(QStringLiteral("Line")));
    Paste(QStringLiteral("a\nb\r\nc\rd\te"));
    EXPECT_EQ(Box(QStringLiteral("Line"))->Text(), QStringLiteral("abcde"));
    Click(Box(QStringLiteral("Memo")));
    Paste(QStringLiteral("a\nb\r\nc\rd"));
    EXPECT_EQ(Box(QStringLiteral("Memo"))->Text(), QStringLiteral("a\r\nb\r\nc\r\nd"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 0);

    TEditTestBox *digits = Box(QStringLiteral("Digits"));
    Click(digits);
    Press(Qt::Key_End);
    for (const char *refused : {"2x", "2345678", "2.3.4"})
        Paste(QString::fromLatin1(refused));
    EXPECT_EQ(digits->Text(), QStringLiteral("1"));
    Paste(QStringLiteral("2.5"));
    EXPECT_EQ(digits->Text(), QStringLiteral("12.5"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 3);
    // More than the box can show is refused whole.
    Click(Box(QStringLiteral("Narrow")));
    Paste(QString(40, u'W'));
    EXPECT_EQ(Box(QStringLiteral("Narrow"))->Text(), QString());
    EXPECT_EQ(ScriptedDialogs().Beeps(), 4);

    // Allowed characters are characters, not bytes; a pair is one character.
    TEditTestBox *signs = Box(QStringLiteral("Signs"));
    Click(signs);
    for (const QString &typed :
         {QStringLiteral("€"), QStringLiteral("😀"), QStringLiteral("ä"), QStringLiteral("a")})
        TypeText(typed);
    EXPECT_EQ(signs->Text(), QStringLiteral("€😀ä"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 5);
    Press(Qt::Key_Left);
    Press(Qt::Key_Left);
    EXPECT_EQ(StrPos(signs), 2);
    Press(Qt::Key_Right);
    EXPECT_EQ(StrPos(signs), 4);
    Press(Qt::Key_Backspace);
    EXPECT_EQ(signs->Text(), QStringLiteral("€ä"));
    // What an input method composes is typed under the same rules.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("äx€"));
    QApplication::sendEvent(QApplication::focusWidget(), &composed);
    EXPECT_EQ(signs->Text(), QStringLiteral("€ä€ä"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), 6);
}

TEST_F(EditInFiller, MouseAndKeysSelectAndThePopupMenuKeepsTheSelection)
{
    Open({{QStringLiteral("Words"), {200, 30}, [](TEditTestBox *box) {
               box->SetText(QStringLiteral("one two three"));
           }}});
    TEditTestBox *box = Box(QStringLiteral("Words"));
    Click(box, EntryPoint(box, 4));
    ASSERT_EQ(box->Edit()->Caret(), 4);
    // Shift held down over several keys extends one selection.
    QWidget *edit = box->Edit();
    QTest::simulateEvent(edit, true, Qt::Key_Shift, {}, QString(), false);
    for (int i = 0; i < 3; ++i) {
        QTest::simulateEvent(edit, true, Qt::Key_Right, Qt::ShiftModifier, QString(), false);
        QTest::simulateEvent(edit, false, Qt::Key_Right, Qt::ShiftModifier, QString(), false);
    }
    QTest::simulateEvent(edit, false, Qt::Key_Shift, Qt::ShiftModifier, QString(), false);
    EXPECT_EQ(Selected(box), QStringLiteral("two"));
    Press(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(Selected(box), QStringLiteral(" three"));

    // A drag selects from where the button went down; moving without it does not.
    QTest::mousePress(edit, Qt::LeftButton, {}, InEdit(box, EntryPoint(box, 8)));
    QTest::mouseMove(edit, InEdit(box, EntryPoint(box, 11)));
    QTest::mouseRelease(edit, Qt::LeftButton, {}, InEdit(box, EntryPoint(box, 11)));
    QTest::mouseMove(edit, InEdit(box, EntryPoint(box, 13)));
    EXPECT_EQ(Selected(box), QStringLiteral("thr"));

    QMenu *menu = box->Edit()->PopupMenu();
    QStringList items;
    for (QAction *action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-")
                                        : action->text() + u' ' + action->shortcut().toString());
    EXPECT_EQ(items.join(u','),
              QStringLiteral("Undo Ctrl+Z,Redo Ctrl+Shift+Z,-,Cut Ctrl+X,Copy "
                             "Ctrl+C,Paste Ctrl+V,Delete Ctrl+Del,-,Select All "
                             "Ctrl+A"));
    // Through the window, which turns a right click into a context menu request.
    const auto rightClick = [&](int entry) {
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {},
                          box->mapTo(window.get(), EntryPoint(box, entry)));
    };
    const auto item = [&](const char *name) {
        return menu->findChild<QAction *>(QLatin1String(name));
    };
    rightClick(9);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(Selected(box), QStringLiteral("thr"));
    EXPECT_FALSE(item("PopupUndo")->isEnabled());
    EXPECT_FALSE(item("PopupPaste")->isEnabled());
    EXPECT_TRUE(item("PopupCut")->isEnabled());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item("PopupCut")).center());
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(box->Text(), QStringLiteral("one two ee"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("thr"));
    EXPECT_TRUE(box->Focused());
    // Outside the selection a right click moves the caret first.
    rightClick(2);
    EXPECT_EQ(box->Edit()->Caret(), 2);
    EXPECT_TRUE(item("PopupUndo")->isEnabled() && item("PopupPaste")->isEnabled());
    EXPECT_FALSE(item("PopupCut")->isEnabled());
    menu->close();
}

TEST_F(EditInFiller, CaretColumnSizeAndBlink)
{
    Open({{QStringLiteral("Lines"), {100, 90}, [](TEditTestBox *box) {
               box->VisualParagraphProps()->SetParagraphWrap(true);
               box->SetText(QStringLiteral("abcdefgh\r\nab\r\nabcdefgh"));
           }}});
    TEditTestBox *box = Box(QStringLiteral("Lines"));
    Click(box, EntryPoint(box, 6));
    Press(Qt::Key_Down);
    EXPECT_EQ(StrPos(box), 13); // end of the short line
    Press(Qt::Key_Down);
    EXPECT_EQ(StrPos(box), 21); // the column it started in
    TBaseRTEditFocusCtrl *edit = box->Edit();
    const TWYSIWYGEngineChar *e = box->WYSIWYGEngine()->TextData(edit->Caret());
    EXPECT_NEAR(edit->CaretRect().height(), e->Height / 100 * box->height(), 1.0);
    const QPoint caret = edit->CaretRect().center();
    ASSERT_TRUE(edit->CaretShown());
    EXPECT_EQ(edit->grab().toImage().pixelColor(caret), QColor(Qt::black));
    edit->OnTimer();
    EXPECT_NE(edit->grab().toImage().pixelColor(caret), QColor(Qt::black));

    // Shift and the wheel size the text; the caret keeps its character.
    const auto wheel = [&](int notches) {
        QWidget *target = box->Edit();
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::ShiftModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    wheel(20);
    EXPECT_EQ(box->VisualCharacterProps()->CharacterSize(), 30);
    EXPECT_GT(box->WYSIWYGEngine()->LineNo(), 3);
    EXPECT_EQ(StrPos(box), 21);
    wheel(-40);
    EXPECT_EQ(box->VisualCharacterProps()->CharacterSize(), 1);
}

TEST_F(EditInFiller, TheHistoryStaysWithTheElementUntilSaving)
{
    TFillerMainForm &w = Open({{QStringLiteral("Box")}});
    TEditTestBox *box = Box(QStringLiteral("Box"));
    Click(box);
    Type(QStringLiteral("ab"));
    Press(Qt::Key_Escape);
    ASSERT_FALSE(box->Focused());
    Click(box);
    EXPECT_TRUE(w.Action(QStringLiteral("EditUndo"))->isEnabled());
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("a"));
    ASSERT_TRUE(w.Save());
    EXPECT_FALSE(box->EditUndoRedo().CanUndo() || box->EditUndoRedo().CanRedo());
}

TEST_F(EditInFiller, CtrlLeftAndRightMoveByWords)
{
    Open({{QStringLiteral("Line"),
           {300, 30},
           [](TEditTestBox *box) {
               box->SetText(QStringLiteral("one  two three"));
           }},
          {QStringLiteral("Memo"),
           {200, 120},
           [](TEditTestBox *box) {
               box->VisualParagraphProps()->SetParagraphWrap(true);
               box->SetText(QStringLiteral("ab\r\ncd"));
           }},
          {QStringLiteral("Wrapped"), {90, 120}, [](TEditTestBox *box) {
               box->VisualParagraphProps()->SetParagraphWrap(true);
               box->SetText(QStringLiteral("one two three four five six seven"));
           }}});
    const auto walk = [](TEditTestBox *box, int key, const QList<int> &stops) {
        for (const int stop : stops) {
            Press(key, Qt::ControlModifier);
            EXPECT_EQ(StrPos(box), stop) << box->Name().toStdString() << " to " << stop;
            EXPECT_EQ(box->SelLength(), 0);
            // Neither on a line feed nor past the first entry of a soft break.
            const TWYSIWYGEngine *engine = box->WYSIWYGEngine();
            const int caret = box->Edit()->Caret();
            const TWYSIWYGEngineChar *e = engine->TextData(caret);
            EXPECT_FALSE(e->Ch == u'\n'
                         || (e->SoftBreak && caret > 0 && engine->TextData(caret - 1)->SoftBreak))
                << stop;
        }
    };
    TEditTestBox *line = Box(QStringLiteral("Line"));
    Click(line);
    Press(Qt::Key_Home);
    ASSERT_EQ(StrPos(line), 1);
    // Right goes past the next blank, one blank at a time; Left to the start of a word.
    walk(line, Qt::Key_Right, {5, 6, 10, 15, 15});
    walk(line, Qt::Key_Left, {10, 6, 1, 1});
    // From inside a word and from between two blanks.
    for (int i = 0; i < 11; ++i)
        Press(Qt::Key_Right);
    ASSERT_EQ(StrPos(line), 12);
    walk(line, Qt::Key_Left, {10});
    for (int i = 0; i < 5; ++i)
        Press(Qt::Key_Left);
    ASSERT_EQ(StrPos(line), 5);
    walk(line, Qt::Key_Left, {1});
    for (int i = 0; i < 4; ++i)
        Press(Qt::Key_Right);
    walk(line, Qt::Key_Right, {6});
    Press(Qt::Key_Right);
    walk(line, Qt::Key_Right, {10});
    EXPECT_EQ(line->Text(), QStringLiteral("one  two three"));

    // A hard break ends a word as a blank does, and is crossed whole.
    TEditTestBox *memo = Box(QStringLiteral("Memo"));
    Click(memo);
    Press(Qt::Key_Home, Qt::ControlModifier);
    walk(memo, Qt::Key_Right, {5, 7});
    walk(memo, Qt::Key_Left, {5, 1});

    // Wrapped lines: every stop is the start of a word, never inside a soft break.
    TEditTestBox *wrapped = Box(QStringLiteral("Wrapped"));
    Click(wrapped);
    ASSERT_GT(wrapped->WYSIWYGEngine()->LineNo(), 2);
    Press(Qt::Key_Home, Qt::ControlModifier);
    walk(wrapped, Qt::Key_Right, {5, 9, 15, 20, 25, 29, 34});
    walk(wrapped, Qt::Key_Left, {29, 25, 20, 15, 9, 5, 1});
    EXPECT_EQ(ScriptedDialogs().Beeps(), 0);
}

#include "test_edit_in_filler.moc"
