// The editor's fields: what opening shows, storing with the date rule, the warn-days
// and activation reactions, the message's limits and moving between records.
#include <QApplication>
#include <QEvent>
#include <QTest>

#include "editor_fixture.h"
#include "platform/help_topics.h"

namespace memro::testing {
namespace {

TEST_F(EditorTest, OpensEmptyWithItsCaptionsAndTheDefaults) {
  Make();
  EXPECT_EQ(Title(), "Memro 4.0 Editor");
  EXPECT_EQ(Caption(), "Current Record:");
  EXPECT_EQ(ui().lbl[2]->text(), "&3. Warn in advance: 7 days");
  ASSERT_EQ(ui().cmb->count(), 5);
  EXPECT_EQ(ui().cmb->itemText(4), "Once");
  EXPECT_EQ(ui().cmb->currentIndex(), kYearly);
  EXPECT_TRUE(ui().chk[1]->isChecked());
  EXPECT_TRUE(ui().chk[2]->isChecked());
  EXPECT_FALSE(ui().chk[3]->isEnabled());  // clean-up is for Once events only
  EXPECT_FALSE(ui().miR[1]->isEnabled());
  EXPECT_FALSE(ui().miF[7]->isVisible());
  EXPECT_EQ(ui().cmd[6]->toolTip(), "Duplicate current record");
  const EditorState& s = editor->state();
  EXPECT_FALSE(s.recModified || s.fileChanged);
  EXPECT_EQ(s.recCount, 0);
  EXPECT_TRUE(s.fileName.empty());
}

TEST_F(EditorTest, FirstUpdateOfAnEmptyEditorStoresRecordOne) {
  Make();
  Type("", "no date yet");
  editor->ButtonCommand(0);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Date is of invalid format."});
  EXPECT_EQ(editor->state().recCount, 0);

  Type("Jan 5 1999", "first");
  editor->ButtonCommand(0);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(editor->state().recCount, 1);
  EXPECT_EQ(editor->state().curRec, 1);
  EXPECT_FALSE(editor->state().recModified);
  EXPECT_TRUE(editor->state().fileChanged);
  EXPECT_EQ(Stored(1).date, "Jan051999");
  EXPECT_EQ(Stored(1).message.substr(0, 6), "first ");
  EXPECT_EQ(Caption(), "Current Record: 1 of 1");
  EXPECT_TRUE(ui().miR[1]->isEnabled());
}

TEST_F(EditorTest, DateFormsAreStoredAlikeAndShownInOneForm) {
  WithEvents(1);
  for (const char* typed : {"Jan 5 1999", "1/5/1999", "January 5, 1999", "5 jan 1999"}) {
    ui().date->setText(typed);
    editor->ButtonCommand(0);
    EXPECT_EQ(Stored(1).date, "Jan051999") << typed;
    ASSERT_TRUE(editor->ShowRecord(1));
    EXPECT_EQ(Date(), "Jan 05, 1999");
  }
  EXPECT_TRUE(Shown().empty());
}

TEST_F(EditorTest, WarnDaysAndActivationReactions) {
  WriteEventFile(dir / "e.mmo", {Event("Mar012027", "far ahead", kMonthly, 400, 1, 1)});
  Make(dir / "e.mmo");
  // A stored value beyond the scroll bar's range is shown and stored unchanged.
  EXPECT_EQ(ui().hWarn->value(), 400);
  EXPECT_EQ(ui().lbl[2]->text(), "&3. Warn in advance: 400 days");
  for (auto [days, text] :
       std::vector<std::pair<int, const char*>>{{0, "0 day"}, {1, "1 day"}, {2, "2 days"}}) {
    ui().hWarn->setValue(days);
    EXPECT_EQ(ui().lbl[2]->text(), QString("&3. Warn in advance: ") + text);
  }
  EXPECT_TRUE(editor->state().recModified);

  ui().cmb->setCurrentIndex(kDaily);
  EXPECT_FALSE(ui().chk[2]->isEnabled());
  EXPECT_FALSE(ui().chk[3]->isEnabled());
  ui().cmb->setCurrentIndex(kOnce);
  EXPECT_TRUE(ui().chk[2]->isEnabled());
  EXPECT_TRUE(ui().chk[3]->isEnabled());
  ui().cmb->setCurrentIndex(kWeekly);
  EXPECT_FALSE(ui().chk[3]->isEnabled());
  // A disabled box keeps its value and is stored as it stands.
  EXPECT_TRUE(ui().chk[3]->isChecked());
  editor->ButtonCommand(0);
  const EventRecord r = Stored(1);
  EXPECT_EQ(r.frequency, kWeekly);
  EXPECT_EQ(r.cleanUp, 1);
  EXPECT_EQ(r.warnDays, 2);
}

// From the keyboard both bars go the way their arrows point, as the mouse does.
TEST_F(EditorTest, ArrowKeysMoveTheBarsTheWayTheirArrowsPoint) {
  WriteEventFile(dir / "e.mmo", {Event("Mar012027", "one", kYearly, 7, 1, 0),
                                 Event("Mar022027", "two", kYearly, 7, 1, 0)});
  Make(dir / "e.mmo");
  QTest::keyClick(ui().hPos, Qt::Key_Right);
  EXPECT_EQ(editor->state().curRec, 2);
  QTest::keyClick(ui().hPos, Qt::Key_Left);
  EXPECT_EQ(editor->state().curRec, 1);
  QTest::keyClick(ui().hWarn, Qt::Key_Right);
  EXPECT_EQ(ui().hWarn->value(), 8);
  QTest::keyClick(ui().hWarn, Qt::Key_Left);
  QTest::keyClick(ui().hWarn, Qt::Key_Left);
  EXPECT_EQ(ui().hWarn->value(), 6);
}

TEST_F(EditorTest, ScrollingAwayFromAnInvalidDateSnapsBack) {
  WriteEventFile(dir / "e.mmo",
                 {Event("garbage", "bad date", kYearly), MakeEvent("Feb022027", "good")});
  Make(dir / "e.mmo");
  EXPECT_EQ(Date(), "");
  Scroll(2);  // unchanged record: back without a word
  EXPECT_EQ(ui().hPos->value(), 1);
  EXPECT_EQ(editor->state().curRec, 1);
  EXPECT_TRUE(Shown().empty());

  WithEvents(3);
  Type("not a date", "typed");
  Scroll(3);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Date is of invalid format."});
  EXPECT_EQ(ui().hPos->value(), 1);
  EXPECT_EQ(Caption(), "Current Record: 1 of 3");
  EXPECT_EQ(Message(), "typed");
  EXPECT_EQ(ui().date->selectedText(), "not a date");
  EXPECT_TRUE(editor->state().recModified);

  ui().date->setText("Feb 3 2027");
  Scroll(3);
  EXPECT_EQ(Date(), "Jan 03, 2027");
  EXPECT_EQ(Stored(1).date, "Feb032027");
  EXPECT_FALSE(editor->state().recModified);
}

TEST_F(EditorTest, MessageKeepsToTheFieldAndTheCodePage) {
  WithEvents(1);
  ui().message->setPlainText(QString(600, 'a') + QString(300, '\n') + "tail");
  // Each line end takes two bytes in the file: what overflows is cut.
  EXPECT_EQ(ui().message->toPlainText(), QString(600, 'a') + QString(200, '\n'));

  Type("Jan 1 2027", "caf\xC3\xA9 \xE2\x82\xAC 5 \xE6\x97\xA5");  // café € 5 and a CJK sign
  platform.answers = {Answer::kNo};
  editor->ButtonCommand(0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].buttons, Buttons::kYesNo);
  EXPECT_EQ(Stored(1).message.substr(0, 7), "event 1");
  EXPECT_TRUE(editor->state().recModified);

  platform.answers = {Answer::kYes};
  editor->ButtonCommand(0);
  EXPECT_EQ(Stored(1).message.substr(0, 10), "caf\xE9 \x80 5 ?");

  // Stored line ends are CR LF; the field shows plain line ends, trailing blanks gone.
  Type("Jan 1 2027", "two\nlines   ");
  editor->ButtonCommand(0);
  EXPECT_EQ(Stored(1).message.substr(0, 12), "two\r\nlines  ");
  ASSERT_TRUE(editor->ShowRecord(1));
  EXPECT_EQ(Message(), "two\nlines");
}

TEST_F(EditorTest, HintsHelpPopupAndDefaults) {
  WithEvents(1);
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(ui().cmd[4], &enter);
  EXPECT_EQ(ui().lbl[4]->text(), "  Creates a new record.");
  QApplication::sendEvent(ui().chk[1], &enter);
  EXPECT_EQ(ui().lbl[4]->text(), "  Check this option to enable this event.");
  QApplication::sendEvent(editor->centralWidget(), &enter);
  EXPECT_EQ(ui().lbl[4]->text(), "  Press F1 for help.");

  editor->HelpCommand(0);
  editor->HelpCommand(2);
  EXPECT_EQ(platform.helpShown, std::vector<int>{help::kEditor});
  EXPECT_EQ(host.aboutShown, 1);

  ui().cmb->setCurrentIndex(kOnce);
  ui().chk[2]->setChecked(false);
  ui().chk[3]->setChecked(true);
  ui().hWarn->setValue(3);
  editor->PopupCommand(2);
  EXPECT_EQ(host.settings.defaults, (RecordDefaults{kOnce, 1, 0, 3, 1}));
}

}  // namespace
}  // namespace memro::testing
