#include "platform/qt/midi_player.h"

#include <fluidsynth.h>

#include <mutex>

namespace memro {
namespace {

// The library prints its complaints (no PulseAudio, no ALSA device) to the terminal;
// a failing alert sound must stay silent there too.
void SilenceLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

struct SettingsDeleter {
  void operator()(fluid_settings_t* s) const { delete_fluid_settings(s); }
};
struct SynthDeleter {
  void operator()(fluid_synth_t* s) const { delete_fluid_synth(s); }
};
struct PlayerDeleter {
  void operator()(fluid_player_t* p) const {
    fluid_player_stop(p);
    delete_fluid_player(p);
  }
};
struct DriverDeleter {
  void operator()(fluid_audio_driver_t* d) const { delete_fluid_audio_driver(d); }
};

using Settings = std::unique_ptr<fluid_settings_t, SettingsDeleter>;
using Synth = std::unique_ptr<fluid_synth_t, SynthDeleter>;
using Player = std::unique_ptr<fluid_player_t, PlayerDeleter>;
using Driver = std::unique_ptr<fluid_audio_driver_t, DriverDeleter>;

Settings MakeSettings(const MidiOptions& options) {
  SilenceLibraryLog();
  Settings settings(new_fluid_settings());
  if (!settings) return nullptr;
  fluid_settings_setnum(settings.get(), "synth.gain", options.gain);
  for (const auto& [name, value] : options.extraSettings) {
    fluid_settings_setstr(settings.get(), name.c_str(), value.c_str());
  }
  return settings;
}

// A synthesizer with the SoundFont loaded and a player queued with the file.
bool MakeSynthAndPlayer(fluid_settings_t* settings, const std::filesystem::path& file,
                        const MidiOptions& options, Synth& synth, Player& player) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  if (!fluid_is_midifile(file.c_str())) return false;
  if (!std::filesystem::is_regular_file(options.soundFont, error)) return false;
  synth.reset(new_fluid_synth(settings));
  if (!synth) return false;
  if (fluid_synth_sfload(synth.get(), options.soundFont.c_str(), 1) == FLUID_FAILED) return false;
  player.reset(new_fluid_player(synth.get()));
  if (!player) return false;
  return fluid_player_add(player.get(), file.c_str()) == FLUID_OK;
}

}  // namespace

struct MidiPlayback::Parts {
  // Declared in creation order; the destructor releases the driver first so no
  // audio callback runs into a player or synthesizer already gone.
  Settings settings;
  Synth synth;
  Player player;
  Driver driver;

  ~Parts() {
    driver.reset();
    player.reset();
    synth.reset();
    settings.reset();
  }
};

MidiPlayback::MidiPlayback(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

MidiPlayback::~MidiPlayback() = default;

std::unique_ptr<MidiPlayback> MidiPlayback::Start(const std::filesystem::path& file,
                                                  const MidiOptions& options) {
  auto parts = std::make_unique<Parts>();
  parts->settings = MakeSettings(options);
  if (!parts->settings) return nullptr;
  if (!MakeSynthAndPlayer(parts->settings.get(), file, options, parts->synth, parts->player)) {
    return nullptr;
  }
  for (const auto& name : options.audioDrivers) {
    if (fluid_settings_setstr(parts->settings.get(), "audio.driver", name.c_str()) != FLUID_OK) {
      continue;
    }
    parts->driver.reset(new_fluid_audio_driver(parts->settings.get(), parts->synth.get()));
    if (parts->driver) break;
  }
  if (!parts->driver) return nullptr;
  if (fluid_player_play(parts->player.get()) != FLUID_OK) return nullptr;
  return std::unique_ptr<MidiPlayback>(new MidiPlayback(std::move(parts)));
}

bool MidiPlayback::IsPlaying() const {
  return fluid_player_get_status(parts_->player.get()) == FLUID_PLAYER_PLAYING;
}

std::optional<std::vector<float>> RenderMidi(const std::filesystem::path& file,
                                             const MidiOptions& options, int sampleRate,
                                             double maxSeconds) {
  Settings settings = MakeSettings(options);
  if (!settings || sampleRate <= 0 || maxSeconds <= 0) return std::nullopt;
  fluid_settings_setnum(settings.get(), "synth.sample-rate", sampleRate);
  Synth synth;
  Player player;
  if (!MakeSynthAndPlayer(settings.get(), file, options, synth, player)) return std::nullopt;
  if (fluid_player_play(player.get()) != FLUID_OK) return std::nullopt;

  constexpr int kBlockFrames = 512;
  const auto maxFrames = static_cast<std::size_t>(maxSeconds * sampleRate);
  std::vector<float> samples;
  // The player advances with the samples the synthesizer writes, so rendering
  // block by block plays the file as fast as the processor allows.
  while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING &&
         samples.size() / 2 < maxFrames) {
    const std::size_t at = samples.size();
    samples.resize(at + 2 * kBlockFrames);
    float* out = samples.data() + at;
    if (fluid_synth_write_float(synth.get(), kBlockFrames, out, 0, 2, out, 1, 2) != FLUID_OK) {
      return std::nullopt;
    }
  }
  return samples;
}

}  // namespace memro
