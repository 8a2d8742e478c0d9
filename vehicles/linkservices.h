// The vehicle link as the serial poll and the sentence parser use it: the link handler, the
// own vehicle's report line, the vehicle table look-up, alerts and the pager hand-off.
#pragma once

#include <string>

namespace zarn {
struct App;

// The link handler: one received line and its length. It classifies the line (modemline),
// decodes reports into the vehicle table, sets mvcur, rptx, rpty, rptline1 and rptline2, and
// sends NMEA lines of remote units to the sentence parser.
void mvlinein(App& app, std::string& line, long length);
// The own vehicle's fixed-column report ("P:"): heading, speed and position.
void owndecode(App& app, const std::string& line);
// The table index of an identity, adding a new vehicle when allowed; 0 when neither.
int findvehicle(App& app, const std::string& id);
// Raises the alarm or message alert of a vehicle with its code, place and time.
void mvalertmsg(App& app, int index, const std::string& code, const std::string& place,
                const std::string& time);
// Writes one pager line (PAGERDAT.TXT and the request file) when pager output is on.
void pagerreq(App& app, const std::string& id, float lat, float lon, int hdg, float spd,
              const std::string& text);

}  // namespace zarn
