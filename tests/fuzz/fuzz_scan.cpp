// The scan pass over a current-format file whose records are arbitrary bytes. The first
// four bytes set today, the range and whether clean-ups are confirmed (and refused).
// Nothing may be lost: with every clean-up refused, the rewritten file starts with
// exactly the old bytes (a partial last record only gains its padding).
#include "data/calendar.h"
#include "data/event_record.h"
#include "data/work_file.h"
#include "engine/scan.h"
#include "fuzz_support.h"
#include "support/fake_platform.h"

using namespace memro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  static testing::FakePlatform platform(fuzzing::ScratchDir());
  platform.today = FromDayNumber(
      DayNumber(Date{std::chrono::year{2026}, std::chrono::January, std::chrono::day{1}}) +
      (data[0] | data[1] << 8) % 1500 - 400);
  ScanSettings settings;
  if (data[2] & 0x80) settings.rangeDays = std::to_string(data[2] & 0x7F);
  settings.confirmCleanUp = (data[3] & 1) != 0;
  platform.messages.clear();
  platform.answers.clear();

  const std::string before =
      HeaderRecord().ToBytes() + std::string(fuzzing::Bytes(data + 4, size - 4));
  const auto file = fuzzing::WriteScratchFile("scan.mmo", before);
  auto dueList = CreateWorkFile(platform, true);
  fuzzing::Require(dueList != nullptr, "due list created");
  ScanView view;
  const ScanResult result = LoadEventFile(platform, file.string(), dueList->file(), settings, view);
  fuzzing::Require(result.result == 1, "a current-format file is scanned");
  const std::int64_t records = (std::int64_t(before.size()) + kRecordSize / 2) / kRecordSize;
  fuzzing::Require(result.loadedCount >= 0 && result.loadedCount < records, "entries counted");
  fuzzing::Require(result.firstLine >= 0 && result.firstLine <= result.loadedCount,
                   "first line inside the list");

  const std::string after = fuzzing::ReadWholeFile(file);
  if (settings.confirmCleanUp) {
    fuzzing::Require(
        after.compare(0, before.size(), before) == 0 && after.size() < before.size() + kRecordSize,
        "nothing lost when no clean-up is confirmed");
  } else {
    fuzzing::Require(after.compare(0, kRecordSize, before, 0, kRecordSize) == 0, "header kept");
  }
  return 0;
}
