#include "cli/event_append.h"

#include <filesystem>

#include "data/event_file.h"
#include "data/record_file.h"
#include "data/replace_file.h"
#include "data/writer_lock.h"

namespace memro::cli {
namespace {

// The records the new file starts with: the existing ones, or a header alone.
bool ExistingRecords(ConsolePlatform& platform, const std::string& file, std::size_t adding,
                     std::string& bytes) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    bytes = HeaderRecord().ToBytes();
    return true;
  }
  if (!CheckEventFileExists(platform, file)) return false;
  const FileFormat format = DetectFormat(file);
  if (format != FileFormat::kCurrent) {
    platform.Error(RefusalMessage(file, format));
    return false;
  }
  RecordFile events(file, kRecordSize, RecordFile::Mode::kRead);
  const std::uint64_t length = events.ByteLength();
  if (length % kRecordSize != 0) {
    platform.Error(file +
                   " does not end with a whole event; open it in the editor and save it "
                   "before adding to it.");
    return false;
  }
  const auto total = static_cast<std::int64_t>(length / kRecordSize - 1 + adding);
  if (total > kMaxEvents) {
    platform.Error(TooManyEventsMessage(file, total));
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
    const WriterLock lock(file);
    const auto target = FollowLink(file);
    if (const int refusal = WriteRefusal(target)) throw FileError(refusal, target.string());
    std::string bytes;
    if (!ExistingRecords(platform, file, events.size(), bytes)) return false;
    bytes.reserve(bytes.size() + events.size() * kRecordSize);
    for (const EventRecord& event : events) bytes += event.ToBytes();
    ReplacementFile copy(lock, target, RewriteCopyName(target), kRecordSize);
    copy.file().WriteAt(0, bytes);
    copy.Commit();
  } catch (const FileBusyError& e) {
    platform.Error(e.message());
    return false;
  } catch (const FileError& e) {
    platform.Error(e.description() + " while " + doing + " " + file);
    return false;
  }
  return true;
}

}  // namespace memro::cli
