#include "cli/editor_open.h"

#include "cli/work_files.h"
#include "data/editor_load.h"
#include "settings/settings.h"

namespace memro::cli {

OpenedStore OpenAsEditor(Platform& platform, const std::string& fileName) {
  OpenedStore opened;
  opened.store = CreateToolWorkFile(platform, false);
  if (!opened.store) return opened;
  // Fields the older formats lack come from the user's defaults for new events.
  const Settings settings = LoadSettings(SettingsFilePath(platform), {}, {});
  EditorLoadTarget target{*opened.store, settings.defaults, int(platform.Today().year()), {}};
  opened.format =
      LoadEventFileForEditor(platform, fileName, target, opened.count, TempAdvice(platform));
  return opened;
}

}  // namespace memro::cli
