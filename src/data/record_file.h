#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace memro {

// A failed file operation, carrying the system's description of the error.
class FileError : public std::runtime_error {
 public:
  FileError(int code, const std::string& what);
  // With a reason of the program's own where the system's wording would mislead, e.g.
  // for a symbolic link that is refused.
  FileError(int code, const std::string& what, std::string reason);
  int code() const { return code_; }
  // The system's own wording, e.g. "No such file or directory", or the given reason.
  std::string description() const;

 private:
  int code_;
  std::string reason_;
};

// The system's description of an errno value.
std::string ErrorText(int code);

// A file of fixed-length records addressed by number from 1, as the event file, the
// record store and the due list are used. Throws FileError on every failure.
class RecordFile {
 public:
  // kCreate truncates an existing file; kCreateNew fails when the name is taken, also by
  // a symbolic link.
  enum class Mode { kRead, kReadWrite, kCreate, kCreateNew };

  RecordFile() = default;
  RecordFile(const std::filesystem::path& path, std::size_t recordSize, Mode mode);
  // Takes over an open descriptor (closed with the object); path names it in messages.
  RecordFile(int fd, const std::filesystem::path& path, std::size_t recordSize);
  ~RecordFile();
  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&& other) noexcept;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  bool is_open() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::filesystem::path& path() const { return path_; }
  std::size_t record_size() const { return recordSize_; }

  // Reads record n into out (record_size bytes). Bytes past the end of the file are
  // not read; the returned count says how many were there.
  std::size_t Read(std::int64_t n, std::string& out);
  void Write(std::int64_t n, std::string_view bytes);
  // Writes at the position after the record last read or written.
  void Append(std::string_view bytes);
  // Raw bytes at a byte offset, for a fragment that is no whole record.
  std::string ReadAt(std::uint64_t offset, std::size_t size);
  // As ReadAt, into a buffer the caller keeps: returns how many bytes were there.
  std::size_t ReadInto(std::uint64_t offset, char* data, std::size_t size);
  // Writes raw bytes at a byte offset (for a trailing fragment).
  void WriteAt(std::uint64_t offset, std::string_view bytes);

  std::uint64_t ByteLength() const;
  void Truncate(std::uint64_t length);
  void Sync();
  void Close();

 private:
  std::filesystem::path path_;
  std::size_t recordSize_ = 0;
  int fd_ = -1;
  std::int64_t next_ = 1;
};

// The number of records of a file of `length` bytes: length / size rounded to the
// nearest whole number, halves to the even neighbour.
std::int64_t RoundedRecordCount(std::uint64_t length, std::size_t recordSize);

}  // namespace memro
