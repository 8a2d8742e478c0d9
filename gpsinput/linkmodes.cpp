#include "gpsinput/linkmodes.h"

#include "app/app.h"

namespace zarn {

int modemline(App& app, const std::string& line, long n) {
  (void)app, (void)line, (void)n;
  return 1;  // TODO
}

}  // namespace zarn
