#include "navigation/rgifiles.h"

#include "app/app.h"

namespace zarn {

bool readrgirecord(platform::InputFile& f, RgiRecord& rec) {
  (void)f;
  (void)rec;
  return false;
}

void readrgb(App& app) { (void)app; }
void loadrgi(App& app) { (void)app; }
void savergi(App& app) { (void)app; }

}  // namespace zarn
