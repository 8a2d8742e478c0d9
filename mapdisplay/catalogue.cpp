#include "mapdisplay/catalogue.h"

#include "app/app.h"
#include "platform/files.h"

namespace zarn {

std::string readdesname(const App& app, int n) {
  const auto& names = app.map.mapname;
  if (n < 0 || n >= static_cast<int>(names.size())) return {};
  auto des = platform::InputFile::open(app.files, names[static_cast<std::size_t>(n)] + ".des");
  if (!des) return {};
  return des->field();
}

}  // namespace zarn
