#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "data/event_record.h"
#include "sync/dav_client.h"
#include "sync/sync_setup.h"

namespace memro::sync {

// Finds the calendar from the address a user gave (a server's or a calendar's) and
// keeps the setup of `file`; says what it chose on out. The failure's message, when it
// failed; a DavError when the server could not be asked.
std::optional<std::string> SetUpCalendar(DavClient& client, const std::filesystem::path& file,
                                         const std::string& start, const QString& calendar,
                                         SyncSetup& setup, std::ostream& out);

// One whole sync as a program without a terminal asks for it: with its own connection,
// so that it can run on any thread.
struct SyncOrder {
  std::filesystem::path file;
  SyncSetup setup;
  std::string password;
  std::string start;     // set: the sync is set up first from this address
  std::string calendar;  // the calendar's name at that setup; empty: the only one
  bool allowDeletes = false;
  RecordDefaults defaults;
};

struct SyncOutcome {
  int status = 0;    // kSyncDone, kSyncFailed or kSyncAsks
  std::string said;  // what was done, or why it stopped
  bool fileChanged = false;
  SyncSetup setup;  // as it was used, the calendar found at a setup included
};

SyncOutcome SyncOnce(const SyncOrder& order);

}  // namespace memro::sync
