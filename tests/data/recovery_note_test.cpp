#include "data/recovery_note.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>

#include "data/event_record.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro {
namespace {

using testing::MakeEvent;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

RecoveryNote Sample() {
  RecoveryNote note;
  note.eventFile = "/home/u/odd = name\\with\nnewline.mmo";
  note.keptAt = 1796083200;
  note.records = 2;
  note.current = 2;
  note.needsName = true;
  note.fileState = FileState{2049, 1234567, 3057, 1796000000, 999999999};
  note.fileDigest = 0xfedcba9876543210ULL;
  note.fields = RecoveryFields{"Feb 31st", "line one\nline \\two\r=x", 12, kOnce, 1, 0, 1};
  return note;
}

TEST(RecoveryNote, TextRoundTripsEveryValue) {
  const RecoveryNote note = Sample();
  EXPECT_EQ(ParseNote(NoteText(note)), note);

  RecoveryNote plain;  // untitled, nothing typed, no state
  EXPECT_EQ(ParseNote(NoteText(plain)), plain);
  RecoveryNote older = note;  // as kept before notes had a digest
  older.fileDigest.reset();
  EXPECT_EQ(ParseNote(NoteText(older)), older);

  EXPECT_FALSE(ParseNote(""));
  EXPECT_FALSE(ParseNote("something else\nfile=x\n"));
  std::string text = NoteText(note);
  EXPECT_FALSE(ParseNote(text.replace(text.find("records=2"), 9, "records=x")));
  EXPECT_FALSE(ParseNote(NoteText(note).replace(NoteText(note).find("current=2"), 9, "current=9")));
}

class RecoveryFiles : public ::testing::Test {
 protected:
  // A record store of header and events, as the editor holds it.
  RecordFile Store(const std::vector<EventRecord>& events) {
    WriteFileBytes(dir / "store.tmp", testing::EventFileBytes(events));
    return RecordFile(dir / "store.tmp", kRecordSize, RecordFile::Mode::kReadWrite);
  }

  TempDir dir;
  std::filesystem::path home = dir / "home";
};

TEST_F(RecoveryFiles, KeptRecordsComeBackAndAreDeleted) {
  RecordFile store = Store({MakeEvent("Jan012027", "one"), MakeEvent("Jan022027", "two")});
  RecoveryNote note = Sample();
  note.records = 3;  // the third was never stored
  EXPECT_TRUE(WaitingRecoveries(home).empty());
  const Recovery kept = KeepRecovery(home, store, note);

  struct stat st {};
  ASSERT_EQ(::stat(RecoveryDirectory(home).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat(kept.recordsPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  const std::string bytes = ReadFileBytes(kept.recordsPath);
  ASSERT_EQ(bytes.size(), 4 * kRecordSize);
  EXPECT_EQ(bytes.substr(0, 3 * kRecordSize), ReadFileBytes(dir / "store.tmp"));
  EXPECT_EQ(bytes.substr(3 * kRecordSize), HeaderRecord().ToBytes());

  const auto waiting = WaitingRecoveries(home);
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_EQ(waiting[0].note, note);

  RecordFile other = Store({});
  RestoreRecords(waiting[0], other);
  std::string record;
  other.Read(3, record);
  EXPECT_EQ(EventRecord::FromBytes(record).message.substr(0, 3), "two");

  DeleteRecovery(waiting[0]);
  EXPECT_TRUE(WaitingRecoveries(home).empty());
  EXPECT_TRUE(std::filesystem::is_empty(RecoveryDirectory(home)));
}

TEST_F(RecoveryFiles, NewestFirstAndOneForEachNamedFile) {
  RecordFile store = Store({MakeEvent("Jan012027", "one")});
  RecoveryNote a;
  a.eventFile = (dir / "a.mmo").string();
  a.records = 1;
  a.keptAt = 100;
  RecoveryNote untitled = a;
  untitled.eventFile.clear();
  untitled.keptAt = 200;
  KeepRecovery(home, store, a);
  KeepRecovery(home, store, untitled);
  KeepRecovery(home, store, untitled);
  a.keptAt = 300;
  KeepRecovery(home, store, a);  // replaces the older one of a.mmo

  const auto waiting = WaitingRecoveries(home);
  ASSERT_EQ(waiting.size(), 3u);
  EXPECT_EQ(waiting[0].note.keptAt, 300);
  EXPECT_EQ(waiting[1].note.eventFile, "");
  EXPECT_EQ(waiting[2].note.eventFile, "");

  // A note without its records, or records without a note, is no recovery.
  std::filesystem::remove(waiting[1].recordsPath);
  std::filesystem::remove(waiting[2].notePath);
  EXPECT_EQ(WaitingRecoveries(home).size(), 1u);
}

TEST(RecoveryNote, KeptAtTextInLocalTime) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(KeptAtText(1796083200 + 14 * 3600 + 5 * 60), "Dec 01, 2026 at 14:05");
  if (old) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

TEST(RecoveryNote, SameEventFile) {
  TempDir dir;
  WriteFileBytes(dir / "a.mmo", "");
  std::filesystem::create_symlink(dir / "a.mmo", dir / "link.mmo");
  EXPECT_TRUE(SameEventFile("", ""));
  EXPECT_FALSE(SameEventFile("", (dir / "a.mmo").string()));
  EXPECT_TRUE(SameEventFile((dir / "a.mmo").string(), (dir / "link.mmo").string()));
  EXPECT_TRUE(SameEventFile((dir / "gone.mmo").string(), (dir / "gone.mmo").string()));
  EXPECT_FALSE(SameEventFile((dir / "a.mmo").string(), (dir / "b.mmo").string()));
}

}  // namespace
}  // namespace memro
