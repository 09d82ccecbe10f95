#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "data/record_file.h"

namespace memro {

// Reads a record file front to back in large chunks: one system call per chunk instead
// of one per record, which is what makes scanning and reporting a full file cheap.
// Records outside the chunk in hand are fetched from the file, so any order works; only
// the forward one is fast. Writes through the same RecordFile must not overlap a chunk
// in hand (the due list and the event file are never read and written at once).
class RecordReader {
 public:
  explicit RecordReader(RecordFile& file, std::size_t chunkRecords = 256);

  // As RecordFile::Read: record n into out, the count of bytes that were in the file.
  std::size_t Read(std::int64_t n, std::string& out);
  // The bytes of record n that are in the file, without copying them: shorter than a
  // record at the end of the file. Valid until the next call.
  std::string_view View(std::int64_t n);

 private:
  RecordFile& file_;
  std::size_t chunkRecords_;
  // One buffer for every chunk: neither allocated nor cleared again for each.
  std::unique_ptr<char[]> chunk_;
  std::size_t chunkBytes_ = 0;   // bytes of the file in chunk_
  std::int64_t chunkFirst_ = 0;  // record number of chunk_[0]; 0 when empty
};

// Collects records written one after another and writes them in large chunks. Nothing
// reaches the file before Flush or a full chunk: callers flush before they read back,
// and an object dropped without Flush (after an exception) writes nothing more.
class RecordWriter {
 public:
  RecordWriter(RecordFile& file, std::int64_t first, std::size_t chunkRecords = 256);

  // Writes the next record, cut or padded with NULs to the record size as
  // RecordFile::Write does.
  void Append(std::string_view bytes);
  void Flush();
  // The record number the next Append writes.
  std::int64_t next() const { return next_; }

 private:
  RecordFile& file_;
  std::size_t chunkRecords_;
  std::string pending_;
  std::int64_t pendingFirst_;
  std::int64_t next_;
};

}  // namespace memro
