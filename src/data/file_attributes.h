#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace memro {

// The extended attributes by which this program marks its own copies, so that only a
// copy provably left by a writer of a file is ever removed as left over. They are
// never carried over from a file to its new content.
inline constexpr const char* kCopyMark = "user.memro.copy-of";
inline constexpr const char* kBackupMark = "user.memro.old-of";

// Gives the new content `to` what the file `from` (whose status is st) has: its mode
// (or `mode` when given, and then no access list or other attribute), access control
// list, extended attributes, group and owner.
// False when the user may not give it all (the file is another user's, or of a group
// the user is not in): then `to` cannot stand in for the file.
bool GiveAttributes(int from, const struct stat& st, int to, std::optional<mode_t> mode);

// Marks fd as this program's copy of the file named leaf (where the file system keeps
// extended attributes), and tells whether fd carries that mark.
void Mark(int fd, const char* mark, const std::string& leaf);
bool HasMark(int fd, const char* mark, const std::string& leaf);

}  // namespace memro
