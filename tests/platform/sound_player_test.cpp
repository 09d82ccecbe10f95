#include "platform/qt/sound_player.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QSoundEffect>
#include <fstream>

#include "platform/qt/qt_platform.h"
#include "test_sounds.h"

namespace memro {
namespace {

TEST(SoundKindOf, ChoosesByExtensionInAnyLetterCase) {
  EXPECT_EQ(SoundKindOf("/s/bell.wav"), SoundKind::kWave);
  EXPECT_EQ(SoundKindOf("/s/BELL.WAV"), SoundKind::kWave);
  EXPECT_EQ(SoundKindOf("/s/tune.Mid"), SoundKind::kMidi);
  EXPECT_EQ(SoundKindOf("/s/tune.mp3"), SoundKind::kNone);
  EXPECT_EQ(SoundKindOf("/s/wav"), SoundKind::kNone);
  EXPECT_EQ(SoundKindOf("/s.wav/tune"), SoundKind::kNone);
}

// MIDI goes to the synthesizer's file driver, which plays in real time like a
// sound card, so the tests need no audio device.
class SoundPlayerTest : public ::testing::Test {
 protected:
  SoundPlayerTest() {
    testing::WriteToneWave(dir.path() / "bell.wav");
    testing::WriteToneWave(dir.path() / "CHIME.WAV");
    midi.audioDrivers = {"file"};
    midi.extraSettings = {{"audio.file.name", (dir.path() / "out.raw").string()}};
  }
  testing::TempDir dir;
  MidiOptions midi;
};

TEST_F(SoundPlayerTest, PlayReturnsWhileTheMusicStillPlays) {
  SoundPlayer player(midi);
  player.Play(testing::NotesMidi());
  ASSERT_EQ(player.Active(), SoundKind::kMidi);
  EXPECT_TRUE(player.Midi()->IsPlaying());

  player.Play(dir.path() / "bell.wav");
  EXPECT_EQ(player.Active(), SoundKind::kWave);
  ASSERT_NE(player.Wave(), nullptr);
  EXPECT_EQ(player.Wave()->source().toLocalFile().toStdString(),
            (dir.path() / "bell.wav").string());
  EXPECT_EQ(player.Midi(), nullptr);
}

TEST_F(SoundPlayerTest, ANewSoundReleasesTheOneStillPlaying) {
  SoundPlayer player(midi);
  player.Play(dir.path() / "bell.wav");
  QPointer<QSoundEffect> first = player.Wave();
  ASSERT_FALSE(first.isNull());

  player.Play(dir.path() / "CHIME.WAV");
  EXPECT_TRUE(first.isNull());
  ASSERT_EQ(player.Active(), SoundKind::kWave);
  EXPECT_EQ(player.Wave()->source().fileName(), "CHIME.WAV");

  player.Play(testing::NotesMidi());
  EXPECT_EQ(player.Wave(), nullptr);
  EXPECT_EQ(player.Active(), SoundKind::kMidi);

  // The same tune again starts over in a fresh player.
  player.Play(testing::NotesMidi());
  ASSERT_NE(player.Midi(), nullptr);
  EXPECT_TRUE(player.Midi()->IsPlaying());

  player.Stop();
  EXPECT_EQ(player.Active(), SoundKind::kNone);
}

TEST_F(SoundPlayerTest, FailuresAreSilentAndStillEndThePreviousSound) {
  std::ofstream(dir.path() / "fake.mid") << "not a tune";
  std::ofstream(dir.path() / "song.mp3") << "ID3";
  const std::filesystem::path failing[] = {dir.path() / "gone.wav", dir.path() / "fake.mid",
                                           dir.path() / "song.mp3", dir.path()};
  SoundPlayer player(midi);
  for (const auto& file : failing) {
    player.Play(dir.path() / "bell.wav");
    player.Play(file);
    EXPECT_EQ(player.Active(), SoundKind::kNone) << file;
  }

  MidiOptions noDevice;
  noDevice.audioDrivers = {"no-such-driver"};
  SoundPlayer silent(noDevice);
  silent.Play(testing::NotesMidi());
  EXPECT_EQ(silent.Active(), SoundKind::kNone);
}

TEST_F(SoundPlayerTest, ThePlatformPlaysAndStopsThroughItsInterface) {
  QtPlatform qt(midi);
  Platform& platform = qt;
  platform.PlaySound(testing::NotesMidi());
  EXPECT_EQ(qt.Sound().Active(), SoundKind::kMidi);
  platform.PlaySound(dir.path() / "bell.wav");
  EXPECT_EQ(qt.Sound().Active(), SoundKind::kWave);
  platform.StopSound();
  EXPECT_EQ(qt.Sound().Active(), SoundKind::kNone);
}

}  // namespace
}  // namespace memro
