#include "platform/autostart_entry.h"

namespace memro {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned long code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8 either.
    static constexpr unsigned long kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

std::optional<std::string> DesktopEntryValue(std::string_view text, std::string_view key) {
  std::optional<std::string> found;
  bool inMainGroup = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    const auto equals = line.find('=');
    if (!inMainGroup || equals == std::string_view::npos) continue;
    // A repeated key is a fault of the file; the last one is what a reader that keeps
    // a map of the group ends up with.
    if (Trim(line.substr(0, equals)) == key) found = std::string(Trim(line.substr(equals + 1)));
  }
  return found;
}

bool DesktopEntryFlag(std::string_view text, std::string_view key, bool otherwise) {
  const auto value = DesktopEntryValue(text, key);
  if (value == "true") return true;
  if (value == "false") return false;
  return otherwise;
}

std::string DesktopStringValue(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string DesktopExecArgument(std::string_view argument) {
  static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string quoted;
  const bool needsQuotes =
      argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
  if (needsQuotes) quoted += '"';
  for (const char c : argument) {
    if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) quoted += '\\';
    quoted += c;
    // A lone percent sign would start a field code.
    if (c == '%') quoted += '%';
  }
  if (needsQuotes) quoted += '"';
  // The quoting rule works on the value after its string escapes are undone.
  return DesktopStringValue(quoted);
}

std::optional<std::string> AutostartEntryText(const std::filesystem::path& program, bool hidden) {
  if (!program.is_absolute()) return std::nullopt;
  const std::string& path = program.native();
  for (const char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
  }
  if (!IsValidUtf8(path)) return std::nullopt;

  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Name=Memro\n";
  text += "GenericName=Reminder\n";
  text += "Comment=Shows the reminders that are due when you log in\n";
  text += "Exec=";
  text += DesktopExecArgument(path);
  text += "\n";
  text += "TryExec=";
  text += DesktopStringValue(path);
  text += "\n";
  text += "Icon=org.memro.Memro\n";
  text += "Terminal=false\n";
  text += "StartupNotify=false\n";
  if (hidden) {
    text += "Hidden=true\n";
    text += "X-GNOME-Autostart-enabled=false\n";
  } else {
    text += "X-GNOME-Autostart-enabled=true\n";
  }
  return text;
}

}  // namespace memro
