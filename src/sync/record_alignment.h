#pragma once

#include <string>
#include <vector>

namespace memro::sync {

// Lays today's records of an event file (stored bytes) against those of the last sync.
// The editor changes a record in place and closes the gap a deleted one leaves, and new
// records come at the end or in between: the records that are the same anchor the two
// lists, and between anchors a record in the place of another that shares its date or
// its message is that one edited. For each of today's records: the index of the record
// of the last sync it is, or -1 for a new one.
std::vector<int> AlignRecords(const std::vector<std::string>& before,
                              const std::vector<std::string>& now);

}  // namespace memro::sync
