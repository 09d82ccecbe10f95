#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace memro::testing {

// A scripted platform: answers come from queues, everything shown is recorded.
class FakePlatform : public Platform {
 public:
  struct Message {
    std::string prompt;
    Icon icon;
    Buttons buttons;
    std::string title;
  };

  explicit FakePlatform(const std::filesystem::path& home);

  Answer MessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                    const std::string& title) override;
  std::string InputBox(const std::string& prompt, const std::string& title,
                       const std::string& defaultText) override;
  FileDialogResult OpenFileDialog(const FileDialogRequest& request) override;
  FileDialogResult SaveFileDialog(const FileDialogRequest& request) override;
  FontResult FontDialog(const FontRequest& request) override;
  void ShowHelp(int context) override { helpShown.push_back(context); }
  void Beep() override { ++beeps; }
  void PlaySound(const std::filesystem::path& file) override { soundsPlayed.push_back(file); }
  void StopSound() override { ++soundsStopped; }
  void SetBusy(bool busy) override;
  void Pause(std::chrono::milliseconds duration) override;
  std::chrono::year_month_day Today() override { return today; }
  void WatchDate(std::function<void()> check) override { dateCheck = std::move(check); }
  void Notify(const Notification& notification, std::function<void()> activated) override {
    notifications.push_back(notification);
    notificationActivated = std::move(activated);
  }
  bool StartsAtLogin() override { return startsAtLogin; }
  std::string SetStartAtLogin(bool on) override;
  std::filesystem::path ProgramDirectory() override { return programDir; }
  std::filesystem::path TempDirectory() override { return tempDir; }
  std::filesystem::path ProtectionDirectory() override { return protectionDir; }

  // Runs while a message box is open, before it is answered: the test acts as the rest
  // of the world would meanwhile.
  std::function<void(const Message&)> onMessage;

  // Scripted answers; an empty queue answers OK/No, the default text, or Cancel.
  std::deque<Answer> answers;
  std::deque<std::string> inputs;
  std::deque<FileDialogResult> fileDialogs;
  std::deque<FontResult> fontDialogs;

  // What the program did.
  std::vector<Message> messages;
  std::vector<std::string> inputPrompts;
  std::vector<std::string> inputTitles;
  std::vector<FileDialogRequest> fileRequests;
  std::vector<FontRequest> fontRequests;
  std::vector<int> helpShown;
  std::vector<std::filesystem::path> soundsPlayed;
  std::vector<Notification> notifications;
  std::vector<bool> startAtLoginRequests;
  int beeps = 0;
  int soundsStopped = 0;
  int busyDepth = 0;
  int maxBusyDepth = 0;
  int pauses = 0;
  int busyDepthInPause = 0;  // the busy pointer's depth during the last pause

  std::chrono::year_month_day today{std::chrono::year{2026}, std::chrono::December,
                                    std::chrono::day{8}};
  // The date-change source: tests move `today` and call dateCheck, as the clock or a
  // resume from suspend would.
  std::function<void()> dateCheck;
  // The default action of the latest notification, as the notification server runs it.
  std::function<void()> notificationActivated;
  bool startsAtLogin = false;
  std::string startAtLoginError;  // what SetStartAtLogin fails with; empty: it works
  std::filesystem::path programDir;
  std::filesystem::path tempDir;
  std::filesystem::path protectionDir;
};

// A fresh directory under the system temp directory, removed on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& file);
// The names in dir, sorted, hidden ones too: what a writer left beside a file.
std::vector<std::string> NamesIn(const std::filesystem::path& dir);
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace memro::testing
