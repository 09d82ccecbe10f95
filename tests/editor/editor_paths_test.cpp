// Paths through the editor that lost or damaged work: the recent files, the question
// about characters a file cannot keep, the position bar's repeat, a cancelled Open, an
// untouched message, and files the user may not write or read.
#include <sys/stat.h>

#include <QAbstractSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTextCursor>

#include "editor_fixture.h"

namespace memro::testing {
namespace {

const std::string kLossyQuestion =
    "The message holds characters that an event file cannot keep. They will be stored as "
    "\"?\".\nStore the record anyway?";

TEST_F(EditorTest, RecentFileStoresTheShownRecordAndAsksFirst) {
  const std::vector<std::function<void()>> changes = {
      [this] { ui().chk[1]->setChecked(false); },
      [this] { ui().hWarn->setValue(3); },
      [this] { ui().cmb->setCurrentIndex(kMonthly); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    WithEvents(2);
    ASSERT_TRUE(ui().miF[7]->isVisible());
    changes[i]();
    platform.answers = {Answer::kCancel};
    editor->FileCommand(7);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Save changes?"});
    EXPECT_TRUE(editor->state().fileChanged);
    const EventRecord stored = Stored(1);
    EXPECT_TRUE(stored.enabled == 0 || stored.warnDays == 3 || stored.frequency == kMonthly);

    platform.answers = {Answer::kYes};
    editor->FileCommand(7);
    const EventRecord saved = ReadEvents(dir / "events.mmo").at(0);
    EXPECT_TRUE(saved.enabled == 0 || saved.warnDays == 3 || saved.frequency == kMonthly);
    EXPECT_FALSE(editor->state().fileChanged);
    Shown();
  }
}

class LossyMessageTest : public EditorTest {
 protected:
  void SetUp() override {
    WithEvents(2);
    Scroll(2);
    ui().message->setPlainText(QString::fromUtf8("\xD0\xB6 not in the code page"));
  }

  struct Snapshot {
    int curRec, recCount, value, maximum;
    std::string date, message, caption, store;
    bool fileChanged, recModified;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot Take() {
    return {editor->state().curRec,
            editor->state().recCount,
            ui().hPos->value(),
            ui().hPos->maximum(),
            Date(),
            Message(),
            Caption(),
            ReadFileBytes(editor->store()->path()),
            editor->state().fileChanged,
            editor->state().recModified};
  }
};

TEST_F(LossyMessageTest, NewRecordAsksOnceAndNoChangesNothing) {
  const Snapshot before = Take();
  platform.answers = {Answer::kNo};
  editor->RecordsCommand(0);
  EXPECT_EQ(Shown(), std::vector<std::string>{kLossyQuestion});
  EXPECT_TRUE(Take() == before);

  platform.answers = {Answer::kYes, Answer::kNo};
  editor->RecordsCommand(0);
  EXPECT_EQ(Shown(), std::vector<std::string>{kLossyQuestion});
  EXPECT_EQ(editor->state().recCount, 3);
  EXPECT_EQ(editor->state().curRec, 3);
  EXPECT_EQ(Caption(), "Current Record: 3 of 3");
  EXPECT_EQ(Stored(2).message.substr(0, 5), "? not");
  EXPECT_EQ(Date(), "");
}

TEST_F(LossyMessageTest, DuplicateAsksOnceAndNoChangesNothing) {
  const Snapshot before = Take();
  platform.answers = {Answer::kNo};
  editor->RecordsCommand(6);
  EXPECT_EQ(Shown(), std::vector<std::string>{kLossyQuestion});
  EXPECT_TRUE(Take() == before);

  platform.answers = {Answer::kYes, Answer::kNo, Answer::kNo};
  editor->RecordsCommand(6);
  EXPECT_EQ(Shown(), std::vector<std::string>{kLossyQuestion});
  EXPECT_EQ(editor->state().recCount, 3);
  EXPECT_EQ(editor->state().curRec, 3);
  EXPECT_EQ(Stored(3), Stored(2));
  EXPECT_EQ(Stored(3).message.substr(0, 5), "? not");

  // Saving asks no more: the record was stored when the user agreed.
  platform.answers = {Answer::kYes};
  editor->FileCommand(12);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Save changes?"});
  EXPECT_EQ(ReadEvents(dir / "events.mmo").size(), 3u);
}

TEST_F(LossyMessageTest, OpenStoresOnceBeforeItsQuestion) {
  platform.answers = {Answer::kYes, Answer::kYes};
  platform.fileDialogs = {Chosen(dir / "events.mmo")};
  editor->FileCommand(1);
  EXPECT_EQ(Shown(), (std::vector<std::string>{kLossyQuestion, "Save changes?"}));
  EXPECT_EQ(ReadEvents(dir / "events.mmo").at(1).message.substr(0, 5), "? not");
}

// The slider's repeat, which QAbstractSlider keeps to its subclasses.
struct RepeatPeek : QAbstractSlider {
  using QAbstractSlider::repeatAction;
};
QAbstractSlider::SliderAction Repeat(QAbstractSlider* slider) {
  return (slider->*&RepeatPeek::repeatAction)();
}

// The position bar repeats a held arrow; a box raised by the move must end the repeat,
// or the boxes pile up while the user reads the first.
TEST_F(EditorTest, BoxWhileThePositionBarIsPressedStopsItsRepeat) {
  WithEvents(3);
  ui().date->setText("");  // invalid, and the record counts as changed
  QScrollBar* bar = ui().hPos;
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  option.subControls = QStyle::SC_All;
  const QRect arrow =
      bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, bar);
  ASSERT_FALSE(arrow.isEmpty());
  QTest::mousePress(bar, Qt::LeftButton, {}, arrow.center());
  EXPECT_EQ(Shown(), std::vector<std::string>{"Date is of invalid format."});
  // What the repeat timer would do while the button stays down.
  for (int i = 0; i < 3 && Repeat(bar) != QAbstractSlider::SliderNoAction; ++i) {
    bar->triggerAction(Repeat(bar));
  }
  EXPECT_EQ(Repeat(bar), QAbstractSlider::SliderNoAction);
  EXPECT_TRUE(Shown().empty());
  QTest::mouseRelease(bar, Qt::LeftButton, {}, arrow.center());
  EXPECT_EQ(editor->state().curRec, 1);
  EXPECT_TRUE(editor->state().recModified);
}

TEST_F(EditorTest, OpenAnsweredNoThenCancelledKeepsTheChangesMarked) {
  WithEvents(2);
  ui().message->setPlainText("changed");
  platform.answers = {Answer::kNo};
  platform.fileDialogs = {Cancelled()};
  editor->FileCommand(1);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Save changes?"});
  EXPECT_EQ(Message(), "changed");
  EXPECT_TRUE(editor->state().fileChanged);

  platform.answers = {Answer::kCancel};
  EXPECT_FALSE(editor->close());
  EXPECT_EQ(Shown(), std::vector<std::string>{"Save changes?"});
}

TEST_F(EditorTest, UntouchedMessageIsStoredByteForByte) {
  const std::string message = "  lead\xA0nbsp\rlone CR\r\nline two\x01";
  WriteEventFile(dir / "odd.mmo", {MakeEvent("Jan012027", message), MakeEvent("Jan022027", "b")});
  Make(dir / "odd.mmo");
  const std::string original = Stored(1).message;
  ui().hWarn->setValue(3);
  ui().date->setText("Feb 2 2027");
  editor->ButtonCommand(0);
  EXPECT_EQ(Stored(1).message, original);
  EXPECT_EQ(Stored(1).warnDays, 3);
  Scroll(2);
  Scroll(1);
  editor->RecordsCommand(6);  // the copy too
  EXPECT_EQ(Stored(3).message, original);
  editor->FileCommand(2);
  EXPECT_EQ(ReadEvents(dir / "odd.mmo").at(0).message, original);

  // A full message with a lone CR is shown whole (the field counts its CR twice).
  const std::string full = "x\r" + std::string(kMessageSize - 3, 'y') + "z";
  WriteEventFile(dir / "full.mmo", {MakeEvent("Jan012027", full)});
  Make(dir / "full.mmo");
  EXPECT_EQ(Message().back(), 'z');
  ui().hWarn->setValue(4);
  editor->ButtonCommand(0);
  EXPECT_EQ(Stored(1).message, full);
  ui().message->moveCursor(QTextCursor::End);
  ui().message->insertPlainText("more");  // no more than it had can be typed
  EXPECT_EQ(Message().back(), 'z');

  // A changed message keeps the no-break spaces the user did not touch.
  Make(dir / "odd.mmo");
  Scroll(1);
  ui().message->setPlainText(
      QString::fromUtf8("a\xC2\xA0"
                        "b"));
  editor->ButtonCommand(0);
  EXPECT_EQ(Stored(1).message.substr(0, 4),
            "a\xA0"
            "b ");
}

TEST_F(EditorTest, SaveOverAFileWithoutWritePermissionIsRefused) {
  WithEvents(2);
  const auto file = dir / "events.mmo";
  ::chmod(file.c_str(), 0444);
  const std::string before = ReadFileBytes(file);
  ui().message->setPlainText("changed");
  editor->FileCommand(2);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Permission denied while saving " + file.string()});
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_TRUE(editor->state().fileChanged);
  EXPECT_EQ(Title(), "Memro 4.0 Editor [events.mmo]");

  platform.fileDialogs = {Chosen(dir / "copy.mmo")};
  editor->FileCommand(3);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(ReadEvents(dir / "copy.mmo").at(0).message.substr(0, 7), "changed");
  EXPECT_FALSE(editor->state().fileChanged);
  EXPECT_EQ(Title(), "Memro 4.0 Editor [copy.mmo]");
  EXPECT_EQ(host.saved, std::vector<std::string>{(dir / "copy.mmo").string()});
  ::chmod(file.c_str(), 0644);
}

TEST_F(EditorTest, FileWithoutReadPermissionGetsThePermissionText) {
  const auto file = dir / "secret.mmo";
  WriteEventFile(file, {MakeEvent("Jan012027", "hidden")});
  ::chmod(file.c_str(), 0200);
  Make();
  platform.fileDialogs = {Chosen(file)};
  editor->FileCommand(1);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Permission denied while reading " + file.string()});
  EXPECT_EQ(Title(), "Memro 4.0 Editor");
  EXPECT_EQ(editor->state().recCount, 0);
  ::chmod(file.c_str(), 0644);
}

}  // namespace
}  // namespace memro::testing
