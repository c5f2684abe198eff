// A form as a screen reader meets it: the fields of a page in TAB order with
// their roles, names and values, a password told only by its length, and the
// focus and every edit announced as the user clicks, tabs and types.

#include "CAccessibility.h"
#include "CBasePgCtrl.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CPrinterPage.h"
#include "ExampleForms.h"
#include "GlobalsGuard.h"
#include "ScriptedDialogService.h"

#include <QAccessible>
#include <QPointer>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
struct THeard
{
    QPointer<QObject> Object;
    QAccessible::Event Type;
    QString Text; // inserted, removed or new text, or the new value
    int Cursor = -1;
};

QList<THeard> &Heard()
{
    static QList<THeard> heard;
    return heard;
}

void Listen(QAccessibleEvent *event)
{
    THeard h {event->object(), event->type(), {}, -1};
    switch (event->type()) {
    case QAccessible::TextInserted:
        h.Text = static_cast<QAccessibleTextInsertEvent *>(event)->textInserted();
        break;
    case QAccessible::TextRemoved:
        h.Text = static_cast<QAccessibleTextRemoveEvent *>(event)->textRemoved();
        break;
    case QAccessible::TextUpdated:
        h.Text = static_cast<QAccessibleTextUpdateEvent *>(event)->textRemoved() + u'|'
            + static_cast<QAccessibleTextUpdateEvent *>(event)->textInserted();
        break;
    case QAccessible::ValueChanged:
        h.Text = static_cast<QAccessibleValueChangeEvent *>(event)->value().toString();
        break;
    case QAccessible::TextSelectionChanged: {
        const auto *selection = static_cast<QAccessibleTextSelectionEvent *>(event);
        h.Text = QStringLiteral("%1-%2")
                     .arg(selection->selectionStart())
                     .arg(selection->selectionEnd());
        break;
    }
    case QAccessible::TextCaretMoved:
        h.Cursor = static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition();
        break;
    default:
        break;
    }
    Heard().append(h);
}

class Accessibility : public ::testing::Test
{
protected:
    TGlobalsGuard m_globals;
    void SetUp() override
    {
        QFile::remove(GlobalAppINI);
        ScriptedDialogs().Reset();
        Heard().clear();
        // Qt tells nobody anything until a reader is there.
        QAccessible::installUpdateHandler(Listen);
        QAccessible::setActive(true);
    }
    void TearDown() override
    {
        window.reset();
        QAccessible::installUpdateHandler(nullptr);
        QAccessible::setActive(false);
        ScriptedDialogs().VerifyAllUsed();
    }
    void Open(const char *example) { window = OpenExample(dir, example); }

    static QAccessibleInterface *Of(QObject *object)
    {
        return QAccessible::queryAccessibleInterface(object);
    }
    static QAccessibleInterface *Page(int index) { return Of(GlobalPgScrollBox(index)); }
    // What a reader hears of the page's children, in its order.
    static std::string Read(QAccessibleInterface *page, QAccessible::Text text)
    {
        QStringList said;
        for (int i = 0; i < page->childCount(); ++i)
            said << page->child(i)->text(text);
        return said.join(QStringLiteral(", ")).toStdString();
    }
    static bool HeardOf(QObject *object, QAccessible::Event type, const QString &text = {})
    {
        for (const THeard &h : Heard())
            if (h.Object == object && h.Type == type && (text.isEmpty() || h.Text == text))
                return true;
        return false;
    }

    QTemporaryDir dir;
    std::unique_ptr<TFillerMainForm> window;
};
} // namespace

TEST_F(Accessibility, TheFilledEmployeeFormReadsInTabOrderWithRolesNamesAndValues)
{
    Open("Employee.vld");
    Element("Address")->SetHint(QStringLiteral("Where you live"));
    ClickInto("FullName");
    TypeInto(QStringLiteral("Ada Lovelace"));
    Tab();
    TypeInto(QStringLiteral("12 St James's Square"));
    Tab();
    TypeInto(QStringLiteral("ada@example.com"));
    Tab();
    TypeInto(QStringLiteral("42500"));
    Tab();
    TypeInto(QStringLiteral("ab1234567"));
    Tab();

    QAccessibleInterface *page = Page(0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Read(page, QAccessible::Name), "FullName, Where you live, Email, Salary, NationalId");
    EXPECT_EQ(Read(page, QAccessible::Value),
              "Ada Lovelace, 12 St James's Square, ada@example.com, 42,500.00, AB1234567");
    for (int i = 0; i < page->childCount(); ++i) {
        QAccessibleInterface *field = page->child(i);
        EXPECT_EQ(field->role(), QAccessible::EditableText) << i;
        EXPECT_TRUE(field->state().editable) << i;
        EXPECT_EQ(field->parent(), page) << i;
        EXPECT_EQ(page->indexOfChild(field), i);
    }
    // The hint is the description; what the user must do is said with it.
    EXPECT_EQ(page->child(1)->text(QAccessible::Description), QStringLiteral("Where you live"));
    EXPECT_EQ(page->child(0)->text(QAccessible::Description), QStringLiteral("Required."));
    EXPECT_TRUE(page->child(1)->state().multiLine);
    EXPECT_FALSE(page->child(0)->state().multiLine);

    // The TAB after the last box went round to the first, which has the focus and its text
    // selected.
    QAccessibleInterface *name = page->child(0);
    EXPECT_TRUE(name->state().focused);
    EXPECT_FALSE(page->child(4)->state().focused);
    QAccessibleTextInterface *text = name->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 12);
    EXPECT_EQ(text->text(4, 12), QStringLiteral("Lovelace"));
    ASSERT_EQ(text->selectionCount(), 1);
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 12);
    // The editor is the element's focus child, speaks for it and shares its caret.
    QAccessibleInterface *editor = name->focusChild();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->object(), Element("FullName")->Editor());
    EXPECT_EQ(editor->parent(), name);
    EXPECT_EQ(editor->text(QAccessible::Name), QStringLiteral("FullName"));
    EXPECT_EQ(editor->role(), QAccessible::EditableText);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    EXPECT_EQ(text->selectionCount(), 0);
    EXPECT_EQ(editor->textInterface()->cursorPosition(), 12);

    // The page follows the TAB order, not the order the boxes were made in.
    const int emailOrder = Element("Email")->TabOrder();
    Element("Email")->SetTabOrder(Element("Address")->TabOrder());
    Element("Address")->SetTabOrder(emailOrder);
    EXPECT_EQ(Read(page, QAccessible::Name), "FullName, Email, Where you live, Salary, NationalId");
    Tab();
    EXPECT_EQ(TVisualPgCtrl::FocusedElement(), Element("Email"));
}

TEST_F(Accessibility, CalculatedValuesAreStaticTextReadAfterTheBoxesTabVisits)
{
    Open("Invoice.vld");
    ClickInto("Qty1");
    TypeInto(QStringLiteral("3"));
    Tab();
    TypeInto(QStringLiteral("2.50"));
    Tab();

    QAccessibleInterface *page = Page(0);
    EXPECT_EQ(Read(page, QAccessible::Name),
              "Item1, Qty1, Price1, Item2, Qty2, Price2, Item3, Qty3, Price3, "
              "Amount1, Amount2, Amount3, Subtotal, Tax, Total");
    ASSERT_EQ(page->childCount(), 15);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(page->child(i)->role(), QAccessible::EditableText) << i;
    for (int i = 9; i < 15; ++i) {
        EXPECT_EQ(page->child(i)->role(), QAccessible::StaticText) << i;
        EXPECT_TRUE(page->child(i)->state().readOnly) << i;
        EXPECT_FALSE(page->child(i)->state().editable) << i;
    }
    EXPECT_EQ(page->child(9)->text(QAccessible::Value), QStringLiteral("7.50"));
    EXPECT_EQ(page->child(14)->text(QAccessible::Value), QStringLiteral("8.10"));
    // A recomputed value is announced as it changes.
    EXPECT_TRUE(HeardOf(Element("Total"), QAccessible::ValueChanged, QStringLiteral("8.10")));
}

TEST_F(Accessibility, APasswordBoxTellsItsLengthAndNeverItsCharacters)
{
    Open("Application.vld");
    GlobalPagesPageControl->SetActivePageIndex(1);
    QCoreApplication::processEvents();
    ClickInto("Password");
    TypeInto(QStringLiteral("s3cret"));

    QAccessibleInterface *box = Of(Element("Password"));
    EXPECT_EQ(box->text(QAccessible::Value), QStringLiteral("6 characters"));
    EXPECT_TRUE(box->state().passwordEdit);
    EXPECT_EQ(box->textInterface()->text(0, 6), QStringLiteral("******"));
    QAccessibleInterface *editor = box->focusChild();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(QAccessible::Value), QStringLiteral("6 characters"));
    EXPECT_EQ(editor->textInterface()->text(0, 6), QStringLiteral("******"));
    EXPECT_EQ(editor->textInterface()->cursorPosition(), 6);

    // Every keystroke was announced, and none of them said what was typed.
    static const QRegularExpression masks(QStringLiteral("^\\**$"));
    static const QRegularExpression length(QStringLiteral("^\\d+ characters?$"));
    int announced = 0;
    for (const THeard &h : Heard()) {
        if (h.Object != Element("Password") || h.Text.isEmpty())
            continue;
        ++announced;
        const QRegularExpression &allowed = h.Type == QAccessible::ValueChanged ? length : masks;
        EXPECT_TRUE(allowed.match(h.Text).hasMatch()) << h.Text.toStdString();
    }
    EXPECT_GE(announced, 12);
    EXPECT_TRUE(
        HeardOf(Element("Password"), QAccessible::ValueChanged, QStringLiteral("1 character")));
    EXPECT_EQ(Read(Page(1), QAccessible::Name), "UserName, Password, RepeatPassword, Remarks");
}

TEST_F(Accessibility, FocusChangesAndEditsAreAnnounced)
{
    Open("Employee.vld");
    TVisualPgCtrl *name = Element("FullName");
    TVisualPgCtrl *address = Element("Address");

    Heard().clear();
    ClickInto("Address");
    EXPECT_TRUE(HeardOf(address, QAccessible::Focus));
    EXPECT_FALSE(HeardOf(name, QAccessible::Focus));

    Heard().clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(HeardOf(name, QAccessible::Focus));
    EXPECT_TRUE(HeardOf(address, QAccessible::StateChanged));
    EXPECT_FALSE(Of(address)->state().focused);
    EXPECT_TRUE(Of(name)->state().focused);

    Heard().clear();
    TypeInto(QStringLiteral("Ab"));
    EXPECT_TRUE(HeardOf(name, QAccessible::TextInserted, QStringLiteral("A")));
    EXPECT_TRUE(HeardOf(name, QAccessible::TextInserted, QStringLiteral("b")));
    EXPECT_TRUE(HeardOf(name, QAccessible::ValueChanged, QStringLiteral("Ab")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_TRUE(HeardOf(name, QAccessible::TextRemoved, QStringLiteral("b")));
    Heard().clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    ASSERT_FALSE(Heard().isEmpty());
    EXPECT_EQ(Heard().last().Type, QAccessible::TextCaretMoved);
    EXPECT_EQ(Heard().last().Object, name);
    EXPECT_EQ(Heard().last().Cursor, 0);

    Heard().clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ShiftModifier);
    ASSERT_FALSE(Heard().isEmpty());
    EXPECT_EQ(Heard().last().Type, QAccessible::TextSelectionChanged);
    EXPECT_EQ(Heard().last().Text, QStringLiteral("0-1"));
}

TEST_F(Accessibility, ARefusedEntryIsSaidToBeInvalidUntilItIsPutRight)
{
    Open("Employee.vld");
    QAccessibleInterface *email = Of(Element("Email"));
    ClickInto("Email");
    TypeInto(QStringLiteral("not-an-address"));
    ScriptedDialogs().ExpectMessage(mrOk, QStringLiteral("whole e-mail address"));
    Tab();
    EXPECT_EQ(email->text(QAccessible::Description), QStringLiteral("Required. Invalid entry."));
    EXPECT_TRUE(HeardOf(Element("Email"), QAccessible::DescriptionChanged));

    TypeInto(QStringLiteral("ada@example.com"));
    Tab();
    EXPECT_EQ(email->text(QAccessible::Description), QStringLiteral("Required."));
}
