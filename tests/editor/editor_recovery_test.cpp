// Unsaved changes kept when the program is ended by a signal, and offered back by the
// next editor on that file or at the next start.
#include "editor/editor_recovery.h"

#include <functional>
#include <sstream>
#include <utility>

#include "cli/commands.h"
#include "data/file_digest.h"
#include "data/recovery_note.h"
#include "editor_fixture.h"

namespace memro::testing {
namespace {

class RecoveryTest : public EditorTest {
 protected:
  // The program ends by a signal: the changes are kept, the window closes unasked.
  void EndBySignal() {
    editor->KeepForRecovery();
    EXPECT_TRUE(editor->close());
    EXPECT_TRUE(Shown().empty());
    editor.reset();
  }

  bool Waiting() { return RecoveryWaiting(platform.programDir); }

  std::string Offer(const std::string& what) {
    const auto waiting = WaitingRecoveries(platform.programDir);
    EXPECT_FALSE(waiting.empty());
    const std::string when = waiting.empty() ? "" : KeptAtText(waiting.front().note.keptAt);
    return "The editor held unsaved changes to " + what + " when Memro 4.0 was ended on " + when +
           ". They were kept.\n\nRestore them?\nYes: they come back as unsaved changes.\n"
           "No: they are deleted.";
  }

  std::filesystem::path file = dir / "events.mmo";
};

TEST_F(RecoveryTest, ChangedMessageComesBackOnTheNextOpen) {
  WithEvents(3);
  const std::string saved = ReadFileBytes(file);
  Scroll(2);
  editor->RecordsCommand(6);  // a copy of event 2 as event 4
  ui().message->setPlainText("changed, not stored");
  EndBySignal();
  EXPECT_EQ(host.closed, 1);
  EXPECT_EQ(ReadFileBytes(file), saved);
  ASSERT_TRUE(Waiting());

  const std::string offer = Offer(file.string());
  platform.answers = {Answer::kYes};
  Make(file);
  EXPECT_EQ(Shown(), std::vector<std::string>{offer});
  EXPECT_FALSE(Waiting());
  const EditorState& s = editor->state();
  EXPECT_EQ(s.recCount, 4);
  EXPECT_EQ(s.curRec, 4);
  EXPECT_EQ(Caption(), "Current Record: 4 of 4");
  EXPECT_EQ(Message(), "changed, not stored");
  EXPECT_EQ(Date(), "Jan 02, 2027");
  EXPECT_TRUE(s.fileChanged && s.recModified);
  EXPECT_EQ(Title(), "Memro 4.0 Editor [events.mmo]");

  editor->FileCommand(2);
  EXPECT_TRUE(Shown().empty());
  const auto events = ReadEvents(file);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[3].message.substr(0, 19), "changed, not stored");
  EXPECT_EQ(events[1].message.substr(0, 8), "event 2 ");
}

TEST_F(RecoveryTest, NoDeletesTheRecoveryAndNothingIsKeptWithoutChanges) {
  WithEvents(2);
  ui().chk[1]->setChecked(false);
  EndBySignal();
  ASSERT_TRUE(Waiting());
  platform.answers = {Answer::kNo};
  Make(file);
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_FALSE(Waiting());
  EXPECT_TRUE(ui().chk[1]->isChecked());
  EXPECT_FALSE(editor->state().fileChanged || editor->state().recModified);

  EndBySignal();  // nothing changed: nothing kept
  EXPECT_FALSE(Waiting());
  Make(file);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(RecoveryTest, AnInvalidDateIsKeptAsTyped) {
  WithEvents(2);
  editor->RecordsCommand(0);
  Type("Feb 31st", "a new event");
  ui().cmb->setCurrentIndex(kOnce);
  ui().chk[3]->setChecked(true);
  ui().hWarn->setValue(12);
  EndBySignal();

  platform.answers = {Answer::kYes};
  Make(file);
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_EQ(editor->state().recCount, 3);
  EXPECT_EQ(editor->state().curRec, 3);
  EXPECT_EQ(Date(), "Feb 31st");
  EXPECT_EQ(Message(), "a new event");
  EXPECT_EQ(ui().cmb->currentIndex(), kOnce);
  EXPECT_TRUE(ui().chk[3]->isChecked());
  EXPECT_EQ(ui().hWarn->value(), 12);
  EXPECT_TRUE(editor->state().recModified);
  Scroll(1);  // the date still has to be mended before the record can be left
  EXPECT_EQ(Shown(), std::vector<std::string>{"Date is of invalid format."});
  EXPECT_EQ(editor->state().curRec, 3);
}

TEST_F(RecoveryTest, StartOffersAnUntitledEditorsChanges) {
  Make();
  Type("Jul 4 2027", "fireworks");
  EndBySignal();
  ASSERT_TRUE(Waiting());

  const std::string offer = Offer("an untitled file");
  platform.answers = {Answer::kYes};
  Make();
  EXPECT_EQ(Shown(), std::vector<std::string>{offer});
  EXPECT_EQ(Title(), "Memro 4.0 Editor [Untitled]");
  EXPECT_EQ(Message(), "fireworks");
  EXPECT_EQ(editor->state().recCount, 0);
  platform.fileDialogs = {Chosen(dir / "new.mmo")};
  editor->FileCommand(2);
  EXPECT_EQ(ReadEvents(dir / "new.mmo").at(0).date, "Jul042027");
}

TEST_F(RecoveryTest, StartOpensTheFileOfARecoveryThatIsNotTheMainWindows) {
  WriteEventFile(dir / "other.mmo", {MakeEvent("May052027", "other")});
  Make(dir / "other.mmo");
  ui().message->setPlainText("other, changed");
  EndBySignal();

  const std::string offer = Offer((dir / "other.mmo").string());
  platform.answers = {Answer::kYes};
  WithEvents(2);  // the main window shows events.mmo
  EXPECT_EQ(Shown(), std::vector<std::string>{offer});
  EXPECT_EQ(Title(), "Memro 4.0 Editor [other.mmo]");
  EXPECT_EQ(Message(), "other, changed");
  EXPECT_TRUE(editor->state().fileChanged);
  EXPECT_FALSE(Waiting());
}

TEST_F(RecoveryTest, FileChangedSinceItWasKeptIsAskedAboutAtSave) {
  WithEvents(2);
  ui().message->setPlainText("mine");
  EndBySignal();
  std::ostringstream out, err;
  ASSERT_EQ(
      cli::RunCli({"add", file.string(), "--date", "Mar 3 2027", "--message", "theirs"}, out, err),
      0);

  platform.answers = {Answer::kYes};
  Make(file);
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_EQ(editor->state().recCount, 2);
  platform.answers = {Answer::kCancel};
  editor->FileCommand(2);
  const auto asked = Shown();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_NE(asked[0].find("has been changed by another program"), std::string::npos);
  EXPECT_EQ(ReadEvents(file).size(), 3u);
}

// The main window's scan at the next start rewrites the file with the same events.
TEST_F(RecoveryTest, FileRewrittenWithTheSameEventsSinceItWasKeptAsksNothing) {
  WithEvents(2);
  ui().message->setPlainText("mine");
  EndBySignal();
  ASSERT_EQ(WaitingRecoveries(platform.programDir).at(0).note.fileDigest, FileDigest(file));
  RewriteByRename(file, ReadFileBytes(file));

  platform.answers = {Answer::kYes};
  Make(file);
  EXPECT_EQ(Shown().size(), 1u);
  editor->FileCommand(2);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(ReadEvents(file).at(0).message.substr(0, 5), "mine ");
}

// A platform whose next message box lets the program be ended by a signal while it is
// open, as the box's own event loop would.
class EndingPlatform : public FakePlatform {
 public:
  using FakePlatform::FakePlatform;
  Answer MessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                    const std::string& title) override {
    if (auto end = std::exchange(whileAsking, nullptr)) end();
    return FakePlatform::MessageBox(prompt, icon, buttons, title);
  }
  std::function<void()> whileAsking;
};

TEST(RecoveryWhileAsking, AnAnswerGivenAfterTheEndDoesNothing) {
  TempDir dir;
  EndingPlatform platform(dir.path());
  FakeEditorHost host;
  WriteEventFile(dir / "events.mmo", {MakeEvent("Jan012027", "event 1")});
  host.currentFile = (dir / "events.mmo").string();
  const std::string saved = ReadFileBytes(dir / "events.mmo");

  auto editor = std::make_unique<EditorWindow>(platform, host);
  ASSERT_TRUE(editor->Start());
  editor->widgets().message->setPlainText("mine");
  platform.answers = {Answer::kYes};  // "Save changes?"
  platform.whileAsking = [&] { editor->KeepForRecovery(); };
  EXPECT_FALSE(editor->close());  // the Yes came too late to save
  EXPECT_EQ(ReadFileBytes(dir / "events.mmo"), saved);
  EXPECT_TRUE(editor->close());
  editor.reset();
  ASSERT_TRUE(RecoveryWaiting(platform.programDir));

  // Ended again while the recovery is offered: the No does not delete it.
  editor = std::make_unique<EditorWindow>(platform, host);
  platform.answers = {Answer::kNo};
  platform.whileAsking = [&] { editor->KeepForRecovery(); };
  ASSERT_TRUE(editor->Start());
  EXPECT_TRUE(RecoveryWaiting(platform.programDir));
  EXPECT_EQ(platform.messages.back().prompt.substr(0, 35), "The editor held unsaved changes to ");
}

}  // namespace
}  // namespace memro::testing
