// The WAV decoder on real files from espeak-ng and sox, and on cut and damaged bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/fakes.h"
#include "platform/wav.h"
#include "wav_testfiles.h"

namespace zarn::platform {
namespace {

using zarn::testing::TempDir;

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

class WavRealFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(zarn::testing::espeakwav(speech, "Turn left at the next junction")) << "espeak-ng is needed";
  }
  TempDir dir;
  std::filesystem::path speech = dir / "speech.wav";
};

TEST_F(WavRealFiles, SpeechFromEspeakDecodesWhole) {
  const auto s = readwav(speech);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->rate, 22050);
  EXPECT_EQ(s->channels, 1);
  EXPECT_EQ(s->bits, 16);
  EXPECT_EQ(static_cast<long>(s->frames()), soxframes(speech));
  EXPECT_GT(s->seconds(), 1.0);
  EXPECT_LT(s->seconds(), 5.0);
  EXPECT_GT(zarn::testing::rms(s->samples), 300);  // speech, not silence
}

TEST_F(WavRealFiles, EightBitStereoAndOtherRatesMatchTheOriginal) {
  const auto orig = readwav(speech);
  ASSERT_TRUE(orig);
  struct Case {
    const char* name;
    std::vector<std::string> opts;
    int channels, bits, rate;
  };
  const Case cases[] = {
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
    EXPECT_EQ(s->channels, c.channels) << c.name;
    EXPECT_EQ(s->bits, c.bits) << c.name;
    EXPECT_EQ(s->rate, c.rate) << c.name;
    EXPECT_EQ(static_cast<long>(s->frames()), soxframes(out)) << c.name;
    if (c.rate != orig->rate) continue;  // resampled: the values differ
    ASSERT_EQ(s->frames(), orig->frames()) << c.name;
    // 8 bits keep the top byte of each value: off by less than one step of 256.
    const int tolerance = c.bits == 8 ? 256 : 0;
    int worst = 0;
    for (std::size_t f = 0; f < s->frames(); ++f)
      for (int ch = 0; ch < c.channels; ++ch)
        worst = std::max(
            worst,
            std::abs(s->samples[f * static_cast<std::size_t>(c.channels) + static_cast<std::size_t>(ch)] -
                     orig->samples[f]));
    EXPECT_LE(worst, tolerance) << c.name;
  }
}

TEST_F(WavRealFiles, EncodingsWeCannotPlayAreRefused) {
  struct Case {
    const char* name;
    std::vector<std::string> opts;
  };
  const Case cases[] = {
      {"24-bit (extensible header)", {"-b", "24"}},
      {"32-bit float", {"-e", "floating-point"}},
      {"mu-law", {"-e", "u-law"}},
      {"IMA ADPCM", {"-e", "ima-adpcm"}},
      {"four channels", {"-c", "4"}},
  };
  int n = 0;
  for (const auto& c : cases) {
    const auto out = dir / ("enc" + std::to_string(n++) + ".wav");
    ASSERT_TRUE(zarn::testing::soxconvert(speech, c.opts, out)) << c.name;
    EXPECT_FALSE(readwav(out)) << c.name;
  }
}

TEST_F(WavRealFiles, TruncatedFileGivesTheWholeFramesThatArePresent) {
  const std::string bytes = zarn::testing::filebytes(speech);
  const std::size_t header = bytes.find("data") + 8;
  ASSERT_GT(bytes.size(), header + 1000);
  for (std::size_t cut = 0; cut <= header + 301; ++cut) {
    const auto s = decodewav(std::string_view(bytes).substr(0, cut));
    if (cut < header) {
      EXPECT_FALSE(s) << "cut at " << cut;
    } else {
      ASSERT_TRUE(s) << "cut at " << cut;
      EXPECT_EQ(s->samples.size(), (cut - header) / 2) << "cut at " << cut;
    }
  }
  const auto s = decodewav(std::string_view(bytes).substr(0, bytes.size() - 1));  // half a sample short
  ASSERT_TRUE(s);
  EXPECT_EQ(s->samples.size(), (bytes.size() - header) / 2 - 1);
}

TEST_F(WavRealFiles, DamagedBytesNeverCrashTheDecoder) {
  const std::string orig = zarn::testing::filebytes(speech);
  std::mt19937 rng(20201026);
  for (int round = 0; round < 3000; ++round) {
    std::string b = orig.substr(0, 44 + rng() % 400);
    const int hits = 1 + static_cast<int>(rng() % 4);
    for (int h = 0; h < hits; ++h) b[rng() % std::min<std::size_t>(b.size(), 48)] = static_cast<char>(rng());
    const auto s = decodewav(b);
    if (!s) continue;
    EXPECT_TRUE(s->channels == 1 || s->channels == 2);
    EXPECT_TRUE(s->bits == 8 || s->bits == 16);
    EXPECT_EQ(s->samples.size() % static_cast<std::size_t>(s->channels), 0u);
    EXPECT_LE(s->samples.size(), b.size());
  }
}

TEST(WavBytes, ChunkLayoutsSeenInTheWild) {
  const std::string pcm = u16(1000) + u16(static_cast<unsigned>(-1000 & 0xFFFF)) + u16(32767) + u16(0x8000);
  struct Case {
    const char* name;
    std::string bytes;
    bool ok;
    std::size_t samples;
  };
  const Case cases[] = {
      {"canonical", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16)) + chunk("data", pcm)), true, 4},
      {"odd-length chunk before fmt is padded",
       riff(chunk("LIST", "abc") + std::string(1, '\0') + chunk("fmt ", fmtbody(1, 1, 8000, 16)) +
            chunk("data", pcm)),
       true, 4},
      {"data before fmt", riff(chunk("data", pcm) + chunk("fmt ", fmtbody(1, 2, 8000, 16))), true, 4},
      {"fmt with extra bytes", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16) + u16(0)) + chunk("data", pcm)),
       true, 4},
      {"extensible PCM",
       riff(chunk("fmt ", fmtbody(0xFFFE, 1, 8000, 16) + u16(22) + u16(16) + u32(4) + u16(1) +
                              std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14)) +
            chunk("data", pcm)),
       true, 4},
      {"streamed: data length unknown",
       riff(chunk("fmt ", fmtbody(1, 1, 8000, 16)) + "data" + u32(0xFFFFFFFF) + pcm), true, 4},
      {"RIFF length wrong",
       "RIFF" + u32(0) + "WAVE" + chunk("fmt ", fmtbody(1, 1, 8000, 16)) + chunk("data", pcm), true, 4},
      {"empty data", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16)) + chunk("data", "")), true, 0},
      {"odd byte in 16-bit data", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16)) + chunk("data", pcm + "x")),
       true, 4},
      {"stereo half frame at the end",
       riff(chunk("fmt ", fmtbody(1, 2, 8000, 16)) + chunk("data", pcm + "xy")), true, 4},
      {"no data", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16))), false, 0},
      {"no fmt", riff(chunk("data", pcm)), false, 0},
      {"fmt too short", riff(chunk("fmt ", fmtbody(1, 1, 8000, 16).substr(0, 14)) + chunk("data", pcm)),
       false, 0},
      {"fmt longer than the file", riff("fmt " + u32(0xFFFFFFFF) + fmtbody(1, 1, 8000, 16)), false, 0},
      {"huge chunk before fmt", riff(chunk("LIST", "ab").replace(4, 4, u32(0xFFFFFFF0))), false, 0},
      {"no channels", riff(chunk("fmt ", fmtbody(1, 0, 8000, 16)) + chunk("data", pcm)), false, 0},
      {"rate 0", riff(chunk("fmt ", fmtbody(1, 1, 0, 16)) + chunk("data", pcm)), false, 0},
      {"12-bit", riff(chunk("fmt ", fmtbody(1, 1, 8000, 12)) + chunk("data", pcm)), false, 0},
      {"A-law", riff(chunk("fmt ", fmtbody(6, 1, 8000, 8)) + chunk("data", pcm)), false, 0},
      {"not WAVE", "RIFF" + u32(4) + "AVI " + chunk("data", pcm), false, 0},
      {"RIFX", "RIFX" + u32(4) + "WAVE" + chunk("fmt ", fmtbody(1, 1, 8000, 16)) + chunk("data", pcm), false,
       0},
      {"empty", "", false, 0},
      {"text file", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n", false, 0},
  };
  for (const auto& c : cases) {
    const auto s = decodewav(c.bytes);
    ASSERT_EQ(s.has_value(), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(s->samples.size(), c.samples) << c.name;
    }
  }
}

TEST(WavBytes, SampleValuesAndSigns) {
  const auto s16 = decodewav(riff(chunk("fmt ", fmtbody(1, 1, 8000, 16)) +
                                  chunk("data", u16(1000) + u16(0xFC18) + u16(32767) + u16(0x8000))));
  ASSERT_TRUE(s16);
  EXPECT_EQ(s16->samples, (std::vector<std::int16_t>{1000, -1000, 32767, -32768}));
  const auto s8 = decodewav(
      riff(chunk("fmt ", fmtbody(1, 2, 11025, 8)) + chunk("data", std::string("\x80\x00\xFF\x81", 4))));
  ASSERT_TRUE(s8);
  EXPECT_EQ(s8->samples, (std::vector<std::int16_t>{0, -32768, 32512, 256}));
  EXPECT_EQ(s8->frames(), 2u);
  EXPECT_DOUBLE_EQ(s8->seconds(), 2.0 / 11025);
}

TEST(WavFiles, MissingOrNotAFile) {
  EXPECT_FALSE(readwav("/nonexistent/zarn/prompt.wav"));
  EXPECT_FALSE(readwav("/tmp"));
  EXPECT_FALSE(readwav(""));
}

TEST_F(WavRealFiles, RecordingPlayerNotesTheDecodedLength) {
  RecordingWavPlayer rec;
  const auto plain = dir / "header-only.wav";
  std::ofstream(plain, std::ios::binary) << "RIFF" << u32(4) << "WAVE";
  EXPECT_NE(rec.play(speech, true), 0);
  EXPECT_NE(rec.play(plain, false), 0);
  EXPECT_EQ(rec.play(dir / "missing.wav", true), 0);
  ASSERT_EQ(rec.played.size(), 2u);
  EXPECT_NEAR(rec.played[0].seconds, readwav(speech)->seconds(), 1e-9);
  EXPECT_EQ(rec.played[1].seconds, -1);
}

}  // namespace
}  // namespace zarn::platform
