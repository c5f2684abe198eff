#include "CUndoRedo.h"

#include <QScopedValueRollback>

const TUndoRedo::TItemList *TUndoRedo::s_freeing = nullptr;

TUndoRedo::~TUndoRedo()
{
    Clear();
}

void TUndoRedo::FreeItems(TItemList &list, int from)
{
    const TItemList *previous = s_freeing;
    s_freeing = &list;
    while (int(list.size()) > from) {
        std::unique_ptr<TUndoRedoItem> item = std::move(list.back());
        list.pop_back();
        item.reset();
    }
    s_freeing = previous;
}

void TUndoRedo::Add(std::unique_ptr<TUndoRedoItem> undo, std::unique_ptr<TUndoRedoItem> redo)
{
    if (m_busy)
        return;
    FreeItems(m_undo, m_position);
    m_undo.push_back(std::move(undo));
    FreeItems(m_redo, m_position);
    m_redo.push_back(std::move(redo));
    m_position = int(m_redo.size());
    if (OnChange)
        OnChange(this);
}

void TUndoRedo::Undo()
{
    if (!CanUndo())
        return;
    const QScopedValueRollback busy(m_busy, true);
    --m_position;
    if (OnUndo)
        OnUndo(this, m_undo[std::size_t(m_position)].get(), true);
}

void TUndoRedo::Redo()
{
    if (!CanRedo())
        return;
    {
        const QScopedValueRollback busy(m_busy, true);
        if (OnRedo)
            OnRedo(this, m_redo[std::size_t(m_position)].get(), false);
    }
    ++m_position;
}

void TUndoRedo::Clear()
{
    FreeItems(m_undo, 0);
    FreeItems(m_redo, 0);
    m_position = 0;
}
