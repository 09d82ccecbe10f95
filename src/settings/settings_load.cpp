#include <algorithm>
#include <string>
#include <system_error>

#include "settings/ini_file.h"
#include "settings/setting_number.h"
#include "settings/settings.h"

namespace memro {
namespace {

constexpr std::int16_t kMinFontSize = 7;
constexpr std::int16_t kMaxFontSize = 20;

// Reads keys of one loaded file. A value that is present but cannot be converted gives
// 0 (off), never the default: a damaged value must not pass for an intended one.
class KeyReader {
 public:
  explicit KeyReader(const std::filesystem::path& file)
      : ini_(IniFile::Load(file).value_or(IniFile())) {}

  std::string Text(std::string_view section, std::string_view key) const {
    return ini_.Get(section, key).value_or("");
  }
  std::int16_t Int16(std::string_view section, std::string_view key, std::int16_t fallback) const {
    const auto value = ini_.Get(section, key);
    return value ? ToInt16(*value).value_or(0) : fallback;
  }
  std::int32_t Int32(std::string_view section, std::string_view key, std::int32_t fallback) const {
    const auto value = ini_.Get(section, key);
    return value ? ToInt32(*value).value_or(0) : fallback;
  }
  bool Flag(std::string_view section, std::string_view key, bool fallback) const {
    const auto value = ini_.Get(section, key);
    return value ? ToInt16(*value).value_or(0) != 0 : fallback;
  }
  RecentFiles Recent(std::string_view section) const {
    RecentFiles files;
    for (std::size_t i = 0; i < files.size(); ++i) {
      files[i] = Text(section, "PrevFile" + std::to_string(i + 1));
    }
    return files;
  }

 private:
  IniFile ini_;
};

// (screen - window) / 2 to the nearest whole twip, halves to even, like any stored
// number; a result beyond 16 bits gives 0 as a stored one would.
std::int16_t Centred(std::int32_t screen, std::int32_t window) {
  const std::int64_t span = std::int64_t{screen} - window;
  std::int64_t half = span >= 0 ? span / 2 : -((-span + 1) / 2);
  if (span % 2 != 0 && half % 2 != 0) ++half;
  if (half < INT16_MIN || half > INT16_MAX) return 0;
  return static_cast<std::int16_t>(half);
}

// A size as stored, within what a window can take: none is negative, and none is larger
// than the screen when its size is known, so that a damaged or hand-made value cannot
// ask the window system for a window of gigabytes.
std::int32_t WindowSize(std::int32_t stored, std::int32_t screen) {
  if (stored < 0) return 0;
  return screen > 0 ? std::min(stored, screen) : stored;
}

bool IsExistingFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void ReadMain(const KeyReader& in, Extent screen, Extent window, Settings& s) {
  s.mainLeft = in.Int16("Main", "Left", Centred(screen.width, window.width));
  s.mainTop = in.Int16("Main", "Top", Centred(screen.height, window.height));
  s.mainHeight = WindowSize(in.Int32("Main", "Height", 3960), screen.height);
  s.mainWidth = WindowSize(in.Int32("Main", "Width", 6600), screen.width);
  s.mainRecent = in.Recent("Main");
  s.lastCheck = in.Text("Main", "LastCheck");
  s.lastFile = in.Text("Main", "LastFile");
  s.visible = in.Flag("Main", "Visible", true);
}

void ReadOptions(const KeyReader& in, Settings& s) {
  s.autoLoad = in.Text("Options", "AutoLoad");
  s.fontName = in.Text("Options", "FontName");
  const std::int16_t size = in.Int16("Options", "FontSize", 12);
  s.fontSize = size >= kMinFontSize && size <= kMaxFontSize ? size : 0;
  s.sound = in.Int16("Options", "Sound", 0);
  if (s.sound < 0 || s.sound > 2) s.sound = 0;
  s.soundFile = in.Text("Options", "SoundFile");
  if (s.sound == 2 && !IsExistingFile(s.soundFile)) {
    s.sound = 0;
    s.soundFile.clear();
  }
  s.exitPopUp = in.Flag("Options", "ExitPopUp", false);
  s.onceDaily = in.Flag("Options", "OnceDaily", false);
  s.notification = in.Flag("Options", "Notification", true);
}

void ReadSetup(const KeyReader& in, Settings& s) {
  s.timeOut = in.Int16("Setup", "TimeOut", 0);
  s.idleMin = in.Flag("Setup", "IdleMin", false);
  s.saveOnExit = in.Flag("Setup", "SaveOnExit", false);
  s.confirmCleanUp = in.Flag("Setup", "CleanUp", true);
}

// The key names do not follow the meaning of the values they hold ("Enabled" holds the
// frequency); files in use depend on this pairing.
void ReadDefaults(const KeyReader& in, RecordDefaults& d) {
  const RecordDefaults standard;
  d.frequency = in.Int16("Defaults", "Enabled", standard.frequency);
  d.enabled = in.Int16("Defaults", "Activate", standard.enabled);
  d.backdated = in.Int16("Defaults", "BackDated", standard.backdated);
  d.warnDays = in.Int16("Defaults", "Warn", standard.warnDays);
  d.cleanUp = in.Int16("Defaults", "CleanUp", standard.cleanUp);
}

}  // namespace

Settings LoadSettings(const std::filesystem::path& file, Extent screen, Extent mainWindow) {
  const KeyReader in(file);
  Settings s;
  ReadMain(in, screen, mainWindow, s);
  s.editorLeft = in.Int16("Editor", "Left", 0);
  s.editorTop = in.Int16("Editor", "Top", 0);
  s.editorRecent = in.Recent("Editor");
  ReadOptions(in, s);
  ReadSetup(in, s);
  ReadDefaults(in, s.defaults);
  return s;
}

WindowPlace ReadEditorPlace(const std::filesystem::path& file, Extent screen, Extent editorWindow) {
  const KeyReader in(file);
  return {in.Int16("Editor", "Left", Centred(screen.width, editorWindow.width)),
          in.Int16("Editor", "Top", Centred(screen.height, editorWindow.height))};
}

}  // namespace memro
