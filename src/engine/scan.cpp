#include "engine/scan.h"

#include <unistd.h>

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
           const ScanSettings& settings, ScanView& view, DueEntries* keep)
      : platform_(platform),
        fileName_(fileName),
        due_(dueList),
        settings_(settings),
        view_(view),
        keep_(keep),
        today_(platform.Today()),
        rangeOn_(!settings.rangeDays.empty()),
        entries_(int(today_.year())) {
    if (rangeOn_) {
      const double value = NumericValue(settings.rangeDays);
      rangeLimit_ = value > 0 ? static_cast<std::int64_t>(value) : 0;
    }
  }

  ScanResult Run();

 private:
  bool Detect();
  RecordFile OpenEvents() const;
  bool Prepare(RecordFile& events, RecordLayout& layout);
  void ScanRecord(std::int64_t i, std::string_view bytes);
  bool ConfirmCleanUp(std::int64_t i, const EventFields& event);
  void KeepRecord(std::string_view bytes);
  std::int16_t RecordNumber(std::int64_t i, bool deleted) const;
  void AddEntry(std::int16_t recordNo, const EventFields& event, const Trial& trial);
  void Finish(RecordFile& events, const RecordLayout& layout);
  void WriteSortedList();
  void ShowList();
  void UpdateCaption();

  Platform& platform_;
  const std::string& fileName_;
  RecordFile& due_;
  const ScanSettings& settings_;
  ScanView& view_;
  DueEntries* keep_;
  const Date today_;
  const bool rangeOn_;
  std::int64_t rangeLimit_ = -1;

  bool readOnly_ = false;           // the user may not write the file: it is not rewritten
  bool cleanUpKept_ = false;        // an event due for clean-up stayed in a read-only file
  std::optional<WriterLock> lock_;  // before copy_, which is removed while it is held
  std::optional<ReplacementFile> copy_;
  std::optional<RecordWriter> copyWriter_;
  // The entries stay in memory until they are sorted, so that the due list is written
  // once, in its final order, and the list is shown without reading it back.
  DueEntries entries_;                   // in scan order until sorted
  std::vector<std::int64_t> entryDays_;  // day number of each entry's date, for the sort
  std::string caption_;
  std::size_t captionPrefix_ = 0;  // the part of caption_ that stays
  ScanResult result_;
};

ScanResult ScanPass::Run() {
  if (keep_) *keep_ = DueEntries(int(today_.year()));
  if (!CheckEventFileExists(platform_, fileName_)) return {};
  BusyPointer busy(platform_);
  readOnly_ = settings_.rewrite && WriteRefusal(fileName_) != 0;
  try {
    // Taken before the file is read, so that the rewrite keeps what another writer
    // added; a scan that will not rewrite needs no lock.
    if (settings_.rewrite && !readOnly_) lock_.emplace(fileName_, settings_.lockWait);
    if (!Detect()) return {};
    RecordFile events = OpenEvents();
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
  } catch (const FileBusyError& e) {
    platform_.MessageBox(e.message(), Icon::kExclamation, Buttons::kOk, "");
    return {};
  } catch (const FileError& e) {
    copyWriter_.reset();
    copy_.reset();  // removes the unfinished copy; the event file is untouched
    lock_.reset();
    platform_.MessageBox(e.description() + " while scanning " + fileName_, Icon::kCritical,
                         Buttons::kOk, "");
    return {};
  }
  if (cleanUpKept_) {
    platform_.MessageBox(fileName_ + " is read-only: nothing was deleted from it.",
                         Icon::kExclamation, Buttons::kOk, "");
  }
  result_.result = 1;
  return result_;
}

bool ScanPass::Detect() {
  const FileFormat format = DetectFormat(fileName_);
  if (format == FileFormat::kCurrent) return true;
  platform_.MessageBox(RefusalMessage(fileName_, format), Icon::kExclamation, Buttons::kOk,
                       Texts().productTitle + " Editor");
  return false;
}

// Under the lock the file is read through the descriptor the lock was won on.
RecordFile ScanPass::OpenEvents() const {
  if (lock_ && lock_->target().exists()) {
    return RecordFile(::dup(lock_->target().fd()), fileName_, kRecordSize);
  }
  return RecordFile(fileName_, kRecordSize, RecordFile::Mode::kRead);
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
  if (lock_) {
    copy_.emplace(*lock_, kRecordSize);
    copyWriter_.emplace(copy_->file(), 1);
  }
  // Only a list that holds something is cut: ext4 writes a file that was truncated to
  // nothing to disk when it is closed, which a work file deleted at the end never needs.
  if (due_.ByteLength() != 0) due_.Truncate(0);
  entries_.Reserve(static_cast<std::size_t>(layout.records));
  KeepRecord(ReadPaddedRecord(events, 1));
  return true;
}

void ScanPass::KeepRecord(std::string_view bytes) {
  if (copyWriter_) copyWriter_->Append(bytes);
}

void ScanPass::ScanRecord(std::int64_t i, std::string_view bytes) {
  const EventFields event = EventFields::Of(bytes);
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
      if (readOnly_) {
        cleanUpKept_ = true;  // nothing can be deleted: not asked, kept below
      } else if (!settings_.confirmCleanUp || ConfirmCleanUp(i, event)) {
        deleted = true;
        keep = false;
      }
    }
    if (keep) {
      KeepRecord(bytes);
      keep = false;
    }
    if (IsDue(event, trial->days, rangeOn_ ? rangeLimit_ : -1)) {
      AddEntry(RecordNumber(i, deleted), event, *trial);
      break;
    }
  }
  if (keep && !deleted) KeepRecord(bytes);
}

bool ScanPass::ConfirmCleanUp(std::int64_t i, const EventFields& event) {
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

// The record an entry names for the editor: its place in the file as the scan leaves
// it, so counted in the rewrite copy when there is one. A deleted event has none (0).
std::int16_t ScanPass::RecordNumber(std::int64_t i, bool deleted) const {
  if (!copyWriter_) return static_cast<std::int16_t>(i);
  if (deleted) return 0;
  return static_cast<std::int16_t>(copyWriter_->next() - 1);  // the record just kept
}

void ScanPass::AddEntry(std::int16_t recordNo, const EventFields& event, const Trial& trial) {
  const FiledDate filed = EntryDate(event, trial, today_, rangeOn_);
  entries_.Add(filed.text, filed.date, event.date, event.message, event.frequency, recordNo);
  ++result_.loadedCount;
  entryDays_.push_back(filed.date ? DayNumber(*filed.date) : DayNumber(today_));
  UpdateCaption();
}

// Made in one text kept for the whole scan, whose start stays: a full file updates it
// tens of thousands of times.
void ScanPass::UpdateCaption() {
  if (captionPrefix_ == 0) {
    caption_ = "Loading " + fileName_ + "...Active: ";
    captionPrefix_ = caption_.size();
  }
  caption_.resize(captionPrefix_);
  AppendNumber(caption_, result_.loadedCount);
  caption_.append("...Cleaned: ");
  AppendNumber(caption_, result_.cleanedCount);
  view_.SetCaption(caption_);
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
    lock_.reset();
  }
  std::error_code ec;
  result_.fileStamp = std::filesystem::last_write_time(fileName_, ec);
}

void ScanPass::WriteSortedList() {
  entries_.Reorder(ExchangeSortOrder(entryDays_));
  if (settings_.writeDueList) entries_.Write(due_);
}

void ScanPass::ShowList() {
  const std::int64_t today = DayNumber(today_);
  bool found = false;
  std::string line;
  for (std::size_t k = 0; k < entries_.size(); ++k) {
    const DueItem& item = entries_[k];
    line.clear();
    AppendListLine(line, item.frequency, entries_.DateField(item), item.dateRead);
    view_.AddLine(line);
    if (!found && entryDays_[k] >= today) {
      result_.firstLine = static_cast<std::int64_t>(k);
      found = true;
    }
  }
  if (keep_) {
    *keep_ = std::move(entries_);
  } else {
    entries_ = DueEntries();
  }
  if (result_.loadedCount > 0) {
    view_.Alert();
    view_.SelectLine(result_.firstLine);
  }
  view_.EnableDueCommands();
}

}  // namespace

ScanResult LoadEventFile(Platform& platform, const std::string& fileName, RecordFile& dueList,
                         const ScanSettings& settings, ScanView& view, DueEntries* entries) {
  return ScanPass(platform, fileName, dueList, settings, view, entries).Run();
}

}  // namespace memro
