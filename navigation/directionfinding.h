// Direction finding: bearings towards a transmitter from a direction finder on the serial line,
// the "$DFBRG" sentence or the search box, kept with the positions they were taken from, drawn
// as lines, and crossed into an estimate of the transmitter that becomes the destination.
#pragma once

#include <string>

namespace zarn {
struct App;
struct GeoState;
struct MapView;
struct NavState;
class ZarnForm;

// A direction-finder line beginning "%" that contains ".": with "/" a bearing (the number
// before "/"); without, the own heading, from which the velocity is worked out again (not at a
// base station, in multi-vehicle mode). A line whose number does not read is dropped.
void dfinput(App& app, const std::string& line);
// A direction-finder line beginning "%" whose character 5 is "/": the bearing of characters
// 2 to 4 and the code after "/".
void dfinput2(App& app, const std::string& line);
// One bearing (degrees) with the code of its source (0 and the digit of "%" lines, 8 "$DFBRG",
// 10 typed), or a control value: 888 holds slot 1, any other value above 360 clears the store.
// A bearing is announced, stored, drawn and crossed with the one before it.
void dfbearing(App& app, float value, int code);

// What storebearing did with a value.
enum class DfStored { held, cleared, stored, ignored };
// The store's part of dfbearing: a control value, or bearing b (already made absolute) taken at
// (x, y) km into slot 1, or slot 2 while slot 1 is held (a typed bearing always into slot 1;
// into an empty store always slot 1), the older ones moving down and the eleventh dropping.
DfStored storebearing(NavState& n, float b, int code, float x, float y);
// The absolute bearing of a value relative to the heading (-1: none known, the value stays).
float absolutebearing(float value, int heading);

// The end of a bearing line of length len km from (x, y), east offsets stretched by the
// cos(latitude) / 0.6459 of the slot-1 station (k).
void dflineend(float x, float y, float b, float len, float k, float& ex, float& ey);
// Lays the bearing lines brg(0).. of the stored bearings out on the current map (1.4 map widths
// long, at most dflinemax km); whether they show is left as it is.
void drawdflines(ZarnForm& z, GeoState& geo, const MapView& map, const NavState& n);
// The stretch k of the bearing lines: from the latitude of the slot-1 station.
float dfstretch(GeoState& geo, const NavState& n);

// How fast estimate (x, y) km moved from the previous one, km/h, less what the bearing
// tolerance allows at the range from (ownx, owny); 0 with no previous estimate taken or one
// older than dfratemaxt. (x, y) becomes the previous estimate.
float dfrate(NavState& n, GeoState& geo, float now, float ownx, float owny, float x, float y);
// The estimate where two bearing lines from the stations cross.
void dfcross(App& app, float x1, float y1, float x1e, float y1e, float x2, float y2, float x2e, float y2e);
// The estimate range km along bearing b from (x, y).
void dfdest(App& app, float b, float range, float x, float y);

}  // namespace zarn
