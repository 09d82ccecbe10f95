#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/due_scan.h"
#include "engine/due_notification.h"
#include "settings/settings.h"

namespace memro::cli {

int RunNotify(const std::vector<std::string>& words, std::ostream&, std::ostream& err) {
  Args args;
  if (auto error = ParseArgs(words, {"today", "range"}, {}, args)) return UsageError(err, *error);
  if (args.positional.size() > 1) return UsageError(err, "notify takes at most one FILE");
  std::optional<Date> today;
  ScanSettings scan;
  if (auto error = ReadDayOptions(args, today, scan)) return UsageError(err, *error);
  // A look at the file, as report --dry-run takes: nothing deleted, nothing asked.
  scan.rewrite = false;
  ConsolePlatform platform(err, CleanUpAnswer::kKeep, today);
  std::string file;
  if (!args.positional.empty()) {
    file = args.positional[0];
  } else {
    // What the main window loads at its start, for the scheduled check.
    file = LoadSettings(SettingsFilePath(platform), {}, {}).autoLoad;
    if (file.empty()) {
      std::string text = "no FILE given, and no AutoLoad file is set in ";
      text += SettingsFilePath(platform).string();
      text += " (Memro's Options > AutoLoad sets one).";
      platform.Error(text);
      return kExitFailed;
    }
  }
  DueEntries entries;
  if (!ScanDueEntries(platform, file, scan, entries)) return kExitFailed;
  if (entries.size() == 0) return kExitOk;
  const bool rangeOn = !scan.rangeDays.empty();
  // Nobody is left to act on a choice once this process has ended: no action.
  platform.Notify(DueNotification(entries, platform.Today(), rangeOn), {});
  return kExitOk;
}

}  // namespace memro::cli
