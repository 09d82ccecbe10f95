#include "settings/protection_file.h"

#include <system_error>

#include "data/fixed_texts.h"
#include "settings/regular_file.h"
#include "settings/safe_write.h"

namespace memro {

std::filesystem::path ProtectionFilePath(Platform& platform) {
  return platform.ProtectionDirectory() / Texts().protectionFileName;
}

std::optional<std::string> ReadProtectionPassword(const std::filesystem::path& file) {
  int error = 0;
  const auto text = ReadRegularFile(file, error);
  if (!text) return std::nullopt;
  std::string line = text->substr(0, text->find('\n'));
  if (line.ends_with('\r')) line.pop_back();
  if (line.empty()) return std::nullopt;
  return line;
}

bool WriteProtectionFile(const std::filesystem::path& file, std::string_view password) {
  if (password.empty()) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return !ec;
  }
  // Read-only for the owner keeps it from being changed by accident; the safe write
  // replaces it all the same, without first making it writable.
  return WriteFileSafely(file, std::string(password) + "\r\n", 0400);
}

}  // namespace memro
