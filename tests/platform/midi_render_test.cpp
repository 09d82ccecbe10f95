#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "platform/qt/midi_player.h"
#include "test_sounds.h"

namespace memro {
namespace {

constexpr int kRate = 22050;

double Peak(const std::vector<float>& samples) {
  double peak = 0;
  for (float s : samples) peak = std::max(peak, static_cast<double>(std::fabs(s)));
  return peak;
}

double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

TEST(RenderMidi, TheTestTuneSoundsThroughout) {
  const auto samples = RenderMidi(testing::NotesMidi(), MidiOptions{}, kRate, 10);
  ASSERT_TRUE(samples.has_value());
  const double seconds = samples->size() / 2.0 / kRate;
  ASSERT_GE(seconds, 2.0);
  // The player lets the last note ring out for a while after the end of the track.
  EXPECT_LT(seconds, 8.0);
  EXPECT_GT(Peak(*samples), 0.05);
  EXPECT_GT(Rms(*samples), 0.005);
  // Every half second of the tune holds a note of its own: no stretch is silent.
  const std::size_t halfSecond = kRate;  // interleaved stereo samples
  for (std::size_t at = 0; at + halfSecond <= 4 * halfSecond; at += halfSecond) {
    const std::vector<float> part(samples->begin() + at, samples->begin() + at + halfSecond);
    EXPECT_GT(Peak(part), 0.02) << "silent from sample " << at;
  }
}

TEST(RenderMidi, GainScalesTheOutput) {
  MidiOptions quiet;
  quiet.gain = 0.2;
  const auto soft = RenderMidi(testing::NotesMidi(), quiet, kRate, 10);
  const auto loud = RenderMidi(testing::NotesMidi(), MidiOptions{}, kRate, 10);
  ASSERT_TRUE(soft && loud);
  EXPECT_NEAR(Rms(*loud) / Rms(*soft), 3.0, 0.3);
}

TEST(RenderMidi, StopsAtTheLimit) {
  const auto samples = RenderMidi(testing::NotesMidi(), MidiOptions{}, kRate, 0.5);
  ASSERT_TRUE(samples.has_value());
  EXPECT_LE(samples->size() / 2, std::size_t(kRate / 2 + 512));
}

TEST(RenderMidi, FailsQuietlyOnBadInput) {
  testing::TempDir dir;
  std::ofstream(dir.path() / "fake.mid") << "not a tune";
  EXPECT_FALSE(RenderMidi(dir.path() / "fake.mid", MidiOptions{}, kRate, 1));
  EXPECT_FALSE(RenderMidi(dir.path() / "missing.mid", MidiOptions{}, kRate, 1));
  MidiOptions noFont;
  noFont.soundFont = dir.path() / "none.sf2";
  EXPECT_FALSE(RenderMidi(testing::NotesMidi(), noFont, kRate, 1));
}

}  // namespace
}  // namespace memro
