#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "data/work_file.h"
#include "platform/platform.h"

namespace memro::cli {

// An event file opened as the editor opens it: any of the three formats, the older
// ones converted, the events in a record store from record 2 on.
struct OpenedStore {
  std::unique_ptr<WorkFile> store;
  std::int64_t count = 0;
  std::int16_t format = 0;  // 3 current, 1 old records, 2 text; 0 failed
};

OpenedStore OpenAsEditor(Platform& platform, const std::string& fileName);

}  // namespace memro::cli
