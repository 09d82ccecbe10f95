#include "cli/commands.h"

namespace memro::cli {
int RunDump(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  return UsageError(err, "dump: not built yet");
}
int RunAdd(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  return UsageError(err, "add: not built yet");
}
int RunConvert(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
  return UsageError(err, "convert: not built yet");
}
}  // namespace memro::cli
