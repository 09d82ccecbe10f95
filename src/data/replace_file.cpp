#include "data/replace_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "data/file_attributes.h"
#include "data/file_steps.h"
#include "data/interrupted_rewrite.h"

namespace memro {
namespace {

constexpr int kCopyNames = 20;

// A name stays within the system's limit of 255 bytes.
std::string Shortened(const std::string& leaf) { return leaf.substr(0, 200); }

void SyncDirectory(int dir) {
  FileStep();
  ::fsync(dir);  // a directory opened only as a path cannot be flushed: nothing to do
}

// Removes the copy left by a writer of this file that was stopped between naming its
// copy and the rename, and nothing the user made.
void RemoveLeftOver(const FileTarget& target, const std::string& name) {
  const int fd = ::openat(target.dir(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  const bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 &&
                    HasMark(fd, kCopyMark, target.leaf());
  ::close(fd);
  if (ours) {
    FileStep();
    ::unlinkat(target.dir(), name.c_str(), 0);
  }
}

}  // namespace

std::string CopyName(const std::string& leaf, int n) {
  // Built piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) of "." + string.
  std::string name(".");
  name.append(Shortened(leaf)).append(".memro-new");
  if (n > 0) name.append("-").append(std::to_string(n));
  return name;
}

int WriteRefusal(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return 0;
  // No write bit for anyone is read-only even for a user (root) who could override it.
  if ((st.st_mode & 0222) == 0) return EACCES;
  return ::access(file.c_str(), W_OK) == 0 ? 0 : errno;
}

int WriteRefusal(const FileTarget& target) {
  if (!target.exists()) return 0;
  return (target.Status().st_mode & 0222) == 0 ? EACCES : 0;
}

ReplacementFile::ReplacementFile(const WriterLock& lock, std::size_t recordSize)
    : target_(lock.target()) {
  for (int n = 0; n < kCopyNames; ++n) RemoveLeftOver(target_, CopyName(target_.leaf(), n));
  Create(recordSize);
}

// An unnamed file in the file's directory where the file system has them, else one
// under a free copy name.
void ReplacementFile::Create(std::size_t recordSize) {
  FileStep();
  int fd = ::openat(target_.dir(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    throw FileError(errno, target_.dirPath().string());
  }
  for (int n = 0; fd < 0 && n < kCopyNames; ++n) {
    const std::string name = CopyName(target_.leaf(), n);
    fd = ::openat(target_.dir(), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0600);
    if (fd >= 0) {
      named_ = name;
      Mark(fd, kCopyMark, target_.leaf());
    } else if (errno != EEXIST) {
      throw FileError(errno, (target_.dirPath() / name).string());
    }
  }
  if (fd < 0) throw FileError(EEXIST, (target_.dirPath() / CopyName(target_.leaf(), 0)).string());
  file_ = RecordFile(fd, target_.realPath(), recordSize);
}

ReplacementFile::~ReplacementFile() {
  try {
    file_.Close();  // after a commit: lets go of the new file's lock
  } catch (const FileError&) {
    // The content was flushed before; otherwise only the copy is affected.
  }
  if (committed_) return;
  if (!named_.empty()) {
    FileStep();
    ::unlinkat(target_.dir(), named_.c_str(), 0);
  }
}

void ReplacementFile::Commit(std::optional<mode_t> mode) {
  const int copy = file_.fd();
  bool inPlace = false;
  FileStep();
  if (!target_.exists()) {
    if (::fchmod(copy, mode.value_or(0600)) != 0) throw FileError(errno, target_.name().string());
  } else {
    const struct stat st = target_.Status();
    // A copy renamed over one of several links would part it from the others.
    inPlace = st.st_nlink > 1 || !GiveAttributes(target_.fd(), st, copy, mode);
  }
  file_.Sync();
  if (inPlace) {
    RewriteInPlace(target_, copy);
    if (!named_.empty()) ::unlinkat(target_.dir(), named_.c_str(), 0);
    named_.clear();
  } else {
    // The new file comes in locked, so that no writer takes it before this one is done.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    (void)::fcntl(copy, F_OFD_SETLK, &whole);
    if (target_.exists()) {
      Publish();
    } else {
      PublishNew();
    }
  }
  committed_ = true;
  SyncDirectory(target_.dir());
}

// Gives an unnamed copy a name for the rename: the first free copy name.
void ReplacementFile::LinkUnder(const std::string& name) {
  const std::string self = DescriptorPath(file_.fd());
  FileStep();
  if (::linkat(AT_FDCWD, self.c_str(), target_.dir(), name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    throw FileError(errno, (target_.dirPath() / name).string());
  }
  named_ = name;
}

void ReplacementFile::Publish() {
  if (named_.empty()) {
    Mark(file_.fd(), kCopyMark, target_.leaf());
    for (int n = 0; named_.empty(); ++n) {
      try {
        LinkUnder(CopyName(target_.leaf(), n));
      } catch (const FileError& e) {
        if (e.code() != EEXIST || n + 1 >= kCopyNames) throw;
      }
    }
  }
  FileStep();
  if (::renameat(target_.dir(), named_.c_str(), target_.dir(), target_.leaf().c_str()) != 0) {
    throw FileError(errno, target_.realPath().string());
  }
  named_.clear();
  ::fremovexattr(file_.fd(), kCopyMark);
}

// A file that was missing is made only where its name is still free.
void ReplacementFile::PublishNew() {
  if (named_.empty()) {
    try {
      LinkUnder(target_.leaf());
    } catch (const FileError& e) {
      if (e.code() == EEXIST) throw FileAppearedError(target_.name());
      throw;
    }
    named_.clear();
    return;
  }
  FileStep();
  if (::renameat2(target_.dir(), named_.c_str(), target_.dir(), target_.leaf().c_str(),
                  RENAME_NOREPLACE) != 0) {
    if (errno == EEXIST) throw FileAppearedError(target_.name());
    throw FileError(errno, target_.realPath().string());
  }
  named_.clear();
  ::fremovexattr(file_.fd(), kCopyMark);
}

}  // namespace memro
