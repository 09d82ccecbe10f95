#include "test_environment.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#ifndef MEMRO_TEST_ROOT
#error "MEMRO_TEST_ROOT names the directory under which tests make their own"
#endif

namespace memro::testing {
namespace {

std::filesystem::path processDirectory;
pid_t owner = 0;

void RemoveProcessDirectory() {
  // A forked child that ends through exit() must not remove its parent's directory.
  if (::getpid() != owner) return;
  std::error_code ignored;
  std::filesystem::remove_all(processDirectory, ignored);
}

std::filesystem::path MakeDirectory(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  // Qt refuses a runtime directory that others may read; none of these needs it.
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
  return dir;
}

void Point(const char* variable, const std::filesystem::path& dir) {
  ::setenv(variable, MakeDirectory(dir).c_str(), 1);
}

}  // namespace

void PrepareTestEnvironment() {
  const std::filesystem::path root = MEMRO_TEST_ROOT;
  std::filesystem::create_directories(root);
  std::string pattern = (root / "run-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp in " + pattern);
  const std::filesystem::path dir = pattern;
  processDirectory = dir;
  owner = ::getpid();
  std::atexit(RemoveProcessDirectory);

  Point("HOME", dir / "home");
  Point("TMPDIR", dir / "tmp");
  Point("TEMP", dir / "temp");
  Point("MEMRO_HOME", dir / "memro-home");
  Point("XDG_CONFIG_HOME", dir / "config");
  Point("XDG_DATA_HOME", dir / "data");
  Point("XDG_CACHE_HOME", dir / "cache");
  Point("XDG_STATE_HOME", dir / "state");
  Point("XDG_RUNTIME_DIR", dir / "runtime");
  // No test reaches the desktop's buses: only a script that made private ones for the
  // test says so.
  const char* buses = std::getenv("MEMRO_TEST_BUSES");
  if (buses == nullptr || std::string(buses) != "private") {
    const std::string none = "unix:path=" + (dir / "no-bus").string();
    ::setenv("DBUS_SESSION_BUS_ADDRESS", none.c_str(), 1);
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", none.c_str(), 1);
  }
}

}  // namespace memro::testing
