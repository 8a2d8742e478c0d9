// Pictures for the map window's images, read through the image store.
#pragma once

#include <string>

#include "platform/services.h"
#include "platform/ui.h"

namespace zarn {
struct MapView;
namespace platform {
class Files;
}  // namespace platform

// Reads a picture file from the working directory; null when it is missing, cannot be read, is
// no picture or is too large for its use, and then *why (when given) names the file and which of
// those it is (without `why`, the store tells a picture refused for its size).
ui::PictureRef loadpicture(const platform::Files& files, platform::ImageStore& images, const std::string& name,
                           std::string* why = nullptr, platform::PictureUse use = platform::PictureUse::shown);
// An icon, read once and kept until the next map load: the car update asks for the arrow
// icons several times a second and must not read files to do so. A missing icon is kept as
// null too. The icons are kept in the map view.
ui::PictureRef loadicon(MapView& m, const platform::Files& files, platform::ImageStore& images,
                        const std::string& name);

}  // namespace zarn
