#include "test_sounds.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace memro::testing {
namespace {

void Put(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

void WriteToneWave(const std::filesystem::path& file) {
  constexpr std::uint32_t kRate = 8000;
  constexpr std::uint32_t kFrames = kRate / 4;
  std::ofstream out(file, std::ios::binary);
  out.write("RIFF", 4);
  Put(out, 36 + kFrames * 2, 4);
  out.write("WAVEfmt ", 8);
  Put(out, 16, 4);
  Put(out, 1, 2);  // PCM
  Put(out, 1, 2);  // mono
  Put(out, kRate, 4);
  Put(out, kRate * 2, 4);
  Put(out, 2, 2);
  Put(out, 16, 2);
  out.write("data", 4);
  Put(out, kFrames * 2, 4);
  for (std::uint32_t i = 0; i < kFrames; ++i) {
    const double sample = 12000.0 * std::sin(2 * M_PI * 440.0 * i / kRate);
    Put(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(sample)), 2);
  }
}

std::filesystem::path NotesMidi() {
  return std::filesystem::path(MEMRO_PLATFORM_TEST_DATA) / "notes.mid";
}

}  // namespace memro::testing
