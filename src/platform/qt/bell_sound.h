#pragma once

#include <functional>
#include <string>

struct ca_context;

namespace memro {

struct BellOptions {
  // The sound driver; empty lets the sound library choose (PulseAudio, then ALSA).
  std::string driver;
  // Sounds when the desktop's bell cannot be played; unset: the window system's beep.
  std::function<void()> fallback;
};

// The desktop's bell event sound from the freedesktop sound theme, as the desktop plays
// it for every program. The window system's own beep is silent on many desktops (on
// Wayland always), so it only stands in when no sound theme or sound device plays the
// bell. Without either the bell is silent, and nothing ever waits for the sound.
class BellSound {
 public:
  explicit BellSound(BellOptions options = {});
  ~BellSound();
  BellSound(const BellSound&) = delete;
  BellSound& operator=(const BellSound&) = delete;

  // True when the sound library took the bell; false when the fallback sounded instead.
  bool Ring();

 private:
  bool Open();

  BellOptions options_;
  ca_context* context_ = nullptr;
  bool unusable_ = false;  // the library could not be opened: only the fallback is left
};

}  // namespace memro
