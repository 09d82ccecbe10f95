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

EventRecord EventRecord::FromBytes(std::string_view bytes) {
  EventRecord r;
  r.date.assign(bytes.substr(0, kDateSize));
  r.message.assign(bytes.substr(kDateSize, kMessageSize));
  r.warnDays = ReadInt16(bytes, 1009);
  r.frequency = ReadInt16(bytes, 1011);
  r.enabled = ReadInt16(bytes, 1013);
  r.backdated = ReadInt16(bytes, 1015);
  r.cleanUp = ReadInt16(bytes, 1017);
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
  e.date.assign(bytes.substr(0, kDateSize));
  e.sourceDate.assign(bytes.substr(kDateSize, kDateSize));
  e.message.assign(bytes.substr(2 * kDateSize, kMessageSize));
  e.frequency = ReadInt16(bytes, 1018);
  e.recordNo = ReadInt16(bytes, 1020);
  return e;
}

std::string DueEntry::ToBytes() const {
  std::string out =
      PadTo(date, kDateSize) + PadTo(sourceDate, kDateSize) + PadTo(message, kMessageSize);
  out.resize(kDueEntrySize, '\0');
  WriteInt16(out, 1018, frequency);
  WriteInt16(out, 1020, recordNo);
  return out;
}

}  // namespace memro
