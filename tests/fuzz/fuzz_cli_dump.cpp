// `memro-cli dump` on arbitrary bytes: it exits 0 or 1, and every line it prints is one
// JSON object of an event.
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/commands.h"
#include "fuzz_support.h"

using namespace memro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzzing::WriteScratchFile("dump.mmo", fuzzing::Bytes(data, size));
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::RunCli({"dump", file.string()}, out, err);
  fuzzing::Require(status == cli::kExitOk || status == cli::kExitFailed, "exit 0 or 1");
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    const auto event = nlohmann::json::parse(line, nullptr, false);
    fuzzing::Require(event.is_object() && event.contains("record") && event.contains("date"),
                     "each line is an event object");
  }
  fuzzing::Require(status == cli::kExitOk || !err.str().empty(), "a failure is explained");
  return 0;
}
