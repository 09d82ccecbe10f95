#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace memro {

// FNV-1a, fed piece by piece: a fixed, published function, so a digest written by one
// build is read by any.
class ByteDigest {
 public:
  void Add(std::string_view bytes) {
    for (const char c : bytes) value_ = (value_ ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  }
  std::uint64_t value() const { return value_; }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325ULL;
};

// A 64-bit digest of a regular file's bytes, the same in every run and every version of
// the program (it is kept in recovery notes). Tells a file rewritten with the very same
// bytes from one whose content changed. Nothing when the file cannot be read.
std::optional<std::uint64_t> FileDigest(const std::filesystem::path& file);

}  // namespace memro
