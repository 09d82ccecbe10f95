#pragma once

#include <functional>
#include <memory>

#include "sync/sync_once.h"

namespace memro {

// Runs the window's syncs away from its thread, so that the window goes on drawing
// itself while the server answers.
class SyncRunner {
 public:
  using Done = std::function<void(const sync::SyncOutcome&)>;
  virtual ~SyncRunner() = default;
  // done runs on the window's thread, unless the runner is gone by then.
  virtual void Start(sync::SyncOrder order, Done done) = 0;
};

// Each sync on a thread of its own, with its own connection.
std::unique_ptr<SyncRunner> MakeThreadSyncRunner();

}  // namespace memro
