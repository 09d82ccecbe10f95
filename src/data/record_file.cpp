#include "data/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "data/file_steps.h"

namespace memro {

FileError::FileError(int code, const std::string& what)
    : std::runtime_error(what + ": " + ErrorText(code)), code_(code) {}

FileError::FileError(int code, const std::string& what, std::string reason)
    : std::runtime_error(what + ": " + reason), code_(code), reason_(std::move(reason)) {}

std::string FileError::description() const {
  return reason_.empty() ? ErrorText(code_) : reason_;
}

std::string ErrorText(int code) { return std::strerror(code); }

RecordFile::RecordFile(const std::filesystem::path& path, std::size_t recordSize, Mode mode)
    : path_(path), recordSize_(recordSize) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::kRead:
      flags |= O_RDONLY;
      break;
    case Mode::kReadWrite:
      flags |= O_RDWR;
      break;
    case Mode::kCreate:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
    case Mode::kCreateNew:
      flags |= O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
      break;
  }
  if (mode == Mode::kCreate || mode == Mode::kCreateNew) FileStep();
  fd_ = ::open(path.c_str(), flags, 0600);
  if (fd_ < 0) throw FileError(errno, path.string());
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw FileError(EISDIR, path.string());
  }
}

RecordFile::RecordFile(int fd, const std::filesystem::path& path, std::size_t recordSize)
    : path_(path), recordSize_(recordSize), fd_(fd) {}

RecordFile::~RecordFile() {
  if (fd_ >= 0) ::close(fd_);
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : path_(std::move(other.path_)),
      recordSize_(other.recordSize_),
      fd_(std::exchange(other.fd_, -1)),
      next_(other.next_) {}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    path_ = std::move(other.path_);
    recordSize_ = other.recordSize_;
    fd_ = std::exchange(other.fd_, -1);
    next_ = other.next_;
  }
  return *this;
}

std::size_t RecordFile::Read(std::int64_t n, std::string& out) {
  out.assign(recordSize_, '\0');
  const auto offset = static_cast<off_t>((n - 1) * static_cast<std::int64_t>(recordSize_));
  std::size_t done = 0;
  while (done < recordSize_) {
    const ssize_t got =
        ::pread(fd_, out.data() + done, recordSize_ - done, offset + static_cast<off_t>(done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(errno, path_.string());
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  next_ = n + 1;
  return done;
}

std::string RecordFile::ReadAt(std::uint64_t offset, std::size_t size) {
  std::string out(size, '\0');
  out.resize(ReadInto(offset, out.data(), size));
  return out;
}

std::size_t RecordFile::ReadInto(std::uint64_t offset, char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd_, data + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(errno, path_.string());
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void RecordFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    FileStep();
    const ssize_t put =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      throw FileError(errno, path_.string());
    }
    done += static_cast<std::size_t>(put);
  }
}

void RecordFile::Write(std::int64_t n, std::string_view bytes) {
  std::string record(bytes.substr(0, recordSize_));
  record.resize(recordSize_, '\0');
  WriteAt(static_cast<std::uint64_t>(n - 1) * recordSize_, record);
  next_ = n + 1;
}

void RecordFile::Append(std::string_view bytes) { Write(next_, bytes); }

std::uint64_t RecordFile::ByteLength() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) throw FileError(errno, path_.string());
  return static_cast<std::uint64_t>(st.st_size);
}

void RecordFile::Truncate(std::uint64_t length) {
  FileStep();
  if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) throw FileError(errno, path_.string());
}

void RecordFile::Sync() {
  FileStep();
  if (::fsync(fd_) != 0) throw FileError(errno, path_.string());
}

void RecordFile::Close() {
  if (fd_ >= 0) {
    const int rc = ::close(std::exchange(fd_, -1));
    if (rc != 0) throw FileError(errno, path_.string());
  }
}

std::int64_t RoundedRecordCount(std::uint64_t length, std::size_t recordSize) {
  const std::uint64_t whole = length / recordSize;
  const std::uint64_t rest = length % recordSize;
  const std::uint64_t twice = 2 * rest;
  if (twice > recordSize || (twice == recordSize && whole % 2 == 1)) {
    return static_cast<std::int64_t>(whole + 1);
  }
  return static_cast<std::int64_t>(whole);
}

}  // namespace memro
