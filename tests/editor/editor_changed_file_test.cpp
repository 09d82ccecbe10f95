// The editor's Save over a file that another program changed since the editor read it.
#include <sstream>

#include "cli/commands.h"
#include "data/file_state.h"
#include "data/file_steps.h"
#include "data/lock_holder.h"
#include "data/writer_lock.h"
#include "editor_fixture.h"

namespace memro::testing {
namespace {

class ChangedFileTest : public EditorTest {
 protected:
  void SetUp() override { WithEvents(2); }

  // Another writer adds an event to the file, as memro-cli add does.
  void AddElsewhere(const std::string& message) {
    std::ostringstream out, err;
    ASSERT_EQ(
        cli::RunCli({"add", file.string(), "--date", "Mar 3 2027", "--message", message}, out, err),
        0)
        << err.str();
  }

  std::string Question() const {
    return file.string() +
           " has been changed by another program since the editor opened or last saved it.\n\n"
           "Yes: replace it with the editor's records; the other program's changes are lost.\n"
           "No: save the editor's records under another name.\n"
           "Cancel: save nothing now.";
  }

  std::filesystem::path file = dir / "events.mmo";
};

TEST_F(ChangedFileTest, CancelAndSaveUnderAnotherName) {
  AddElsewhere("added elsewhere");
  const std::string theirs = ReadFileBytes(file);
  ui().message->setPlainText("mine");
  platform.answers = {Answer::kCancel};
  editor->FileCommand(2);
  EXPECT_EQ(Shown(), std::vector<std::string>{Question()});
  EXPECT_EQ(ReadFileBytes(file), theirs);
  EXPECT_TRUE(editor->state().fileChanged);

  platform.answers = {Answer::kNo};
  platform.fileDialogs = {Chosen(dir / "mine.mmo")};
  editor->FileCommand(2);
  EXPECT_EQ(Shown(), std::vector<std::string>{Question()});
  ASSERT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_EQ(platform.fileRequests[0].title, "Save As");
  EXPECT_EQ(ReadFileBytes(file), theirs);
  EXPECT_EQ(ReadEvents(dir / "mine.mmo").at(0).message.substr(0, 5), "mine ");
  EXPECT_EQ(Title(), "Memro 4.0 Editor [mine.mmo]");
  EXPECT_FALSE(editor->state().fileChanged);

  // The new file is the editor's own now: saving it again asks nothing.
  ui().hWarn->setValue(2);
  editor->FileCommand(2);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(ReadEvents(dir / "mine.mmo").at(0).warnDays, 2);
}

TEST_F(ChangedFileTest, YesReplacesAndOwnSavesAskNothing) {
  ui().message->setPlainText("first save");
  editor->FileCommand(2);
  ui().message->setPlainText("second save");
  editor->FileCommand(2);
  EXPECT_TRUE(Shown().empty());

  AddElsewhere("added elsewhere");
  ui().message->setPlainText("mine");
  platform.answers = {Answer::kYes};
  editor->FileCommand(2);
  EXPECT_EQ(Shown(), std::vector<std::string>{Question()});
  const auto events = ReadEvents(file);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].message.substr(0, 5), "mine ");
  EXPECT_FALSE(editor->state().fileChanged);
}

// The main window's scan rewrites its file with the same events on every scan: nobody's
// changes are lost there. A scan that cleaned up an event is a change to ask about.
TEST_F(ChangedFileTest, SameBytesRewrittenAskNothingRemovedEventsAsk) {
  const auto inode = FileStateOf(file)->inode;
  RewriteByRename(file, ReadFileBytes(file));
  ASSERT_NE(FileStateOf(file)->inode, inode);
  ui().message->setPlainText("mine");
  editor->FileCommand(2);
  RewriteByRename(file, ReadFileBytes(file));  // after the editor's own save too
  ui().hWarn->setValue(3);
  editor->FileCommand(2);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(ReadEvents(file).at(0).warnDays, 3);

  const std::string bytes = ReadFileBytes(file);
  RewriteByRename(file, bytes.substr(0, bytes.size() - kRecordSize));
  ui().hWarn->setValue(4);
  platform.answers = {Answer::kCancel};
  editor->FileCommand(2);
  EXPECT_EQ(Shown(), std::vector<std::string>{Question()});
  EXPECT_EQ(ReadEvents(file).size(), 1u);
}

TEST_F(ChangedFileTest, CancelStopsTheQuitThatAskedToSave) {
  AddElsewhere("added elsewhere");
  ui().message->setPlainText("mine");
  platform.answers = {Answer::kYes, Answer::kCancel};  // save changes, then not over theirs
  EXPECT_FALSE(editor->close());
  EXPECT_EQ(Shown(), (std::vector<std::string>{"Save changes?", Question()}));
  EXPECT_TRUE(editor->state().fileChanged);
  EXPECT_EQ(ReadEvents(file).size(), 3u);
}

// The writer lock's time-out, as SaveStore reports it: its own sentence, the changes
// still marked.
TEST_F(ChangedFileTest, BusyFileIsToldInTheLocksOwnWords) {
  ui().message->setPlainText("mine");
  editor->ButtonCommand(0);  // stored: the hook below stops the save itself
  const std::string before = ReadFileBytes(file);
  SetFileStepHook([] { throw FileBusyError("/busy/events.mmo"); });
  editor->FileCommand(2);
  SetFileStepHook(nullptr);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt, FileBusyError("/busy/events.mmo").message());
  EXPECT_EQ(platform.messages[0].icon, Icon::kExclamation);
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_TRUE(editor->state().fileChanged);
}

// A writer that holds the lock when Save comes is waited for; what it wrote is then
// asked about like any other change, although the editor had nothing to ask before.
TEST_F(ChangedFileTest, WriterMetUnderTheLockIsAskedAbout) {
  ui().message->setPlainText("mine");
  editor->ButtonCommand(0);
  std::string theirs = ReadFileBytes(file);
  theirs += theirs.substr(theirs.size() - kRecordSize);  // one more event
  static LockHolder* holder = nullptr;
  LockHolder other(file, theirs);
  ASSERT_TRUE(other.held());
  holder = &other;
  SetLockWaitHook([] { holder->LetGo(); });
  platform.answers = {Answer::kCancel};
  editor->FileCommand(2);
  SetLockWaitHook(nullptr);
  EXPECT_EQ(other.Finish(), 0);
  EXPECT_EQ(Shown(), std::vector<std::string>{Question()});
  EXPECT_EQ(ReadFileBytes(file), theirs);
  EXPECT_TRUE(editor->state().fileChanged);

  // Yes replaces it: the question is not asked again for the change it answered.
  platform.answers = {Answer::kYes};
  editor->FileCommand(2);
  EXPECT_EQ(Shown(), std::vector<std::string>{Question()});
  EXPECT_EQ(ReadEvents(file).size(), 2u);
  EXPECT_FALSE(editor->state().fileChanged);
}

}  // namespace
}  // namespace memro::testing
