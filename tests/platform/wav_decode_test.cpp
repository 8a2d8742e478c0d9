// The WAV decoder on real files from espeak-ng and sox, and on cut and damaged bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/wav.h"
#include "wav_testfiles.h"

namespace zarn::platform {
namespace {

std::string u16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
std::string u32(std::uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); }
std::string chunk(const std::string& id, const std::string& body) {
  return id + u32(static_cast<std::uint32_t>(body.size())) + body;
}
std::string fmtbody(unsigned tag, unsigned channels, std::uint32_t rate, unsigned bits) {
  const unsigned align = channels * bits / 8;
  return u16(tag) + u16(channels) + u32(rate) + u32(rate * align) + u16(align) + u16(bits);
}
std::string riff(const std::string& chunks) {
  return "RIFF" + u32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

// soxi's count of samples per channel, the reference for frame counts.
long soxframes(const std::filesystem::path& f) {
  const auto out = zarn::testing::runtool({"soxi", "-s", f.string()}, "");
  return out ? std::atol(out->c_str()) : -1;
}

struct WavRealFiles : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(zarn::testing::espeakwav(speech, "Turn left at the next junction")) << "espeak-ng is needed";
  }
  zarn::testing::TempDir dir;
  std::filesystem::path speech = dir / "speech.wav";
};

TEST_F(WavRealFiles, SpeechAndItsSoxConversionsDecodeAsSoxReadsThem) {
  const auto orig = readwav(speech);
  ASSERT_TRUE(orig);
  EXPECT_EQ(static_cast<long>(orig->frames()), soxframes(speech));
  EXPECT_GT(zarn::testing::rms(orig->samples), 300);  // speech, not silence
  const struct { const char* name; std::vector<std::string> opts; int channels, bits, rate; } cases[] = {
      {"16-bit mono from espeak-ng", {}, 1, 16, 22050},
      {"8-bit unsigned mono", {"-b", "8", "-e", "unsigned-integer"}, 1, 8, 22050},
      {"16-bit stereo", {"-c", "2"}, 2, 16, 22050},
      {"8-bit stereo", {"-b", "8", "-c", "2"}, 2, 8, 22050},
      {"8-bit at another rate", {"-b", "8", "-r", "11025"}, 1, 8, 11025},
  };
  int n = 0;
  for (const auto& c : cases) {
    const auto out = dir / ("conv" + std::to_string(n++) + ".wav");
    ASSERT_TRUE(zarn::testing::soxconvert(speech, c.opts, out)) << c.name;
    const auto s = readwav(out);
    ASSERT_TRUE(s) << c.name;
    EXPECT_EQ(std::vector({s->channels, s->bits, s->rate}), std::vector({c.channels, c.bits, c.rate})) << c.name;
    EXPECT_EQ(static_cast<long>(s->frames()), soxframes(out)) << c.name;
    if (c.rate != orig->rate) continue;  // resampled: the values differ
    ASSERT_EQ(s->frames(), orig->frames()) << c.name;
    // 8 bits keep the top byte of each value: off by less than one step of 256.
    int worst = 0;
    for (std::size_t i = 0; i < s->samples.size(); ++i)
      worst = std::max(worst, std::abs(s->samples[i] - orig->samples[i / static_cast<std::size_t>(c.channels)]));
    EXPECT_LE(worst, c.bits == 8 ? 256 : 0) << c.name;
  }
}

TEST_F(WavRealFiles, EncodingsWeCannotPlayAreRefused) {
  const std::vector<std::string> cases[] = {
      {"-b", "24"} /* extensible header */, {"-e", "floating-point"}, {"-e", "u-law"}, {"-e", "ima-adpcm"},
      {"-c", "4"}};
  int n = 0;
  for (const auto& opts : cases) {
    const auto out = dir / ("enc" + std::to_string(n++) + ".wav");
    ASSERT_TRUE(zarn::testing::soxconvert(speech, opts, out)) << opts[1];
    EXPECT_FALSE(readwav(out)) << opts[1];
  }
}

TEST_F(WavRealFiles, CutOrDamagedBytesNeverCrashTheDecoder) {
  const std::string bytes = dir.get(speech);
  const std::size_t header = bytes.find("data") + 8;
  ASSERT_GT(bytes.size(), header + 1000);
  for (std::size_t cut = 0; cut <= header + 301; ++cut) {
    const auto s = decodewav(std::string_view(bytes).substr(0, cut));
    ASSERT_EQ(s.has_value(), cut >= header) << "cut at " << cut;
    if (s) {
      EXPECT_EQ(s->samples.size(), (cut - header) / 2) << "the whole frames present, cut at " << cut;
    }
  }
  const auto s = decodewav(std::string_view(bytes).substr(0, bytes.size() - 1));  // half a sample short
  ASSERT_TRUE(s);
  EXPECT_EQ(s->samples.size(), (bytes.size() - header) / 2 - 1);

  std::mt19937 rng(20201026);
  for (int round = 0; round < 3000; ++round) {
    std::string b = bytes.substr(0, 44 + rng() % 400);
    for (int h = 1 + static_cast<int>(rng() % 4); h > 0; --h)
      b[rng() % std::min<std::size_t>(b.size(), 48)] = static_cast<char>(rng());
    const auto d = decodewav(b);
    if (!d) continue;
    EXPECT_TRUE(d->channels == 1 || d->channels == 2);
    EXPECT_TRUE(d->bits == 8 || d->bits == 16);
    EXPECT_EQ(d->samples.size() % static_cast<std::size_t>(d->channels), 0u);
    EXPECT_LE(d->samples.size(), b.size());
  }
}

TEST(WavBytes, ChunkLayoutsSeenInTheWild) {
  const std::string pcm = u16(1000) + u16(0xFC18) + u16(32767) + u16(0x8000);
  const std::string fmt = chunk("fmt ", fmtbody(1, 1, 8000, 16)), data = chunk("data", pcm);
  const struct { const char* name; std::string bytes; int samples; /* -1: refused */ } cases[] = {
      {"odd-length chunk before fmt is padded", riff(chunk("LIST", "abc") + std::string(1, '\0') + fmt + data), 4},
      {"data before fmt", riff(data + chunk("fmt ", fmtbody(1, 2, 8000, 16))), 4},
      {"fmt with extra bytes", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16) + u16(0)) + data), 4},
      {"extensible PCM",
       riff(chunk("fmt ", fmtbody(0xFFFE, 1, 8000, 16) + u16(22) + u16(16) + u32(4) + u16(1) +
                              std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14)) +
            data),
       4},
      {"streamed: data length unknown", riff(fmt + "data" + u32(0xFFFFFFFF) + pcm), 4},
      {"RIFF length wrong", "RIFF" + u32(0) + "WAVE" + fmt + data, 4},
      {"empty data", riff(fmt + chunk("data", "")), 0},
      {"odd byte in 16-bit data", riff(fmt + chunk("data", pcm + "x")), 4},
      {"stereo half frame at the end", riff(chunk("fmt ", fmtbody(1, 2, 8000, 16)) + chunk("data", pcm + "xy")), 4},
      {"no data", riff(fmt), -1},
      {"no fmt", riff(data), -1},
      {"fmt too short", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16).substr(0, 14)) + data), -1},
      {"fmt longer than the file", riff("fmt " + u32(0xFFFFFFFF) + fmtbody(1, 1, 8000, 16)), -1},
      {"huge chunk before fmt", riff(chunk("LIST", "ab").replace(4, 4, u32(0xFFFFFFF0))), -1},
      {"no channels", riff(chunk("fmt ", fmtbody(1, 0, 8000, 16)) + data), -1},
      {"rate 0", riff(chunk("fmt ", fmtbody(1, 1, 0, 16)) + data), -1},
      {"12-bit", riff(chunk("fmt ", fmtbody(1, 1, 8000, 12)) + data), -1},
      {"A-law", riff(chunk("fmt ", fmtbody(6, 1, 8000, 8)) + data), -1},
      {"not WAVE", "RIFF" + u32(4) + "AVI " + data, -1},
      {"RIFX", "RIFX" + u32(4) + "WAVE" + fmt + data, -1},
      {"text file", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n", -1},
  };
  for (const auto& c : cases) {
    const auto s = decodewav(c.bytes);
    EXPECT_EQ(s ? static_cast<int>(s->samples.size()) : -1, c.samples) << c.name;
  }

  const auto s16 = decodewav(riff(fmt + data));
  ASSERT_TRUE(s16);
  EXPECT_EQ(s16->samples, (std::vector<std::int16_t>{1000, -1000, 32767, -32768}));
  const auto s8 =
      decodewav(riff(chunk("fmt ", fmtbody(1, 2, 11025, 8)) + chunk("data", std::string("\x80\x00\xFF\x81", 4))));
  ASSERT_TRUE(s8);
  EXPECT_EQ(s8->samples, (std::vector<std::int16_t>{0, -32768, 32512, 256})) << "8-bit samples are unsigned";
  EXPECT_DOUBLE_EQ(s8->seconds(), 2.0 / 11025);
  for (const char* f : {"/nonexistent/zarn/prompt.wav", "/tmp", ""}) EXPECT_FALSE(readwav(f)) << f;
}

}  // namespace
}  // namespace zarn::platform
