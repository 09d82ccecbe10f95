#pragma once

#include <filesystem>

namespace memro {

// True when dir is a directory (not a link to one) of this user that nobody else may
// enter: a name in it cannot be taken, replaced or watched by another user.
bool IsPrivateDirectory(const std::filesystem::path& dir);

// Where this user's running copies meet: $XDG_RUNTIME_DIR when it is private, else
// "run" in the program directory (made 0700). Empty when neither is private.
std::filesystem::path SessionDirectory(const std::filesystem::path& programDirectory);

// Where the id of the session's last notification of the program is kept, so that the
// next one, of any run, replaces it. Empty when there is no session directory.
std::filesystem::path NotificationIdFile(const std::filesystem::path& programDirectory);

}  // namespace memro
