#pragma once
// Taking an entry out of a list of pointers that holds it once.
#include <algorithm>
#include <iterator>
#include <vector>

// Looks from the end: what goes first is most often what came last (an owner deletes its
// components, a window its controls, newest first), so a whole list goes in time linear in it.
template <typename T, typename U>
void EraseLast(std::vector<T*>& AList, const U* AEntry)
{
    const auto it = std::find(AList.rbegin(), AList.rend(), AEntry);
    if (it != AList.rend())
        AList.erase(std::next(it).base());
}
