#include "CSorter.h"

#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>

TEST(Sorter, SortsThroughItsCallbacksAndDoesNothingWithoutThem)
{
    QRandomGenerator random(7);
    for (int n : {0, 1, 2, 3, 10, 257}) {
        QList<int> values;
        for (int i = 0; i < n; ++i)
            values.append(int(random.bounded(20)));
        TSorter sorter;
        sorter.QuickSort(0, n - 1); // no handlers: nothing happens
        sorter.OnCompare = [&](TSorter *, int i, int j) {
            return values[i] - values[j];
        };
        sorter.OnSwap = [&](TSorter *, int i, int j) {
            values.swapItemsAt(i, j);
        };
        sorter.QuickSort(0, n - 1);
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << n;
    }
}
