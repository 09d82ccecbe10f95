#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace memro {

// The values the main window keeps beside its controls.
struct MainValues {
  Settings settings;
  std::string pendingFile;  // the loaded file; a leading "+" loads it without a dialog
  std::string fileStamp;    // modification time of the loaded file, as text
  std::int16_t dueCount = 0;
  std::string rangeDays;   // empty: range scanning off
  std::string editTarget;  // record number of the entry shown last
  std::string password;    // empty: unlocked
  bool visibleAtStart = true;
  bool blinkPhase = false;
  std::int16_t idleTicks = 0;
};

}  // namespace memro
