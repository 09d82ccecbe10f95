#include "data/interrupted_rewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "data/file_attributes.h"
#include "data/file_steps.h"
#include "data/record_file.h"

namespace memro {
namespace {

// Copies every byte of from over to, which ends where from ends.
void CopyContent(int from, int to, const std::string& name) {
  std::vector<char> buffer(1 << 16);
  off_t at = 0;
  for (;;) {
    const ssize_t got = ::pread(from, buffer.data(), buffer.size(), at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError(errno, name);
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      FileStep();
      const ssize_t put = ::pwrite(to, buffer.data() + done, static_cast<std::size_t>(got - done),
                                   at + done);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) throw FileError(errno, name);
      done += put;
    }
    at += got;
  }
  FileStep();
  if (::ftruncate(to, at) != 0) throw FileError(errno, name);
  FileStep();
  if (::fsync(to) != 0) throw FileError(errno, name);
}

// The room the new content needs, taken before the file is touched: a full disk then
// stops the rewrite while the file is still whole.
void Reserve(int fd, int newContent, const std::string& name) {
  struct stat now {};
  if (::fstat(newContent, &now) != 0) throw FileError(errno, name);
  FileStep();
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, now.st_size) != 0 && errno != EOPNOTSUPP) {
    throw FileError(errno, name);
  }
}

// A user may remove a name from a sticky folder (/tmp) only when it, or the folder,
// is theirs.
bool MayRemove(const FileTarget& target, const struct stat& backup) {
  struct stat dir {};
  if (::geteuid() == 0 || ::fstat(target.dir(), &dir) != 0) return true;
  return (dir.st_mode & S_ISVTX) == 0 || backup.st_uid == ::geteuid() ||
         dir.st_uid == ::geteuid();
}

// The old content beside the file under the backup name, which it gets only once it is
// complete: a backup that can be found is always whole.
void MakeBackup(const FileTarget& target, const std::string& backupName) {
  const std::string backupPath = (target.dirPath() / backupName).string();
  const std::string partName = backupName + "-part";
  const struct stat st = target.Status();
  FileStep();
  Descriptor backup(::openat(target.dir(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  const bool named = !backup.valid();
  if (named) {
    backup = Descriptor(::openat(target.dir(), partName.c_str(),
                                 O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
  }
  if (!backup.valid()) throw FileError(errno, backupPath);
  // Whoever writes next (the file's group) must be able to put it back.
  (void)::fchown(backup.get(), static_cast<uid_t>(-1), st.st_gid);
  (void)::fchmod(backup.get(), st.st_mode & 0660);
  CopyContent(target.fd(), backup.get(), backupPath);
  Mark(backup.get(), kBackupMark, target.leaf());
  FileStep();
  const std::string self = DescriptorPath(backup.get());
  const int linked =
      named ? ::renameat(target.dir(), partName.c_str(), target.dir(), backupName.c_str())
            : ::linkat(AT_FDCWD, self.c_str(), target.dir(), backupName.c_str(), AT_SYMLINK_FOLLOW);
  if (linked != 0) {
    const int error = errno;
    if (named) ::unlinkat(target.dir(), partName.c_str(), 0);
    throw FileError(error, backupPath);
  }
  FileStep();
  ::fsync(target.dir());
}

}  // namespace

std::string BackupName(const std::string& leaf) {
  std::string name(".");  // piece by piece, as CopyName
  name.append(leaf, 0, 200).append(".memro-old");
  return name;
}

void RewriteInPlace(const FileTarget& target, int newContent) {
  const std::string name = target.realPath().string();
  const std::string backupName = BackupName(target.leaf());
  MakeBackup(target, backupName);
  try {
    Reserve(target.fd(), newContent, name);
  } catch (const FileError&) {
    ::unlinkat(target.dir(), backupName.c_str(), 0);
    throw;
  }
  try {
    CopyContent(newContent, target.fd(), name);
  } catch (const FileError&) {
    // Put the old content back at once; if that fails too, the next writer does.
    try {
      Descriptor backup(::openat(target.dir(), backupName.c_str(), O_RDONLY | O_CLOEXEC));
      CopyContent(backup.get(), target.fd(), name);
      ::unlinkat(target.dir(), backupName.c_str(), 0);
    } catch (const FileError&) {
    }
    throw;
  }
  FileStep();
  ::unlinkat(target.dir(), backupName.c_str(), 0);
}

void RestoreInterruptedRewrite(const FileTarget& target) {
  if (!target.exists()) return;
  const std::string backupName = BackupName(target.leaf());
  Descriptor backup(::openat(target.dir(), backupName.c_str(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!backup.valid()) return;
  struct stat st {};
  if (::fstat(backup.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      !HasMark(backup.get(), kBackupMark, target.leaf())) {
    return;  // not provably left by a writer of this file
  }
  const std::string backupPath = (target.dirPath() / backupName).string();
  if (!MayRemove(target, st)) {
    throw FileError(EPERM, target.name().string(),
                    "A rewrite of it stopped half-way; its earlier content is in " +
                        backupPath + ", which only its owner can put back");
  }
  CopyContent(backup.get(), target.fd(), target.realPath().string());
  FileStep();
  if (::unlinkat(target.dir(), backupName.c_str(), 0) != 0) throw FileError(errno, backupPath);
  ::fsync(target.dir());
}

}  // namespace memro
