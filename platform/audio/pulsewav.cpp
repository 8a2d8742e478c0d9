#include "platform/audio/pulsewav.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <numbers>
#include <thread>

namespace zarn::platform {

namespace {
using steady = std::chrono::steady_clock;
constexpr auto retryafter = std::chrono::seconds(3);  // between attempts to reach a missing server
constexpr auto idleclose = std::chrono::seconds(5);   // an idle stream would keep the sink awake
constexpr pa_usec_t latency = 100000;                 // microseconds of sound buffered ahead
}  // namespace

struct PulseWavPlayer::Impl {
  struct Job {
    WavSound sound;
    std::shared_ptr<std::promise<int>> done;  // set for a caller who waits
  };

  std::mutex m;
  std::condition_variable cv;
  std::deque<Job> queue;  // under m
  bool busy = false;      // under m: the worker is playing a job and owns the stream
  bool stop = false;      // under m
  std::atomic<bool> quitting{false};
  std::thread worker;

  // The stream is used by the worker while busy, otherwise only by a holder of m.
  pa_simple* stream = nullptr;
  pa_sample_spec spec{};
  std::atomic<steady::rep> lastfail{0};  // time of the last failed connection, 0 for none
  std::atomic<int> attempts{0};

  bool recentlyfailed() const {
    const auto t = lastfail.load();
    return t != 0 && steady::now() - steady::time_point(steady::duration(t)) < retryafter;
  }

  void closestream(bool drain) {
    if (!stream) return;
    int err = 0;
    if (drain)
      pa_simple_drain(stream, &err);
    else
      pa_simple_flush(stream, &err);
    pa_simple_free(stream);
    stream = nullptr;
  }

  // An open stream in the sound's format.
  bool ensure(const WavSound& s) {
    const pa_sample_spec want{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(s.rate),
                              static_cast<std::uint8_t>(s.channels)};
    if (stream && want.rate == spec.rate && want.channels == spec.channels) return true;
    closestream(true);
    if (!pa_sample_spec_valid(&want) || recentlyfailed()) return false;
    ++attempts;
    int err = 0;
    // A short buffer: with the default of two seconds a prompt would start and end late.
    pa_buffer_attr attr;
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(latency, &want));
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    stream =
        pa_simple_new(nullptr, "zarn", PA_STREAM_PLAYBACK, nullptr, "prompt", &want, nullptr, &attr, &err);
    if (!stream) {
      lastfail = std::max<steady::rep>(steady::now().time_since_epoch().count(), 1);
      return false;
    }
    lastfail = 0;
    spec = want;
    return true;
  }

  int playjob(const Job& j, bool drain) {
    if (!ensure(j.sound)) return 0;
    const auto& smp = j.sound.samples;
    // Written a tenth of a second at a time so that closing down is not held up by a long sound.
    const std::size_t chunk = static_cast<std::size_t>(std::max(1, j.sound.rate / 10) * j.sound.channels);
    int err = 0;
    for (std::size_t at = 0; at < smp.size(); at += chunk) {
      if (quitting) return 0;
      const std::size_t n = std::min(chunk, smp.size() - at);
      if (pa_simple_write(stream, smp.data() + at, n * sizeof smp[0], &err) < 0) {
        closestream(false);  // the server went away; the next sound connects afresh
        return 0;
      }
    }
    if (quitting) return 0;
    if (drain && pa_simple_drain(stream, &err) < 0) {
      closestream(false);
      return 0;
    }
    return 1;
  }

  void run() {
    std::unique_lock lk(m);
    const auto ready = [this] { return stop || !queue.empty(); };
    for (;;) {
      if (stream) {
        if (!cv.wait_for(lk, idleclose, ready)) {
          closestream(true);
          continue;
        }
      } else {
        cv.wait(lk, ready);
      }
      if (stop) break;
      Job j = std::move(queue.front());
      queue.pop_front();
      // Drain after the last queued sound, and for a caller who waits for the end.
      const bool drain = queue.empty() || j.done;
      busy = true;
      lk.unlock();
      const int r = playjob(j, drain);
      lk.lock();
      busy = false;
      if (j.done) j.done->set_value(r);
    }
    for (auto& j : queue)
      if (j.done) j.done->set_value(0);
    queue.clear();
    closestream(false);
  }

  int submit(WavSound sound, bool sync) {
    std::unique_lock lk(m);
    if (!busy && queue.empty()) {
      // Nothing playing: find out now whether there is a server at all, so the answer is true.
      if (!ensure(sound)) return 0;
    } else if (recentlyfailed()) {
      return 0;
    }
    Job j{std::move(sound), sync ? std::make_shared<std::promise<int>>() : nullptr};
    std::future<int> result;
    if (sync) result = j.done->get_future();
    queue.push_back(std::move(j));
    if (!worker.joinable()) worker = std::thread([this] { run(); });
    lk.unlock();
    cv.notify_one();
    return sync ? result.get() : 1;
  }

  ~Impl() {
    {
      std::lock_guard lk(m);
      stop = true;
      quitting = true;
    }
    cv.notify_all();
    if (worker.joinable()) worker.join();
    closestream(false);
  }
};

PulseWavPlayer::PulseWavPlayer() : impl_(std::make_unique<Impl>()) {}
PulseWavPlayer::~PulseWavPlayer() = default;

int PulseWavPlayer::play(const std::filesystem::path& wav, bool sync) {
  auto sound = readwav(wav);
  if (!sound) return 0;  // never a default sound in its place
  return impl_->submit(std::move(*sound), sync);
}

int PulseWavPlayer::playsound(WavSound sound, bool sync) {
  if ((sound.channels != 1 && sound.channels != 2) || sound.rate <= 0) return 0;
  sound.samples.resize(sound.frames() * static_cast<std::size_t>(sound.channels));  // whole frames only
  return impl_->submit(std::move(sound), sync);
}

void PulseWavPlayer::beep() {
  // A short soft tone with ramped ends, so that it does not click.
  WavSound s;
  s.rate = 22050;
  s.channels = 1;
  s.bits = 16;
  const int n = s.rate * 15 / 100, ramp = s.rate / 200;
  s.samples.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const double env = std::min({1.0, static_cast<double>(i) / ramp, static_cast<double>(n - 1 - i) / ramp});
    s.samples[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>(8000 * env * std::sin(2 * std::numbers::pi * 880.0 * i / s.rate));
  }
  impl_->submit(std::move(s), false);
}

bool PulseWavPlayer::playing() {
  std::lock_guard lk(impl_->m);
  return impl_->busy || !impl_->queue.empty();
}

int PulseWavPlayer::connectattempts() const { return impl_->attempts; }

std::optional<std::string> PulseWavPlayer::unavailable() {
  const pa_sample_spec spec{PA_SAMPLE_S16NE, 22050, 1};
  int err = 0;
  pa_simple* s = pa_simple_new(nullptr, "zarn", PA_STREAM_PLAYBACK, nullptr, "probe", &spec, nullptr, nullptr, &err);
  if (!s) return std::string(pa_strerror(err));
  pa_simple_free(s);
  return std::nullopt;
}

}  // namespace zarn::platform
