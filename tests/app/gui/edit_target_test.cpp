// The main window's Editor command after a start-up scan that cleaned up events.
#include <QCoreApplication>
#include <QEvent>

#include "data/env_guard.h"
#include "main_window_fixture.h"

namespace memro::testing {
namespace {

class EditTargetTest : public MainWindowTest {
 protected:
  RuntimeDirGuard runtime{dir / "run-locks"};  // the scan's writer lock
};

TEST_F(EditTargetTest, EditorOpensOnTheShownEventAfterAnEarlierOneWasCleanedUp) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {Event("Dec082026", "Dentist 10:30", kOnce, 7, 0, 1),
                        Event("Dec112026", "Anna's birthday", kYearly),
                        Event("Jan012020", "Water the plants", kDaily)});
  Set("Setup", "CleanUp", "0");  // clean up without asking
  Started(file.string());
  ASSERT_EQ(ReadEvents(file).size(), 2u);  // the dentist is gone from the file
  const MainWidgets& ui = window->widgets();
  bool shown = false;
  for (int row = 0; row < ui.lst->count() && !shown; ++row) {
    ui.lst->setCurrentRow(row);
    shown = window->MessageText() == "Anna's birthday";
  }
  ASSERT_TRUE(shown);
  window->ButtonCommand(0);
  EditorWindow* editor = window->editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->state().curRec, 1);
  EXPECT_EQ(editor->widgets().message->toPlainText().toStdString(), "Anna's birthday");
  EXPECT_TRUE(editor->close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace memro::testing
