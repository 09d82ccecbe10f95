#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "data/calendar.h"
#include "data/record_file.h"
#include "engine/due_entries.h"

namespace memro {

// The text report of the due list, in list order: the header block, then per entry a
// blank line, its status, its list line, its message and a rule. UTF-8 with CR LF line
// ends; with unixLineEnds every CR LF (also inside messages) becomes LF.
void WriteReport(std::ostream& out, const DueEntries& entries, const Date& today, bool rangeOn,
                 bool unixLineEnds = false);
// The same from records 1..count of the due list file.
void WriteReport(std::ostream& out, RecordFile& dueList, std::int64_t count, const Date& today,
                 bool rangeOn, bool unixLineEnds = false);

}  // namespace memro
