// The main window's Editor command and what the main window sees of the editor's work.
#include <QCoreApplication>
#include <QEvent>

#include "main_window_fixture.h"

namespace memro::testing {
namespace {

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Selects the due line that shows message; false when there is none.
bool SelectMessage(MainWindow& window, const QString& message) {
  for (int row = 0; row < window.widgets().lst->count(); ++row) {
    window.widgets().lst->setCurrentRow(row);
    if (window.MessageText() == message) return true;
  }
  return false;
}

TEST_F(MainWindowTest, EditorOpensOnTheShownEventAndItsSaveIsNoticed) {
  const auto file = DueFile();
  Started(file.string());
  const MainWidgets& ui = window->widgets();
  ASSERT_EQ(ui.lst->count(), 3);
  ASSERT_TRUE(SelectMessage(*window, "Anna's birthday"));  // the file's second event
  window->ButtonCommand(0);
  EditorWindow* editor = window->editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->windowTitle(), "Memro 4.0 Editor [events.mmo]");
  EXPECT_EQ(editor->state().curRec, 2);
  EXPECT_EQ(editor->widgets().message->toPlainText(), "Anna's birthday");

  platform.messages.clear();
  window->OptionsCommand(4);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt.substr(0, 33), "Protection cannot be invoked when");

  editor->widgets().message->setPlainText("Anna's 40th birthday");
  editor->FileCommand(2);
  platform.messages.clear();
  platform.answers = {Answer::kYes};
  window->ChangedFileCheck();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt,
            "Contents of " + file.string() + " have changed. Update now?");
  EXPECT_TRUE(SelectMessage(*window, "Anna's 40th birthday"));

  EXPECT_TRUE(editor->close());
  DeleteClosedWindows();
  EXPECT_EQ(window->editor(), nullptr);
}

// Exit leaves an open editor running; the editor, closing last, writes the settings.
TEST_F(MainWindowTest, EditorOutlivesTheMainWindowAndSavesTheSettings) {
  const auto file = DueFile();
  Started(file.string());
  window->FileCommand(2);
  ASSERT_NE(window->editor(), nullptr);
  EXPECT_TRUE(window->close());
  std::filesystem::remove(Ini());
  EXPECT_TRUE(window->editor()->close());
  EXPECT_EQ(Setting("Editor", "PrevFile1"), file.string());
}

// The session's end asks the editor first; keeping unsaved changes keeps the session.
TEST_F(MainWindowTest, SessionEndAsksTheEditorFirst) {
  Started(DueFile().string());
  window->FileCommand(2);
  window->editor()->widgets().message->setPlainText("unsaved");
  platform.messages.clear();
  platform.answers = {Answer::kCancel};
  EXPECT_FALSE(window->SessionEnding());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt, "Save changes?");
  EXPECT_TRUE(window->editor()->isVisible());
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace memro::testing
