#pragma once

#include <ostream>
#include <string>

#include "sync/sync_plan.h"

namespace memro::sync {

// The event's title as the calendar shows it.
std::string SummaryOf(const EventRecord& record);

// What the sync does (or with dryRun would do): the events left alone and why, the
// conflicts, and a line of counts.
void ReportPlan(const SyncPlan& plan, const std::string& file, bool dryRun, std::ostream& out);

// Why a plan stopped and what the user can do.
std::string StopMessage(const SyncPlan& plan, const std::string& file);

}  // namespace memro::sync
