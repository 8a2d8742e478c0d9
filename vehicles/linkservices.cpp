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

int findvehicle(App& app, const std::string& id) {
  // TODO: look the identity up in the vehicle table, adding it when there is room and new
  // vehicles are allowed; beep when it cannot be added.
  (void)app;
  (void)id;
  return 0;
}

void mvalertmsg(App& app, int index, const std::string& code, const std::string& place,
                const std::string& time) {
  // TODO: "Attention ! Alarm Code " / "Attention ! Message Code " with the place, the list of
  // the last ten, the alert sounds and the message window.
  (void)app;
  (void)index;
  (void)code;
  (void)place;
  (void)time;
}

void pagerreq(App& app, const std::string& id, float lat, float lon, int hdg, float spd,
              const std::string& text) {
  // TODO: when pager output is on and no PAGERREQ.TXT exists, write the pager line to
  // PAGERDAT.TXT and the request file.
  (void)app;
  (void)id;
  (void)lat;
  (void)lon;
  (void)hdg;
  (void)spd;
  (void)text;
}

}  // namespace zarn
