#include "cli/work_files.h"

namespace memro::cli {

std::unique_ptr<WorkFile> CreateToolWorkFile(Platform& platform, bool isMain) {
  const auto dir = platform.TempDirectory();
  // Nobody else clears them for a user who never starts the window.
  RemoveAbandonedWorkFiles(dir);
  try {
    return MakeWorkFile(dir, isMain);
  } catch (const FileError& e) {
    platform.MessageBox(e.description() + " while making a work file in " + dir.string() + ". " +
                            TempAdvice(platform),
                        Icon::kCritical, Buttons::kOk, "");
    return nullptr;
  }
}

std::string TempAdvice(Platform& platform) {
  return "Make room in " + platform.TempDirectory().string() +
         " or set TEMP to another directory, then run memro-cli again.";
}

}  // namespace memro::cli
