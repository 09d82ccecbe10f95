#include "settings/safe_write.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

#include "data/replace_file.h"
#include "data/writer_lock.h"

namespace memro {
namespace {

namespace fs = std::filesystem;

bool Replace(const fs::path& requested, std::string_view bytes, std::optional<mode_t> mode) {
  try {
    const fs::path target = FollowLink(requested);
    // Two copies of the program writing one settings file wait for each other as the
    // writers of an event file do.
    const WriterLock lock(target);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
      if (!S_ISREG(st.st_mode)) return false;
      if (!mode && WriteRefusal(target) != 0) return false;
    } else if (errno != ENOENT) {
      return false;
    }
    std::error_code ec;
    fs::create_directories(target.has_parent_path() ? target.parent_path() : fs::path("."), ec);
    if (ec) return false;
    ReplacementFile copy(lock, target, RewriteCopyName(target), 1);
    copy.file().WriteAt(0, bytes);
    copy.Commit(mode);
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace

bool WriteFileSafely(const fs::path& target, std::string_view bytes) {
  return Replace(target, bytes, std::nullopt);
}

bool WriteFileSafely(const fs::path& target, std::string_view bytes, mode_t mode) {
  return Replace(target, bytes, mode);
}

}  // namespace memro
