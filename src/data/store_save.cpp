#include "data/store_save.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "data/event_record.h"
#include "data/replace_file.h"

namespace memro {
namespace {

// Replacing a link by a regular file would cut it loose from the file the user keeps
// elsewhere; the file it points to is the one to rewrite.
std::filesystem::path ResolveLink(const std::filesystem::path& target) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(target, ec)) return target;
  const auto resolved = std::filesystem::canonical(target, ec);
  if (!ec) return resolved;
  // A dangling link: the file it names is created.
  const auto destination = std::filesystem::read_symlink(target, ec);
  if (ec) throw FileError(ec.value(), target.string());
  return destination.is_absolute() ? destination : target.parent_path() / destination;
}

}  // namespace

SaveTarget SaveStore(RecordFile& store, std::int64_t count, const std::filesystem::path& target) {
  const std::filesystem::path file = ResolveLink(target);
  std::error_code ec;
  const bool existed = std::filesystem::exists(file, ec);
  ReplacementFile copy(file, RewriteCopyName(file), kRecordSize);
  std::string bytes;
  for (std::int64_t n = 1; n <= count + 1; ++n) {
    // A store shorter than its count would save blanks as events: stop instead.
    if (store.Read(n, bytes) != kRecordSize) throw FileError(EIO, store.path().string());
    copy.file().Write(n, bytes);
  }
  copy.Commit();
  return existed ? SaveTarget::kReplaced : SaveTarget::kCreated;
}

}  // namespace memro
