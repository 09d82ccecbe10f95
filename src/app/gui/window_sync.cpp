// The window's file kept in sync with its calendar: after the start-up load, after each
// save of the editor, at the new day and every 15 minutes, each sync off the window's
// thread.
#include <QPointer>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/gui/main_window.h"
#include "app/gui/sync_dialog.h"
#include "app/gui/sync_runner.h"
#include "sync/password_store.h"
#include "sync/sync_run.h"

namespace memro {
namespace {

constexpr std::chrono::minutes kSyncEvery{15};
const QString kNotSynced = QStringLiteral(" (not synced)");

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return a == b || std::filesystem::equivalent(a, b, error);
}

}  // namespace

void MainWindow::StartSyncing() {
  runPasswords_ = std::make_shared<sync::MemoryPasswordStore>();
  syncTimer_.setInterval(kSyncEvery);
  connect(&syncTimer_, &QTimer::timeout, this, [this] { SyncFile(); });
  syncTimer_.start();
  SyncFile();
}

void MainWindow::FileSaved(const std::string& path) {
  if (SameFile(path, values_.pendingFile)) SyncFile();
}

void MainWindow::SyncFile(bool allowDeletes) {
  const std::string& file = values_.pendingFile;
  if (!hooks_.syncRunner || !runPasswords_ || file.empty() || file.starts_with('+')) return;
  const auto setup = sync::LoadSetup(file);
  if (!setup) return;
  // A password given to the command-line tool's environment serves the window too.
  std::string password;
  auto kept = runPasswords_->Load(*setup);
  if (!kept && hooks_.passwords) kept = hooks_.passwords->Load(*setup);
  if (kept) {
    password = *kept;
  } else if (const char* given = std::getenv("MEMRO_SYNC_PASSWORD")) {
    password = given;
  }
  StartSync({file, *setup, password, {}, {}, allowDeletes, values_.settings.defaults});
}

// One sync at a time: one asked for meanwhile runs after it, a setup before a plain sync.
void MainWindow::StartSync(sync::SyncOrder order) {
  if (syncing_) {
    if (!nextSync_ || nextSync_->start.empty()) {
      nextSync_ = std::make_unique<sync::SyncOrder>(std::move(order));
    }
    return;
  }
  syncing_ = true;
  hooks_.syncRunner->Start(
      order, [window = QPointer<MainWindow>(this), order](const sync::SyncOutcome& outcome) {
        if (window) window->SyncEnded(order, outcome);
      });
}

void MainWindow::SyncEnded(const sync::SyncOrder& order, const sync::SyncOutcome& outcome) {
  syncing_ = false;
  if (!order.start.empty()) {
    SetUpEnded(order, outcome);
  } else if (outcome.status == sync::kSyncDone) {
    syncFailureSaid_ = false;
    if (windowTitle().endsWith(kNotSynced))
      setWindowTitle(windowTitle().chopped(kNotSynced.size()));
  } else if (outcome.status == sync::kSyncAsks) {
    SyncStopped(order, outcome);
  } else {
    SyncFailed(order.file.string(), outcome.said);
  }
  if (outcome.fileChanged) ReloadAfterSync(order.file.string());
  if (nextSync_) {
    auto next = std::move(nextSync_);
    StartSync(std::move(*next));
  }
}

// The dialog's setup said what it did either way: the user waits for its answer.
void MainWindow::SetUpEnded(const sync::SyncOrder& order, const sync::SyncOutcome& outcome) {
  if (outcome.status != sync::kSyncDone) {
    platform_.MessageBox(outcome.said, Icon::kExclamation, Buttons::kOk, "");
    return;
  }
  syncFailureSaid_ = deletesDeclined_ = false;
  std::string said = outcome.said;
  if (!order.password.empty()) {
    runPasswords_->Store(outcome.setup, order.password);
    if (!hooks_.passwords || !hooks_.passwords->Store(outcome.setup, order.password)) {
      said += "\nNo keyring of the desktop keeps the password: Memro keeps it until it ends.";
    }
  }
  platform_.MessageBox(said, Icon::kInformation, Buttons::kOk, "");
}

// The sync would delete much: the user decides, once a run.
void MainWindow::SyncStopped(const sync::SyncOrder& order, const sync::SyncOutcome& outcome) {
  if (deletesDeclined_ || order.allowDeletes) {
    SyncFailed(order.file.string(), outcome.said);
    return;
  }
  const Answer answer =
      platform_.MessageBox(outcome.said + "\nDelete these events on both sides now?",
                           Icon::kQuestion, Buttons::kYesNo, "");
  if (answer != Answer::kYes) {
    // The user has just been told: the caption keeps it.
    deletesDeclined_ = syncFailureSaid_ = true;
    SyncFailed(order.file.string(), outcome.said);
    return;
  }
  sync::SyncOrder again = order;
  again.allowDeletes = true;
  StartSync(std::move(again));
}

// Said once; later failures only mark the caption, and every sync tries again.
void MainWindow::SyncFailed(const std::string& file, const std::string& said) {
  if (!windowTitle().endsWith(kNotSynced)) setWindowTitle(windowTitle() + kNotSynced);
  if (syncFailureSaid_) return;
  syncFailureSaid_ = true;
  platform_.MessageBox("The sync of " + file + " with its calendar failed:\n" + said +
                           "\nMemro tries again every 15 minutes and after each save; until "
                           "a sync works, the caption says \"not synced\".",
                       Icon::kExclamation, Buttons::kOk, "");
}

// The sync's own change needs no question: the file is loaded again as the new day
// loads it. A dialog or a scan in the way puts it off.
void MainWindow::ReloadAfterSync(const std::string& file) {
  if (closed_ || !SameFile(file, values_.pendingFile)) return;
  if (!MayReloadNow()) {
    QTimer::singleShot(std::chrono::seconds(1), this, [this, file] { ReloadAfterSync(file); });
    return;
  }
  keepTimeOut_ = true;
  values_.pendingFile.insert(0, 1, '+');
  Load(0);
  keepTimeOut_ = false;
}

void MainWindow::SetUpSync() {
  const std::string file =
      values_.pendingFile.empty() ? values_.settings.autoLoad : values_.pendingFile;
  if (file.empty() || !runPasswords_) {
    platform_.MessageBox("Load an event file first: its events are synced with the calendar.",
                         Icon::kExclamation, Buttons::kOk, "");
    return;
  }
  SyncDialogValues start;
  if (const auto setup = sync::LoadSetup(file)) {
    start.server = setup->collection;
    start.user = setup->user;
  }
  SyncDialog dialog(file, start, this);
  if (dialog.exec() != QDialog::Accepted || !hooks_.syncRunner) return;
  const SyncDialogValues v = dialog.Values();
  StartSync(
      {file, {{}, v.user, {}, {}}, v.password, v.server, v.calendar, false, values_.settings.defaults});
}

}  // namespace memro
