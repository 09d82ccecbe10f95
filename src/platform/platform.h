#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace memro {

enum class Icon { kNone, kCritical, kQuestion, kExclamation, kInformation };
enum class Buttons { kOk, kYesNo, kYesNoCancel };
enum class Answer { kOk, kYes, kNo, kCancel };

struct FileDialogRequest {
  std::string title;
  std::string initialName;
  std::string filter;            // "Description|*.a *.b|Description|*.*"
  std::string defaultExtension;  // three letters, no dot
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool hideReadOnly = false;
  bool confirmOverwrite = false;
};

struct FileDialogResult {
  enum class Outcome { kChosen, kCancelled, kFailed };
  Outcome outcome = Outcome::kCancelled;
  std::string path;
};

struct FontRequest {
  std::string name;
  double size = 0;
  int minSize = 7;
  int maxSize = 20;
};

struct FontResult {
  enum class Outcome { kChosen, kCancelled, kFailed };
  Outcome outcome = Outcome::kCancelled;
  std::string name;
  double size = 0;
};

// A desktop notification, in UTF-8 plain text.
struct Notification {
  std::string summary;
  std::string body;
};

// Everything the program needs from the desktop: dialogs, sound, the pointer, the
// clock and the directories. Windows and the engine go through it, so tests can
// script every answer and record every message.
class Platform {
 public:
  virtual ~Platform() = default;

  // An empty title means the application title.
  virtual Answer MessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                            const std::string& title) = 0;
  // Cancel gives the empty text.
  virtual std::string InputBox(const std::string& prompt, const std::string& title,
                               const std::string& defaultText) = 0;
  virtual FileDialogResult OpenFileDialog(const FileDialogRequest& request) = 0;
  virtual FileDialogResult SaveFileDialog(const FileDialogRequest& request) = 0;
  virtual FontResult FontDialog(const FontRequest& request) = 0;

  virtual void ShowHelp(int context) = 0;
  // The default beep: the desktop's bell sound; silent where nothing can sound it.
  virtual void Beep() = 0;
  virtual void PlaySound(const std::filesystem::path& file) = 0;
  virtual void StopSound() = 0;

  // Nested calls are counted: the pointer is normal again when every busy section ended.
  virtual void SetBusy(bool busy) = 0;
  // Waits for another program (a lock it holds). A window keeps drawing itself and
  // answering the desktop meanwhile; the user's clicks and keys wait for the end.
  virtual void Pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

  virtual std::chrono::year_month_day Today() = 0;
  // Calls `check` whenever today's date may have changed: at least once a minute, and at
  // once when the machine resumes from suspend. A later call replaces the earlier check.
  virtual void WatchDate(std::function<void()> check) = 0;

  // Shows a desktop notification, replacing the one this run showed before. Choosing it
  // (its default action) calls `activated`. Where no notification server runs nothing
  // happens and nobody is told.
  virtual void Notify(const Notification& notification, std::function<void()> activated) = 0;

  // The desktop's autostart entry that starts the program at login: whether it is there
  // and not hidden; writing or removing it gives the failure's description, or "".
  virtual bool StartsAtLogin() = 0;
  virtual std::string SetStartAtLogin(bool on) = 0;

  virtual std::filesystem::path ProgramDirectory() = 0;     // holds MEMRX.INI
  virtual std::filesystem::path TempDirectory() = 0;        // work files
  virtual std::filesystem::path ProtectionDirectory() = 0;  // holds the password file
};

// Shows the busy pointer for the lifetime of the guard, on every exit path.
class BusyPointer {
 public:
  explicit BusyPointer(Platform& platform) : platform_(platform) { platform_.SetBusy(true); }
  ~BusyPointer() { platform_.SetBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Platform& platform_;
};

}  // namespace memro
