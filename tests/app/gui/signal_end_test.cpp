// The end of the program by a signal, and what the next start finds of a run that ended.
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "editor/editor_recovery.h"
#include "main_window_fixture.h"
#include "settings/protection_file.h"

namespace memro::testing {
namespace {

// The work files left in the temp directory.
std::vector<std::filesystem::path> WorkFiles(const std::filesystem::path& temp) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(temp)) {
    if (entry.path().filename().string().starts_with("~mr")) found.push_back(entry.path());
  }
  return found;
}

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Neither Exit Pop Up with due events nor Shift keeps a program that a signal ends, and
// nobody is asked; the close writes the settings the close writes.
TEST_F(MainWindowTest, SignalEndsWithoutRefusalAndWritesTheClosesSettings) {
  Set("Options", "ExitPopUp", "-1");
  const auto file = DueFile();
  MainWindow& w = Started(file.string());
  ASSERT_GT(w.values().dueCount, 0);
  w.values().settings.timeOut = 12;
  shiftHeld = true;
  platform.messages.clear();
  const int beeps = platform.beeps;

  w.EndBySignal();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.dueList(), nullptr);
  EXPECT_TRUE(WorkFiles(platform.tempDir).empty());
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(platform.beeps, beeps);
  EXPECT_EQ(Setting("Main", "PrevFile1"), file.string());
  EXPECT_EQ(Setting("Setup", "TimeOut"), "12");
  EXPECT_EQ(Setting("Main", "Left"), "<absent>");  // the full group only with SaveOnExit

  // A second signal finds the end done.
  std::filesystem::remove(Ini());
  ended = false;
  w.EndBySignal();
  EXPECT_FALSE(ended);
  EXPECT_FALSE(std::filesystem::exists(Ini()));
}

TEST_F(MainWindowTest, SignalWithSaveOnExitWritesEverythingAndClosesTheViewer) {
  Set("Setup", "SaveOnExit", "-1");
  MainWindow& w = Started(DueFile().string());
  w.ShowViewer();
  ASSERT_TRUE(w.viewer()->isVisible());
  w.EndBySignal();
  EXPECT_TRUE(ended);
  DeleteClosedWindows();
  EXPECT_TRUE(!w.viewer() || !w.viewer()->isVisible());
  EXPECT_EQ(Setting("Main", "Visible"), "0");
  EXPECT_NE(Setting("Main", "Width"), "<absent>");
  EXPECT_TRUE(WorkFiles(platform.tempDir).empty());
}

// The editor closes first, so its place and recent files reach the settings; its record
// store goes with it.
TEST_F(MainWindowTest, SignalClosesTheEditorAndRemovesItsStore) {
  const auto file = DueFile();
  MainWindow& w = Started(file.string());
  w.FileCommand(2);
  ASSERT_NE(w.editor(), nullptr);
  ASSERT_EQ(WorkFiles(platform.tempDir).size(), 2u);
  platform.messages.clear();
  w.EndBySignal();
  EXPECT_TRUE(ended);
  EXPECT_TRUE(platform.messages.empty());
  DeleteClosedWindows();
  EXPECT_EQ(w.editor(), nullptr);
  EXPECT_TRUE(WorkFiles(platform.tempDir).empty());
  EXPECT_EQ(Setting("Editor", "PrevFile1"), file.string());
}

// After Exit the editor is the last window: it goes, and the settings are written as
// when the editor closes last.
TEST_F(MainWindowTest, SignalAfterExitEndsTheEditorThatWasLeft) {
  const auto file = DueFile();
  MainWindow& w = Started(file.string());
  w.FileCommand(2);
  w.FileCommand(12);
  ASSERT_NE(w.editor(), nullptr);
  std::filesystem::remove(Ini());
  w.EndBySignal();
  EXPECT_TRUE(ended);
  DeleteClosedWindows();
  EXPECT_EQ(w.editor(), nullptr);
  EXPECT_EQ(Setting("Editor", "PrevFile1"), file.string());
  EXPECT_TRUE(WorkFiles(platform.tempDir).empty());
}

// Unsaved changes cannot be asked about: the editor keeps them for the next start, which
// opens the editor again.
TEST_F(MainWindowTest, SignalKeepsTheEditorsUnsavedChangesForTheNextStart) {
  const auto file = DueFile();
  const std::string events = ReadFileBytes(file);
  MainWindow& w = Started(file.string());
  w.FileCommand(2);
  ASSERT_NE(w.editor(), nullptr);
  w.editor()->widgets().message->setPlainText("Dentist moved to 11:00");
  platform.messages.clear();
  w.EndBySignal();
  EXPECT_TRUE(ended);
  EXPECT_TRUE(platform.messages.empty()) << platform.messages[0].prompt;
  DeleteClosedWindows();
  EXPECT_EQ(w.editor(), nullptr);
  EXPECT_EQ(ReadFileBytes(file), events);
  EXPECT_TRUE(RecoveryWaiting(platform.programDir));

  // The next start offers the changes back. The time-out comes due while "Restore
  // them?" is open: it neither ends the program nor answers for the user, and the editor
  // the start opened is the user at work, so it never ends it afterwards either.
  window.reset();
  ended = false;
  Set("Setup", "TimeOut", "2");
  recoveryWaiting = [this] { return RecoveryWaiting(platform.programDir); };
  platform.onMessage = [this](const FakePlatform::Message& m) {
    for (int tick = 0; tick < 4; ++tick) window->TimeOutTick();
    if (m.prompt.find("Restore them?") != std::string::npos) platform.answers = {Answer::kYes};
  };
  Started(file.string());
  EXPECT_FALSE(ended);
  ASSERT_NE(window->editor(), nullptr);
  EXPECT_EQ(window->editor()->widgets().message->toPlainText(), "Dentist moved to 11:00");
  EXPECT_FALSE(window->timeOutTimer().isActive());
  window->TimeOutTick();
  EXPECT_FALSE(ended);
  EXPECT_FALSE(RecoveryWaiting(platform.programDir));  // it is the editor's again
}

// A signal while a dialog is open answers it as Escape would; the end runs once the code
// that opened the dialog has returned, never under it.
TEST_F(MainWindowTest, SignalDuringADialogEndsAfterTheDialogsLoop) {
  MainWindow& w = Started(DueFile().string());
  QEventLoop program;  // the program's own event loop, as QApplication::exec runs it
  bool stateAfterDialog = false;
  QTimer::singleShot(0, &w, [&] {
    QTimer::singleShot(0, &w, [&] { w.EndBySignal(); });
    w.HelpCommand(2);  // the About box, modal
    stateAfterDialog = !ended && w.dueList() != nullptr;
  });
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, &program, [&] {
    if (ended) program.quit();
  });
  watch.start(10);
  QTimer::singleShot(5000, &program, &QEventLoop::quit);
  program.exec();
  EXPECT_TRUE(stateAfterDialog);
  EXPECT_TRUE(ended);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(WorkFiles(platform.tempDir).empty());
}

// A signal during the start-up lets the start-up finish, then ends the program.
TEST_F(MainWindowTest, SignalDuringTheStartUpEndsAfterIt) {
  recoveryWaiting = [this] {
    window->EndBySignal();
    return false;
  };
  MainWindow& w = Started(DueFile().string());
  EXPECT_FALSE(ended);
  EXPECT_NE(w.dueList(), nullptr);
  QTRY_VERIFY_WITH_TIMEOUT(ended, 5000);
  EXPECT_TRUE(WorkFiles(platform.tempDir).empty());
}

TEST_F(MainWindowTest, StartRemovesWorkFilesOfAKilledRunOnly) {
  const auto left = platform.tempDir / "~mrKILLED.tmp";
  WriteFileBytes(left, std::string(kDueEntrySize, ' '));
  auto held = CreateWorkFile(platform, false);  // a memro-cli still running
  ASSERT_TRUE(held);
  MainWindow& w = Started();
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_TRUE(std::filesystem::exists(held->path()));
  EXPECT_TRUE(std::filesystem::exists(w.dueList()->path()));
}

// At the next start an editor's recovery opens the editor, unless the lock forbids it.
TEST_F(MainWindowTest, WaitingRecoveryOpensTheEditorAtTheStart) {
  recoveryWaiting = [] { return true; };
  const auto file = DueFile();
  MainWindow& w = Started(file.string());
  ASSERT_NE(w.editor(), nullptr);
  EXPECT_TRUE(w.editor()->isVisible());
  EXPECT_EQ(w.editor()->windowTitle(), "Memro 4.0 Editor [events.mmo]");
  EXPECT_TRUE(w.editor()->close());
  DeleteClosedWindows();
  window.reset();

  // Opened by the start, the editor still stops the exit time-out.
  Set("Setup", "TimeOut", "30");
  Started();
  EXPECT_NE(window->editor(), nullptr);
  EXPECT_FALSE(window->timeOutTimer().isActive());
  window.reset();

  WriteProtectionFile(ProtectionFilePath(platform), "secret");
  Started(file.string());
  EXPECT_EQ(window->editor(), nullptr);
}

}  // namespace
}  // namespace memro::testing
