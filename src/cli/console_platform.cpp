#include "cli/console_platform.h"

#include <unistd.h>

#include <ctime>
#include <iostream>
#include <string>

#include "platform/directories.h"

namespace memro::cli {
namespace {

std::string WithUnixLineEnds(std::string text) {
  std::string::size_type pos = 0;
  while ((pos = text.find("\r\n", pos)) != std::string::npos) text.erase(pos, 1);
  return text;
}

}  // namespace

ConsolePlatform::ConsolePlatform(std::ostream& err, CleanUpAnswer answer, std::optional<Date> today)
    : err_(err), answer_(answer), today_(today) {}

void ConsolePlatform::Error(const std::string& text) {
  err_ << "memro-cli: " << WithUnixLineEnds(text) << '\n';
  err_.flush();
}

Answer ConsolePlatform::MessageBox(const std::string& prompt, Icon, Buttons buttons,
                                   const std::string&) {
  if (buttons == Buttons::kOk) {
    Error(prompt);
    return Answer::kOk;
  }
  return AskTerminal(prompt, buttons);
}

Answer ConsolePlatform::AskTerminal(const std::string& prompt, Buttons buttons) {
  if (answer_ == CleanUpAnswer::kDelete) return Answer::kYes;
  if (answer_ == CleanUpAnswer::kKeep || !::isatty(STDIN_FILENO)) {
    return buttons == Buttons::kYesNoCancel ? Answer::kCancel : Answer::kNo;
  }
  err_ << "memro-cli: " << WithUnixLineEnds(prompt) << "\n[y/N] ";
  err_.flush();
  std::string reply;
  if (!std::getline(std::cin, reply)) return Answer::kNo;
  return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y') ? Answer::kYes : Answer::kNo;
}

std::chrono::year_month_day ConsolePlatform::Today() {
  if (today_) return *today_;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return Date{std::chrono::year{local.tm_year + 1900},
              std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
              std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

std::filesystem::path ConsolePlatform::ProgramDirectory() { return DefaultProgramDirectory(); }

std::filesystem::path ConsolePlatform::TempDirectory() {
  return DefaultTempDirectory(DefaultProgramDirectory());
}

}  // namespace memro::cli
