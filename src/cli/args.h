#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace memro::cli {

// Command-line words split into positional arguments and --options.
struct Args {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // --name VALUE or --name=VALUE
  std::set<std::string> flags;                // --name
};

// withValue: options that take a value; flags: options that take none. Anything else
// starting with "--" is an error, returned as its text. After a word "--" every word
// is positional.
std::optional<std::string> ParseArgs(const std::vector<std::string>& words,
                                     const std::set<std::string>& withValue,
                                     const std::set<std::string>& flags, Args& out);

}  // namespace memro::cli
