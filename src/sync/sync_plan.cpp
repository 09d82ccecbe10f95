#include "sync/sync_plan.h"

#include <cctype>
#include <map>
#include <optional>
#include <set>

#include "ical/event_texts.h"
#include "ical/event_uid.h"
#include "sync/field_merge.h"
#include "sync/plan_stops.h"
#include "sync/record_alignment.h"

namespace memro::sync {
namespace {

std::string Bytes(const EventRecord& r) { return r.ToBytes(); }

bool SameEvent(const EventRecord& a, const EventRecord& b) {
  return a.date == b.date && a.message == b.message && a.frequency == b.frequency;
}

EventRecord ConflictCopy(const EventRecord& server) {
  EventRecord copy = server;
  std::string message = kConflictMark + server.message;
  ical::CutToMessageSize(message);
  copy.SetMessage(message);
  return copy;
}

class Planner {
 public:
  explicit Planner(const PlanInput& in) : in_(in) {}

  SyncPlan Run() {
    if (Refused()) return std::move(plan_);
    ReadRemotes();
    TakeToday();
    TakeLocallyDeleted();
    PairLost();
    TakeNewOnServer();
    for (const EventRecord& copy : copies_) {
      ++plan_.localAdded;
      UploadNew(Keep(copy, {}));
    }
    AskBeforeDeleting(in_, plan_);
    return std::move(plan_);
  }

 private:
  bool Refused() {
    const std::string why = Refusal(in_);
    if (why.empty()) return false;
    plan_.stop = SyncPlan::Stop::kRefuse;
    plan_.why = why;
    return true;
  }

  void ReadRemotes() {
    std::map<std::string, std::string> baseIcs;
    for (const SyncPair& p : in_.state.pairs) baseIcs[p.href] = p.ics;
    for (const RemoteResource& r : in_.remote) {
      const auto base = baseIcs.find(r.href);
      RemoteEvent event =
          ReadRemote(r, base == baseIcs.end() ? "" : base->second, in_.defaults, in_.today);
      uids_.insert(event.uid);
      remote_.emplace(r.href, std::move(event));
    }
  }

  std::size_t Keep(const EventRecord& record, SyncPair pair) {
    pair.record = Bytes(record);
    plan_.records.push_back(record);
    plan_.pairs.push_back(std::move(pair));
    return plan_.records.size() - 1;
  }

  RemoteEvent* Server(const std::string& href) {
    const auto found = remote_.find(href);
    if (found == remote_.end()) return nullptr;
    used_.insert(href);
    return &found->second;
  }

  void ListForeign(const RemoteEvent& e) {
    plan_.foreign.push_back({e.resource.href, e.summary, e.reason});
  }

  void TakeToday() {
    std::vector<std::string> before, now;
    for (const SyncPair& p : in_.state.pairs) before.push_back(p.record);
    for (const EventRecord& r : in_.local) now.push_back(Bytes(r));
    const std::vector<int> was = AlignRecords(before, now);
    kept_.assign(before.size(), false);
    localUids_ = ical::EventUids(in_.local);
    for (std::size_t j = 0; j < now.size(); ++j) {
      if (was[j] >= 0) kept_[was[j]] = true;
      if (was[j] >= 0 && !in_.state.pairs[was[j]].href.empty()) {
        TakePaired(in_.local[j], in_.state.pairs[was[j]]);
      } else {
        unpaired_.emplace_back(Keep(in_.local[j], {}), j);
      }
    }
  }

  void TakePaired(const EventRecord& local, const SyncPair& base) {
    RemoteEvent* server = Server(base.href);
    if (!server) {
      if (Bytes(local) == base.record) {
        ++plan_.localDeleted;
      } else {  // deleted there, changed here: the change wins
        UploadNew(Keep(local, {base.href, "", base.uid, {}, {}}));
      }
      return;
    }
    const SyncPair now{base.href, server->resource.etag, base.uid, {}, server->resource.ics};
    if (!server->record) {
      ListForeign(*server);
      Keep(local, base);
      return;
    }
    const FieldMerge merge =
        MergeFields(EventRecord::FromBytes(base.record), local, *server->record);
    if (!merge.clashes.empty()) {
      plan_.conflicts.push_back({server->summary, merge.clashes});
      copies_.push_back(ConflictCopy(*server->record));
    }
    if (merge.merged != local) ++plan_.localChanged;
    const std::size_t index = Keep(merge.merged, now);
    if (merge.merged != *server->record) UploadChange(index, *server);
  }

  void TakeLocallyDeleted() {
    for (std::size_t i = 0; i < kept_.size(); ++i) {
      const SyncPair& base = in_.state.pairs[i];
      RemoteEvent* server = kept_[i] || base.href.empty() ? nullptr : Server(base.href);
      if (!server) continue;
      if (!server->record) {
        ListForeign(*server);
      } else if (Bytes(*server->record) == base.record) {
        plan_.deletes.push_back({base.href, server->resource.etag, server->summary});
      } else {  // deleted here, changed there: the change wins
        ++plan_.localAdded;
        Keep(*server->record,
             {base.href, server->resource.etag, base.uid, {}, server->resource.ics});
      }
    }
  }

  // Events without a pair (a first sync, a lost state) meet the server's events without
  // one: the same UID, then Memro's own bytes, then the same date, message and frequency.
  void PairLost() {
    using Rule = bool (*)(const RemoteEvent&, const EventRecord&, const std::string&);
    const Rule rules[] = {[](const RemoteEvent& e, const EventRecord&, const std::string& uid) {
                            return !e.uid.empty() && e.uid == uid;
                          },
                          [](const RemoteEvent& e, const EventRecord& r, const std::string&) {
                            return e.memro && *e.record == r;
                          },
                          [](const RemoteEvent& e, const EventRecord& r, const std::string&) {
                            return SameEvent(*e.record, r);
                          }};
    for (const Rule rule : rules) {
      std::vector<std::pair<std::size_t, std::size_t>> left;
      for (const auto& [index, j] : unpaired_) {
        if (!PairWith(index, j, rule)) left.emplace_back(index, j);
      }
      unpaired_ = std::move(left);
    }
    for (const auto& [index, j] : unpaired_) UploadNew(index, localUids_[j]);
  }

  template <typename Rule>
  bool PairWith(std::size_t index, std::size_t j, Rule rule) {
    for (auto& [href, e] : remote_) {
      if (used_.count(href) || !e.record || !rule(e, in_.local[j], localUids_[j])) continue;
      used_.insert(href);
      plan_.pairs[index] = {href, e.resource.etag, e.uid, Bytes(in_.local[j]), e.resource.ics};
      // Without a common past Memro's fields are taken: the file is the truth here.
      if (*e.record != in_.local[j]) UploadChange(index, e);
      return true;
    }
    return false;
  }

  void TakeNewOnServer() {
    for (const auto& [href, e] : remote_) {
      if (used_.count(href)) continue;
      if (!e.record) {
        ListForeign(e);
        continue;
      }
      ++plan_.localAdded;
      Keep(*e.record, {href, e.resource.etag, e.uid, {}, e.resource.ics});
    }
  }

  void UploadChange(std::size_t index, const RemoteEvent& server) {
    const EventRecord& record = plan_.records[index];
    SyncPair before = plan_.pairs[index];
    before.record = Bytes(*server.record);
    plan_.uploads.push_back(
        {server.resource.href, server.resource.etag,
         PatchedEventText(server.resource.ics, record, server.record->warnDays, in_.writing), index,
         before});
  }

  // A new resource; its UID is the content's own unless the server has that one.
  void UploadNew(std::size_t index, std::string uid = {}) {
    SyncPair& pair = plan_.pairs[index];
    if (uid.empty()) uid = pair.uid;
    if (uid.empty()) uid = ical::EventUids({plan_.records[index]}).front();
    while (uids_.count(uid)) uid = "x" + uid;
    uids_.insert(uid);
    if (pair.href.empty()) pair.href = FreeHref(uid);
    pair.uid = uid;
    plan_.uploads.push_back({pair.href, "", NewEventText(plan_.records[index], uid, in_.writing),
                             index, SyncPair{{}, {}, {}, pair.record, {}}});
  }

  // Only letters, digits and '-': no character that servers encode differently.
  std::string FreeHref(const std::string& uid) {
    std::string name;
    for (const char c : uid.substr(0, uid.find('@'))) {
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '-') name += c;
    }
    std::string href = in_.hrefBase + name + ".ics";
    for (int n = 2; remote_.count(href) || hrefs_.count(href); ++n) {
      href = in_.hrefBase + name + "-" + std::to_string(n) + ".ics";
    }
    hrefs_.insert(href);
    return href;
  }

  const PlanInput& in_;
  SyncPlan plan_;
  std::map<std::string, RemoteEvent> remote_;
  std::set<std::string> used_;   // hrefs of the server's events that have their pair
  std::set<std::string> uids_;   // UIDs the server has or will have
  std::set<std::string> hrefs_;  // hrefs of new resources
  std::vector<bool> kept_;       // per pair of the state: its event is still in the file
  std::vector<std::string> localUids_;
  // Today's events without a pair yet: their index in the plan's records and in_.local.
  std::vector<std::pair<std::size_t, std::size_t>> unpaired_;
  std::vector<EventRecord> copies_;  // the server's versions of events in conflict
};

}  // namespace

SyncPlan MakePlan(const PlanInput& in) { return Planner(in).Run(); }

}  // namespace memro::sync
