// Options > Start at Login and Desktop Notification, and the notification of a start.

#include "main_window_fixture.h"
#include "settings/protection_file.h"

namespace memro::testing {
namespace {

TEST_F(MainWindowTest, StartAtLoginShowsAndChangesTheAutostartEntry) {
  platform.startsAtLogin = true;
  MainWindow& w = Started();
  QAction* login = w.widgets().miO[9];
  EXPECT_EQ(login->text(), "Start at &Login");
  EXPECT_TRUE(login->isChecked());

  login->trigger();
  EXPECT_EQ(platform.startAtLoginRequests, std::vector<bool>{false});
  EXPECT_FALSE(login->isChecked());
  w.OptionsCommand(9);
  EXPECT_EQ(platform.startAtLoginRequests, (std::vector<bool>{false, true}));
  EXPECT_TRUE(login->isChecked());
  EXPECT_TRUE(platform.messages.empty());

  // A failure is told, and the mark keeps showing the entry as it is.
  platform.startAtLoginError = "Permission denied while writing the autostart entry";
  login->trigger();
  EXPECT_EQ(platform.startAtLoginRequests.back(), false);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt, platform.startAtLoginError);
  EXPECT_EQ(platform.messages[0].icon, Icon::kExclamation);
  EXPECT_TRUE(login->isChecked());

  // The entry, not MEMRX.INI, is what the next start shows.
  w.SetupCommand(6);
  EXPECT_EQ(ReadFileBytes(Ini()).find("Login"), std::string::npos);
  window.reset();
  platform.startsAtLogin = false;
  EXPECT_FALSE(Started().widgets().miO[9]->isChecked());
}

TEST_F(MainWindowTest, StartAtLoginIsPartOfTheSetupThatTheLockKeeps) {
  WriteProtectionFile(ProtectionFilePath(platform), "secret");
  MainWindow& w = Started();
  EXPECT_FALSE(w.widgets().miO[9]->isEnabled());
  EXPECT_TRUE(w.widgets().miO[10]->isEnabled());  // like Once Daily and the sound
  w.values().password.clear();
  w.ApplyLock();
  EXPECT_TRUE(w.widgets().miO[9]->isEnabled());
}

TEST_F(MainWindowTest, DesktopNotificationFlipsAndIsSaved) {
  MainWindow& w = Started();
  QAction* notify = w.widgets().miO[10];
  EXPECT_EQ(notify->text(), "Desktop &Notification");
  EXPECT_TRUE(notify->isChecked());  // on by default
  notify->trigger();
  EXPECT_FALSE(notify->isChecked());
  EXPECT_FALSE(w.values().settings.notification);
  w.close();  // the always-group is written at every close
  EXPECT_EQ(Setting("Options", "Notification"), "0");

  window.reset();
  MainWindow& again = Started();
  EXPECT_FALSE(again.widgets().miO[10]->isChecked());
  again.OptionsCommand(10);
  EXPECT_TRUE(again.values().settings.notification);
  again.SetupCommand(6);
  EXPECT_EQ(Setting("Options", "Notification"), "-1");
}

TEST_F(MainWindowTest, StartUpLoadNotifiesOnceNamingTheDueEvents) {
  const auto file = DueFile();
  MainWindow& w = Started(file.string());
  ASSERT_EQ(platform.notifications.size(), 1u);
  EXPECT_EQ(platform.notifications[0].summary, "Memro: 3 events due");
  const std::string& body = platform.notifications[0].body;
  EXPECT_NE(body.find("Dentist 10:30"), std::string::npos) << body;
  EXPECT_NE(body.find("Anna's birthday"), std::string::npos) << body;
  EXPECT_EQ(body.find("Today:\n"), 0u) << body;

  // What the user loads or rescans is looked at already.
  platform.fileDialogs.push_back(Chosen(file));
  w.FileCommand(0);
  platform.inputs.push_back("30");
  w.FileCommand(4);
  w.FileCommand(7);
  EXPECT_EQ(w.values().dueCount, 3);
  EXPECT_EQ(platform.notifications.size(), 1u);

  // AutoLoad notifies as the command line does.
  window.reset();
  platform.notifications.clear();
  Set("Options", "AutoLoad", file.string());
  Started();
  EXPECT_EQ(platform.notifications.size(), 1u);
}

TEST_F(MainWindowTest, NoNotificationWithNothingDueOrTheFlagOff) {
  const auto quiet = dir / "quiet.mmo";
  WriteEventFile(quiet, {Event("Jun012026", "Summer", kYearly)});
  Started(quiet.string());
  EXPECT_TRUE(platform.notifications.empty());
  window.reset();

  Set("Options", "Notification", "0");
  MainWindow& w = Started(DueFile().string());
  EXPECT_EQ(w.values().dueCount, 3);
  EXPECT_TRUE(platform.notifications.empty());
}

TEST_F(MainWindowTest, ChoosingTheNotificationBringsTheShownViewBack) {
  MainWindow& w = Started(DueFile().string());
  ASSERT_TRUE(platform.notificationActivated);
  w.showMinimized();
  ASSERT_TRUE(w.isMinimized());
  platform.notificationActivated();
  EXPECT_FALSE(w.isMinimized());
  EXPECT_TRUE(w.isVisible());

  w.showMaximized();
  w.showMinimized();
  platform.notificationActivated();
  EXPECT_TRUE(w.isMaximized());  // back as it was before it was minimised
  w.showNormal();

  w.ShowViewer();
  ViewerWindow* viewer = w.viewer();
  viewer->showMinimized();
  platform.notificationActivated();
  EXPECT_FALSE(viewer->isMinimized());
  EXPECT_TRUE(viewer->isVisible());
  EXPECT_FALSE(w.isVisible());  // the viewer stays the program's view

  // A choice that comes after the program ended does nothing.
  auto activated = platform.notificationActivated;
  window.reset();
  activated();
}

}  // namespace
}  // namespace memro::testing
