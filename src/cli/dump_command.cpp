#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/editor_open.h"
#include "data/codepage.h"
#include "data/event_record.h"

namespace memro::cli {
namespace {

std::string RightTrimmed(const std::string& field) {
  const auto end = field.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : field.substr(0, end + 1);
}

nlohmann::ordered_json FrequencyName(std::int16_t code) {
  static const char* const kNames[] = {"yearly", "monthly", "weekly", "daily", "once"};
  if (code >= 0 && code <= 4) return kNames[code];
  return code;
}

nlohmann::ordered_json EventJson(std::int64_t recordNo, const EventRecord& e) {
  nlohmann::ordered_json j;
  j["record"] = recordNo;
  j["date"] = Cp1252ToUtf8(RightTrimmed(e.date));
  j["message"] = Cp1252ToUtf8(RightTrimmed(e.message));
  j["warn_days"] = e.warnDays;
  j["frequency"] = FrequencyName(e.frequency);
  j["enabled"] = e.enabled != 0;
  j["backdated"] = e.backdated != 0;
  j["clean_up"] = e.cleanUp != 0;
  return j;
}

}  // namespace

int RunDump(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  Args args;
  if (auto error = ParseArgs(words, {}, {}, args)) return UsageError(err, *error);
  if (args.positional.size() != 1) return UsageError(err, "dump takes exactly one FILE");
  ConsolePlatform platform(err, CleanUpAnswer::kKeep, std::nullopt);
  OpenedStore opened = OpenAsEditor(platform, args.positional[0]);
  if (opened.format == 0) return kExitFailed;
  std::string bytes;
  try {
    for (std::int64_t n = 2; n <= opened.count + 1; ++n) {
      opened.store->file().Read(n, bytes);
      out << EventJson(n, EventRecord::FromBytes(bytes)).dump(-1, ' ', false) << '\n';
    }
  } catch (const FileError& e) {
    platform.Error(e.description() + " while reading the events");
    return kExitFailed;
  }
  out.flush();
  return out ? kExitOk : kExitFailed;
}

}  // namespace memro::cli
