// WAV prompts and the beep through PulseAudio (PipeWire desktops serve the same protocol).
//
// All sound goes through one private worker thread that plays one sound after another on one
// stream, so a sound started without waiting is never cut off by the next: the next waits its
// turn. play(..., true) returns when its sound has ended. Without a sound server every call
// returns 0 at once and quietly; the connection is tried again at most every few seconds.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/services.h"
#include "platform/wav.h"

namespace zarn::platform {

class PulseWavPlayer final : public WavPlayer {
 public:
  PulseWavPlayer();
  ~PulseWavPlayer() override;  // stops what is still playing
  PulseWavPlayer(const PulseWavPlayer&) = delete;
  PulseWavPlayer& operator=(const PulseWavPlayer&) = delete;

  int play(const std::filesystem::path& wav, bool sync) override;
  void beep() override;
  bool playing() override;
  // Decoded sound, e.g. from the speech synthesiser, queued behind any prompt still playing.
  // Non-zero when played (sync) or accepted for playing (not sync).
  int playsound(WavSound sound, bool sync);

  // How often a connection to the sound server was tried.
  int connectattempts() const;
  // Why no sound can be played (the server cannot be reached), or nothing when it can; asks the
  // server at once.
  std::optional<std::string> unavailable();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zarn::platform
