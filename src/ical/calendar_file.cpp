#include "ical/calendar_file.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "data/replace_file.h"
#include "data/writer_lock.h"

namespace memro::ical {

std::vector<EventRecord> StoreEvents(RecordFile& store, std::int64_t count) {
  std::vector<EventRecord> events;
  events.reserve(static_cast<std::size_t>(count));
  std::string bytes;
  for (std::int64_t n = 2; n <= count + 1; ++n) {
    // A store shorter than its count would give blanks as events: stop instead.
    if (store.Read(n, bytes) != kRecordSize) throw FileError(EIO, store.path().string());
    events.push_back(EventRecord::FromBytes(bytes));
  }
  return events;
}

std::int64_t ExportStamp() {
  if (const char* fixed = std::getenv("SOURCE_DATE_EPOCH")) {
    char* end = nullptr;
    const long long seconds = std::strtoll(fixed, &end, 10);
    if (*fixed != '\0' && *end == '\0' && seconds >= 0) return seconds;
  }
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string ReadCalendarFile(const std::filesystem::path& file) {
  RecordFile in(file, 1, RecordFile::Mode::kRead);
  const std::uint64_t length = in.ByteLength();
  std::string text = in.ReadAt(0, static_cast<std::size_t>(length));
  if (text.size() != length) throw FileError(EIO, file.string());
  return text;
}

void WriteCalendarFile(const std::filesystem::path& file, std::string_view text) {
  RunLocked(file, WriterLock::kDefaultWait, [&](const WriterLock& lock) {
    if (const int refusal = WriteRefusal(lock.target())) throw FileError(refusal, file.string());
    ReplacementFile copy(lock, 1);
    copy.file().WriteAt(0, text);
    copy.Commit();
  });
}

}  // namespace memro::ical
