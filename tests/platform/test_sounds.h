#pragma once

#include <filesystem>

#include "support/fake_platform.h"  // TempDir

namespace memro::testing {

// A short mono 16-bit PCM tone.
void WriteToneWave(const std::filesystem::path& file);

// Four piano notes, two seconds in all (made by data/make_notes_mid.py).
std::filesystem::path NotesMidi();

}  // namespace memro::testing
