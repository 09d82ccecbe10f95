#include "sync/record_alignment.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "data/event_record.h"

namespace memro::sync {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// Where each record's bytes stand in a list, to find the next one at or after a place.
class Places {
 public:
  explicit Places(const std::vector<std::string>& records) {
    for (std::size_t i = 0; i < records.size(); ++i) at_[records[i]].push_back(i);
  }
  std::size_t NextAt(const std::string& record, std::size_t from) const {
    const auto found = at_.find(record);
    if (found == at_.end()) return kNone;
    const auto next = std::lower_bound(found->second.begin(), found->second.end(), from);
    return next == found->second.end() ? kNone : *next;
  }

 private:
  std::unordered_map<std::string, std::vector<std::size_t>> at_;
};

// An edit keeps the date or the message (an edit of both reads as another event).
bool Similar(std::string_view a, std::string_view b) {
  return a.substr(0, kDateSize) == b.substr(0, kDateSize) ||
         a.substr(kDateSize, kMessageSize) == b.substr(kDateSize, kMessageSize);
}

}  // namespace

std::vector<int> AlignRecords(const std::vector<std::string>& before,
                              const std::vector<std::string>& now) {
  std::vector<int> result(now.size(), -1);
  const Places beforePlaces(before);
  const Places nowPlaces(now);
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < before.size() && j < now.size()) {
    if (before[i] == now[j]) {
      result[j++] = static_cast<int>(i++);
      continue;
    }
    const std::size_t keptAt = nowPlaces.NextAt(before[i], j);  // before[i] still there
    const std::size_t wasAt = beforePlaces.NextAt(now[j], i);   // now[j] was there
    if (keptAt == kNone && wasAt == kNone) {
      if (Similar(before[i], now[j])) {
        result[j++] = static_cast<int>(i++);
      } else if (i + 1 < before.size() && Similar(before[i + 1], now[j])) {
        ++i;  // deleted, and the next one edited
      } else if (j + 1 < now.size() && Similar(before[i], now[j + 1])) {
        ++j;  // a new one put before an edited one
      } else {
        result[j++] = static_cast<int>(i++);  // edited in place beyond recognition
      }
    } else if (wasAt == kNone || (keptAt != kNone && keptAt - j <= wasAt - i)) {
      ++j;  // now[j] is new
    } else {
      ++i;  // before[i] was deleted
    }
  }
  return result;
}

}  // namespace memro::sync
