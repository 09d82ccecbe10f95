#pragma once

#include <filesystem>
#include <memory>

#include "platform/qt/midi_player.h"

class QSoundEffect;

namespace memro {

enum class SoundKind { kNone, kWave, kMidi };

// ".wav" and ".mid" in any letter case; everything else is no sound.
SoundKind SoundKindOf(const std::filesystem::path& file);

// Plays one sound file at a time without waiting for its end. Every failure is
// silent: a missing file, an unknown type, no audio device.
class SoundPlayer {
 public:
  explicit SoundPlayer(MidiOptions midiOptions = {});
  ~SoundPlayer();
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // Stops and releases the sound still playing, then starts this one from its beginning.
  void Play(const std::filesystem::path& file);
  void Stop();

  // What holds the audio device now; kNone after Stop or a failed start.
  SoundKind Active() const;
  QSoundEffect* Wave() const { return wave_.get(); }
  const MidiPlayback* Midi() const { return midi_.get(); }

 private:
  MidiOptions midiOptions_;
  std::unique_ptr<QSoundEffect> wave_;
  std::unique_ptr<MidiPlayback> midi_;
};

}  // namespace memro
