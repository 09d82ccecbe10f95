#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/calendar.h"
#include "data/event_record.h"
#include "data/record_file.h"
#include "data/record_stream.h"
#include "data/text_util.h"
#include "engine/date_text.h"

namespace memro {

// One due entry held in memory. The texts are the stored fields; the message lives in
// its DueEntries without its padding.
struct DueItem {
  std::array<char, kDateSize> date{};
  std::array<char, kDateSize> sourceDate{};
  std::optional<Date> dateRead;  // date as StoredDate reads it in the list's year
  std::int16_t frequency = 0;
  std::int16_t recordNo = 0;
  std::uint32_t messageStart = 0;
  std::uint32_t messageSize = 0;  // without the trailing blanks of the field
};

// The due list in memory: what the scan found, in list order once sorted. It gives the
// due list file exactly the bytes it would get entry by entry, but keeps a message
// without its blank padding and each date read once, so that the list lines and the
// report are made without reading the file back or reading a date again.
class DueEntries {
 public:
  // currentYear: the year a short stored date ("Dec08") stands for.
  explicit DueEntries(int currentYear = 0) : year_(currentYear) {}

  // Records 1..count of a due list file; a record the file lacks reads as NULs.
  static DueEntries Read(RecordFile& dueList, std::int64_t count, int currentYear);

  // An entry of these fields, each cut or padded to its width as in the file. dateRead
  // is StoredDate(date, year()), which the caller has at hand.
  void Add(std::string_view date, const std::optional<Date>& dateRead, std::string_view sourceDate,
           std::string_view message, std::int16_t frequency, std::int16_t recordNo);
  void Reserve(std::size_t count) { items_.reserve(count); }
  void SetRecordNo(std::size_t k, std::int16_t recordNo) { items_[k].recordNo = recordNo; }
  // Puts entry order[k] at position k.
  void Reorder(const std::vector<std::size_t>& order);

  int year() const { return year_; }
  std::size_t size() const { return items_.size(); }
  const DueItem& operator[](std::size_t k) const { return items_[k]; }
  std::string_view DateField(const DueItem& item) const {
    return std::string_view(item.date.data(), item.date.size());
  }
  // The message field without its trailing blanks.
  std::string_view Message(const DueItem& item) const {
    return std::string_view(messages_).substr(item.messageStart, item.messageSize);
  }

  // Adds the stored form of entry k (kDueEntrySize bytes) to the end of out.
  void AppendBytes(std::size_t k, std::string& out) const;
  // Writes every entry as records 1..size() of the due list, in large chunks.
  void Write(RecordFile& dueList) const;

 private:
  static constexpr std::size_t kChunkEntries = 256;
  static std::array<char, kDateSize> DateFieldOf(std::string_view text);

  int year_;
  std::vector<DueItem> items_;
  std::string messages_;
};

// The definitions stay in the header: they are few, and only the scan and the report
// use them.

inline std::array<char, kDateSize> DueEntries::DateFieldOf(std::string_view text) {
  std::array<char, kDateSize> field;
  field.fill(' ');
  const std::string_view kept = text.substr(0, kDateSize);
  std::copy(kept.begin(), kept.end(), field.begin());
  return field;
}

inline DueEntries DueEntries::Read(RecordFile& dueList, std::int64_t count, int currentYear) {
  DueEntries entries(currentYear);
  entries.Reserve(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
  RecordReader reader(dueList);
  std::string padded;
  for (std::int64_t n = 1; n <= count; ++n) {
    std::string_view bytes = reader.View(n);
    if (bytes.size() < kDueEntrySize) {
      padded.assign(bytes);
      padded.resize(kDueEntrySize, '\0');
      bytes = padded;
    }
    const std::string_view date = bytes.substr(0, kDateSize);
    entries.Add(date, StoredDate(date, currentYear), bytes.substr(kDateSize, kDateSize),
                bytes.substr(2 * kDateSize, kMessageSize), ReadInt16(bytes, 1018),
                ReadInt16(bytes, 1020));
  }
  return entries;
}

inline void DueEntries::Add(std::string_view date, const std::optional<Date>& dateRead,
                            std::string_view sourceDate, std::string_view message,
                            std::int16_t frequency, std::int16_t recordNo) {
  DueItem item;
  item.date = DateFieldOf(date);
  // A date of another length than its field reads differently once cut or padded.
  item.dateRead = date.size() == kDateSize ? dateRead : StoredDate(DateField(item), year_);
  item.sourceDate = DateFieldOf(sourceDate);
  item.frequency = frequency;
  item.recordNo = recordNo;
  // The padding is put back on writing: a blank-padded field comes back the same.
  const std::string_view text = TrimTrailingBlanksView(message.substr(0, kMessageSize));
  item.messageStart = static_cast<std::uint32_t>(messages_.size());
  item.messageSize = static_cast<std::uint32_t>(text.size());
  messages_.append(text);
  items_.push_back(item);
}

inline void DueEntries::Reorder(const std::vector<std::size_t>& order) {
  std::vector<DueItem> sorted;
  sorted.reserve(order.size());
  for (const std::size_t k : order) sorted.push_back(items_[k]);
  items_ = std::move(sorted);
}

inline void DueEntries::AppendBytes(std::size_t k, std::string& out) const {
  const DueItem& item = items_[k];
  const std::string_view message = Message(item);
  out.append(item.date.data(), kDateSize);
  out.append(item.sourceDate.data(), kDateSize);
  out.append(message);
  out.append(kMessageSize - message.size(), ' ');
  for (const std::int16_t value : {item.frequency, item.recordNo}) {
    const auto u = static_cast<std::uint16_t>(value);
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
}

inline void DueEntries::Write(RecordFile& dueList) const {
  std::string chunk;
  chunk.reserve(kChunkEntries * kDueEntrySize);
  std::uint64_t offset = 0;
  for (std::size_t k = 0; k < items_.size(); ++k) {
    AppendBytes(k, chunk);
    if (chunk.size() >= kChunkEntries * kDueEntrySize || k + 1 == items_.size()) {
      dueList.WriteAt(offset, chunk);
      offset += chunk.size();
      chunk.clear();
    }
  }
}

}  // namespace memro
