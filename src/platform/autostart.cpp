#include "platform/autostart.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "platform/autostart_entry.h"

namespace memro {
namespace {

constexpr const char* kEntryName = "org.memro.Memro.desktop";

std::filesystem::path AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

std::filesystem::path HomeDirectory() {
  if (auto home = AbsoluteEnv("HOME"); !home.empty()) return home;
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
    return user->pw_dir;
  }
  return "/";
}

std::string Failure(const std::error_code& error, const char* doing,
                    const std::filesystem::path& path) {
  std::string text = error.message();
  text += doing;
  text += path.string();
  return text;
}

std::string ErrnoFailure(int error, const char* doing, const std::filesystem::path& path) {
  return Failure(std::error_code(error, std::generic_category()), doing, path);
}

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return text;
}

bool Starts(const std::string& entry) {
  return !DesktopEntryFlag(entry, "Hidden", false) &&
         DesktopEntryFlag(entry, "X-GNOME-Autostart-enabled", true);
}

// The first system-wide entry is the one a desktop reads when the user has none.
std::optional<std::string> SystemEntry(const AutostartLocations& locations) {
  for (const auto& path : locations.system) {
    if (auto text = ReadFile(path)) return text;
  }
  return std::nullopt;
}

bool WriteAll(int fd, const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// A temporary file beside the entry, renamed over it once it is complete on disk.
std::string WriteEntry(const std::filesystem::path& path, const std::string& text) {
  const std::filesystem::path directory = path.parent_path();
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) return Failure(error, " while creating ", directory);

  std::string temporary = (directory / ".").string();
  temporary += kEntryName;
  temporary += ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return ErrnoFailure(errno, " while writing in ", directory);

  int failure = 0;
  if (::fchmod(fd, 0644) != 0 || !WriteAll(fd, text) || ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temporary.c_str());
    return ErrnoFailure(failure, " while writing ", path);
  }
  // The rename reaches the disk with the directory; a crash before that keeps the old
  // entry or the new one, both whole.
  if (const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

}  // namespace

AutostartLocations FindAutostartLocations() {
  AutostartLocations locations;
  std::filesystem::path config = AbsoluteEnv("XDG_CONFIG_HOME");
  if (config.empty()) config = HomeDirectory() / ".config";
  locations.user = config / "autostart" / kEntryName;

  const char* dirs = std::getenv("XDG_CONFIG_DIRS");
  std::string list = dirs != nullptr && dirs[0] != '\0' ? dirs : "/etc/xdg";
  for (std::size_t start = 0; start <= list.size();) {
    auto end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string dir = list.substr(start, end - start);
    // Relative entries are invalid and ignored.
    if (!dir.empty() && dir.front() == '/') {
      locations.system.push_back(std::filesystem::path(dir) / "autostart" / kEntryName);
    }
    start = end + 1;
  }
  return locations;
}

bool AutostartEnabled(const AutostartLocations& locations) {
  std::error_code error;
  if (std::filesystem::symlink_status(locations.user, error).type() !=
      std::filesystem::file_type::not_found) {
    const auto text = ReadFile(locations.user);
    return text && Starts(*text);
  }
  const auto text = SystemEntry(locations);
  return text && Starts(*text);
}

std::string SetAutostart(const AutostartLocations& locations, bool on,
                         const std::filesystem::path& program) {
  const auto systemEntry = SystemEntry(locations);
  if (on || (systemEntry && Starts(*systemEntry))) {
    const auto text = AutostartEntryText(program, !on);
    if (!text) {
      std::string failure = "The program's path cannot be named in an autostart entry: ";
      failure += program.string();
      return failure;
    }
    return WriteEntry(locations.user, *text);
  }
  std::error_code error;
  std::filesystem::remove(locations.user, error);
  if (error) return Failure(error, " while removing ", locations.user);
  return {};
}

}  // namespace memro
