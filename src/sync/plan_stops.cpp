#include "sync/plan_stops.h"

namespace memro::sync {
namespace {

bool TooMany(std::size_t deleted, std::size_t of) {
  if (deleted == 0) return false;
  return deleted == of || (deleted > kMaxQuietDeletes && deleted * 5 > of);
}

}  // namespace

std::string Refusal(const PlanInput& in) {
  if (in.state.pairs.empty()) return {};
  if (in.state.collection != in.collection) {
    return "it was synced with the calendar " + in.state.collection + ", not with " + in.collection;
  }
  if (!in.state.principal.empty() && !in.principal.empty() && in.state.principal != in.principal) {
    return "the server now names another user (" + in.principal + ") than at the last sync (" +
           in.state.principal + ")";
  }
  if (in.fileMissing) return "the event file is missing, although it held events at the last sync";
  if (in.local.empty()) return "the event file is empty, although it held events at the last sync";
  return {};
}

void AskBeforeDeleting(const PlanInput& in, SyncPlan& plan) {
  const std::size_t local = in.local.size();
  const std::size_t server = in.remote.size();
  const std::size_t fromFile = static_cast<std::size_t>(plan.localDeleted);
  const std::size_t fromServer = plan.deletes.size();
  if (TooMany(fromFile, local)) {
    plan.stop = SyncPlan::Stop::kAsk;
    plan.why = "it would delete " + std::to_string(fromFile) + " of the " + std::to_string(local) +
               " events of the file";
  } else if (TooMany(fromServer, server)) {
    plan.stop = SyncPlan::Stop::kAsk;
    plan.why = "it would delete " + std::to_string(fromServer) + " of the " +
               std::to_string(server) + " events of the calendar";
  }
}

}  // namespace memro::sync
