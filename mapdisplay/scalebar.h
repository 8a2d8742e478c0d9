// The scale bar above the latitude/longitude read-out.
#pragma once

namespace zarn {
struct GeoState;
struct MapView;
class ZarnForm;

// Sets the bar's caption ("10 m" .. "1000 km") by the current map's width and draws the bar,
// measured eastward through the map's own transform, with its two end ticks.
void scalebar(ZarnForm& z, GeoState& geo, const MapView& m);

}  // namespace zarn
