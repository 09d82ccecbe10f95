#pragma once

#include <filesystem>

namespace memro {

// True when a and b name one file: the same name, a symbolic link to it, or another
// name (a hard link, a bind mount) of the same device and inode. A name that does
// not exist is the same file only as a name or through a link.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace memro
