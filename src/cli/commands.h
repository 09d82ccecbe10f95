#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace memro::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// The whole tool: words are the arguments after the program name. outIsTerminal: out
// is a terminal, to which the events' texts go without their control characters.
int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
           bool outIsTerminal = false);

int RunReport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
              bool outIsTerminal);
int RunDump(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunAdd(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunConvert(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunExport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunImport(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunNotify(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int RunSync(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

// "memro-cli: <text>" and the hint to --help; returns kExitUsage.
int UsageError(std::ostream& err, const std::string& text);

}  // namespace memro::cli
