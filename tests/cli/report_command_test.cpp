#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "cli_fixture.h"
#include "data/event_record.h"
#include "data/holds_events.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string WithoutCr(std::string text) {
  std::erase(text, '\r');
  return text;
}

// Standard input from /dev/null for the lifetime of the object.
class StdinFromNull {
 public:
  StdinFromNull() : saved_(::dup(STDIN_FILENO)) {
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    ::close(null);
  }
  ~StdinFromNull() {
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
  }

 private:
  int saved_;
};

// Each worked case: an event file, the arguments, the report it must give and the file
// it must leave.
class ReportVectors : public CliTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReportVectors, WritesTheExpectedReportAndRewritesTheFile) {
  char id[3];
  std::snprintf(id, sizeof id, "%02d", GetParam());
  const std::filesystem::path vectors = MEMRO_VECTORS_DIR;
  const std::string base = (vectors / id).string();
  const std::string described = ReadFileBytes(base + ".txt");
  const auto file = dir / (described.find("'ev.mm~'") != std::string::npos ? "ev.mm~" : "e.mmo");
  WriteFileBytes(file, ReadFileBytes(base + ".mmo"));
  std::vector<std::string> words{"report", file.string()};
  for (auto& w : Words(ReadFileBytes(base + ".cmd"))) {
    words.push_back(w == "REPORT" ? (dir / "R.TXT").string() : w);
  }
  ASSERT_EQ(Run(words), 0) << err.str();
  const std::string expected = ReadFileBytes(base + ".report.txt");
  EXPECT_EQ(ReadFileBytes(dir / "R.TXT"), expected);
  EXPECT_EQ(ReadFileBytes(file), ReadFileBytes(base + ".after.mmo"));
  EXPECT_TRUE(TempIsEmpty());

  // The same scan to standard output, without touching the file: LF line ends.
  WriteFileBytes(file, ReadFileBytes(base + ".mmo"));
  words.erase(words.end() - 2, words.end());  // drop --output PATH
  words.push_back("--dry-run");
  ASSERT_EQ(Run(words), 0) << err.str();
  EXPECT_EQ(out.str(), WithoutCr(expected));
  EXPECT_EQ(ReadFileBytes(file), ReadFileBytes(base + ".mmo"));
}

INSTANTIATE_TEST_SUITE_P(WorkedCases, ReportVectors, ::testing::Range(1, 17));

TEST_F(CliTest, AskingWithoutATerminalKeepsCleanedUpEvents) {
  StdinFromNull noTerminal;
  const auto file = dir / "e.mmo";
  WriteEventFile(file, {Event("Dec082026", "Dentist", kOnce, 0, 0, 1)});
  const std::string before = ReadFileBytes(file);
  ASSERT_EQ(Run({"report", file.string(), "--today", "2026-12-08"}), 0) << err.str();
  EXPECT_NE(out.str().find("Today!! [12/8/2026]\nTue, Dec 08, 2026\nDentist\n"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(file), before);
  ASSERT_EQ(Run({"report", file.string(), "--today=2026-12-08", "--clean-up", "delete"}), 0);
  EXPECT_EQ(ReadEvents(file).size(), 0u);
}

// An imported title could retitle or clear the terminal; a pipe or a file gets it as it is.
TEST_F(CliTest, ReportToATerminalEscapesControlCharacters) {
  const auto file = dir / "e.mmo";
  WriteEventFile(file, {Event("Dec082026", "\x1b]0;owned\x07 \x9d tab\there", kOnce, 0)});
  const std::vector<std::string> words{"report", file.string(), "--today", "2026-12-08"};
  ASSERT_EQ(Run(words, true), 0) << err.str();
  EXPECT_NE(out.str().find("\n\\u001b]0;owned\\u0007 \\u009d tab\there\n"), std::string::npos)
      << out.str();
  ASSERT_EQ(Run(words), 0);
  EXPECT_NE(out.str().find("\n\x1b]0;owned\x07 \xC2\x9D tab\there\n"), std::string::npos);
}

TEST_F(CliTest, RangeOfZeroOrLessSwitchesRangeScanningOff) {
  const auto file = dir / "e.mmo";
  WriteEventFile(file, {Event("Dec182026", "far", kOnce, 0)});
  ASSERT_EQ(Run({"report", file.string(), "--today", "2026-12-08", "--range", "10"}), 0);
  EXPECT_NE(out.str().find("far"), std::string::npos);
  ASSERT_EQ(Run({"report", file.string(), "--today", "2026-12-08", "--range", "0"}), 0);
  EXPECT_EQ(out.str().find("far"), std::string::npos);
}

TEST_F(CliTest, FailuresExitWithOneAndLeaveNoReport) {
  const auto report = dir / "R.TXT";
  EXPECT_EQ(Run({"report", (dir / "missing.mmo").string(), "--output", report.string()}), 1);
  EXPECT_NE(err.str().find("memro-cli: File not found"), std::string::npos);
  EXPECT_EQ(Run({"report", dir.path().string(), "--output", report.string()}), 1);
  WriteFileBytes(dir / "notes.txt", "just some text\n");
  EXPECT_EQ(Run({"report", (dir / "notes.txt").string(), "--output", report.string()}), 1);
  EXPECT_NE(err.str().find("notes.txt is not of Memro 4.0 format."), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir / "notes.txt"), "just some text\n");
  EXPECT_FALSE(std::filesystem::exists(report));

  WriteEventFile(dir / "e.mmo", {});
  EXPECT_EQ(Run({"report", (dir / "e.mmo").string(), "--output",
                 (dir / "no-such-dir" / "R.TXT").string()}),
            1);
  EXPECT_NE(err.str().find("cannot write the report"), std::string::npos);
  EXPECT_TRUE(TempIsEmpty());
}

// No report or calendar replaces a file of events, whatever its format or name.
TEST_F(CliTest, ReportAndExportRefuseTargetsThatHoldEvents) {
  const std::string file = (dir / "events.mmo").string();
  const std::string target = (dir / "target.txt").string();
  WriteEventFile(file, {Event("Dec082026", "due", kYearly)});
  const std::vector<std::pair<std::string, bool>> targets = {
      {EventFileBytes({Event("Dec082026", "one", kYearly)}), true},
      {OldHeaderBytes() + OldRecordBytes("Feb141999", "valentine", 3, 0, 1, 0), true},
      {TextLines({"Smith", "John", "555-0100", "Dec 08, 1960", "\xD8", "\xD8"}), true},
      {"", false},
      {EventFileBytes({}), false},
      {"just some text\nmore text\n", false}};
  for (const auto& [bytes, holds] : targets) {
    for (const std::string what : {"report", "calendar"}) {
      SCOPED_TRACE(what + " over " + bytes.substr(0, 40));
      WriteFileBytes(target, bytes);
      EXPECT_EQ(what == "report"
                    ? Run({"report", file, "--today", "2026-12-08", "--output", target})
                    : Run({"export", file, target}),
                holds ? 1 : 0);
      EXPECT_EQ(ReadFileBytes(target) == bytes, holds);
      EXPECT_EQ(err.str().starts_with("memro-cli: the " + what + " would replace the events in " +
                                      target + "; choose another "),
                holds)
          << err.str();
    }
  }
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(FileHoldsEvents(dir / "pipe"));  // not waited on: nobody writes into it
}

TEST_F(CliTest, WrongUsageExitsWithTwo) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Run({"frobnicate"}), 2);
  EXPECT_EQ(Run({"report"}), 2);
  EXPECT_EQ(Run({"report", "a.mmo", "--today", "2026-02-30"}), 2);
  EXPECT_EQ(Run({"report", "a.mmo", "--range", "ten"}), 2);
  EXPECT_EQ(Run({"report", "a.mmo", "--clean-up", "maybe"}), 2);
  EXPECT_EQ(Run({"report", "a.mmo", "--bogus"}), 2);
  EXPECT_NE(err.str().find("unknown option --bogus"), std::string::npos);
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out.str().find("memro-cli report FILE"), std::string::npos);
  EXPECT_EQ(Run({"--version"}), 0);
}

}  // namespace
}  // namespace memro::testing
