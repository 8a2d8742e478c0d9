#include "mapdisplay/pictures.h"

#include <filesystem>
#include <fstream>

#include "mapdisplay/mapview.h"
#include "platform/files.h"
#include "platform/services.h"

namespace zarn {

ui::PictureRef loadpicture(const platform::Files& files, platform::ImageStore& images, const std::string& name,
                           std::string* why, platform::PictureUse use) {
  if (name.empty()) return nullptr;
  const auto path = files.resolve(name);
  std::string refusal;
  auto pic = images.load(path, use, why ? &refusal : nullptr);
  if (pic || !why) return pic;
  if (!refusal.empty()) {
    *why = name + " " + refusal;
    return nullptr;
  }
  std::error_code ec;
  const auto st = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(st))
    *why = name + " is missing";
  else if (!std::filesystem::is_regular_file(st) || !std::ifstream(path, std::ios::binary))
    *why = name + " cannot be read";
  else if (std::filesystem::file_size(path, ec) == 0)
    *why = name + " is empty";
  else
    *why = name + " is damaged: not a picture that can be shown";
  return nullptr;
}

ui::PictureRef loadicon(MapView& m, const platform::Files& files, platform::ImageStore& images,
                        const std::string& name) {
  auto& icons = m.icons;
  if (auto it = icons.find(name); it != icons.end()) return it->second;
  // Icon names are made from data read from files (place codes, waypoint files): one that
  // leads out of the working folder is no icon.
  auto pic = files.confined(name) ? loadpicture(files, images, name) : nullptr;
  icons.emplace(name, pic);
  return pic;
}

}  // namespace zarn
