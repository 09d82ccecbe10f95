#include <sys/stat.h>

#include "data/file_steps.h"
#include "data/fixed_texts.h"
#include "scan_fixture.h"

namespace memro::testing {
namespace {

TEST_F(ScanTest, RefusesOlderFormatsInTheMainWindowAndChangesNothing) {
  std::string old(1017 * 2, ' ');
  old.replace(9, Texts().oldFileSignature.size(), Texts().oldFileSignature);
  WriteFileBytes(file, old);
  EXPECT_EQ(Rescan().result, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt,
            file.string() +
                " is of Memro 2.01 or 3.0 format.\r\n"
                "Please use the Editor to convert it into Memro 4.0 format.");
  EXPECT_EQ(platform.messages[0].title, "Memro 4.0 Editor");
  EXPECT_EQ(platform.messages[0].icon, Icon::kExclamation);
  EXPECT_EQ(ReadFileBytes(file), old);
  EXPECT_FALSE(std::filesystem::exists(dir / "events.mm~"));
  EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(ScanTest, MissingFileAndDirectoryAreReported) {
  file = dir / "nothing.mmo";
  EXPECT_EQ(Rescan().result, 0);
  file = dir.path();
  EXPECT_EQ(Rescan().result, 0);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].icon, Icon::kCritical);
  EXPECT_NE(platform.messages[0].prompt.find("not found"), std::string::npos);
  EXPECT_NE(platform.messages[1].prompt.find("directory"), std::string::npos);
}

TEST_F(ScanTest, RewriteOfAFileWhoseNameEndsInTildeKeepsItsEvents) {
  file = dir / "ev.mm~";
  settings.confirmCleanUp = false;
  const auto r =
      Scan({Event("Dec082026", "gone", kOnce, 0, 0, 1), Event("Dec092026", "stay", kOnce)});
  EXPECT_EQ(r.loadedCount, 2);
  const auto left = ReadEvents(file);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].message.substr(0, 4), "stay");
  EXPECT_FALSE(std::filesystem::exists(dir / "ev.mm~~"));
}

TEST_F(ScanTest, PartialRecordsAndTrailingFragmentsLoseNoByte) {
  const std::string whole = EventFileBytes({Event("Dec082026", "one", kYearly)});
  // A fragment shorter than half a record is left out of the count but kept.
  const std::string fragment = "tail bytes\x01\x02";
  WriteFileBytes(file, whole + fragment);
  EXPECT_EQ(Rescan().loadedCount, 1);
  EXPECT_EQ(ReadFileBytes(file), whole + fragment);

  // More than half a record counts as a record, read with blanks and zeros, kept whole
  // when a clean-up rewrites the file.
  const std::string partial = Event("Dec092026", "two", kYearly).ToBytes().substr(0, 600);
  settings.confirmCleanUp = false;
  WriteFileBytes(file, EventFileBytes({Event("Dec082026", "gone", kOnce, 0, 0, 1),
                                       Event("Dec082026", "one", kYearly)}) +
                           partial);
  // Its missing flags read as zeros: the damaged event counts as disabled.
  EXPECT_EQ(Rescan().loadedCount, 2);
  const std::string after = ReadFileBytes(file);
  ASSERT_EQ(after.size(), 3 * kRecordSize);
  EXPECT_EQ(after.substr(0, whole.size() + 600), whole + partial);
  EXPECT_EQ(after.substr(whole.size() + 600, 409), std::string(409, ' '));
  EXPECT_EQ(after.substr(whole.size() + 1009), std::string(10, '\0'));
}

TEST_F(ScanTest, HeaderShorterThanHalfARecordCountsAsAHeader) {
  const std::string header = HeaderRecord().ToBytes().substr(0, 100);
  WriteFileBytes(file, header);
  const auto r = Rescan();
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.loadedCount, 0);
  EXPECT_EQ(ReadFileBytes(file).substr(0, 100), header);
}

TEST_F(ScanTest, TooManyEventsAreRefusedUntouched) {
  WriteFileBytes(file, HeaderRecord().ToBytes());
  std::filesystem::resize_file(file, (kMaxEvents + 2) * kRecordSize);
  const auto before = std::filesystem::last_write_time(file);
  EXPECT_EQ(Rescan().result, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].prompt.find("32767 events"), std::string::npos);
  EXPECT_NE(platform.messages[0].prompt.find("32766"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(file), (kMaxEvents + 2) * kRecordSize);
  EXPECT_EQ(std::filesystem::last_write_time(file), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "events.mm~"));
}

TEST_F(ScanTest, AFailedRewriteIsReportedAndLeavesTheFile) {
  const std::string before = EventFileBytes({Event("Dec082026", "x", kOnce, 7, 0, 1)});
  WriteFileBytes(file, before);
  settings.confirmCleanUp = false;
  // The copy cannot be made: the disk is full.
  SetFileStepHook([] { throw FileError(ENOSPC, "copy"); });
  const int result = Rescan().result;
  SetFileStepHook(nullptr);
  EXPECT_EQ(result, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, Icon::kCritical);
  EXPECT_NE(platform.messages[0].prompt.find(" while scanning " + file.string()),
            std::string::npos);
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(ScanTest, RewriteKeepsTheFilesPermissionsAndDryRunTouchesNothing) {
  WriteEventFile(file, {Event("Dec082026", "x", kOnce, 7, 0, 1)});
  ::chmod(file.c_str(), 0640);
  settings.confirmCleanUp = false;
  settings.rewrite = false;
  const std::string before = ReadFileBytes(file);
  EXPECT_EQ(Rescan().loadedCount, 1);
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "events.mm~"));

  settings.rewrite = true;
  Rescan();
  EXPECT_EQ(ReadEvents(file).size(), 0u);
  EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::owner_write |
                                                             std::filesystem::perms::group_read);
}

}  // namespace
}  // namespace memro::testing

namespace memro::testing {
namespace {

TEST_F(ScanTest, RewriteThroughASymbolicLinkKeepsTheLink) {
  const auto real = dir / "real.mmo";
  WriteEventFile(real,
                 {Event("Dec082026", "gone", kOnce, 0, 0, 1), Event("Dec092026", "x", kOnce)});
  std::filesystem::create_symlink(real, file);
  settings.confirmCleanUp = false;
  EXPECT_EQ(Rescan().loadedCount, 2);
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_EQ(ReadEvents(real).size(), 1u);
}

}  // namespace
}  // namespace memro::testing
