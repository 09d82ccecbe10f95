#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

class QWidget;

namespace memro {

// What the window system tells about the program's top-level windows. The settings keep
// outer places (frame included); Qt knows a window's frame only once the window system
// has framed the shown window, and Wayland gives programs no positions at all.
struct WindowSystem {
  // The window's outer rectangle in screen pixels. Unset: Qt's frame geometry.
  std::function<QRect(const QWidget&)> outer;
  // False where the compositor alone places windows (Wayland).
  bool placesWindows = true;

  QRect Outer(const QWidget& window) const;
  QSize Frame(const QWidget& window) const;
};

// The window system the program runs on.
WindowSystem DesktopWindowSystem();

// Keeps a top-level window at an outer size although its frame is unknown before the
// window system has framed it: the inner size is the outer size less the frame as known
// now, and is set again whenever the frame turns out different, until something else
// (the user, the window manager) sizes the window.
class OuterSize : public QObject {
 public:
  OuterSize(QWidget& window, WindowSystem system);

  // Moves the window to outer's place where the window system allows it and gives it
  // outer's size.
  void Apply(const QRect& outer);
  void Resize(const QSize& outer);

  // The outer size still waiting for the frame; empty once something else sized the window.
  std::optional<QSize> Pending() const { return outer_; }

  // The window's outer place to keep: the size given, while it stands, even in the moment
  // between the frame becoming known and the window's refit.
  QRect Place() const;
  const WindowSystem& System() const { return system_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fit();

  QWidget& window_;
  WindowSystem system_;
  std::optional<QSize> outer_;
  QSize frame_;
  QSize inner_;  // the inner size asked for last
};

}  // namespace memro
