#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "data/event_record.h"
#include "platform/platform.h"

namespace memro {

constexpr std::size_t kRecentFiles = 4;
using RecentFiles = std::array<std::string, kRecentFiles>;  // [0] is the most recent

// Every value the program keeps in MEMRX.INI. Positions and sizes are in twips.
// A value that fails to read stays as it starts here: 0, empty or off.
struct Settings {
  // [Main]
  std::int16_t mainLeft = 0;
  std::int16_t mainTop = 0;
  std::int32_t mainHeight = 0;
  std::int32_t mainWidth = 0;
  RecentFiles mainRecent;
  std::string lastCheck;  // today's date text at the last start that scanned
  std::string lastFile;   // autoLoad at that start
  bool visible = false;   // the main window, not the viewer, was shown at the last full save
  // [Editor]
  std::int16_t editorLeft = 0;
  std::int16_t editorTop = 0;
  RecentFiles editorRecent;
  // [Options]
  std::string autoLoad;
  std::string fontName;
  std::int16_t fontSize = 0;  // 7 to 20, or 0 when the stored size was refused
  std::int16_t sound = 0;     // 0 none, 1 beep, 2 soundFile
  std::string soundFile;
  bool exitPopUp = false;
  bool onceDaily = false;
  bool notification = false;  // a desktop notification after the start-up and a new day
  // [Setup]
  std::int16_t timeOut = 0;  // seconds; 0 is none
  bool idleMin = false;
  bool saveOnExit = false;
  bool confirmCleanUp = false;  // key CleanUp: ask before clean-up deletes records
  // [Defaults]
  RecordDefaults defaults{0, 0, 0, 0, 0};

  bool operator==(const Settings&) const = default;
};

// Width and height in twips.
struct Extent {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct WindowPlace {
  std::int16_t left = 0;
  std::int16_t top = 0;
};

// ProgramDirectory()/MEMRX.INI.
std::filesystem::path SettingsFilePath(Platform& platform);

// The value of one key, or defaultValue when the file, section or key is missing or the
// value is empty. Otherwise trimmed of blanks, cut at a NUL and to 254 characters.
std::string ReadSetting(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view defaultValue);

// Writes one key, creating what is missing. Callers may ignore the result.
bool WriteSetting(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  std::string_view text);

// Reads every key with its default; window defaults centre the window's design size on
// the screen. The editor's place defaults to 0 here (see ReadEditorPlace). The main
// window's Width and Height are kept from 0 to the screen's (when that is not 0).
Settings LoadSettings(const std::filesystem::path& file, Extent screen, Extent mainWindow);

// The editor's place as stored, by default centred on the screen.
WindowPlace ReadEditorPlace(const std::filesystem::path& file, Extent screen, Extent editorWindow);

struct SaveContext {
  Platform& platform;         // busy pointer and directories
  bool mainWindowVisible;     // written as [Main] Visible
  std::string_view password;  // the lock's password; empty when unlocked
};

// Writes the keys that every save writes and, when full or settings.saveOnExit, the rest;
// then writes the password file, or deletes it when there is no password. Failures are
// skipped silently: a save must never stop the program from closing.
void SaveSettings(const Settings& settings, bool full, const SaveContext& context);

}  // namespace memro
