#include "engine/due_sort.h"

#include <string>
#include <utility>

namespace memro {

std::vector<std::size_t> ExchangeSortOrder(std::vector<std::int64_t>& keys) {
  // Each key travels with its original index: one exchange moves both at once.
  struct Keyed {
    std::int64_t key;
    std::size_t index;
  };
  std::vector<Keyed> items(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) items[k] = {keys[k], k};
  const std::int64_t count = static_cast<std::int64_t>(keys.size());
  for (std::int64_t gap = count / 2; gap > 0; gap /= 2) {
    std::int64_t limit = count - gap;
    std::int64_t last = 0;
    do {
      last = 0;
      for (std::int64_t k = 1; k <= limit; ++k) {
        Keyed& a = items[static_cast<std::size_t>(k - 1)];
        Keyed& b = items[static_cast<std::size_t>(k - 1 + gap)];
        if (a.key > b.key) {
          std::swap(a, b);
          last = k;
        }
      }
      limit = last - gap;
    } while (last != 0);
  }
  std::vector<std::size_t> order(items.size());
  for (std::size_t k = 0; k < items.size(); ++k) {
    keys[k] = items[k].key;
    order[k] = items[k].index;
  }
  return order;
}

void SortDueList(RecordFile& dueList, std::vector<std::int64_t>& keys) {
  const auto order = ExchangeSortOrder(keys);
  const std::size_t size = dueList.record_size();
  // One read and one write of the whole list: record by record, the system calls cost
  // far more than the sort.
  std::string records = dueList.ReadAt(0, order.size() * size);
  records.resize(order.size() * size, '\0');
  std::string sorted(records.size(), '\0');
  for (std::size_t k = 0; k < order.size(); ++k) {
    sorted.replace(k * size, size, records, order[k] * size, size);
  }
  records = {};
  dueList.WriteAt(0, sorted);
}

}  // namespace memro
