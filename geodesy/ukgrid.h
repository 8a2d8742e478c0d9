// Latitude/longitude to and from the national-grid kilometre frame in which the program holds
// every position. West of a seam through the sea between the islands the Irish grid is used,
// shifted into the frame (x = e - 320, y = n + 173.5); east of it a fixed series on the British
// national grid. Beyond the area each serves, each is carried on at a flat scale, so that every
// point on earth has one frame position and comes back from it.
#pragma once

namespace zarn {

struct GeoState;

// 1 when the latitude/longitude (degrees) lies in the area written as British grid references
// (east of the seam), else 0.
int inukbox(float lat, float lon);
// 1 when the latitude/longitude lies west of the seam, on the Irish grid's side, else 0.
int irishside(float lat, float lon);
// 1 when the frame position (km) lies on the Irish grid's side of the seam, else 0.
int inirishzone(float x, float y);

// Latitude/longitude (degrees, north and east positive) to frame km; refreshes the cache.
void lltoosgb(GeoState& geo, float lat, float lon, float& x, float& y);
// Frame km to latitude/longitude (degrees); the inverse of the last lltoosgb is a cache hit.
// False when the steps could not settle: the position is then doubtful, and geo.unsettled
// counts it for the tick to beep.
bool osgbtoll(GeoState& geo, float x, float y, float& lat, float& lon);

// The frame shift of Irish grid kilometres.
inline constexpr float irishdx = 320.0f;
inline constexpr float irishdy = 173.5f;

}  // namespace zarn
