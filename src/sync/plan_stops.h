#pragma once

#include <string>

#include "sync/sync_plan.h"

namespace memro::sync {

// Why the sync must not run at all (a sentence), or "".
std::string Refusal(const PlanInput& in);

// A plan that deletes every event of a side, or more than kMaxQuietDeletes that are
// more than a fifth of a side, stops to ask the user first.
constexpr int kMaxQuietDeletes = 5;
void AskBeforeDeleting(const PlanInput& in, SyncPlan& plan);

}  // namespace memro::sync
