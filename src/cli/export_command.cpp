#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/editor_open.h"
#include "data/holds_events.h"
#include "data/same_file.h"
#include "data/writer_lock.h"
#include "ical/calendar_export.h"
#include "ical/calendar_file.h"

namespace memro::cli {

int RunExport(const std::vector<std::string>& words, std::ostream&, std::ostream& err) {
  Args args;
  if (auto error = ParseArgs(words, {}, {}, args)) return UsageError(err, *error);
  if (args.positional.size() != 2) return UsageError(err, "export takes FILE and OUT.ics");
  const std::string& file = args.positional[0];
  const std::string& out = args.positional[1];
  ConsolePlatform platform(err, CleanUpAnswer::kKeep, std::nullopt);
  try {
    // The calendar would replace the only copy of the events.
    if (SameFile(file, out)) {
      platform.Error(out + " is the event file itself; choose another name for the calendar.");
      return kExitFailed;
    }
    if (FileHoldsEvents(out)) {
      platform.Error("the calendar would replace the events in " + out +
                     "; choose another name for the calendar.");
      return kExitFailed;
    }
    OpenedStore opened = OpenAsEditor(platform, file);
    if (opened.format == 0) return kExitFailed;
    const auto events = ical::StoreEvents(opened.store->file(), opened.count);
    const int year = static_cast<int>(platform.Today().year());
    ical::WriteCalendarFile(out, ical::ExportCalendar(events, {ical::ExportStamp(), year}));
  } catch (const FileBusyError& e) {
    platform.Error(e.message());
    return kExitFailed;
  } catch (const FileError& e) {
    platform.Error(e.description() + " while exporting to " + out);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace memro::cli
