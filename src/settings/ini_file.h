#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace memro {

// At most this many characters of a value are seen; longer values are cut.
constexpr std::size_t kMaxValueChars = 254;

// An initialisation file of [Section] lines and Key=Value lines, kept line by line so
// that writing one key changes that line only: comments, unknown keys, blank lines and
// their order stay as they were. Section and key names match regardless of ASCII letter
// case. Lines may end in LF or CR LF; every line is written back with CR LF.
class IniFile {
 public:
  // A missing file is an empty document. Nothing when the file exists but cannot be
  // read, or is no regular file: writing an empty document over it would lose every
  // other key.
  static std::optional<IniFile> Load(const std::filesystem::path& file);
  static IniFile Parse(std::string_view text);

  // The value trimmed of blanks, cut at its first NUL and to kMaxValueChars characters.
  // Nothing when the section or key is missing or the value is empty.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Replaces the value of an existing key in place, else adds the key at the end of its
  // section, else adds the section at the end. False, changing nothing, for a name or
  // value that could not be read back as written (line breaks, NUL, '=' in a key...).
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Text() const;

 private:
  struct KeyLine {
    std::size_t line;
    std::size_t valueStart;
  };
  std::optional<KeyLine> FindKey(std::string_view section, std::string_view key) const;
  std::optional<std::size_t> SectionEnd(std::string_view section) const;

  bool byteOrderMark_ = false;
  std::vector<std::string> lines_;  // without their line ends
};

// One key of a file on disk; a file that cannot be read reads as empty.
std::optional<std::string> ReadIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key);

// Changes one key of a file on disk, creating the file, its directory, the section and
// the key as needed. The file is replaced safely (see WriteFileSafely).
bool WriteIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value);

}  // namespace memro
