#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/autostart_entry.h"
#include "platform/qt/qt_platform.h"

namespace memro {
namespace {

namespace fs = std::filesystem;

// The platform's start at login names the running program; the entry's rules are
// tested with the autostart code itself.
TEST(QtPlatformAutostart, StartAtLoginNamesTheRunningProgram) {
  const fs::path config = std::getenv("XDG_CONFIG_HOME");
  ::setenv("XDG_CONFIG_DIRS", (config / "no-system-entries").c_str(), 1);
  const fs::path entry = config / "autostart/org.memro.Memro.desktop";
  QtPlatform platform;
  EXPECT_FALSE(platform.StartsAtLogin());

  ASSERT_EQ(platform.SetStartAtLogin(true), "");
  EXPECT_TRUE(platform.StartsAtLogin());
  std::ifstream in(entry, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string program =
      QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
  ASSERT_TRUE(fs::path(program).is_absolute());
  EXPECT_EQ(DesktopEntryValue(text, "Exec"), DesktopExecArgument(program));
  EXPECT_EQ(DesktopEntryValue(text, "TryExec"), DesktopStringValue(program));

  ASSERT_EQ(platform.SetStartAtLogin(false), "");
  EXPECT_FALSE(platform.StartsAtLogin());
  EXPECT_FALSE(fs::exists(entry));
}

}  // namespace
}  // namespace memro
