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
  // True once a signal has arrived, whether or not the event loop has taken it yet: the end
  // has been asked, and long work that is still on its way out stops for it.
  bool pending() const;
  EndSignals(const EndSignals&) = delete;
  EndSignals& operator=(const EndSignals&) = delete;

 private:
  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void()> onend_;
  bool taken_ = false;  // a signal read by the event loop
};

}  // namespace zarn::qt
