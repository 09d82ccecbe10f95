#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace memro {

// The text of a desktop entry file: its value of `key` in the [Desktop Entry] group, as
// written (without the string escapes undone); nothing when the group does not hold it.
// Comments, blank lines, other groups and localised keys ("Hidden[de]") are passed over.
std::optional<std::string> DesktopEntryValue(std::string_view text, std::string_view key);

// A boolean key of the [Desktop Entry] group: "true" or "false"; anything else (or no
// such key) gives `otherwise`.
bool DesktopEntryFlag(std::string_view text, std::string_view key, bool otherwise);

// One argument of an Exec key, quoted where it holds a reserved character, its percent
// signs doubled and the string escapes applied, ready to follow "Exec=".
std::string DesktopExecArgument(std::string_view argument);

// A path as a plain string value ("TryExec="): only the string escapes.
std::string DesktopStringValue(std::string_view text);

// The autostart entry that starts `program` at login; `hidden` writes the entry that
// switches a system-wide one off. Nothing when the path cannot be written into an entry
// (not absolute, a control character, text that is not UTF-8).
std::optional<std::string> AutostartEntryText(const std::filesystem::path& program, bool hidden);

}  // namespace memro
