#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/gui/main_window.h"
#include "platform/qt/twips.h"
#include "settings/settings.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro::testing {

// A size of the window's design in pixels, grown as the window grows it.
inline int DesignPx(const MainWindow& w, double twips) {
  return DesignPixels(w, twips, w.designScale());
}

// A main window on a scripted platform, with its settings, lock and work files in a
// directory of its own.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindow& Make() {
    MainWindowHooks hooks;
    hooks.endAtOnce = [this] { ended = true; };
    hooks.shiftHeld = [this] { return shiftHeld; };
    hooks.recoveryWaiting = [this] { return recoveryWaiting ? recoveryWaiting() : false; };
    std::filesystem::create_directories(dir / "run");
    hooks.lockDirectory = (dir / "run").string();
    hooks.windowSystem = windowSystem;
    hooks.lockWait = lockWait;
    hooks.syncRunner = syncRunner;
    hooks.passwords = passwords;
    window = std::make_unique<MainWindow>(platform, hooks);
    return *window;
  }

  // A started window; the command line is the program's argument.
  MainWindow& Started(const std::string& commandLine = "") {
    Make();
    EXPECT_EQ(window->StartUp(commandLine), MainWindow::Start::kRunning);
    return *window;
  }

  std::filesystem::path Ini() const { return platform.programDir / "MEMRX.INI"; }
  std::string Setting(const char* section, const char* key) const {
    return ReadSetting(Ini(), section, key, "<absent>");
  }
  void Set(const char* section, const char* key, const std::string& value) {
    WriteSetting(Ini(), section, key, value);
  }

  // An event file with something due on the fake platform's today (Dec 8, 2026).
  std::filesystem::path DueFile(const std::string& name = "events.mmo") {
    const auto file = dir / name;
    WriteEventFile(file, {Event("Dec082026", "Dentist 10:30", kOnce),
                          Event("Dec112026", "Anna's birthday", kYearly),
                          Event("Jan012020", "Water the plants", kDaily)});
    return file;
  }

  FileDialogResult Chosen(const std::filesystem::path& path) {
    return {FileDialogResult::Outcome::kChosen, path.string()};
  }

  TempDir dir;
  FakePlatform platform{dir.path()};
  bool ended = false;
  bool shiftHeld = false;
  std::function<bool()> recoveryWaiting;  // unset: no recovery waiting
  WindowSystem windowSystem;              // offscreen: no frames, positions kept
  std::chrono::milliseconds lockWait = WriterLock::kDefaultWait;
  std::shared_ptr<SyncRunner> syncRunner;  // null: the window does not sync
  std::shared_ptr<sync::PasswordStore> passwords;
  std::unique_ptr<MainWindow> window;
};

}  // namespace memro::testing
