#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "data/env_guard.h"
#include "support/fake_platform.h"

namespace memro::testing {

// Runs the tool in-process with its own home, temp and runtime directories.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir / "home");
    std::filesystem::create_directories(dir / "temp");
    ::setenv("MEMRO_HOME", (dir / "home").c_str(), 1);
    ::setenv("TEMP", (dir / "temp").c_str(), 1);
  }

  void TearDown() override {
    ::unsetenv("MEMRO_HOME");
    ::unsetenv("TEMP");
  }

  // toTerminal: as if standard output were a terminal.
  int Run(const std::vector<std::string>& words, bool toTerminal = false) {
    out.str("");
    err.str("");
    return cli::RunCli(words, out, err, toTerminal);
  }

  bool TempIsEmpty() { return std::filesystem::is_empty(dir / "temp"); }

  TempDir dir;
  RuntimeDirGuard runtime{dir / "run"};  // the writer locks
  std::ostringstream out;
  std::ostringstream err;
};

}  // namespace memro::testing
