// Conversion throughput (points per second) of the grid, Irish grid and UTM code, beside
// PROJ (EPSG:4326 <-> EPSG:27700) and GeographicLib's UTM when they are available.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "geodesy/geostate.h"
#include "geodesy/irishgrid.h"
#include "geodesy/ukgrid.h"
#include "geodesy/utm.h"

#ifdef ZARN_HAVE_PROJ
#include <proj.h>
#endif
#ifdef ZARN_HAVE_GEOGRAPHICLIB
#include <GeographicLib/UTMUPS.hpp>
#endif

namespace {

struct LatLon { float lat, lon; };

// A mesh over Great Britain inside the series area and clear of the Irish area.
const std::vector<LatLon>& gbpoints() {
  static const std::vector<LatLon> pts = [] {
    std::vector<LatLon> v;
    zarn::GeoState geo;
    for (int i = 0; i < 64; ++i)
      for (int j = 0; j < 64; ++j) {
        const float lat = 50.3f + 0.15f * static_cast<float>(i);
        const float lon = -5.5f + 0.1f * static_cast<float>(j);
        float x = 0, y = 0;
        zarn::lltoosgb(geo, lat, lon, x, y);
        if (zarn::inukbox(lat, lon) && !zarn::inirishzone(x, y)) v.push_back({lat, lon});
      }
    return v;
  }();
  return pts;
}

const std::vector<LatLon>& iepoints() {
  static const std::vector<LatLon> pts = [] {
    std::vector<LatLon> v;
    for (int i = 0; i < 64; ++i)
      for (int j = 0; j < 64; ++j)
        v.push_back({51.5f + 0.07f * static_cast<float>(i), -10.0f + 0.07f * static_cast<float>(j)});
    return v;
  }();
  return pts;
}

template <class F> void overpoints(benchmark::State& state, std::size_t n, F&& f) {
  std::size_t i = 0;
  for (auto _ : state) {
    f(i);
    if (++i == n) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_lltoosgb(benchmark::State& state) {
  const auto& pts = gbpoints();
  zarn::GeoState geo;
  overpoints(state, pts.size(), [&](std::size_t i) {
    float x, y;
    zarn::lltoosgb(geo, pts[i].lat, pts[i].lon, x, y);
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
  });
}
BENCHMARK(BM_lltoosgb);

std::vector<std::pair<float, float>> gbframe() {
  std::vector<std::pair<float, float>> v;
  zarn::GeoState geo;
  for (const auto& p : gbpoints()) {
    float x, y;
    zarn::lltoosgb(geo, p.lat, p.lon, x, y);
    v.emplace_back(x, y);
  }
  return v;
}

void BM_osgbtoll_miss(benchmark::State& state) {
  const auto frame = gbframe();
  zarn::GeoState geo;
  overpoints(state, frame.size(), [&](std::size_t i) {
    geo.osgbcvalid = false;
    float lat, lon;
    zarn::osgbtoll(geo, frame[i].first, frame[i].second, lat, lon);
    benchmark::DoNotOptimize(lat);
    benchmark::DoNotOptimize(lon);
  });
}
BENCHMARK(BM_osgbtoll_miss);

void BM_osgbtoll_hit(benchmark::State& state) {
  zarn::GeoState geo;
  float x, y;
  zarn::lltoosgb(geo, 51.5f, -0.1f, x, y);
  for (auto _ : state) {
    float lat, lon;
    zarn::osgbtoll(geo, x, y, lat, lon);
    benchmark::DoNotOptimize(lat);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_osgbtoll_hit);

void BM_lltoirish(benchmark::State& state) {
  const auto& pts = iepoints();
  overpoints(state, pts.size(), [&](std::size_t i) {
    float e, n;
    zarn::lltoirish(pts[i].lat, pts[i].lon, e, n);
    benchmark::DoNotOptimize(e);
    benchmark::DoNotOptimize(n);
  });
}
BENCHMARK(BM_lltoirish);

void BM_irishtoll(benchmark::State& state) {
  std::vector<std::pair<float, float>> grid;
  for (const auto& p : iepoints()) {
    float e, n;
    zarn::lltoirish(p.lat, p.lon, e, n);
    grid.emplace_back(e, n);
  }
  overpoints(state, grid.size(), [&](std::size_t i) {
    float lat, lon;
    zarn::irishtoll(grid[i].first, grid[i].second, lat, lon);
    benchmark::DoNotOptimize(lat);
  });
}
BENCHMARK(BM_irishtoll);

void BM_lltoutm(benchmark::State& state) {
  const auto& pts = gbpoints();
  zarn::GeoState geo;
  overpoints(state, pts.size(), [&](std::size_t i) {
    int zone;
    double n, e;
    zarn::lltoutm(geo, zarn::wgs84a, zarn::wgs84f, pts[i].lat * zarn::utmdegrad,
                  pts[i].lon * zarn::utmdegrad, zone, n, e);
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(e);
  });
}
BENCHMARK(BM_lltoutm);

void BM_utmtext(benchmark::State& state) {
  const auto& pts = gbpoints();
  zarn::GeoState geo;
  std::string t;
  overpoints(state, pts.size(), [&](std::size_t i) {
    zarn::utmtext(geo, 1, pts[i].lat, pts[i].lon, t);
    benchmark::DoNotOptimize(t.data());
  });
}
BENCHMARK(BM_utmtext);

void BM_utmtoll(benchmark::State& state) {
  zarn::GeoState geo;
  std::vector<std::string> texts;
  for (const auto& p : gbpoints()) {
    std::string t;
    zarn::utmtext(geo, 1, p.lat, p.lon, t);
    texts.push_back(t);
  }
  overpoints(state, texts.size(), [&](std::size_t i) {
    float lat, lon;
    zarn::utmtoll(geo, texts[i], lat, lon);
    benchmark::DoNotOptimize(lat);
  });
}
BENCHMARK(BM_utmtoll);

#ifdef ZARN_HAVE_PROJ
struct ProjPipe {
  PJ_CONTEXT* ctx = proj_context_create();
  PJ* p = proj_create_crs_to_crs(ctx, "EPSG:4326", "EPSG:27700", nullptr);
  ~ProjPipe() {
    proj_destroy(p);
    proj_context_destroy(ctx);
  }
};

void BM_proj_4326_to_27700(benchmark::State& state) {
  ProjPipe pp;
  if (!pp.p) {
    state.SkipWithError("PROJ cannot make EPSG:4326 to EPSG:27700");
    return;
  }
  const auto& pts = gbpoints();
  overpoints(state, pts.size(), [&](std::size_t i) {
    const PJ_COORD c = proj_trans(pp.p, PJ_FWD, proj_coord(pts[i].lat, pts[i].lon, 0, 0));
    benchmark::DoNotOptimize(c);
  });
}
BENCHMARK(BM_proj_4326_to_27700);

void BM_proj_27700_to_4326(benchmark::State& state) {
  ProjPipe pp;
  if (!pp.p) {
    state.SkipWithError("PROJ cannot make EPSG:4326 to EPSG:27700");
    return;
  }
  std::vector<PJ_COORD> grid;
  for (const auto& p : gbpoints())
    grid.push_back(proj_trans(pp.p, PJ_FWD, proj_coord(p.lat, p.lon, 0, 0)));
  overpoints(state, grid.size(), [&](std::size_t i) {
    const PJ_COORD c = proj_trans(pp.p, PJ_INV, grid[i]);
    benchmark::DoNotOptimize(c);
  });
}
BENCHMARK(BM_proj_27700_to_4326);
#endif

#ifdef ZARN_HAVE_GEOGRAPHICLIB
void BM_geographiclib_utm_forward(benchmark::State& state) {
  const auto& pts = gbpoints();
  overpoints(state, pts.size(), [&](std::size_t i) {
    int zone;
    bool north;
    double x, y;
    GeographicLib::UTMUPS::Forward(pts[i].lat, pts[i].lon, zone, north, x, y);
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
  });
}
BENCHMARK(BM_geographiclib_utm_forward);

void BM_geographiclib_utm_reverse(benchmark::State& state) {
  struct Utm { int zone; bool north; double x, y; };
  std::vector<Utm> grid;
  for (const auto& p : gbpoints()) {
    Utm u{};
    GeographicLib::UTMUPS::Forward(p.lat, p.lon, u.zone, u.north, u.x, u.y);
    grid.push_back(u);
  }
  overpoints(state, grid.size(), [&](std::size_t i) {
    double lat, lon;
    GeographicLib::UTMUPS::Reverse(grid[i].zone, grid[i].north, grid[i].x, grid[i].y, lat, lon);
    benchmark::DoNotOptimize(lat);
  });
}
BENCHMARK(BM_geographiclib_utm_reverse);
#endif

}  // namespace
