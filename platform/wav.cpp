#include "platform/wav.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

namespace zarn::platform {

namespace {

std::uint32_t le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}
std::uint32_t le32(std::string_view b, std::size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

constexpr std::uint32_t formatpcm = 1, formatextensible = 0xFFFE;
constexpr std::uintmax_t largestfile = 64u << 20;  // far beyond any prompt

}  // namespace

std::optional<WavSound> decodewav(std::string_view b) {
  if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE") return std::nullopt;
  // The RIFF length is not trusted: writers that stream often leave it wrong.
  std::optional<std::string_view> fmt, data;
  std::size_t pos = 12;
  while (b.size() - pos >= 8 && !(fmt && data)) {
    const std::string_view id = b.substr(pos, 4);
    const std::size_t len = le32(b, pos + 4);
    const std::size_t start = pos + 8, avail = b.size() - start;
    if (id == "fmt " && !fmt) {
      if (len < 16 || len > avail) return std::nullopt;
      fmt = b.substr(start, len);
    } else if (id == "data" && !data) {
      data = b.substr(start, std::min(len, avail));
    }
    if (len > avail) break;
    pos = start + len;
    if (len % 2 && pos < b.size()) ++pos;  // chunks are padded to an even length
  }
  if (!fmt || !data) return std::nullopt;
  std::uint32_t tag = le16(*fmt, 0);
  if (tag == formatextensible && fmt->size() >= 26)
    tag = le16(*fmt, 24);  // first bytes of the sub-format GUID
  WavSound s;
  s.channels = static_cast<int>(le16(*fmt, 2));
  const std::uint32_t rate = le32(*fmt, 4);
  s.bits = static_cast<int>(le16(*fmt, 14));
  if (tag != formatpcm || (s.channels != 1 && s.channels != 2) || (s.bits != 8 && s.bits != 16) ||
      rate == 0 || rate > 384000)
    return std::nullopt;
  s.rate = static_cast<int>(rate);
  const std::size_t width = static_cast<std::size_t>(s.bits / 8);
  const std::size_t framebytes = width * static_cast<std::size_t>(s.channels);
  const std::size_t count = data->size() / framebytes * static_cast<std::size_t>(s.channels);
  s.samples.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (width == 1)  // 8-bit samples are unsigned, centred on 128
      s.samples[i] =
          static_cast<std::int16_t>((static_cast<int>(static_cast<unsigned char>((*data)[i])) - 128) * 256);
    else
      s.samples[i] = static_cast<std::int16_t>(le16(*data, 2 * i));
  }
  return s;
}

std::optional<WavSound> readwav(const std::filesystem::path& file) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec || size > largestfile) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return decodewav(bytes);
}

}  // namespace zarn::platform
