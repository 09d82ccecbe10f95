#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace memro::fuzzing {

// A directory of this fuzzing process, made once, with MEMRO_HOME and TEMP pointing
// into it so that nothing touches the user's own files.
const std::filesystem::path& ScratchDir();

// Replaces `name` in the scratch directory with bytes and returns its path.
std::filesystem::path WriteScratchFile(const std::string& name, std::string_view bytes);
std::string ReadWholeFile(const std::filesystem::path& file);

// Stops the fuzzer with a finding when a property of the code does not hold.
void Require(bool holds, const char* what);

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace memro::fuzzing
