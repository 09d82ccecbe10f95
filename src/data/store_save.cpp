#include "data/store_save.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "data/event_record.h"
#include "data/replace_file.h"

namespace memro {

SaveTarget SaveStore(RecordFile& store, std::int64_t count, const std::filesystem::path& target) {
  return RunLocked(target, WriterLock::kDefaultWait, [&](const WriterLock& lock) {
    return SaveStore(lock, store, count, target);
  });
}

SaveTarget SaveStore(const WriterLock& lock, RecordFile& store, std::int64_t count,
                     const std::filesystem::path& target) {
  if (const int refusal = WriteRefusal(lock.target())) throw FileError(refusal, target.string());
  const bool existed = lock.target().exists();
  ReplacementFile copy(lock, kRecordSize);
  std::string bytes;
  for (std::int64_t n = 1; n <= count + 1; ++n) {
    // A store shorter than its count would save blanks as events: stop instead.
    if (store.Read(n, bytes) != kRecordSize) throw FileError(EIO, store.path().string());
    copy.file().Write(n, bytes);
  }
  copy.Commit();
  return existed ? SaveTarget::kReplaced : SaveTarget::kCreated;
}

}  // namespace memro
