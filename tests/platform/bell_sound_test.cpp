// The bell through the sound library's ALSA driver, on devices that a configuration of
// the test's own makes: ALSA's null device (a sound device that plays into nothing) and
// a card that does not exist (no sound device).
#include "platform/qt/bell_sound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/qt/qt_platform.h"
#include "support/fake_platform.h"

namespace memro {
namespace {

class BellSoundTest : public ::testing::Test {
 protected:
  void UseAlsaDevice(const std::string& pcm) {
    const auto config = dir.path() / "asound.conf";
    std::ofstream(config) << "pcm.!default " << pcm << "\n";
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
  }
  ~BellSoundTest() override { unsetenv("ALSA_CONFIG_PATH"); }

  BellOptions Options(const std::string& driver) {
    return BellOptions{driver, [this] { ++fallbacks; }};
  }

  testing::TempDir dir;
  int fallbacks = 0;
};

TEST_F(BellSoundTest, TheThemesBellPlaysWithoutWaitingForItsEnd) {
  UseAlsaDevice("{ type null }");
  BellSound bell(Options("alsa"));
  EXPECT_TRUE(bell.Ring());
  EXPECT_TRUE(bell.Ring());  // again while the first may still play
  EXPECT_EQ(fallbacks, 0);
}

TEST_F(BellSoundTest, WithoutASoundDeviceTheWindowSystemsBeepStandsIn) {
  UseAlsaDevice("{ type hw card 29 }");
  BellSound bell(Options("alsa"));
  EXPECT_FALSE(bell.Ring());
  EXPECT_FALSE(bell.Ring());
  EXPECT_EQ(fallbacks, 2);
}

TEST_F(BellSoundTest, WithoutTheSoundLibrarysDriverTheBeepStandsIn) {
  QtPlatform platform({}, Options("no-such-driver"));
  platform.Beep();
  EXPECT_EQ(fallbacks, 1);
}

}  // namespace
}  // namespace memro
