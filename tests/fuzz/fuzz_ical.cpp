// The iCalendar import on arbitrary bytes: it refuses with a reason or gives events,
// never both; every note names what it is about; and what it gives survives an export
// and a second import byte for byte.
#include "fuzz_support.h"
#include "ical/calendar_export.h"
#include "ical/calendar_import.h"

using namespace memro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const RecordDefaults defaults{kOnce, 1, 0, 3, 0};
  const auto result = ical::ImportCalendar(fuzzing::Bytes(data, size), defaults);
  if (result.error) {
    fuzzing::Require(result.events.empty() && result.notes.empty(), "a refusal gives nothing");
    fuzzing::Require(!result.error->empty(), "a refusal says why");
    return 0;
  }
  int skipped = 0;
  for (const auto& note : result.notes) {
    fuzzing::Require(!note.text.empty(), "a note says what happened");
    skipped += note.kind == ical::ImportNote::Kind::kSkipped;
  }
  fuzzing::Require(skipped == result.skipped, "one note per skipped event");
  for (const EventRecord& e : result.events) {
    fuzzing::Require(e.ToBytes().size() == kRecordSize, "events fit their record");
  }
  if (result.events.empty()) return 0;  // an export of nothing holds no events to read back
  const auto again = ical::ImportCalendar(ical::ExportCalendar(result.events, {0, 2026}), defaults);
  fuzzing::Require(!again.error && again.skipped == 0, "an export is read back whole");
  fuzzing::Require(again.events == result.events, "an export gives the events back");
  return 0;
}
