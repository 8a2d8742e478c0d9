// UTM and MGRS: the transverse Mercator series of a general ellipsoid, UTM/MGRS text of a
// latitude/longitude on WGS84, and UTM text back to latitude/longitude.
#pragma once

#include <string>

namespace zarn {

struct GeoState;

// WGS84, the figure of every UTM text.
inline constexpr double wgs84a = 6378137.0;
inline constexpr double wgs84f = 1.0 / 298.257223563;
// Degrees to radians as the UTM code has always multiplied.
inline constexpr double utmdegrad = 0.017453292519943334;

// Latitude bands of 8 degrees from 80 S; MGRS column and row letters (the row string repeats
// A to E for the even-zone shift).
inline constexpr char utmbands[] = "CDEFGHJKLMNPQRSTUVWX";
inline constexpr char mgrscolumns[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";
inline constexpr char mgrsrows[] = "ABCDEFGHJKLMNPQRSTUVABCDE";

// Projects latitude/longitude (radians) on the ellipsoid a (m), f into the zone, northing and
// easting (m), the user's offsets utmeoff/utmnoff included.
void lltoutm(const GeoState& geo, double a, double f, double lat, double lon, int& zone,
             double& northing, double& easting);
// Radius of curvature in the prime vertical: a / sqrt(1 - e2 sin^2 lat).
double tmnu(double a, double e2, double lat);
// Meridional arc: A lat - B sin 2lat + C sin 4lat - D sin 6lat + E sin 8lat.
double tmarcterm(double ap, double bp, double cp, double dp, double ep, double lat);

// The 18-character text of a latitude/longitude (degrees): mode 1 UTM "30U 701277 5709417",
// mode 2 MGRS "30U YC 01277 09417". Any other mode leaves text as it was.
void utmtext(const GeoState& geo, int mode, float lat, float lon, std::string& text);
// Reads UTM text of 18 ("30U 701277 5709417"), 16 ("30U7012775709417") or 12 characters
// ("30U701257094", 100 m) into latitude/longitude (degrees).
void utmtoll(const GeoState& geo, const std::string& text, float& lat, float& lon);

}  // namespace zarn
