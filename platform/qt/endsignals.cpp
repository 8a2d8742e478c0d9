#include "platform/qt/endsignals.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace zarn::qt {

namespace {
sigset_t endset() {
  sigset_t s;
  sigemptyset(&s);
  sigaddset(&s, SIGTERM);
  sigaddset(&s, SIGINT);
  return s;
}
}  // namespace

// The signals are read from a descriptor, so no handler runs inside whatever was interrupted.
// Programs we start get an empty mask back (spawnprogram sets it).
void EndSignals::holdback() {
  const sigset_t s = endset();
  pthread_sigmask(SIG_BLOCK, &s, nullptr);
}

EndSignals::EndSignals(std::function<void()> onend) : onend_(std::move(onend)) {
  const sigset_t s = endset();
  fd_ = signalfd(-1, &s, SFD_NONBLOCK | SFD_CLOEXEC);
  if (fd_ < 0) {
    pthread_sigmask(SIG_UNBLOCK, &s, nullptr);  // better ended abruptly than not at all
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    signalfd_siginfo info;
    bool any = false;
    while (::read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) any = true;
    taken_ = taken_ || any;
    if (any && onend_) onend_();
  });
}

bool EndSignals::pending() const {
  pollfd p{fd_, POLLIN, 0};
  return taken_ || (fd_ >= 0 && ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0);
}

EndSignals::~EndSignals() {
  notifier_.reset();
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace zarn::qt
