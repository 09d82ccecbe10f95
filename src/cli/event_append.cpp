#include "cli/event_append.h"

#include <unistd.h>

#include <filesystem>

#include "data/event_file.h"
#include "data/record_file.h"
#include "data/replace_file.h"
#include "data/writer_lock.h"

namespace memro::cli {
namespace {

// The records the new file starts with: the existing ones, or a header alone.
// No file is made with more events than the format can count.
bool Fits(ConsolePlatform& platform, const std::string& file, std::int64_t total) {
  if (total <= kMaxEvents) return true;
  platform.Error(file + " would hold " + std::to_string(total) + " events, more than the " +
                 std::to_string(kMaxEvents) +
                 " one event file can hold; nothing was added. Split the input into "
                 "smaller parts and add them to separate files.");
  return false;
}

bool ExistingRecords(ConsolePlatform& platform, const FileTarget& target, std::size_t adding,
                     std::string& bytes) {
  const std::string file = target.name().string();
  if (!target.exists()) {
    if (!Fits(platform, file, static_cast<std::int64_t>(adding))) return false;
    bytes = HeaderRecord().ToBytes();
    return true;
  }
  // The file the lock was won on is the one its name reaches while the lock is held.
  const FileFormat format = DetectFormat(target.realPath());
  if (format != FileFormat::kCurrent) {
    platform.Error(RefusalMessage(file, format));
    return false;
  }
  RecordFile events(::dup(target.fd()), target.realPath(), kRecordSize);
  const std::uint64_t length = events.ByteLength();
  if (length % kRecordSize != 0) {
    platform.Error(file +
                   " does not end with a whole event; open it in the editor and save it "
                   "before adding to it.");
    return false;
  }
  if (!Fits(platform, file, static_cast<std::int64_t>(length / kRecordSize - 1 + adding))) {
    return false;
  }
  bytes = events.ReadAt(0, length);
  return bytes.size() == length;
}

}  // namespace

bool AppendEvents(ConsolePlatform& platform, const std::string& file,
                  const std::vector<EventRecord>& events, const std::string& doing) {
  try {
    // Held from before the file is read until its replacement is in place: a writer
    // that meets another adds to what that one left.
    return RunLocked(file, WriterLock::kDefaultWait, [&](const WriterLock& lock) {
      if (const int refusal = WriteRefusal(lock.target())) throw FileError(refusal, file);
      std::string bytes;
      if (!ExistingRecords(platform, lock.target(), events.size(), bytes)) return false;
      bytes.reserve(bytes.size() + events.size() * kRecordSize);
      for (const EventRecord& event : events) bytes += event.ToBytes();
      ReplacementFile copy(lock, kRecordSize);
      copy.file().WriteAt(0, bytes);
      copy.Commit();
      return true;
    });
  } catch (const FileBusyError& e) {
    platform.Error(e.message());
    return false;
  } catch (const FileError& e) {
    platform.Error(e.description() + " while " + doing + " " + file);
    return false;
  }
}

}  // namespace memro::cli
