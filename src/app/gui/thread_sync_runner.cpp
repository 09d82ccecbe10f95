#include <QObject>
#include <QThread>
#include <vector>

#include "app/gui/sync_runner.h"

namespace memro {
namespace {

class ThreadSyncRunner : public QObject, public SyncRunner {
 public:
  // A sync still running is waited for: its thread must not outlive its object.
  ~ThreadSyncRunner() override {
    for (QThread* thread : findChildren<QThread*>()) thread->wait();
  }

  void Start(sync::SyncOrder order, Done done) override {
    auto outcome = std::make_shared<sync::SyncOutcome>();
    QThread* thread =
        QThread::create([order = std::move(order), outcome] { *outcome = sync::SyncOnce(order); });
    thread->setParent(this);
    // Queued to this object's thread, which is the window's.
    connect(thread, &QThread::finished, this, [thread, outcome, done = std::move(done)] {
      thread->deleteLater();
      done(*outcome);
    });
    thread->start();
  }
};

}  // namespace

std::unique_ptr<SyncRunner> MakeThreadSyncRunner() { return std::make_unique<ThreadSyncRunner>(); }

}  // namespace memro
