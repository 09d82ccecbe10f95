#include "editor/editor_recovery.h"

#include "editor/editor_window.h"

namespace memro {

bool RecoveryWaiting(const std::filesystem::path& /*programDirectory*/) { return false; }

void EditorWindow::KeepForRecovery() {}

}  // namespace memro
