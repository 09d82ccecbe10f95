#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "data/record_file.h"
#include "data/writer_lock.h"
#include "engine/due_entries.h"
#include "platform/platform.h"

namespace memro {

struct ScanSettings {
  std::string rangeDays;       // range-scanning day count as text; empty = off
  bool confirmCleanUp = true;  // ask before deleting a cleaned-up event
  bool rewrite = true;         // false: leave the event file exactly as it is
  // false: the due list file stays empty, for a caller that takes the entries from
  // LoadEventFile in memory and never shows one from the file
  bool writeDueList = true;
  // How long a rewrite waits for another program that holds the file's writer lock.
  std::chrono::milliseconds lockWait = WriterLock::kDefaultWait;
  // When that program still holds it: true lists the events and deletes nothing this
  // time, as for a read-only file; false refuses the whole scan.
  bool listWhenBusy = false;
};

// What the scan writes into the main window while it runs. Every call is optional.
class ScanView {
 public:
  virtual ~ScanView() = default;
  virtual void SetCaption(const std::string& /*caption*/) {}
  virtual void SetDateLabel(const std::string& /*label*/) {}
  virtual void ClearDueDisplay() {}
  virtual void AddLine(const std::string& /*line*/) {}
  virtual void Alert() {}                             // sound the alert the user chose
  virtual void SelectLine(std::int64_t /*index*/) {}  // 0-based
  virtual void EnableDueCommands() {}
};

struct ScanResult {
  std::int16_t result = 0;        // 1 scanned, 0 failed or refused (the user was told)
  std::int64_t loadedCount = 0;   // entries in the due list
  std::int64_t cleanedCount = 0;  // events deleted after the user said yes
  std::int64_t firstLine = 0;     // 0-based line selected first
  std::filesystem::file_time_type fileStamp{};
};

// Loads an event file in the main window: detection, then the scan pass that fills
// the due list (from record 1), deletes cleaned-up one-off events through a rewrite
// of the file, and sorts the list by date. The user is asked about each deletion before
// any lock is taken; only then does the rewrite take the file's writer lock, read the
// file again and replace it, and only if it is still as it was read (else the pass runs
// again, asking again). A file without deletions is not rewritten. A file the user may
// not write is scanned and listed but not rewritten: its events due for clean-up stay,
// and the user is told once. When entries is given it receives the sorted list as well,
// for a caller that would otherwise read the due list back.
ScanResult LoadEventFile(Platform& platform, const std::string& fileName, RecordFile& dueList,
                         const ScanSettings& settings, ScanView& view,
                         DueEntries* entries = nullptr);

}  // namespace memro
