#include "data/file_digest.h"

#include <unistd.h>

#include <cerrno>
#include <memory>

#include "data/file_state.h"

namespace memro {

std::optional<std::uint64_t> FileDigest(const std::filesystem::path& file) {
  const Descriptor fd = OpenRegularForReading(file);
  if (!fd.valid()) return std::nullopt;
  constexpr std::size_t kChunk = 64 * 1024;
  const auto buffer = std::make_unique<char[]>(kChunk);
  ByteDigest digest;
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer.get(), kChunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return digest.value();
    digest.Add(std::string_view(buffer.get(), static_cast<std::size_t>(got)));
  }
}

}  // namespace memro
