#include "navigation/rgishow.h"

#include "app/app.h"

namespace zarn {

void showrgi(App& app) { (void)app; }

bool rgiword(App& app, const std::string& typed) {
  (void)app;
  (void)typed;
  return false;
}

}  // namespace zarn
