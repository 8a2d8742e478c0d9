// Road signs: a picture file, or a sign drawn from its script in ZARNSIGN.TXT.
#pragma once

#include <string>

namespace zarn {
class RgiForm;
namespace platform {
class Files;
class ImageStore;
}

// Draws the named sign (name compared without regard to case) into the guidance window's
// picture and shows the window; a scripted sign also sets the window's message line to its
// caption.
void drawsign(RgiForm& rgi, const platform::Files& files, platform::ImageStore& images, const std::string& name);

}  // namespace zarn
