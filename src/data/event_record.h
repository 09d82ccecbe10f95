#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace memro {

constexpr std::size_t kDateSize = 9;
constexpr std::size_t kMessageSize = 1000;
constexpr std::size_t kRecordSize = 1019;     // EventRecord on disk
constexpr std::size_t kOldRecordSize = 1017;  // record of the 2.01/3.0 format
constexpr std::size_t kDueEntrySize = 1022;   // DueEntry in the due list
constexpr std::size_t kRecordTextSize = kDateSize + kMessageSize;

// 16-bit record numbers cap a file at this many events (the header is record 1).
constexpr std::int64_t kMaxEvents = 32766;

enum Frequency : std::int16_t { kYearly = 0, kMonthly = 1, kWeekly = 2, kDaily = 3, kOnce = 4 };

// One event exactly as stored: texts are raw Windows-1252 bytes of full field width.
struct EventRecord {
  std::string date = std::string(kDateSize, ' ');
  std::string message = std::string(kMessageSize, ' ');
  std::int16_t warnDays = 0;
  std::int16_t frequency = 0;
  std::int16_t enabled = 0;
  std::int16_t backdated = 0;
  std::int16_t cleanUp = 0;

  // bytes must hold kRecordSize bytes.
  static EventRecord FromBytes(std::string_view bytes);
  std::string ToBytes() const;

  void SetDate(std::string_view text);
  void SetMessage(std::string_view text);
  bool operator==(const EventRecord&) const = default;
};

// The fields of a stored event read in place: the texts point into the record's bytes,
// which must outlive them. A scan reads tens of thousands of records and copies none.
struct EventFields {
  std::string_view date;
  std::string_view message;
  std::int16_t warnDays = 0;
  std::int16_t frequency = 0;
  std::int16_t enabled = 0;
  std::int16_t backdated = 0;
  std::int16_t cleanUp = 0;

  // bytes must hold kRecordSize bytes.
  static EventFields Of(std::string_view bytes);
};

// Values a new record starts with (the settings' Defaults section). Element order
// of the stored array: frequency, enabled, backdated, warnDays, cleanUp.
struct RecordDefaults {
  std::int16_t frequency = kYearly;
  std::int16_t enabled = 1;
  std::int16_t backdated = 1;
  std::int16_t warnDays = 7;
  std::int16_t cleanUp = 0;
  bool operator==(const RecordDefaults&) const = default;
};

// Record 1 of every event file and record store.
EventRecord HeaderRecord();

struct DueEntry {
  std::string date = std::string(kDateSize, ' ');
  std::string sourceDate = std::string(kDateSize, ' ');
  std::string message = std::string(kMessageSize, ' ');
  std::int16_t frequency = 0;
  std::int16_t recordNo = 0;

  static DueEntry FromBytes(std::string_view bytes);
  // As FromBytes, into an entry that is read again and again (its buffers are reused).
  void Assign(std::string_view bytes);
  std::string ToBytes() const;
  // Appends the stored form of an entry of these fields to out, without building one.
  static void AppendBytes(std::string& out, std::string_view date, std::string_view sourceDate,
                          std::string_view message, std::int16_t frequency, std::int16_t recordNo);
  bool operator==(const DueEntry&) const = default;
};

std::int16_t ReadInt16(std::string_view bytes, std::size_t offset);
void WriteInt16(std::string& bytes, std::size_t offset, std::int16_t value);

}  // namespace memro
