#include <ostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/editor_open.h"
#include "data/store_save.h"
#include "data/writer_lock.h"

namespace memro::cli {

int RunConvert(const std::vector<std::string>& words, std::ostream&, std::ostream& err) {
  Args args;
  if (auto error = ParseArgs(words, {}, {}, args)) return UsageError(err, *error);
  if (args.positional.size() != 2) return UsageError(err, "convert takes OLD and NEW");
  const std::string& target = args.positional[1];
  ConsolePlatform platform(err, CleanUpAnswer::kKeep, std::nullopt);
  try {
    // Never overwrite: NEW may be the only copy of somebody's events. The new file is
    // made only while its name is free, so two converts to one NEW cannot both make it.
    std::error_code ec;
    if (std::filesystem::symlink_status(target, ec).type() !=
        std::filesystem::file_type::not_found) {
      platform.Error(target + " already exists; choose another name or remove it first.");
      return kExitFailed;
    }
    OpenedStore opened = OpenAsEditor(platform, args.positional[0]);
    if (opened.format == 0) return kExitFailed;
    const WriterLock lock(target);
    if (lock.target().exists()) throw FileAppearedError(target);
    SaveStore(lock, opened.store->file(), opened.count, target);
  } catch (const FileAppearedError&) {
    platform.Error(target + " already exists; choose another name or remove it first.");
    return kExitFailed;
  } catch (const FileBusyError& e) {
    platform.Error(e.message());
    return kExitFailed;
  } catch (const FileError& e) {
    platform.Error(e.description() + " while saving " + target);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace memro::cli
