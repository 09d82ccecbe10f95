#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace memro::testing {

// Sets an environment variable for the life of the guard and then puts back what was
// there before (a test binary's main may have set it for every test).
class EnvGuard {
 public:
  EnvGuard(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~EnvGuard() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Points XDG_RUNTIME_DIR at a directory of the test's own (created, mode 0700), so the
// writer locks of a test never reach the user's runtime directory.
class RuntimeDirGuard {
 public:
  explicit RuntimeDirGuard(const std::filesystem::path& dir)
      : made_(Made(dir)), env_("XDG_RUNTIME_DIR", dir.string()) {}

 private:
  static bool Made(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    return true;
  }
  bool made_;
  EnvGuard env_;
};

// Takes the user's write permission on a file for the life of the guard. A process
// running as root passes every permission test, so there the guard also takes an
// unprivileged real user id, which is what access() asks about, and gives it back at
// the end; other file operations keep using the effective (root) id. active() is false
// when the file cannot be made read-only for this process.
class ReadOnlyGuard {
 public:
  explicit ReadOnlyGuard(const std::filesystem::path& file) : file_(file) {
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    if (::getuid() == 0) rootShed_ = ::setreuid(kNobody, static_cast<uid_t>(-1)) == 0;
    active_ = ::access(file.c_str(), W_OK) != 0;
  }
  ~ReadOnlyGuard() {
    if (rootShed_) (void)!::setreuid(0, static_cast<uid_t>(-1));
    std::error_code ignored;
    std::filesystem::permissions(
        file_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, ignored);
  }
  ReadOnlyGuard(const ReadOnlyGuard&) = delete;
  ReadOnlyGuard& operator=(const ReadOnlyGuard&) = delete;
  bool active() const { return active_; }

 private:
  static constexpr uid_t kNobody = 65534;
  std::filesystem::path file_;
  bool rootShed_ = false;
  bool active_ = false;
};

}  // namespace memro::testing
