#pragma once

#include <filesystem>

namespace memro::testing {

// A short mono 16-bit PCM tone.
void WriteToneWave(const std::filesystem::path& file);

// Four piano notes, two seconds in all (made by data/make_notes_mid.py).
std::filesystem::path NotesMidi();

// A private empty directory, removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace memro::testing
