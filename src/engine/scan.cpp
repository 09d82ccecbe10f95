#include "engine/scan.h"

#include <unistd.h>

#include <functional>
#include <optional>
#include <vector>

#include "data/codepage.h"
#include "data/event_file.h"
#include "data/event_record.h"
#include "data/fixed_texts.h"
#include "data/interrupted_rewrite.h"
#include "data/record_stream.h"
#include "data/replace_file.h"
#include "data/text_util.h"
#include "engine/date_text.h"
#include "engine/due_days.h"
#include "engine/due_sort.h"
#include "engine/list_line.h"

namespace memro {
namespace {

// The passes a scan makes when other writers keep changing the file between its reading
// and its rewrite; then the file is left as it is until a later scan.
constexpr int kPasses = 3;

// The digest of what one scan read, compared only with what the same scan reads again
// under the lock: nothing keeps it, so it takes the library's word-wise hash of each
// piece (a byte-wise one cost a full file's scan half its time).
class ReadDigest {
 public:
  void Add(std::string_view bytes) {
    value_ = (value_ ^ std::hash<std::string_view>{}(bytes)) * 0x9e3779b97f4a7c15ULL + bytes.size();
  }
  std::uint64_t value() const { return value_; }

 private:
  std::uint64_t value_ = 0;
};

// Calls visit(reader, i, bytes) for every record as it is in the file (the last one may
// be shorter), and gives the digest of them all, the fragment and the length: the
// rewrite replaces the file only when it reads the same bytes again under the lock.
template <typename Visit>
std::uint64_t ReadRecords(RecordFile& events, const RecordLayout& layout, Visit visit) {
  ReadDigest digest;
  RecordReader reader(events);
  for (std::int64_t i = 1; i <= layout.records; ++i) {
    const std::string_view bytes = reader.View(i);
    digest.Add(bytes);
    visit(reader, i, bytes);
  }
  if (layout.hasFragment()) {
    digest.Add(events.ReadAt(layout.fragmentStart, layout.length - layout.fragmentStart));
  }
  digest.Add(std::to_string(layout.length));
  return digest.value();
}

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
        rangeOn_(!settings.rangeDays.empty()) {
    if (rangeOn_) {
      const double value = NumericValue(settings.rangeDays);
      rangeLimit_ = value > 0 ? static_cast<std::int64_t>(value) : 0;
    }
  }

  ScanResult Run();

 private:
  enum class Kept { kNothing, kReadOnly, kBusy, kChanging };

  bool ReadAndRewrite();
  bool ReadPass();
  void RepairInterruptedRewrite();
  bool Detect();
  bool Prepare(RecordFile& events);
  void ScanRecord(std::int64_t i, std::string_view bytes);
  bool ConfirmCleanUp(std::int64_t i, const EventFields& event);
  void AddEntry(std::int64_t i, const EventFields& event, const Trial& trial);
  bool Rewrite();
  void KeepEverything(Kept why);
  void NumberEntries();
  void WriteSortedList();
  void ShowList();
  void TellWhatWasKept();
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

  bool readOnly_ = false;              // the user may not write the file: it is not rewritten
  Kept kept_ = Kept::kNothing;         // why events due for clean-up stayed in the file
  RecordLayout layout_;                // of the file as the last pass read it
  std::uint64_t digest_ = 0;           // of the bytes the last pass read
  std::vector<std::int64_t> deleted_;  // records the user let go, in file order
  bool rewritten_ = false;
  // The entries stay in memory until they are sorted, so that the due list is written
  // once, in its final order, and the list is shown without reading it back.
  DueEntries entries_;                   // in scan order until sorted
  std::vector<std::int64_t> sources_;    // the record each entry comes from
  std::vector<std::int64_t> entryDays_;  // day number of each entry's date, for the sort
  std::string caption_;
  std::size_t captionPrefix_ = 0;  // the part of caption_ that stays
  ScanResult result_;
};

ScanResult ScanPass::Run() {
  if (keep_) *keep_ = DueEntries(int(today_.year()));
  BusyPointer busy(platform_);
  readOnly_ = settings_.rewrite && WriteRefusal(fileName_) != 0;
  try {
    if (!ReadAndRewrite()) return {};
    NumberEntries();
    WriteSortedList();
    std::error_code ec;
    result_.fileStamp = std::filesystem::last_write_time(fileName_, ec);
    ShowList();
  } catch (const FileError& e) {
    platform_.MessageBox(e.description() + " while scanning " + fileName_, Icon::kCritical,
                         Buttons::kOk, "");
    return {};
  }
  TellWhatWasKept();
  result_.result = 1;
  return result_;
}

// Reads and asks without the writer lock, so that nobody waits for the user's answers;
// then rewrites under the lock what the user let go.
bool ScanPass::ReadAndRewrite() {
  for (int pass = 1;; ++pass) {
    if (!ReadPass()) return false;
    if (deleted_.empty() || !settings_.rewrite) return true;
    try {
      if (Rewrite()) return true;
    } catch (const FileBusyError& e) {
      if (!settings_.listWhenBusy) {
        platform_.MessageBox(e.message(), Icon::kExclamation, Buttons::kOk, "");
        return false;
      }
      KeepEverything(Kept::kBusy);
      return true;
    }
    if (pass == kPasses) {
      KeepEverything(Kept::kChanging);
      return true;
    }
  }
}

bool ScanPass::ReadPass() {
  if (!CheckEventFileExists(platform_, fileName_)) return false;
  RepairInterruptedRewrite();
  entries_ = DueEntries(int(today_.year()));
  sources_.clear();
  entryDays_.clear();
  deleted_.clear();
  result_ = ScanResult();
  if (!Detect()) return false;
  RecordFile events(fileName_, kRecordSize, RecordFile::Mode::kRead);
  if (!Prepare(events)) return false;
  digest_ = ReadRecords(events, layout_,
                        [this](RecordReader& reader, std::int64_t i, std::string_view bytes) {
                          if (i == 1) return;
                          if (bytes.size() == kRecordSize) {
                            ScanRecord(i, bytes);
                          } else {
                            ScanRecord(i, ReadPaddedRecord(reader, i, kRecordSize));
                          }
                        });
  return true;
}

// A rewrite in place that was stopped half-way left the old content beside the file;
// the holder of the lock puts it back, so the scan takes the lock once before reading.
// A writer at work now will do it as well.
void ScanPass::RepairInterruptedRewrite() {
  if (!settings_.rewrite || readOnly_) return;
  std::error_code error;
  const auto real = std::filesystem::weakly_canonical(fileName_, error);
  if (error || !std::filesystem::exists(real.parent_path() / BackupName(real.filename()), error)) {
    return;
  }
  try {
    const WriterLock lock(fileName_, std::chrono::milliseconds(0));
  } catch (const FileBusyError&) {
  }
}

bool ScanPass::Detect() {
  const FileFormat format = DetectFormat(fileName_);
  if (format == FileFormat::kCurrent) return true;
  platform_.MessageBox(RefusalMessage(fileName_, format), Icon::kExclamation, Buttons::kOk,
                       Texts().productTitle + " Editor");
  return false;
}

bool ScanPass::Prepare(RecordFile& events) {
  layout_ = LayoutOf(events.ByteLength(), kRecordSize, true);
  if (layout_.records - 1 > kMaxEvents) {
    platform_.MessageBox(TooManyEventsMessage(fileName_, layout_.records - 1), Icon::kExclamation,
                         Buttons::kOk, "");
    return false;
  }
  view_.SetCaption("Loading " + fileName_ + "...");
  view_.SetDateLabel(DateLabel(today_));
  view_.ClearDueDisplay();
  // Only a list that holds something is cut: ext4 writes a file that was truncated to
  // nothing to disk when it is closed, which a work file deleted at the end never needs.
  if (due_.ByteLength() != 0) due_.Truncate(0);
  entries_.Reserve(static_cast<std::size_t>(layout_.records));
  return true;
}

void ScanPass::ScanRecord(std::int64_t i, std::string_view bytes) {
  const EventFields event = EventFields::Of(bytes);
  if (event.enabled == 0) return;
  bool deleted = false;
  for (int pass = 0; pass <= 1; ++pass) {
    const auto trial = TryEvent(event, pass, today_);
    if (!trial) break;
    if (!deleted && trial->days == 0 && event.frequency == kOnce && event.cleanUp != 0) {
      if (readOnly_) {
        kept_ = Kept::kReadOnly;  // nothing can be deleted: not asked
      } else if (!settings_.confirmCleanUp || ConfirmCleanUp(i, event)) {
        deleted = true;
      }
    }
    if (IsDue(event, trial->days, rangeOn_ ? rangeLimit_ : -1)) {
      AddEntry(i, event, *trial);
      break;
    }
  }
  if (deleted) deleted_.push_back(i);
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

void ScanPass::AddEntry(std::int64_t i, const EventFields& event, const Trial& trial) {
  const FiledDate filed = EntryDate(event, trial, today_, rangeOn_);
  entries_.Add(filed.text, filed.date, event.date, event.message, event.frequency, 0);
  sources_.push_back(i);
  ++result_.loadedCount;
  entryDays_.push_back(filed.date ? DayNumber(*filed.date) : DayNumber(today_));
  UpdateCaption();
}

// Under the lock the file is read through the descriptor the lock was won on. False
// when it is not the file the pass read: another writer came in while the user was asked.
bool ScanPass::Rewrite() {
  const WriterLock lock(fileName_, settings_.lockWait,
                        [this](std::chrono::milliseconds pause) { platform_.Pause(pause); });
  if (!lock.target().exists()) return false;
  RecordFile events(::dup(lock.target().fd()), fileName_, kRecordSize);
  const RecordLayout layout = LayoutOf(events.ByteLength(), kRecordSize, true);
  if (layout.length != layout_.length ||
      ReadRecords(events, layout, [](RecordReader&, std::int64_t, std::string_view) {}) !=
          digest_) {
    return false;
  }
  ReplacementFile copy(lock, kRecordSize);
  RecordWriter writer(copy.file(), 1);
  RecordReader reader(events);
  auto next = deleted_.begin();
  for (std::int64_t i = 1; i <= layout.records; ++i) {
    if (next != deleted_.end() && *next == i) {
      ++next;
      continue;
    }
    writer.Append(ReadPaddedRecord(reader, i, kRecordSize));
  }
  writer.Flush();
  if (layout.hasFragment()) {
    const auto fragment = events.ReadAt(layout.fragmentStart, layout.length - layout.fragmentStart);
    const auto kept = static_cast<std::uint64_t>(writer.next() - 1);
    copy.file().WriteAt(kept * kRecordSize, fragment);
  }
  events.Close();
  copy.Commit();
  rewritten_ = true;
  return true;
}

void ScanPass::KeepEverything(Kept why) {
  kept_ = why;
  deleted_.clear();
  result_.cleanedCount = 0;
}

// The record an entry names for the editor: its place in the file as the scan leaves
// it. A deleted event has none (0).
void ScanPass::NumberEntries() {
  std::size_t before = 0;  // deleted records before the entry's
  for (std::size_t k = 0; k < sources_.size(); ++k) {
    const std::int64_t i = sources_[k];
    while (rewritten_ && before < deleted_.size() && deleted_[before] < i) ++before;
    const bool gone = rewritten_ && before < deleted_.size() && deleted_[before] == i;
    entries_.SetRecordNo(k, gone ? 0 : static_cast<std::int16_t>(i - std::int64_t(before)));
  }
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

void ScanPass::TellWhatWasKept() {
  std::string text;
  switch (kept_) {
    case Kept::kNothing:
      return;
    case Kept::kReadOnly:
      text = fileName_ + " is read-only: nothing was deleted from it.";
      break;
    case Kept::kBusy:
      text = fileName_ +
             " is being changed by another program: nothing was deleted from it this time. "
             "The events due for clean-up are offered again at the next scan.";
      break;
    case Kept::kChanging:
      text = fileName_ +
             " kept changing while it was scanned: nothing was deleted from it this time. "
             "The events due for clean-up are offered again at the next scan.";
      break;
  }
  platform_.MessageBox(text, Icon::kExclamation, Buttons::kOk, "");
}

}  // namespace

ScanResult LoadEventFile(Platform& platform, const std::string& fileName, RecordFile& dueList,
                         const ScanSettings& settings, ScanView& view, DueEntries* entries) {
  return ScanPass(platform, fileName, dueList, settings, view, entries).Run();
}

}  // namespace memro
