#include "data/file_digest.h"

#include <unistd.h>

#include <cerrno>
#include <memory>

#include "data/file_state.h"

namespace memro {

// FNV-1a: a fixed, published function, so a digest written by one build is read by any.
std::optional<std::uint64_t> FileDigest(const std::filesystem::path& file) {
  const Descriptor fd = OpenRegularForReading(file);
  if (!fd.valid()) return std::nullopt;
  constexpr std::size_t kChunk = 64 * 1024;
  const auto buffer = std::make_unique<unsigned char[]>(kChunk);
  std::uint64_t digest = 0xcbf29ce484222325ULL;
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer.get(), kChunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return digest;
    for (ssize_t i = 0; i < got; ++i) {
      digest = (digest ^ buffer[i]) * 0x100000001b3ULL;
    }
  }
}

}  // namespace memro
