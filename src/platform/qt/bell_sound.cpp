#include "platform/qt/bell_sound.h"

#include <canberra.h>

#include <QApplication>
#include <vector>

namespace memro {
namespace {

// The sound theme's name for the bell of a window system; the theme lookup falls back
// from it to "bell-window" and "bell", which every freedesktop theme has.
constexpr const char* kBellEvent = "bell-window-system";

// Contexts are never destroyed. The library's ALSA driver returns from destroying a
// context while the thread that played the last bell is still finishing, and then unloads
// the driver under it: a program that ends just after a bell would crash on its way out.
// Kept here, they stay reachable until the process ends.
std::vector<ca_context*>& KeptContexts() {
  static auto* kept = new std::vector<ca_context*>;
  return *kept;
}

}  // namespace

BellSound::BellSound(BellOptions options) : options_(std::move(options)) {}

BellSound::~BellSound() {
  if (context_ != nullptr) KeptContexts().push_back(context_);
}

bool BellSound::Open() {
  if (context_ != nullptr) return true;
  if (unusable_) return false;
  ca_context* context = nullptr;
  bool ok = ca_context_create(&context) == CA_SUCCESS;
  ok = ok && (options_.driver.empty() ||
              ca_context_set_driver(context, options_.driver.c_str()) == CA_SUCCESS);
  ok = ok &&
       ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Memro", CA_PROP_APPLICATION_ID,
                               "org.memro.Memro", CA_PROP_APPLICATION_ICON_NAME, "org.memro.Memro",
                               nullptr) == CA_SUCCESS;
  ok = ok && ca_context_open(context) == CA_SUCCESS;
  if (!ok) {
    if (context != nullptr) ca_context_destroy(context);
    unusable_ = true;
    return false;
  }
  context_ = context;
  return true;
}

bool BellSound::Ring() {
  // Playing returns at once; the library plays the sound on a thread of its own.
  const bool played =
      Open() &&
      ca_context_play(context_, 0, CA_PROP_EVENT_ID, kBellEvent, CA_PROP_EVENT_DESCRIPTION, "Bell",
                      CA_PROP_CANBERRA_CACHE_CONTROL, "permanent", nullptr) == CA_SUCCESS;
  if (!played) {
    if (options_.fallback) {
      options_.fallback();
    } else {
      QApplication::beep();
    }
  }
  return played;
}

}  // namespace memro
