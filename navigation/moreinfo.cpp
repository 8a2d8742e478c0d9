#include "navigation/moreinfo.h"

#include "app/app.h"

namespace zarn {

void moreinfo(App& app, const std::string& qual, const std::string& grid, const std::string& name,
              std::string& infofile, std::string& guidefile) {
  // TODO
  (void)app, (void)qual, (void)grid, (void)name;
  infofile.clear();
  guidefile.clear();
}

}  // namespace zarn
