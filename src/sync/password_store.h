#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "sync/sync_setup.h"

namespace memro::sync {

// Where the password of a sync setup is kept between runs; never in a plain file.
class PasswordStore {
 public:
  virtual ~PasswordStore() = default;
  // False when it could not be kept.
  virtual bool Store(const SyncSetup& setup, const std::string& password) = 0;
  virtual std::optional<std::string> Load(const SyncSetup& setup) = 0;
};

// Kept for this run only: where no keyring is reachable, and in tests.
class MemoryPasswordStore : public PasswordStore {
 public:
  bool Store(const SyncSetup& setup, const std::string& password) override {
    passwords_[Key(setup)] = password;
    return true;
  }
  std::optional<std::string> Load(const SyncSetup& setup) override {
    const auto found = passwords_.find(Key(setup));
    if (found == passwords_.end()) return std::nullopt;
    return found->second;
  }

 private:
  static std::pair<std::string, std::string> Key(const SyncSetup& setup) {
    return {setup.user, setup.collection};
  }
  std::map<std::pair<std::string, std::string>, std::string> passwords_;
};

}  // namespace memro::sync
