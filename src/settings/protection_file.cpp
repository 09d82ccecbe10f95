#include "settings/protection_file.h"

#include <fstream>
#include <system_error>

#include "data/fixed_texts.h"
#include "settings/safe_write.h"

namespace memro {

std::filesystem::path ProtectionFilePath(Platform& platform) {
  return platform.ProtectionDirectory() / Texts().protectionFileName;
}

std::optional<std::string> ReadProtectionPassword(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
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
