#pragma once

#include <memory>
#include <string>

#include "data/work_file.h"
#include "platform/platform.h"

namespace memro::cli {

// The tool's work file (see MakeWorkFile) in the temp directory. The work files that
// killed runs left there go first, as at the window's start; those still in use stay.
// A failure is told in the tool's own words, naming the directory.
std::unique_ptr<WorkFile> CreateToolWorkFile(Platform& platform, bool isMain);

// What the user can do when the temp directory cannot take the work files.
std::string TempAdvice(Platform& platform);

}  // namespace memro::cli
