#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace memro {

inline constexpr char kDefaultSoundFont[] = "/usr/share/sounds/sf2/default-GM.sf2";

struct MidiOptions {
  std::filesystem::path soundFont = kDefaultSoundFont;
  // Tried in order; the first that opens plays. None opening means silence.
  std::vector<std::string> audioDrivers = {"pulseaudio", "alsa"};
  // The synthesizer's own default of 0.2 is too quiet for an alert.
  double gain = 0.6;
  // Further string settings, such as the output file of the "file" driver.
  std::vector<std::pair<std::string, std::string>> extraSettings;
};

// One MIDI file playing on its own audio thread. Destroying it stops the music
// and releases the audio device.
class MidiPlayback {
 public:
  // Null when anything fails: no driver, no SoundFont, not a MIDI file.
  static std::unique_ptr<MidiPlayback> Start(const std::filesystem::path& file,
                                             const MidiOptions& options);
  ~MidiPlayback();
  MidiPlayback(const MidiPlayback&) = delete;
  MidiPlayback& operator=(const MidiPlayback&) = delete;

  bool IsPlaying() const;

 private:
  struct Parts;
  explicit MidiPlayback(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

// Renders a MIDI file without any audio device into interleaved stereo samples,
// until the file ends or maxSeconds of sound were made. Nullopt on any failure.
std::optional<std::vector<float>> RenderMidi(const std::filesystem::path& file,
                                             const MidiOptions& options, int sampleRate,
                                             double maxSeconds);

}  // namespace memro
