#pragma once

#include <QObject>
#include <functional>

namespace memro {

// Sees every click and key the user gives any window of the program (the editor, the
// viewer, a question's box): each one tells `touched`. Installed on the application; it
// never takes an event away from its window.
class TouchWatch : public QObject {
 public:
  TouchWatch(std::function<void()> touched, QObject* parent);
  ~TouchWatch() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> touched_;
};

}  // namespace memro
