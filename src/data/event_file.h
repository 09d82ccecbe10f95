#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>

#include "data/event_record.h"
#include "data/record_file.h"
#include "data/record_stream.h"
#include "platform/platform.h"

namespace memro {

// Result of format detection; the values are the loader's result codes.
enum class FileFormat : std::int16_t { kNotRecognised = 0, kOld = 1, kText = 2, kCurrent = 3 };

// Step one of every load: the file must exist and be a regular file. Otherwise the
// user is told (critical icon, application title) and false comes back.
bool CheckEventFileExists(Platform& platform, const std::string& fileName);

// Tells the format of an existing file: by the header signature first, then by a
// probe of the file as lines of the older product's text format.
FileFormat DetectFormat(const std::filesystem::path& file);

// The format a file's first record names by its signature: kCurrent, kOld, or
// kNotRecognised. header holds kRecordSize bytes (padded as ReadPaddedRecord pads).
FileFormat SignatureFormat(std::string_view header);

// The older product's text format line by line: a line without its CR LF or LF, false at
// the end of the file; an entry's block up to and including its end mark (0xD8).
bool ReadTextLine(std::istream& in, std::string& line);
bool SkipTextBlock(std::istream& in);

// The text probe alone: true when the file reads as whole entries of the text format.
bool ProbeTextFormat(const std::filesystem::path& file);

// Message of the main window's refusal of a file that is not of the current format.
std::string RefusalMessage(const std::string& fileName, FileFormat format);

// How an event file of `length` bytes divides into records of `recordSize`.
struct RecordLayout {
  std::int64_t records = 0;         // records the loader works with, header included
  std::uint64_t fragmentStart = 0;  // bytes from here on are left out of the count
  std::uint64_t length = 0;
  bool hasFragment() const { return fragmentStart < length; }
};
// hasSignature: a file shorter than half a record that carries the signature counts
// as a header alone.
RecordLayout LayoutOf(std::uint64_t length, std::size_t recordSize, bool hasSignature);

// Reads record n of an event file. Bytes missing at the end of the file read as
// blanks in the text fields and as zeros in the number fields.
std::string ReadPaddedRecord(RecordFile& file, std::int64_t n);
std::string ReadPaddedRecord(RecordReader& reader, std::int64_t n, std::size_t recordSize);

// No event file is longer than a current-format file of the most events (a fragment of
// less than half a record included): a longer file without the signature is neither
// probed nor converted as text, so a huge file is refused without being read.
constexpr std::uint64_t kMaxEventFileBytes =
    static_cast<std::uint64_t>(kMaxEvents + 1) * kRecordSize + kRecordSize / 2;
std::string TooLargeMessage(const std::string& fileName, std::uint64_t bytes);

// Message for a file whose events cannot be numbered with 16-bit record numbers.
std::string TooManyEventsMessage(const std::string& fileName, std::int64_t events);

}  // namespace memro
