#include <string>

#include "settings/ini_file.h"
#include "settings/protection_file.h"
#include "settings/safe_write.h"
#include "settings/settings.h"

namespace memro {
namespace {

std::string FlagText(bool on) { return on ? "-1" : "0"; }

// Keys are set in the order below, so a new file lists them in that order too.
class KeyWriter {
 public:
  explicit KeyWriter(IniFile& ini) : ini_(ini) {}
  // A value that cannot be stored (a file name with a line break) keeps the old one.
  void Text(std::string_view section, std::string_view key, std::string_view value) {
    ini_.Set(section, key, value);
  }
  void Number(std::string_view section, std::string_view key, std::int32_t value) {
    Text(section, key, std::to_string(value));
  }
  void Flag(std::string_view section, std::string_view key, bool on) {
    Text(section, key, FlagText(on));
  }
  void Recent(std::string_view section, const RecentFiles& files) {
    for (std::size_t i = 0; i < files.size(); ++i) {
      Text(section, "PrevFile" + std::to_string(i + 1), files[i]);
    }
  }

 private:
  IniFile& ini_;
};

void WriteAlwaysGroup(const Settings& s, KeyWriter& out) {
  out.Number("Setup", "TimeOut", s.timeOut);
  out.Flag("Setup", "IdleMin", s.idleMin);
  out.Flag("Setup", "SaveOnExit", s.saveOnExit);
  out.Flag("Setup", "CleanUp", s.confirmCleanUp);
  out.Recent("Main", s.mainRecent);
  out.Recent("Editor", s.editorRecent);
  out.Text("Options", "AutoLoad", s.autoLoad);
  out.Text("Options", "SoundFile", s.soundFile);
  out.Flag("Options", "OnceDaily", s.onceDaily);
  // Last, so that files written before it keep every other key where it was.
  out.Flag("Options", "Notification", s.notification);
}

void WriteFullGroup(const Settings& s, bool mainWindowVisible, KeyWriter& out) {
  out.Number("Main", "Left", s.mainLeft);
  out.Number("Main", "Top", s.mainTop);
  out.Number("Main", "Height", s.mainHeight);
  out.Number("Main", "Width", s.mainWidth);
  out.Flag("Main", "Visible", mainWindowVisible);
  out.Number("Editor", "Left", s.editorLeft);
  out.Number("Editor", "Top", s.editorTop);
  out.Text("Options", "FontName", s.fontName);
  out.Number("Options", "FontSize", s.fontSize);
  out.Number("Options", "Sound", s.sound);
  out.Flag("Options", "ExitPopUp", s.exitPopUp);
  // Key names and values pair up oddly here; see ReadDefaults.
  out.Number("Defaults", "Enabled", s.defaults.frequency);
  out.Number("Defaults", "Activate", s.defaults.enabled);
  out.Number("Defaults", "BackDated", s.defaults.backdated);
  out.Number("Defaults", "Warn", s.defaults.warnDays);
  out.Number("Defaults", "CleanUp", s.defaults.cleanUp);
}

}  // namespace

void SaveSettings(const Settings& settings, bool full, const SaveContext& context) {
  BusyPointer busy(context.platform);
  const std::filesystem::path file = SettingsFilePath(context.platform);
  // One write for all keys: a crash leaves the old settings or the new, never a mix.
  if (auto ini = IniFile::Load(file)) {
    KeyWriter out(*ini);
    WriteAlwaysGroup(settings, out);
    if (full || settings.saveOnExit) WriteFullGroup(settings, context.mainWindowVisible, out);
    WriteFileSafely(file, ini->Text());
  }
  WriteProtectionFile(ProtectionFilePath(context.platform), context.password);
}

}  // namespace memro
