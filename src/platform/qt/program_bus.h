#pragma once

#include <QString>
#include <QVariantMap>

namespace memro {

// The program's one running copy on the session bus: it owns this name and answers
// org.freedesktop.Application at this path, as the desktop entry's D-Bus activation
// expects (the path is the name with "/" for ".").
inline constexpr const char* kProgramBusName = "org.memro.Memro";
inline constexpr const char* kProgramObjectPath = "/org/memro/Memro";
inline constexpr const char* kApplicationInterface = "org.freedesktop.Application";

// The platform data a launcher hands over so that the window it raises may take the
// focus: the Wayland activation token and the X11 startup id of this process's
// environment, where set.
QVariantMap LauncherPlatformData();

// Asks the program to come to the front and, when `file` is not empty, to load it
// (org.freedesktop.Application.Open, else Activate). With `start`, the bus starts the
// program by D-Bus activation when no copy runs. Waits at most timeoutMs for the answer;
// true when the program took the request.
bool AskProgram(const QString& file, bool start, int timeoutMs);

}  // namespace memro
