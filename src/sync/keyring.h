#pragma once

#include <QString>
#include <QUrl>

namespace memro::sync {

// The sync passwords in the desktop's keyring (the Secret Service, through QtKeychain),
// under the service org.memro.Memro and one key per account: "user@host[:port]" of the
// calendar, so that the files synced with one account share its password. The calls
// wait for the keyring (it may ask the user to unlock it) and need a Qt event loop's
// thread, the window's or a worker's as well as the command line's.
QString KeyringKey(const QString& user, const QUrl& collection);

struct KeyringAnswer {
  enum class Status { kFound, kMissing, kUnavailable };
  Status status = Status::kUnavailable;
  QString password;
  QString error;  // why the keyring could not be asked, for kUnavailable
};
KeyringAnswer ReadKeyring(const QString& key);

// Empty when the password was kept; else why not (no keyring, refused, ...).
QString StoreInKeyring(const QString& key, const QString& password);

}  // namespace memro::sync
