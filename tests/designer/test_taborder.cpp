// The TAB order and find dialogs as a designer uses them: opened with F11 and
// F12, lines moved with Up and Down (held down, they repeat), by dragging and by
// "Auto.", the order applied as one undoable step, elements found by the start
// of their names, and both dialogs following what happens to the elements.

#include "CFindFormElementDlg.h"
#include "CTabOrderDlg.h"
#include "Cini.h"
#include "DesignerTestWindow.h"

#include <QDeadlineTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

// A button of the tests: listed in the TAB order even when it takes no focus.
class TTabOrderTestButton : public TDesignTestBox
{
    Q_OBJECT
public:
    using TDesignTestBox::TDesignTestBox;
    int ClassTypeID() const override { return 105; }
};

namespace {
const TClassRegistration<TTabOrderTestButton> registerButton;

class TabOrderDialogs : public DesignerWindowTest
{
protected:
    // A key on the page, the designer window active as after a click on it.
    void KeyInWindow(int key)
    {
        if (!window->isActiveWindow()) {
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
        Key(key);
    }
    TTabOrderDlg *OpenTabOrder()
    {
        KeyInWindow(Qt::Key_F11);
        TTabOrderDlg *dialog = window->TabOrderDialog();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    }
    TFindFormElementDlg *OpenFind()
    {
        KeyInWindow(Qt::Key_F12);
        TFindFormElementDlg *dialog = window->FindDialog();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    }
    static QListWidget *List(QWidget *dialog)
    {
        return dialog->findChild<QListWidget *>(QStringLiteral("ControlsListBox"));
    }
    static QStringList NameList(QWidget *dialog)
    {
        QStringList names;
        QListWidget *list = List(dialog);
        for (int i = 0; i < list->count(); ++i)
            names.append(list->item(i)->text());
        return names;
    }
    static std::string Names(QWidget *dialog)
    {
        return NameList(dialog).join(QLatin1Char(',')).toStdString();
    }
    static QString Chosen(QWidget *dialog)
    {
        const QList<QListWidgetItem *> selected = List(dialog)->selectedItems();
        return selected.isEmpty() ? QString() : selected.front()->text();
    }
    static void ClickLine(QWidget *dialog, const QString &name)
    {
        QListWidget *list = List(dialog);
        const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.front()).center());
    }
    template<class T = QAbstractButton>
    static T *Button(QWidget *dialog, const char *name)
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    static void Press(QWidget *dialog, const char *name)
    {
        QAbstractButton *button = Button(dialog, name);
        ASSERT_TRUE(button) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    // Drags a line by the mouse and drops it at a point of the list.
    static void DragLine(QWidget *dialog, const QString &name, const QPoint &to)
    {
        QListWidget *list = List(dialog);
        QWidget *viewport = list->viewport();
        const QPoint from
            = list->visualItemRect(list->findItems(name, Qt::MatchExactly).front()).center();
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        for (int i = 1; i <= 4; ++i) {
            const QPoint at = from + (to - from) * i / 4;
            QMouseEvent move(QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, {});
            QApplication::sendEvent(viewport, &move);
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        QCoreApplication::processEvents();
    }
    static QPoint LineCentre(QWidget *dialog, const QString &name)
    {
        QListWidget *list = List(dialog);
        return list->visualItemRect(list->findItems(name, Qt::MatchExactly).front()).center();
    }
    // Events run until the condition holds or a generous time has passed.
    static bool WaitFor(const std::function<bool()> &condition)
    {
        QDeadlineTimer deadline(10000);
        while (!condition() && !deadline.hasExpired())
            QTest::qWait(2);
        return condition();
    }
    static QList<int> TabOrders(const QStringList &names)
    {
        QList<int> numbers;
        for (const QString &name : names)
            numbers.append(Box(name)->TabOrder());
        return numbers;
    }
};

// Rows below the three boxes of the first page: two on one row, the right one first in
// TAB order, and two at one place whose numbers run against the page's order.
void AddRows(TDocumentBuilder &doc)
{
    doc.Add<TDesignTestBox>(0, QStringLiteral("RowRight"), QRect(400, 400, 120, 30))
        ->SetTabOrder(4);
    doc.Add<TDesignTestBox>(0, QStringLiteral("RowLeft"), QRect(80, 400, 120, 30))->SetTabOrder(5);
    doc.Add<TDesignTestBox>(0, QStringLiteral("SameA"), QRect(80, 500, 120, 30))->SetTabOrder(7);
    doc.Add<TDesignTestBox>(0, QStringLiteral("SameB"), QRect(80, 500, 120, 30))->SetTabOrder(6);
}

TEST_F(TabOrderDialogs, AutoSortsByRowsLeftToRightAndSamePlacesKeepTheirTabOrder)
{
    Open(2, 3, AddRows);
    TTabOrderDlg *dialog = OpenTabOrder();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral(" Tab Order"));
    EXPECT_EQ(dialog->property("HelpContext").toInt(), 61);
    EXPECT_EQ(Names(dialog), "Box11,Box12,Box13,RowRight,RowLeft,SameB,SameA");
    EXPECT_EQ(Chosen(dialog), QStringLiteral("Box11"));
    EXPECT_FALSE(Button(dialog, "ApplyButton")->isEnabled());
    EXPECT_FALSE(Button(dialog, "UpSpeedButton")->isEnabled());
    EXPECT_TRUE(Button(dialog, "DownSpeedButton")->isEnabled());

    // The two at one place, put against their numbers, come back in the order of their numbers.
    ClickLine(dialog, QStringLiteral("SameA"));
    Press(dialog, "UpSpeedButton");
    EXPECT_EQ(Names(dialog), "Box11,Box12,Box13,RowRight,RowLeft,SameA,SameB");
    ClickLine(dialog, QStringLiteral("RowRight"));
    Press(dialog, "AutoArrangeSpeedButton");
    EXPECT_EQ(Names(dialog), "Box11,Box12,Box13,RowLeft,RowRight,SameB,SameA");
    EXPECT_EQ(Chosen(dialog), QStringLiteral("RowRight"));
    EXPECT_FALSE(Button(dialog, "AutoArrangeSpeedButton")->isEnabled());
    EXPECT_TRUE(Button(dialog, "ApplyButton")->isEnabled());

    // A page already in reading order has nothing to arrange or apply.
    ShowPage(1);
    EXPECT_EQ(Names(dialog), "Box21,Box22,Box23");
    EXPECT_FALSE(Button(dialog, "AutoArrangeSpeedButton")->isEnabled());
    EXPECT_FALSE(Button(dialog, "ApplyButton")->isEnabled());
}

TEST_F(TabOrderDialogs, ApplyNumbersTheLinesFromZeroInOneStepThatUndoTakesBack)
{
    Open();
    TTabOrderDlg *dialog = OpenTabOrder();
    ClickLine(dialog, QStringLiteral("Box13"));
    Press(dialog, "UpSpeedButton");
    Press(dialog, "UpSpeedButton");
    EXPECT_EQ(Names(dialog), "Box13,Box11,Box12");
    EXPECT_EQ(Chosen(dialog), QStringLiteral("Box13"));
    EXPECT_FALSE(Button(dialog, "UpSpeedButton")->isEnabled());
    EXPECT_TRUE(Button(dialog, "AutoArrangeSpeedButton")->isEnabled());
    const int steps = window->DesignerUndoRedo().Count();
    GlobalClearChanges();

    Press(dialog, "ApplyButton");
    const QStringList boxes {"Box11", "Box12", "Box13"};
    EXPECT_EQ(TabOrders(boxes), QList<int>({1, 2, 0}));
    EXPECT_FALSE(Button(dialog, "ApplyButton")->isEnabled());
    EXPECT_TRUE(GlobalProjectChanged);
    EXPECT_EQ(window->DesignerUndoRedo().Count(), steps + 1);

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(TabOrders(boxes), QList<int>({1, 2, 3}));
    EXPECT_TRUE(WaitFor([&] { return NameList(dialog) == boxes; }));
    EXPECT_FALSE(Button(dialog, "ApplyButton")->isEnabled());
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(TabOrders(boxes), QList<int>({1, 2, 0}));
    EXPECT_TRUE(WaitFor([&] { return NameList(dialog).value(0) == QLatin1String("Box13"); }));

    // Double-clicking a line selects its element alone.
    QListWidget *list = List(dialog);
    const QPoint at = LineCentre(dialog, QStringLiteral("Box12"));
    // As a mouse gives it: a click, then the second press reported as a double-click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Selected(), QList<QWidget *> {Box(QStringLiteral("Box12"))});
}

TEST_F(TabOrderDialogs, HeldDownRepeatsAfterADelayAndStopsAtTheLastLine)
{
    Open(1, 5);
    TTabOrderDlg *dialog = OpenTabOrder();
    auto *down = Button(dialog, "DownSpeedButton");
    auto *timer = dialog->findChild<QTimer *>(QStringLiteral("ScrollTimer"));
    ASSERT_TRUE(timer);

    // A click moves once.
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(Names(dialog), "Box12,Box11,Box13,Box14,Box15");

    // Held, nothing moves at first, then the line moves until it is the last.
    QTest::mousePress(down, Qt::LeftButton);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 400);
    EXPECT_EQ(dialog->SelectedLine(), 1);
    EXPECT_TRUE(WaitFor([&] { return dialog->SelectedLine() == 4; }));
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(down->isEnabled());
    QTest::mouseRelease(down, Qt::LeftButton);
    QTest::qWait(150);
    EXPECT_EQ(Names(dialog), "Box12,Box13,Box14,Box15,Box11");

    // On the last line, holding Down does nothing.
    QTest::mousePress(down, Qt::LeftButton);
    EXPECT_FALSE(timer->isActive());
    QTest::mouseRelease(down, Qt::LeftButton);
    EXPECT_EQ(dialog->SelectedLine(), 4);

    // The release that ends a repeat moves no further.
    ClickLine(dialog, QStringLiteral("Box12"));
    QTest::mousePress(down, Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return dialog->SelectedLine() == 1; }));
    QTest::mouseRelease(down, Qt::LeftButton);
    EXPECT_FALSE(timer->isActive());
    QTest::qWait(150);
    EXPECT_EQ(Names(dialog), "Box13,Box12,Box14,Box15,Box11");
}

TEST_F(TabOrderDialogs, ALineDraggedOntoAnotherTakesItsPlace)
{
    Open(1, 4);
    TTabOrderDlg *dialog = OpenTabOrder();
    DragLine(dialog, QStringLiteral("Box11"), LineCentre(dialog, QStringLiteral("Box13")));
    EXPECT_EQ(Names(dialog), "Box12,Box13,Box11,Box14");
    EXPECT_EQ(Chosen(dialog), QStringLiteral("Box11"));
    EXPECT_TRUE(Button(dialog, "ApplyButton")->isEnabled());

    // Onto itself, or below the last line, nothing moves.
    DragLine(dialog, QStringLiteral("Box14"), LineCentre(dialog, QStringLiteral("Box14")));
    QListWidget *list = List(dialog);
    DragLine(dialog, QStringLiteral("Box12"),
             QPoint(list->viewport()->width() / 2, list->viewport()->height() - 2));
    EXPECT_EQ(Names(dialog), "Box12,Box13,Box11,Box14");

    DragLine(dialog, QStringLiteral("Box14"), LineCentre(dialog, QStringLiteral("Box12")));
    EXPECT_EQ(Names(dialog), "Box14,Box12,Box13,Box11");
}

TEST_F(TabOrderDialogs, FindChoosesTheFirstNameBeginningWithTheTextInAnyCase)
{
    Open(2, 3, [](TDocumentBuilder &doc) {
        doc.Add<TDesignTestBox>(0, QStringLiteral("SubTotal"), QRect(80, 400, 120, 30));
        doc.Add<TDesignTestBox>(1, QStringLiteral("Total"), QRect(80, 400, 120, 30));
    });
    TFindFormElementDlg *find = OpenFind();
    EXPECT_EQ(find->windowTitle(), QStringLiteral(" Find"));
    EXPECT_EQ(find->property("HelpContext").toInt(), 60);
    EXPECT_EQ(Names(find), "Box11,Box12,Box13,Box21,Box22,Box23,SubTotal,Total");
    auto *search = find->findChild<QLineEdit *>(QStringLiteral("SearchEdit"));
    EXPECT_TRUE(search->hasFocus());
    auto *select = Button(find, "SelectButton");
    EXPECT_FALSE(select->isEnabled());

    QTest::keyClicks(search, QStringLiteral("tO"));
    EXPECT_EQ(Chosen(find), QStringLiteral("Total"));
    EXPECT_TRUE(select->isEnabled());
    // "Total" is on the other page: Select shows it there, selected.
    Press(find, "SelectButton");
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(Selected(), QList<QWidget *> {Box(QStringLiteral("Total"))});

    // Only containing the text is no match; spaces around it match nothing.
    search->clear();
    QTest::keyClicks(search, QStringLiteral("ub"));
    EXPECT_EQ(Chosen(find), QString());
    EXPECT_FALSE(select->isEnabled());
    search->clear();
    QTest::keyClicks(search, QStringLiteral("  "));
    EXPECT_EQ(Chosen(find), QString());
    search->clear();
    QTest::keyClicks(search, QStringLiteral("box2"));
    EXPECT_EQ(Chosen(find), QStringLiteral("Box21"));

    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(TabOrderDialogs, AnElementWithoutATabStopIsFoundButNotOrdered)
{
    Open(1, 3, [](TDocumentBuilder &doc) {
        auto *fixed = doc.Add<TDesignTestBox>(0, QStringLiteral("Fixed"), QRect(80, 400, 120, 30));
        fixed->VisualGeneralProps()->SetGeneralReadOnly(true);
        fixed->SetTabOrder(4);
        auto *send
            = doc.Add<TTabOrderTestButton>(0, QStringLiteral("Send"), QRect(80, 500, 90, 30));
        send->VisualGeneralProps()->SetGeneralReadOnly(true);
        send->SetTabOrder(5);
    });
    TTabOrderDlg *dialog = OpenTabOrder();
    TFindFormElementDlg *find = OpenFind();
    EXPECT_EQ(Names(dialog), "Box11,Box12,Box13,Send");
    EXPECT_TRUE(NameList(find).contains(QStringLiteral("Fixed")));

    // Given a tab stop, it joins the TAB order; taken away, it leaves again.
    const QList<QObject *> fixed {Box(QStringLiteral("Fixed"))};
    const QString readOnly = QStringLiteral("VisualGeneralProps.GeneralReadOnly");
    ASSERT_TRUE(window->ChangeProperty(fixed, readOnly, QStringLiteral("false")));
    EXPECT_EQ(Names(dialog), "Box11,Box12,Box13,Fixed,Send");
    EXPECT_FALSE(Button(dialog, "ApplyButton")->isEnabled());
    ASSERT_TRUE(window->ChangeProperty(fixed, readOnly, QStringLiteral("true")));
    EXPECT_EQ(Names(dialog), "Box11,Box12,Box13,Send");
    EXPECT_EQ(NameList(find).size(), 5);
}

TEST_F(TabOrderDialogs, BothDialogsFollowRenamedPastedAndDeletedElements)
{
    Open();
    TTabOrderDlg *dialog = OpenTabOrder();
    TFindFormElementDlg *find = OpenFind();
    ClickLine(dialog, QStringLiteral("Box13"));
    Press(dialog, "UpSpeedButton");

    ASSERT_TRUE(window->Rename(Box(QStringLiteral("Box12")), QStringLiteral("Middle")));
    EXPECT_EQ(Names(dialog), "Box11,Box13,Middle");
    EXPECT_EQ(NameList(find).filter(QStringLiteral("Middle")).size(), 1);
    EXPECT_FALSE(NameList(find).contains(QStringLiteral("Box12")));

    // A pasted element joins at the end; the order not yet applied stays as it was.
    Click(Box(QStringLiteral("Box11")));
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Selected().size(), 1);
    const QString pasted = static_cast<TBasePgCtrl *>(Selected().front())->Name();
    EXPECT_TRUE(WaitFor([&] { return NameList(dialog).size() == 4; }));
    EXPECT_EQ(Names(dialog), std::string("Box11,Box13,Middle,") + pasted.toStdString());
    EXPECT_TRUE(WaitFor([&] { return NameList(find).contains(pasted); }));

    Click(Box(QStringLiteral("Box13")));
    Key(Qt::Key_Delete);
    EXPECT_TRUE(WaitFor([&] { return !NameList(dialog).contains(QStringLiteral("Box13")); }));
    EXPECT_TRUE(WaitFor([&] { return !NameList(find).contains(QStringLiteral("Box13")); }));
    EXPECT_EQ(Names(dialog), std::string("Box11,Middle,") + pasted.toStdString());

    // Undone, it comes back where its number puts it in the applied order.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return NameList(find).contains(QStringLiteral("Box13")); }));
    EXPECT_TRUE(NameList(dialog).contains(QStringLiteral("Box13")));
}

TEST_F(TabOrderDialogs, FillingInPutsTheDialogsAwayAndClosingTheDocumentFreesThem)
{
    Open();
    TTabOrderDlg *dialog = OpenTabOrder();
    EXPECT_EQ(dialog->pos(), QPoint(32, 32));
    OpenFind();
    // The command closes an open dialog.
    Key(Qt::Key_F12);
    EXPECT_FALSE(window->FindDialog()->isVisible());
    OpenFind();

    ASSERT_TRUE(window->SetDesignMode(false));
    EXPECT_FALSE(window->TabOrderDialog()->isVisible());
    EXPECT_FALSE(window->FindDialog()->isVisible());
    EXPECT_FALSE(window->Action(QStringLiteral("ElementTabOrder"))->isEnabled());
    ASSERT_TRUE(window->SetDesignMode(true));
    EXPECT_TRUE(window->TabOrderDialog()->isVisible());
    EXPECT_TRUE(window->FindDialog()->isVisible());

    // Closed before filling in, it stays closed after.
    window->FindDialog()->close();
    ASSERT_TRUE(window->SetDesignMode(false));
    ASSERT_TRUE(window->SetDesignMode(true));
    EXPECT_FALSE(window->FindDialog()->isVisible());

    window->TabOrderDialog()->move(120, 90);
    QCoreApplication::processEvents();
    window->CloseDocument();
    EXPECT_EQ(window->TabOrderDialog(), nullptr);
    EXPECT_EQ(window->FindDialog(), nullptr);
    const QString section = QStringLiteral("TabOrderDialog");
    EXPECT_EQ(INIReadInt(GlobalAppINI, section, QStringLiteral("Left"), 0), 120);
    EXPECT_EQ(INIReadInt(GlobalAppINI, section, QStringLiteral("Top"), 0), 90);

    // The next document's dialog opens where the last one was left.
    ASSERT_TRUE(window->OpenDocument(dir.filePath(QStringLiteral("design.vld"))));
    TTabOrderDlg *again = OpenTabOrder();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->pos(), QPoint(120, 90));
}
} // namespace

#include "test_taborder.moc"
