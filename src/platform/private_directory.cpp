#include "platform/private_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace memro {

bool IsPrivateDirectory(const std::filesystem::path& dir) {
  struct stat st {};
  return !dir.empty() && ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

std::filesystem::path SessionDirectory(const std::filesystem::path& programDirectory) {
  // A runtime directory of another user, or a shared one such as /tmp, is passed over.
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
      runtime && IsPrivateDirectory(runtime)) {
    return runtime;
  }
  const std::filesystem::path own = programDirectory / "run";
  std::error_code ec;
  std::filesystem::create_directories(programDirectory, ec);
  ::mkdir(own.c_str(), 0700);
  return IsPrivateDirectory(own) ? own : std::filesystem::path();
}

std::filesystem::path NotificationIdFile(const std::filesystem::path& programDirectory) {
  const std::filesystem::path session = SessionDirectory(programDirectory);
  return session.empty() ? session : session / "memro-notification";
}

}  // namespace memro
