#include "fuzz_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace memro::fuzzing {

const std::filesystem::path& ScratchDir() {
  static const std::filesystem::path dir = [] {
    // In memory when the machine offers it: every rewrite ends with a flush to disk.
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "memro-fuzz-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) std::abort();
    const std::filesystem::path made(buffer.data());
    std::filesystem::create_directories(made / "home");
    std::filesystem::create_directories(made / "temp");
    ::setenv("MEMRO_HOME", (made / "home").c_str(), 1);
    ::setenv("TEMP", (made / "temp").c_str(), 1);
    // Kept apart from the static below, which is gone by the time exit handlers run.
    static const std::filesystem::path* const removeAtExit = new std::filesystem::path(made);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(*removeAtExit, ignored);
    });
    return made;
  }();
  return dir;
}

std::filesystem::path WriteScratchFile(const std::string& name, std::string_view bytes) {
  const auto file = ScratchDir() / name;
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), std::streamsize(bytes.size()));
  return file;
}

std::string ReadWholeFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
  }
}

}  // namespace memro::fuzzing
