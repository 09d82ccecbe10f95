#include "support/event_files.h"

#include "data/fixed_texts.h"
#include "data/text_util.h"
#include "support/fake_platform.h"

namespace memro::testing {

EventRecord Event(const std::string& date, const std::string& message, std::int16_t frequency,
                  std::int16_t warnDays, std::int16_t backdated, std::int16_t cleanUp,
                  std::int16_t enabled) {
  EventRecord r;
  r.SetDate(date);
  r.SetMessage(message);
  r.frequency = frequency;
  r.warnDays = warnDays;
  r.backdated = backdated;
  r.cleanUp = cleanUp;
  r.enabled = enabled;
  return r;
}

std::string EventFileBytes(const std::vector<EventRecord>& events) {
  std::string bytes = HeaderRecord().ToBytes();
  for (const auto& e : events) bytes += e.ToBytes();
  return bytes;
}

void WriteEventFile(const std::filesystem::path& file, const std::vector<EventRecord>& events) {
  WriteFileBytes(file, EventFileBytes(events));
}

EventRecord MakeEvent(const std::string& date, const std::string& message, std::int16_t frequency) {
  return Event(date, message, frequency, 7, 1);
}

std::string OldRecordBytes(const std::string& date, const std::string& message, std::int16_t warn,
                           std::int16_t second, std::int16_t enabled, std::int16_t backdated) {
  std::string bytes = PadTo(date, kDateSize) + PadTo(message, kMessageSize);
  bytes.resize(kOldRecordSize, '\0');
  WriteInt16(bytes, 1009, warn);
  WriteInt16(bytes, 1011, second);
  WriteInt16(bytes, 1013, enabled);
  WriteInt16(bytes, 1015, backdated);
  return bytes;
}

std::string OldHeaderBytes() { return OldRecordBytes("", Texts().oldFileSignature, 0, 0, 0, 0); }

std::string TextLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

std::vector<EventRecord> ReadEvents(const std::filesystem::path& file) {
  const std::string bytes = ReadFileBytes(file);
  std::vector<EventRecord> events;
  for (std::size_t pos = kRecordSize; pos + kRecordSize <= bytes.size(); pos += kRecordSize) {
    events.push_back(EventRecord::FromBytes(std::string_view(bytes).substr(pos, kRecordSize)));
  }
  return events;
}

}  // namespace memro::testing
