// The scan as one writer among others, on a file the user may not write, and the record
// numbers it gives the editor.
#include <sys/stat.h>

#include "data/lock_holder.h"
#include "data/text_util.h"
#include "scan_fixture.h"

namespace memro::testing {
namespace {

class ScanWritersTest : public ScanTest {
 protected:
  // Record number of each listed entry, by its message.
  std::map<std::string, std::int16_t> RecordNumbers(const ScanResult& r) {
    std::map<std::string, std::int16_t> numbers;
    for (const auto& e : Entries(r)) numbers[TrimBlanks(e.message)] = e.recordNo;
    return numbers;
  }

  std::vector<std::string> FileMessages() {
    std::vector<std::string> messages;
    for (const auto& e : ReadEvents(file)) messages.push_back(TrimBlanks(e.message));
    return messages;
  }

  ino_t Inode() {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return st.st_ino;
  }

  bool CopyLeft() { return std::filesystem::exists(dir / "events.mm~"); }

  // Dentist is cleaned up today; the other two stay.
  const std::vector<EventRecord> events = {Event("Dec082026", "Dentist", kOnce, 7, 0, 1),
                                           Event("Dec112026", "Anna", kYearly),
                                           Event("Jan012020", "Plants", kDaily)};
};

TEST_F(ScanWritersTest, RecordNumbersAreThePositionsInTheRewrittenFile) {
  settings.confirmCleanUp = false;
  const auto numbers = RecordNumbers(Scan(events));
  ASSERT_EQ(FileMessages(), (std::vector<std::string>{"Anna", "Plants"}));
  EXPECT_EQ(numbers.at("Anna"), 2);
  EXPECT_EQ(numbers.at("Plants"), 3);
  EXPECT_EQ(numbers.at("Dentist"), 0);  // listed once more, but no longer in the file

  // Nothing moves when the file is not rewritten.
  settings.rewrite = false;
  const auto kept = RecordNumbers(Scan(events));
  EXPECT_EQ(kept.at("Dentist"), 2);
  EXPECT_EQ(kept.at("Anna"), 3);
  EXPECT_EQ(kept.at("Plants"), 4);
}

TEST_F(ScanWritersTest, ReadOnlyFileIsListedButNeitherRewrittenNorCleanedUp) {
  WriteEventFile(file, {events[0], events[1], Event("Dec082026", "Bins", kOnce, 0, 0, 1)});
  const std::string before = ReadFileBytes(file);
  const ino_t inode = Inode();
  ReadOnlyGuard readOnly(file);
  if (!readOnly.active()) GTEST_SKIP() << "this process may write every file";
  const auto r = Rescan();
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.loadedCount, 3);
  EXPECT_EQ(r.cleanedCount, 0);
  ASSERT_EQ(platform.messages.size(), 1u);  // no clean-up question, one notice for both
  EXPECT_EQ(platform.messages[0].prompt,
            file.string() + " is read-only: nothing was deleted from it.");
  EXPECT_EQ(platform.messages[0].icon, Icon::kExclamation);
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_EQ(Inode(), inode);
  EXPECT_FALSE(CopyLeft());
  const auto numbers = RecordNumbers(r);
  EXPECT_EQ(numbers.at("Bins"), 4);

  // Nothing due for clean-up: nothing to tell.
  platform.messages.clear();
  SetToday(2026, 12, 9);
  EXPECT_EQ(Rescan().result, 1);
  EXPECT_TRUE(platform.messages.empty());
}

// Nobody waits for the user's answer: the lock is free while the question is open, and
// what another writer did meanwhile is read again and asked about again.
TEST_F(ScanWritersTest, AnotherWriterMeetsNoLockWhileTheUserIsAsked) {
  WriteEventFile(file, events);
  std::vector<EventRecord> more = events;
  more.push_back(Event("Jan012020", "Bins", kDaily));
  bool held = false;
  platform.onMessage = [&](const FakePlatform::Message&) {
    if (held) return;
    LockHolder other(file, EventFileBytes(more));
    held = other.held();
    other.Finish();
  };
  platform.answers = {Answer::kYes, Answer::kYes};
  const ScanResult r = Rescan();
  EXPECT_TRUE(held);
  EXPECT_EQ(platform.messages.size(), 2u);  // asked again about the file as it is now
  EXPECT_EQ(r.loadedCount, 4);
  EXPECT_EQ(FileMessages(), (std::vector<std::string>{"Anna", "Plants", "Bins"}));
  EXPECT_EQ(RecordNumbers(r).at("Bins"), 4);
}

// The rewrite waits for a writer that holds the lock, through the platform (a window
// goes on drawing itself), and reads again what that writer left.
TEST_F(ScanWritersTest, RewriteWaitsForAnotherWriterAndKeepsWhatItLeft) {
  WriteEventFile(file, {events[0], events[1]});
  LockHolder other(file, EventFileBytes(events));
  ASSERT_TRUE(other.held());
  settings.confirmCleanUp = false;
  ScanResult r;
  {
    LetGoWhenWaitedFor letGo(other);
    r = Rescan();
    EXPECT_TRUE(letGo.waitedFor());
  }
  EXPECT_EQ(other.Finish(), 0);
  EXPECT_GT(platform.pauses, 0);
  EXPECT_GT(platform.busyDepthInPause, 0);
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.loadedCount, 3);  // the other writer's events, read after it let go
  EXPECT_EQ(FileMessages(), (std::vector<std::string>{"Anna", "Plants"}));
}

TEST_F(ScanWritersTest, BusyFileIsNeitherScannedNorChanged) {
  WriteEventFile(file, events);
  const std::string before = ReadFileBytes(file);
  LockHolder other(file);
  ASSERT_TRUE(other.held());
  settings.confirmCleanUp = false;
  settings.lockWait = std::chrono::milliseconds(20);
  EXPECT_EQ(Rescan().result, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(
      platform.messages[0].prompt,
      file.string() + " is being changed by another program. Try again when it has finished.");
  EXPECT_EQ(platform.messages[0].icon, Icon::kExclamation);
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_FALSE(CopyLeft());
  EXPECT_TRUE(view.lines.empty());

  // A scan that will not rewrite the file needs no lock.
  settings.rewrite = false;
  settings.lockWait = std::chrono::milliseconds(0);
  EXPECT_EQ(Rescan().result, 1);
  EXPECT_EQ(view.lines.size(), 3u);
  EXPECT_EQ(other.Finish(), 0);
}

}  // namespace
}  // namespace memro::testing
