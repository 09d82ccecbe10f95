#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "data/event_record.h"
#include "data/fixed_texts.h"
#include "data/text_util.h"
#include "support/fake_platform.h"

// Builders for event files of every format the program reads.
namespace memro::testing {

inline EventRecord MakeEvent(const std::string& date, const std::string& message,
                             std::int16_t frequency = kYearly) {
  EventRecord r;
  r.SetDate(date);
  r.SetMessage(message);
  r.warnDays = 7;
  r.frequency = frequency;
  r.enabled = 1;
  r.backdated = 1;
  return r;
}

inline std::string CurrentFileBytes(const std::vector<EventRecord>& events) {
  std::string bytes = HeaderRecord().ToBytes();
  for (const auto& e : events) bytes += e.ToBytes();
  return bytes;
}

// One 1017-byte record of the 2.01/3.0 format.
inline std::string OldRecordBytes(const std::string& date, const std::string& message,
                                  std::int16_t warn, std::int16_t second, std::int16_t enabled,
                                  std::int16_t backdated) {
  std::string bytes = PadTo(date, kDateSize) + PadTo(message, kMessageSize);
  bytes.resize(kOldRecordSize, '\0');
  WriteInt16(bytes, 1009, warn);
  WriteInt16(bytes, 1011, second);
  WriteInt16(bytes, 1013, enabled);
  WriteInt16(bytes, 1015, backdated);
  return bytes;
}

inline std::string OldHeaderBytes() {
  return OldRecordBytes("", Texts().oldFileSignature, 0, 0, 0, 0);
}

// Lines joined with CR LF, the last one ended too.
inline std::string TextLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace memro::testing
