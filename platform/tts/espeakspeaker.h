// Text-to-speech with espeak-ng in a British English voice. Speech is made into samples here
// and handed to a sink that plays them (the WAV player, so that speech waits behind a prompt
// that is still playing instead of talking over it).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"

namespace zarn::platform {

class EspeakSpeaker final : public Speaker {
 public:
  // Plays 16-bit mono samples at the given rate to the end; non-zero when played.
  using Sink = std::function<int(std::vector<short> samples, int rate)>;
  explicit EspeakSpeaker(Sink sink = {});

  // espeak-ng started and the voice found.
  bool available() const override;
  void setsayglobals(int a, int b, int c, int d, int e) override;
  // Speaks a Latin-1 text and returns when it has been said; 0 when it could not be. A long
  // text goes to the sink in pieces, a sentence or a few words at a time.
  int say(const std::string& text) override;

  // The speech for a Latin-1 text as 16-bit mono samples; *rate gets the sample rate
  // (0 and no samples when espeak-ng is not available).
  std::vector<short> synthesize(const std::string& latin1text, int* rate = nullptr);

  const std::array<int, 5>& sayglobals() const { return globals_; }

 private:
  Sink sink_;
  std::array<int, 5> globals_{};
};

// The program's 8-bit text as UTF-8 for the synthesiser. Bytes 128 to 159, control codes in
// Latin-1, are read as the Windows code page has them (curly quotes, dashes, euro sign), the
// way the program's own texts were typed; control characters become blanks.
std::string speechtext(std::string_view latin1);

}  // namespace zarn::platform
