#include "engine/due_sort.h"

#include <numeric>
#include <string>
#include <utility>

namespace memro {

std::vector<std::size_t> ExchangeSortOrder(std::vector<std::int64_t>& keys) {
  std::vector<std::size_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  const std::int64_t count = static_cast<std::int64_t>(keys.size());
  for (std::int64_t gap = count / 2; gap > 0; gap /= 2) {
    std::int64_t limit = count - gap;
    std::int64_t last = 0;
    do {
      last = 0;
      for (std::int64_t k = 1; k <= limit; ++k) {
        const auto a = static_cast<std::size_t>(k - 1);
        const auto b = static_cast<std::size_t>(k - 1 + gap);
        if (keys[a] > keys[b]) {
          std::swap(keys[a], keys[b]);
          std::swap(order[a], order[b]);
          last = k;
        }
      }
      limit = last - gap;
    } while (last != 0);
  }
  return order;
}

void SortDueList(RecordFile& dueList, std::vector<std::int64_t>& keys) {
  const auto order = ExchangeSortOrder(keys);
  std::vector<bool> placed(order.size(), false);
  std::string held;
  std::string moving;
  // Follow each cycle of the permutation: every record is read and written once.
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (placed[start] || order[start] == start) continue;
    dueList.Read(static_cast<std::int64_t>(start + 1), held);
    std::size_t pos = start;
    while (order[pos] != start) {
      dueList.Read(static_cast<std::int64_t>(order[pos] + 1), moving);
      dueList.Write(static_cast<std::int64_t>(pos + 1), moving);
      placed[pos] = true;
      pos = order[pos];
    }
    dueList.Write(static_cast<std::int64_t>(pos + 1), held);
    placed[pos] = true;
  }
}

}  // namespace memro
