#include "data/event_record.h"

#include "data/fixed_texts.h"
#include "data/text_util.h"

namespace memro {

std::int16_t ReadInt16(std::string_view bytes, std::size_t offset) {
  const auto lo = static_cast<unsigned char>(bytes[offset]);
  const auto hi = static_cast<unsigned char>(bytes[offset + 1]);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

void WriteInt16(std::string& bytes, std::size_t offset, std::int16_t value) {
  const auto u = static_cast<std::uint16_t>(value);
  bytes[offset] = static_cast<char>(u & 0xFF);
  bytes[offset + 1] = static_cast<char>(u >> 8);
}

EventFields EventFields::Of(std::string_view bytes) {
  EventFields f;
  f.date = bytes.substr(0, kDateSize);
  f.message = bytes.substr(kDateSize, kMessageSize);
  f.warnDays = ReadInt16(bytes, 1009);
  f.frequency = ReadInt16(bytes, 1011);
  f.enabled = ReadInt16(bytes, 1013);
  f.backdated = ReadInt16(bytes, 1015);
  f.cleanUp = ReadInt16(bytes, 1017);
  return f;
}

EventRecord EventRecord::FromBytes(std::string_view bytes) {
  const EventFields f = EventFields::Of(bytes);
  EventRecord r;
  r.date.assign(f.date);
  r.message.assign(f.message);
  r.warnDays = f.warnDays;
  r.frequency = f.frequency;
  r.enabled = f.enabled;
  r.backdated = f.backdated;
  r.cleanUp = f.cleanUp;
  return r;
}

std::string EventRecord::ToBytes() const {
  std::string out = PadTo(date, kDateSize) + PadTo(message, kMessageSize);
  out.resize(kRecordSize, '\0');
  WriteInt16(out, 1009, warnDays);
  WriteInt16(out, 1011, frequency);
  WriteInt16(out, 1013, enabled);
  WriteInt16(out, 1015, backdated);
  WriteInt16(out, 1017, cleanUp);
  return out;
}

void EventRecord::SetDate(std::string_view text) { date = PadTo(text, kDateSize); }
void EventRecord::SetMessage(std::string_view text) { message = PadTo(text, kMessageSize); }

EventRecord HeaderRecord() {
  EventRecord header;
  header.SetDate(Texts().storeMarker);
  header.SetMessage(Texts().fileSignature);
  return header;
}

DueEntry DueEntry::FromBytes(std::string_view bytes) {
  DueEntry e;
  e.Assign(bytes);
  return e;
}

void DueEntry::Assign(std::string_view bytes) {
  date.assign(bytes.substr(0, kDateSize));
  sourceDate.assign(bytes.substr(kDateSize, kDateSize));
  message.assign(bytes.substr(2 * kDateSize, kMessageSize));
  frequency = ReadInt16(bytes, 1018);
  recordNo = ReadInt16(bytes, 1020);
}

namespace {

void AppendPadded(std::string& out, std::string_view text, std::size_t width) {
  const std::string_view kept = text.substr(0, width);
  out.append(kept);
  out.append(width - kept.size(), ' ');
}

}  // namespace

std::string DueEntry::ToBytes() const {
  std::string out;
  AppendBytes(out, date, sourceDate, message, frequency, recordNo);
  return out;
}

// Built in place: a scan of a full file builds tens of thousands of these.
void DueEntry::AppendBytes(std::string& out, std::string_view date, std::string_view sourceDate,
                           std::string_view message, std::int16_t frequency,
                           std::int16_t recordNo) {
  const std::size_t start = out.size();
  out.reserve(start + kDueEntrySize);
  AppendPadded(out, date, kDateSize);
  AppendPadded(out, sourceDate, kDateSize);
  AppendPadded(out, message, kMessageSize);
  out.resize(start + kDueEntrySize, '\0');
  WriteInt16(out, start + 1018, frequency);
  WriteInt16(out, start + 1020, recordNo);
}

}  // namespace memro
