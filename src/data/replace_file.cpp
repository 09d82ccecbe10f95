#include "data/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "data/file_steps.h"

namespace memro {

std::filesystem::path RewriteCopyName(const std::filesystem::path& file) {
  std::string name = file.string();
  if (name.empty() || name.back() == '~') return name + "~";
  name.back() = '~';
  return name;
}

std::filesystem::path FollowLink(const std::filesystem::path& target) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(target, ec)) return target;
  const auto resolved = std::filesystem::canonical(target, ec);
  if (!ec) return resolved;
  const auto destination = std::filesystem::read_symlink(target, ec);
  if (ec) throw FileError(ec.value(), target.string());
  return destination.is_absolute() ? destination : target.parent_path() / destination;
}

namespace {

const std::filesystem::path& CheckedTarget(const WriterLock& lock,
                                           const std::filesystem::path& target) {
  if (!lock.Covers(target)) throw FileError(ENOLCK, target.string());
  return target;
}

// A copy left by an interrupted run is removed, never truncated: it may be a hard or
// symbolic link to the very file being replaced (left by a backup tool or by hand),
// and truncating it would empty that file before the new content exists. A directory
// of that name stays, and creating the copy then fails.
const std::filesystem::path& RemoveLeftOver(const std::filesystem::path& copy) {
  FileStep();
  if (::unlink(copy.c_str()) != 0 && errno != ENOENT && errno != EISDIR && errno != EPERM) {
    throw FileError(errno, copy.string());
  }
  return copy;
}

}  // namespace

int WriteRefusal(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return 0;
  // No write bit for anyone is read-only even for a user (root) who could override it.
  if ((st.st_mode & 0222) == 0) return EACCES;
  return ::access(file.c_str(), W_OK) == 0 ? 0 : errno;
}

ReplacementFile::ReplacementFile(const WriterLock& lock, const std::filesystem::path& target,
                                 const std::filesystem::path& copy, std::size_t recordSize)
    : target_(CheckedTarget(lock, target)),
      copy_(copy),
      file_(RemoveLeftOver(copy), recordSize, RecordFile::Mode::kCreateNew) {}

ReplacementFile::~ReplacementFile() {
  if (committed_) return;
  try {
    file_.Close();
  } catch (const FileError&) {
    // Only the copy is affected, and it is removed next.
  }
  FileStep();
  ::unlink(copy_.c_str());
}

void ReplacementFile::Commit(std::optional<mode_t> mode) {
  // Keep the permissions the user gave the file.
  struct stat st {};
  if (!mode && ::stat(target_.c_str(), &st) == 0) mode = st.st_mode & 07777;
  if (mode) {
    FileStep();
    if (::chmod(copy_.c_str(), *mode) != 0) throw FileError(errno, copy_.string());
  }
  file_.Sync();
  file_.Close();
  std::error_code ec;
  FileStep();
  std::filesystem::rename(copy_, target_, ec);
  if (ec) throw FileError(ec.value(), target_.string());
  committed_ = true;
  // Make the rename itself durable.
  const auto dir = target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    FileStep();
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace memro
