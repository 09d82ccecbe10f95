#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace memro {

// The desktop's autostart entries of this program, found as the XDG base-directory
// rules say: the user's in $XDG_CONFIG_HOME (else ~/.config), which wins over the
// system-wide ones in each of $XDG_CONFIG_DIRS (else /etc/xdg), first one first.
struct AutostartLocations {
  std::filesystem::path user;
  std::vector<std::filesystem::path> system;
};
AutostartLocations FindAutostartLocations();

// Whether the desktop starts the program at login: the entry that counts exists and is
// not switched off (Hidden=true, or X-GNOME-Autostart-enabled=false).
bool AutostartEnabled(const AutostartLocations& locations);

// On, writes the user's entry starting `program`. Off, removes it, or, where a
// system-wide entry would start the program anyway, writes a user entry that hides it.
// The entry is replaced in one step, never left half-written. Gives the failure's
// description and path, or "".
std::string SetAutostart(const AutostartLocations& locations, bool on,
                         const std::filesystem::path& program);

}  // namespace memro
