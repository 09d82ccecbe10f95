#include "ical/calendar_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "data/file_target.h"
#include "data/replace_file.h"
#include "data/writer_lock.h"

namespace memro::ical {
namespace {

std::string SizeRefusal(const std::filesystem::path& file, std::uint64_t bytes) {
  return file.string() + " holds " + std::to_string(bytes) + " bytes, more than the " +
         std::to_string(kMaxCalendarBytes >> 20) + " MiB (" + std::to_string(kMaxCalendarBytes) +
         " bytes) Memro reads from one calendar: export it in smaller parts";
}

}  // namespace

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
  // Not blocking: opening a pipe that nobody writes to would wait for ever.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw FileError(errno, file.string());
  const Descriptor closer(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw FileError(errno, file.string());
  if (S_ISDIR(st.st_mode)) throw FileError(EISDIR, file.string());
  if (!S_ISREG(st.st_mode)) {
    throw CalendarRefused(file.string() +
                          " is not a regular file but a pipe or a device: save the calendar "
                          "as a file and import that");
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (size > kMaxCalendarBytes) throw CalendarRefused(SizeRefusal(file, size));
  std::string text;
  text.reserve(static_cast<std::size_t>(size));
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError(errno, file.string());
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
    // A file that grows while it is read is held to the same bound.
    if (text.size() > kMaxCalendarBytes) throw CalendarRefused(SizeRefusal(file, text.size()));
  }
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
