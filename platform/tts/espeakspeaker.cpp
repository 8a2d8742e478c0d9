#include "platform/tts/espeakspeaker.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>
#include <mutex>

namespace zarn::platform {

namespace {

// espeak-ng keeps one synthesiser per process behind its C interface, so it is started once,
// used by one caller at a time and closed when the program ends.
class Engine {
 public:
  static Engine& get() {
    static Engine e;
    return e;
  }
  bool ready() const { return rate_ > 0 && voice_; }
  int rate() const { return rate_; }
  std::mutex m;

 private:
  Engine() {
    rate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate_ <= 0) return;
    espeak_SetSynthCallback(&collect);
    // Chosen by language: the voice files are named by language family, not "en-gb".
    espeak_VOICE british{};
    british.languages = "en-gb";
    voice_ = espeak_SetVoiceByProperties(&british) == EE_OK;
  }
  ~Engine() {
    if (rate_ > 0) espeak_Terminate();
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  static int collect(short* wav, int n, espeak_EVENT* events) {
    auto* out = events ? static_cast<std::vector<short>*>(events->user_data) : nullptr;
    if (out && wav && n > 0) out->insert(out->end(), wav, wav + n);
    return 0;  // go on
  }

  int rate_ = 0;
  bool voice_ = false;
};

// Windows code page 1252 in 128..159; 0 where it has no character.
constexpr char16_t cp1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// espeak-ng makes the samples of a whole text before it returns, so a long text is said in
// pieces of at most this many characters (about ten seconds of speech each): the samples held
// stay few and the first words are heard at once.
constexpr std::size_t piecemax = 160;

// The length of the first piece of a text: up to the last sentence end within piecemax, else
// the last blank, else piecemax characters.
std::size_t piecelength(std::string_view text) {
  if (text.size() <= piecemax) return text.size();
  for (std::size_t i = piecemax; i-- > piecemax / 4;)
    if (text[i + 1] == ' ' && (text[i] == '.' || text[i] == '!' || text[i] == '?')) return i + 1;
  const auto blank = text.find_last_of(' ', piecemax);
  return blank != std::string_view::npos && blank > 0 ? blank : piecemax;
}

}  // namespace

std::string speechtext(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size() * 2);
  for (const char ch : latin1) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F)
      out += ' ';
    else if (b >= 0x80 && b < 0xA0)
      utf8(out, cp1252[b - 0x80] ? cp1252[b - 0x80] : U' ');
    else
      utf8(out, b);
  }
  return out;
}

EspeakSpeaker::EspeakSpeaker(Sink sink) : sink_(std::move(sink)) {}

bool EspeakSpeaker::available() const { return Engine::get().ready(); }

// The five numbers were settings of the old speech library; espeak-ng has no counterpart for
// them, so they are kept for inspection and the voice keeps espeak-ng's own rate and pitch.
void EspeakSpeaker::setsayglobals(int a, int b, int c, int d, int e) { globals_ = {a, b, c, d, e}; }

std::vector<short> EspeakSpeaker::synthesize(const std::string& latin1text, int* rate) {
  Engine& engine = Engine::get();
  std::vector<short> out;
  if (rate) *rate = 0;
  if (!engine.ready()) return out;
  const std::string text = speechtext(latin1text);
  std::lock_guard lk(engine.m);
  // The pause at the end keeps a following prompt from running straight on, as the espeak-ng
  // program does.
  espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8 | espeakENDPAUSE, nullptr,
               &out);
  if (rate) *rate = engine.rate();
  return out;
}

int EspeakSpeaker::say(const std::string& text) {
  if (!available() || !sink_) return 0;
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t n = piecelength(rest);
    int rate = 0;
    auto samples = synthesize(std::string(rest.substr(0, n)), &rate);
    rest.remove_prefix(n);
    if (!samples.empty() && sink_(std::move(samples), rate) == 0) return 0;  // blanks say nothing
  }
  return 1;
}

}  // namespace zarn::platform
