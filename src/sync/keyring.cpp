#include "sync/keyring.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace memro::sync {
namespace {

const QString kService = "org.memro.Memro";
// A locked keyring asks its user; a keyring service that never answers is no keyring.
constexpr int kLongestWaitMs = 120000;

// Runs the job and hands it to read once it has finished. The job is made with new and
// deletes itself when it finishes, so that a keyring answering after the wait does no harm.
void Finish(QKeychain::Job* job, const std::function<void(const QKeychain::Job&)>& read) {
  // Never the plain-text file QtKeychain would otherwise fall back to.
  job->setInsecureFallback(false);
  QEventLoop loop;
  bool finished = false;
  QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
    finished = true;
    read(*done);
    loop.quit();
  });
  QTimer::singleShot(kLongestWaitMs, &loop, &QEventLoop::quit);
  job->start();
  if (!finished) loop.exec();
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
  auto* job = new QKeychain::ReadPasswordJob(kService);
  job->setKey(key);
  KeyringAnswer answer{KeyringAnswer::Status::kUnavailable, {}, "the keyring did not answer"};
  Finish(job, [&](const QKeychain::Job& done) {
    if (done.error() == QKeychain::NoError) {
      answer = {KeyringAnswer::Status::kFound, job->textData(), {}};
    } else if (done.error() == QKeychain::EntryNotFound) {
      answer = {KeyringAnswer::Status::kMissing, {}, {}};
    } else {
      answer.error = Reason(done);
    }
  });
  return answer;
}

QString StoreInKeyring(const QString& key, const QString& password) {
  auto* job = new QKeychain::WritePasswordJob(kService);
  job->setKey(key);
  job->setTextData(password);
  QString error = "the keyring did not answer";
  Finish(job, [&](const QKeychain::Job& done) {
    error = done.error() == QKeychain::NoError ? QString() : Reason(done);
  });
  return error;
}

}  // namespace memro::sync
