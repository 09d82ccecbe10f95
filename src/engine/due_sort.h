#pragma once

#include <cstdint>
#include <vector>

#include "data/record_file.h"

namespace memro {

// The order a diminishing-gap exchange sort leaves keys in: order[k] is the original
// index of the key that ends at position k. Equal keys may change places, and users
// see that order, so the method itself matters, not only the result. Sorts keys too.
std::vector<std::size_t> ExchangeSortOrder(std::vector<std::int64_t>& keys);

// Sorts due-list records 1..keys.size() by their keys (the day numbers of their dates).
void SortDueList(RecordFile& dueList, std::vector<std::int64_t>& keys);

}  // namespace memro
