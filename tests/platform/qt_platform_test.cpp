#include "platform/qt/qt_platform.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/qt/local_date.h"
#include "support/fake_platform.h"
#include "support/modal.h"

namespace memro {
namespace {

using namespace std::chrono;

TEST(QtPlatformBusy, PointerIsNormalOnlyWhenEveryBusySectionEnded) {
  QtPlatform platform;
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  {
    BusyPointer outer(platform);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    {
      BusyPointer inner(platform);
      EXPECT_EQ(platform.BusyDepth(), 2);
    }
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // An extra "not busy" must not pop a cursor that someone else set.
  QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
  platform.SetBusy(false);
  EXPECT_EQ(platform.BusyDepth(), 0);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QGuiApplication::restoreOverrideCursor();
}

TEST(QtPlatformBusy, ABusyPointerLeftOnIsRestoredWithThePlatform) {
  {
    QtPlatform platform;
    platform.SetBusy(true);
    platform.SetBusy(true);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtPlatformBusy, AQuestionInBusyWorkShowsTheNormalPointer) {
  QtPlatform platform;
  BusyPointer busy(platform);
  std::optional<Qt::CursorShape> whileAsked;
  testing::WhenModal([&](QWidget* box) {
    whileAsked = QGuiApplication::overrideCursor()->shape();
    box->close();
  });
  platform.MessageBox("Confirm Clean Up", Icon::kQuestion, Buttons::kYesNo, "");
  EXPECT_EQ(whileAsked, Qt::ArrowCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

// Sets an environment variable for one scope and puts the old value back.
class EnvGuard {
 public:
  EnvGuard(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
    tzset();
  }
  ~EnvGuard() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
    tzset();
  }
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(LocalDate, IsTheDateOfTheLocalZoneNotOfUtc) {
  // 2026-12-08 11:00 UTC.
  const std::time_t moment =
      system_clock::to_time_t(sys_days{year{2026} / December / 8} + hours{11});
  {
    EnvGuard utc("TZ", "UTC0");
    EXPECT_EQ(LocalDate(moment), year{2026} / December / 8);
  }
  {
    EnvGuard east("TZ", "XST-14");  // fourteen hours ahead of UTC
    EXPECT_EQ(LocalDate(moment), year{2026} / December / 9);
  }
  {
    EnvGuard west("TZ", "XST12");  // twelve hours behind
    EXPECT_EQ(LocalDate(moment), year{2026} / December / 7);
  }
}

TEST(QtPlatformDirectories, FollowTheEnvironmentAndKeepThePasswordBesideTheSettings) {
  QtPlatform platform;
  const testing::TempDir temp;
  EnvGuard home("MEMRO_HOME", "/srv/memro-home");
  EnvGuard tempVariable("TEMP", "  " + temp.path().string() + " ");
  EXPECT_EQ(platform.ProgramDirectory(), std::filesystem::path("/srv/memro-home"));
  EXPECT_EQ(platform.ProtectionDirectory(), platform.ProgramDirectory());
  EXPECT_EQ(platform.TempDirectory(), temp.path());
  {
    EnvGuard noTemp("TEMP", "");
    EnvGuard noTmpDir("TMPDIR", "");
    EXPECT_EQ(platform.TempDirectory(), platform.ProgramDirectory());
    EnvGuard goneTmpDir("TMPDIR", "/nonexistent");  // a directory that is gone is passed over
    EXPECT_EQ(platform.TempDirectory(), platform.ProgramDirectory());
  }
}

}  // namespace
}  // namespace memro
