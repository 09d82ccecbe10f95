#pragma once

#include <filesystem>

namespace memro {

// $MEMRO_HOME, else $XDG_CONFIG_HOME/memro, else ~/.config/memro.
std::filesystem::path DefaultProgramDirectory();

// $TEMP, else $TMPDIR (each trimmed of blanks, and only when it names an existing
// directory), else the program directory.
std::filesystem::path DefaultTempDirectory(const std::filesystem::path& programDirectory);

}  // namespace memro
