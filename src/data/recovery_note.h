#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/file_state.h"
#include "data/record_file.h"

namespace memro {

// The fields of the shown record as the user left them, not yet stored (the date may
// be no valid date yet). Texts are UTF-8; the message's lines end in '\n'.
struct RecoveryFields {
  std::string date;
  std::string message;
  std::int16_t warnDays = 0;
  std::int16_t frequency = 0;
  std::int16_t enabled = 0;
  std::int16_t backdated = 0;
  std::int16_t cleanUp = 0;
  bool operator==(const RecoveryFields&) const = default;
};

// What an editor that could not ask its user kept of its unsaved changes, beside a copy
// of its record store (header and events, as an event file).
struct RecoveryNote {
  std::string eventFile;               // the file the changes belong to; empty for an untitled file
  std::int64_t keptAt = 0;             // seconds since the epoch
  std::int16_t records = 0;            // events in the copy
  std::int16_t current = 0;            // the shown record's position, 0 for none
  bool needsName = false;              // converted from an older format: Save asks a name
  std::optional<FileState> fileState;  // the event file as the editor had seen it
  // The digest of its bytes then (FileDigest); nothing in notes of older versions.
  std::optional<std::uint64_t> fileDigest;
  std::optional<RecoveryFields> fields;
  bool operator==(const RecoveryNote&) const = default;
};

// A recovery waiting in the program's directory: its note and its copy of the records.
struct Recovery {
  std::filesystem::path notePath;
  std::filesystem::path recordsPath;
  RecoveryNote note;
};

// Where recoveries wait: a folder of the program's own directory.
std::filesystem::path RecoveryDirectory(const std::filesystem::path& programDirectory);

// The note as text and back; nothing for a text that is no note.
std::string NoteText(const RecoveryNote& note);
std::optional<RecoveryNote> ParseNote(std::string_view text);

// Keeps records 1 to note.records + 1 of the store (a record never stored reads as a
// blank one) with the note. The note appears last and in one step, so a recovery is
// whole or not there. An older recovery of the same named file goes. Throws FileError.
Recovery KeepRecovery(const std::filesystem::path& programDirectory, RecordFile& store,
                      const RecoveryNote& note);

// Every whole recovery waiting, the most recent first.
std::vector<Recovery> WaitingRecoveries(const std::filesystem::path& programDirectory);

// Copies the kept events (records 2 on) into a record store, whose header stays.
// Throws FileError.
void RestoreRecords(const Recovery& recovery, RecordFile& store);

void DeleteRecovery(const Recovery& recovery);

// True when a recovery's event file is `file`: both untitled, or one file by name,
// link or inode.
bool SameEventFile(const std::string& recoveryFile, const std::string& file);

// "Dec 08, 2026 at 14:05" in local time.
std::string KeptAtText(std::int64_t seconds);

}  // namespace memro
