// Undo and redo of design actions in the designer window: each action comes back
// in one step with its page and selection, removed elements return as the same
// objects, elements held only by discarded records are freed, and a random run of
// actions undoes and redoes to the very same stored trees.

#include "DesignerTestWindow.h"

#include <QPointer>
#include <random>

namespace {
using DesignerUndo = DesignerWindowTest;

TEST_F(DesignerUndo, MovesAndResizesComeBackWithTheirStoredValuesAndSelection)
{
    Open();
    TDesignTestBox *box = Box(QStringLiteral("Box11"));
    const QByteArray before = Trees();
    const QRect bounds = box->geometry();
    const Extended relLeft = box->BaseRelLeft();
    Click(box);
    Drag(box, QPoint(30, 20));
    EXPECT_EQ(box->geometry(), bounds.translated(30, 20));
    EXPECT_NE(box->BaseRelLeft(), relLeft);
    const QByteArray moved = Trees();

    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(box->width(), bounds.width() + 1);
    const QByteArray resized = Trees();
    EXPECT_EQ(window->DesignerUndoRedo().Count(), 2);

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Trees(), moved);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Trees(), before);
    EXPECT_EQ(box->geometry(), bounds);
    EXPECT_EQ(box->BaseRelLeft(), relLeft);
    EXPECT_EQ(Selected(), QList<QWidget *> {box});
    EXPECT_FALSE(Enabled("EditUndo"));
    EXPECT_TRUE(Enabled("EditRedo"));
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Trees(), resized);

    // Three moved at once come back in one step, all three selected.
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Down, Qt::ControlModifier);
    Key(Qt::Key_A, Qt::ControlModifier);
    window->SurfaceDesigner1()->UnSelectAll();
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Trees(), resized);
    EXPECT_EQ(Selected().size(), 3);
}

TEST_F(DesignerUndo, UndoShowsThePageTheActionWasOn)
{
    Open();
    ShowPage(1);
    TDesignTestBox *box = Box(QStringLiteral("Box22"));
    Click(box);
    Key(Qt::Key_Left, Qt::ControlModifier);
    ShowPage(0);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(GlobalActivePgIdx(), 1);
    EXPECT_EQ(window->SurfaceDesigner1()->Surface(), GlobalPgScrollBox(1));
    EXPECT_EQ(Selected(), QList<QWidget *> {box});
}

TEST_F(DesignerUndo, ARemovedElementComesBackAsTheSameObject)
{
    Open();
    const QByteArray before = Trees();
    QPointer<TDesignTestBox> box = Box(QStringLiteral("Box12"));
    Click(box);
    Key(Qt::Key_Delete);
    ASSERT_TRUE(box);
    EXPECT_EQ(Box(QStringLiteral("Box12")), nullptr);
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(box->Owner(), nullptr);
    const QByteArray removed = Trees();

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Box(QStringLiteral("Box12")), box.data());
    EXPECT_EQ(box->parentWidget(), GlobalPgScrollBox(0));
    EXPECT_EQ(Trees(), before);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Trees(), removed);
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(box);
    EXPECT_EQ(Box(QStringLiteral("Box12")), box.data());
    EXPECT_EQ(Trees(), before);

    // Several deleted together are one action and come back in their order.
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Box(QStringLiteral("Box11")), nullptr);
    EXPECT_EQ(Box(QStringLiteral("Box13")), nullptr);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Trees(), before);
}

TEST_F(DesignerUndo, ElementsHeldOnlyByDiscardedRecordsAreFreed)
{
    Open();
    Click(Box(QStringLiteral("Box11")));
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Selected().size(), 1);
    QPointer<QWidget> pasted = Selected().front();
    Key(Qt::Key_Down, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    // Undone, it is held by the history to be redone.
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->parentWidget(), nullptr);
    // A new action cuts the undone actions off, and the element with them.
    Click(Box(QStringLiteral("Box13")));
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_FALSE(pasted);
    EXPECT_FALSE(Enabled("EditRedo"));

    // Removed and never restored: freed with the history when the document closes.
    QPointer<QWidget> removed = Box(QStringLiteral("Box12"));
    Click(removed);
    Key(Qt::Key_Delete);
    ASSERT_TRUE(removed);
    window->CloseDocument();
    EXPECT_FALSE(removed);
    EXPECT_EQ(window->DesignerUndoRedo().Count(), 0);
}

class DesignerRandomUndo : public DesignerWindowTest
{
public:
    TDesignerMainForm &Window() { return *window; }
    void KeyPublic(int key, Qt::KeyboardModifiers mods) { Key(key, mods); }
    void DragPublic(QWidget *ctrl, const QPoint &by) { Drag(ctrl, by); }
    void TriggerPublic(const char *action) { Trigger(action); }
    void ShowPagePublic(int page) { ShowPage(page); }
    QList<QWidget *> SelectedPublic() const { return Selected(); }
    // A click at the control's top-left corner, which the boxes pasted over it leave free.
    // Null clears the selection.
    void SelectPublic(QWidget *ctrl)
    {
        if (ctrl)
            Click(ctrl, {}, QPoint(2, 2));
        else
            window->SurfaceDesigner1()->UnSelectAll();
    }

    // The trees with the first page showing, as the document is saved. Each page is shown
    // first: a page hidden while the window's layout changed (the tool windows showing)
    // places its elements for the new width only when shown, and the stored positions
    // follow where they stand.
    QByteArray PageOneTrees()
    {
        for (int i = window->PagesPageControl()->PageCount() - 1; i >= 0; --i) {
            window->PagesPageControl()->SetActivePageIndex(i);
            QCoreApplication::processEvents();
        }
        return Trees();
    }
};

// One design action chosen by the generator, done with the mouse and keys; its name
// goes to the log so that a failing run can be read and replayed by its seed.
class TRandomDesigner
{
public:
    TRandomDesigner(DesignerRandomUndo &test, unsigned seed) : m_test(test), m_random(seed) { }

    QString Step()
    {
        const int choice = Pick(13);
        const int pages = m_test.Window().PagesPageControl()->PageCount();
        if (choice == 0) {
            const int page = Pick(pages);
            m_test.ShowPagePublic(page);
            return QStringLiteral("page %1").arg(page);
        }
        if (choice == 10 && pages < 4) {
            m_test.TriggerPublic("PageInsert");
            return QStringLiteral("insert page");
        }
        if (choice == 11 && pages > 1) {
            ScriptedDialogs().ExpectMessage(mrYes, QStringLiteral("Are you sure"));
            m_test.TriggerPublic("PageDelete");
            return QStringLiteral("delete page %1").arg(GlobalActivePgIdx());
        }
        // A fresh element most times, so that actions spread over the page.
        if (Pick(10) < 7)
            m_test.SelectPublic(nullptr);
        if (!EnsureSelection()) {
            // An emptied page gets elements again.
            m_test.KeyPublic(Qt::Key_V, Qt::ControlModifier);
            return QStringLiteral("paste on an empty page");
        }
        switch (choice) {
        case 1:
        case 2: {
            static constexpr Qt::Key keys[]
                = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
            const Qt::Key key = keys[Pick(4)];
            const bool resize = choice == 2;
            m_test.KeyPublic(key, resize ? Qt::ShiftModifier : Qt::ControlModifier);
            return QStringLiteral("%1 %2").arg(resize ? "resize" : "move").arg(int(key));
        }
        case 3: {
            QWidget *ctrl = m_test.SelectedPublic().front();
            const QPoint by(Pick(61) - 30, Pick(61) - 30);
            m_test.DragPublic(ctrl, by);
            return QStringLiteral("drag %1,%2").arg(by.x()).arg(by.y());
        }
        case 4:
            // The pages keep a few elements to work on.
            if (PageElements().size() - m_test.SelectedPublic().size() < 2) {
                m_test.KeyPublic(Qt::Key_D, Qt::ControlModifier);
                return QStringLiteral("duplicate");
            }
            m_test.KeyPublic(Qt::Key_Delete, {});
            return QStringLiteral("delete");
        case 5:
            m_test.KeyPublic(Qt::Key_C, Qt::ControlModifier);
            m_test.KeyPublic(Qt::Key_V, Qt::ControlModifier);
            return QStringLiteral("copy, paste");
        case 6:
            m_test.TriggerPublic("ElementToFront");
            return QStringLiteral("to front");
        case 7:
            m_test.TriggerPublic("ElementToBack");
            return QStringLiteral("to back");
        case 12: {
            QList<QObject *> objects;
            for (QWidget *ctrl : m_test.SelectedPublic())
                objects.append(ctrl);
            const int width = Pick(6);
            m_test.Window().ChangeProperty(objects, QStringLiteral("VisualBorderProps.BorderWidth"),
                                           QString::number(width));
            return QStringLiteral("border width %1").arg(width);
        }
        case 8:
            m_test.KeyPublic(Qt::Key_A, Qt::ControlModifier);
            m_test.KeyPublic(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
            return QStringLiteral("select all, super nudge");
        default:
            m_test.KeyPublic(Qt::Key_X, Qt::ControlModifier);
            m_test.KeyPublic(Qt::Key_V, Qt::ControlModifier);
            return QStringLiteral("cut, paste");
        }
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool EnsureSelection()
    {
        if (!m_test.SelectedPublic().isEmpty())
            return true;
        const QList<TDesignTestBox *> boxes = PageElements();
        if (boxes.isEmpty())
            return false;
        TDesignTestBox *box = boxes.at(Pick(int(boxes.size())));
        m_test.SelectPublic(box);
        return !m_test.SelectedPublic().isEmpty();
    }
    static QList<TDesignTestBox *> PageElements()
    {
        QList<TDesignTestBox *> boxes;
        if (TPrinterPage *page = GlobalPgScrollBox(GlobalActivePgIdx()))
            for (QObject *child : page->children())
                if (auto *box = qobject_cast<TDesignTestBox *>(child))
                    boxes.append(box);
        return boxes;
    }

    DesignerRandomUndo &m_test;
    std::mt19937 m_random;
};

} // namespace

TEST_F(DesignerRandomUndo, RandomActionsUndoAndRedoToTheSameTrees)
{
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        window.reset();
        QFile::remove(GlobalAppVisualClipboardFile());
        Open();
        const QByteArray before = PageOneTrees();
        window->PagesPageControl()->SetActivePageIndex(0);
        TRandomDesigner designer(*this, seed);
        QStringList log;
        for (int i = 0; i < 200; ++i)
            log << designer.Step();
        const QByteArray after = PageOneTrees();
        const int recorded = window->DesignerUndoRedo().Count();
        EXPECT_GT(recorded, 120) << log.join(QStringLiteral("; ")).toStdString();

        for (int i = 0; i < recorded; ++i)
            KeyPublic(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_FALSE(window->DesignerUndoRedo().CanUndo());
        const bool undone = PageOneTrees() == before;
        EXPECT_TRUE(undone) << "seed " << seed << ": "
                            << log.join(QStringLiteral("; ")).toStdString();
        for (int i = 0; i < recorded; ++i)
            KeyPublic(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        const bool redone = PageOneTrees() == after;
        EXPECT_TRUE(redone) << "seed " << seed << ": "
                            << log.join(QStringLiteral("; ")).toStdString();

        // Saved and opened again, the document is what was designed.
        ASSERT_TRUE(window->Save());
        const QString path = window->DocumentPath();
        ASSERT_TRUE(window->OpenDocument(path));
        EXPECT_TRUE(PageOneTrees() == after) << "seed " << seed;
        if (!undone || !redone)
            break;
    }
}
