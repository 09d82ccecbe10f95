#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

namespace memro {

// What the viewer reads from and asks of the main window. The viewer keeps no data of
// its own: the due list, its selection, the status and the message all live there.
class ViewerHost {
 public:
  virtual ~ViewerHost() = default;

  virtual QString DateLabelText() const = 0;  // "Date: Tue, Dec 08, 2026"
  virtual int DueLineCount() const = 0;
  virtual int SelectedLine() const = 0;  // 0-based; -1 when none is selected
  // Selects a line as a click on the list would: the status and message follow.
  virtual void SelectLine(int index) = 0;
  virtual QString StatusText() const = 0;
  virtual QString MessageText() const = 0;
  virtual QFont MessageFont() const = 0;
  virtual QColor MessageColor() const = 0;

  virtual void StopTimeOut() = 0;
  virtual void ShowAbout() = 0;
  virtual void ShowViewerHelp() = 0;  // F1 in the viewer
  // Keeps the viewer's frame (in pixels, screen coordinates) as the main window's
  // place for the settings.
  virtual void RememberPlace(const QRect& frame) = 0;
  // Puts the main window at frame, in its normal state, and shows it.
  virtual void ShowMainAt(const QRect& frame) = 0;
  // Puts the main window at frame and closes it, which ends the program.
  virtual void ExitFromViewer(const QRect& frame) = 0;
  // True when this close comes from the session ending while events are due and Exit
  // Pop Up is on; the host has already beeped when the sound mode allows it.
  virtual bool RefuseSessionClose() = 0;
};

}  // namespace memro
