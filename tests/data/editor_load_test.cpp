#include "data/editor_load.h"

#include <gtest/gtest.h>

#include "data/fixed_texts.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro {
namespace {

using testing::EventFileBytes;
using testing::MakeEvent;
using testing::OldHeaderBytes;
using testing::OldRecordBytes;
using testing::ReadFileBytes;
using testing::TextLines;
using testing::WriteFileBytes;

class EditorLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = CreateWorkFile(platform_, false);
    ASSERT_TRUE(store_);
    defaults_.frequency = kMonthly;
    defaults_.warnDays = 3;
    defaults_.cleanUp = 1;
  }

  std::int16_t Load(const std::string& bytes) {
    WriteFileBytes(file_, bytes);
    return LoadFile(file_.string());
  }

  std::int16_t LoadFile(const std::string& name) {
    EditorLoadTarget target{*store_, defaults_, 2026,
                            [this](const std::string& c) { captions_.push_back(c); }};
    const auto result = LoadEventFileForEditor(platform_, name, target, count_);
    EXPECT_EQ(platform_.busyDepth, 0);
    return result;
  }

  EventRecord StoreRecord(std::int64_t n) {
    std::string bytes;
    EXPECT_EQ(store_->file().Read(n, bytes), kRecordSize);
    return EventRecord::FromBytes(bytes);
  }

  void ExpectHeaderUntouched() {
    EXPECT_EQ(ReadFileBytes(store_->path()).substr(0, kRecordSize), HeaderRecord().ToBytes());
  }

  testing::TempDir dir_;
  testing::FakePlatform platform_{dir_.path()};
  std::unique_ptr<WorkFile> store_;
  RecordDefaults defaults_;
  std::filesystem::path file_ = dir_ / "events.mmo";
  std::int64_t count_ = -1;
  std::vector<std::string> captions_;
};

TEST_F(EditorLoadTest, CurrentFileIsCopiedRecordForRecord) {
  const std::vector<EventRecord> events = {MakeEvent("Dec082026", "one"),
                                           MakeEvent("Jan012027", "two", kOnce),
                                           MakeEvent("Feb292028", "three", kWeekly)};
  EXPECT_EQ(Load(EventFileBytes(events)), 3);
  EXPECT_EQ(count_, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(StoreRecord(i + 2), events[i]);
  ExpectHeaderUntouched();
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(captions_, std::vector<std::string>{"Opening " + file_.string() + "..."});
}

TEST_F(EditorLoadTest, PartialLastRecordCountsOnlyWhenMostOfItIsThere) {
  const std::string bytes = EventFileBytes({MakeEvent("Dec082026", "one")});
  const std::string second = MakeEvent("Jan012027", std::string(kMessageSize, 'm')).ToBytes();
  EXPECT_EQ(Load(bytes + second.substr(0, 100)), 3);
  EXPECT_EQ(count_, 1);
  EXPECT_EQ(Load(bytes + second.substr(0, 700)), 3);
  EXPECT_EQ(count_, 2);
  // Missing bytes read as blanks in the texts and zeros in the numbers.
  const EventRecord padded = StoreRecord(3);
  EXPECT_EQ(padded.message, std::string(691, 'm') + std::string(309, ' '));
  EXPECT_EQ(padded.warnDays, 0);
  EXPECT_EQ(padded.enabled, 0);
}

TEST_F(EditorLoadTest, OldRecordsTakeFrequencyFromDefaultsAndLoseCleanUp) {
  std::string bytes = OldHeaderBytes();
  for (std::int16_t i = 1; i <= 3; ++i) {
    bytes += OldRecordBytes("Mar0" + std::to_string(i) + "1999", "old " + std::to_string(i),
                            static_cast<std::int16_t>(10 + i), kOnce, -1, 0);
  }
  EXPECT_EQ(Load(bytes), 1);
  EXPECT_EQ(count_, 3);
  for (std::int16_t i = 1; i <= 3; ++i) {
    const EventRecord r = StoreRecord(i + 1);
    EXPECT_EQ(r.date, "Mar0" + std::to_string(i) + "1999");
    EXPECT_EQ(r.message.substr(0, 6), "old " + std::to_string(i) + " ");
    EXPECT_EQ(r.warnDays, 10 + i);
    EXPECT_EQ(r.frequency, kMonthly);
    EXPECT_EQ(r.enabled, -1);
    EXPECT_EQ(r.backdated, 0);
    EXPECT_EQ(r.cleanUp, 0);
  }
  ExpectHeaderUntouched();
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].prompt, ConversionNotice(file_.string(), FileFormat::kOld));
  EXPECT_EQ(platform_.messages[0].icon, Icon::kNone);
  EXPECT_EQ(platform_.messages[0].title, "Memro 4.0 Editor");
  EXPECT_EQ(captions_, std::vector<std::string>{"Converting " + file_.string() + "..."});
}

TEST(ConversionNotice, NamesTheOlderFormat) {
  EXPECT_EQ(ConversionNotice("a.mmo", FileFormat::kOld),
            "a.mmo is of Memro 2.01 or 3.0 format.\r\n"
            "It will be converted to Memro 4.0 format when saved.");
  const std::string text =
      "b.bnk is of Date Bank 1.x format.\r\nIt will be converted to Memro 4.0 format when saved.";
  EXPECT_EQ(ConversionNotice("b.bnk", FileFormat::kText), text);
  EXPECT_EQ(ConversionNotice("b.bnk", FileFormat::kNotRecognised), text);
}

const std::vector<std::string> kSmith = {"Smith",        "John",           "555-0100",
                                         "Dec 08, 1960", "12 Main Street", "Springfield",
                                         "\xD8",         "likes jazz",     "\xD8"};

TEST_F(EditorLoadTest, TextEntryBecomesABirthdayWithTheDefaults) {
  EXPECT_EQ(Load(TextLines(kSmith)), 2);
  EXPECT_EQ(count_, 1);
  const EventRecord r = StoreRecord(2);
  EXPECT_EQ(r.date, "Dec081960");
  const std::string message =
      "Smith, John's birthday.\r\n\r\nPhone #: 555-0100\r\n\r\nAddress:\r\n12 Main Street\r\n"
      "Springfield\r\n\r\n\r\nMisc:\r\nlikes jazz\r\n";
  EXPECT_EQ(r.message, message + std::string(kMessageSize - message.size(), ' '));
  EXPECT_EQ(r.frequency, kMonthly);
  EXPECT_EQ(r.warnDays, 3);
  EXPECT_EQ(r.enabled, 1);
  EXPECT_EQ(r.backdated, 1);
  EXPECT_EQ(r.cleanUp, 1);
  ExpectHeaderUntouched();
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].prompt, ConversionNotice(file_.string(), FileFormat::kText));
}

TEST_F(EditorLoadTest, TextEntryDropsNameMarkSkipsBlankLinesAndBadBirthdays) {
  const std::vector<std::vector<std::string>> entries = {
      {"Bad", "Date", "1", "not a date", "x", "\xD8", "\xD8"},
      {"  Jones\xF8", " Ann ", "2", "5 jan 2001", "", "  ", "Elm Row", "  \xD8  ", "", "\xD8"},
      {"Lee\xF8 ", "Bo", "3", "2001-01-06", "\xD8", "\xD8"}};
  std::string text;
  for (const auto& entry : entries) {
    for (const auto& line : entry) text += line + "\n";  // LF alone ends a line too
  }
  EXPECT_EQ(Load(text), 2);
  EXPECT_EQ(count_, 2);
  const EventRecord jones = StoreRecord(2);
  EXPECT_EQ(jones.date, "Jan052001");
  const std::string message =
      "Jones, Ann's birthday.\r\n\r\nPhone #: 2\r\n\r\nAddress:\r\nElm Row\r\n\r\n\r\nMisc:\r\n";
  EXPECT_EQ(jones.message.substr(0, message.size() + 1), message + " ");
  const EventRecord lee = StoreRecord(3);
  EXPECT_EQ(lee.date, "Jan062001");
  const std::string leeStart = "Lee\xF8, Bo's birthday.";
  EXPECT_EQ(lee.message.substr(0, leeStart.size()), leeStart);
}

TEST_F(EditorLoadTest, LongTextEntryKeepsTheFirstThousandCharacters) {
  std::vector<std::string> lines = kSmith;
  lines[4] = std::string(1200, 'a');
  EXPECT_EQ(Load(TextLines(lines)), 2);
  const std::string head = "Smith, John's birthday.\r\n\r\nPhone #: 555-0100\r\n\r\nAddress:\r\n";
  EXPECT_EQ(StoreRecord(2).message, head + std::string(kMessageSize - head.size(), 'a'));
}

TEST_F(EditorLoadTest, EmptyTextFileGivesNoEvents) {
  EXPECT_EQ(Load(""), 2);
  EXPECT_EQ(count_, 0);
}

TEST_F(EditorLoadTest, TextFileEndingInsideAnEntryFails) {
  EXPECT_EQ(Load(TextLines({kSmith.begin(), kSmith.begin() + 4})), 0);
  EXPECT_EQ(count_, -1);
  ASSERT_EQ(platform_.messages.size(), 2u);
  EXPECT_EQ(platform_.messages[1].prompt,
            "Input past end of file while attempting to create temporary file.\r\n"
            "Please restart Memro 4.0");
  EXPECT_EQ(platform_.messages[1].icon, Icon::kCritical);
}

TEST_F(EditorLoadTest, MissingFileIsToldAndNothingLoaded) {
  EXPECT_EQ(LoadFile((dir_ / "gone.mmo").string()), 0);
  EXPECT_EQ(count_, -1);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].icon, Icon::kCritical);
}

TEST_F(EditorLoadTest, StoreThatCannotBeWrittenIsReported) {
  store_->file().Close();
  EXPECT_EQ(Load(EventFileBytes({MakeEvent("Dec082026", "x")})), 0);
  EXPECT_EQ(count_, -1);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(
      platform_.messages[0].prompt,
      ErrorText(EBADF) + " while attempting to create temporary file.\r\nPlease restart Memro 4.0");
}

// Sparse files: only the header is really written.
void WriteHugeFile(const std::filesystem::path& file, const std::string& header,
                   std::size_t recordSize, std::int64_t events) {
  WriteFileBytes(file, header);
  std::filesystem::resize_file(file, recordSize * static_cast<std::uint64_t>(events + 1));
}

TEST_F(EditorLoadTest, FileWithMoreEventsThanRecordNumbersReachIsRefused) {
  for (const bool old : {false, true}) {
    SCOPED_TRACE(old ? "old format" : "current format");
    platform_.messages.clear();
    WriteHugeFile(file_, old ? OldHeaderBytes() : HeaderRecord().ToBytes(),
                  old ? kOldRecordSize : kRecordSize, kMaxEvents + 1);
    EXPECT_EQ(LoadFile(file_.string()), 0);
    EXPECT_EQ(count_, -1);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].prompt, TooManyEventsMessage(file_.string(), kMaxEvents + 1));
    EXPECT_EQ(platform_.messages[0].icon, Icon::kCritical);
    EXPECT_EQ(std::filesystem::file_size(store_->path()), kRecordSize);
  }
}

}  // namespace
}  // namespace memro
