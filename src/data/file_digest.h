#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace memro {

// A 64-bit digest of a regular file's bytes, the same in every run and every version of
// the program (it is kept in recovery notes). Tells a file rewritten with the very same
// bytes from one whose content changed. Nothing when the file cannot be read.
std::optional<std::uint64_t> FileDigest(const std::filesystem::path& file);

}  // namespace memro
