// Distance and bearing in the grid frame (planar where the frame is valid, flat-earth
// latitude/longitude elsewhere), compass words and the crossing of two segments.
#pragma once

#include <string>

namespace zarn {

struct GeoState;

// Distance (km) and bearing (whole degrees, 0..360 where 360 also means north) from point 1 to
// point 2 (frame km): planar when both lie inside the planar box on one side of the seam, else
// flat-earth from their latitude/longitude. When the points coincide inside the planar box the
// bearing keeps the value passed in.
void distbearing(GeoState& geo, float x1, float y1, float x2, float y2, float& dist, int& brg);
// A frame position with what distances from it need, worked out once: for measuring many
// places from one point (a place file from the car) without converting each again.
struct FramePoint {
  float x = 0, y = 0, lat = 0, lon = 0;
  bool planar = false, irish = false;
};
FramePoint framepoint(GeoState& geo, float x, float y);
// distbearing between two such points: the same rule, the same results.
void distbearing(const FramePoint& a, const FramePoint& b, float& dist, int& brg);
// Flat-earth distance (km) and bearing (degrees) between two latitude/longitude points,
// 111 km per degree, the longitude scaled by the cosine of the second latitude.
void distbrg(float lat1, float lon1, float lat2, float lon2, float& dist, float& brg);
// Clock position 1..12 of a bearing seen from a heading (whole degrees); with no heading (-1)
// it is taken from grid north plus one degree.
int clockposition(int brg, int hdg);
// Bearing 0..359 of a displacement dx east, dy north; a zero displacement leaves brg as passed.
void bearingdeg(float dx, float dy, int& brg);
// " north", " north east", ... of a bearing (a leading blank, ready to append to a word).
void compasstext(int brg, std::string& text);
// compasstext of bearingdeg(dx, dy).
void bearingtext(float dx, float dy, std::string& text);
// Crossing point of segment 1-2 with segment 3-4; found = 1 when they meet within both.
void lineline(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
              float& x, float& y, int& found);

}  // namespace zarn
