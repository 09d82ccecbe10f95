#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace memro::sync {

// How an event file is synced: which calendar, as which user, the command that gives the
// password and the server certificate trusted beyond the system's. The password itself is
// never kept here (the desktop's keyring holds it).
struct SyncSetup {
  std::string collection;  // the calendar's URL, ending in '/'
  std::string user;
  std::string passwordCommand;
  std::string trustFingerprint;  // SHA-256 of a certificate, hex; "" for the system's trust
  bool operator==(const SyncSetup&) const = default;
};

// <program directory>/sync/<file name>-<digest of its absolute path>.json
std::filesystem::path SetupFile(const std::filesystem::path& eventFile);

// Nothing when the file is not set up (or its setup cannot be read).
std::optional<SyncSetup> LoadSetup(const std::filesystem::path& eventFile);
bool SaveSetup(const std::filesystem::path& eventFile, const SyncSetup& setup);

// The digest of a text in hex, for names of files that belong to another file.
std::string NameDigest(const std::string& text);

}  // namespace memro::sync
