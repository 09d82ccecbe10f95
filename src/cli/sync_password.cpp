#include "cli/sync_password.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "sync/keyring.h"

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

std::optional<SyncPassword> FromCommand(const sync::SyncSetup& setup, bool toKeep,
                                        std::ostream& err) {
  auto line = CommandOutput(setup.passwordCommand);
  if (!line) {
    err << "memro-cli: the password command '" << setup.passwordCommand
        << "' failed; check it, or set the sync up again with another --password-command\n";
    return std::nullopt;
  }
  return SyncPassword{*line, toKeep};
}

// A line typed without echo; nothing when standard input is no terminal (the scheduled
// check, a script), which must not wait for an answer nobody gives.
std::optional<std::string> AskOnTerminal(const sync::SyncSetup& setup, const std::string& server,
                                         std::ostream& err) {
  if (!::isatty(STDIN_FILENO)) return std::nullopt;
  termios before{};
  const bool silenced = ::tcgetattr(STDIN_FILENO, &before) == 0;
  if (silenced) {
    termios silent = before;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &silent);
  }
  err << "Password of " << setup.user << " at " << server << ": " << std::flush;
  std::string line;
  const bool typed = static_cast<bool>(std::getline(std::cin, line));
  if (silenced) ::tcsetattr(STDIN_FILENO, TCSANOW, &before);
  err << "\n";
  if (!typed) return std::nullopt;
  return line;
}

std::optional<SyncPassword> Given() {
  if (const char* given = std::getenv("MEMRO_SYNC_PASSWORD")) return SyncPassword{given, false};
  return std::nullopt;
}

QUrl CollectionOf(const sync::SyncSetup& setup) {
  return QUrl(QString::fromStdString(setup.collection));
}

}  // namespace

std::optional<SyncPassword> PasswordForSetup(const sync::SyncSetup& setup,
                                             const std::string& server, std::ostream& err) {
  if (auto given = Given()) return given;
  if (setup.user.empty()) return SyncPassword{};
  if (!setup.passwordCommand.empty()) return FromCommand(setup, true, err);
  if (auto typed = AskOnTerminal(setup, server, err)) return SyncPassword{*typed, true};
  err << "memro-cli: no password for " << setup.user
      << ": run the setup on a terminal to type it, or give --password-command CMD (a "
         "command that prints it)\n";
  return std::nullopt;
}

std::optional<SyncPassword> PasswordForSync(const sync::SyncSetup& setup, std::ostream& err) {
  if (auto given = Given()) return given;
  if (setup.user.empty()) return SyncPassword{};
  const QUrl collection = CollectionOf(setup);
  const QString key = sync::KeyringKey(QString::fromStdString(setup.user), collection);
  const sync::KeyringAnswer kept = sync::ReadKeyring(key);
  if (kept.status == sync::KeyringAnswer::Status::kFound) {
    return SyncPassword{kept.password.toStdString(), false};
  }
  if (!setup.passwordCommand.empty()) return FromCommand(setup, false, err);
  const std::string server = collection.host().toStdString();
  if (auto typed = AskOnTerminal(setup, server, err)) return SyncPassword{*typed, false};
  err << "memro-cli: no password for " << key.toStdString() << ": "
      << (kept.status == sync::KeyringAnswer::Status::kMissing
              ? std::string("the desktop's keyring holds none")
              : "the desktop's keyring cannot be asked (" + kept.error.toStdString() + ")")
      << " and there is no terminal to type it on. Unlock the keyring, run the sync on a "
         "terminal, or set it up again with --setup URL and the password typed or given by "
         "--password-command CMD\n";
  return std::nullopt;
}

void KeepPassword(const sync::SyncSetup& setup, const SyncPassword& password, std::ostream& err) {
  if (!password.toKeep) return;
  const QString error = sync::StoreInKeyring(
      sync::KeyringKey(QString::fromStdString(setup.user), CollectionOf(setup)),
      QString::fromStdString(password.text));
  if (error.isEmpty()) return;
  err << "memro-cli: the desktop's keyring did not keep the password (" << error.toStdString()
      << "); "
      << (setup.passwordCommand.empty()
              ? "later syncs ask for it on the terminal. For syncs without one (the scheduled "
                "check), set the sync up again with --password-command CMD"
              : "later syncs take it from the password command")
      << "\n";
}

}  // namespace memro::cli
