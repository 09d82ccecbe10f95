// The stored-date reader behind DateText and the editor's date parser. A date either
// parser gives must survive being stored and read back.
#include "data/date_parse.h"
#include "engine/date_text.h"
#include "fuzz_support.h"

using namespace memro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzzing::Bytes(data, size);
  constexpr int kYear = 2026;

  const std::string shown = DateText(text, kYear);
  fuzzing::Require(shown.empty() || shown.size() == 12, "DateText gives Mmm dd, yyyy");
  if (const auto stored = StoredDate(text, kYear)) {
    fuzzing::Require(stored->ok(), "stored date is a real day");
    if (int(stored->year()) <= 9999) {
      fuzzing::Require(StoredDate(FormatStored(*stored), kYear) == stored,
                       "stored date round trip");
    }
  }
  if (const auto parsed = ParseDate(text, kYear)) {
    fuzzing::Require(parsed->ok(), "parsed date is a real day");
    if (int(parsed->year()) >= 1 && int(parsed->year()) <= 9999) {
      fuzzing::Require(StoredDate(FormatStored(*parsed), kYear) == parsed,
                       "parsed date can be stored");
    }
  }
  return 0;
}
