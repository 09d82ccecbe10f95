#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace memro {

// The file that holds the lock's password: ProtectionDirectory()/.memrolock.
std::filesystem::path ProtectionFilePath(Platform& platform);

// The first line of the file. Nothing when the file is missing or unreadable, and when
// that line is empty: a lock without a password is no lock.
std::optional<std::string> ReadProtectionPassword(const std::filesystem::path& file);

// Stores password as the file's one line, readable by its owner only and by nobody else;
// an empty password deletes the file. True when the file is as asked afterwards.
bool WriteProtectionFile(const std::filesystem::path& file, std::string_view password);

}  // namespace memro
