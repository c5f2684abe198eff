// The text box element: input types, masks, reset text, validation messages,
// the checks against other elements, renames and a streaming round trip.

#include "CComponentStream.h"
#include "CException.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "CPropEditors.h"
#include "CPropHelper.h"
#include "CScribe.h"
#include "CScribeInPlaceEdit.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// A kind with check data, standing for a check box.
class TCheckStandIn : public TVisualPgCtrl
{
    Q_OBJECT
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 50; }
    void *GetData(int index) override { return index == 0 ? &Checked : nullptr; }
    int Checked = 0;
};

// A check kind whose data is not there.
class TCheckWithoutData : public TVisualPgCtrl
{
    Q_OBJECT
public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 60; }
};

class Scribe : public ::testing::Test
{
protected:
    // First, so that the globals the tests change come back after everything else is gone.
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        GlobalMainForm = &mainWindow;
        GlobalPagesPageControl = pages.get();
        GlobalFilling = true;
        view = new TPrinterPage(pages.get(), pages->AddPage(QStringLiteral("Page")));
        view->resize(900, 1200);
        box = Add<TScribe>(QStringLiteral("Email"), QRect(100, 100, 200, 30));
    }
    void TearDown() override
    {
        pages.reset();
        GlobalPagesPageControl = nullptr;
        GlobalMainForm = nullptr;
        GlobalFilling = false;
    }
    template<class T>
    T *Add(const QString &name, const QRect &at)
    {
        auto *element = CreateComponent<T>(pages.get());
        element->setParent(view);
        element->SetName(name);
        element->setGeometry(at);
        element->CalcRelBounds(true, true, true, true, true, true);
        element->show();
        return element;
    }
    TCustomScribePropGroupGeneral *General(TScribe *b) const { return b->ScribeGeneralProps(); }
    TScribePropGroupValidation *Validation(TScribe *b) const { return b->ScribeValidationProps(); }
    // What Validate raises, empty when it passes.
    static QString Refusal(TVisualPgCtrl *element)
    {
        try {
            element->Validate();
        } catch (const EVeloraError &error) {
            return error.Message();
        }
        return {};
    }
    static QString AquiredMessage(TVisualPgCtrl *element, bool check = false)
    {
        TVisualPgCtrl *failed = nullptr;
        QString message;
        const bool ok = element->Aquired(failed, message, check, 0);
        EXPECT_EQ(ok, message.isEmpty());
        if (!ok) {
            EXPECT_EQ(failed, element);
        }
        return message;
    }

    QWidget mainWindow;
    std::unique_ptr<TPageControl> pages = std::make_unique<TPageControl>();
    TPrinterPage *view = nullptr;
    TScribe *box = nullptr;
};
} // namespace

TEST_F(Scribe, NewBoxHasItsSizeKindMessagesAndInspectorEntries)
{
    auto *fresh = CreateComponent<TScribe>(nullptr);
    std::unique_ptr<TScribe> owned(fresh);
    EXPECT_EQ(fresh->size(), QSize(121, 25));
    EXPECT_EQ(fresh->ClassTypeID(), 20);
    EXPECT_EQ(
        fresh->VisualValidationProps()->ValidationErrMsgsList(),
        QStringList({QStringLiteral("<Name> is incomplete!"), QStringLiteral("<Name> is invalid!"),
                     QStringLiteral("<Name> contains an invalid email address!"),
                     QStringLiteral("<Name> must match <MatchName>!"),
                     QStringLiteral("<CheckName> must be checked!")}));
    EXPECT_EQ(fresh->VisualScrollingProps()->ScrollingBars(), sbNone);

    TPropHelper *helper = fresh->PropHelper();
    EXPECT_TRUE(helper->PropUsed(QStringLiteral("GeneralInputType")));
    EXPECT_TRUE(helper->PropUsed(QStringLiteral("ValidationMustAlsoMatch")));
    EXPECT_TRUE(helper->PropUsed(QStringLiteral("ResetFormTextOnReset")));
    EXPECT_FALSE(helper->PropUsed(QStringLiteral("GeneralMaxChars")));
    EXPECT_FALSE(helper->PropUsed(QStringLiteral("NumberMinValue")));
    EXPECT_EQ(fresh->HlpCtx(QStringLiteral("TScribe")), 78);
    EXPECT_EQ(fresh->HlpCtx(QStringLiteral("GeneralInputType")), 137);
}

TEST_F(Scribe, InputTypeSetsPasswordNumericsAndWordWrap)
{
    box->VisualParagraphProps()->SetParagraphWrap(true);
    General(box)->SetGeneralInputType(tbitPassword);
    EXPECT_TRUE(General(box)->GeneralPassword());
    EXPECT_FALSE(box->VisualParagraphProps()->ParagraphWrap());
    EXPECT_TRUE(box->IsDefaultTextSingleLine());

    General(box)->SetGeneralInputType(tbitText);
    EXPECT_FALSE(General(box)->GeneralPassword());
    EXPECT_FALSE(box->VisualParagraphProps()->ParagraphWrap());
    EXPECT_FALSE(box->IsDefaultTextSingleLine());

    General(box)->SetGeneralInputType(tbitNumeric);
    EXPECT_TRUE(box->VisualNumberProps()->NumberNumericsOnly());
    General(box)->SetGeneralInputType(tbitEmail);
    EXPECT_FALSE(box->VisualNumberProps()->NumberNumericsOnly());
}

TEST_F(Scribe, PasswordShowsOneMaskPerCharacterAndAnswersTheQuery)
{
    box->SetText(QStringLiteral("s3cr\u00e9t\U0001F511"));
    EXPECT_EQ(SendMessage(box, VRMSGIsPassword), 0);
    General(box)->SetGeneralInputType(tbitPassword);
    EXPECT_EQ(box->DisplayText(box->Text()), QStringLiteral("*******"));
    EXPECT_EQ(SendMessage(box, VRMSGIsPassword), 1);
    General(box)->SetGeneralPassword(false);
    EXPECT_EQ(box->DisplayText(box->Text()), box->Text());
}

TEST_F(Scribe, PasswordEditorRefusesToCopyOrCut)
{
    General(box)->SetGeneralInputType(tbitPassword);
    box->SetText(QStringLiteral("hunter2"));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    box->SetFocus(QPoint(-1, -1));
    auto *editor = qobject_cast<TScribeInPlaceEdit *>(box->Editor());
    ASSERT_NE(editor, nullptr);
    TContextMenuState state;
    editor->GetContextMenuState(state);
    EXPECT_FALSE(state.Cut);
    EXPECT_FALSE(state.Copy);

    const int beeps = ScriptedDialogs().Beeps();
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(box->Text(), QStringLiteral("hunter2"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 2);
    box->KillFocus();
}

TEST_F(Scribe, ABoxShowingCapitalsStoresTheCapitalsItsRestrictionAllows)
{
    box->VisualGeneralProps()->SetGeneralRestrictTo(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));
    box->VisualCharacterProps()->SetCharacterStyle(csUpperCase);
    box->SetFocus(QPoint(-1, -1));
    auto *editor = qobject_cast<TScribeInPlaceEdit *>(box->Editor());
    ASSERT_NE(editor, nullptr);
    const int beeps = ScriptedDialogs().Beeps();
    QTest::keyClicks(editor, QStringLiteral("ab1-c"));
    EXPECT_EQ(box->Text(), QStringLiteral("AB1C"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 1); // the "-"

    // Pasted text is stored as typing stores it, and one bad character refuses it all.
    QApplication::clipboard()->setText(QStringLiteral("xy"));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("AB1CXY"));
    QApplication::clipboard()->setText(QStringLiteral("z!"));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("AB1CXY"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 2);
    box->KillFocus();

    // Shown as typed, a small letter stays refused; one the restriction names is kept as it is.
    box->VisualCharacterProps()->SetCharacterStyle({});
    box->VisualGeneralProps()->SetGeneralRestrictTo(QStringLiteral("ABCabc"));
    box->SetText(QString());
    box->SetFocus(QPoint(-1, -1));
    editor = qobject_cast<TScribeInPlaceEdit *>(box->Editor());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("aXb"));
    EXPECT_EQ(box->Text(), QStringLiteral("ab"));
    box->KillFocus();
    box->VisualCharacterProps()->SetCharacterStyle(csUpperCase);
    box->SetFocus(QPoint(-1, -1));
    editor = qobject_cast<TScribeInPlaceEdit *>(box->Editor());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, QStringLiteral("c"));
    EXPECT_EQ(box->Text(), QStringLiteral("abc"));
    box->KillFocus();
}

TEST_F(Scribe, AWholeNumberBoxRefusesAPastedFractionAsItRefusesTypingThePoint)
{
    General(box)->SetGeneralInputType(tbitNumeric);
    box->VisualNumberProps()->SetNumberDecPlaces(0);
    box->SetText(QStringLiteral("12"));
    box->SetFocus(QPoint(-1, -1));
    auto *editor = qobject_cast<TScribeInPlaceEdit *>(box->Editor());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_End);
    const int beeps = ScriptedDialogs().Beeps();
    QTest::keyClicks(editor, QStringLiteral("."));
    EXPECT_EQ(box->Text(), QStringLiteral("12"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 1);

    QApplication::clipboard()->setText(QStringLiteral("1.5"));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("12"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 2);
    // Also over a selection, which stays as it was.
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("12"));
    EXPECT_EQ(box->SelLength(), 2);
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 3);

    // A whole number goes in.
    QTest::keyClick(editor, Qt::Key_End);
    QApplication::clipboard()->setText(QStringLiteral("35"));
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), QStringLiteral("1235"));
    EXPECT_EQ(ScriptedDialogs().Beeps(), beeps + 3);
    box->KillFocus();
}

TEST_F(Scribe, ResetFormTakesTheResetTextOnlyWhenItMayBeReset)
{
    box->SetText(QStringLiteral("typed"));
    box->VisualResetFormProps()->SetResetFormTextOnReset(QStringLiteral("start"));
    SendMessage(box, VRMSGResetForm);
    EXPECT_EQ(box->Text(), QStringLiteral("start"));
    box->SetText(QStringLiteral("typed"));
    box->VisualResetFormProps()->SetResetFormCanBeReset(false);
    SendMessage(box, VRMSGResetForm);
    EXPECT_EQ(box->Text(), QStringLiteral("typed"));
}

TEST_F(Scribe, RequiredAndEmailMessagesNameTheElement)
{
    General(box)->SetGeneralInputType(tbitEmail);
    EXPECT_EQ(AquiredMessage(box, true), QStringLiteral("Email is incomplete!"));
    // An empty box passes the e-mail check.
    EXPECT_EQ(Refusal(box), QString());
    EXPECT_EQ(AquiredMessage(box), QString());

    box->SetText(QStringLiteral("not an address"));
    EXPECT_EQ(Refusal(box), QStringLiteral("Email contains an invalid email address!"));
    EXPECT_EQ(AquiredMessage(box), QStringLiteral("Email contains an invalid email address!"));
    box->SetText(QStringLiteral("jo@example.com"));
    EXPECT_EQ(Refusal(box), QString());
    EXPECT_EQ(AquiredMessage(box, true), QString());

    // The tag is replaced whatever its case.
    QStringList messages = box->VisualValidationProps()->ValidationErrMsgsList();
    messages[2] = QStringLiteral("Check <NAME> please");
    box->VisualValidationProps()->SetValidationErrMsgsList(messages);
    box->SetText(QStringLiteral("x@"));
    EXPECT_EQ(Refusal(box), QStringLiteral("Check Email please"));
}

TEST_F(Scribe, MustAlsoMatchComparesExactlyAndFollowsRenames)
{
    auto *confirm = Add<TScribe>(QStringLiteral("Confirm"), QRect(100, 200, 200, 30));
    Validation(confirm)->SetValidationMustAlsoMatch(QStringLiteral("email"));
    box->SetText(QStringLiteral("Jo@example.com"));
    confirm->SetText(QStringLiteral("jo@example.com"));
    EXPECT_EQ(AquiredMessage(confirm), QStringLiteral("Confirm must match email!"));
    confirm->SetText(QStringLiteral("Jo@example.com"));
    EXPECT_EQ(AquiredMessage(confirm), QString());

    // The main window hands renames to every element.
    const QString old = box->Name();
    box->SetName(QStringLiteral("Address"));
    SendMessage(confirm, VRMSGBasePgCtrlNameChanged, ObjectParam(box),
                reinterpret_cast<std::intptr_t>(&old));
    EXPECT_EQ(Validation(confirm)->ValidationMustAlsoMatch(), QStringLiteral("Address"));

    // A name that no longer exists passes.
    Validation(confirm)->SetValidationMustAlsoMatch(QStringLiteral("Gone"));
    confirm->SetText(QStringLiteral("other"));
    EXPECT_EQ(AquiredMessage(confirm), QString());
}

TEST_F(Scribe, MustAlsoCheckReadsOnlyKindsWithCheckData)
{
    auto *agree = Add<TCheckStandIn>(QStringLiteral("Agree"), QRect(10, 300, 20, 20));
    auto *bare = Add<TCheckWithoutData>(QStringLiteral("Bare"), QRect(10, 340, 20, 20));
    auto *other = Add<TScribe>(QStringLiteral("Other"), QRect(10, 380, 100, 20));
    Validation(box)->SetValidationMustAlsoCheck(QStringLiteral("Agree"));
    EXPECT_EQ(AquiredMessage(box), QStringLiteral("Agree must be checked!"));
    agree->Checked = 1;
    EXPECT_EQ(AquiredMessage(box), QString());

    // No data, or a kind that is not checked at all: nothing to read, so it passes.
    Validation(box)->SetValidationMustAlsoCheck(bare->Name());
    EXPECT_EQ(AquiredMessage(box), QString());
    Validation(box)->SetValidationMustAlsoCheck(other->Name());
    EXPECT_EQ(AquiredMessage(box), QString());

    // The inspector's drop lists offer only what each check can read.
    const QStringList checks = TScribe::MustAlsoCheckCandidates();
    EXPECT_TRUE(checks.contains(QStringLiteral("Agree")));
    EXPECT_FALSE(checks.contains(QStringLiteral("Other")));
    const QStringList matches = TScribe::MustAlsoMatchCandidates();
    EXPECT_TRUE(matches.contains(QStringLiteral("Other")));
    EXPECT_FALSE(matches.contains(QStringLiteral("Agree")));

    // The inspector's rows for the two checks are those drop lists.
    box->RegisterPropertyEditors();
    QObject *group = box->VisualValidationProps();
    for (const auto &[name, list] : {std::pair("ValidationMustAlsoCheck", checks),
                                     std::pair("ValidationMustAlsoMatch", matches)}) {
        const QMetaProperty property
            = group->metaObject()->property(group->metaObject()->indexOfProperty(name));
        const auto editor = CreatePropEditor({group}, property);
        ASSERT_TRUE(editor) << name;
        EXPECT_EQ(editor->GetValues(), list) << name;
    }
}

TEST_F(Scribe, MessageWindowEditsTheMessageOfTheChosenCheck)
{
    const QStringList before = box->VisualValidationProps()->ValidationErrMsgsList();
    const auto work = [](const QString &typed, QDialogButtonBox::StandardButton press) {
        return [typed, press](QDialog &dialog) {
            auto &form = static_cast<TVEMPropEditForm &>(dialog);
            QListWidget *failed = form.FailedList();
            EXPECT_EQ(failed->count(), 5);
            EXPECT_EQ(failed->item(2)->text(), QStringLiteral("Invalid Email Address"));
            EXPECT_EQ(failed->item(4)->text(), QStringLiteral("Must Also Check"));
            failed->setCurrentRow(2);
            EXPECT_EQ(form.MessageMemo()->toPlainText(),
                      QStringLiteral("<Name> contains an invalid email address!"));
            QTest::keyClick(form.MessageMemo(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(form.MessageMemo(), typed);
            form.findChild<QDialogButtonBox *>()->button(press)->click();
            return dialog.result();
        };
    };
    GlobalProjectChanged = false;
    ScriptedDialogs().ExpectModal(work(QStringLiteral("junk"), QDialogButtonBox::Cancel));
    EXPECT_FALSE(EditValidationErrMsgs(box, nullptr));
    EXPECT_EQ(box->VisualValidationProps()->ValidationErrMsgsList(), before);
    EXPECT_FALSE(GlobalProjectChanged);

    ScriptedDialogs().ExpectModal(
        work(QStringLiteral("Please check the address in <Name>."), QDialogButtonBox::Ok));
    EXPECT_TRUE(EditValidationErrMsgs(box, nullptr));
    QStringList after = before;
    after[2] = QStringLiteral("Please check the address in <Name>.");
    EXPECT_EQ(box->VisualValidationProps()->ValidationErrMsgsList(), after);
    EXPECT_TRUE(GlobalProjectChanged);
    General(box)->SetGeneralInputType(tbitEmail);
    box->SetText(QStringLiteral("nowhere"));
    EXPECT_EQ(Refusal(box), QStringLiteral("Please check the address in Email."));

    // The captions the input type row shows.
    EXPECT_EQ(PropEditorTranslate(QStringLiteral("TBITPASSWORD")), QStringLiteral("Password"));
    EXPECT_EQ(PropEditorTranslate(QStringLiteral("tbitText")), QStringLiteral("Anything"));
    EXPECT_EQ(PropEditorTranslate(QStringLiteral("Unlisted")), QStringLiteral("Unlisted"));
    ScriptedDialogs().VerifyAllUsed();
}

TEST_F(Scribe, ValidationViewsShareTheirHomeGroupsValues)
{
    Validation(box)->SetValidationMaxChars(9);
    EXPECT_EQ(box->NumericGeneralProps()->GeneralMaxChars(), 9);
    box->VisualGeneralProps()->SetGeneralRestrictTo(QStringLiteral("0123456789"));
    EXPECT_EQ(Validation(box)->ValidationRestrictTo(), QStringLiteral("0123456789"));
    Validation(box)->SetValidationNumberMinValue(10);
    Validation(box)->SetValidationNumberMaxValue(20);
    Validation(box)->SetValidationNumberNumericsOnly(true);
    box->SetText(QStringLiteral("25"));
    EXPECT_EQ(Refusal(box), QStringLiteral("Email is invalid!"));

    const QString html = box->GetValidationHTML(0);
    EXPECT_TRUE(html.contains(QStringLiteral("'Email', '10_20', '1'"))) << html.toStdString();
    General(box)->SetGeneralInputType(tbitEmail);
    Validation(box)->SetValidationMustAlsoMatch(QStringLiteral("Twin"));
    EXPECT_TRUE(box->HasHTMLValidation());
    EXPECT_TRUE(box->GetValidationHTML(0).endsWith(
        QStringLiteral(",\r\n        'Email', 'Twin', '6', 'Email must match Twin!'")));
}

TEST_F(Scribe, StreamingKeepsEverySettingThroughTheClassRegistry)
{
    General(box)->SetGeneralInputType(tbitPassword);
    // Changed after the type: it must survive although false is the default.
    General(box)->SetGeneralPassword(false);
    box->ScribeCharacterProps()->SetCharacterFixedSize(true);
    box->VisualResetFormProps()->SetResetFormTextOnReset(QStringLiteral("again"));
    Validation(box)->SetValidationMustAlsoMatch(QStringLiteral("Twin"));
    Validation(box)->SetValidationMustAlsoCheck(QStringLiteral("Agree"));
    Validation(box)->SetValidationMaxChars(12);
    box->SetText(QStringLiteral("kept"));

    TMemoryStream stream(ComponentToBytes(box));
    auto *copy = dynamic_cast<TScribe *>(ReadNewComponent(stream, nullptr));
    ASSERT_NE(copy, nullptr);
    std::unique_ptr<TScribe> owned(copy);
    EXPECT_EQ(copy->InputType(), tbitPassword);
    EXPECT_FALSE(copy->Password());
    EXPECT_TRUE(copy->ScribeCharacterProps()->CharacterFixedSize());
    EXPECT_EQ(copy->VisualResetFormProps()->ResetFormTextOnReset(), QStringLiteral("again"));
    EXPECT_EQ(copy->ScribeValidationProps()->ValidationMustAlsoMatch(), QStringLiteral("Twin"));
    EXPECT_EQ(copy->ScribeValidationProps()->ValidationMustAlsoCheck(), QStringLiteral("Agree"));
    EXPECT_EQ(copy->NumericGeneralProps()->GeneralMaxChars(), 12);
    EXPECT_EQ(copy->Text(), QStringLiteral("kept"));

    TMemoryStream text(ComponentToBytes(box));
    const QString dump = ComponentToText(text);
    EXPECT_TRUE(dump.contains(QStringLiteral("GeneralInputType = tbitPassword")))
        << dump.toStdString();
    EXPECT_TRUE(dump.contains(QStringLiteral("ValidationMaxChars = 12")));
}

#include "test_scribe.moc"
