#pragma once

#include <optional>
#include <string>

#include "cli/args.h"
#include "data/calendar.h"
#include "engine/due_entries.h"
#include "engine/scan.h"
#include "platform/platform.h"

namespace memro::cli {

// Strict YYYY-MM-DD.
std::optional<Date> ParseIsoDate(const std::string& text);
std::optional<long> ParseWholeNumber(const std::string& text);

// --today into today and --range into scan, as report and notify read them; the usage
// error's text when a value cannot be read.
std::optional<std::string> ReadDayOptions(Args& args, std::optional<Date>& today,
                                          ScanSettings& scan);

// The main window's Load of file with its due list kept in memory: false when the file
// was missing or refused (the platform has said why).
bool ScanDueEntries(Platform& platform, const std::string& file, ScanSettings scan,
                    DueEntries& entries);

}  // namespace memro::cli
