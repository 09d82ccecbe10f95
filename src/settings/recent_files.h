#pragma once

#include <string>

#include "settings/settings.h"

namespace memro {

// Puts path at the top of a four-entry recent-file list: an entry for the same file
// (compared without blanks around it and without regard to letter case) moves up, a
// new one pushes the oldest out of a full list. An empty path changes nothing.
// Returns how many entries are filled from the top, which the menu shows.
int AddRecentFile(RecentFiles& list, const std::string& path);

// The menu caption of entry n (from 1): "&1 /home/me/events.mmo".
std::string RecentCaption(int n, const std::string& path);

// The path of a recent-file menu caption: everything after "&1 ".
std::string PathOfRecentCaption(const std::string& caption);

}  // namespace memro
