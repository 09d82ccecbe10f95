#include "settings/settings.h"

#include "settings/ini_file.h"

namespace memro {

std::filesystem::path SettingsFilePath(Platform& platform) {
  return platform.ProgramDirectory() / "MEMRX.INI";
}

std::string ReadSetting(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view defaultValue) {
  return ReadIniValue(file, section, key).value_or(std::string(defaultValue));
}

bool WriteSetting(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  std::string_view text) {
  return WriteIniValue(file, section, key, text);
}

}  // namespace memro
