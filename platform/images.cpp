#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/files.h"
#include "platform/services.h"

namespace zarn::platform {

namespace fs = std::filesystem;

namespace {
std::size_t bytesof(const ui::Picture& p) {
  return static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 4;
}
std::string pixels(long long w, long long h) { return std::to_string(w) + " x " + std::to_string(h) + " pixels"; }

long long nanos(const timespec& t) { return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

fs::file_time_type filetime(long long ns) {
  using namespace std::chrono;
  return time_point_cast<fs::file_time_type::duration>(file_clock::from_sys(sys_time<nanoseconds>(nanoseconds(ns))));
}

// FNV-1a over the file's bytes taken eight at a time (it is taken whenever a picture's mode or
// owner changes, so it must be much cheaper than decoding); nullopt when it cannot be read through.
std::optional<std::uint64_t> checksum(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::uint64_t h = 14695981039346656037ULL;
  constexpr std::uint64_t prime = 1099511628211ULL;
  std::vector<char> buf(std::size_t{1} << 16);
  while (in.read(buf.data(), static_cast<std::streamsize>(buf.size())) || in.gcount() > 0) {
    const auto n = static_cast<std::size_t>(in.gcount());
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
      std::uint64_t w = 0;
      std::memcpy(&w, buf.data() + i, 8);
      h = (h ^ w) * prime;
      h ^= h >> 29;  // the high bits of each word reach the low ones of the next
    }
    for (; i < n; ++i) h = (h ^ static_cast<unsigned char>(buf[i])) * prime;
    if (!in) break;
  }
  if (in.bad()) return std::nullopt;
  return h;
}
}  // namespace

std::string ImageStore::limitof(int w, int h, PictureUse use) const {
  if (use == PictureUse::map) {
    if (w > mapside || h > mapside || static_cast<long long>(w) * h > mappixels)
      return "is too large to draw: " + pixels(w, h);
    return {};
  }
  const ScreenArea a = screen_ ? screen_() : ScreenArea{};
  const int sw = a.left + a.width, sh = a.top + a.height;
  if (w > sw || h > sh) return "is too large to show: " + pixels(w, h) + ", the screen " + pixels(sw, sh);
  return {};
}

void ImageStore::keep(const ui::PictureRef& pic) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (*it == pic) {
      kept_.splice(kept_.begin(), kept_, it);
      return;
    }
  }
  const std::size_t n = bytesof(*pic);
  if (n > keptbytes) return;
  kept_.push_front(pic);
  keptsize_ += n;
  while (keptsize_ > keptbytes) {
    keptsize_ -= bytesof(*kept_.back());
    kept_.pop_back();
  }
}

ui::PictureRef ImageStore::load(const fs::path& file, PictureUse use, std::string* why) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  const Stamp stamp{static_cast<std::uintmax_t>(st.st_dev), static_cast<std::uintmax_t>(st.st_ino),
                    static_cast<std::uintmax_t>(st.st_size), nanos(st.st_mtim), nanos(st.st_ctim)};
  // The status-change time is the system's own clock at the last change, whatever date the
  // file was given, so it tells when the file has settled.
  const bool calm = settled(filetime(stamp.ctime));
  auto [at, added] = entries_.try_emplace(file.string());
  Entry& e = at->second;
  bool same = !added && e.stamp == stamp;
  if (!same && !added && e.sum && std::tie(e.stamp.dev, e.stamp.ino, e.stamp.size, e.stamp.mtime) ==
                                      std::tie(stamp.dev, stamp.ino, stamp.size, stamp.mtime)) {
    // Only the status changed (its mode, owner or links), or it was written with its date set
    // back: the bytes tell which.
    same = checksum(file) == e.sum;
    if (same) {
      e.stamp = stamp;
      e.recheck = !calm;
    }
  }
  if (same && e.recheck && calm) {
    // Only what was decoded is compared; the header is read again anyway.
    same = e.sum && checksum(file) == e.sum;
    e.recheck = false;
  }
  if (!same) {
    e = Entry{};
    e.stamp = stamp;
    e.recheck = !calm;
  }
  auto refuse = [&](const std::string& reason) -> ui::PictureRef {
    if (why)
      *why = reason;
    else if (tell_ && !e.refused)
      tell_(file.filename().string() + " " + reason);
    e.refused = true;
    return nullptr;
  };
  if (e.failed) return e.refusal.empty() ? nullptr : refuse(e.refusal);
  if (e.width <= 0) {
    const auto claimed = measure(file);
    if (!claimed) return nullptr;
    if (claimed->first > 0 && claimed->second > 0) std::tie(e.width, e.height) = *claimed;
  }
  const bool known = e.width > 0;
  if (known)
    if (std::string r = limitof(e.width, e.height, use); !r.empty()) return refuse(r);
  if (ui::PictureRef pic = e.pic.lock()) {
    keep(pic);
    return pic;
  }
  // Before decoding, so that a change meanwhile shows.
  if (!e.sum) e.sum = checksum(file);
  ++decodes_;
  ui::PictureRef pic = decode(file);
  if (!pic) {
    e.failed = true;
    // Without a size from the header, a failed decode is most likely a picture too large for
    // the decoder, which the user should hear of as of any other.
    if (known) return nullptr;
    e.refusal = "is too large or damaged: no picture could be read from it";
    return refuse(e.refusal);
  }
  e.width = pic->width;
  e.height = pic->height;
  if (std::string r = limitof(pic->width, pic->height, use); !r.empty()) return refuse(r);
  e.pic = pic;
  keep(pic);
  return pic;
}

}  // namespace zarn::platform
