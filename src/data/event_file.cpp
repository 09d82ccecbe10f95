#include "data/event_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <fstream>

#include "data/event_record.h"
#include "data/fixed_texts.h"
#include "data/text_util.h"

namespace memro {

bool CheckEventFileExists(Platform& platform, const std::string& fileName) {
  struct stat st {};
  std::string problem;
  if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0) {
    problem = "File not found: " + fileName;
  } else if (S_ISDIR(st.st_mode)) {
    problem = fileName + " is a directory, not an event file.";
  } else if (!S_ISREG(st.st_mode)) {
    problem = fileName + " is not a regular file.";
  } else {
    return true;
  }
  platform.MessageBox(problem, Icon::kCritical, Buttons::kOk, "");
  return false;
}

namespace {

void PadMissingBytes(std::string& bytes, std::size_t got, std::size_t recordSize) {
  const std::size_t textSize =
      recordSize == kRecordSize || recordSize == kOldRecordSize ? kRecordTextSize : 0;
  for (std::size_t i = got; i < bytes.size(); ++i) bytes[i] = i < textSize ? ' ' : '\0';
}

}  // namespace

std::string ReadPaddedRecord(RecordFile& file, std::int64_t n) {
  std::string bytes;
  PadMissingBytes(bytes, file.Read(n, bytes), file.record_size());
  return bytes;
}

std::string ReadPaddedRecord(RecordReader& reader, std::int64_t n, std::size_t recordSize) {
  std::string bytes;
  PadMissingBytes(bytes, reader.Read(n, bytes), recordSize);
  return bytes;
}

// Lines split at LF with a trailing CR dropped; false at the end of the file, which the
// probe treats as a read error in the middle of an entry.
bool ReadTextLine(std::istream& in, std::string& line) {
  if (in.peek() == std::char_traits<char>::eof()) return false;
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool SkipTextBlock(std::istream& in) {
  std::string line;
  do {
    if (!ReadTextLine(in, line)) return false;
  } while (TrimBlanks(line) != "\xD8");
  return true;
}

bool ProbeTextFormat(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (in.peek() != std::char_traits<char>::eof()) {
    for (int i = 0; i < 4; ++i) {
      if (!ReadTextLine(in, line)) return false;
    }
    if (!SkipTextBlock(in) || !SkipTextBlock(in)) return false;
  }
  return !in.bad();
}

FileFormat SignatureFormat(std::string_view header) {
  const std::string m = TrimBlanks(EventRecord::FromBytes(header).message);
  if (m == Texts().oldFileSignature) return FileFormat::kOld;
  if (m == Texts().fileSignature) return FileFormat::kCurrent;
  return FileFormat::kNotRecognised;
}

FileFormat DetectFormat(const std::filesystem::path& file) {
  try {
    RecordFile f(file, kRecordSize, RecordFile::Mode::kRead);
    const FileFormat format = SignatureFormat(ReadPaddedRecord(f, 1));
    if (format != FileFormat::kNotRecognised) return format;
  } catch (const FileError&) {
    // Not readable as records: try it as text.
  }
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (!ec && size > kMaxEventFileBytes) return FileFormat::kNotRecognised;
  return ProbeTextFormat(file) ? FileFormat::kText : FileFormat::kNotRecognised;
}

std::string RefusalMessage(const std::string& fileName, FileFormat format) {
  const auto& t = Texts();
  const std::string convert =
      "\r\nPlease use the Editor to convert it into " + t.productTitle + " format.";
  switch (format) {
    case FileFormat::kText:
      return fileName + " is of " + t.legacyTitle + "x format." + convert;
    case FileFormat::kOld:
      return fileName + " is of " + t.productTitle.substr(0, 6) + "2.01 or 3.0 format." + convert;
    default:
      // Said plainly: the file is not one this program can read.
      return fileName + " is not of " + t.productTitle + " format.";
  }
}

RecordLayout LayoutOf(std::uint64_t length, std::size_t recordSize, bool hasSignature) {
  RecordLayout layout;
  layout.length = length;
  layout.records = RoundedRecordCount(length, recordSize);
  if (layout.records < 1 && hasSignature) layout.records = 1;
  const std::uint64_t covered = static_cast<std::uint64_t>(layout.records) * recordSize;
  layout.fragmentStart = covered < length ? covered : length;
  return layout;
}

std::string TooLargeMessage(const std::string& fileName, std::uint64_t bytes) {
  return fileName + " is not an event file: it holds " + std::to_string(bytes) +
         " bytes, and no event file holds more than " + std::to_string(kMaxEventFileBytes) + ".";
}

std::string TooManyEventsMessage(const std::string& fileName, std::int64_t events) {
  return fileName + " holds " + std::to_string(events) + " events; " + Texts().productTitle +
         " can work with at most " + std::to_string(kMaxEvents) +
         " events in one file.\r\nPlease split it into smaller files.";
}

}  // namespace memro
