#include "data/recovery_note.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <map>

#include "data/calendar.h"
#include "data/event_record.h"
#include "data/replace_file.h"
#include "data/same_file.h"
#include "data/writer_lock.h"

namespace memro {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFirstLine = "memro-recovery 1";
constexpr std::string_view kNoteExtension = ".note";
constexpr std::string_view kRecordsExtension = ".mmo";

// One value a line: backslash, CR and LF are written as escapes.
std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

template <typename Int>
bool ReadNumber(std::string_view text, Int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

using Values = std::map<std::string, std::string, std::less<>>;

Values ReadValues(std::string_view text) {
  Values values;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      values[std::string(line.substr(0, equals))] = Unescaped(line.substr(equals + 1));
    }
  }
  return values;
}

// Reads the key's number into value; a missing key keeps the value.
template <typename Int>
bool Number(const Values& values, std::string_view key, Int& value) {
  const auto found = values.find(key);
  return found == values.end() || ReadNumber(found->second, value);
}

std::optional<FileState> ReadState(const std::string& text) {
  FileState s;
  std::size_t start = 0;
  std::vector<std::string_view> parts;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    parts.emplace_back(text.data() + start, end - start);
    start = end + 1;
  }
  if (parts.size() != 5 || !ReadNumber(parts[0], s.device) || !ReadNumber(parts[1], s.inode) ||
      !ReadNumber(parts[2], s.size) || !ReadNumber(parts[3], s.modifiedSeconds) ||
      !ReadNumber(parts[4], s.modifiedNanoseconds)) {
    return std::nullopt;
  }
  return s;
}

std::optional<RecoveryFields> ReadFields(const Values& values) {
  if (!values.contains("date")) return std::nullopt;
  RecoveryFields f;
  f.date = values.at("date");
  if (values.contains("message")) f.message = values.at("message");
  const bool numbers =
      Number(values, "warn", f.warnDays) && Number(values, "frequency", f.frequency) &&
      Number(values, "enabled", f.enabled) && Number(values, "backdated", f.backdated) &&
      Number(values, "clean-up", f.cleanUp);
  if (!numbers) return std::nullopt;
  return f;
}

fs::path WithExtension(const fs::path& file, std::string_view extension) {
  fs::path out = file;
  out.replace_extension(extension);
  return out;
}

// A name no other recovery has: the time it was kept and the process that kept it.
fs::path FreeStem(const fs::path& dir, std::int64_t keptAt) {
  const std::string base = std::to_string(keptAt) + "-" + std::to_string(::getpid());
  for (int n = 0;; ++n) {
    const fs::path stem = dir / (n == 0 ? base : base + "-" + std::to_string(n));
    std::error_code ec;
    if (!fs::exists(WithExtension(stem, kNoteExtension), ec) &&
        !fs::exists(WithExtension(stem, kRecordsExtension), ec)) {
      return stem;
    }
  }
}

void MakePrivateDirectory(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw FileError(ec.value(), dir.string());
  ::chmod(dir.c_str(), 0700);  // the user's events are nobody else's business
}

void WriteRecords(RecordFile& store, std::int16_t records, const fs::path& target) {
  RunLocked(target, WriterLock::kDefaultWait, [&](const WriterLock& lock) {
    ReplacementFile copy(lock, kRecordSize);
    const std::string blank = HeaderRecord().ToBytes();  // shown as an empty record
    std::string bytes;
    for (std::int64_t n = 1; n <= records + 1; ++n) {
      if (store.Read(n, bytes) != kRecordSize) bytes = blank;
      copy.file().Write(n, bytes);
    }
    copy.Commit(0600);
  });
}

void WriteNote(const RecoveryNote& note, const fs::path& target) {
  RunLocked(target, WriterLock::kDefaultWait, [&](const WriterLock& lock) {
    ReplacementFile copy(lock, 1);
    copy.file().WriteAt(0, NoteText(note));
    copy.Commit(0600);
  });
}

}  // namespace

fs::path RecoveryDirectory(const fs::path& programDirectory) {
  return programDirectory / "recovery";
}

std::string NoteText(const RecoveryNote& note) {
  std::string text(kFirstLine);
  auto line = [&text](std::string_view key, const std::string& value) {
    text.append("\n").append(key).append("=").append(Escaped(value));
  };
  line("file", note.eventFile);
  line("kept", std::to_string(note.keptAt));
  line("records", std::to_string(note.records));
  line("current", std::to_string(note.current));
  line("needs-name", note.needsName ? "1" : "0");
  if (const auto& s = note.fileState) {
    line("state", std::to_string(s->device) + " " + std::to_string(s->inode) + " " +
                      std::to_string(s->size) + " " + std::to_string(s->modifiedSeconds) + " " +
                      std::to_string(s->modifiedNanoseconds));
  }
  if (const auto& d = note.fileDigest) line("digest", std::to_string(*d));
  if (const auto& f = note.fields) {
    line("date", f->date);
    line("message", f->message);
    line("warn", std::to_string(f->warnDays));
    line("frequency", std::to_string(f->frequency));
    line("enabled", std::to_string(f->enabled));
    line("backdated", std::to_string(f->backdated));
    line("clean-up", std::to_string(f->cleanUp));
  }
  return text + "\n";
}

std::optional<RecoveryNote> ParseNote(std::string_view text) {
  if (!text.starts_with(kFirstLine) || text.substr(kFirstLine.size(), 1) != "\n") {
    return std::nullopt;
  }
  const Values values = ReadValues(text.substr(kFirstLine.size()));
  RecoveryNote note;
  if (values.contains("file")) note.eventFile = values.at("file");
  int needsName = 0;
  if (!Number(values, "kept", note.keptAt) || !Number(values, "records", note.records) ||
      !Number(values, "current", note.current) || !Number(values, "needs-name", needsName) ||
      note.records < 0 || note.current < 0 || note.current > note.records + 1) {
    return std::nullopt;
  }
  note.needsName = needsName != 0;
  if (values.contains("state")) {
    note.fileState = ReadState(values.at("state"));
    if (!note.fileState) return std::nullopt;
  }
  // A digest that cannot be read only costs a question at Save.
  if (std::uint64_t digest = 0; values.contains("digest") && Number(values, "digest", digest)) {
    note.fileDigest = digest;
  }
  note.fields = ReadFields(values);
  if (values.contains("date") && !note.fields) return std::nullopt;
  return note;
}

Recovery KeepRecovery(const fs::path& programDirectory, RecordFile& store,
                      const RecoveryNote& note) {
  const fs::path dir = RecoveryDirectory(programDirectory);
  MakePrivateDirectory(dir);
  const std::vector<Recovery> older = WaitingRecoveries(programDirectory);
  const fs::path stem = FreeStem(dir, note.keptAt);
  Recovery kept{WithExtension(stem, kNoteExtension), WithExtension(stem, kRecordsExtension), note};
  WriteRecords(store, note.records, kept.recordsPath);
  try {
    WriteNote(note, kept.notePath);
  } catch (const FileError&) {
    std::error_code ec;
    fs::remove(kept.recordsPath, ec);
    throw;
  }
  for (const Recovery& old : older) {
    if (!note.eventFile.empty() && SameEventFile(old.note.eventFile, note.eventFile)) {
      DeleteRecovery(old);
    }
  }
  return kept;
}

std::vector<Recovery> WaitingRecoveries(const fs::path& programDirectory) {
  std::vector<Recovery> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(RecoveryDirectory(programDirectory), ec)) {
    const fs::path& path = entry.path();
    if (path.extension() != kNoteExtension || !entry.is_regular_file(ec)) continue;
    const fs::path records = WithExtension(path, kRecordsExtension);
    if (!fs::is_regular_file(records, ec)) continue;
    std::string text;
    try {
      RecordFile file(path, 1, RecordFile::Mode::kRead);
      text = file.ReadAt(
          0, static_cast<std::size_t>(std::min<std::uint64_t>(file.ByteLength(), 64 * 1024)));
    } catch (const FileError&) {
      continue;
    }
    if (auto note = ParseNote(text)) found.push_back({path, records, std::move(*note)});
  }
  std::sort(found.begin(), found.end(), [](const Recovery& a, const Recovery& b) {
    return a.note.keptAt != b.note.keptAt ? a.note.keptAt > b.note.keptAt : a.notePath > b.notePath;
  });
  return found;
}

void RestoreRecords(const Recovery& recovery, RecordFile& store) {
  RecordFile kept(recovery.recordsPath, kRecordSize, RecordFile::Mode::kRead);
  const std::string blank = HeaderRecord().ToBytes();
  std::string bytes;
  for (std::int64_t n = 2; n <= recovery.note.records + 1; ++n) {
    if (kept.Read(n, bytes) != kRecordSize) bytes = blank;
    store.Write(n, bytes);
  }
}

void DeleteRecovery(const Recovery& recovery) {
  std::error_code ec;
  fs::remove(recovery.notePath, ec);  // first: without its note a recovery is not offered
  fs::remove(recovery.recordsPath, ec);
}

bool SameEventFile(const std::string& recoveryFile, const std::string& file) {
  if (recoveryFile.empty() || file.empty()) return recoveryFile.empty() && file.empty();
  return recoveryFile == file || SameFile(recoveryFile, file);
}

std::string KeptAtText(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (::localtime_r(&time, &local) == nullptr) return std::to_string(seconds);
  // Appended, not "0" + std::to_string(n): GCC 12 at -O3 reports that falsely (-Wrestrict).
  auto two = [](int n) {
    std::string text = n < 10 ? "0" : "";
    return text.append(std::to_string(n));
  };
  const Date day{std::chrono::year{local.tm_year + 1900},
                 std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                 std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
  return FormatLong(day) + " at " + two(local.tm_hour) + ":" + two(local.tm_min);
}

}  // namespace memro
