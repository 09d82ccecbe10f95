#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/writer_lock.h"

namespace memro::sync {

// One event as both sides held it when they last agreed.
struct SyncPair {
  std::string href;  // empty: the server never took the event
  std::string etag;  // as the server gave it, quotes and W/ included
  std::string uid;
  std::string record;  // the event's stored bytes (kRecordSize)
  std::string ics;     // the server's iCalendar text of it
  bool operator==(const SyncPair&) const = default;
};

// What the last sync of one event file with one calendar left behind. The pairs are in
// the order of the file's events then, so that today's file can be laid against them.
struct SyncState {
  std::string collection;  // the calendar's URL
  std::string principal;   // the user's principal URL, where the server names one
  std::string token;       // the server's sync token, empty when it gave none
  std::vector<SyncPair> pairs;
  // The calendar's resources no event of the file is paired with (those Memro cannot
  // hold): with them the state knows every resource, so that a listing of the changes
  // since the token is enough. Only href, ETag and text are kept.
  std::vector<SyncPair> others;
  bool operator==(const SyncState&) const = default;
};

// A state file that is there but cannot be read: the sync must not take it for none.
class StateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// $MEMRO_HOME/state/sync, else $XDG_STATE_HOME/memro/sync, else ~/.local/state/memro/sync.
std::filesystem::path StateDirectory();

// The state file of eventFile (made absolute) with the calendar at collection.
std::filesystem::path StateFile(const std::filesystem::path& eventFile,
                                const std::string& collection);

std::string StateText(const SyncState& state);
SyncState ParseState(const std::string& text);  // throws StateError

// Nothing when there is no state file yet. Throws StateError.
std::optional<SyncState> LoadState(const std::filesystem::path& file);

// Replaces the state file in one step (a flushed copy renamed over it), mode 0600, in a
// directory only the user can enter. Taking eventLock makes sure the event file is held
// while its state changes. Throws FileError.
void SaveState(const WriterLock& eventLock, const std::filesystem::path& file,
               const SyncState& state);

}  // namespace memro::sync
