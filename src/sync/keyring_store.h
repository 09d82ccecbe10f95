#pragma once

#include <QUrl>

#include "sync/keyring.h"
#include "sync/password_store.h"

namespace memro::sync {

// The window's sync passwords in the desktop's keyring, under the key memro-cli uses,
// so that a setup made in either is found by the other.
class KeyringPasswordStore : public PasswordStore {
 public:
  bool Store(const SyncSetup& setup, const std::string& password) override {
    return StoreInKeyring(Key(setup), QString::fromStdString(password)).isEmpty();
  }
  std::optional<std::string> Load(const SyncSetup& setup) override {
    const KeyringAnswer answer = ReadKeyring(Key(setup));
    if (answer.status != KeyringAnswer::Status::kFound) return std::nullopt;
    return answer.password.toStdString();
  }

 private:
  static QString Key(const SyncSetup& setup) {
    return KeyringKey(QString::fromStdString(setup.user),
                      QUrl(QString::fromStdString(setup.collection)));
  }
};

}  // namespace memro::sync
