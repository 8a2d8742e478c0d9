// The WAV decoder on real files from espeak-ng and sox, and on cut and damaged bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/wav.h"
#include "wav_testfiles.h"

namespace zarn::platform {
namespace {

std::string u16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
std::string u32(std::uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); }
std::string chunk(const std::string& id, const std::string& b) { return id + u32(std::uint32_t(b.size())) + b; }
std::string riff(const std::string& chunks) { return "RIFF" + u32(std::uint32_t(4 + chunks.size())) + "WAVE" + chunks; }
long samplecount(const std::optional<WavSound>& s) { return s ? static_cast<long>(s->samples.size()) : -1; }
std::string fmtbody(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits) {
  const unsigned align = channels * bits / 8;
  return u16(tag) + u16(channels) + u32(rate) + u32(rate * align) + u16(align) + u16(bits);
}

TEST(WavRealFiles, SpeechInEverySoxEncodingDecodesAsSoxReadsItOrIsRefused) {
  zarn::testing::TempDir dir;
  const auto speech = dir / "speech.wav";
  ASSERT_TRUE(zarn::testing::espeakwav(speech, "Turn left at the next junction")) << "espeak-ng is needed";
  const WavSound orig = readwav(speech).value();
  EXPECT_GT(*std::max_element(orig.samples.begin(), orig.samples.end()), 3000) << "speech, not silence";
  // channels 0: an encoding we cannot play, refused.
  const struct { const char* name; std::vector<std::string> opts; int channels, bits, rate; } cases[] = {
      {"16-bit mono from espeak-ng", {}, 1, 16, 22050},
      {"8-bit unsigned mono", {"-b", "8", "-e", "unsigned-integer"}, 1, 8, 22050},
      {"16-bit stereo", {"-c", "2"}, 2, 16, 22050},
      {"8-bit stereo", {"-b", "8", "-c", "2"}, 2, 8, 22050},
      {"8-bit at another rate", {"-b", "8", "-r", "11025"}, 1, 8, 11025},
      {"24-bit, extensible header", {"-b", "24"}, 0, 0, 0}, {"float", {"-e", "floating-point"}, 0, 0, 0},
      {"u-law", {"-e", "u-law"}, 0, 0, 0}, {"ADPCM", {"-e", "ima-adpcm"}, 0, 0, 0}, {"four", {"-c", "4"}, 0, 0, 0},
  };
  int n = 0;
  for (const auto& c : cases) {
    const auto out = dir / ("conv" + std::to_string(n++) + ".wav");
    ASSERT_TRUE(zarn::testing::soxconvert(speech, c.opts, out)) << c.name;
    const auto s = readwav(out);
    ASSERT_EQ(s.has_value(), c.channels > 0) << c.name;
    if (!s) continue;
    // soxi's count of samples per channel is the reference for frame counts.
    const long soxi = std::atol(zarn::testing::runtool({"soxi", "-s", out.string()}, "").value_or("").c_str());
    EXPECT_EQ((std::tuple{s->channels, s->bits, s->rate, static_cast<long>(s->frames())}),
              (std::tuple{c.channels, c.bits, c.rate, soxi})) << c.name;
    if (c.rate != orig.rate) continue;  // resampled: the values differ
    ASSERT_EQ(s->frames(), orig.frames()) << c.name;
    // 8 bits keep the top byte of each value: off by less than one step of 256.
    int worst = 0;
    for (std::size_t i = 0; i < s->samples.size(); ++i)
      worst = std::max(worst, std::abs(s->samples[i] - orig.samples[i / static_cast<std::size_t>(c.channels)]));
    EXPECT_LE(worst, c.bits == 8 ? 256 : 0) << c.name;
  }

  // A cut file gives the whole frames present, and never crashes the decoder.
  const std::string bytes = dir.get(speech);
  const std::size_t header = bytes.find("data") + 8;
  for (std::size_t cut = 0; cut <= header + 301; ++cut)
    ASSERT_EQ(samplecount(decodewav(bytes.substr(0, cut))), cut < header ? -1 : long(cut - header) / 2) << cut;
  EXPECT_EQ(decodewav(bytes.substr(0, bytes.size() - 1)).value().samples.size(), (bytes.size() - header) / 2 - 1);
}

TEST(WavBytes, ChunkLayoutsSeenInTheWild) {
  const std::string pcm = u16(1000) + u16(0xFC18) + u16(32767) + u16(0x8000);
  const std::string fmt = chunk("fmt ", fmtbody(1, 1, 8000, 16)), data = chunk("data", pcm);
  const auto withfmt = [&](unsigned tag, unsigned ch, std::uint32_t rate, unsigned bits) {
    return riff(chunk("fmt ", fmtbody(tag, ch, rate, bits)) + data);
  };
  const struct { const char* name; std::string bytes; int samples; /* -1: refused */ } cases[] = {
      {"odd-length chunk before fmt is padded", riff(chunk("LIST", "abc") + std::string(1, '\0') + fmt + data), 4},
      {"data before fmt", riff(data + chunk("fmt ", fmtbody(1, 2, 8000, 16))), 4},
      {"fmt with extra bytes", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16) + u16(0)) + data), 4},
      {"extensible PCM",
       riff(chunk("fmt ", fmtbody(0xFFFE, 1, 8000, 16) + u16(22) + u16(16) + u32(4) + u16(1) +
                              std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14)) + data),
       4},
      {"streamed: data length unknown", riff(fmt + "data" + u32(0xFFFFFFFF) + pcm), 4},
      {"RIFF length wrong", "RIFF" + u32(0) + "WAVE" + fmt + data, 4}, {"empty data", riff(fmt + chunk("data", "")), 0},
      {"odd byte in 16-bit data", riff(fmt + chunk("data", pcm + "x")), 4},
      {"stereo half frame at the end", riff(chunk("fmt ", fmtbody(1, 2, 8000, 16)) + chunk("data", pcm + "xy")), 4},
      {"no channels", withfmt(1, 0, 8000, 16), -1}, {"rate 0", withfmt(1, 1, 0, 16), -1},
      {"12-bit", withfmt(1, 1, 8000, 12), -1}, {"A-law", withfmt(6, 1, 8000, 8), -1},
      {"no data", riff(fmt), -1}, {"no fmt", riff(data), -1},
      {"fmt too short", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16).substr(0, 14)) + data), -1},
      {"fmt longer than the file", riff("fmt " + u32(0xFFFFFFFF) + fmtbody(1, 1, 8000, 16)), -1},
      {"huge chunk before fmt", riff(chunk("LIST", "ab").replace(4, 4, u32(0xFFFFFFF0))), -1},
      {"not WAVE", "RIFF" + u32(4) + "AVI " + data, -1}, {"RIFX", "RIFX" + u32(4) + "WAVE" + fmt + data, -1},
      {"text file", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(samplecount(decodewav(c.bytes)), c.samples) << c.name;
  EXPECT_EQ(decodewav(riff(fmt + data)).value().samples, (std::vector<std::int16_t>{1000, -1000, 32767, -32768}));
  const auto s8 =
      decodewav(riff(chunk("fmt ", fmtbody(1, 2, 11025, 8)) + chunk("data", std::string("\x80\x00\xFF\x81", 4))));
  EXPECT_EQ((std::pair{s8.value().samples, s8->seconds()}),
            (std::pair{std::vector<std::int16_t>{0, -32768, 32512, 256}, 2.0 / 11025})) << "8-bit samples are unsigned";
  for (const char* f : {"/nonexistent/zarn/prompt.wav", "/tmp", ""}) EXPECT_FALSE(readwav(f)) << f;
}

}  // namespace
}  // namespace zarn::platform
