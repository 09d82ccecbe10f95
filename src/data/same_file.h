#pragma once

#include <filesystem>

namespace memro {

// The name a file is known by whatever link or spelling reaches it: symbolic links
// followed to their end (a dangling one to the name it gives), then made absolute and
// canonical as far as the path exists. Throws FileError when a link cannot be read.
std::filesystem::path RealPath(const std::filesystem::path& name);

// True when a and b name one file: the same name, a symbolic link to it, or another
// name (a hard link, a bind mount) of the same device and inode. A name that does
// not exist is the same file only as a name or through a link.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace memro
