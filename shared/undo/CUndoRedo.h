#pragma once
// A history of paired records: for every action the caller stores one record
// that says how to undo it and one that says how to redo it, and the history
// hands them back to the caller's handlers. It knows nothing of what they mean.

#include <functional>
#include <memory>
#include <vector>

// Base of whatever a caller records.
class TUndoRedoItem
{
public:
    virtual ~TUndoRedoItem() = default;
};

class TUndoRedo
{
public:
    using TItemList = std::vector<std::unique_ptr<TUndoRedoItem>>;
    using TUndoRedoEvent = std::function<void(TUndoRedo *sender, TUndoRedoItem *item, bool isUndo)>;

    TUndoRedo() = default;
    ~TUndoRedo();
    TUndoRedo(const TUndoRedo &) = delete;
    TUndoRedo &operator=(const TUndoRedo &) = delete;

    // Ignored while a handler runs, so replaying an action records nothing.
    // Otherwise cuts the undone tail and appends the pair.
    void Add(std::unique_ptr<TUndoRedoItem> undo, std::unique_ptr<TUndoRedoItem> redo);
    bool CanUndo() const { return m_position > 0; }
    bool CanRedo() const { return int(m_redo.size()) > m_position; }
    void Undo();
    void Redo();
    void Clear();

    int Position() const { return m_position; }
    int Count() const { return int(m_undo.size()); }
    bool Busy() const { return m_busy; }
    const TItemList &UndoList() const { return m_undo; }
    const TItemList &RedoList() const { return m_redo; }
    // The list whose records are being discarded right now, or null; records
    // ask it whether another record still refers to what they would free.
    static const TItemList *ListBeingFreed() { return s_freeing; }

    TUndoRedoEvent OnUndo;
    TUndoRedoEvent OnRedo;
    // After each pair recorded: the owner marks its document changed.
    std::function<void(TUndoRedo *sender)> OnChange;

private:
    // Removes and frees the records from index from on, each taken out of the list first.
    static void FreeItems(TItemList &list, int from);

    TItemList m_undo;
    TItemList m_redo;
    int m_position = 0;
    bool m_busy = false;
    static const TItemList *s_freeing;
};
