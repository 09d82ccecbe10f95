// Stops each writer dead at every file step in turn, in a child process, and checks that
// the file on disk is then exactly the old or exactly the new content, and that the next
// run, finding whatever the stopped one left behind, still ends with the right file.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "cli_fixture.h"
#include "data/file_steps.h"
#include "settings/settings.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

constexpr int kStopped = 77;
int stepsLeft = 0;

void CountDownToStop() {
  if (--stepsLeft == 0) ::_exit(kStopped);
}

// Runs work in a child that ends at its stopAt-th file step as if killed there. True
// when the work finished before reaching that step.
bool FinishesBeforeStep(int stopAt, const std::function<void()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    stepsLeft = stopAt;
    SetFileStepHook(&CountDownToStop);
    work();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status)) << "step " << stopAt;
  const int code = WEXITSTATUS(status);
  EXPECT_TRUE(code == 0 || code == kStopped) << "step " << stopAt << " exit " << code;
  return code == 0;
}

// Every step of `work` from the first until it runs to its end; returns how many.
int ForEveryStep(const std::function<void()>& prepare, const std::function<void()>& work,
                 const std::function<void(int)>& check) {
  for (int step = 1; step < 500; ++step) {
    prepare();
    const bool finished = FinishesBeforeStep(step, work);
    check(step);
    if (finished) return step;
  }
  ADD_FAILURE() << "the writer never finished";
  return 0;
}

class CrashSafetyTest : public CliTest {
 protected:
  std::filesystem::path file = dir / "events.mmo";
  std::filesystem::path copy = dir / "events.mm~";
};

std::vector<EventRecord> SomeEvents() {
  return {Event("Dec082026", "dentist", kOnce, 7, 0, 1), Event("Mar141985", "Anna", kYearly),
          Event("Dec092026", "meeting", kWeekly, 3), Event("Dec082026", "bins", kOnce, 0, 0, 1)};
}

TEST_F(CrashSafetyTest, ScanRewriteLeavesTheOldOrTheNewFileAtEveryStep) {
  const std::string old = EventFileBytes(SomeEvents());
  const std::vector<std::string> report = {
      "report",     file.string(), "--today",  "2026-12-08",
      "--clean-up", "delete",      "--output", (dir / "R.TXT").string()};
  WriteFileBytes(file, old);
  ASSERT_EQ(Run(report), 0);
  const std::string clean = ReadFileBytes(file);
  ASSERT_EQ(ReadEvents(file).size(), 2u);

  const int steps = ForEveryStep([&] { WriteFileBytes(file, old); }, [&] { Run(report); },
                                 [&](int step) {
                                   const std::string now = ReadFileBytes(file);
                                   EXPECT_TRUE(now == old || now == clean) << "step " << step;
                                   // The next run meets the left-over copy.
                                   EXPECT_EQ(Run(report), 0) << err.str();
                                   EXPECT_EQ(ReadFileBytes(file), clean) << "step " << step;
                                   EXPECT_FALSE(std::filesystem::exists(copy));
                                 });
  EXPECT_GT(steps, 5);
}

TEST_F(CrashSafetyTest, ACopyLinkedToTheFileIsNeverEmptiedIntoIt) {
  const std::string old = EventFileBytes(SomeEvents());
  const std::vector<std::string> report = {"report",     file.string(), "--today",
                                           "2026-12-08", "--clean-up",  "delete"};
  const auto events = SomeEvents();
  const std::string clean = EventFileBytes({events[1], events[2]});
  for (const bool hard : {true, false}) {
    ForEveryStep(
        [&] {
          std::filesystem::remove(copy);
          WriteFileBytes(file, old);
          if (hard) {
            std::filesystem::create_hard_link(file, copy);
          } else {
            std::filesystem::create_symlink(file, copy);
          }
        },
        [&] { Run(report); },
        [&](int step) {
          const std::string now = ReadFileBytes(file);
          // A file with a second hard link is written in place: stopped half-way, its
          // old content is beside it, and the next writer puts it back.
          const auto backup = dir / ".events.mmo.memro-old";
          EXPECT_TRUE(now == old || now == clean ||
                      (hard && std::filesystem::exists(backup) && ReadFileBytes(backup) == old))
              << (hard ? "hard" : "symbolic") << " link, step " << step;
          EXPECT_EQ(Run(report), 0) << err.str();
          EXPECT_EQ(ReadFileBytes(file), clean) << "step " << step;
          if (hard) {
            EXPECT_EQ(ReadFileBytes(copy), clean) << "the links were parted";
          }
          EXPECT_FALSE(std::filesystem::exists(backup));
        });
  }
}

TEST_F(CrashSafetyTest, ConvertLeavesNoFileOrTheWholeFileAtEveryStep) {
  const auto old = dir / "old.bnk";
  WriteFileBytes(
      old, TextLines({"Smith", "John", "555-0100", "Dec 08, 1960", "12 Main Street", "\xD8",
                      "likes jazz", "\xD8", "Doe", "Jane", "1", "Jan 5, 1970", "\xD8", "\xD8"}));
  const auto target = dir / "new.mmo";
  ASSERT_EQ(Run({"convert", old.string(), target.string()}), 0);
  const std::string converted = ReadFileBytes(target);
  ASSERT_EQ(ReadEvents(target).size(), 2u);

  ForEveryStep([&] { std::filesystem::remove(target); },
               [&] {
                 Run({"convert", old.string(), target.string()});
               },
               [&](int step) {
                 if (std::filesystem::exists(target)) {
                   EXPECT_EQ(ReadFileBytes(target), converted) << "step " << step;
                   return;
                 }
                 EXPECT_EQ(Run({"convert", old.string(), target.string()}), 0) << err.str();
                 EXPECT_EQ(ReadFileBytes(target), converted) << "step " << step;
               });
}

TEST_F(CrashSafetyTest, SettingsSaveLeavesTheOldOrTheNewSettingsAtEveryStep) {
  FakePlatform platform{dir.path()};
  const auto ini = SettingsFilePath(platform);
  WriteFileBytes(ini, "; kept by hand\r\n[Options]\r\nAutoLoad=/old/events.mmo\r\n");
  const std::string old = ReadFileBytes(ini);
  Settings changed;
  changed.autoLoad = "/new/events.mmo";
  changed.timeOut = 30;
  const auto save = [&] { SaveSettings(changed, true, {platform, true, ""}); };
  save();
  const std::string saved = ReadFileBytes(ini);
  ASSERT_NE(saved.find("AutoLoad=/new/events.mmo"), std::string::npos);
  ASSERT_NE(saved.find("; kept by hand"), std::string::npos);

  ForEveryStep([&] { WriteFileBytes(ini, old); }, save,
               [&](int step) {
                 const std::string now = ReadFileBytes(ini);
                 EXPECT_TRUE(now == old || now == saved) << "step " << step;
                 save();
                 EXPECT_EQ(ReadFileBytes(ini), saved) << "step " << step;
               });
}

}  // namespace
}  // namespace memro::testing
