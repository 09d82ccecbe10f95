#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "sync/sync_state.h"

namespace memro::sync {

// The state a sync of eventFile with another calendar than collection left, when it held
// events: a first sync with an empty calendar is then more likely a wrong address than a
// new calendar. Nothing when there is none, or none that can be read.
std::optional<SyncState> EarlierState(const std::filesystem::path& eventFile,
                                      const std::string& collection);

}  // namespace memro::sync
