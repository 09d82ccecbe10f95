#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/event_append.h"
#include "ical/calendar_file.h"
#include "ical/calendar_import.h"
#include "settings/settings.h"

namespace memro::cli {

int RunImport(const std::vector<std::string>& words, std::ostream&, std::ostream& err) {
  Args args;
  if (auto error = ParseArgs(words, {}, {}, args)) return UsageError(err, *error);
  if (args.positional.size() != 2) return UsageError(err, "import takes IN.ics and FILE");
  const std::string& in = args.positional[0];
  const std::string& file = args.positional[1];
  ConsolePlatform platform(err, CleanUpAnswer::kKeep, std::nullopt);
  std::string text;
  try {
    text = ical::ReadCalendarFile(in);
  } catch (const FileError& e) {
    platform.Error(e.description() + " while reading " + in);
    return kExitFailed;
  } catch (const ical::CalendarRefused& e) {
    platform.Error(std::string(e.what()) + "; " + file + " is left as it was.");
    return kExitFailed;
  }
  // Fields a foreign event does not say come from the user's defaults for new events.
  const Settings settings = LoadSettings(SettingsFilePath(platform), {}, {});
  const ical::ImportResult result = ical::ImportCalendar(text, settings.defaults);
  if (result.error) {
    platform.Error(in + " " + *result.error + "; " + file + " is left as it was.");
    return kExitFailed;
  }
  if (result.overLimit) {
    platform.Error(in + " holds more than " + std::to_string(kMaxEvents) +
                   " events, more than one event file holds: export it in smaller parts; " + file +
                   " is left as it was.");
    return kExitFailed;
  }
  if (result.readAsWindows1252) platform.Error(ical::EncodingWarning(in, result));
  for (const ical::ImportNote& note : result.notes) platform.Error(ical::NoteLine(note));
  if (result.notesLeftOut > 0) {
    platform.Error("and " + std::to_string(result.notesLeftOut) + " more notes like these");
  }
  // Nothing to take in although there were events: the file stays as it was.
  if (result.events.empty() && result.skipped > 0) {
    platform.Error(ical::CountLine(result));
    return kExitFailed;
  }
  if (!AppendEvents(platform, file, result.events, "importing into")) return kExitFailed;
  platform.Error(ical::CountLine(result));
  return kExitOk;
}

}  // namespace memro::cli
