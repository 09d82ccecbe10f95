// The File menu's iCalendar commands: events of another calendar program appended to
// the editor's records, and the records written as a calendar for one.
#include <filesystem>

#include "data/fixed_texts.h"
#include "data/holds_events.h"
#include "data/same_file.h"
#include "data/writer_lock.h"
#include "editor/editor_window.h"
#include "ical/calendar_export.h"
#include "ical/calendar_file.h"
#include "ical/calendar_import.h"
#include "settings/settings.h"

namespace memro {
namespace {

constexpr const char* kCalendarFilter = "iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*";
constexpr std::size_t kNotesShown = 10;

FileDialogRequest CalendarRequest(const std::string& title) {
  FileDialogRequest request;
  request.title = title;
  request.filter = kCalendarFilter;
  request.defaultExtension = "ICS";
  request.pathMustExist = request.hideReadOnly = true;
  return request;
}

// What the import left out or changed, and the count; nothing when all went in as it was.
std::string ImportReport(const std::string& file, const ical::ImportResult& result) {
  if (result.notes.empty() && !result.events.empty() && !result.readAsWindows1252) return {};
  std::string text = file + ": " + ical::CountLine(result) + ".";
  if (result.readAsWindows1252) {
    text += '\n';  // appended: GCC 12 -O3 falsely reports -Wrestrict for "\n" + …
    text += ical::EncodingWarning(file, result);
  }
  for (std::size_t i = 0; i < result.notes.size() && i < kNotesShown; ++i) {
    text += '\n';
    text += ical::NoteLine(result.notes[i]);
  }
  if (result.notes.size() > kNotesShown) {
    text += "\n(and ";
    text += std::to_string(result.notes.size() - kNotesShown + result.notesLeftOut);
    text += " more)";
  }
  return text;
}

// Why a calendar must not be written to path, empty when it may: it would replace the
// events of the editor's file, of the main window's, or of any other event file.
std::string CalendarRefusal(const std::string& path, std::string editorFile, std::string mainFile) {
  for (std::string* file : {&editorFile, &mainFile}) {
    if (file->starts_with('+')) file->erase(0, 1);
  }
  if (!editorFile.empty() && SameFile(path, editorFile)) {
    return path + " is the event file itself; choose another name for the calendar.";
  }
  if ((!mainFile.empty() && SameFile(path, mainFile)) || FileHoldsEvents(path)) {
    return "The calendar would replace the events in " + path +
           ". Please choose another name for the calendar.";
  }
  return {};
}

}  // namespace

// The shown record is stored first, as before every File command that needs the records.
bool EditorWindow::StoreBeforeCalendar() {
  if (!HasRecordToStore()) return true;
  const StoreResult result = StoreCurrentRecord();
  if (result == StoreResult::kInvalidDate) SelectDate();
  return result == StoreResult::kStored;
}

// The events come after the last record as unsaved changes, the first of them shown.
void EditorWindow::ImportCalendar() {
  if (!StoreBeforeCalendar()) return;
  FileDialogRequest request = CalendarRequest("Import iCalendar");
  request.fileMustExist = true;
  const FileDialogResult chosen = platform_.OpenFileDialog(request);
  if (chosen.outcome != FileDialogResult::Outcome::kChosen) return;
  ical::ImportResult result;
  try {
    result =
        ical::ImportCalendar(ical::ReadCalendarFile(chosen.path), host_.ProgramSettings().defaults);
  } catch (const FileError& e) {
    Box(e.description() + " while reading " + chosen.path, Icon::kCritical, Buttons::kOk, "");
    return;
  } catch (const ical::CalendarRefused& e) {
    Box(std::string(e.what()) + ".", Icon::kExclamation, Buttons::kOk, "");
    return;
  }
  if (result.error) {
    Box(chosen.path + " " + *result.error + ".", Icon::kExclamation, Buttons::kOk, "");
    return;
  }
  const std::size_t count = result.events.size();
  if (s_.recCount + count > static_cast<std::size_t>(kMaxEvents)) {
    // Past the limit the import stopped counting.
    Box("An event file holds at most " + std::to_string(kMaxEvents) + " events; " +
            (result.overLimit ? "more than " : "") + std::to_string(count - result.overLimit) +
            " more do not fit.",
        Icon::kExclamation, Buttons::kOk, "");
    return;
  }
  if (!AppendToStore(result.events)) return;
  if (const std::string report = ImportReport(chosen.path, result); !report.empty()) {
    Box(report, count > 0 ? Icon::kInformation : Icon::kExclamation, Buttons::kOk, "");
  }
}

bool EditorWindow::AppendToStore(const std::vector<EventRecord>& events) {
  if (events.empty()) return true;
  const int first = s_.recCount + 1;
  try {
    if (!store_) throw FileError(EBADF, "no record store");
    for (std::size_t i = 0; i < events.size(); ++i) {
      store_->file().Write(first + 1 + static_cast<std::int64_t>(i), events[i].ToBytes());
    }
  } catch (const FileError& e) {
    Box(e.description(), Icon::kCritical, Buttons::kOk, "");
    return false;
  }
  s_.recCount = static_cast<std::int16_t>(s_.recCount + events.size());
  SetPositionQuietly(first, s_.recCount);
  if (ShowRecord(first)) s_.curRec = static_cast<std::int16_t>(first);
  SetRecordsMenu(true);
  UpdateRecordCaption();
  s_.fileChanged = true;
  return true;
}

// The records as they stand, saved or not; no event file is ever the target.
void EditorWindow::ExportCalendar() {
  if (!StoreBeforeCalendar()) return;
  FileDialogRequest request = CalendarRequest("Export iCalendar");
  request.confirmOverwrite = true;
  if (!s_.fileName.empty()) {
    request.initialName = std::filesystem::path(s_.fileName).replace_extension(".ics").string();
  }
  const FileDialogResult chosen = platform_.SaveFileDialog(request);
  if (chosen.outcome != FileDialogResult::Outcome::kChosen) return;
  std::string failure;
  Icon icon = Icon::kCritical;
  try {
    failure = CalendarRefusal(chosen.path, s_.fileName, host_.CurrentFile());
    if (!failure.empty()) {
      icon = Icon::kExclamation;
    } else {
      BusyPointer busy(platform_);
      const std::vector<EventRecord> events = s_.recCount > 0 && store_
                                                  ? ical::StoreEvents(store_->file(), s_.recCount)
                                                  : std::vector<EventRecord>{};
      const int year = static_cast<int>(platform_.Today().year());
      ical::WriteCalendarFile(chosen.path,
                              ical::ExportCalendar(events, {ical::ExportStamp(), year}));
    }
  } catch (const FileBusyError& e) {
    failure = e.message();
    icon = Icon::kExclamation;
  } catch (const FileError& e) {
    failure = e.description() + " while exporting to " + chosen.path;
  }
  if (!failure.empty()) Box(failure, icon, Buttons::kOk, "");
}

}  // namespace memro
