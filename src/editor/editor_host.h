#pragma once

#include <string>

class QWidget;

namespace memro {

struct Settings;

// What the editor reads from and asks of the main window. The main window notices a
// changed file by itself; a save is told only so that the file can be synced.
class EditorHost {
 public:
  virtual ~EditorHost() = default;

  // The program's settings: the editor's place and recent files, the new-record defaults.
  virtual Settings& ProgramSettings() = 0;
  // The file the main window loaded last; empty when none.
  virtual std::string CurrentFile() const = 0;
  virtual int DueCount() const = 0;
  // Record number (as text) of the due entry the main window showed last.
  virtual std::string EditTarget() const = 0;
  virtual void ShowAboutOver(QWidget* parent) = 0;
  // The editor window is going away; when it was the program's last window the host
  // writes the settings.
  virtual void EditorClosed() = 0;
  // The editor wrote its events to `path`.
  virtual void FileSaved(const std::string& /*path*/) {}
};

}  // namespace memro
