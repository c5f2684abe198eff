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

TEST(Sorter, NeverLeavesTheRangeOnLargeOrEqualLists)
{
    QRandomGenerator random(11);
    for (const bool equal : {false, true}) {
        QList<int> values;
        for (int i = 0; i < 1000; ++i)
            values.append(equal ? 5 : int(random.bounded(100000)));
        int outside = 0;
        TSorter sorter;
        const auto check = [&](int i) {
            if (i < 0 || i >= values.size())
                ++outside;
            return qBound(0, i, int(values.size()) - 1);
        };
        sorter.OnCompare = [&](TSorter *, int i, int j) {
            return values[check(i)] - values[check(j)];
        };
        sorter.OnSwap = [&](TSorter *, int i, int j) {
            values.swapItemsAt(check(i), check(j));
        };
        sorter.QuickSort(0, int(values.size()) - 1);
        EXPECT_EQ(outside, 0) << equal;
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << equal;
    }
}
