#include "mapdisplay/pictures.h"

#include "app/app.h"

namespace zarn {

ui::PictureRef loadpicture(App& app, const std::string& name) {
  if (name.empty()) return nullptr;
  return app.sys.images->load(app.files.resolve(name));
}

ui::PictureRef loadicon(App& app, const std::string& name) {
  auto& icons = app.map.icons;
  if (auto it = icons.find(name); it != icons.end()) return it->second;
  auto pic = loadpicture(app, name);
  icons.emplace(name, pic);
  return pic;
}

}  // namespace zarn
