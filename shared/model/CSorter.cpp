#include "CSorter.h"

void TSorter::QuickSort(int left, int right)
{
    // Recurse on the left part, loop on the right one.
    while (left < right) {
        int i = left;
        int j = right;
        int p = (left + right) / 2;
        do {
            while (Compare(i, p) < 0)
                ++i;
            while (Compare(j, p) > 0)
                --j;
            if (i <= j) {
                Swap(i, j);
                // The pivot moved with the swap.
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (j > left)
            QuickSort(left, j);
        left = i;
    }
}
