#include "data/file_target.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "data/record_file.h"

namespace memro {
namespace {

namespace fs = std::filesystem;

// The name the kernel knows an open file by: where it really lives, links resolved.
fs::path KernelPath(int fd) {
  std::error_code ec;
  fs::path path = fs::read_symlink(DescriptorPath(fd), ec);
  if (ec || !path.is_absolute()) return {};
  return path;
}

// The kernel's rule for links in sticky folders that everybody may write (/tmp): a
// link is followed only by its owner or when the folder's owner made it. The kernel
// decides; this only chooses the words of the refusal.
bool RefusedSharedLink(const fs::path& name) {
  struct stat link {
  }, dir{};
  const fs::path parent = name.has_parent_path() ? name.parent_path() : fs::path(".");
  return ::lstat(name.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
         ::stat(parent.c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) != 0 &&
         (dir.st_mode & S_IWOTH) != 0 && link.st_uid != ::geteuid() && link.st_uid != dir.st_uid;
}

bool IsLink(const fs::path& name) {
  struct stat st {};
  return ::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

// Built piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) of "literal" + string.
std::string DescriptorPath(int fd) {
  std::string path("/proc/self/fd/");
  path.append(std::to_string(fd));
  return path;
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    Reset();
    fd_ = other.Release();
  }
  return *this;
}

int Descriptor::Release() { return std::exchange(fd_, -1); }

void Descriptor::Reset() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

FileTarget::FileTarget(const fs::path& name) : name_(name) {
  // Another program may rename a file over the name between the steps: look again.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (Open()) return;
  }
  throw FileError(EAGAIN, name.string());
}

bool FileTarget::Open() {
  file_.Reset();
  dir_.Reset();
  const int fd = ::open(name_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT && IsLink(name_)) {
      throw FileError(ENOENT, name_.string(),
                      "Symbolic link to a file that does not exist");
    }
    if (error == EACCES && RefusedSharedLink(name_)) {
      throw FileError(EACCES, name_.string(),
                      "Refused to follow a symbolic link that another user made in a "
                      "shared folder");
    }
    if (error != ENOENT) throw FileError(error, name_.string());
    const fs::path leaf = name_.filename();
    if (leaf.empty() || leaf == "." || leaf == "..") throw FileError(EISDIR, name_.string());
    OpenDirectory(name_.has_parent_path() ? name_.parent_path() : fs::path("."));
    leaf_ = leaf.string();
    return StillNamed();
  }
  file_ = Descriptor(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw FileError(errno, name_.string());
  if (!S_ISREG(st.st_mode)) {
    throw FileError(EINVAL, name_.string(), "Not a regular file");
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fs::path real = KernelPath(fd);
  if (real.empty()) real = fs::weakly_canonical(fs::absolute(name_));
  OpenDirectory(real.parent_path());
  leaf_ = real.filename().string();
  return StillNamed();
}

void FileTarget::OpenDirectory(const fs::path& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder the user may enter but not list is still one to write in.
  if (fd < 0 && errno == EACCES) fd = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw FileError(errno, dir.string());
  dir_ = Descriptor(fd);
  dirPath_ = KernelPath(fd);
  if (dirPath_.empty()) dirPath_ = fs::absolute(dir);
}

bool FileTarget::StillNamed() const {
  struct stat named {};
  const bool found = ::fstatat(dir(), leaf_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists()) return !found && errno == ENOENT;
  const struct stat held = Status();
  return found && held.st_nlink > 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

struct stat FileTarget::Status() const {
  struct stat st {};
  if (::fstat(fd(), &st) != 0) throw FileError(errno, name_.string());
  return st;
}

}  // namespace memro
