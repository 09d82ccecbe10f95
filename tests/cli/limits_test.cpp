// Files at and past the limits of the format, and names that are no event file at all:
// each is worked through or refused with a message, never read whole into memory.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli_fixture.h"
#include "data/calendar.h"
#include "data/fixed_texts.h"
#include "ical/calendar_file.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

constexpr std::uint64_t kGiB = 1ull << 30;

class LimitsTest : public CliTest {
 protected:
  std::filesystem::path file = dir / "events.mmo";

  // Exit status and message of report and of dump, which must agree on a refusal.
  void ExpectRefused(const std::string& needle) {
    EXPECT_EQ(Run({"report", file.string(), "--today", "2026-12-08"}), 1) << file;
    EXPECT_NE(err.str().find(needle), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(Run({"dump", file.string()}), 1) << file;
    EXPECT_NE(err.str().find("memro-cli: "), std::string::npos);
    EXPECT_TRUE(out.str().empty());
    EXPECT_TRUE(TempIsEmpty());
  }
};

// The exit status of work run in a child process (255 when it did not exit).
int InChild(const std::function<int()>& work) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(work());
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

long PeakKiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A calendar of about `bytes`: head, `repeated` again and again, and tail.
void WriteCalendar(const std::filesystem::path& file, const std::string& head,
                   const std::string& repeated, const std::string& tail, std::size_t bytes) {
  std::ofstream out(file, std::ios::binary);
  out << "BEGIN:VCALENDAR\r\n" << head;
  for (std::size_t n = 0; n < bytes; n += repeated.size()) out << repeated;
  out << tail << "END:VCALENDAR\r\n";
}

// Day number of a list line "Tue, Dec 08, 2026" (yearly events give such lines).
int LineDay(const std::string& line) {
  static const std::string kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const auto month = kMonths.find(line.substr(5, 3)) / 3;
  return std::stoi(line.substr(14, 4)) * 400 + static_cast<int>(month) * 32 +
         std::stoi(line.substr(9, 2));
}

TEST_F(LimitsTest, FullFileIsScannedReportedInDateOrderAndRewrittenWhole) {
  std::vector<EventRecord> events;
  for (int i = 0; i < kMaxEvents; ++i) {
    // Every one due (a year's warning), spread over the year so the sort has work.
    const Date jan1{std::chrono::year{2001}, std::chrono::January, std::chrono::day{1}};
    const Date date = FromDayNumber(DayNumber(jan1) + (i * 37) % 365);
    events.push_back(Event(FormatStored(date), "event " + std::to_string(i), kYearly, 366, 1));
  }
  WriteEventFile(file, events);
  const std::string before = ReadFileBytes(file);
  ASSERT_EQ(Run({"report", file.string(), "--today", "2026-12-08"}), 0) << err.str();
  EXPECT_EQ(ReadFileBytes(file), before);

  std::istringstream report(out.str());
  std::vector<int> days;
  std::vector<bool> seen(kMaxEvents, false);
  for (std::string line, previous; std::getline(report, line); previous = line) {
    if (line.rfind("event ", 0) == 0) {
      days.push_back(LineDay(previous));
      seen[static_cast<std::size_t>(std::stoi(line.substr(6)))] = true;
    }
  }
  EXPECT_EQ(days.size(), static_cast<std::size_t>(kMaxEvents));
  EXPECT_TRUE(std::is_sorted(days.begin(), days.end()));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), kMaxEvents);
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(LimitsTest, OneEventTooManyIsRefusedUnchanged) {
  WriteFileBytes(file, HeaderRecord().ToBytes());
  std::filesystem::resize_file(file, (kMaxEvents + 2) * kRecordSize);
  ExpectRefused("holds 32767 events; Memro 4.0 can work with at most 32766 events");
  EXPECT_EQ(std::filesystem::file_size(file), (kMaxEvents + 2) * kRecordSize);
  EXPECT_FALSE(std::filesystem::exists(dir / "events.mm~"));
}

TEST_F(LimitsTest, HugeSparseFilesAreRefusedWithoutBeingRead) {
  // With the signature the count alone refuses it; without, its size does.
  WriteFileBytes(file, HeaderRecord().ToBytes());
  std::filesystem::resize_file(file, kGiB);
  ExpectRefused("can work with at most 32766 events");

  WriteFileBytes(file, "");
  std::filesystem::resize_file(file, kGiB);
  EXPECT_EQ(Run({"report", file.string()}), 1);
  EXPECT_NE(err.str().find("is not of Memro 4.0 format."), std::string::npos) << err.str();
  EXPECT_EQ(Run({"dump", file.string()}), 1);
  EXPECT_NE(err.str().find("is not an event file: it holds 1073741824 bytes"), std::string::npos)
      << err.str();
  EXPECT_EQ(std::filesystem::file_size(file), kGiB);
}

TEST_F(LimitsTest, EmptyTinyAndHeaderOnlyFiles) {
  // An empty file reads as a text file of no entries: refused here, empty in the editor.
  WriteFileBytes(file, "");
  EXPECT_EQ(Run({"report", file.string()}), 1);
  EXPECT_NE(err.str().find("x format.\nPlease use the Editor"), std::string::npos) << err.str();
  EXPECT_EQ(Run({"dump", file.string()}), 0);
  EXPECT_EQ(out.str(), "");

  for (const std::string& byte : std::vector<std::string>{"x", "\n", {'\0'}, "\xD8"}) {
    WriteFileBytes(file, byte);
    EXPECT_EQ(Run({"report", file.string()}), 1);
    EXPECT_NE(err.str().find("is not of Memro 4.0 format."), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file), byte);
  }

  // A header alone is a file without events: nothing is due, and that is no failure.
  WriteEventFile(file, {});
  EXPECT_EQ(Run({"report", file.string(), "--today", "2026-12-08"}), 0);
  EXPECT_NE(out.str().find("Date: Tue, Dec 08, 2026"), std::string::npos);
  EXPECT_EQ(Run({"dump", file.string()}), 0);
  EXPECT_EQ(out.str(), "");
}

TEST_F(LimitsTest, DirectoriesAndPipesAreRefusedWithoutOpeningThem) {
  file = dir / "folder.mmo";
  std::filesystem::create_directory(file);
  ExpectRefused("is a directory, not an event file.");
  // Opening a pipe nobody writes to would wait for ever.
  file = dir / "pipe.mmo";
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  ExpectRefused("is not a regular file.");
  EXPECT_EQ(Run({"convert", file.string(), (dir / "new.mmo").string()}), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "new.mmo"));
}

// Short lines, in one event or in many, all taken in or all skipped: the memory of an
// import grows with the file by kReadFactor at the most, besides the events (1 KB each).
TEST_F(LimitsTest, ImportTakesMemoryOfASmallMultipleOfTheCalendar) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's own memory would be counted";
#endif
  const std::string start = "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260106\r\nSUMMARY:e\r\n";
  std::string lines;
  for (int i = 0; i < 20; ++i) lines += "X-A:b\r\n";
  const struct {
    const char* shape;
    std::string head, repeated, tail;
  } kShapes[] = {{"one event", start, "X-A:b\r\n", "END:VEVENT\r\n"},
                 {"many events", "", start + lines + "END:VEVENT\r\n", ""},
                 {"events skipped", "", "BEGIN:VEVENT\r\nEND:VEVENT\r\n", ""}};
  constexpr int kMiB = 16;
  const auto calendar = dir / "in.ics";
  for (const auto& c : kShapes) {
    WriteCalendar(calendar, c.head, c.repeated, c.tail, std::size_t{kMiB} << 20);
    std::filesystem::remove(file);
    const int growthMiB = InChild([&] {
      const long before = PeakKiB();
      Run({"import", calendar.string(), file.string()});
      return static_cast<int>(std::min(250L, (PeakKiB() - before) >> 10));
    });
    EXPECT_LE(growthMiB, ical::kReadFactor * kMiB + 36) << c.shape;
  }
}

TEST_F(LimitsTest, ACalendarLargerThanTheBoundIsRefusedUnread) {
  const auto calendar = dir / "huge.ics";
  WriteFileBytes(calendar, "BEGIN:VCALENDAR\r\n");
  std::filesystem::resize_file(calendar, ical::kMaxCalendarBytes + 1);
  WriteEventFile(file, {MakeEvent("Dec082026", "kept")});
  const std::string before = ReadFileBytes(file);
  EXPECT_EQ(Run({"import", calendar.string(), file.string()}), 1);
  EXPECT_NE(err.str().find(calendar.string() + " holds " +
                           std::to_string(ical::kMaxCalendarBytes + 1) + " bytes, more than the " +
                           std::to_string(ical::kMaxCalendarBytes >> 20) + " MiB"),
            std::string::npos)
      << err.str();
  EXPECT_NE(err.str().find(file.string() + " is left as it was."), std::string::npos);
  EXPECT_EQ(ReadFileBytes(file), before);
}

// The tool's own words when its work file cannot grow (as in a full temp directory):
// where, and what to do, not the window's "Please restart".
TEST_F(LimitsTest, AFullTempDirectoryIsToldInTheToolsWords) {
  std::vector<EventRecord> events(200, MakeEvent("Dec082026", "event"));
  WriteEventFile(file, events);
  EXPECT_EQ(InChild([&] {
              ::signal(SIGXFSZ, SIG_IGN);
              const rlimit small{100 << 10, 100 << 10};
              ::setrlimit(RLIMIT_FSIZE, &small);
              const int status = Run({"dump", file.string()});
              std::cerr << err.str();
              return status == 1 && err.str().find("Please restart") == std::string::npos &&
                             err.str().find("Make room in " + (dir / "temp").string() +
                                            " or set TEMP to another directory") !=
                                 std::string::npos
                         ? 0
                         : 1;
            }),
            0);
}

}  // namespace
}  // namespace memro::testing
