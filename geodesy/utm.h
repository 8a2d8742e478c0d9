// UTM and MGRS: the transverse Mercator series of a general ellipsoid, UTM/MGRS text of a
// latitude/longitude on WGS84, and UTM text back to latitude/longitude.
#pragma once

#include <string>

#include "geodesy/helpers.h"

namespace zarn {

struct GeoState;

// WGS84, the figure of every UTM text.
inline constexpr double wgs84a = 6378137.0;
inline constexpr double wgs84f = 1.0 / 298.257223563;
// Degrees to radians as the UTM code has always multiplied: the conversions' degrad.
inline constexpr double utmdegrad = degrad;

// Latitude bands of 8 degrees from 80 S; MGRS column and row letters (the row string repeats
// A to E for the even-zone shift).
inline constexpr char utmbands[] = "CDEFGHJKLMNPQRSTUVWX";
inline constexpr char mgrscolumns[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";
inline constexpr char mgrsrows[] = "ABCDEFGHJKLMNPQRSTUVABCDE";

// The zone (1..60) of a longitude in degrees: a multiple of 6 degrees begins the zone east of
// it, and 180 E is zone 1 as 180 W is. 0 for a longitude that is not a number.
int utmzone(double lon);

// Projects latitude/longitude (radians) on the ellipsoid a (m), f into the zone, northing and
// easting (m), the user's offsets utmeoff/utmnoff included.
void lltoutm(const GeoState& geo, double a, double f, double lat, double lon, int& zone,
             double& northing, double& easting);
// Radius of curvature in the prime vertical: a / sqrt(1 - e2 sin^2 lat).
double tmnu(double a, double e2, double lat);
// Meridional arc: A lat - B sin 2lat + C sin 4lat - D sin 6lat + E sin 8lat.
double tmarcterm(double ap, double bp, double cp, double dp, double ep, double lat);

// The 18-character text of a latitude/longitude (degrees): mode 1 UTM "30U 701277 5709417",
// mode 2 MGRS "30U YC 01277 09417", both with the metres cut, as the MGRS standard has them.
// False, and the text left as it was, for any other mode and where UTM does not reach: north
// of 84 N, south of 80 S.
bool utmtext(const GeoState& geo, int mode, float lat, float lon, std::string& text);
// Reads UTM text of 18 ("30U 701277 5709417"), 16 ("30U7012775709417") or 12 characters
// ("30U701257094", 100 m: "30U 701200 5709400") and MGRS text of 18 ("30U YC 01277 09417")
// into latitude/longitude (degrees): the metre its digits name, so that it is written again as
// it was read. False, with lat and lon left as they were, for a text of any other layout or one
// that names no position in its latitude band.
bool utmtoll(const GeoState& geo, const std::string& text, float& lat, float& lon);

}  // namespace zarn
