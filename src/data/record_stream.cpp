#include "data/record_stream.h"

#include <algorithm>

namespace memro {

RecordReader::RecordReader(RecordFile& file, std::size_t chunkRecords)
    : file_(file), chunkRecords_(std::max<std::size_t>(chunkRecords, 1)) {}

std::string_view RecordReader::View(std::int64_t n) {
  const std::size_t size = file_.record_size();
  const bool inChunk = chunkFirst_ > 0 && n >= chunkFirst_ &&
                       static_cast<std::size_t>(n - chunkFirst_) * size < chunkBytes_;
  if (!inChunk) {
    if (!chunk_) chunk_ = std::make_unique_for_overwrite<char[]>(chunkRecords_ * size);
    chunkFirst_ = 0;  // a failed read leaves no chunk behind
    chunkBytes_ = file_.ReadInto(static_cast<std::uint64_t>(n - 1) * size, chunk_.get(),
                                 chunkRecords_ * size);
    chunkFirst_ = n;
    if (chunkBytes_ == 0) return {};
  }
  const std::size_t start = static_cast<std::size_t>(n - chunkFirst_) * size;
  return std::string_view(chunk_.get() + start, std::min(size, chunkBytes_ - start));
}

std::size_t RecordReader::Read(std::int64_t n, std::string& out) {
  const std::string_view bytes = View(n);
  out.assign(bytes);
  out.resize(file_.record_size(), '\0');
  return bytes.size();
}

RecordWriter::RecordWriter(RecordFile& file, std::int64_t first, std::size_t chunkRecords)
    : file_(file),
      chunkRecords_(std::max<std::size_t>(chunkRecords, 1)),
      pendingFirst_(first),
      next_(first) {
  pending_.reserve(chunkRecords_ * file_.record_size());
}

void RecordWriter::Append(std::string_view bytes) {
  const std::size_t size = file_.record_size();
  const std::string_view record = bytes.substr(0, size);
  pending_.append(record);
  pending_.append(size - record.size(), '\0');
  ++next_;
  if (pending_.size() >= chunkRecords_ * size) Flush();
}

void RecordWriter::Flush() {
  if (!pending_.empty()) {
    file_.WriteAt(static_cast<std::uint64_t>(pendingFirst_ - 1) * file_.record_size(), pending_);
    pending_.clear();
  }
  pendingFirst_ = next_;
}

}  // namespace memro
