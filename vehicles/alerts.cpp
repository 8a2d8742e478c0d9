#include "vehicles/alerts.h"

#include "app/app.h"

namespace zarn {

void mvalertmsg(App& app, int i, const std::string& code, const std::string& place, const std::string& time) {
  // TODO: the alert, its texts and sounds, and the list of the last ten.
  (void)app, (void)i, (void)code, (void)place, (void)time;
}

void ackcode(App& app, int i, const std::string& code) { (void)app, (void)i, (void)code; }

std::string rcctext(App& app, const std::string& code) {
  (void)app, (void)code;
  return {};
}

void rccwav(App& app, const std::string& code) { (void)app, (void)code; }

}  // namespace zarn
