#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "sync/sync_setup.h"

namespace memro::cli {

struct SyncPassword {
  std::string text;
  bool toKeep = false;  // typed or given by the command at setup: the keyring keeps it
};

// The password of a sync, or nothing when none can be had (err says what to do).
// MEMRO_SYNC_PASSWORD, for scripts, comes first and is never kept. At setup the
// --password-command gives it, else the terminal (without echo); later syncs take it
// from the desktop's keyring, else from the setup's command, else the terminal.
std::optional<SyncPassword> PasswordForSetup(const sync::SyncSetup& setup,
                                             const std::string& server, std::ostream& err);
std::optional<SyncPassword> PasswordForSync(const sync::SyncSetup& setup, std::ostream& err);

// After a setup that the server accepted: the keyring keeps the password, under the
// account of the calendar; where it cannot, err says where later syncs take it from.
void KeepPassword(const sync::SyncSetup& setup, const SyncPassword& password, std::ostream& err);

}  // namespace memro::cli
