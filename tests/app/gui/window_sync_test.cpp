// The window's syncs through a scripted runner: when they run, and what the window does
// with their outcome.
#include <QDialog>
#include <QLineEdit>

#include "app/gui/sync_runner.h"
#include "main_window_fixture.h"
#include "support/modal.h"
#include "sync/password_store.h"
#include "sync/sync_run.h"

namespace memro::testing {
namespace {

const sync::SyncSetup kSetup{"http://127.0.0.1:5232/anna/memro/", "anna", "", ""};

// Records each sync; the test ends the last one with the outcome it names.
class FakeSyncRunner : public SyncRunner {
 public:
  void Start(sync::SyncOrder order, Done done) override {
    orders.push_back(std::move(order));
    done_ = std::move(done);
  }
  void End(int status, const std::string& said = "", bool fileChanged = false) {
    std::exchange(done_, nullptr)({status, said, fileChanged, kSetup});
  }
  std::vector<sync::SyncOrder> orders;

 private:
  Done done_;
};

class WindowSyncTest : public MainWindowTest {
 protected:
  // Started on a file set up for sync, its start-up sync ended.
  MainWindow& Synced(bool setUp = true) {
    syncRunner = runner;
    passwords = store;
    file = DueFile();
    if (setUp) sync::SaveSetup(file, kSetup);
    store->Store(kSetup, "secret");
    Started(file.string());
    if (setUp) runner->End(sync::kSyncDone);
    return *window;
  }
  std::shared_ptr<FakeSyncRunner> runner = std::make_shared<FakeSyncRunner>();
  std::shared_ptr<sync::MemoryPasswordStore> store = std::make_shared<sync::MemoryPasswordStore>();
  std::filesystem::path file;
};

TEST_F(WindowSyncTest, StartSaveNewDayAndTimerEachSyncTheFileOnce) {
  MainWindow& w = Synced();
  const std::vector<std::function<void()>> triggers{
      [&] { w.FileSaved(file.string()); },
      [&] {
        platform.today = std::chrono::year{2026} / std::chrono::December / 9;
        platform.dateCheck();
      },
      [&] { QMetaObject::invokeMethod(&w.syncTimer(), "timeout"); }};
  for (const auto& trigger : triggers) {
    trigger();
    runner->End(sync::kSyncDone);
  }
  w.FileSaved(DueFile("other.mmo").string());  // not the window's file
  ASSERT_EQ(runner->orders.size(), 4u);
  for (const sync::SyncOrder& order : runner->orders) {
    EXPECT_EQ(order.file, file);
    EXPECT_EQ(order.password, "secret");
  }
  EXPECT_EQ(w.syncTimer().interval(), 15 * 60 * 1000);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(WindowSyncTest, AFailureIsSaidOnceAndDeletesAreAskedOnce) {
  MainWindow& w = Synced();
  platform.answers = {Answer::kOk, Answer::kYes, Answer::kNo};
  for (int status : {sync::kSyncFailed, sync::kSyncFailed, sync::kSyncAsks, sync::kSyncDone,
                     sync::kSyncAsks, sync::kSyncAsks}) {
    if (status != sync::kSyncDone) w.SyncFile();  // the Yes to the deletes syncs again
    runner->End(status, "the server cannot be reached");
    EXPECT_EQ(w.windowTitle().endsWith(" (not synced)"), status != sync::kSyncDone);
  }
  ASSERT_EQ(platform.messages.size(), 3u);  // the failure, then the Yes and the No
  EXPECT_EQ(platform.messages[2].icon, Icon::kQuestion);
  EXPECT_TRUE(runner->orders[4].allowDeletes);
  EXPECT_EQ(runner->orders.size(), 7u);
}

TEST_F(WindowSyncTest, AFileTheSyncChangedIsListedAgainUnasked) {
  MainWindow& w = Synced();
  w.SyncFile();
  WriteEventFile(file, {Event("Dec082026", "Dentist 10:30", kOnce),
                        Event("Dec082026", "Call from the phone", kOnce)});
  runner->End(sync::kSyncDone, "took in 1 new", true);
  EXPECT_EQ(w.widgets().lst->count(), 2);
  w.ChangedFileCheck();
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(WindowSyncTest, TheDialogSetsTheFileUpAndKeepsThePassword) {
  MainWindow& w = Synced(false);
  WhenModal([](QWidget* dialog) {
    for (const char* name : {"server", "user", "password", "calendar"}) {
      dialog->findChild<QLineEdit*>(name)->setText(QString(name) + "!");
    }
    static_cast<QDialog*>(dialog)->accept();
  });
  w.OptionsCommand(12);
  ASSERT_EQ(runner->orders.size(), 1u);
  const sync::SyncOrder& order = runner->orders[0];
  EXPECT_EQ(order.file, file);
  EXPECT_EQ(order.start + order.setup.user + order.calendar, "server!user!calendar!");
  runner->End(sync::kSyncDone, "synced");
  EXPECT_EQ(store->Load(kSetup), "password!");
  EXPECT_EQ(platform.messages.at(0).icon, Icon::kInformation);
}

}  // namespace
}  // namespace memro::testing
