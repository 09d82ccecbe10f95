#pragma once

#include <string>
#include <vector>

#include "data/event_record.h"

namespace memro::sync {

struct FieldMerge {
  EventRecord merged;
  // The fields both sides changed, each its own way (their names for the user); the
  // merged record has Memro's value of them.
  std::vector<std::string> clashes;
};

// Three-way merge of one event field by field: a field changed on one side only takes
// that side's value.
FieldMerge MergeFields(const EventRecord& base, const EventRecord& local,
                       const EventRecord& server);

}  // namespace memro::sync
