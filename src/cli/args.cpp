#include "cli/args.h"

namespace memro::cli {

std::optional<std::string> ParseArgs(const std::vector<std::string>& words,
                                     const std::set<std::string>& withValue,
                                     const std::set<std::string>& flags, Args& out) {
  bool onlyPositional = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    // After "--" a file name that starts with "--" is a file name.
    if (!onlyPositional && w == "--") {
      onlyPositional = true;
      continue;
    }
    if (onlyPositional || w.size() < 3 || w.rfind("--", 0) != 0) {
      out.positional.push_back(w);
      continue;
    }
    std::string name = w.substr(2);
    std::optional<std::string> value;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.erase(eq);
    }
    if (flags.count(name) && !value) {
      out.flags.insert(name);
    } else if (withValue.count(name)) {
      if (!value) {
        if (i + 1 >= words.size()) return "option --" + name + " needs a value";
        value = words[++i];
      }
      out.values[name] = *value;
    } else {
      return "unknown option --" + name;
    }
  }
  return std::nullopt;
}

}  // namespace memro::cli
