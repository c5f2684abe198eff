#pragma once
// Index quicksort driven by callbacks, for lists the caller keeps itself.
// The order of equal elements is not kept.

#include "CComponent.h"

#include <functional>

class TSorter : public TObjectComponent
{
    Q_OBJECT
public:
    explicit TSorter(TComponent *owner = nullptr) : TObjectComponent(owner) { }

    std::function<int(TSorter *, int, int)> OnCompare;
    std::function<void(TSorter *, int, int)> OnSwap;

    int Compare(int i, int j) { return OnCompare ? OnCompare(this, i, j) : 0; }
    void Swap(int i, int j)
    {
        if (OnSwap)
            OnSwap(this, i, j);
    }
    void QuickSort(int left, int right);
};
