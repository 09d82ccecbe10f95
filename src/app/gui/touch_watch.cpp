#include "app/gui/touch_watch.h"

#include <QCoreApplication>
#include <QEvent>

namespace memro {

TouchWatch::TouchWatch(std::function<void()> touched, QObject* parent)
    : QObject(parent), touched_(std::move(touched)) {
  QCoreApplication::instance()->installEventFilter(this);
}

TouchWatch::~TouchWatch() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

bool TouchWatch::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
      if (watched->isWidgetType()) touched_();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace memro
