// Latitude/longitude to and from the national-grid kilometre frame in which the program holds
// every position. Great Britain uses a fixed series on the national grid; the Irish area uses
// the Irish grid shifted into the frame (x = e - 320, y = n + 173.5); elsewhere a flat linear
// approximation gives every point on earth some frame position.
#pragma once

namespace zarn {

struct GeoState;

// 1 when the latitude/longitude (degrees) lies in the area the UK series serves, else 0.
int inukbox(float lat, float lon);
// 1 when the frame position (km) lies in the Irish area, else 0.
int inirishzone(float x, float y);

// Latitude/longitude (degrees, north and east positive) to frame km; refreshes the cache.
void lltoosgb(GeoState& geo, float lat, float lon, float& x, float& y);
// Frame km to latitude/longitude (degrees); the inverse of the last lltoosgb is a cache hit.
void osgbtoll(GeoState& geo, float x, float y, float& lat, float& lon);

// The frame shift of Irish grid kilometres.
inline constexpr float irishdx = 320.0f;
inline constexpr float irishdy = 173.5f;

}  // namespace zarn
