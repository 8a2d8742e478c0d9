#include "navigation/routefiles.h"

#include "app/app.h"

namespace zarn {

bool readroute(App& app, const std::string& name) {
  // TODO
  (void)app, (void)name;
  return false;
}

bool routeon(App& app) {
  // TODO
  (void)app;
  return false;
}

}  // namespace zarn
