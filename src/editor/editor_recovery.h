#pragma once

#include <filesystem>

namespace memro {

// True when an editor that was ended by a signal left unsaved changes in the program's
// directory, which the editor offers back when it opens next.
bool RecoveryWaiting(const std::filesystem::path& programDirectory);

}  // namespace memro
