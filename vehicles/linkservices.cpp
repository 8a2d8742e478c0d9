#include "vehicles/linkservices.h"

#include "app/app.h"

namespace zarn {

void mvlinein(App& app, std::string& line, long length) {
  // TODO: strip the call sign, light the lamp, blank control characters, classify the line with
  // modemline and decode it by the link's data mode into the vehicle table.
  (void)app;
  (void)line;
  (void)length;
}

}  // namespace zarn
