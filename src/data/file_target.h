#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace memro {

// The name under which the kernel reaches an open descriptor (/proc/self/fd/N).
std::string DescriptorPath(int fd);

// A descriptor that is closed with its owner.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(Descriptor&& other) noexcept : fd_(other.Release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int Release();
  void Reset();

 private:
  int fd_ = -1;
};

// A file that is about to be rewritten, found once, so that its lock, its reading, the
// copy beside it and the rename all meet the same file even when links change
// meanwhile. The name goes through the kernel's own resolution (a symbolic link is
// followed only where the kernel lets this user follow it); what it reaches is held as
// the directory the file really lives in, its name there and, when it exists, the file
// itself, open for reading and writing.
class FileTarget {
 public:
  // Throws FileError: the user may not write the file, a link that is refused or leads
  // nowhere, a name that is no regular file.
  explicit FileTarget(const std::filesystem::path& name);

  // The name as the caller gave it, for messages.
  const std::filesystem::path& name() const { return name_; }
  bool exists() const { return file_.valid(); }
  int fd() const { return file_.get(); }
  int dir() const { return dir_.get(); }
  // The file's name in dir().
  const std::string& leaf() const { return leaf_; }
  // The path of the directory the file lives in, for messages.
  const std::filesystem::path& dirPath() const { return dirPath_; }
  std::filesystem::path realPath() const { return dirPath_ / leaf_; }

  // True while dir() still names the opened file: no other program renamed another
  // file over it or removed it. A missing file: true while the name is still free.
  bool StillNamed() const;
  // The opened file's status now (its link count, owner, mode).
  struct stat Status() const;

 private:
  bool Open();
  void OpenDirectory(const std::filesystem::path& dir);

  std::filesystem::path name_;
  Descriptor file_;
  Descriptor dir_;
  std::filesystem::path dirPath_;
  std::string leaf_;
};

}  // namespace memro
