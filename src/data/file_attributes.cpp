#include "data/file_attributes.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

namespace memro {
namespace {

constexpr std::string_view kOwnMarks = "user.memro.";

std::vector<char> Names(int fd) {
  for (;;) {
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size <= 0) return {};
    std::vector<char> names(static_cast<std::size_t>(size));
    const ssize_t got = ::flistxattr(fd, names.data(), names.size());
    if (got >= 0) {
      names.resize(static_cast<std::size_t>(got));
      return names;
    }
    if (errno != ERANGE) return {};  // grown meanwhile: ask again
  }
}

std::optional<std::string> Value(int fd, const char* name) {
  for (;;) {
    const ssize_t size = ::fgetxattr(fd, name, nullptr, 0);
    if (size < 0) return std::nullopt;
    std::string value(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::fgetxattr(fd, name, value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<std::size_t>(got));
      return value;
    }
    if (errno != ERANGE) return std::nullopt;
  }
}

// Labels of the security modules and trusted attributes are the system's to give.
bool SystemsOwn(std::string_view name) {
  return name.starts_with("security.") || name.starts_with("trusted.");
}

bool GiveExtended(int from, int to) {
  const std::vector<char> names = Names(from);
  for (std::size_t at = 0; at < names.size();) {
    const char* name = names.data() + at;
    const std::string_view view(name);
    at += view.size() + 1;
    if (view.starts_with(kOwnMarks)) continue;
    const auto value = Value(from, name);
    if (!value) continue;  // removed meanwhile
    if (::fsetxattr(to, name, value->data(), value->size(), 0) != 0 && !SystemsOwn(view)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool GiveAttributes(int from, const struct stat& st, int to, std::optional<mode_t> mode) {
  const mode_t bits = mode.value_or(st.st_mode & 07777);
  if (::fchmod(to, bits & 0777) != 0) return false;
  // The access list after the mode: setting it also sets the group bits to its mask.
  // An explicit mode is the whole of the new file's permissions: no list widens it.
  if (!mode && !GiveExtended(from, to)) return false;
  struct stat now {};
  if (::fstat(to, &now) != 0) return false;
  if (now.st_uid != st.st_uid || now.st_gid != st.st_gid) {
    if (::fchown(to, st.st_uid, st.st_gid) != 0) return false;
  }
  // A change of owner takes away the set-id bits; give them back.
  if ((bits & 07000) != 0 && ::fchmod(to, bits) != 0) return false;
  return true;
}

void Mark(int fd, const char* mark, const std::string& leaf) {
  (void)::fsetxattr(fd, mark, leaf.data(), leaf.size(), 0);
}

bool HasMark(int fd, const char* mark, const std::string& leaf) {
  return Value(fd, mark) == leaf;
}

}  // namespace memro
