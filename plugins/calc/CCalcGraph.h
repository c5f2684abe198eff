#pragma once
// Which calculation boxes depend on which names, so that a text change
// recomputes only the boxes that depend on it, each once, inputs first; and
// which boxes reach a circle of boxes. One box of the document follows text
// changes for all of them, so a keystroke costs nothing for boxes it does not
// reach.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

class TBasePgCtrl;
class TCalc;
class TComponent;

class TCalcGraph
{
public:
    static TCalcGraph &Instance();

    void Add(TCalc *box);
    void Remove(TCalc *box);
    // The box's own name changed.
    void BoxRenamed(TCalc *box, const QString &oldName);
    // The box's referenced names changed from oldNames to its walker's names.
    void ReferencesChanged(TCalc *box, const QStringList &oldNames);
    // The box was placed on a page or taken off one.
    void ParentChanged(TCalc *box);

    bool InCycle(const TCalc *box);
    // Recompute the boxes that depend on the element, in dependency order.
    void TextChanged(const TBasePgCtrl *element);
    // A reset was broadcast: the next update settles every box once.
    void MarkStale() { m_stale = true; }
    bool Stale() const { return m_stale; }
    // The box and the boxes that depend on it.
    void SettleFrom(TCalc *box);
    // Every box of the owner, inputs first.
    void SettleAll(const TComponent *owner);
    // Rewrites the expressions that name the element's old name, and recomputes
    // the boxes that name its new one.
    void ElementRenamed(const TBasePgCtrl *element, const QString &oldName);
    bool Settling() const { return m_settling; }
    // The box that follows text changes for all of them, or null.
    TCalc *Follower() const { return m_follower; }

private:
    QList<TCalc *> BoxesNamed(const QString &upperName, const TComponent *owner) const;
    // Kahn's order of the boxes; those in circles come last.
    QList<TCalc *> Ordered(const QList<TCalc *> &boxes) const;
    void Settle(const QList<TCalc *> &order);
    void ComputeCycles();
    // The boxes of the owner on a page that depend on the name, directly or through boxes.
    QList<TCalc *> Dependants(const QString &upperName, const TComponent *owner,
                              const void *except) const;
    void ChooseFollower(TCalc *candidate);

    QSet<TCalc *> m_boxes;
    // Upper-cased name -> boxes whose expression names it.
    QHash<QString, QSet<TCalc *>> m_dependants;
    // Upper-cased name -> boxes of that name (one per document).
    QHash<QString, QList<TCalc *>> m_named;
    QSet<const TCalc *> m_cyclic;
    TCalc *m_follower = nullptr;
    bool m_cyclesDirty = true;
    bool m_stale = true;
    bool m_settling = false;
};
