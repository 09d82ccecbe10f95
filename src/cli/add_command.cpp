#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/event_append.h"
#include "data/codepage.h"
#include "data/date_parse.h"
#include "data/event_record.h"

namespace memro::cli {
namespace {

std::optional<std::int16_t> FrequencyCode(const std::string& name) {
  static const char* const kNames[] = {"yearly", "monthly", "weekly", "daily", "once"};
  for (std::int16_t i = 0; i < 5; ++i) {
    if (name == kNames[i]) return i;
  }
  return std::nullopt;
}

std::optional<std::int16_t> WarnDays(const std::string& text) {
  std::size_t used = 0;
  try {
    const long value = std::stol(text, &used);
    if (used == text.size() && value >= -32768 && value <= 32767) {
      return static_cast<std::int16_t>(value);
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// Stored messages break lines with CR LF, whatever the terminal typed.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

// Builds the event from the options; an error text for anything it cannot read.
std::optional<std::string> BuildEvent(Args& args, int currentYear, EventRecord& event,
                                      bool& lossy) {
  if (!args.values.count("date") || !args.values.count("message")) {
    return "add needs --date DATE and --message TEXT";
  }
  const auto date = ParseDate(args.values["date"], currentYear);
  if (!date) return "cannot read the date '" + args.values["date"] + "'";
  const Cp1252Text message = Utf8ToCp1252(WithCrLf(args.values["message"]));
  if (message.bytes.size() > kMessageSize) {
    return "the message is " + std::to_string(message.bytes.size()) +
           " characters long; at most 1000 fit";
  }
  lossy = !message.lossless;
  event.SetDate(FormatStored(*date));
  event.SetMessage(message.bytes);
  event.frequency = kYearly;
  if (args.values.count("frequency")) {
    const auto code = FrequencyCode(args.values["frequency"]);
    if (!code) return "unknown frequency '" + args.values["frequency"] + "'";
    event.frequency = *code;
  }
  event.warnDays = 7;
  if (args.values.count("warn")) {
    const auto warn = WarnDays(args.values["warn"]);
    if (!warn) return "--warn wants a whole number of days, not '" + args.values["warn"] + "'";
    event.warnDays = *warn;
  }
  event.enabled = args.flags.count("disabled") ? 0 : 1;
  event.backdated = args.flags.count("no-backdated") ? 0 : 1;
  event.cleanUp = args.flags.count("clean-up") ? 1 : 0;
  return std::nullopt;
}

}  // namespace

int RunAdd(const std::vector<std::string>& words, std::ostream&, std::ostream& err) {
  Args args;
  if (auto error = ParseArgs(words, {"date", "message", "frequency", "warn"},
                             {"disabled", "no-backdated", "clean-up"}, args)) {
    return UsageError(err, *error);
  }
  if (args.positional.size() != 1) return UsageError(err, "add takes exactly one FILE");
  const std::string file = args.positional[0];
  ConsolePlatform platform(err, CleanUpAnswer::kKeep, std::nullopt);
  EventRecord event;
  bool lossy = false;
  if (auto error = BuildEvent(args, int(platform.Today().year()), event, lossy)) {
    return UsageError(err, *error);
  }
  if (!AppendEvents(platform, file, {event}, "adding to")) return kExitFailed;
  if (lossy) platform.Error("warning: characters the event file cannot hold were stored as '?'");
  return kExitOk;
}

}  // namespace memro::cli
