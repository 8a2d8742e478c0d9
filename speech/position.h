// The spoken position report: where a position lies relative to the places of the current
// place file ("We are 2.5 miles north east of Newbury and 3 miles south of Thatcham").
#pragma once

#include <string>

namespace zarn {
struct App;
struct GeoState;
struct SpeechState;
namespace platform {
class Files;
}

// Shows and speaks where (x, y) lies. prompt chooses the wording: "weare.wav" for our own
// position (also written to the Road Details window), foundwav for the last found place, any
// other prompt for the destination. The no-position value (-250, -950) only speaks what is
// queued.
void sayposition(App& app, float x, float y, const std::string& prompt);
// The places of the map's place file (placesfile) in s.places, read again only when the file
// changes (a search or a report may ask many times a second); records whose position does not
// read are left out. False when the file cannot be read.
bool knownplaces(SpeechState& s, const platform::Files& files, GeoState& geo, const std::string& placesfile);

}  // namespace zarn
