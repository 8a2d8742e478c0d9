#include "vehicles/textreports.h"

#include "app/app.h"

namespace zarn {

void textreport(App& app, const std::string& line, long n) {
  // TODO: find the vehicle by the identity after "from", take the place after "at" and update
  // its row, icon and log.
  (void)app, (void)line, (void)n;
}

}  // namespace zarn
