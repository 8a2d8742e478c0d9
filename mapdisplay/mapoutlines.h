// The outlines of the catalogued maps, listed and drawn.
#pragma once

namespace zarn {
struct GeoState;
struct MapView;
class ZarnForm;
namespace platform {
class Files;
}

// Lists the catalogued maps with their extents (SHOWMAPS.TXT) and draws their outlines on the
// current map.
void showmaps(ZarnForm& z, GeoState& geo, const MapView& m, const platform::Files& files);

}  // namespace zarn
