#include "cli/due_scan.h"

#include "cli/work_files.h"

namespace memro::cli {

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

std::optional<std::string> ReadDayOptions(Args& args, std::optional<Date>& today,
                                          ScanSettings& scan) {
  if (args.values.count("today")) {
    today = ParseIsoDate(args.values["today"]);
    if (!today) return "--today wants a date as YYYY-MM-DD, not '" + args.values["today"] + "'";
  }
  if (args.values.count("range")) {
    const auto days = ParseWholeNumber(args.values["range"]);
    if (!days) return "--range wants a whole number of days, not '" + args.values["range"] + "'";
    if (*days > 0) scan.rangeDays = std::to_string(*days);
  }
  return std::nullopt;
}

bool ScanDueEntries(Platform& platform, const std::string& file, ScanSettings scan,
                    DueEntries& entries) {
  auto dueList = CreateToolWorkFile(platform, true);
  if (!dueList) return false;
  ScanView quiet;
  // The entries come from the scan itself: the same as from the due list, without
  // writing tens of megabytes to it and reading them back.
  scan.writeDueList = false;
  const ScanResult result = LoadEventFile(platform, file, dueList->file(), scan, quiet, &entries);
  return result.result >= 1;
}

}  // namespace memro::cli
