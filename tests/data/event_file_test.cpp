#include "data/event_file.h"

#include <gtest/gtest.h>

#include "data/event_record.h"
#include "data/fixed_texts.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro {
namespace {

using testing::EventFileBytes;
using testing::MakeEvent;
using testing::OldHeaderBytes;
using testing::OldRecordBytes;
using testing::TempDir;
using testing::TextLines;
using testing::WriteFileBytes;

class DetectFormatTest : public ::testing::Test {
 protected:
  FileFormat Detect(const std::string& bytes) {
    WriteFileBytes(file_, bytes);
    return DetectFormat(file_);
  }
  TempDir dir_;
  std::filesystem::path file_ = dir_ / "events.mmo";
};

const std::vector<std::string> kOneEntry = {"Smith",          "John", "555-0100",   "Dec 08, 1960",
                                            "12 Main Street", "\xD8", "likes jazz", "\xD8"};

TEST_F(DetectFormatTest, TellsFormatsBySignature) {
  EXPECT_EQ(Detect(EventFileBytes({MakeEvent("Dec082026", "x")})), FileFormat::kCurrent);
  EXPECT_EQ(Detect(OldHeaderBytes() + OldRecordBytes("Dec082026", "x", 1, 2, 3, 4)),
            FileFormat::kOld);
}

TEST_F(DetectFormatTest, ComparesTheTrimmedMessageAndIgnoresTheHeaderDate) {
  EventRecord header;
  header.SetDate("Whatever");
  header.SetMessage("   " + Texts().fileSignature);
  EXPECT_EQ(Detect(header.ToBytes()), FileFormat::kCurrent);
  header.SetMessage(Texts().fileSignature + "x");
  EXPECT_NE(Detect(header.ToBytes()), FileFormat::kCurrent);
}

TEST_F(DetectFormatTest, HeaderShorterThanARecordStillCarriesItsSignature) {
  const std::string header = HeaderRecord().ToBytes();
  EXPECT_EQ(Detect(header.substr(0, 300)), FileFormat::kCurrent);
}

TEST_F(DetectFormatTest, TextFilesNeedWholeEntries) {
  EXPECT_EQ(Detect(""), FileFormat::kText);
  EXPECT_EQ(Detect(TextLines(kOneEntry)), FileFormat::kText);
  std::string lfOnly;
  for (const auto& line : kOneEntry) lfOnly += line + "\n";
  EXPECT_EQ(Detect(lfOnly + lfOnly), FileFormat::kText);
  EXPECT_EQ(Detect(TextLines({kOneEntry.begin(), kOneEntry.end() - 1})),
            FileFormat::kNotRecognised);
  EXPECT_EQ(Detect(TextLines({"a", "b", "c"})), FileFormat::kNotRecognised);
}

TEST(RefusalMessage, NamesTheFormatAndPointsToTheEditor) {
  EXPECT_EQ(RefusalMessage("/tmp/old.mmo", FileFormat::kOld),
            "/tmp/old.mmo is of Memro 2.01 or 3.0 format.\r\n"
            "Please use the Editor to convert it into Memro 4.0 format.");
  EXPECT_EQ(RefusalMessage("a.bnk", FileFormat::kText),
            "a.bnk is of Date Bank 1.x format.\r\n"
            "Please use the Editor to convert it into Memro 4.0 format.");
  EXPECT_EQ(RefusalMessage("b.txt", FileFormat::kNotRecognised),
            "b.txt is not of Memro 4.0 format.");
}

TEST(LayoutOf, RoundsToTheNearestRecordAndKeepsTheFragment) {
  const auto shortTail = LayoutOf(3 * kRecordSize + 509, kRecordSize, true);
  EXPECT_EQ(shortTail.records, 3);
  EXPECT_EQ(shortTail.fragmentStart, 3 * kRecordSize);
  EXPECT_TRUE(shortTail.hasFragment());
  const auto longTail = LayoutOf(3 * kRecordSize + 510, kRecordSize, true);
  EXPECT_EQ(longTail.records, 4);
  EXPECT_FALSE(longTail.hasFragment());
  // Half-way goes to the even count.
  EXPECT_EQ(LayoutOf(2 * 10 + 5, 10, true).records, 2);
  EXPECT_EQ(LayoutOf(3 * 10 + 5, 10, true).records, 4);
}

TEST(LayoutOf, ShortFileWithSignatureIsAHeaderAlone) {
  const auto header = LayoutOf(300, kRecordSize, true);
  EXPECT_EQ(header.records, 1);
  EXPECT_FALSE(header.hasFragment());
  EXPECT_EQ(LayoutOf(300, kRecordSize, false).records, 0);
}

}  // namespace
}  // namespace memro
