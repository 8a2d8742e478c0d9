#include <string>

#include "platform/files.h"
#include "platform/services.h"

namespace zarn::platform {

namespace fs = std::filesystem;

namespace {
std::size_t bytesof(const ui::Picture& p) {
  return static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 4;
}
std::string pixels(long long w, long long h) { return std::to_string(w) + " x " + std::to_string(h) + " pixels"; }
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
  if (!regularorabsent(file)) return nullptr;
  std::error_code ec;
  const auto time = fs::last_write_time(file, ec);
  if (ec) return nullptr;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (ec) return nullptr;
  Entry& e = entries_[file.string()];
  // A file changed within the last moments may change again without its time moving.
  if (e.time == time && e.size == size && settled(time)) {
    if (!e.refusal.empty()) {
      // The limit depends on the use: a refused map may still be refused as an icon, so it is
      // judged again below (from the header alone).
      if (why) *why = e.refusal;
      if (use == PictureUse::shown) return nullptr;
    } else if (ui::PictureRef pic = e.pic.lock()) {
      if (limitof(pic->width, pic->height, use).empty()) {
        keep(pic);
        return pic;
      }
    }
  }
  const bool told = e.time == time && e.size == size && !e.refusal.empty();
  e = Entry{time, size, {}, {}};
  auto refuse = [&](std::string reason) -> ui::PictureRef {
    e.refusal = reason;
    if (why)
      *why = std::move(reason);
    else if (tell_ && !told)
      tell_(file.filename().string() + " " + reason);
    return nullptr;
  };
  const auto claimed = measure(file);
  if (!claimed) return nullptr;
  if (claimed->first > 0 && claimed->second > 0)
    if (std::string r = limitof(claimed->first, claimed->second, use); !r.empty()) return refuse(std::move(r));
  ++decodes_;
  ui::PictureRef pic = decode(file);
  if (!pic) return nullptr;
  if (std::string r = limitof(pic->width, pic->height, use); !r.empty()) return refuse(std::move(r));
  e.pic = pic;
  keep(pic);
  return pic;
}

}  // namespace zarn::platform
