#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace memro {

// The whole of a small file that is read at every start (the settings, the password).
// Only a regular file is read, and the open never waits: a pipe nobody writes to at
// that name would keep the program from starting, a device would be read for ever.
// Nothing when it cannot be read; error then says why (ENOENT: there is no such file;
// EINVAL: something other than a regular file is there).
std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, int& error);

}  // namespace memro
