#pragma once

#include <iosfwd>
#include <optional>

#include "data/calendar.h"
#include "platform/platform.h"

namespace memro::cli {

// How the terminal answers the question whether to delete a cleaned-up event.
enum class CleanUpAnswer { kAsk, kDelete, kKeep };

// The platform of a terminal: messages go to standard error prefixed "memro-cli: ",
// questions are asked on the terminal (or answered No when there is none), and
// nothing is ever shown in a window or played.
class ConsolePlatform : public Platform {
 public:
  ConsolePlatform(std::ostream& err, CleanUpAnswer answer, std::optional<Date> today);

  Answer MessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                    const std::string& title) override;
  std::string InputBox(const std::string&, const std::string&, const std::string& d) override {
    return d;
  }
  FileDialogResult OpenFileDialog(const FileDialogRequest&) override { return {}; }
  FileDialogResult SaveFileDialog(const FileDialogRequest&) override { return {}; }
  FontResult FontDialog(const FontRequest&) override { return {}; }
  void ShowHelp(int) override {}
  void Beep() override {}
  void PlaySound(const std::filesystem::path&) override {}
  void StopSound() override {}
  void SetBusy(bool) override {}
  std::chrono::year_month_day Today() override;
  // A terminal run ends before the date could change.
  void WatchDate(std::function<void()>) override {}
  // Sends the notification and waits, for a bounded time, until the server has it; with
  // `activated`, also while it may be chosen, until the end of the day at most.
  void Notify(const Notification& notification, std::function<void()> activated) override;
  bool StartsAtLogin() override { return false; }
  std::string SetStartAtLogin(bool) override { return "memro-cli does not start at login."; }
  std::filesystem::path ProgramDirectory() override;
  std::filesystem::path TempDirectory() override;
  std::filesystem::path ProtectionDirectory() override { return ProgramDirectory(); }

  void Error(const std::string& text);

 private:
  Answer AskTerminal(const std::string& prompt, Buttons buttons);

  std::ostream& err_;
  CleanUpAnswer answer_;
  std::optional<Date> today_;
};

}  // namespace memro::cli
