#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/due_scan.h"
#include "cli/terminal_text.h"
#include "data/holds_events.h"
#include "data/same_file.h"
#include "engine/report.h"

namespace memro::cli {
namespace {

struct ReportOptions {
  std::string file;
  std::optional<Date> today;
  ScanSettings scan;
  CleanUpAnswer cleanUp = CleanUpAnswer::kAsk;
  std::optional<std::string> output;
};

std::optional<std::string> ReadOptions(const std::vector<std::string>& words, ReportOptions& o) {
  Args args;
  if (auto error = ParseArgs(words, {"today", "range", "clean-up", "output"}, {"dry-run"}, args)) {
    return error;
  }
  if (args.positional.size() != 1) return "report takes exactly one FILE";
  o.file = args.positional[0];
  if (auto error = ReadDayOptions(args, o.today, o.scan)) return error;
  if (args.values.count("clean-up")) {
    const std::string& how = args.values["clean-up"];
    if (how == "ask") {
      o.cleanUp = CleanUpAnswer::kAsk;
    } else if (how == "delete") {
      o.cleanUp = CleanUpAnswer::kDelete;
    } else if (how == "keep") {
      o.cleanUp = CleanUpAnswer::kKeep;
    } else {
      return "--clean-up wants ask, delete or keep, not '" + how + "'";
    }
  }
  // Deleting without a question is what the main window does with confirmation off.
  o.scan.confirmCleanUp = o.cleanUp != CleanUpAnswer::kDelete;
  o.scan.rewrite = !args.flags.count("dry-run");
  if (args.values.count("output")) o.output = args.values["output"];
  return std::nullopt;
}

}  // namespace

int RunReport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
              bool outIsTerminal) {
  ReportOptions options;
  if (auto error = ReadOptions(words, options)) return UsageError(err, *error);
  ConsolePlatform platform(err, options.cleanUp, options.today);
  // Checked before the scan: a report that would replace its events changes nothing.
  if (options.output && SameFile(*options.output, options.file)) {
    platform.Error("the report cannot be written over its own event file " + options.file +
                   "; choose another --output.");
    return kExitFailed;
  }
  if (options.output && FileHoldsEvents(*options.output)) {
    platform.Error("the report would replace the events in " + *options.output +
                   "; choose another --output.");
    return kExitFailed;
  }
  // The report is made from the scan's own entries: the same bytes as from the due list.
  DueEntries entries;
  if (!ScanDueEntries(platform, options.file, options.scan, entries)) return kExitFailed;
  const Date today = platform.Today();
  const bool rangeOn = !options.scan.rangeDays.empty();
  if (!options.output) {
    if (outIsTerminal) {
      // An event's text (an imported title, say) could otherwise retitle or clear it.
      std::ostringstream text;
      WriteReport(text, entries, today, rangeOn, true);
      out << TerminalSafe(text.str());
    } else {
      WriteReport(out, entries, today, rangeOn, true);
    }
    out.flush();
    return out ? kExitOk : kExitFailed;
  }
  std::ofstream file(*options.output, std::ios::binary | std::ios::trunc);
  if (file) WriteReport(file, entries, today, rangeOn);
  file.close();
  if (!file) {
    platform.Error("cannot write the report to " + *options.output + ": " +
                   std::string(std::strerror(errno)));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace memro::cli
