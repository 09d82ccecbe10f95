#include <QCoreApplication>
#include <memory>
#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/sync_password.h"
#include "settings/settings.h"
#include "sync/sync_once.h"
#include "sync/sync_run.h"
#include "sync/sync_setup.h"
#include "sync/tls_trust.h"

namespace memro::cli {
namespace {

// The --setup URL; nothing when it is none (err says so) or no setup is asked for.
std::optional<QUrl> StartOf(const Args& args, std::ostream& err) {
  const auto given = args.values.find("setup");
  if (given == args.values.end()) return std::nullopt;
  const QUrl start(QString::fromStdString(given->second));
  if (!start.isValid() || (start.scheme() != "http" && start.scheme() != "https")) {
    err << "memro-cli: " << given->second
        << " is no http:// or https:// address of a calendar or server\n";
    return std::nullopt;
  }
  return start;
}

// Chooses the calendar and keeps the setup; false when the user has been told why not.
bool SetUp(sync::DavClient& client, const std::string& file, const QUrl& start, const Args& args,
           sync::SyncSetup& setup, std::ostream& out, std::ostream& err) {
  const auto calendar = args.values.find("calendar");
  const QString name =
      calendar == args.values.end() ? QString() : QString::fromStdString(calendar->second);
  const auto failure =
      sync::SetUpCalendar(client, file, start.toString().toStdString(), name, setup, out);
  if (failure) err << "memro-cli: " << *failure << "\n";
  return !failure;
}

std::optional<sync::SyncSetup> SetupOf(const std::string& file, const Args& args,
                                       std::ostream& err) {
  if (!args.values.count("setup")) {
    auto setup = sync::LoadSetup(file);
    if (!setup && !args.flags.count("if-set-up")) {
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
  const QString trusted = QString::fromStdString(value("trust-fingerprint"));
  return sync::SyncSetup{
      {}, value("user"), value("password-command"), sync::NormalFingerprint(trusted).toStdString()};
}

// FILE, else the AutoLoad file (the scheduled check syncs that one); "" when neither.
std::string FileOf(const Args& args, const Settings& settings) {
  return args.positional.empty() ? settings.autoLoad : args.positional[0];
}

int Sync(const std::string& file, sync::SyncSetup& setup, const Args& args,
         const Settings& settings, std::ostream& out, std::ostream& err) {
  const std::optional<QUrl> start = StartOf(args, err);
  if (args.values.count("setup") && !start) return kExitFailed;
  const auto password = start ? PasswordForSetup(setup, start->host().toStdString(), err)
                              : PasswordForSync(setup, err);
  if (!password) return kExitFailed;
  sync::DavClient client(QString::fromStdString(setup.user),
                         QString::fromStdString(password->text));
  client.TrustCertificate(QByteArray::fromStdString(setup.trustFingerprint));
  try {
    if (start && !SetUp(client, file, *start, args, setup, out, err)) return kExitFailed;
  } catch (const sync::DavError& e) {
    err << "memro-cli: " << e.what() << "; nothing was set up.\n";
    return kExitFailed;
  }
  if (start) KeepPassword(setup, *password, err);
  const sync::SyncJob job{file, QUrl(QString::fromStdString(setup.collection)),
                          args.flags.count("dry-run") > 0, args.flags.count("allow-deletes") > 0,
                          settings.defaults};
  return sync::RunSync(client, job, out, err);
}

}  // namespace

int RunSync(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  Args args;
  if (auto error =
          ParseArgs(words, {"setup", "user", "calendar", "password-command", "trust-fingerprint"},
                    {"dry-run", "allow-deletes", "if-set-up"}, args)) {
    return UsageError(err, *error);
  }
  if (args.positional.size() > 1) return UsageError(err, "sync takes one FILE");
  const auto trust = args.values.find("trust-fingerprint");
  if (trust != args.values.end() &&
      sync::NormalFingerprint(QString::fromStdString(trust->second)).isEmpty()) {
    return UsageError(err,
                      "--trust-fingerprint takes the SHA-256 fingerprint of a certificate "
                      "(64 hex digits, colons allowed)");
  }
  const bool ifSetUp = args.flags.count("if-set-up") > 0;
  ConsolePlatform platform(err, CleanUpAnswer::kKeep, std::nullopt);
  const Settings settings = LoadSettings(SettingsFilePath(platform), {}, {});
  const std::string file = FileOf(args, settings);
  if (file.empty()) {
    if (ifSetUp) return kExitOk;
    return UsageError(err, "sync takes one FILE (no AutoLoad file is set either)");
  }
  auto setup = SetupOf(file, args, err);
  if (!setup) return ifSetUp ? kExitOk : kExitFailed;
  static int argc = 1;
  static char name[] = "memro-cli";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> app;
  if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
  return Sync(file, *setup, args, settings, out, err);
}

}  // namespace memro::cli
