#include "data/holds_events.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "data/date_parse.h"
#include "data/event_file.h"
#include "data/file_state.h"
#include "data/text_util.h"

namespace memro {
namespace {

// An entry of the text format is an event when its birthday (fourth line) is a date, as
// the editor's conversion takes it; the entries before it may be dropped ones. The file
// is read again through its open descriptor: the same regular file, never a FIFO put in
// its place meanwhile.
bool TextHoldsEvents(int fd) {
  // A leap year: a birthday of Feb 29 written without a year is a date too.
  constexpr int kAnyYear = 2000;
  std::ifstream in("/proc/self/fd/" + std::to_string(fd), std::ios::binary);
  std::string line;
  for (;;) {
    for (int i = 0; i < 4; ++i) {
      if (!ReadTextLine(in, line)) return false;
    }
    const bool dated = ParseDate(line, kAnyYear).has_value();
    if (!SkipTextBlock(in) || !SkipTextBlock(in)) return false;
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
