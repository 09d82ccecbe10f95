// The settings reader on an arbitrary MEMRX.INI: loading never fails, and a document
// written back reads as itself.
#include "fuzz_support.h"
#include "settings/ini_file.h"
#include "settings/settings.h"
#include "support/fake_platform.h"

using namespace memro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzzing::Bytes(data, size);
  const IniFile ini = IniFile::Parse(text);
  const std::string written = ini.Text();
  const IniFile again = IniFile::Parse(written);
  fuzzing::Require(again.Text() == written, "written settings read back unchanged");
  for (const char* key : {"AutoLoad", "FontSize", "Sound", "PrevFile1"}) {
    const auto value = ini.Get("Options", key);
    fuzzing::Require(!value || (!value->empty() && value->size() <= 4 * kMaxValueChars),
                     "values are cut and never empty");
    fuzzing::Require(value == again.Get("Options", key), "same value after writing");
  }

  static testing::FakePlatform platform(fuzzing::ScratchDir());
  const auto file = SettingsFilePath(platform);
  fuzzing::WriteScratchFile("home/MEMRX.INI", text);
  const Settings s = LoadSettings(file, {19200, 14400}, {6600, 3960});
  fuzzing::Require(s.fontSize == 0 || (s.fontSize >= 7 && s.fontSize <= 20), "font size range");
  fuzzing::Require(s.sound >= 0 && s.sound <= 2, "sound mode range");

  IniFile edited = ini;
  const std::string value(text.substr(0, text.size() / 2));
  if (edited.Set("Options", "AutoLoad", value)) {
    const auto back = edited.Get("Options", "AutoLoad");
    fuzzing::Require(IniFile::Parse(edited.Text()).Get("Options", "AutoLoad") == back,
                     "a value set is read back after writing");
  }
  return 0;
}
