#include "sync/sync_run.h"

#include <ctime>

#include "data/writer_lock.h"
#include "ical/calendar_import.h"
#include "ical/export_start.h"
#include "sync/caldav.h"
#include "sync/plan_report.h"
#include "sync/sync_file.h"
#include "sync/sync_plan.h"

namespace memro::sync {
namespace {

// The sync's own answer, thrown out of the locked work.
struct Stopped {
  int exit;
  std::string message;
};

void Execute(DavClient& client, const QUrl& collection, SyncPlan& plan, std::ostream& err) {
  for (const Upload& u : plan.uploads) {
    const PutResult put = PutEvent(client, collection, u.href, u.ics, u.ifMatch);
    SyncPair& pair = plan.pairs[u.record];
    if (put.status / 100 == 2) {
      pair.etag = put.etag;
      pair.ics = put.ics;
      continue;
    }
    // Put aside: the next sync sees the event as changed here again and tries again.
    pair = u.before;
    err << "memro-cli: the server did not take \"" << SummaryOf(plan.records[u.record])
        << "\" (HTTP " << put.status << "); it is tried again at the next sync\n";
  }
  for (const ServerDelete& d : plan.deletes) {
    const int status = DeleteEvent(client, collection, d.href, d.etag);
    if (status / 100 != 2 && status != 404) {
      err << "memro-cli: the server did not delete \"" << d.summary << "\" (HTTP " << status
          << "); it is asked again at the next sync\n";
    }
  }
}

std::map<std::string, std::pair<std::string, std::string>> Known(const SyncState& state) {
  std::map<std::string, std::pair<std::string, std::string>> known;
  for (const SyncPair& p : state.pairs) known[p.href] = {p.etag, p.ics};
  return known;
}

PlanInput Input(DavClient& client, const SyncJob& job, const FileEvents& file,
                const std::optional<SyncState>& state, std::string& token) {
  PlanInput in;
  in.state = state.value_or(SyncState{});
  in.firstSync = !state;
  in.collection = job.collection.toString().toStdString();
  in.hrefBase = job.collection.path(QUrl::FullyEncoded).toStdString();
  in.principal = PrincipalAt(client, job.collection).toStdString();
  in.fileMissing = !file.exists;
  in.local = file.events;
  Listing listing = ListEvents(client, job.collection, Known(in.state));
  in.remote = std::move(listing.resources);
  token = listing.token;
  in.defaults = job.defaults;
  const std::time_t now = std::time(nullptr);
  in.today = ical::LocalDayOf(now);
  in.writing = {now, static_cast<int>(in.today.year())};
  return in;
}

int SyncLocked(DavClient& client, const SyncJob& job, const WriterLock& lock, std::ostream& out,
               std::ostream& err) {
  std::string refusal;
  const FileEvents file = ReadEvents(lock, refusal);
  if (!refusal.empty()) throw Stopped{kSyncFailed, refusal};
  const std::filesystem::path stateFile =
      StateFile(job.file, job.collection.toString().toStdString());
  const std::optional<SyncState> state = LoadState(stateFile);
  std::string token;
  const PlanInput in = Input(client, job, file, state, token);
  SyncPlan plan = MakePlan(in);
  ReportPlan(plan, job.file.string(), job.dryRun, out);
  const bool answered = plan.stop == SyncPlan::Stop::kAsk && job.allowDeletes;
  if (plan.stop != SyncPlan::Stop::kNone && !answered) {
    throw Stopped{plan.stop == SyncPlan::Stop::kAsk ? kSyncAsks : kSyncFailed,
                  StopMessage(plan, job.file.string())};
  }
  if (job.dryRun) return kSyncDone;
  try {
    Execute(client, job.collection, plan, err);
  } catch (const DavError& e) {
    throw Stopped{kSyncFailed, std::string(e.what()) + ". The sync stopped half-way and " +
                                   job.file.string() +
                                   " was not changed; the next sync carries on from here."};
  }
  if (plan.localDeleted > 0 && file.exists) KeepCopy(file, stateFile);
  if (plan.FileChanges()) WriteEvents(lock, file, plan.records);
  SaveState(lock, stateFile, {in.collection, in.principal, token, plan.pairs});
  return kSyncDone;
}

}  // namespace

int RunSync(DavClient& client, const SyncJob& job, std::ostream& out, std::ostream& err) {
  const std::string file = job.file.string();
  try {
    return RunLocked(job.file, WriterLock::kDefaultWait, [&](const WriterLock& lock) {
      return SyncLocked(client, job, lock, out, err);
    });
  } catch (const Stopped& s) {
    err << "memro-cli: " << s.message << "\n";
    return s.exit;
  } catch (const DavError& e) {
    err << "memro-cli: " << e.what() << ". Nothing was changed in " << file
        << "; check the server and the address, then sync again.\n";
  } catch (const StateError& e) {
    err << "memro-cli: the sync state of " << file << " cannot be read (" << e.what()
        << "); nothing was changed. Set the sync up again with --setup.\n";
  } catch (const FileBusyError& e) {
    err << "memro-cli: " << e.message() << "\n";
  } catch (const FileError& e) {
    err << "memro-cli: " << e.description() << " while syncing " << file << "\n";
  }
  return kSyncFailed;
}

}  // namespace memro::sync
