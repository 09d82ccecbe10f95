#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace memro {

// Both functions replace target with bytes so that a crash leaves either the old or the
// new content, never a half-written file: the bytes go to a copy beside the target, reach
// the disk, and the copy is renamed over the target in one step. A missing directory is
// created. They give false, and leave the target as it was, when anything fails.

// Keeps the permissions of an existing target. A target without any write permission is
// read-only to us, even when the user could override it, and is left alone.
bool WriteFileSafely(const std::filesystem::path& target, std::string_view bytes);

// Gives the new file exactly mode, whatever the old one had: for files whose permissions
// this program owns. The copy is never readable by others while it is written.
bool WriteFileSafely(const std::filesystem::path& target, std::string_view bytes, mode_t mode);

}  // namespace memro
