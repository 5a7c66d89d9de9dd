#pragma once
// Waiting for the real pointer's moves to reach the application, for the
// tests that move it with QCursor::setPos under a display.
//
// PointerMoves watches every mouse move the application receives (an
// application-wide event filter, so it sees a move before the window's own
// filters do) and keeps the global position of the last one, starting from
// where the pointer was when the watch began. Waiting for a move to a point
// therefore answers at once when the pointer never left it (no move comes),
// and otherwise as soon as the move there has been delivered. Needs a
// QGuiApplication.
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QObject>
#include <QPoint>

#include "wait.h"

class PointerMoves : public QObject {
 public:
  PointerMoves() : m_last(QCursor::pos()) { QGuiApplication::instance()->installEventFilter(this); }
  ~PointerMoves() override { QGuiApplication::instance()->removeEventFilter(this); }
  PointerMoves(const PointerMoves&) = delete;
  PointerMoves& operator=(const PointerMoves&) = delete;

  // Waits until the last move the application received went to `at`;
  // false when none had after `milliseconds`.
  bool WaitForMoveTo(QPoint at, int milliseconds = 5000) {
    return testkit::WaitUntil([&] { return m_last == at; }, milliseconds);
  }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (event->type() == QEvent::MouseMove)
      m_last = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    return QObject::eventFilter(target, event);
  }

 private:
  QPoint m_last;
};
