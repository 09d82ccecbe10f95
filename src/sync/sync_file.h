#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/event_record.h"
#include "data/writer_lock.h"

namespace memro::sync {

struct FileEvents {
  bool exists = false;
  std::string header;  // the file's own header record, kept as it is
  std::vector<EventRecord> events;
};

// The events of the locked file. Throws FileError; a file of another format or one that
// does not end with a whole event is refused with a sentence in `refusal`.
FileEvents ReadEvents(const WriterLock& lock, std::string& refusal);

// Replaces the locked file by its header and events in one step.
void WriteEvents(const WriterLock& lock, const FileEvents& before,
                 const std::vector<EventRecord>& events);

// Keeps the file's bytes beside the state file before a sync deletes events from it:
// the last kKeptCopies of them, the newest as <state>.kept-1.mmo.
constexpr int kKeptCopies = 3;
void KeepCopy(const FileEvents& before, const std::filesystem::path& stateFile);

}  // namespace memro::sync
