#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "settings/settings.h"
#include "sync/sync_once.h"
#include "sync/sync_run.h"
#include "sync/sync_setup.h"

namespace memro::cli {
namespace {

// The first line the command prints, as other sync tools take it. The password stays in
// memory only.
std::optional<std::string> CommandOutput(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string line;
  for (int c; (c = std::fgetc(pipe)) != EOF && c != '\n';) line += static_cast<char>(c);
  while (std::fgetc(pipe) != EOF) {
  }
  const int status = ::pclose(pipe);
  if (status != 0) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<std::string> Password(const sync::SyncSetup& setup, std::ostream& err) {
  if (const char* given = std::getenv("MEMRO_SYNC_PASSWORD")) return given;
  if (setup.user.empty()) return "";
  if (setup.passwordCommand.empty()) {
    err << "memro-cli: no password for " << setup.user
        << ": set the sync up again with --password-command CMD (a command that prints it)\n";
    return std::nullopt;
  }
  auto password = CommandOutput(setup.passwordCommand);
  if (!password) {
    err << "memro-cli: the password command '" << setup.passwordCommand
        << "' failed; check it, or set the sync up again with another --password-command\n";
  }
  return password;
}

// Chooses the calendar and keeps the setup; false when the user has been told why not.
bool SetUp(sync::DavClient& client, const std::string& file, const Args& args,
           sync::SyncSetup& setup, std::ostream& out, std::ostream& err) {
  const auto calendar = args.values.find("calendar");
  const QString name =
      calendar == args.values.end() ? QString() : QString::fromStdString(calendar->second);
  const auto failure = sync::SetUpCalendar(client, file, args.values.at("setup"), name, setup, out);
  if (failure) err << "memro-cli: " << *failure << "\n";
  return !failure;
}

std::optional<sync::SyncSetup> SetupOf(const std::string& file, const Args& args,
                                       std::ostream& err) {
  if (!args.values.count("setup")) {
    auto setup = sync::LoadSetup(file);
    if (!setup) {
      err << "memro-cli: " << file
          << " is not set up for sync; run memro-cli sync FILE --setup URL [--user NAME] "
             "[--password-command CMD]\n";
    }
    return setup;
  }
  const auto value = [&](const char* name) {
    const auto found = args.values.find(name);
    return found == args.values.end() ? std::string() : found->second;
  };
  return sync::SyncSetup{{}, value("user"), value("password-command")};
}

}  // namespace

int RunSync(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  Args args;
  if (auto error = ParseArgs(words, {"setup", "user", "calendar", "password-command"},
                             {"dry-run", "allow-deletes"}, args)) {
    return UsageError(err, *error);
  }
  if (args.positional.size() != 1) return UsageError(err, "sync takes one FILE");
  const std::string& file = args.positional[0];
  auto setup = SetupOf(file, args, err);
  if (!setup) return kExitFailed;
  const auto password = Password(*setup, err);
  if (!password) return kExitFailed;
  static int argc = 1;
  static char name[] = "memro-cli";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> app;
  if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
  sync::DavClient client(QString::fromStdString(setup->user), QString::fromStdString(*password));
  try {
    if (args.values.count("setup") && !SetUp(client, file, args, *setup, out, err)) {
      return kExitFailed;
    }
  } catch (const sync::DavError& e) {
    err << "memro-cli: " << e.what() << "; nothing was set up.\n";
    return kExitFailed;
  }
  ConsolePlatform platform(err, CleanUpAnswer::kKeep, std::nullopt);
  const Settings settings = LoadSettings(SettingsFilePath(platform), {}, {});
  const sync::SyncJob job{file, QUrl(QString::fromStdString(setup->collection)),
                          args.flags.count("dry-run") > 0, args.flags.count("allow-deletes") > 0,
                          settings.defaults};
  return sync::RunSync(client, job, out, err);
}

}  // namespace memro::cli
