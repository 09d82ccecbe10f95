// Format detection and the editor's Open on arbitrary bytes. The first byte picks what
// goes before the rest: nothing, the current header or the 2.01/3.0 header, so that
// every one of the three loaders is reached.
#include "data/editor_load.h"
#include "data/event_file.h"
#include "data/event_record.h"
#include "fuzz_support.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

using namespace memro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static testing::FakePlatform platform(fuzzing::ScratchDir());
  std::string bytes(fuzzing::Bytes(data + 1, size - 1));
  switch (data[0] % 3) {
    case 1:
      bytes = HeaderRecord().ToBytes() + bytes;
      break;
    case 2:
      bytes = testing::OldHeaderBytes() + bytes;
      break;
    default:
      break;
  }
  const auto file = fuzzing::WriteScratchFile("input.mmo", bytes);
  const FileFormat detected = DetectFormat(file);

  auto store = CreateWorkFile(platform, false);
  fuzzing::Require(store != nullptr, "record store created");
  EditorLoadTarget target{*store, RecordDefaults{}, 2026, {}};
  std::int64_t count = -1;
  const std::int16_t result = LoadEventFileForEditor(platform, file.string(), target, count);
  platform.messages.clear();
  if (result == 0) return 0;
  fuzzing::Require(count >= 0 && count <= kMaxEvents, "event count within the limit");
  fuzzing::Require(result == (detected == FileFormat::kNotRecognised ? 2 : int(detected)),
                   "loader result matches detection");
  const auto storeBytes = store->file().ByteLength();
  fuzzing::Require(storeBytes >= std::uint64_t(count + 1) * kRecordSize, "every event stored");
  fuzzing::Require(fuzzing::ReadWholeFile(file) == bytes, "the opened file is never changed");
  return 0;
}
