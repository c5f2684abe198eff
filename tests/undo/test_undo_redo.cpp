#include "CUndoRedo.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {
// A record that says what it stands for and notes when it is freed.
class TNote : public TUndoRedoItem
{
public:
    TNote(QString text, QStringList *freed) : Text(std::move(text)), m_freed(freed) { }
    ~TNote() override
    {
        if (m_freed)
            *m_freed << Text;
    }
    QString Text;

private:
    QStringList *m_freed;
};

struct History
{
    History()
    {
        undoRedo.OnUndo = [this](TUndoRedo *, TUndoRedoItem *item, bool isUndo) {
            replayed << (isUndo ? QStringLiteral("u:") : QStringLiteral("r:"))
                    + static_cast<TNote *>(item)->Text;
            // Replaying through the normal paths must not record anything.
            Add(QStringLiteral("echo"));
        };
        undoRedo.OnRedo = undoRedo.OnUndo;
        undoRedo.OnChange = [this](TUndoRedo *) {
            ++changes;
        };
    }
    void Add(const QString &action)
    {
        undoRedo.Add(std::make_unique<TNote>(QStringLiteral("undo ") + action, &freed),
                     std::make_unique<TNote>(QStringLiteral("redo ") + action, &freed));
    }
    // Records freed, not counting the ones refused while replaying.
    QStringList Freed() const
    {
        QStringList kept;
        for (const QString &text : freed)
            if (!text.endsWith(QStringLiteral("echo")))
                kept << text;
        return kept;
    }
    QStringList replayed;
    int changes = 0;
    QStringList freed; // outlives the history, whose records write to it
    TUndoRedo undoRedo;
};
} // namespace

TEST(UndoRedo, PairsReplayInOrderAndIgnoreAddsWhileBusy)
{
    History h;
    EXPECT_FALSE(h.undoRedo.CanUndo());
    h.undoRedo.Undo(); // nothing to undo
    h.Add(QStringLiteral("a"));
    h.Add(QStringLiteral("b"));
    EXPECT_EQ(h.changes, 2);
    EXPECT_EQ(h.undoRedo.Position(), 2);
    h.undoRedo.Undo();
    h.undoRedo.Undo();
    h.undoRedo.Undo(); // at the start
    EXPECT_FALSE(h.undoRedo.CanUndo());
    EXPECT_TRUE(h.undoRedo.CanRedo());
    h.undoRedo.Redo();
    EXPECT_EQ(h.replayed, (QStringList {"u:undo b", "u:undo a", "r:redo a"}));
    EXPECT_EQ(h.undoRedo.Count(), 2);
    EXPECT_EQ(h.undoRedo.Position(), 1);
    EXPECT_TRUE(h.Freed().isEmpty());
    EXPECT_EQ(h.changes, 2); // replays record nothing and change nothing
}

TEST(UndoRedo, ANewActionCutsTheUndoneTail)
{
    History h;
    for (const char *action : {"a", "b", "c"})
        h.Add(QString::fromLatin1(action));
    h.undoRedo.Undo();
    h.undoRedo.Undo();
    h.Add(QStringLiteral("d"));
    EXPECT_EQ(h.undoRedo.Count(), 2);
    EXPECT_EQ(h.undoRedo.Position(), 2);
    EXPECT_FALSE(h.undoRedo.CanRedo());
    // Freed from the end, undo records before redo records.
    EXPECT_EQ(h.Freed(), (QStringList {"undo c", "undo b", "redo c", "redo b"}));
    h.freed.clear();
    h.undoRedo.Clear();
    EXPECT_EQ(h.Freed().size(), 4);
    EXPECT_FALSE(h.undoRedo.CanUndo());
    EXPECT_FALSE(h.undoRedo.CanRedo());
}

TEST(UndoRedo, RecordsSeeTheListBeingFreed)
{
    TUndoRedo history;
    bool seen = false;
    struct TWatcher : TUndoRedoItem
    {
        explicit TWatcher(bool &seen) : Seen(seen) { }
        ~TWatcher() override { Seen = TUndoRedo::ListBeingFreed() != nullptr; }
        bool &Seen;
    };
    history.Add(std::make_unique<TWatcher>(seen), std::make_unique<TUndoRedoItem>());
    history.Clear();
    EXPECT_TRUE(seen);
    EXPECT_EQ(TUndoRedo::ListBeingFreed(), nullptr);
}
