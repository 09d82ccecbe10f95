#include "app/gui/window_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

namespace memro {

QRect WindowSystem::Outer(const QWidget& window) const {
  return outer ? outer(window) : window.frameGeometry();
}

QSize WindowSystem::Frame(const QWidget& window) const {
  return Outer(window).size() - window.size();
}

WindowSystem DesktopWindowSystem() {
  WindowSystem system;
  // "wayland", "wayland-egl", …: the compositor places every window itself.
  system.placesWindows = !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
  return system;
}

OuterSize::OuterSize(QWidget& window, WindowSystem system)
    : QObject(&window), window_(window), system_(std::move(system)) {
  window_.installEventFilter(this);
}

void OuterSize::Apply(const QRect& outer) {
  if (system_.placesWindows) window_.move(outer.topLeft());
  Resize(outer.size());
}

void OuterSize::Resize(const QSize& outer) {
  outer_ = outer;
  Fit();
}

QRect OuterSize::Place() const {
  const QRect outer = system_.Outer(window_);
  return outer_ ? QRect(outer.topLeft(), *outer_) : outer;
}

void OuterSize::Fit() {
  frame_ = system_.Frame(window_);
  inner_ = (*outer_ - frame_).expandedTo(QSize(1, 1));
  window_.resize(inner_);
}

// The frame becomes known some time after the window is shown: the decorations are made
// as the window is shown (Wayland), the window manager's reparenting moves it (X11), or it
// is first painted or activated once framed. Each of these looks at the frame again.
bool OuterSize::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_ || !outer_) return false;
  switch (event->type()) {
    case QEvent::Resize:
      if (window_.isVisible() && window_.size() != inner_ && system_.Frame(window_) == frame_) {
        outer_.reset();  // sized by someone else: that size stands
        break;
      }
      [[fallthrough]];
    case QEvent::Show:
    case QEvent::ShowToParent:
    case QEvent::Move:
    case QEvent::WindowActivate:
    case QEvent::UpdateRequest:
      if (system_.Frame(window_) != frame_) Fit();
      break;
    default:
      break;
  }
  return false;
}

}  // namespace memro
