#include "platform/directories.h"

#include <cstdlib>
#include <string>
#include <system_error>

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

// A name left over from another session (a TMPDIR of a machine or a login that is gone)
// must not stop the work: the next candidate is taken.
std::filesystem::path DefaultTempDirectory(const std::filesystem::path& programDirectory) {
  for (const char* name : {"TEMP", "TMPDIR"}) {
    std::error_code ec;
    if (auto temp = Env(name); !temp.empty() && std::filesystem::is_directory(temp, ec)) {
      return temp;
    }
  }
  return programDirectory;
}

}  // namespace memro
