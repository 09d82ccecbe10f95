// New, Duplicate, Delete and Find on the editor's records.
#include "editor_fixture.h"

namespace memro::testing {
namespace {

TEST_F(EditorTest, NewRecordTwiceAddsOnlyOne) {
  WithEvents(2);
  editor->RecordsCommand(0);
  EXPECT_EQ(editor->state().recCount, 3);
  EXPECT_EQ(editor->state().curRec, 3);
  EXPECT_EQ(Caption(), "Current Record: 3 of 3");
  EXPECT_EQ(Date(), "");
  EXPECT_EQ(ui().hWarn->value(), 7);
  EXPECT_TRUE(editor->state().recModified);

  editor->RecordsCommand(0);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Date is of invalid format."});
  EXPECT_EQ(editor->state().recCount, 3);
  EXPECT_EQ(ui().hPos->maximum(), 3);

  // The new record cannot be left until it has a date.
  Scroll(1);
  EXPECT_EQ(editor->state().curRec, 3);
  Type("Mar 3 2027", "third");
  Scroll(1);
  EXPECT_EQ(Stored(3).date, "Mar032027");
  EXPECT_EQ(Message(), "event 1");
}

TEST_F(EditorTest, DuplicateOfTheSecondOfFive) {
  WithEvents(5);
  Scroll(2);
  editor->RecordsCommand(6);
  EXPECT_EQ(Caption(), "Current Record: 6 of 6");
  EXPECT_EQ(editor->state().curRec, 6);
  EXPECT_EQ(ui().hPos->value(), 6);
  EXPECT_EQ(Stored(6), Stored(2));
  EXPECT_EQ(Message(), "event 2");
  EXPECT_TRUE(editor->state().fileChanged);
}

TEST_F(EditorTest, DeleteOnlyLastAndFirstRecords) {
  WithEvents(1);
  editor->RecordsCommand(1);
  EXPECT_EQ(editor->state().recCount, 0);
  EXPECT_EQ(editor->state().curRec, 0);
  EXPECT_EQ(Caption(), "Current Record:");
  EXPECT_EQ(Date(), "");
  EXPECT_FALSE(ui().miR[1]->isEnabled());
  EXPECT_FALSE(ui().miR[3]->isEnabled());
  Type("Apr 4 2027", "again");
  editor->ButtonCommand(0);
  EXPECT_EQ(editor->state().recCount, 1);
  EXPECT_EQ(Stored(1).date, "Apr042027");

  WithEvents(3);
  Scroll(3);
  editor->RecordsCommand(1);
  EXPECT_EQ(Caption(), "Current Record: 2 of 2");
  EXPECT_EQ(Message(), "event 2");
  EXPECT_EQ(ui().hPos->maximum(), 2);

  WithEvents(3);
  editor->RecordsCommand(1);
  EXPECT_EQ(Caption(), "Current Record: 1 of 2");
  EXPECT_EQ(Message(), "event 2");
  EXPECT_EQ(Stored(2).message.substr(0, 7), "event 3");
  EXPECT_TRUE(Shown().empty());
}

class FindTest : public EditorTest {
 protected:
  void SetUp() override {
    WriteEventFile(dir / "f.mmo",
                   {MakeEvent("Mar012027", "dentist at ten, then the DENTIST bill"),
                    MakeEvent("Jan152027", "water plants"), MakeEvent("May052027", "call mum"),
                    MakeEvent("Jun062027", "Pay rent")});
    Make(dir / "f.mmo");
  }
};

TEST_F(FindTest, DateAndMessageFieldsInOrderAndAroundTheEnd) {
  platform.inputs = {"  JAN "};
  editor->RecordsCommand(3);
  EXPECT_EQ(platform.inputTitles, std::vector<std::string>{"Find"});
  EXPECT_EQ(platform.inputPrompts, std::vector<std::string>{"Enter text to search for"});
  EXPECT_EQ(editor->state().curRec, 2);
  EXPECT_EQ(ui().date->selectedText(), "Jan 15");
  EXPECT_EQ(ui().lbl[4]->text(), "  Press F1 for help.");

  // From the last record the search goes round to the first.
  Scroll(4);
  platform.inputs = {"dentist"};
  editor->RecordsCommand(3);
  EXPECT_EQ(editor->state().curRec, 1);
  EXPECT_EQ(ui().message->textCursor().selectionStart(), 0);

  // Find Next passes over the match just found, to the next one in the same field.
  editor->RecordsCommand(4);
  EXPECT_EQ(editor->state().curRec, 1);
  EXPECT_EQ(ui().message->textCursor().selectionStart(), 25);
  EXPECT_EQ(ui().message->textCursor().selectedText(), "DENTIST");
  EXPECT_TRUE(Shown().empty());
}

TEST_F(FindTest, TheStartRecordIsSearchedLastAndMissesAreSaid) {
  // Only in the record where the search starts, before the cursor.
  Scroll(3);
  QTextCursor cursor = ui().message->textCursor();
  cursor.movePosition(QTextCursor::End);
  ui().message->setTextCursor(cursor);
  ui().message->setFocus();
  platform.inputs = {"call"};
  editor->RecordsCommand(3);
  EXPECT_EQ(editor->state().curRec, 3);
  EXPECT_EQ(ui().message->textCursor().selectedText(), "call");

  platform.inputs = {"holiday"};
  editor->RecordsCommand(3);
  EXPECT_EQ(Shown(), std::vector<std::string>{"\"holiday\" not found."});
  EXPECT_EQ(editor->state().curRec, 3);

  // The selected text is proposed (the fake answers with what is proposed).
  Scroll(4);
  ui().date->setSelection(0, 3);
  editor->RecordsCommand(3);
  EXPECT_EQ(editor->state().findText, "Jun");
  EXPECT_EQ(ui().date->selectedText(), "Jun");

  // An empty answer does nothing.
  platform.inputs = {""};
  editor->RecordsCommand(3);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(editor->state().findText, "");
}

}  // namespace
}  // namespace memro::testing
