// SIGTERM and SIGINT (a shutdown, a kill, Ctrl+C in the terminal) end the program the way the
// user ends it, from the event loop, instead of wherever the process happens to be.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace zarn::qt {

class EndSignals {
 public:
  // Holds the two signals back in the calling thread and every thread it starts later: call it
  // first in main(), before any library starts a thread that would otherwise receive them.
  static void holdback();
  // Runs `onend` from the event loop when either signal arrives (holdback() must have run).
  explicit EndSignals(std::function<void()> onend);
  ~EndSignals();
  // True when a signal has arrived that the event loop has not yet taken.
  bool pending() const;
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

 private:
  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void()> onend_;
};

}  // namespace zarn::qt
