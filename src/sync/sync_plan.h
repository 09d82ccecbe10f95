#pragma once

#include <string>
#include <vector>

#include "data/calendar.h"
#include "data/event_record.h"
#include "sync/event_writing.h"
#include "sync/remote_event.h"
#include "sync/sync_state.h"

namespace memro::sync {

struct PlanInput {
  SyncState state;         // the last sync's; no pairs at the first sync or when lost
  bool firstSync = false;  // no state at all: this sync only merges
  std::string collection;  // its URL as configured now
  std::string hrefBase;    // its path, ending in '/': new events are put under it
  std::string principal;   // as the server names it now ("" when it names none)
  bool fileMissing = false;
  std::vector<EventRecord> local;      // today's events of the file, in order
  std::vector<RemoteResource> remote;  // every resource of the calendar now
  RecordDefaults defaults;             // for the fields a foreign event does not say
  Date today;
  Writing writing;
};

// A PUT: to a new href with If-None-Match: *, or to the pair's href with If-Match.
struct Upload {
  std::string href;
  std::string ifMatch;  // empty: a new resource
  std::string ics;
  std::size_t record = 0;  // the event's index in SyncPlan::records
  SyncPair before;         // what the pair was when the upload fails (href empty: none)
};

struct ServerDelete {
  std::string href;
  std::string etag;
  std::string summary;
};

struct Foreign {
  std::string href;
  std::string summary;
  std::string reason;
};

struct Conflict {
  std::string summary;
  std::vector<std::string> fields;
};

struct SyncPlan {
  enum class Stop { kNone, kAsk, kRefuse };
  Stop stop = Stop::kNone;
  std::string why;  // a sentence for kAsk and kRefuse

  std::vector<EventRecord> records;  // the event file after the sync
  std::vector<SyncPair> pairs;       // one per record, as the server has it now
  std::vector<Upload> uploads;
  std::vector<ServerDelete> deletes;
  int localAdded = 0;
  int localChanged = 0;
  int localDeleted = 0;
  std::vector<Conflict> conflicts;
  std::vector<Foreign> foreign;

  bool FileChanges() const { return localAdded + localChanged + localDeleted > 0; }
};

// The three-way plan: each side compared with the last sync's state. Nothing here
// touches a file or the network.
SyncPlan MakePlan(const PlanInput& in);

// Marks the server's version of an event that both sides changed differently.
constexpr const char* kConflictMark = "(conflicting copy) ";

}  // namespace memro::sync
