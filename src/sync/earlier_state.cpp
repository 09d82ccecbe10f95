#include "sync/earlier_state.h"

namespace memro::sync {

std::optional<SyncState> EarlierState(const std::filesystem::path& eventFile,
                                      const std::string& collection) {
  std::error_code ec;
  const std::string prefix = eventFile.filename().string() + "-";
  for (const auto& entry : std::filesystem::directory_iterator(StateDirectory(), ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(prefix)) continue;
    try {
      std::optional<SyncState> state = LoadState(entry.path());
      // The file's name holds a digest of the event file's path with the calendar: one of
      // another event file of the same name does not match it.
      if (state && state->collection != collection && !state->pairs.empty() &&
          StateFile(eventFile, state->collection) == entry.path()) {
        return state;
      }
    } catch (const StateError&) {
    }
  }
  return std::nullopt;
}

}  // namespace memro::sync
