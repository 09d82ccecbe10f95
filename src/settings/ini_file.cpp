#include "settings/ini_file.h"

#include <cerrno>

#include "data/text_util.h"
#include "settings/regular_file.h"
#include "settings/safe_write.h"

namespace memro {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreakOrNul{"\r\n\0", 3};

bool SameName(std::string_view a, std::string_view b) { return AsciiLower(a) == AsciiLower(b); }

// The name of a [Section] line; nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimBlanksView(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  return TrimBlanksView(line.substr(0, line.find(']')));
}

struct KeyParts {
  std::string_view name;
  std::size_t valueStart;
};

// The name of a Key=Value line; nothing for section lines, comments and other text.
std::optional<KeyParts> KeyOf(std::string_view line) {
  if (SectionName(line)) return std::nullopt;
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view name = TrimBlanksView(line.substr(0, equals));
  if (name.empty() || name.front() == ';') return std::nullopt;
  return KeyParts{name, equals + 1};
}

// Counts characters, not bytes, so that a UTF-8 character is never split. A byte that
// continues no character (broken UTF-8) counts as one of its own, so the cut is bounded.
std::string_view FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t seen = 0;
  int continuing = 0;  // continuation bytes the character in hand may still take
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) == 0x80 && continuing > 0) {
      --continuing;
      continue;
    }
    continuing = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
    if (++seen > count) return text.substr(0, i);
  }
  return text;
}

std::string CleanValue(std::string_view raw) {
  return TrimBlanks(FirstCharacters(TextBeforeNul(raw), kMaxValueChars));
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(kLineBreakOrNul) != std::string_view::npos;
}

// A name must come back unchanged when the file is read again.
bool StorableName(std::string_view name) {
  return !name.empty() && TrimBlanksView(name) == name && !HasLineBreakOrNul(name);
}

bool StorableSection(std::string_view section) {
  return StorableName(section) && section.find(']') == std::string_view::npos;
}

bool StorableKey(std::string_view key) {
  return StorableName(key) && key.find('=') == std::string_view::npos && key.front() != ';' &&
         key.front() != '[';
}

}  // namespace

std::optional<IniFile> IniFile::Load(const std::filesystem::path& file) {
  int error = 0;
  const auto text = ReadRegularFile(file, error);
  if (!text) return error == ENOENT ? std::optional<IniFile>(IniFile()) : std::nullopt;
  return Parse(*text);
}

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  if (text.starts_with(kByteOrderMark)) {
    ini.byteOrderMark_ = true;
    text.remove_prefix(kByteOrderMark.size());
  }
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    ini.lines_.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return ini;
}

std::optional<IniFile::KeyLine> IniFile::FindKey(std::string_view section,
                                                 std::string_view key) const {
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = SectionName(lines_[i])) {
      inSection = SameName(*name, section);
    } else if (const auto parts = KeyOf(lines_[i]); inSection && parts) {
      if (SameName(parts->name, key)) return KeyLine{i, parts->valueStart};
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> IniFile::SectionEnd(std::string_view section) const {
  std::optional<std::size_t> end;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = SectionName(lines_[i])) {
      if (end) break;
      if (SameName(*name, section)) end = i + 1;
    } else if (end && KeyOf(lines_[i])) {
      end = i + 1;
    }
  }
  return end;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const auto found = FindKey(section, key);
  if (!found) return std::nullopt;
  std::string value = CleanValue(std::string_view(lines_[found->line]).substr(found->valueStart));
  if (value.empty()) return std::nullopt;
  return value;
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (!StorableSection(section) || !StorableKey(key) || HasLineBreakOrNul(value)) return false;
  if (const auto found = FindKey(section, key)) {
    std::string& line = lines_[found->line];
    // Blanks after the equals sign are part of how the line was laid out: keep them.
    const auto valueStart = line.find_first_not_of(' ', found->valueStart);
    line.resize(valueStart == std::string::npos ? line.size() : valueStart);
    line += value;
    return true;
  }
  std::string keyLine = std::string(key) + "=" + std::string(value);
  if (const auto end = SectionEnd(section)) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*end), std::move(keyLine));
    return true;
  }
  if (!lines_.empty() && !TrimBlanksView(lines_.back()).empty()) lines_.emplace_back();
  // Appended piece by piece: GCC 12 at -O3 falsely reports -Wrestrict for
  // "[" + std::string(...) (a prepend into a fresh string).
  std::string header;
  header.reserve(section.size() + 2);
  header.append("[").append(section).append("]");
  lines_.push_back(std::move(header));
  lines_.push_back(std::move(keyLine));
  return true;
}

std::string IniFile::Text() const {
  std::string text = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
  for (const std::string& line : lines_) text += line + "\r\n";
  return text;
}

std::optional<std::string> ReadIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key) {
  const auto ini = IniFile::Load(file);
  return ini ? ini->Get(section, key) : std::nullopt;
}

bool WriteIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value) {
  auto ini = IniFile::Load(file);
  return ini && ini->Set(section, key, value) && WriteFileSafely(file, ini->Text());
}

}  // namespace memro
