#include "CCalcGraph.h"

#include "CCalc.h"
#include "CGlobal.h"

#include <QQueue>
#include <algorithm>

TCalcGraph &TCalcGraph::Instance()
{
    static TCalcGraph graph;
    return graph;
}

void TCalcGraph::Add(TCalc *box)
{
    m_boxes.insert(box);
    m_cyclesDirty = true;
    m_stale = true;
    ChooseFollower(box);
}

void TCalcGraph::Remove(TCalc *box)
{
    m_boxes.remove(box);
    for (const QString &name : box->Walker().Names())
        m_dependants[name].remove(box);
    const QString own = box->Name().toUpper();
    if (auto it = m_named.find(own); it != m_named.end()) {
        it->removeAll(box);
        if (it->isEmpty())
            m_named.erase(it);
    }
    m_cyclic.remove(box);
    m_cyclesDirty = true;
    if (m_follower == box) {
        box->SetFollowsTextChanges(false);
        m_follower = nullptr;
        ChooseFollower(nullptr);
    }
}

void TCalcGraph::BoxRenamed(TCalc *box, const QString &oldName)
{
    if (!oldName.isEmpty())
        if (auto it = m_named.find(oldName.toUpper()); it != m_named.end()) {
            it->removeAll(box);
            if (it->isEmpty())
                m_named.erase(it);
        }
    if (!box->Name().isEmpty())
        m_named[box->Name().toUpper()].append(box);
    m_cyclesDirty = true;
}

void TCalcGraph::ReferencesChanged(TCalc *box, const QStringList &oldNames)
{
    for (const QString &name : oldNames)
        if (auto it = m_dependants.find(name); it != m_dependants.end()) {
            it->remove(box);
            if (it->isEmpty())
                m_dependants.erase(it);
        }
    for (const QString &name : box->Walker().Names())
        m_dependants[name].insert(box);
    m_cyclesDirty = true;
}

void TCalcGraph::ParentChanged(TCalc *box)
{
    if (box == m_follower && !box->ParentPage()) {
        box->SetFollowsTextChanges(false);
        m_follower = nullptr;
        ChooseFollower(nullptr);
    } else {
        ChooseFollower(box);
    }
}

void TCalcGraph::ChooseFollower(TCalc *candidate)
{
    if (m_follower && m_follower->ParentPage())
        return;
    TCalc *chosen = candidate && candidate->ParentPage() ? candidate : nullptr;
    // Only when the follower went: a box placed on a page is offered by itself.
    if (!chosen && !candidate)
        for (TCalc *box : std::as_const(m_boxes))
            if (box->ParentPage()) {
                chosen = box;
                break;
            }
    if (!chosen)
        return;
    if (m_follower)
        m_follower->SetFollowsTextChanges(false);
    m_follower = chosen;
    m_follower->SetFollowsTextChanges(true);
}

QList<TCalc *> TCalcGraph::BoxesNamed(const QString &upperName, const TComponent *owner) const
{
    QList<TCalc *> boxes;
    for (TCalc *box : m_named.value(upperName))
        if (box->Owner() == owner)
            boxes.append(box);
    return boxes;
}

bool TCalcGraph::InCycle(const TCalc *box)
{
    if (m_cyclesDirty)
        ComputeCycles();
    return m_cyclic.contains(box);
}

// Tarjan's strongly connected components, without recursion, edges from a box
// to the boxes it names. Components come out inputs first, so whether a box
// reaches a circle is known from the boxes it names.
void TCalcGraph::ComputeCycles()
{
    m_cyclesDirty = false;
    m_cyclic.clear();
    const auto successors = [this](const TCalc *box) {
        QList<TCalc *> next;
        for (const QString &name : box->Walker().Names())
            next += BoxesNamed(name, box->Owner());
        return next;
    };
    struct TFrame
    {
        TCalc *Box;
        QList<TCalc *> Next;
        qsizetype At = 0;
    };
    QHash<const TCalc *, int> index;
    QHash<const TCalc *, int> low;
    QList<TCalc *> stack;
    QSet<const TCalc *> onStack;
    int counter = 0;
    for (TCalc *root : std::as_const(m_boxes)) {
        if (index.contains(root))
            continue;
        QList<TFrame> frames;
        const auto enter = [&](TCalc *box) {
            index[box] = low[box] = counter++;
            stack.append(box);
            onStack.insert(box);
            frames.append({box, successors(box)});
        };
        enter(root);
        while (!frames.isEmpty()) {
            TFrame &frame = frames.last();
            if (frame.At < frame.Next.size()) {
                TCalc *next = frame.Next.at(frame.At++);
                if (!index.contains(next))
                    enter(next);
                else if (onStack.contains(next))
                    low[frame.Box] = std::min(low[frame.Box], index[next]);
                continue;
            }
            TCalc *box = frame.Box;
            const QList<TCalc *> next = frame.Next;
            frames.removeLast();
            if (!frames.isEmpty())
                low[frames.last().Box] = std::min(low[frames.last().Box], low[box]);
            if (low[box] != index[box])
                continue;
            QList<TCalc *> component;
            TCalc *member = nullptr;
            do {
                member = stack.takeLast();
                onStack.remove(member);
                component.append(member);
            } while (member != box);
            bool circular = component.size() > 1 || next.contains(box);
            for (TCalc *m : component)
                for (TCalc *s : successors(m))
                    circular = circular || m_cyclic.contains(s);
            if (circular)
                for (TCalc *m : component)
                    m_cyclic.insert(m);
        }
    }
}

QList<TCalc *> TCalcGraph::Ordered(const QList<TCalc *> &boxes) const
{
    const QSet<TCalc *> members(boxes.begin(), boxes.end());
    QHash<TCalc *, int> waiting;
    for (TCalc *box : boxes) {
        int inputs = 0;
        QSet<TCalc *> seen;
        for (const QString &name : box->Walker().Names())
            for (TCalc *input : BoxesNamed(name, box->Owner()))
                if (members.contains(input) && !seen.contains(input)) {
                    seen.insert(input);
                    ++inputs;
                }
        waiting[box] = inputs;
    }
    QList<TCalc *> order;
    QQueue<TCalc *> ready;
    for (TCalc *box : boxes)
        if (waiting.value(box) == 0)
            ready.enqueue(box);
    while (!ready.isEmpty()) {
        TCalc *box = ready.dequeue();
        order.append(box);
        QSet<TCalc *> told;
        for (TCalc *dependant : m_dependants.value(box->Name().toUpper()))
            if (members.contains(dependant) && !told.contains(dependant)
                && dependant->Owner() == box->Owner()) {
                told.insert(dependant);
                if (--waiting[dependant] == 0)
                    ready.enqueue(dependant);
            }
    }
    // Boxes on a circle never become ready; they show the circle.
    if (order.size() < boxes.size())
        for (TCalc *box : boxes)
            if (waiting.value(box) > 0)
                order.append(box);
    return order;
}

void TCalcGraph::Settle(const QList<TCalc *> &order)
{
    const TGlobalFlagScope settling(m_settling);
    for (TCalc *box : order)
        box->Invalidate();
    for (TCalc *box : order)
        box->Recalculate();
}

QList<TCalc *> TCalcGraph::Dependants(const QString &upperName, const TComponent *owner,
                                      const void *except) const
{
    QList<TCalc *> reached;
    QSet<TCalc *> seen;
    QQueue<QString> names;
    names.enqueue(upperName);
    while (!names.isEmpty()) {
        const auto it = m_dependants.constFind(names.dequeue());
        if (it == m_dependants.cend())
            continue;
        for (TCalc *box : *it) {
            if (box == except || box->Owner() != owner || !box->ParentPage() || seen.contains(box))
                continue;
            seen.insert(box);
            reached.append(box);
            names.enqueue(box->Name().toUpper());
        }
    }
    return reached;
}

void TCalcGraph::TextChanged(const TBasePgCtrl *element)
{
    if (m_settling || GlobalLoadingProject || element->Name().isEmpty())
        return;
    const QList<TCalc *> reached = Dependants(element->Name().toUpper(), element->Owner(), element);
    if (!reached.isEmpty())
        Settle(Ordered(reached));
}

void TCalcGraph::SettleFrom(TCalc *box)
{
    if (m_settling || GlobalLoadingProject || !box->ParentPage())
        return;
    QList<TCalc *> reached = Dependants(box->Name().toUpper(), box->Owner(), box);
    reached.prepend(box);
    Settle(Ordered(reached));
}

void TCalcGraph::SettleAll(const TComponent *owner)
{
    m_stale = false;
    QList<TCalc *> boxes;
    for (TCalc *box : std::as_const(m_boxes))
        if (box->Owner() == owner && box->ParentPage())
            boxes.append(box);
    Settle(Ordered(boxes));
}

void TCalcGraph::ElementRenamed(const TBasePgCtrl *element, const QString &oldName)
{
    if (element->Name() == oldName || GlobalLoadingProject)
        return;
    const QList<TCalc *> boxes
        = oldName.isEmpty() ? QList<TCalc *>() : m_dependants.value(oldName.toUpper()).values();
    for (TCalc *box : boxes)
        if (box != element && box->Owner() == element->Owner())
            box->SetCalcExpression(
                TCalc::RenamedExpr(box->CalcExpression(), oldName, element->Name()));
    // Boxes that named an element not there before now see its value.
    TextChanged(element);
}
