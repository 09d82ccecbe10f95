// The editor's File menu: opening the three formats, saving, the "Save changes?"
// question, closing, the recent files, and what a save leaves on disk.
#include <sstream>

#include "cli/commands.h"
#include "data/file_steps.h"
#include "data/record_file.h"
#include "editor_fixture.h"

namespace memro::testing {
namespace {

const std::vector<std::string> kEntry = {"Smith",        "John",           "555-0100",
                                         "Dec 08, 1960", "12 Main Street", "Springfield",
                                         "\xD8",         "likes jazz",     "\xD8"};

TEST_F(EditorTest, OpensEachOfTheThreeFormats) {
  WithEvents(3);
  EXPECT_EQ(Title(), "Memro 4.0 Editor [events.mmo]");
  EXPECT_EQ(Caption(), "Current Record: 1 of 3");
  EXPECT_EQ(Message(), "event 1");
  EXPECT_FALSE(editor->state().fileChanged || editor->state().needsName);
  EXPECT_TRUE(ui().miR[1]->isEnabled());

  std::string old = OldHeaderBytes();
  old += OldRecordBytes("Feb141999", "valentine", 3, 0, 1, 0);
  WriteFileBytes(dir / "old.mmo", old);
  host.currentFile = (dir / "events.mmo").string();
  platform.fileDialogs = {Chosen(dir / "old.mmo")};
  editor->FileCommand(1);
  const FileDialogRequest& request = platform.fileRequests.at(0);
  EXPECT_EQ(request.title, "Open");
  EXPECT_EQ(request.initialName, host.currentFile);
  EXPECT_EQ(request.filter,
            "Memro Files (*.mmo)|*.mmo|Memro 3.0, 2.01 Files (*.mmo)|*.mmo|Date Bank 1.21 Files "
            "(*.bnk)|*.bnk|Date Bank 1.0 Files (*.bnk)|*.bnk|All Files (*.*)|*.*");
  EXPECT_EQ(Title(), "Memro 4.0 Editor [old.mmo]");
  EXPECT_EQ(Date(), "Feb 14, 1999");
  EXPECT_TRUE(editor->state().fileChanged && editor->state().needsName);
  EXPECT_EQ(Shown().size(), 1u);  // the notice that it will be converted

  WriteFileBytes(dir / "cards.bnk", TextLines(kEntry));
  platform.answers = {Answer::kNo};  // do not save the converted file
  platform.fileDialogs = {Chosen(dir / "cards.bnk")};
  editor->FileCommand(1);
  EXPECT_EQ(Shown().at(0), "Save changes?");
  EXPECT_EQ(Title(), "Memro 4.0 Editor [cards.bnk]");
  EXPECT_EQ(Date(), "Dec 08, 1960");
  EXPECT_TRUE(editor->state().needsName);
}

TEST_F(EditorTest, OpensOnTheEventTheMainWindowShows) {
  host.dueCount = 2;
  host.editTarget = "4";  // record 4 of the file is its third event
  WithEvents(5);
  EXPECT_EQ(editor->state().curRec, 3);
  EXPECT_EQ(Message(), "event 3");

  host.editTarget = "9";  // beyond the last record
  WithEvents(5);
  EXPECT_EQ(editor->state().curRec, 1);
}

TEST_F(EditorTest, FailedOpenFallsBackToTheLastFile) {
  WithEvents(2);
  platform.fileDialogs = {Chosen(dir / "missing.mmo")};
  editor->FileCommand(1);
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Title(), "Memro 4.0 Editor [events.mmo]");
  EXPECT_EQ(editor->state().recCount, 2);
  EXPECT_EQ(editor->state().fileName, (dir / "events.mmo").string());

  editor->FileCommand(0);
  EXPECT_EQ(Title(), "Memro 4.0 Editor [Untitled]");
  platform.fileDialogs = {Chosen(dir / "missing.mmo")};
  editor->FileCommand(1);
  EXPECT_EQ(Title(), "Memro 4.0 Editor");
  EXPECT_EQ(editor->state().recCount, 0);
}

TEST_F(EditorTest, SaveAsksANameOnlyWhenItNeedsOne) {
  Make();
  editor->FileCommand(2);  // nothing to save, not even a dialog
  EXPECT_TRUE(platform.fileRequests.empty());

  Type("Jul 4 2027", "fireworks");
  platform.fileDialogs = {Chosen(dir / "new.mmo")};
  editor->FileCommand(2);
  ASSERT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_EQ(platform.fileRequests[0].title, "Save As");
  EXPECT_EQ(platform.fileRequests[0].filter, "Memro Files (*.mmo)|*.mmo|All Files (*.*)|*.*");
  EXPECT_TRUE(platform.fileRequests[0].confirmOverwrite);
  EXPECT_EQ(platform.beeps, 1);  // there was no file to replace
  EXPECT_EQ(Title(), "Memro 4.0 Editor [new.mmo]");
  EXPECT_EQ(ReadEvents(dir / "new.mmo").at(0).date, "Jul042027");
  EXPECT_FALSE(editor->state().fileChanged || editor->state().recModified);

  editor->FileCommand(2);
  EXPECT_EQ(platform.fileRequests.size(), 1u);
  EXPECT_EQ(platform.beeps, 1);
  platform.fileDialogs = {Cancelled()};
  editor->FileCommand(3);
  EXPECT_TRUE(editor->state().saveCancelled);

  // A converted file is offered under its name with the extension MMO, once.
  WriteFileBytes(dir / "cards.bnk", TextLines(kEntry));
  platform.fileDialogs = {Chosen(dir / "cards.bnk")};
  editor->FileCommand(1);
  platform.fileDialogs = {Chosen(dir / "cards.MMO")};
  editor->FileCommand(2);
  EXPECT_EQ(platform.fileRequests.back().initialName, (dir / "cards.MMO").string());
  EXPECT_FALSE(editor->state().needsName);
  EXPECT_EQ(ReadEvents(dir / "cards.MMO").at(0).date, "Dec081960");
  const auto dialogs = platform.fileRequests.size();
  ui().hWarn->setValue(1);
  editor->FileCommand(2);
  EXPECT_EQ(platform.fileRequests.size(), dialogs);
  EXPECT_EQ(ReadEvents(dir / "cards.MMO").at(0).warnDays, 1);
}

TEST_F(EditorTest, EveryAnswerToSaveChanges) {
  for (int command : {0, 1, 12}) {
    SCOPED_TRACE(command);
    WithEvents(2);
    ui().message->setPlainText("changed");
    platform.answers = {Answer::kCancel};
    editor->FileCommand(command);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Save changes?"});
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->state().recCount, 2);
    EXPECT_TRUE(editor->state().fileChanged);

    platform.answers = {Answer::kYes};
    platform.fileDialogs = {Chosen(dir / "events.mmo")};  // Open's dialog, after the save
    editor->FileCommand(command);
    EXPECT_EQ(ReadEvents(dir / "events.mmo").at(0).message.substr(0, 7), "changed");
    EXPECT_FALSE(editor->state().fileChanged);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Save changes?"});
    if (command == 12) {
      EXPECT_FALSE(editor->isVisible());
    }
  }

  Make();
  const int closed = host.closed;
  Type("Aug 8 2027", "untitled");
  editor->ButtonCommand(0);
  platform.answers = {Answer::kYes};
  platform.fileDialogs = {Cancelled()};  // Yes asks a name; cancelling cancels the Quit
  EXPECT_FALSE(editor->close());
  EXPECT_TRUE(editor->state().fileChanged);
  EXPECT_EQ(host.closed, closed);

  platform.answers = {Answer::kNo};
  editor->FileCommand(0);
  EXPECT_EQ(editor->state().recCount, 0);
  EXPECT_FALSE(editor->state().fileChanged || editor->state().recModified);
}

TEST_F(EditorTest, ClosingWithAnInvalidDateKeepsTheEditorOpen) {
  WithEvents(1);
  const auto store = editor->store()->path();
  ui().date->setText("");
  EXPECT_FALSE(editor->close());
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         "Date is of invalid format.",
                         "Delete this record or enter a valid date before quiting Editor."}));
  EXPECT_EQ(host.closed, 0);

  ui().date->setText("Sep 9 2027");
  platform.answers = {Answer::kNo};
  EXPECT_TRUE(editor->close());
  EXPECT_EQ(host.closed, 1);
  EXPECT_FALSE(std::filesystem::exists(store));
  EXPECT_EQ(ReadEvents(dir / "events.mmo").at(0).date, "Jan012027");  // No saved nothing
}

TEST_F(EditorTest, RecentFilesOfTheEditor) {
  for (const char* name : {"a.mmo", "b.mmo", "c.mmo", "d.mmo", "A.MMO"}) {
    WriteEventFile(dir / name, {MakeEvent("Jan012027", name)});
  }
  Make();
  for (const char* name : {"a.mmo", "b.mmo", "c.mmo", "d.mmo", "A.MMO"}) {
    platform.fileDialogs = {Chosen(dir / name)};
    editor->FileCommand(1);
  }
  const RecentFiles& list = host.settings.editorRecent;
  EXPECT_EQ(list[0], (dir / "A.MMO").string());  // the same file in other letters moves up
  EXPECT_EQ(list[3], (dir / "b.mmo").string());
  EXPECT_EQ(ui().miF[8]->text().toStdString(), "&2 " + (dir / "d.mmo").string());
  EXPECT_TRUE(ui().miF[11]->isVisible());

  editor->FileCommand(10);
  EXPECT_EQ(Message(), "b.mmo");
  EXPECT_EQ(list[0], (dir / "b.mmo").string());
}

TEST_F(EditorTest, SavedFileIsTheStoreAndDumpShowsTheEdits) {
  WithEvents(2);
  Scroll(2);
  ui().message->setPlainText("edited second");
  editor->RecordsCommand(6);
  editor->FileCommand(2);
  const std::string saved = ReadFileBytes(dir / "events.mmo");
  ASSERT_EQ(saved.size(), 4 * kRecordSize);
  std::string bytes;
  for (int n = 1; n <= 4; ++n) {
    editor->store()->Read(n, bytes);
    EXPECT_EQ(saved.substr((n - 1) * kRecordSize, kRecordSize), bytes) << n;
  }
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunCli({"dump", (dir / "events.mmo").string()}, out, err), 0);
  EXPECT_NE(out.str().find("{\"record\":4,\"date\":\"Jan022027\",\"message\":\"edited second\""),
            std::string::npos)
      << out.str();
}

int stepsBeforeFault = 0;
void FailAtStep() {
  if (--stepsBeforeFault == 0) throw FileError(EIO, "injected");
}

// A save stopped at any step of its writing leaves the file as it was, and no copy.
TEST_F(EditorTest, InterruptedSaveLeavesTheOldFile) {
  WithEvents(3);
  const std::string before = ReadFileBytes(dir / "events.mmo");
  ui().message->setPlainText("new text");
  editor->ButtonCommand(0);
  for (int step = 1;; ++step) {
    SCOPED_TRACE(step);
    stepsBeforeFault = step;
    SetFileStepHook(&FailAtStep);
    editor->FileCommand(2);
    SetFileStepHook(nullptr);
    const std::string after = ReadFileBytes(dir / "events.mmo");
    EXPECT_FALSE(std::filesystem::exists(dir / "events.mm~"));
    if (stepsBeforeFault > 0) {  // the save ran to its end
      EXPECT_NE(after, before);
      EXPECT_FALSE(editor->state().fileChanged);
      break;
    }
    const auto messages = Shown();
    if (after == before) {
      EXPECT_EQ(messages.at(0), "Input/output error while saving " + (dir / "events.mmo").string());
      EXPECT_TRUE(editor->state().fileChanged);
      EXPECT_EQ(Title(), "Memro 4.0 Editor [events.mmo]");
    }
  }
}

}  // namespace
}  // namespace memro::testing
