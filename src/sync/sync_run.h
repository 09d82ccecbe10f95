#pragma once

#include <QUrl>
#include <filesystem>
#include <ostream>

#include "data/event_record.h"
#include "sync/dav_client.h"

namespace memro::sync {

constexpr int kSyncDone = 0;
constexpr int kSyncFailed = 1;
constexpr int kSyncAsks = 3;

struct SyncJob {
  std::filesystem::path file;
  QUrl collection;
  bool dryRun = false;
  bool allowDeletes = false;  // the user's yes to the deletes a sync stops to ask about
  RecordDefaults defaults;    // the fields a foreign event does not say
};

// One sync of the file with the calendar, under the file's writer lock from its reading
// to the writing of the state. out: what was done; err: why it stopped or failed.
int RunSync(DavClient& client, const SyncJob& job, std::ostream& out, std::ostream& err);

}  // namespace memro::sync
