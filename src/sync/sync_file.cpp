#include "sync/sync_file.h"

#include <unistd.h>

#include "data/event_file.h"
#include "data/record_file.h"
#include "data/replace_file.h"
#include "settings/safe_write.h"

namespace memro::sync {

namespace fs = std::filesystem;

FileEvents ReadEvents(const WriterLock& lock, std::string& refusal) {
  const FileTarget& target = lock.target();
  FileEvents out;
  out.header = HeaderRecord().ToBytes();
  if (!target.exists()) return out;
  out.exists = true;
  const std::string file = target.name().string();
  const FileFormat format = DetectFormat(target.realPath());
  RecordFile records(::dup(target.fd()), target.realPath(), kRecordSize);
  const std::uint64_t length = records.ByteLength();
  if (length == 0) return out;
  if (format != FileFormat::kCurrent) {
    refusal = RefusalMessage(file, format);
  } else if (length % kRecordSize != 0) {
    refusal = file + " does not end with a whole event; open it in the editor and save it first.";
  }
  if (!refusal.empty()) return out;
  const std::string bytes = records.ReadAt(0, length);
  out.header = bytes.substr(0, kRecordSize);
  for (std::size_t at = kRecordSize; at + kRecordSize <= bytes.size(); at += kRecordSize) {
    out.events.push_back(EventRecord::FromBytes(std::string_view(bytes).substr(at, kRecordSize)));
  }
  return out;
}

void WriteEvents(const WriterLock& lock, const FileEvents& before,
                 const std::vector<EventRecord>& events) {
  std::string bytes = before.header;
  for (const EventRecord& e : events) bytes += e.ToBytes();
  ReplacementFile copy(lock, kRecordSize);
  copy.file().WriteAt(0, bytes);
  copy.Commit();
}

void KeepCopy(const FileEvents& before, const fs::path& stateFile) {
  const auto kept = [&](int n) {
    return fs::path(stateFile.string() + ".kept-" + std::to_string(n) + ".mmo");
  };
  std::error_code ec;
  for (int n = kKeptCopies - 1; n >= 1; --n) fs::rename(kept(n), kept(n + 1), ec);
  std::string bytes = before.header;
  for (const EventRecord& e : before.events) bytes += e.ToBytes();
  if (!WriteFileSafely(kept(1), bytes, 0600)) throw FileError(EIO, kept(1).string());
}

}  // namespace memro::sync
