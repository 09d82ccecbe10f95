#include "settings/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace memro {

std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, int& error) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return std::nullopt;
  }
  std::optional<std::string> text;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (!S_ISREG(st.st_mode)) {
    error = EINVAL;
  } else {
    text.emplace();
    char buffer[8192];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = errno;
        text.reset();
      }
      if (n <= 0) break;
      text->append(buffer, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  return text;
}

}  // namespace memro
