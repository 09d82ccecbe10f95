#include "data/holds_events.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "data/date_parse.h"
#include "data/event_file.h"
#include "data/file_state.h"
#include "data/text_util.h"

namespace memro {
namespace {

// The lines of an open file from its start, split at LF with a CR before it dropped,
// read a chunk at a time only as far as they are asked for.
class ChunkedLines {
 public:
  explicit ChunkedLines(int fd) : fd_(fd) {}

  // False at the end of the file, and on a read error.
  bool Next(std::string& line) {
    line.clear();
    for (;;) {
      const std::size_t end = chunk_.find('\n', start_);
      if (end != std::string::npos) {
        line.append(chunk_, start_, end - start_);
        start_ = end + 1;
        break;
      }
      line.append(chunk_, start_);
      if (!Fill()) {
        if (line.empty()) return false;
        break;  // a last line without LF
      }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

 private:
  bool Fill() {
    chunk_.resize(64 * 1024);
    start_ = 0;
    for (;;) {
      const ssize_t got = ::pread(fd_, chunk_.data(), chunk_.size(), static_cast<off_t>(offset_));
      if (got < 0 && errno == EINTR) continue;
      chunk_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
      offset_ += chunk_.size();
      return got > 0;
    }
  }

  int fd_;
  std::string chunk_;
  std::size_t start_ = 0;
  std::uint64_t offset_ = 0;
};

bool SkipBlock(ChunkedLines& lines) {
  std::string line;
  do {
    if (!lines.Next(line)) return false;
  } while (TrimBlanks(line) != "\xD8");
  return true;
}

// An entry of the text format is an event when its birthday (fourth line) is a date, as
// the editor's conversion takes it; the entries before it may be dropped ones.
bool TextHoldsEvents(int fd) {
  // A leap year: a birthday of Feb 29 written without a year is a date too.
  constexpr int kAnyYear = 2000;
  ChunkedLines lines(fd);
  std::string line;
  for (;;) {
    for (int i = 0; i < 4; ++i) {
      if (!lines.Next(line)) return false;
    }
    const bool dated = ParseDate(line, kAnyYear).has_value();
    if (!SkipBlock(lines) || !SkipBlock(lines)) return false;
    if (dated) return true;
  }
}

}  // namespace

bool FileHoldsEvents(const std::filesystem::path& file) {
  const Descriptor fd = OpenRegularForReading(file);
  struct stat st {};
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0) return false;
  const auto length = static_cast<std::uint64_t>(st.st_size);
  std::string header(kRecordSize, '\0');
  const ssize_t got = ::pread(fd.get(), header.data(), header.size(), 0);
  if (got < 0) return false;
  // Bytes missing from a short file read as ReadPaddedRecord reads them.
  for (std::size_t i = static_cast<std::size_t>(got); i < kRecordTextSize; ++i) header[i] = ' ';
  switch (SignatureFormat(header)) {
    case FileFormat::kCurrent:
      return LayoutOf(length, kRecordSize, true).records > 1;
    case FileFormat::kOld:
      return LayoutOf(length, kOldRecordSize, true).records > 1;
    default:
      return length <= kMaxEventFileBytes && TextHoldsEvents(fd.get());
  }
}

}  // namespace memro
