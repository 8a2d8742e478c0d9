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

void owndecode(App& app, const std::string& line) {
  // TODO: take the own heading, speed and position from the report's columns.
  (void)app;
  (void)line;
}

}  // namespace zarn
