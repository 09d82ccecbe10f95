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
    std::error_code ec;
    fs::create_directories(requested.has_parent_path() ? requested.parent_path() : fs::path("."),
                           ec);
    if (ec) return false;
    // Two copies of the program writing one settings file wait for each other as the
    // writers of an event file do.
    return RunLocked(requested, WriterLock::kDefaultWait, [&](const WriterLock& lock) {
      if (!mode && WriteRefusal(lock.target()) != 0) return false;
      ReplacementFile copy(lock, 1);
      copy.file().WriteAt(0, bytes);
      copy.Commit(mode);
      return true;
    });
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
