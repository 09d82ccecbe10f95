#include "sync/sync_setup.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "data/file_digest.h"
#include "ical/event_texts.h"
#include "platform/directories.h"
#include "settings/safe_write.h"

namespace memro::sync {

namespace fs = std::filesystem;

std::string NameDigest(const std::string& text) {
  ByteDigest digest;
  digest.Add(text);
  std::string raw;
  for (int shift = 56; shift >= 0; shift -= 8) raw += static_cast<char>(digest.value() >> shift);
  return ical::HexBytes(raw);
}

fs::path SetupFile(const fs::path& eventFile) {
  const std::string path = fs::absolute(eventFile).lexically_normal().string();
  return DefaultProgramDirectory() / "sync" /
         (eventFile.filename().string() + "-" + NameDigest(path) + ".json");
}

std::optional<SyncSetup> LoadSetup(const fs::path& eventFile) {
  std::ifstream in(SetupFile(eventFile), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  const nlohmann::json j = nlohmann::json::parse(text.str(), nullptr, false);
  if (!j.is_object() || !j.value("collection", nlohmann::json()).is_string()) return std::nullopt;
  return SyncSetup{j.value("collection", ""), j.value("user", ""), j.value("password_command", ""),
                   j.value("trust_fingerprint", "")};
}

bool SaveSetup(const fs::path& eventFile, const SyncSetup& setup) {
  const nlohmann::json j = {{"file", fs::absolute(eventFile).lexically_normal().string()},
                            {"collection", setup.collection},
                            {"user", setup.user},
                            {"password_command", setup.passwordCommand},
                            {"trust_fingerprint", setup.trustFingerprint}};
  return WriteFileSafely(SetupFile(eventFile), j.dump(1) + "\n", 0600);
}

}  // namespace memro::sync
