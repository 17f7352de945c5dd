#pragma once

#include "core/TOrvantaCollectionItem2.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

// Removes the items at these indexes (ascending, each once) from the list in
// one pass and hands them to the caller in that order: many removals cost
// one walk of the list, not one shift of its tail each.
template <typename T>
std::vector<std::unique_ptr<T>> TakeMany(TOrvantaCollection<T> &list, const std::vector<std::size_t> &ascending)
{
    std::vector<std::unique_ptr<T>> taken;
    taken.reserve(ascending.size());
    auto next = ascending.begin();
    auto kept = list.begin();
    std::size_t i = 0;
    for (auto item = list.begin(); item != list.end(); ++item, ++i) {
        if (next != ascending.end() && *next == i) {
            taken.push_back(std::move(*item));
            ++next;
        } else {
            *kept++ = std::move(*item);
        }
    }
    // The emptied places are all at the end now; each goes without a shift.
    for (std::size_t left = taken.size(); left > 0; --left)
        list.Take(list.Count() - 1);
    return taken;
}
