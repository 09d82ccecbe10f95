#include "sync/keyring.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

namespace memro::sync {
namespace {

const QString kService = "org.memro.Memro";
// A locked keyring asks its user; a keyring service that never answers is no keyring.
constexpr int kLongestWaitMs = 120000;

// Runs the job to its end; false when the keyring did not answer in time.
bool Finish(QKeychain::Job& job) {
  job.setAutoDelete(false);
  // Never the plain-text file QtKeychain would otherwise fall back to.
  job.setInsecureFallback(false);
  QEventLoop loop;
  bool finished = false;
  QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
    finished = true;
    loop.quit();
  });
  QTimer::singleShot(kLongestWaitMs, &loop, &QEventLoop::quit);
  job.start();
  if (!finished) loop.exec();
  return finished;
}

QString Reason(const QKeychain::Job& job) {
  return job.errorString().isEmpty() ? QString("keyring error %1").arg(job.error())
                                     : job.errorString();
}

}  // namespace

QString KeyringKey(const QString& user, const QUrl& collection) {
  const int port = collection.port();
  return user + "@" + collection.host() + (port < 0 ? QString() : ":" + QString::number(port));
}

KeyringAnswer ReadKeyring(const QString& key) {
  QKeychain::ReadPasswordJob job(kService);
  job.setKey(key);
  if (!Finish(job)) return {KeyringAnswer::Status::kUnavailable, {}, "the keyring did not answer"};
  switch (job.error()) {
    case QKeychain::NoError:
      return {KeyringAnswer::Status::kFound, job.textData(), {}};
    case QKeychain::EntryNotFound:
      return {KeyringAnswer::Status::kMissing, {}, {}};
    default:
      return {KeyringAnswer::Status::kUnavailable, {}, Reason(job)};
  }
}

QString StoreInKeyring(const QString& key, const QString& password) {
  QKeychain::WritePasswordJob job(kService);
  job.setKey(key);
  job.setTextData(password);
  if (!Finish(job)) return "the keyring did not answer";
  return job.error() == QKeychain::NoError ? QString() : Reason(job);
}

}  // namespace memro::sync
