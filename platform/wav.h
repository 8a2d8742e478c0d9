// RIFF/WAVE files of PCM sound, 8 or 16 bits, mono or stereo, any rate: the recorded prompts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace zarn::platform {

struct WavSound {
  int rate = 0;                       // frames a second
  int channels = 0;                   // 1 or 2
  int bits = 0;                       // as stored in the file: 8 or 16
  std::vector<std::int16_t> samples;  // 16-bit, channels interleaved

  std::size_t frames() const {
    return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0;
  }
  double seconds() const { return rate > 0 ? static_cast<double>(frames()) / rate : 0; }
};

// nullopt when the bytes are not a PCM WAV we can play. A data chunk cut short by a truncated
// file gives the whole frames that are there.
std::optional<WavSound> decodewav(std::string_view bytes);
// The same for a file; nullopt also when it is missing, unreadable or implausibly large.
std::optional<WavSound> readwav(const std::filesystem::path& file);

}  // namespace zarn::platform
