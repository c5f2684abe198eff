// The combo box on a real page: items, prompt and filled state, the drop-down
// list driven by keys and the mouse, opening upwards, auto-completion, the
// list-items dialog and editors, reset, paper output and streaming.

#include "CCombo.h"
#include "CComboInPlaceButton.h"
#include "CComboInPlaceEdit.h"
#include "CComboInPlaceList.h"
#include "CComponentStream.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPropEditors.h"
#include "CPropHelper.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class Combo : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        ScriptedDialogs().Reset();
        GlobalMainForm = &mainWindow;
        GlobalPagesPageControl = pages.get();
        GlobalFilling = true;
        view = new TPrinterPage(pages.get(), pages->AddPage(QStringLiteral("Page")));
        // Shown, so that the sheet lays the page out at the window's size and stays so.
        pages->resize(920, 1260);
        pages->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        pages.reset();
        ScriptedDialogs().VerifyAllUsed();
    }
    TCombo *Add(const QString &name, const QRect &at, const QString &items)
    {
        auto *element = CreateComponent<TCombo>(pages.get());
        element->setParent(view);
        element->SetName(name);
        element->setGeometry(at);
        element->CalcRelBounds(true, true, true, true, true, true);
        element->ComboListProps()->SetListItems(items);
        element->show();
        return element;
    }
    // Focus as a user gives it: a click into the text.
    static TComboInPlaceEdit *Click(TCombo *combo)
    {
        QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(5, combo->height() / 2));
        return qobject_cast<TComboInPlaceEdit *>(combo->Editor());
    }
    static QString Shown(const TCombo *combo) { return combo->DisplayText(combo->Text()); }
    static QString Numbered(int count)
    {
        QStringList items;
        for (int i = 1; i <= count; ++i)
            items << QStringLiteral("Item %1").arg(i);
        return items.join(u';');
    }
    // Dark pixels of the element painted as paper gets it.
    static int InkOnPaper(TCombo *combo)
    {
        QImage paper(combo->size(), QImage::Format_RGB32);
        paper.fill(Qt::white);
        {
            QPainter canvas(&paper);
            combo->DoPaint(combo->rect(), canvas, false);
        }
        int ink = 0;
        for (int y = 0; y < paper.height(); ++y)
            for (int x = 0; x < paper.width(); ++x)
                ink += qGray(paper.pixel(x, y)) < 128 ? 1 : 0;
        return ink;
    }

    QWidget mainWindow;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>();
    TPrinterPage *view = nullptr;
};
} // namespace

TEST_F(Combo, NewBoxItsDefaultsItemsAndInspectorEntries)
{
    std::unique_ptr<TCombo> fresh(CreateComponent<TCombo>(nullptr));
    EXPECT_EQ(fresh->size(), QSize(121, 25));
    EXPECT_EQ(fresh->ClassTypeID(), 70);
    EXPECT_TRUE(fresh->ComboButtonProps()->ButtonAlwaysDisplay());
    EXPECT_EQ(fresh->ComboButtonProps()->ButtonPosition(), bsInside);
    EXPECT_EQ(fresh->ComboListProps()->ListDropRows(), 8);
    EXPECT_EQ(fresh->ListType(), ctDropDown);
    EXPECT_EQ(fresh->ComboListProps()->ListFillProps()->FillColor(), clWhite);
    EXPECT_EQ(fresh->VisualValidationProps()->ValidationErrMsgsList().value(2),
              QStringLiteral("<Name> contains an invalid email address!"));

    // Semicolons typed into the items split them; lines are stored with CR LF.
    fresh->ComboListProps()->SetListItems(QStringLiteral("a;b;c"));
    EXPECT_EQ(fresh->ComboListProps()->ListItems(), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(fresh->ComboListProps()->Items(),
              QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    fresh->ComboListProps()->SetListItems(QStringLiteral("z\nx\ry\r\n"));
    EXPECT_EQ(fresh->ComboListProps()->Items().size(), 3);
    fresh->ComboListProps()->SetListSorted(true);
    EXPECT_EQ(fresh->ComboListProps()->Items().join(u','), QStringLiteral("x,y,z"));
    // No list without a row, whatever a file says.
    fresh->ComboListProps()->SetListDropRows(0);
    EXPECT_EQ(fresh->ComboListProps()->ListDropRows(), 1);

    // The numbers other kinds ask for.
    EXPECT_EQ(*static_cast<QString *>(fresh->GetData(0)), fresh->ComboListProps()->ListItems());
    EXPECT_EQ(*static_cast<int *>(fresh->GetData(1)), 1);
    fresh->ComboGeneralProps()->SetGeneralPrompt(QStringLiteral("Pick"));
    EXPECT_EQ(*static_cast<QString *>(fresh->GetData(3)), QStringLiteral("Pick"));

    fresh->ComboGeneralProps()->SetGeneralInputType(ccitNumeric);
    EXPECT_TRUE(fresh->VisualNumberProps()->NumberNumericsOnly());
    TPropHelper *helper = fresh->PropHelper();
    EXPECT_TRUE(helper->Translated(QStringLiteral("ListDropRows")));
    EXPECT_EQ(GlobalGeneralString, QStringLiteral("Drop Rows"));
    EXPECT_TRUE(helper->Translated(QStringLiteral("ValidationRestrictTo")));
    EXPECT_FALSE(helper->Translated(QStringLiteral("GeneralReadOnly")));
    EXPECT_FALSE(helper->Translated(QStringLiteral("GeneralMaxChars")));
}

TEST_F(Combo, ANonItemInAListOnlyBoxShowsThePromptIsNotFilledAndNeverPrints)
{
    TCombo *title
        = Add(QStringLiteral("Title"), QRect(50, 50, 160, 30), QStringLiteral("Mr;Ms;Dr"));
    title->ComboListProps()->SetListType(ctDropDownList);
    title->ComboGeneralProps()->SetGeneralPrompt(QStringLiteral("Choose a title"));
    title->VisualGeneralProps()->SetGeneralRequired(true);
    title->SetText(QStringLiteral("Sir"));
    EXPECT_EQ(Shown(title), QStringLiteral("Choose a title"));
    EXPECT_FALSE(title->Filled());
    TVisualPgCtrl *failed = nullptr;
    QString message;
    EXPECT_FALSE(title->Aquired(failed, message, true, 0));
    EXPECT_EQ(message, QStringLiteral("Title is incomplete!"));
    EXPECT_EQ(InkOnPaper(title), 0);

    // Only a whole item is a choice, not the start of one.
    title->SetText(QStringLiteral("D"));
    EXPECT_FALSE(title->Filled());
    title->SetText(QStringLiteral("dr"));
    EXPECT_TRUE(title->Filled());
    EXPECT_EQ(Shown(title), QStringLiteral("dr"));
    EXPECT_TRUE(title->Aquired(failed, message, true, 0));
    EXPECT_GT(InkOnPaper(title), 0);
    // A web form checks the choice once, with the list's code.
    EXPECT_EQ(title->GetValidationHTML(0),
              QStringLiteral("        'Title', '#q', '1', 'Title is incomplete!'"));

    // An editable box prompts only while empty.
    TCombo *country
        = Add(QStringLiteral("Country"), QRect(50, 100, 160, 30), QStringLiteral("France;Spain"));
    country->ComboGeneralProps()->SetGeneralPrompt(QStringLiteral("Country?"));
    EXPECT_EQ(Shown(country), QStringLiteral("Country?"));
    EXPECT_FALSE(country->Filled());
    // Editing shows the entry, not the prompt; leaving brings the prompt back.
    ASSERT_NE(Click(country), nullptr);
    EXPECT_EQ(Shown(country), QString());
    EXPECT_TRUE(country->WYSIWYGEngine()->WrappedText().isEmpty());
    country->KillFocus();
    EXPECT_EQ(Shown(country), QStringLiteral("Country?"));
    country->SetText(QStringLiteral("Atlantis"));
    EXPECT_EQ(Shown(country), QStringLiteral("Atlantis"));
    EXPECT_TRUE(country->Filled());

    // E-mail entries are checked.
    country->ComboGeneralProps()->SetGeneralInputType(ccitEmail);
    EXPECT_FALSE(country->Aquired(failed, message, false, 0));
    EXPECT_EQ(message, QStringLiteral("Country contains an invalid email address!"));
    country->SetText(QStringLiteral("a@example.org"));
    EXPECT_TRUE(country->Aquired(failed, message, false, 0));
}

TEST_F(Combo, TwentyItemsInEightRowsScrollAndEveryKeyStaysInTheList)
{
    TCombo *combo = Add(QStringLiteral("Many"), QRect(100, 100, 160, 30), Numbered(20));
    TComboInPlaceEdit *editor = Click(combo);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->Dropped());
    QTest::keyClick(editor, Qt::Key_F4);
    ASSERT_TRUE(editor->Dropped());
    TComboInPlaceList *list = editor->List();
    EXPECT_EQ(list->parentWidget(), view);
    EXPECT_EQ(list->VisibleRows(), 8);
    EXPECT_FALSE(list->ScrollBar()->isHidden());
    EXPECT_EQ(list->ScrollBar()->maximum(), 12);
    // Eight rows laid out, each as high as one line of text.
    EXPECT_EQ(list->WYSIWYGEngine()->TextData(list->WYSIWYGEngine()->TextDataCount() - 1)->Line, 8);
    EXPECT_NEAR(list->height(), 8 * list->RowHeight(), 8);
    EXPECT_EQ(list->ItemIndex(), -1);

    QTest::keyClick(editor, Qt::Key_Up);
    EXPECT_EQ(list->ItemIndex(), 0);
    QTest::keyClick(editor, Qt::Key_PageDown);
    EXPECT_EQ(list->ItemIndex(), 7);
    QTest::keyClick(editor, Qt::Key_PageDown);
    EXPECT_EQ(list->ItemIndex(), 14);
    EXPECT_EQ(list->FirstVisibleItem(), 7);
    QTest::keyClick(editor, Qt::Key_PageDown);
    EXPECT_EQ(list->ItemIndex(), 19);
    QTest::keyClick(editor, Qt::Key_Down);
    EXPECT_EQ(list->ItemIndex(), 19);
    EXPECT_EQ(list->FirstVisibleItem(), 12);
    EXPECT_EQ(list->ScrollBar()->value(), 12);
    QTest::keyClick(editor, Qt::Key_PageUp);
    EXPECT_EQ(list->ItemIndex(), 12);
    QTest::keyClick(editor, Qt::Key_Home);
    EXPECT_EQ(list->ItemIndex(), 0);
    QTest::keyClick(editor, Qt::Key_PageUp);
    EXPECT_EQ(list->ItemIndex(), 0);
    QTest::keyClick(editor, Qt::Key_End);
    EXPECT_EQ(list->ItemIndex(), 19);
    // The keys moved the list only.
    EXPECT_EQ(combo->Text(), QString());

    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(editor->Dropped());
    EXPECT_EQ(combo->Text(), QStringLiteral("Item 20"));
    EXPECT_EQ(combo->Editor(), editor);

    // Opening again starts at the chosen item; Escape leaves the text alone.
    QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(editor->Dropped());
    EXPECT_EQ(list->ItemIndex(), 19);
    QTest::keyClick(editor, Qt::Key_Up);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor->Dropped());
    EXPECT_EQ(combo->Text(), QStringLiteral("Item 20"));
    EXPECT_EQ(combo->Editor(), editor);
}

TEST_F(Combo, TheOpenListShowsItsRowsAndTheChosenOneHighlighted)
{
    view->SetZoom(150);
    TCombo *combo = Add(QStringLiteral("Look"), QRect(100, 100, 200, 40), Numbered(12));
    combo->VisualBorderProps()->SetBorderWidth(1);
    combo->ComboListProps()->ListBorderProps()->SetBorderWidth(1);
    combo->ComboListProps()->SetListDropRows(5);
    combo->SetText(QStringLiteral("Item 3"));
    TComboInPlaceEdit *editor = Click(combo);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_F4);
    ASSERT_TRUE(editor->Dropped());
    TComboInPlaceList *list = editor->List();
    EXPECT_EQ(list->ItemIndex(), 2);
    // It hides what lies beneath it.
    EXPECT_FALSE(list->VisualFillProps()->FillTransparent());
    const QImage shot = view->grab().toImage();
    if (!qEnvironmentVariableIsEmpty("VELORA_GRAB_DIR"))
        shot.save(qEnvironmentVariable("VELORA_GRAB_DIR") + QStringLiteral("/combo_list.png"));
    // The chosen row is navy across, the others white.
    const QRect at = list->geometry();
    const int row = list->RowHeight();
    const int third = at.top() + 1 + 2 * row + row / 2;
    const int blank = at.left() + at.width() * 3 / 4;
    EXPECT_EQ(QColor(shot.pixel(blank, third)), QColor(Qt::darkBlue));
    EXPECT_EQ(QColor(shot.pixel(blank, at.top() + 1 + row / 2)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(blank, third + row)), QColor(Qt::white));
    // Text is drawn in each row.
    int ink = 0;
    for (int x = at.left() + 2; x < at.left() + at.width() / 2; ++x)
        ink += qGray(shot.pixel(x, at.top() + 1 + row / 2)) < 128 ? 1 : 0;
    EXPECT_GT(ink, 0);
    combo->KillFocus();
}

TEST_F(Combo, EnterWithNothingChosenJustClosesAndAOneRowListStillPages)
{
    TCombo *combo = Add(QStringLiteral("Few"), QRect(100, 100, 160, 30), Numbered(3));
    combo->ComboListProps()->SetListDropRows(1);
    TComboInPlaceEdit *editor = Click(combo);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_F4);
    ASSERT_TRUE(editor->Dropped());
    EXPECT_EQ(editor->List()->VisibleRows(), 1);
    QTest::keyClick(editor, Qt::Key_Enter);
    EXPECT_FALSE(editor->Dropped());
    EXPECT_EQ(combo->Text(), QString());

    QTest::keyClick(editor, Qt::Key_F4);
    QTest::keyClick(editor, Qt::Key_PageDown);
    EXPECT_EQ(editor->List()->ItemIndex(), 0);
    QTest::keyClick(editor, Qt::Key_PageDown);
    EXPECT_EQ(editor->List()->ItemIndex(), 1);
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_FALSE(editor->Dropped());
}

TEST_F(Combo, AListThatWouldPassTheBottomOpensUpwards)
{
    TCombo *low
        = Add(QStringLiteral("Low"), QRect(100, view->height() - 50, 160, 30), Numbered(20));
    TComboInPlaceEdit *editor = Click(low);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(editor->Dropped());
    EXPECT_EQ(editor->List()->geometry().bottom(), low->geometry().top() - 1);
    EXPECT_GE(editor->List()->y(), 0);

    // Near the right edge it moves left, under the box otherwise.
    TCombo *right = Add(QStringLiteral("Right"), QRect(view->width() - 100, 100, 70, 30),
                        QStringLiteral("A rather long item that is wider than the box;b"));
    editor = Click(right);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_F4);
    ASSERT_TRUE(editor->Dropped());
    const QRect at = editor->List()->geometry();
    EXPECT_EQ(at.top(), right->geometry().bottom() + 1);
    EXPECT_GT(at.width(), right->width());
    EXPECT_LE(at.right(), view->rect().right());
}

TEST_F(Combo, AClickPicksAnItemAndTheButtonOpensAndCloses)
{
    TCombo *combo = Add(QStringLiteral("Pick"), QRect(100, 100, 160, 30), Numbered(5));
    TComboInPlaceEdit *editor = Click(combo);
    ASSERT_NE(editor, nullptr);
    TComboInPlaceButton *button = editor->Button();
    ASSERT_FALSE(button->isHidden());
    EXPECT_EQ(button->geometry().translated(editor->pos()),
              combo->ButtonRect().translated(combo->pos()));
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(editor->Dropped());
    TComboInPlaceList *list = editor->List();
    const int row = list->RowHeight();
    // The middle of the third row.
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(20, 2 * row + row / 2));
    EXPECT_FALSE(editor->Dropped());
    EXPECT_EQ(combo->Text(), QStringLiteral("Item 3"));

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(editor->Dropped());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(editor->Dropped());

    // A click on the button of a box without the focus opens its list at once.
    TCombo *other = Add(QStringLiteral("Other"), QRect(100, 300, 160, 30), Numbered(3));
    QTest::mouseClick(other, Qt::LeftButton, {}, other->ButtonRect().center());
    auto *otherEditor = qobject_cast<TComboInPlaceEdit *>(other->Editor());
    ASSERT_NE(otherEditor, nullptr);
    EXPECT_TRUE(otherEditor->Dropped());
    other->KillFocus();
    // So does any click with automatic drop.
    other->ComboListProps()->SetListAutoDrop(true);
    otherEditor = Click(other);
    ASSERT_NE(otherEditor, nullptr);
    EXPECT_TRUE(otherEditor->Dropped());
    other->KillFocus();
    editor = Click(combo);
    ASSERT_NE(editor, nullptr);

    // A list-only box opens on a click into it.
    combo->ComboListProps()->SetListType(ctDropDownList);
    QTest::mouseClick(editor, Qt::LeftButton, {}, editor->rect().center() - QPoint(20, 0));
    EXPECT_TRUE(editor->Dropped());
    combo->KillFocus();
    EXPECT_EQ(combo->Editor(), nullptr);
}

TEST_F(Combo, TypingCompletesFromTheItemsAndAListOnlyBoxRefusesOthers)
{
    const QString fruit = QStringLiteral("Mango;apple;MAPLE");
    TCombo *editable = Add(QStringLiteral("Editable"), QRect(100, 100, 160, 30), fruit);
    TComboInPlaceEdit *editor = Click(editable);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("ma"));
    EXPECT_EQ(editable->Text(), QStringLiteral("Mango"));
    // The completed part is selected, so typing on replaces it.
    int start = 0;
    int length = 0;
    QString selected;
    editor->SelectedText(start, length, selected);
    EXPECT_EQ(selected, QStringLiteral("ngo"));
    QTest::keyClicks(editor, QStringLiteral("p"));
    EXPECT_EQ(editable->Text(), QStringLiteral("MAPLE"));
    QTest::keyClicks(editor, QStringLiteral("x"));
    EXPECT_EQ(editable->Text(), QStringLiteral("MAPx"));
    // Backspace takes a character back without completing again.
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editable->Text(), QStringLiteral("MAP"));
    editable->KillFocus();

    TCombo *listOnly = Add(QStringLiteral("ListOnly"), QRect(100, 200, 160, 30), fruit);
    listOnly->ComboListProps()->SetListType(ctDropDownList);
    editor = Click(listOnly);
    ASSERT_NE(editor, nullptr);
    const int beeps = ScriptedDialogs().Beeps();
    QTest::keyClicks(editor, QStringLiteral("x"));
    EXPECT_EQ(listOnly->Text(), QString());
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 1);
    QTest::keyClicks(editor, QStringLiteral("ap"));
    EXPECT_EQ(listOnly->Text(), QStringLiteral("apple"));
    QTest::keyClicks(editor, QStringLiteral("z"));
    EXPECT_EQ(listOnly->Text(), QStringLiteral("apple"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 2);
    TContextMenuState state;
    editor->GetContextMenuState(state);
    EXPECT_FALSE(state.SelectAll);
    EXPECT_FALSE(state.Paste);
    // The open list follows what is typed.
    QTest::keyClick(editor, Qt::Key_F4);
    EXPECT_EQ(editor->List()->ItemIndex(), 1);
    listOnly->KillFocus();
    EXPECT_EQ(listOnly->Text(), QStringLiteral("apple"));
    EXPECT_TRUE(listOnly->Filled());
}

TEST_F(Combo, TheItemsDialogAndTheRegisteredEditors)
{
    TCombo *combo = Add(QStringLiteral("Edited"), QRect(100, 100, 160, 30), QStringLiteral("a"));
    combo->RegisterPropertyEditors();
    const TPropEditorRegistration *items
        = FindPropertyEditor(QStringLiteral("ListItems"), QStringLiteral("QString"),
                             QStringLiteral("TComboPropGroupList"));
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->EditorClass, QStringLiteral("TPropEditorComboListItems"));
    EXPECT_EQ(items->Kind, TPropEditorKind::Dialog);
    const TPropEditorRegistration *messages
        = FindPropertyEditor(QStringLiteral("ValidationErrMsgsList"), QStringLiteral("QStringList"),
                             QStringLiteral("TComboPropGroupValidation"));
    ASSERT_NE(messages, nullptr);
    EXPECT_EQ(messages->EditorClass, QStringLiteral("TPropEditorComboVEMs"));

    QString title;
    ScriptedDialogs().ExpectModal([&title](QDialog &dialog) {
        title = dialog.windowTitle();
        auto *memo = dialog.findChild<QPlainTextEdit *>();
        EXPECT_NE(memo, nullptr);
        if (!memo)
            return int(QDialog::Rejected);
        EXPECT_EQ(memo->toPlainText(), QStringLiteral("a"));
        memo->setPlainText(QStringLiteral("North;South\nEast"));
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(PropEditorEditDialog(combo, QStringLiteral("ListItems")));
    EXPECT_EQ(title, QStringLiteral("Drop Down List Items"));
    EXPECT_EQ(combo->ComboListProps()->Items().size(), 3);

    // Cancelled: nothing changes.
    ScriptedDialogs().ExpectModal([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_FALSE(PropEditorEditDialog(combo, QStringLiteral("ListItems")));
    EXPECT_EQ(combo->ComboListProps()->Items().size(), 3);

    // Undo and redo replay the value through the element.
    const QString name = QStringLiteral("ListItems");
    const QString value = QStringLiteral("x;y");
    SendMessage(combo, VRMSGDblClickDlgSetPropVal, reinterpret_cast<std::uintptr_t>(&name),
                reinterpret_cast<std::intptr_t>(&value));
    EXPECT_EQ(combo->ComboListProps()->Items().size(), 2);

    QStringList checks;
    ScriptedDialogs().ExpectModal([&checks](QDialog &dialog) {
        auto *failed = dialog.findChild<QListWidget *>();
        for (int i = 0; failed && i < failed->count(); ++i)
            checks << failed->item(i)->text();
        return int(QDialog::Rejected);
    });
    EditValidationErrMsgs(combo, nullptr);
    EXPECT_EQ(checks,
              QStringList({QStringLiteral("Required"), QStringLiteral("Invalid Number/Range"),
                           QStringLiteral("Invalid Email Address")}));
}

TEST_F(Combo, ResetPutsBackOnlyWhatTheKindAccepts)
{
    TCombo *combo = Add(QStringLiteral("Reset"), QRect(100, 100, 160, 30), QStringLiteral("a;b"));
    combo->ComboListProps()->SetListType(ctDropDownList);
    combo->VisualResetFormProps()->SetResetFormCanBeReset(true);
    combo->VisualResetFormProps()->SetResetFormTextOnReset(QStringLiteral("b"));
    combo->SetText(QStringLiteral("a"));
    combo->ResetContent();
    EXPECT_EQ(combo->Text(), QStringLiteral("b"));
    combo->VisualResetFormProps()->SetResetFormTextOnReset(QStringLiteral("zz"));
    combo->ResetContent();
    EXPECT_EQ(combo->Text(), QStringLiteral("b"));
    combo->ComboListProps()->SetListType(ctDropDown);
    combo->ResetContent();
    EXPECT_EQ(combo->Text(), QStringLiteral("zz"));
}

TEST_F(Combo, StreamingKeepsTheListAndButtonSettings)
{
    TCombo *combo = Add(QStringLiteral("Saved"), QRect(100, 100, 160, 30), QStringLiteral("a;b;c"));
    combo->ComboListProps()->SetListType(ctDropDownList);
    combo->ComboListProps()->SetListDropRows(5);
    combo->ComboListProps()->SetListSorted(true);
    combo->ComboListProps()->ListFillProps()->SetFillColor(clYellow);
    combo->ComboButtonProps()->SetButtonPosition(bsOutside);
    combo->ComboButtonProps()->SetButtonAlwaysDisplay(false);
    combo->ComboGeneralProps()->SetGeneralPrompt(QStringLiteral("Choose"));
    combo->VisualResetFormProps()->SetResetFormTextOnReset(QStringLiteral("b"));
    combo->SetText(QStringLiteral("c"));

    TMemoryStream stream(ComponentToBytes(combo));
    auto *copy = dynamic_cast<TCombo *>(ReadNewComponent(stream, nullptr));
    ASSERT_NE(copy, nullptr);
    std::unique_ptr<TCombo> owned(copy);
    EXPECT_EQ(copy->ListType(), ctDropDownList);
    EXPECT_EQ(copy->ComboListProps()->ListItems(), QStringLiteral("a\r\nb\r\nc"));
    EXPECT_EQ(copy->ComboListProps()->ListDropRows(), 5);
    EXPECT_TRUE(copy->ComboListProps()->ListSorted());
    EXPECT_EQ(copy->ComboListProps()->ListFillProps()->FillColor(), clYellow);
    EXPECT_EQ(copy->ComboButtonProps()->ButtonPosition(), bsOutside);
    EXPECT_FALSE(copy->ComboButtonProps()->ButtonAlwaysDisplay());
    EXPECT_EQ(copy->Prompt(), QStringLiteral("Choose"));
    EXPECT_EQ(copy->VisualResetFormProps()->ResetFormTextOnReset(), QStringLiteral("b"));
    EXPECT_EQ(copy->Text(), QStringLiteral("c"));
}
