// Waiting in a test while the event loop runs (replies of worker threads
// arrive as queued calls).
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace tl::test {

// Runs the event loop until pred() holds or ms passed; returns pred().
inline bool waitUntil(const std::function<bool()>& pred, int ms) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

// Runs the event loop for ms milliseconds.
inline void pump(int ms) { waitUntil([] { return false; }, ms); }

}  // namespace tl::test
