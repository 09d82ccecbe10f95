#include <QString>
#include <filesystem>
#include <functional>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/due_scan.h"
#include "engine/due_notification.h"
#include "platform/qt/program_bus.h"
#include "settings/settings.h"

namespace memro::cli {
namespace {

// A program started by D-Bus activation answers once its window exists.
constexpr int kProgramStartWaitMs = 25000;

}  // namespace

int RunNotify(const std::vector<std::string>& words, std::ostream&, std::ostream& err) {
  Args args;
  if (auto error = ParseArgs(words, {"today", "range"}, {"wait"}, args)) {
    return UsageError(err, *error);
  }
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
  // Once this process has ended nobody hears the server say that the notification was
  // chosen; the server itself starts nothing (only some do, and those open no file). So
  // with --wait (the scheduled check) the process stays while its notification may be
  // chosen, and then asks the session bus for the program on FILE: org.memro.Memro's
  // org.freedesktop.Application.Open, which starts Memro by D-Bus activation when no
  // copy runs and hands the file to the one that does. Without --wait, no action.
  std::function<void()> open;
  if (args.flags.contains("wait")) {
    open = [path = QString::fromStdString(std::filesystem::absolute(file).string())] {
      AskProgram(path, true, kProgramStartWaitMs);
    };
  }
  platform.Notify(DueNotification(entries, platform.Today(), rangeOn), std::move(open));
  return kExitOk;
}

}  // namespace memro::cli
