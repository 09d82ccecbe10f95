#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  return memro::cli::RunCli(words, std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1);
}
