#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include "data/event_record.h"

namespace memro {

// Reading the older product's text file failed; what() is the wording for the user.
class TextReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The lines of a text file, split at LF with a CR before it dropped. Throws
// TextReadError when the file cannot be opened or read, or is read past its end.
class LineReader {
 public:
  explicit LineReader(const std::filesystem::path& file);
  bool AtEnd();
  std::string Next();

 private:
  std::ifstream in_;
};

// Reads one entry of the text format (name, name, phone, birthday, address block,
// further block) and builds its event: the birthday as Date, the other lines as the
// message, every number field from defaults. Every line of the entry is consumed; nullopt when the
// birthday is no date, so that entry is dropped.
std::optional<EventRecord> ReadTextEntry(LineReader& lines, const RecordDefaults& defaults,
                                         int currentYear);

}  // namespace memro
