#include "data/editor_load.h"

#include "data/event_file.h"
#include "data/file_state.h"
#include "data/fixed_texts.h"
#include "data/text_entry.h"

namespace memro {
namespace {

// A load that stops; message is what the user is shown with the critical icon, or for a
// failure of the store the system's description of it, told with the caller's advice.
struct LoadFailure {
  std::string message;
  bool store = false;
};

LoadFailure StoreFailure(const std::string& description) { return {description, true}; }

std::string FailureMessage(const LoadFailure& failure, const std::string& storeAdvice) {
  if (!failure.store) return failure.message;
  return failure.message + " while attempting to create temporary file.\r\n" +
         (storeAdvice.empty() ? "Please restart " + Texts().productTitle : storeAdvice);
}

void Caption(const EditorLoadTarget& target, const std::string& text) {
  if (target.setCaption) target.setCaption(text);
}

// The event file as records of recordSize, with the count of those the load takes in.
struct OpenedRecords {
  RecordFile file;
  RecordLayout layout;
  std::int64_t events() const { return layout.records - 1; }
};

OpenedRecords OpenRecords(const std::string& fileName, std::size_t recordSize) {
  try {
    RecordFile file(fileName, recordSize, RecordFile::Mode::kRead);
    // Detection found the signature, so even a file shorter than half a record
    // counts as its header.
    const RecordLayout layout = LayoutOf(file.ByteLength(), recordSize, true);
    return {std::move(file), layout};
  } catch (const FileError& e) {
    throw StoreFailure(e.description());
  }
}

void RefuseIfTooMany(const std::string& fileName, std::int64_t events) {
  if (events > kMaxEvents) throw LoadFailure{TooManyEventsMessage(fileName, events)};
}

std::string ReadRecord(OpenedRecords& source, std::int64_t n, const std::string& fileName) {
  try {
    return ReadPaddedRecord(source.file, n);
  } catch (const FileError& e) {
    throw LoadFailure{e.description() + " while reading " + fileName};
  }
}

void WriteToStore(WorkFile& store, std::int64_t n, const std::string& bytes) {
  try {
    store.file().Write(n, bytes);
  } catch (const FileError& e) {
    throw StoreFailure(e.description());
  }
}

// The 2.01/3.0 record has no clean-up flag, and its second number is not the
// frequency of this program, so both come from elsewhere.
EventRecord FromOldRecord(std::string_view bytes, const RecordDefaults& defaults) {
  EventRecord record;
  record.date.assign(bytes.substr(0, kDateSize));
  record.message.assign(bytes.substr(kDateSize, kMessageSize));
  record.warnDays = ReadInt16(bytes, 1009);
  record.frequency = defaults.frequency;
  record.enabled = ReadInt16(bytes, 1013);
  record.backdated = ReadInt16(bytes, 1015);
  record.cleanUp = 0;
  return record;
}

std::int64_t CopyCurrent(Platform& platform, const std::string& fileName,
                         EditorLoadTarget& target) {
  BusyPointer busy(platform);
  OpenedRecords source = OpenRecords(fileName, kRecordSize);
  RefuseIfTooMany(fileName, source.events());
  Caption(target, "Opening " + fileName + "...");
  for (std::int64_t n = 2; n <= source.layout.records; ++n) {
    WriteToStore(target.store, n, ReadRecord(source, n, fileName));
  }
  return source.events();
}

std::int64_t ConvertOld(Platform& platform, const std::string& fileName, EditorLoadTarget& target) {
  OpenedRecords source = OpenRecords(fileName, kOldRecordSize);
  RefuseIfTooMany(fileName, source.events());
  platform.MessageBox(ConversionNotice(fileName, FileFormat::kOld), Icon::kNone, Buttons::kOk,
                      Texts().productTitle + " Editor");
  BusyPointer busy(platform);
  Caption(target, "Converting " + fileName + "...");
  for (std::int64_t n = 2; n <= source.layout.records; ++n) {
    const std::string old = ReadRecord(source, n, fileName);
    WriteToStore(target.store, n, FromOldRecord(old, target.defaults).ToBytes());
  }
  return source.events();
}

std::int64_t ConvertText(Platform& platform, const std::string& fileName, FileFormat format,
                         EditorLoadTarget& target) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(fileName, ec);
  if (!ec && size > kMaxEventFileBytes) throw LoadFailure{TooLargeMessage(fileName, size)};
  platform.MessageBox(ConversionNotice(fileName, format), Icon::kNone, Buttons::kOk,
                      Texts().productTitle + " Editor");
  BusyPointer busy(platform);
  Caption(target, "Converting " + fileName + "...");
  std::int64_t count = 0;
  try {
    LineReader lines(fileName);
    while (!lines.AtEnd()) {
      const auto record = ReadTextEntry(lines, target.defaults, target.currentYear);
      if (!record) continue;
      // Past the limit the entries are only counted, for the refusal's message.
      if (count < kMaxEvents) WriteToStore(target.store, count + 2, record->ToBytes());
      ++count;
    }
  } catch (const TextReadError& e) {
    throw StoreFailure(e.what());
  }
  RefuseIfTooMany(fileName, count);
  return count;
}

std::int64_t LoadByFormat(Platform& platform, const std::string& fileName, FileFormat format,
                          EditorLoadTarget& target) {
  switch (format) {
    case FileFormat::kCurrent:
      return CopyCurrent(platform, fileName, target);
    case FileFormat::kOld:
      return ConvertOld(platform, fileName, target);
    default:
      return ConvertText(platform, fileName, format, target);
  }
}

}  // namespace

std::string ConversionNotice(const std::string& fileName, FileFormat format) {
  const auto& t = Texts();
  const std::string origin = format == FileFormat::kOld
                                 ? t.productTitle.substr(0, 6) + "2.01 or 3.0"
                                 : t.legacyTitle + "x";
  return fileName + " is of " + origin + " format.\r\nIt will be converted to " + t.productTitle +
         " format when saved.";
}

std::int16_t LoadEventFileForEditor(Platform& platform, const std::string& fileName,
                                    EditorLoadTarget& target, std::int64_t& loadedCount,
                                    const std::string& storeAdvice) {
  if (!CheckEventFileExists(platform, fileName)) return 0;
  // Told as it is: a file that cannot be read would pass for one of the text format.
  if (const int denied = ReadDenied(fileName)) {
    platform.MessageBox(ErrorText(denied) + " while reading " + fileName, Icon::kCritical,
                        Buttons::kOk, "");
    return 0;
  }
  FileFormat format;
  {
    BusyPointer busy(platform);
    format = DetectFormat(fileName);
  }
  try {
    loadedCount = LoadByFormat(platform, fileName, format, target);
  } catch (const LoadFailure& failure) {
    platform.MessageBox(FailureMessage(failure, storeAdvice), Icon::kCritical, Buttons::kOk, "");
    return 0;
  }
  // A text file detection could not read is still converted as text.
  return static_cast<std::int16_t>(format == FileFormat::kNotRecognised ? FileFormat::kText
                                                                        : format);
}

}  // namespace memro
