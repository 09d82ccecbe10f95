#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/platform.h"
#include "platform/qt/bell_sound.h"
#include "platform/qt/desktop_notifier.h"
#include "platform/qt/sound_player.h"

namespace memro {

class DateWatch;
class HelpWindow;

// The platform on a Qt desktop. Needs a QApplication; use it on the GUI thread only.
class QtPlatform : public Platform {
 public:
  explicit QtPlatform(MidiOptions midiOptions = {}, BellOptions bellOptions = {});
  ~QtPlatform() override;
  QtPlatform(const QtPlatform&) = delete;
  QtPlatform& operator=(const QtPlatform&) = delete;

  // Parent of the dialogs while none of the program's windows is active.
  void SetDialogParent(QWidget* parent) { dialogParent_ = parent; }

  Answer MessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                    const std::string& title) override;
  std::string InputBox(const std::string& prompt, const std::string& title,
                       const std::string& defaultText) override;
  FileDialogResult OpenFileDialog(const FileDialogRequest& request) override;
  FileDialogResult SaveFileDialog(const FileDialogRequest& request) override;
  FontResult FontDialog(const FontRequest& request) override;

  void ShowHelp(int context) override;
  void Beep() override;
  void PlaySound(const std::filesystem::path& file) override;
  void StopSound() override;
  void SetBusy(bool busy) override;
  void Pause(std::chrono::milliseconds duration) override;

  std::chrono::year_month_day Today() override;
  void WatchDate(std::function<void()> check) override;
  void Notify(const Notification& notification, std::function<void()> activated) override;
  bool StartsAtLogin() override;
  std::string SetStartAtLogin(bool on) override;

  std::filesystem::path ProgramDirectory() override;
  std::filesystem::path TempDirectory() override;
  std::filesystem::path ProtectionDirectory() override;

  // For tests and diagnostics.
  const SoundPlayer& Sound() const { return sound_; }
  const HelpWindow* Help() const { return help_.get(); }
  int BusyDepth() const { return busyDepth_; }

 private:
  QWidget* DialogParent() const;

  QPointer<QWidget> dialogParent_;
  SoundPlayer sound_;
  BellSound bell_;
  std::unique_ptr<HelpWindow> help_;
  std::unique_ptr<DateWatch> dateWatch_;
  DesktopNotifier notifier_;
  int busyDepth_ = 0;
};

}  // namespace memro
