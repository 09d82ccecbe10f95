#include <ostream>

#include "cli/commands.h"
#include "data/fixed_texts.h"

namespace memro::cli {
namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  memro-cli report FILE [--today YYYY-MM-DD] [--range DAYS] [--clean-up ask|delete|keep]\n"
    "                        [--dry-run] [--output PATH]\n"
    "  memro-cli dump FILE\n"
    "  memro-cli add FILE --date DATE --message TEXT\n"
    "                     [--frequency yearly|monthly|weekly|daily|once] [--warn DAYS]\n"
    "                     [--disabled] [--no-backdated] [--clean-up]\n"
    "  memro-cli convert OLD NEW\n"
    "  memro-cli export FILE OUT.ics\n"
    "  memro-cli import IN.ics FILE\n"
    "  memro-cli notify [FILE] [--today YYYY-MM-DD] [--range DAYS] [--wait]\n"
    "  memro-cli sync [FILE] [--dry-run] [--allow-deletes] [--if-set-up]\n"
    "  memro-cli sync FILE --setup URL [--user NAME] [--calendar NAME]\n"
    "                      [--password-command CMD] [--trust-fingerprint HEX]\n"
    "  memro-cli --help | --version\n"
    "\n"
    "report   scans FILE as the reminder window does at start and writes the report of\n"
    "         what is due (to PATH with CR LF line ends, else to standard output)\n"
    "dump     prints every event of FILE (any format) as one JSON object per line\n"
    "add      appends an event to FILE, creating it when it does not exist\n"
    "convert  saves an event file of an older format as NEW in the current format\n"
    "export   writes the events of FILE (any format) as an iCalendar file for other\n"
    "         calendar programs\n"
    "import   appends the events of an iCalendar file to FILE, creating it when it does\n"
    "         not exist; events whose repeats FILE cannot hold are skipped and named\n"
    "notify   scans FILE (default: the AutoLoad file) as report --dry-run does and shows\n"
    "         a desktop notification of what is due; with --wait it stays until the\n"
    "         notification is closed or the day ends, and a click on it opens memro\n"
    "sync     syncs FILE (default: the AutoLoad file) both ways with a CalDAV calendar;\n"
    "         --setup names the calendar (or a server to find it on), keeps the password\n"
    "         in the desktop's keyring and syncs once\n"
    "\n"
    "Exit status: 0 done, 1 the work failed, 2 wrong usage, 3 a sync stopped to ask.\n";

}  // namespace

int UsageError(std::ostream& err, const std::string& text) {
  err << "memro-cli: " << text << "\nTry 'memro-cli --help'.\n";
  return kExitUsage;
}

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
           bool outIsTerminal) {
  if (words.empty()) return UsageError(err, "no command given");
  const std::string& command = words[0];
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "--version") {
    out << "memro-cli (" << Texts().productTitle << ") " << MEMRO_VERSION << "\n";
    return kExitOk;
  }
  if (command == "report") return RunReport(rest, out, err, outIsTerminal);
  if (command == "dump") return RunDump(rest, out, err);
  if (command == "add") return RunAdd(rest, out, err);
  if (command == "convert") return RunConvert(rest, out, err);
  if (command == "export") return RunExport(rest, out, err);
  if (command == "import") return RunImport(rest, out, err);
  if (command == "notify") return RunNotify(rest, out, err);
  if (command == "sync") return RunSync(rest, out, err);
  return UsageError(err, "unknown command '" + command + "'");
}

}  // namespace memro::cli
