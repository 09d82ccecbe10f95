#pragma once

#include <QIcon>

namespace memro {

// The application id: the desktop entry, the icon and the metainfo are named after it.
inline constexpr const char* kApplicationId = "org.memro.Memro";

// The program's icon: the desktop's icon theme's when installed there, else the one
// built into the program (PNGs only: an SVG needs a plugin that may be missing).
QIcon ProgramIcon();

// Tells the desktop who the program is, before its first window: the desktop entry its
// windows belong to (Wayland compositors and task bars match them by it) and the icon
// every window shows.
void SetApplicationIdentity();

}  // namespace memro
