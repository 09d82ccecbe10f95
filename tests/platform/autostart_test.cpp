#include "platform/autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/autostart_entry.h"

namespace memro {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// desktop-file-validate's verdict and report; nothing when the tool is not installed.
std::optional<std::pair<bool, std::string>> Validate(const fs::path& entry) {
  if (::access("/usr/bin/desktop-file-validate", X_OK) != 0) return std::nullopt;
  std::string command = "/usr/bin/desktop-file-validate '";
  command += entry.string();
  command += "' 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string report;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) report += buffer;
  const int status = ::pclose(pipe);
  // The tool passes warnings and hints with status 0; the entry should have none.
  return std::pair{status == 0 && report.empty(), report};
}

#define EXPECT_VALID_ENTRY(path)                                                    \
  do {                                                                              \
    if (const auto verdict = Validate(path)) {                                      \
      EXPECT_TRUE(verdict->first) << ReadAll(path) << "\n---\n" << verdict->second; \
    }                                                                               \
  } while (false)

std::size_t FilesIn(const fs::path& dir) {
  std::error_code ignored;
  std::size_t count = 0;
  for (auto it = fs::directory_iterator(dir, ignored); it != fs::directory_iterator(); ++it)
    ++count;
  return count;
}

// Each test gets its own user and system configuration directories.
class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path home = std::getenv("HOME");
    ::setenv("XDG_CONFIG_HOME", (home / "cfg").c_str(), 1);
    system_ = home / "xdg-system";
    ::setenv("XDG_CONFIG_DIRS", system_.c_str(), 1);
    locations_ = FindAutostartLocations();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(autostartDir(), fs::perms::owner_all, ignored);
    fs::remove_all(fs::path(std::getenv("HOME")) / "cfg", ignored);
    fs::remove_all(system_, ignored);
  }
  fs::path autostartDir() const { return locations_.user.parent_path(); }

  fs::path system_;
  AutostartLocations locations_;
  const fs::path program_ = "/opt/Memro tools/bin/memro";
};

TEST_F(AutostartTest, OnWritesAValidEntryThatStartsTheProgramAndOffTakesItBack) {
  EXPECT_EQ(locations_.user,
            fs::path(std::getenv("HOME")) / "cfg/autostart/org.memro.Memro.desktop");
  EXPECT_FALSE(AutostartEnabled(locations_));

  ASSERT_EQ(SetAutostart(locations_, true, program_), "");
  ASSERT_TRUE(fs::is_regular_file(locations_.user));
  EXPECT_VALID_ENTRY(locations_.user);
  const std::string entry = ReadAll(locations_.user);
  EXPECT_EQ(DesktopEntryValue(entry, "Exec"), "\"/opt/Memro tools/bin/memro\"");
  EXPECT_EQ(DesktopEntryValue(entry, "TryExec"), "/opt/Memro tools/bin/memro");
  EXPECT_EQ(DesktopEntryValue(entry, "Icon"), "org.memro.Memro");
  EXPECT_EQ(DesktopEntryValue(entry, "Hidden"), std::nullopt);
  EXPECT_TRUE(AutostartEnabled(locations_));
  // Only the entry: the temporary file became it.
  EXPECT_EQ(FilesIn(autostartDir()), 1u);
  EXPECT_EQ(fs::status(locations_.user).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);

  // On again replaces the entry, also one written by hand.
  WriteAll(locations_.user, "[Desktop Entry]\nType=Application\nName=Old\nExec=old\n");
  ASSERT_EQ(SetAutostart(locations_, true, program_), "");
  EXPECT_EQ(DesktopEntryValue(ReadAll(locations_.user), "Name"), "Memro");

  ASSERT_EQ(SetAutostart(locations_, false, program_), "");
  EXPECT_FALSE(fs::exists(locations_.user));
  EXPECT_FALSE(AutostartEnabled(locations_));
  EXPECT_EQ(SetAutostart(locations_, false, program_), "") << "off when already off";
}

TEST_F(AutostartTest, AnEntrySwitchedOffByHandReadsAsOff) {
  const std::string start =
      "# written by hand\n[Desktop Entry]\nType=Application\nName=M\nExec=m\n";
  WriteAll(locations_.user, start);
  EXPECT_TRUE(AutostartEnabled(locations_));

  for (const char* off :
       {"Hidden=true\n", "  Hidden \t=  true  \r\n", "X-GNOME-Autostart-enabled=false\n"}) {
    WriteAll(locations_.user, start + off);
    EXPECT_FALSE(AutostartEnabled(locations_)) << off;
  }
  // Not the key that switches it off: a comment, a translation, another group.
  for (const char* other : {"#Hidden=true\n", "Hidden[de]=true\n", "Hidden=false\n",
                            "[Desktop Action Quit]\nHidden=true\n", "NotHidden=true\n"}) {
    WriteAll(locations_.user, start + other);
    EXPECT_TRUE(AutostartEnabled(locations_)) << other;
  }
  // Removing a hand-written entry is what off means.
  ASSERT_EQ(SetAutostart(locations_, false, program_), "");
  EXPECT_FALSE(fs::exists(locations_.user));
}

TEST_F(AutostartTest, WithoutAUsableXdgConfigHomeTheEntryIsUnderHomeConfig) {
  const fs::path expected =
      fs::path(std::getenv("HOME")) / ".config/autostart/org.memro.Memro.desktop";
  const std::string saved = std::getenv("XDG_CONFIG_HOME");
  for (const char* value : {"", "relative/config"}) {
    ::setenv("XDG_CONFIG_HOME", value, 1);
    EXPECT_EQ(FindAutostartLocations().user, expected) << "XDG_CONFIG_HOME=" << value;
  }
  ::unsetenv("XDG_CONFIG_HOME");
  const AutostartLocations unset = FindAutostartLocations();
  EXPECT_EQ(unset.user, expected);
  EXPECT_EQ(SetAutostart(unset, true, program_), "");
  EXPECT_TRUE(fs::is_regular_file(expected));
  EXPECT_EQ(SetAutostart(unset, false, program_), "");
  EXPECT_FALSE(fs::exists(expected));
  ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

TEST_F(AutostartTest, AReadOnlyAutostartDirectoryGivesTheErrorAndLeavesNothing) {
  fs::create_directories(autostartDir());
  fs::permissions(autostartDir(), fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(autostartDir().c_str(), W_OK) == 0) {
    GTEST_SKIP() << "this user writes into read-only directories (root)";
  }
  const std::string failure = SetAutostart(locations_, true, program_);
  EXPECT_NE(failure.find("Permission denied"), std::string::npos) << failure;
  EXPECT_NE(failure.find(autostartDir().string()), std::string::npos) << failure;
  EXPECT_EQ(FilesIn(autostartDir()), 0u);
  EXPECT_FALSE(AutostartEnabled(locations_));
}

TEST_F(AutostartTest, AFailedWriteKeepsTheOldStateAndLeavesNoTemporaryFile) {
  // Fail where even root fails: the directory's name is taken by a file...
  WriteAll(autostartDir(), "not a directory");
  std::string failure = SetAutostart(locations_, true, program_);
  EXPECT_NE(failure.find(autostartDir().string()), std::string::npos) << failure;
  EXPECT_EQ(ReadAll(autostartDir()), "not a directory");
  fs::remove(autostartDir());

  // ...or the entry's name is a directory, so the complete temporary file cannot be
  // renamed over it.
  fs::create_directories(locations_.user / "inside");
  failure = SetAutostart(locations_, true, program_);
  EXPECT_NE(failure.find(locations_.user.string()), std::string::npos) << failure;
  EXPECT_EQ(FilesIn(autostartDir()), 1u) << "a temporary file was left behind";
  EXPECT_TRUE(fs::is_directory(locations_.user / "inside"));
  EXPECT_FALSE(AutostartEnabled(locations_));

  failure = SetAutostart(locations_, false, program_);
  EXPECT_NE(failure.find(locations_.user.string()), std::string::npos) << failure;
}

TEST_F(AutostartTest, ASystemWideEntryIsSwitchedOffByAHiddenUserEntry) {
  const fs::path systemEntry = system_ / "autostart/org.memro.Memro.desktop";
  WriteAll(systemEntry, "[Desktop Entry]\nType=Application\nName=Memro\nExec=memro\n");
  locations_ = FindAutostartLocations();
  EXPECT_TRUE(AutostartEnabled(locations_)) << "the desktop starts the system-wide entry";

  ASSERT_EQ(SetAutostart(locations_, false, program_), "");
  ASSERT_TRUE(fs::is_regular_file(locations_.user));
  EXPECT_VALID_ENTRY(locations_.user);
  EXPECT_EQ(DesktopEntryValue(ReadAll(locations_.user), "Hidden"), "true");
  EXPECT_FALSE(AutostartEnabled(locations_));
  EXPECT_TRUE(fs::exists(systemEntry));

  ASSERT_EQ(SetAutostart(locations_, true, program_), "");
  EXPECT_EQ(DesktopEntryValue(ReadAll(locations_.user), "Hidden"), std::nullopt);
  EXPECT_TRUE(AutostartEnabled(locations_));

  // A system-wide entry that is hidden itself needs no user entry to stay off.
  WriteAll(systemEntry, ReadAll(systemEntry) + "Hidden=true\n");
  ASSERT_EQ(SetAutostart(locations_, false, program_), "");
  EXPECT_FALSE(fs::exists(locations_.user));
  EXPECT_FALSE(AutostartEnabled(locations_));
}

TEST_F(AutostartTest, TheFirstOfTheSystemDirectoriesCounts) {
  ::setenv("XDG_CONFIG_DIRS",
           ("relative:" + (system_ / "a").string() + ":" + (system_ / "b").string()).c_str(), 1);
  locations_ = FindAutostartLocations();
  ASSERT_EQ(locations_.system.size(), 2u);
  WriteAll(system_ / "a/autostart/org.memro.Memro.desktop", "[Desktop Entry]\nHidden=true\n");
  WriteAll(system_ / "b/autostart/org.memro.Memro.desktop", "[Desktop Entry]\nName=M\n");
  EXPECT_FALSE(AutostartEnabled(locations_));

  ::unsetenv("XDG_CONFIG_DIRS");
  const auto defaults = FindAutostartLocations().system;
  ASSERT_EQ(defaults.size(), 1u);
  EXPECT_EQ(defaults[0], "/etc/xdg/autostart/org.memro.Memro.desktop");
}

TEST(AutostartEntry, ExecQuotesThePathAsTheDesktopEntryRulesSay) {
  EXPECT_EQ(DesktopExecArgument("/usr/bin/memro"), "/usr/bin/memro");
  EXPECT_EQ(DesktopExecArgument("/opt/a b/memro"), "\"/opt/a b/memro\"");
  // Inside quotes \, $, ` and " take a backslash, and the string escape then doubles
  // every backslash; a percent sign is doubled anywhere.
  EXPECT_EQ(DesktopExecArgument("/opt/$x/memro"), "\"/opt/\\\\$x/memro\"");
  EXPECT_EQ(DesktopExecArgument("/opt/a\\b/memro"), "\"/opt/a\\\\\\\\b/memro\"");
  EXPECT_EQ(DesktopExecArgument("/opt/say \"hi\"/m"), "\"/opt/say \\\\\"hi\\\\\"/m\"");
  EXPECT_EQ(DesktopExecArgument("/opt/100%/memro"), "/opt/100%%/memro");
  EXPECT_EQ(DesktopStringValue("/opt/a\\b $x"), "/opt/a\\\\b $x");
}

TEST_F(AutostartTest, APathFullOfReservedCharactersStillGivesAValidEntry) {
  const fs::path odd = "/opt/it's a \"test\" $HOME `x` \\ #1 (2) & ~me; 50%/Größe/memro";
  ASSERT_EQ(SetAutostart(locations_, true, odd), "");
  EXPECT_VALID_ENTRY(locations_.user);

  // What cannot be written into an entry is refused, and the old state stays.
  for (const fs::path& bad : {fs::path("relative/memro"), fs::path("/opt/new\nline/memro"),
                              fs::path("/opt/\xff\xfe/memro")}) {
    const std::string failure = SetAutostart(locations_, true, bad);
    EXPECT_NE(failure, "") << bad;
    EXPECT_EQ(AutostartEntryText(bad, false), std::nullopt) << bad;
  }
  EXPECT_EQ(FilesIn(autostartDir()), 1u);
  EXPECT_TRUE(AutostartEnabled(locations_));
}

}  // namespace
}  // namespace memro
