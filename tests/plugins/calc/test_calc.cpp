// The calculation box on a page with text boxes: what it shows, circles,
// renames, the order and count of recalculations, values that cannot change an
// expression, and the expression editor with its element picker.

#include "CBaseElementHintForm.h"
#include "CCalc.h"
#include "CCalcExprPropEditorForm.h"
#include "CCalcGraph.h"
#include "CComponentStream.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPropEditors.h"
#include "CPropHelper.h"
#include "CScribe.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {
// Passes text changes on to the followers and renames to every element, as the main windows do.
class TMainWindow : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGVisualPgCtrlTextChanged)
            message.Result = TBasePgCtrl::NotifyTextFollowers(message.WParam);
    }
};

class Calc : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        ScriptedDialogs().Reset();
        GlobalMainForm = &mainWindow;
        GlobalPagesPageControl = pages.get();
        GlobalFilling = true;
        view = AddPage();
    }
    void TearDown() override
    {
        pages.reset();
        ScriptedDialogs().VerifyAllUsed();
    }
    TPrinterPage *AddPage()
    {
        auto *page = new TPrinterPage(pages.get(), pages->AddPage(QStringLiteral("Page")));
        page->resize(900, 1200);
        return page;
    }
    template<class T>
    T *Add(const QString &name, TPrinterPage *on = nullptr)
    {
        auto *element = CreateComponent<T>(pages.get());
        element->setParent(on ? on : view);
        element->SetName(name);
        element->setGeometry(20, 20 + 30 * m_placed++, 120, 25);
        element->CalcRelBounds(true, true, true, true, true, true);
        element->show();
        return element;
    }
    TScribe *Input(const QString &name, const QString &text = QString())
    {
        TScribe *box = Add<TScribe>(name);
        box->SetText(text);
        return box;
    }
    TCalc *Box(const QString &name, const QString &expression)
    {
        TCalc *box = Add<TCalc>(name);
        box->SetCalcExpression(expression);
        return box;
    }
    static QString Shown(const TCalc *box) { return box->DisplayText(box->Text()); }

    TMainWindow mainWindow;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>();
    TPrinterPage *view = nullptr;
    int m_placed = 0;
};
} // namespace

TEST_F(Calc, NewBoxIsAReadOnlyRightAlignedNumber)
{
    std::unique_ptr<TCalc> fresh(CreateComponent<TCalc>(nullptr));
    EXPECT_EQ(fresh->size(), QSize(121, 25));
    EXPECT_EQ(fresh->ClassTypeID(), 80);
    EXPECT_TRUE(fresh->VisualGeneralProps()->GeneralReadOnly());
    EXPECT_FALSE(fresh->CanFocus());
    EXPECT_TRUE(fresh->VisualNumberProps()->NumberNumericsOnly());
    EXPECT_EQ(fresh->VisualParagraphProps()->ParagraphHorzAlign(), taRightJustify);
    EXPECT_EQ(fresh->VisualParagraphProps()->ParagraphVertAlign(), taVerticalCenter);
    EXPECT_TRUE(qobject_cast<TCalcPropGroupCharacter *>(fresh->VisualCharacterProps()));
    EXPECT_EQ(fresh->HlpCtx(QStringLiteral("TCalc")), 67);
    EXPECT_EQ(fresh->HlpCtx(QStringLiteral("CalcExpression")), 118);
    TPropHelper *helper = fresh->PropHelper();
    EXPECT_TRUE(helper->Translated(QStringLiteral("CalcExpression")));
    EXPECT_EQ(GlobalGeneralString, QStringLiteral("Expression"));
    EXPECT_FALSE(helper->Translated(QStringLiteral("GeneralReadOnly")));
    EXPECT_FALSE(helper->Translated(QStringLiteral("NumberNumericsOnly")));
}

TEST_F(Calc, ShowsItsValueZeroAndWhatCannotBeComputed)
{
    TScribe *a = Input(QStringLiteral("A"), QStringLiteral("4"));
    TScribe *b = Input(QStringLiteral("B"), QStringLiteral("6"));
    TCalc *empty = Box(QStringLiteral("Empty"), QStringLiteral("  "));
    EXPECT_EQ(Shown(empty), QStringLiteral("0.00"));
    empty->VisualNumberProps()->SetNumberDisplayZero(false);
    EXPECT_EQ(Shown(empty), QString());

    TCalc *largest = Box(QStringLiteral("Largest"), QStringLiteral("Max(A, B) - Min(a, b)"));
    EXPECT_EQ(double(largest->AsFloat()), 2.0);
    TCalc *zeroDivide = Box(QStringLiteral("ZeroDivide"), QStringLiteral("A / (B - 6)"));
    EXPECT_EQ(double(zeroDivide->AsFloat()), 0.0);
    EXPECT_EQ(Shown(zeroDivide), QStringLiteral("0.00"));

    b->SetText(QStringLiteral("lots"));
    EXPECT_TRUE(std::isnan(largest->AsFloat()));
    EXPECT_EQ(Shown(largest), QStringLiteral("NAN"));
    b->SetText(QString());
    EXPECT_EQ(double(largest->AsFloat()), 4.0);

    // Thousands separators and decimals as the input shows them.
    b->ScribeGeneralProps()->SetGeneralInputType(tbitNumeric);
    b->VisualNumberProps()->SetNumberSeparateThousands(true);
    b->VisualNumberProps()->SetNumberDecPlaces(2);
    b->SetText(QStringLiteral("1234.5"));
    ASSERT_EQ(b->DisplayText(b->Text()), QStringLiteral("1,234.50"));
    TCalc *sum = Box(QStringLiteral("Sum"), QStringLiteral("B + A"));
    sum->VisualNumberProps()->SetNumberDecPlaces(2);
    EXPECT_EQ(double(sum->AsFloat()), 1238.5);
    EXPECT_EQ(sum->Text(), QStringLiteral("1238.5"));
    Q_UNUSED(a);
}

TEST_F(Calc, CirclesShowInEveryBoxOnThemOrReachingThem)
{
    Input(QStringLiteral("Seed"), QStringLiteral("1"));
    TCalc *a = Box(QStringLiteral("A"), QStringLiteral("B + 1"));
    TCalc *b = Box(QStringLiteral("B"), QStringLiteral("A + 1"));
    TCalc *after = Box(QStringLiteral("After"), QStringLiteral("A * 2"));
    TCalc *self = Box(QStringLiteral("Self"), QStringLiteral("Self + Seed"));
    TCalc *apart = Box(QStringLiteral("Apart"), QStringLiteral("Seed + 1"));
    for (TCalc *box : {a, b, after, self}) {
        EXPECT_EQ(Shown(box), TCalc::CircRefText()) << box->Name().toStdString();
        EXPECT_TRUE(std::isnan(box->AsFloat()));
    }
    EXPECT_EQ(Shown(apart), QStringLiteral("2.00"));

    // Breaking the circle by editing one expression frees them all.
    b->SetCalcExpression(QStringLiteral("Seed + 1"));
    EXPECT_EQ(Shown(a), QStringLiteral("3.00"));
    EXPECT_EQ(Shown(after), QStringLiteral("6.00"));
    // A rename can close a circle too.
    TCalc *c = Box(QStringLiteral("C"), QStringLiteral("D + 1"));
    TCalc *d = Box(QStringLiteral("Other"), QStringLiteral("C + 1"));
    EXPECT_EQ(Shown(c), QStringLiteral("NAN")); // no element D yet
    d->SetName(QStringLiteral("D"));
    EXPECT_EQ(Shown(c), TCalc::CircRefText());
    EXPECT_EQ(c->Text(), QStringLiteral("NAN"));
    EXPECT_EQ(Shown(d), TCalc::CircRefText());
}

TEST_F(Calc, RenamesRewriteWholeNamesOnly)
{
    TScribe *qty = Input(QStringLiteral("Qty"), QStringLiteral("3"));
    Input(QStringLiteral("Qty2"), QStringLiteral("10"));
    TCalc *box = Box(QStringLiteral("Total"), QStringLiteral("qty*2 + Qty2 + QTY(1)"));
    qty->SetName(QStringLiteral("Quantity"));
    EXPECT_EQ(box->CalcExpression(), QStringLiteral("Quantity*2 + Qty2 + QTY(1)"));
    EXPECT_TRUE(box->Walker().Contains(QStringLiteral("QUANTITY")));
    EXPECT_FALSE(box->Walker().Contains(QStringLiteral("QTY")));
    // The renamed element is still followed.
    box->SetCalcExpression(QStringLiteral("qUANTITY * 2 + Qty2"));
    qty->SetText(QStringLiteral("4"));
    EXPECT_EQ(box->Text(), QStringLiteral("18"));
    EXPECT_EQ(TCalc::RenamedExpr(QStringLiteral("Amount+Amount2+2E5"), QStringLiteral("amount"),
                                 QStringLiteral("Total")),
              QStringLiteral("Total+Amount2+2E5"));
}

TEST_F(Calc, NamesFollowedByParenthesisAndFloatAreNeverElements)
{
    Input(QStringLiteral("Max"), QStringLiteral("1000"));
    Input(QStringLiteral("Floating_Rate"), QStringLiteral("2"));
    Input(QStringLiteral("E5"), QStringLiteral("7"));
    TCalc *box = Box(QStringLiteral("Box"), QStringLiteral("Max(1, 2) + Floating_Rate + 1E5"));
    EXPECT_EQ(double(box->AsFloat()), 100004.0);
    EXPECT_EQ(TCalc::FormatExpr(QStringLiteral("float(1,5) + Floating + a, b")),
              QStringLiteral("(1.5)+FLOATING+A,B"));
    EXPECT_EQ(TCalc::FormatExpr(QStringLiteral("Max(FLOAT (2,5), 1)")),
              QStringLiteral("MAX((2.5),1)"));
}

TEST_F(Calc, EnteredValuesChangeOnlyTheValueNeverTheExpression)
{
    TScribe *a = Input(QStringLiteral("A"), QStringLiteral("555-1234"));
    TCalc *twice = Box(QStringLiteral("Twice"), QStringLiteral("A * 2"));
    TCalc *square = Box(QStringLiteral("Square"), QStringLiteral("A ^ 2"));
    EXPECT_TRUE(std::isnan(twice->AsFloat())) << double(twice->AsFloat());
    a->SetText(QStringLiteral("-5"));
    EXPECT_EQ(double(square->AsFloat()), 25.0);
    EXPECT_EQ(double(twice->AsFloat()), -10.0);
    a->SetText(QStringLiteral("2.5"));
    // Whatever the machine's locale, the value reads with its decimal point.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    twice->SetCalcExpression(QStringLiteral("A * 2 + Max(A, 1)"));
    QLocale::setDefault(before);
    EXPECT_EQ(double(twice->AsFloat()), 7.5);
}

TEST_F(Calc, ATypedChangeRecomputesEachDependantOnceInputsFirst)
{
    TScribe *a = Input(QStringLiteral("A"), QStringLiteral("1"));
    TScribe *unrelated = Input(QStringLiteral("Unrelated"), QStringLiteral("1"));
    TCalc *d = Box(QStringLiteral("D"), QStringLiteral("B + C"));
    TCalc *b = Box(QStringLiteral("B"), QStringLiteral("A * 2"));
    TCalc *c = Box(QStringLiteral("C"), QStringLiteral("A + 1"));
    TCalc *other = Box(QStringLiteral("Other"), QStringLiteral("Unrelated + 1"));
    EXPECT_EQ(d->Text(), QStringLiteral("4"));
    // One box follows text changes for all of them.
    int following = 0;
    for (TCalc *box : {b, c, d, other})
        following += box->FollowsTextChanges() ? 1 : 0;
    EXPECT_EQ(following, 1);

    const auto counts = [&] {
        return QList<int> {b->EvalCount(), c->EvalCount(), d->EvalCount(), other->EvalCount()};
    };
    const QList<int> before = counts();
    QList<int> seenByD;
    a->SetText(QStringLiteral("5"));
    const QList<int> after = counts();
    EXPECT_EQ(after[0] - before[0], 1);
    EXPECT_EQ(after[1] - before[1], 1);
    EXPECT_EQ(after[2] - before[2], 1);
    EXPECT_EQ(after[3] - before[3], 0);
    EXPECT_EQ(b->Text(), QStringLiteral("10"));
    EXPECT_EQ(c->Text(), QStringLiteral("6"));
    EXPECT_EQ(d->Text(), QStringLiteral("16"));

    // A change no box depends on evaluates nothing but its own dependants.
    unrelated->SetText(QStringLiteral("2"));
    EXPECT_EQ(counts().mid(0, 3), after.mid(0, 3));
    EXPECT_EQ(other->Text(), QStringLiteral("3"));
}

TEST_F(Calc, TheGraphFollowsExpressionEditsDeletionsAndNewElements)
{
    TScribe *a = Input(QStringLiteral("A"), QStringLiteral("1"));
    Input(QStringLiteral("X"), QStringLiteral("100"));
    TCalc *b = Box(QStringLiteral("B"), QStringLiteral("A + 1"));
    TCalc *d = Box(QStringLiteral("D"), QStringLiteral("B * 10"));
    EXPECT_EQ(d->Text(), QStringLiteral("20"));

    d->SetCalcExpression(QStringLiteral("X"));
    const int evaluations = d->EvalCount();
    a->SetText(QStringLiteral("2"));
    EXPECT_EQ(d->EvalCount(), evaluations);
    EXPECT_EQ(b->Text(), QStringLiteral("3"));

    // An element given a name that a box already uses is followed from then on.
    TCalc *waiting = Box(QStringLiteral("Waiting"), QStringLiteral("Newcomer + 1"));
    EXPECT_EQ(waiting->Text(), QStringLiteral("NAN"));
    TScribe *newcomer = Input(QStringLiteral("Newcomer"));
    EXPECT_EQ(waiting->Text(), QStringLiteral("1"));
    newcomer->SetText(QStringLiteral("41"));
    EXPECT_EQ(waiting->Text(), QStringLiteral("42"));

    d->SetCalcExpression(QStringLiteral("B * 10 + Later"));
    EXPECT_TRUE(std::isnan(d->AsFloat())); // no element Later yet
    delete b;
    GlobalNotifyCtrls(VRMSGCalcReset, 0, 0, true);
    GlobalNotifyCtrls(VRMSGCalcUpdate, 0, 0, true);
    a->SetText(QStringLiteral("3")); // nothing left that follows A
    TScribe *later = Input(QStringLiteral("Later"), QStringLiteral("1"));
    TCalc *again = Box(QStringLiteral("B"), QStringLiteral("A"));
    EXPECT_EQ(d->Text(), QStringLiteral("31"));
    later->SetText(QStringLiteral("2"));
    EXPECT_EQ(d->Text(), QStringLiteral("32"));
    // The follower going away hands following over to another box.
    delete again;
    ASSERT_NE(d->FollowsTextChanges(), waiting->FollowsTextChanges());
    later->SetText(QStringLiteral("4"));
    EXPECT_TRUE(std::isnan(d->AsFloat()));
}

TEST_F(Calc, AnInputThatGoesTakesItsValueFromItsDependants)
{
    auto *x = Input(QStringLiteral("X"), QStringLiteral("5"));
    TCalc *y = Box(QStringLiteral("Y"), QStringLiteral("X + 1"));
    TCalc *z = Box(QStringLiteral("Z"), QStringLiteral("Y * 2"));
    EXPECT_EQ(z->Text(), QStringLiteral("12"));
    delete x;
    QCoreApplication::processEvents();
    EXPECT_EQ(y->Text(), QStringLiteral("NAN"));
    EXPECT_EQ(z->Text(), QStringLiteral("NAN"));
    Input(QStringLiteral("X"), QStringLiteral("1"));
    EXPECT_EQ(z->Text(), QStringLiteral("4"));
}

TEST_F(Calc, StreamsItsExpressionAndItsOwnAlignment)
{
    TCalc *box = Box(QStringLiteral("Total"), QStringLiteral("1 + 2"));
    box->VisualParagraphProps()->SetParagraphHorzAlign(taLeftJustify);
    TMemoryStream stream(ComponentToBytes(box));
    auto *copy = dynamic_cast<TCalc *>(ReadNewComponent(stream, nullptr));
    ASSERT_NE(copy, nullptr);
    std::unique_ptr<TCalc> owned(copy);
    EXPECT_EQ(copy->CalcExpression(), QStringLiteral("1 + 2"));
    EXPECT_EQ(copy->VisualParagraphProps()->ParagraphHorzAlign(), taLeftJustify);
}

TEST_F(Calc, ExpressionEditorListsKeysAndPicks)
{
    TPrinterPage *second = AddPage();
    Input(QStringLiteral("Box10"), QStringLiteral("1"))
        ->ScribeGeneralProps()
        ->SetGeneralInputType(tbitNumeric);
    Input(QStringLiteral("Box2"), QStringLiteral("2"))
        ->ScribeGeneralProps()
        ->SetGeneralInputType(tbitNumeric);
    Input(QStringLiteral("Words"), QStringLiteral("not a number field"));
    TCalc *tax = Add<TCalc>(QStringLiteral("Tax"), second);
    TCalc *box = Box(QStringLiteral("Total"), QStringLiteral("Box2"));

    TCalcExprPropEditorForm form(box);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Expression"));
    EXPECT_EQ(form.property("HelpContext").toInt(), 68);
    EXPECT_EQ(form.ExprMemo()->textCursor().position(), 4);
    QStringList listed;
    for (int i = 0; i < form.FieldList()->count(); ++i)
        listed << form.FieldList()->item(i)->text();
    EXPECT_EQ(
        listed,
        QStringList({QStringLiteral("Box2"), QStringLiteral("Box10"), QStringLiteral("Tax")}));
    ASSERT_EQ(form.PageTabs()->count(), 3);
    form.show();
    form.PageTabs()->setCurrentIndex(2);
    EXPECT_EQ(form.FieldList()->count(), 1);
    EXPECT_FALSE(form.NoFieldsLabel()->isVisible());
    form.PageTabs()->setCurrentIndex(0);

    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Key_x")), Qt::LeftButton);
    const QRect item = form.FieldList()->visualItemRect(form.FieldList()->item(1));
    QTest::mouseClick(form.FieldList()->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(form.Expression(), QStringLiteral("Box2 * Box10"));
    EXPECT_EQ(form.ExprMemo()->textCursor().selectedText(), QStringLiteral("Box10"));
    // Clicking the selected name again changes nothing.
    QTest::mouseClick(form.FieldList()->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(form.Expression(), QStringLiteral("Box2 * Box10"));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Key_÷")), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("Key_4")), Qt::LeftButton);
    EXPECT_EQ(form.Expression(), QStringLiteral("Box2 *  / 4"));

    // Alt over the page names the element under the mouse; a click picks it.
    pages->show();
    TBaseElementHintForm *picker = form.Picker();
    const QPoint over = tax->mapToGlobal(tax->rect().center());
    GlobalPagesPageControl->SetActivePageIndex(1);
    picker->Track(over, Qt::AltModifier);
    ASSERT_TRUE(picker->Tracking());
    EXPECT_EQ(picker->Tracked(), tax);
    EXPECT_EQ(picker->text(), QStringLiteral("Tax"));
    form.ExprMemo()->selectAll();
    QTest::mouseClick(tax, Qt::LeftButton, {}, tax->rect().center());
    EXPECT_EQ(form.Expression(), QStringLiteral("Tax"));
    picker->Track(over, Qt::NoModifier);
    EXPECT_FALSE(picker->Tracking());
    EXPECT_FALSE(picker->isVisible());
    form.grab().save(QStringLiteral("calc_expression_editor.png"));
}

TEST_F(Calc, EditorIsRegisteredAndItsOkSetsTheExpression)
{
    Input(QStringLiteral("Price"), QStringLiteral("2"))
        ->ScribeGeneralProps()
        ->SetGeneralInputType(tbitNumeric);
    TCalc *box = Box(QStringLiteral("Total"), QStringLiteral("1"));
    box->RegisterPropertyEditors();
    const TPropEditorRegistration *editor
        = FindPropertyEditor(QStringLiteral("CalcExpression"), QStringLiteral("QString"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->EditorClass, QStringLiteral("TPropEditorCalcExpression"));

    const auto answer = [](const QString &typed, QDialogButtonBox::StandardButton button) {
        return [typed, button](QDialog &dialog) {
            auto *memo = dialog.findChild<QPlainTextEdit *>(QStringLiteral("ExprMemo"));
            memo->selectAll();
            QTest::keyClicks(memo, typed);
            dialog.findChild<QDialogButtonBox *>()->button(button)->click();
            return dialog.result();
        };
    };
    ScriptedDialogs().ExpectModal(answer(QStringLiteral("junk"), QDialogButtonBox::Cancel));
    EXPECT_FALSE(PropEditorEditDialog(box, QStringLiteral("CalcExpression")));
    EXPECT_EQ(box->CalcExpression(), QStringLiteral("1"));
    ScriptedDialogs().ExpectModal(answer(QStringLiteral("Price * 3"), QDialogButtonBox::Ok));
    EXPECT_TRUE(PropEditorEditDialog(box, QStringLiteral("CalcExpression")));
    EXPECT_EQ(box->CalcExpression(), QStringLiteral("Price * 3"));
    EXPECT_EQ(box->Text(), QStringLiteral("6"));
}

TEST_F(Calc, PickerNamesTheTopmostUsableElementAndStopsInsideTheDialog)
{
    TScribe *under = Input(QStringLiteral("Under"), QStringLiteral("1"));
    under->ScribeGeneralProps()->SetGeneralInputType(tbitNumeric);
    TCalc *over = Add<TCalc>(QStringLiteral("Over"));
    over->setGeometry(under->geometry().adjusted(10, 0, 10, 0));
    over->CalcRelBounds(true, true, true, true, true, true);
    TScribe *words = Input(QStringLiteral("Words"), QStringLiteral("text"));
    pages->show();
    QWidget dialog;
    dialog.setGeometry(600, 600, 100, 100);
    dialog.show();
    TBaseElementHintForm picker(
        &dialog, [](const TVisualPgCtrl *element) { return element->IsCalcField(); });
    const QPoint shared = under->mapToGlobal(QPoint(under->width() - 5, 5));
    EXPECT_EQ(picker.ElementAt(shared), over);
    EXPECT_EQ(picker.ElementAt(under->mapToGlobal(QPoint(3, 5))), under);
    EXPECT_EQ(picker.ElementAt(words->mapToGlobal(words->rect().center())), nullptr);

    QStringList picked;
    picker.OnPick = [&picked](const QString &name, bool accept) {
        picked << name + (accept ? QStringLiteral("!") : QString());
    };
    picker.Track(shared, Qt::AltModifier);
    ASSERT_TRUE(picker.Tracking());
    QTest::mouseDClick(over, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(picked.last(), QStringLiteral("Over!"));
    // Inside the dialog the mouse is the dialog's again.
    picker.Track(dialog.frameGeometry().center(), Qt::AltModifier);
    EXPECT_FALSE(picker.Tracking());
    const qsizetype before = picked.size();
    QTest::mouseClick(over, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(picked.size(), before);
}

TEST_F(Calc, DoubleClickEditIsOneUndoStepAndTheDialogMessageSetsTheExpression)
{
    TCalc *box = Box(QStringLiteral("Total"), QStringLiteral("1"));
    static QStringList recorded;
    recorded.clear();
    GlobalRecordDblClickUndo
        = [](QWidget *, const QString &property, const QString &oldValue, const QString &newValue) {
              recorded << property + u':' + oldValue + u'>' + newValue;
          };
    ScriptedDialogs().ExpectModal([](QDialog &dialog) {
        auto *form = qobject_cast<TCalcExprPropEditorForm *>(&dialog);
        form->InsertKey(QStringLiteral("+"));
        form->InsertKey(QStringLiteral("2"));
        return int(QDialog::Accepted);
    });
    QString value;
    EXPECT_TRUE(box->ShowPropEditor(QString(), true, value));
    EXPECT_EQ(value, QStringLiteral("1 + 2"));
    EXPECT_EQ(box->Text(), QStringLiteral("3"));
    EXPECT_EQ(recorded, QStringList({QStringLiteral("CalcExpression:1>1 + 2")}));

    const QString name = QStringLiteral("calcexpression");
    const QString text = QStringLiteral("10 * 2");
    SendMessage(box, VRMSGDblClickDlgSetPropVal, reinterpret_cast<std::uintptr_t>(&name),
                reinterpret_cast<std::intptr_t>(&text));
    EXPECT_EQ(box->Text(), QStringLiteral("20"));
}
