#include "platform/directories.h"

#include <cstdlib>
#include <string>

namespace memro {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  std::string text = value ? value : "";
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::filesystem::path DefaultProgramDirectory() {
  if (auto home = Env("MEMRO_HOME"); !home.empty()) return home;
  if (auto config = Env("XDG_CONFIG_HOME"); !config.empty()) {
    return std::filesystem::path(config) / "memro";
  }
  if (auto home = Env("HOME"); !home.empty()) {
    return std::filesystem::path(home) / ".config" / "memro";
  }
  return std::filesystem::current_path();
}

std::filesystem::path DefaultTempDirectory(const std::filesystem::path& programDirectory) {
  if (auto temp = Env("TEMP"); !temp.empty()) return temp;
  if (auto temp = Env("TMPDIR"); !temp.empty()) return temp;
  return programDirectory;
}

}  // namespace memro
