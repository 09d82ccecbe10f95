#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "data/same_file.h"
#include "data/work_file.h"
#include "engine/report.h"
#include "engine/scan.h"

namespace memro::cli {
namespace {

// Strict YYYY-MM-DD.
std::optional<Date> ParseIsoDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  const Date date{std::chrono::year{std::stoi(text.substr(0, 4))},
                  std::chrono::month{static_cast<unsigned>(std::stoi(text.substr(5, 2)))},
                  std::chrono::day{static_cast<unsigned>(std::stoi(text.substr(8, 2)))}};
  if (!date.ok() || int(date.year()) < 1) return std::nullopt;
  return date;
}

std::optional<long> ParseWholeNumber(const std::string& text) {
  std::size_t used = 0;
  try {
    const long value = std::stol(text, &used);
    if (used == text.size()) return value;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

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
  if (args.values.count("today")) {
    o.today = ParseIsoDate(args.values["today"]);
    if (!o.today) return "--today wants a date as YYYY-MM-DD, not '" + args.values["today"] + "'";
  }
  if (args.values.count("range")) {
    const auto days = ParseWholeNumber(args.values["range"]);
    if (!days) return "--range wants a whole number of days, not '" + args.values["range"] + "'";
    if (*days > 0) o.scan.rangeDays = std::to_string(*days);
  }
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

int RunReport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  ReportOptions options;
  if (auto error = ReadOptions(words, options)) return UsageError(err, *error);
  ConsolePlatform platform(err, options.cleanUp, options.today);
  // Checked before the scan: a report that would replace its events changes nothing.
  if (options.output && SameFile(*options.output, options.file)) {
    platform.Error("the report cannot be written over its own event file " + options.file +
                   "; choose another --output.");
    return kExitFailed;
  }
  auto dueList = CreateWorkFile(platform, true);
  if (!dueList) return kExitFailed;
  ScanView quiet;
  // The report is made from the scan's own entries: the same bytes as from the due
  // list, without writing tens of megabytes to it and reading them back.
  options.scan.writeDueList = false;
  DueEntries entries;
  const ScanResult scan =
      LoadEventFile(platform, options.file, dueList->file(), options.scan, quiet, &entries);
  if (scan.result < 1) return kExitFailed;
  const Date today = platform.Today();
  const bool rangeOn = !options.scan.rangeDays.empty();
  if (!options.output) {
    WriteReport(out, entries, today, rangeOn, true);
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
