#include "sync/sync_run.h"

#include <ctime>
#include <set>

#include "data/writer_lock.h"
#include "ical/calendar_import.h"
#include "ical/export_start.h"
#include "sync/caldav.h"
#include "sync/earlier_state.h"
#include "sync/event_upload.h"
#include "sync/next_token.h"
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

// Returns the hrefs the server still has although the plan deleted them.
std::set<std::string> Execute(DavClient& client, const QUrl& collection, const PlanInput& in,
                              SyncPlan& plan, std::ostream& err) {
  for (const Upload& u : plan.uploads) {
    const UploadResult sent = SendUpload(client, collection, u, plan.records[u.record], in);
    SyncPair& pair = plan.pairs[u.record];
    if (sent.taken) {
      if (sent.merged) {
        plan.records[u.record] = *sent.merged;
        pair.record = sent.merged->ToBytes();
        ++plan.localChanged;
      }
      pair.etag = sent.etag;
      pair.ics = sent.ics;
      continue;
    }
    // Put aside: the next sync sees the event as changed here again and tries again.
    pair = u.before;
    err << "memro-cli: \"" << SummaryOf(plan.records[u.record])
        << "\" was put aside: " << sent.reason << "; it is tried again at the next sync\n";
  }
  std::set<std::string> kept;
  for (const ServerDelete& d : plan.deletes) {
    const int status = DeleteEvent(client, collection, d.href, d.etag);
    if (status / 100 != 2 && status != 404) {
      kept.insert(d.href);
      err << "memro-cli: the server did not delete \"" << d.summary << "\" (HTTP " << status
          << "); it is asked again at the next sync\n";
    }
  }
  return kept;
}

Known KnownOf(const SyncState& state) {
  Known known;
  for (const SyncPair& p : state.pairs) {
    if (!p.href.empty()) known[p.href] = {p.etag, p.ics};
  }
  for (const SyncPair& p : state.others) known[p.href] = {p.etag, p.ics};
  return known;
}

// The server's resources no event is paired with after the sync: with the pairs, all it
// has, so that the next sync can ask for the changes only.
std::vector<SyncPair> Others(const PlanInput& in, const SyncPlan& plan,
                             const std::set<std::string>& undeleted) {
  std::set<std::string> gone;
  for (const SyncPair& p : plan.pairs) gone.insert(p.href);
  for (const ServerDelete& d : plan.deletes) {
    if (!undeleted.count(d.href)) gone.insert(d.href);
  }
  std::vector<SyncPair> others;
  for (const RemoteResource& r : in.remote) {
    if (!gone.count(r.href)) others.push_back({r.href, r.etag, {}, {}, r.ics});
  }
  return others;
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
  Listing listing = ListEvents(client, job.collection, KnownOf(in.state), in.state.token);
  in.remote = std::move(listing.resources);
  token = listing.token;
  in.defaults = job.defaults;
  const std::time_t now = std::time(nullptr);
  in.today = ical::LocalDayOf(now);
  in.writing = {now, static_cast<int>(in.today.year())};
  return in;
}

// A first sync that finds the calendar empty while the file was synced with another one.
void AskAboutEmptyCalendar(const SyncJob& job) {
  const std::string collection = job.collection.toString().toStdString();
  const std::optional<SyncState> earlier = EarlierState(job.file, collection);
  if (!earlier) return;
  throw Stopped{kSyncAsks, "the calendar " + collection + " is empty, while " + job.file.string() +
                               " was synced with " + earlier->collection + " (" +
                               std::to_string(earlier->pairs.size()) +
                               " events). Nothing was changed; check the address (memro-cli "
                               "sync FILE --setup URL). If the events are to go to this "
                               "calendar, run the sync again with --allow-deletes."};
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
  if (!state && in.remote.empty() && !in.local.empty() && !job.allowDeletes) {
    AskAboutEmptyCalendar(job);
  }
  SyncPlan plan = MakePlan(in);
  ReportPlan(plan, job.file.string(), job.dryRun, out);
  const bool answered = plan.stop == SyncPlan::Stop::kAsk && job.allowDeletes;
  if (plan.stop != SyncPlan::Stop::kNone && !answered) {
    throw Stopped{plan.stop == SyncPlan::Stop::kAsk ? kSyncAsks : kSyncFailed,
                  StopMessage(plan, job.file.string())};
  }
  if (job.dryRun) return kSyncDone;
  std::set<std::string> undeleted;
  try {
    undeleted = Execute(client, job.collection, in, plan, err);
  } catch (const DavError& e) {
    throw Stopped{kSyncFailed, std::string(e.what()) + ". The sync stopped half-way and " +
                                   job.file.string() +
                                   " was not changed; the next sync carries on from here."};
  }
  if (plan.localDeleted > 0 && file.exists) KeepCopy(file, stateFile);
  if (plan.FileChanges()) WriteEvents(lock, file, plan.records);
  token = NextToken(client, job.collection, token, plan, undeleted);
  SaveState(lock, stateFile,
            {in.collection, in.principal, token, plan.pairs, Others(in, plan, undeleted)});
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
