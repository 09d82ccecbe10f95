#include "engine/scan.h"

#include <optional>
#include <vector>

#include "data/codepage.h"
#include "data/event_file.h"
#include "data/event_record.h"
#include "data/fixed_texts.h"
#include "data/record_stream.h"
#include "data/replace_file.h"
#include "data/text_util.h"
#include "engine/date_text.h"
#include "engine/due_days.h"
#include "engine/due_sort.h"
#include "engine/list_line.h"

namespace memro {
namespace {

class ScanPass {
 public:
  ScanPass(Platform& platform, const std::string& fileName, RecordFile& dueList,
           const ScanSettings& settings, ScanView& view)
      : platform_(platform),
        fileName_(fileName),
        due_(dueList),
        settings_(settings),
        view_(view),
        today_(platform.Today()),
        rangeOn_(!settings.rangeDays.empty()) {
    if (rangeOn_) {
      const double value = NumericValue(settings.rangeDays);
      rangeLimit_ = value > 0 ? static_cast<std::int64_t>(value) : 0;
    }
  }

  ScanResult Run();

 private:
  bool Prepare(RecordFile& events, RecordLayout& layout);
  void ScanRecord(std::int64_t i, std::string_view bytes);
  bool ConfirmCleanUp(std::int64_t i, const EventRecord& event);
  void KeepRecord(std::string_view bytes);
  void AddEntry(std::int64_t i, const EventRecord& event, const Trial& trial);
  void Finish(RecordFile& events, const RecordLayout& layout);
  void WriteSortedList();
  std::string_view Entry(std::size_t k) const {
    return std::string_view(entries_).substr(k * kDueEntrySize, kDueEntrySize);
  }
  void ShowList();
  void UpdateCaption();

  Platform& platform_;
  const std::string& fileName_;
  RecordFile& due_;
  const ScanSettings& settings_;
  ScanView& view_;
  const Date today_;
  const bool rangeOn_;
  std::int64_t rangeLimit_ = -1;

  std::optional<ReplacementFile> copy_;
  std::optional<RecordWriter> copyWriter_;
  // The entries stay in memory until they are sorted, so that the due list is written
  // once, in its final order, and the list is shown without reading it back.
  std::string entries_;                  // kDueEntrySize bytes each, in scan order until sorted
  std::vector<std::int64_t> entryDays_;  // day number of each entry's date, for the sort
  std::vector<std::size_t> order_;       // scan-order index of each sorted entry
  ScanResult result_;
};

ScanResult ScanPass::Run() {
  if (!CheckEventFileExists(platform_, fileName_)) return {};
  BusyPointer busy(platform_);
  const FileFormat format = DetectFormat(fileName_);
  if (format != FileFormat::kCurrent) {
    platform_.MessageBox(RefusalMessage(fileName_, format), Icon::kExclamation, Buttons::kOk,
                         Texts().productTitle + " Editor");
    return {};
  }
  try {
    RecordFile events(fileName_, kRecordSize, RecordFile::Mode::kRead);
    RecordLayout layout;
    if (!Prepare(events, layout)) return {};
    RecordReader reader(events);
    for (std::int64_t i = 2; i <= layout.records; ++i) {
      const std::string_view whole = reader.View(i);
      if (whole.size() == kRecordSize) {
        ScanRecord(i, whole);
      } else {
        ScanRecord(i, ReadPaddedRecord(reader, i, kRecordSize));
      }
    }
    Finish(events, layout);
    ShowList();
  } catch (const FileError& e) {
    copyWriter_.reset();
    copy_.reset();  // removes the unfinished copy; the event file is untouched
    platform_.MessageBox(e.description() + " while scanning " + fileName_, Icon::kCritical,
                         Buttons::kOk, "");
    return {};
  }
  result_.result = 1;
  return result_;
}

bool ScanPass::Prepare(RecordFile& events, RecordLayout& layout) {
  layout = LayoutOf(events.ByteLength(), kRecordSize, true);
  if (layout.records - 1 > kMaxEvents) {
    platform_.MessageBox(TooManyEventsMessage(fileName_, layout.records - 1), Icon::kExclamation,
                         Buttons::kOk, "");
    return false;
  }
  view_.SetCaption("Loading " + fileName_ + "...");
  view_.SetDateLabel(DateLabel(today_));
  view_.ClearDueDisplay();
  if (settings_.rewrite) {
    const auto target = FollowLink(fileName_);
    copy_.emplace(target, RewriteCopyName(target), kRecordSize);
    copyWriter_.emplace(copy_->file(), 1);
  }
  due_.Truncate(0);
  // Pages of the reserve that no entry needs are never touched, so they cost no memory.
  entries_.reserve(static_cast<std::size_t>(layout.records) * kDueEntrySize);
  KeepRecord(ReadPaddedRecord(events, 1));
  return true;
}

void ScanPass::KeepRecord(std::string_view bytes) {
  if (copyWriter_) copyWriter_->Append(bytes);
}

void ScanPass::ScanRecord(std::int64_t i, std::string_view bytes) {
  const EventRecord event = EventRecord::FromBytes(bytes);
  bool keep = true;
  bool deleted = false;
  if (event.enabled == 0) {
    KeepRecord(bytes);
    return;
  }
  for (int pass = 0; pass <= 1; ++pass) {
    const auto trial = TryEvent(event, pass, today_);
    if (!trial) break;
    if (trial->days == 0 && event.frequency == kOnce && event.cleanUp != 0) {
      if (!settings_.confirmCleanUp || ConfirmCleanUp(i, event)) {
        deleted = true;
        keep = false;
      }
    }
    if (keep) {
      KeepRecord(bytes);
      keep = false;
    }
    if (IsDue(event, trial->days, rangeOn_ ? rangeLimit_ : -1)) {
      AddEntry(i, event, *trial);
      break;
    }
  }
  if (keep && !deleted) KeepRecord(bytes);
}

bool ScanPass::ConfirmCleanUp(std::int64_t i, const EventRecord& event) {
  const std::string contents = TrimBlanks(event.message).substr(0, 50);
  const std::string prompt = "Delete Record " + std::to_string(i - 1) + " from " + fileName_ +
                             " ?\r\n\r\nContents:\r\n" + DateText(event.date, int(today_.year())) +
                             "\r\n" + Cp1252ToUtf8(contents) + "\r\n\r\nPress F1 for help.";
  if (platform_.MessageBox(prompt, Icon::kQuestion, Buttons::kYesNo, "Confirm Clean Up") !=
      Answer::kYes) {
    return false;
  }
  ++result_.cleanedCount;
  UpdateCaption();
  return true;
}

void ScanPass::AddEntry(std::int64_t i, const EventRecord& event, const Trial& trial) {
  const std::string date = EntryDate(event, trial, today_, rangeOn_);
  DueEntry::AppendBytes(entries_, date, event.date, event.message, event.frequency,
                        static_cast<std::int16_t>(i));
  ++result_.loadedCount;
  const auto filed = StoredDate(date, int(today_.year()));
  entryDays_.push_back(filed ? DayNumber(*filed) : DayNumber(today_));
  UpdateCaption();
}

void ScanPass::UpdateCaption() {
  view_.SetCaption("Loading " + fileName_ + "...Active: " + std::to_string(result_.loadedCount) +
                   "...Cleaned: " + std::to_string(result_.cleanedCount));
}

void ScanPass::Finish(RecordFile& events, const RecordLayout& layout) {
  WriteSortedList();
  if (copy_) {
    copyWriter_->Flush();
    if (layout.hasFragment()) {
      const auto fragment =
          events.ReadAt(layout.fragmentStart, layout.length - layout.fragmentStart);
      const auto kept = static_cast<std::uint64_t>(copyWriter_->next() - 1);
      copy_->file().WriteAt(kept * kRecordSize, fragment);
    }
    events.Close();
    copyWriter_.reset();
    copy_->Commit();
    copy_.reset();
  }
  std::error_code ec;
  result_.fileStamp = std::filesystem::last_write_time(fileName_, ec);
}

void ScanPass::WriteSortedList() {
  order_ = ExchangeSortOrder(entryDays_);
  RecordWriter writer(due_, 1);
  for (const std::size_t k : order_) writer.Append(Entry(k));
  writer.Flush();
}

void ScanPass::ShowList() {
  const std::int64_t today = DayNumber(today_);
  bool found = false;
  DueEntry entry;
  for (std::int64_t n = 1; n <= result_.loadedCount; ++n) {
    const auto k = static_cast<std::size_t>(n - 1);
    entry.Assign(Entry(order_[k]));
    view_.AddLine(ListLine(entry, int(today_.year())));
    if (!found && entryDays_[k] >= today) {
      result_.firstLine = n - 1;
      found = true;
    }
  }
  entries_ = {};
  if (result_.loadedCount > 0) {
    view_.Alert();
    view_.SelectLine(result_.firstLine);
  }
  view_.EnableDueCommands();
}

}  // namespace

ScanResult LoadEventFile(Platform& platform, const std::string& fileName, RecordFile& dueList,
                         const ScanSettings& settings, ScanView& view) {
  return ScanPass(platform, fileName, dueList, settings, view).Run();
}

}  // namespace memro
