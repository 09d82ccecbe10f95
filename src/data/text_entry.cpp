#include "data/text_entry.h"

#include <cerrno>

#include "data/date_parse.h"
#include "data/record_file.h"
#include "data/text_util.h"

namespace memro {
namespace {

constexpr char kFinalNameMark = '\xF8';  // a stray mark some files carry after the name
constexpr char kBlockEnd = '\xD8';
constexpr const char* kNewLine = "\r\n";

bool IsBlockEnd(const std::string& line) { return TrimBlanks(line) == std::string(1, kBlockEnd); }

// Appends the lines up to the block's closing line, leaving out blank ones.
void AppendBlock(LineReader& lines, std::string& text) {
  for (std::string line = lines.Next(); !IsBlockEnd(line); line = lines.Next()) {
    if (!TrimBlanks(line).empty()) text += line + kNewLine;
  }
}

}  // namespace

LineReader::LineReader(const std::filesystem::path& file) {
  errno = 0;
  in_.open(file, std::ios::binary);
  if (!in_) throw TextReadError(ErrorText(errno != 0 ? errno : EIO));
}

bool LineReader::AtEnd() {
  const bool end = in_.peek() == std::char_traits<char>::eof();
  if (in_.bad()) throw TextReadError(ErrorText(EIO));
  return end;
}

std::string LineReader::Next() {
  if (AtEnd()) throw TextReadError("Input past end of file");
  std::string line;
  std::getline(in_, line);
  if (in_.bad()) throw TextReadError(ErrorText(EIO));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<EventRecord> ReadTextEntry(LineReader& lines, const RecordDefaults& defaults,
                                         int currentYear) {
  std::string name = lines.Next();
  if (!name.empty() && name.back() == kFinalNameMark) name.pop_back();
  std::string text =
      TrimBlanks(name) + ", " + TrimBlanks(lines.Next()) + "'s birthday." + kNewLine + kNewLine;
  text += "Phone #: " + lines.Next() + kNewLine + kNewLine + "Address:" + kNewLine;
  const auto birthday = ParseDate(lines.Next(), currentYear);
  AppendBlock(lines, text);
  text += std::string(kNewLine) + kNewLine + "Misc:" + kNewLine;
  AppendBlock(lines, text);
  if (!birthday) return std::nullopt;

  EventRecord record;
  record.SetDate(FormatStored(*birthday));
  record.SetMessage(TrimBlanks(std::string_view(text).substr(0, kMessageSize)));
  record.frequency = defaults.frequency;
  record.enabled = defaults.enabled;
  record.backdated = defaults.backdated;
  record.warnDays = defaults.warnDays;
  record.cleanUp = defaults.cleanUp;
  return record;
}

}  // namespace memro
