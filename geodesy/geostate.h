// State of the coordinate code: conversion caches, the grid-square table and the read-out
// settings that the conversions and position texts use.
#pragma once

#include <array>
#include <string>

namespace zarn {

struct GeoState {
  // One-entry cache of the last lltoosgb call: the latitude/longitude exactly as passed and
  // the frame position it produced (Irish shift included). osgbtoll of that same position
  // returns the latitude/longitude bit for bit. osgbcvalid stays false until a forward
  // conversion has filled it, so a frame position of 0, 0 is not mistaken for a hit.
  float osgbclat = 0, osgbclon = 0, osgbce = 0, osgbcn = 0;
  bool osgbcvalid = false;

  // Inverse conversions that gave up without settling since the tick last looked; it beeps
  // for them, as a sign that a position is doubtful.
  int unsettled = 0;

  // Position text system: 0 national grid, 1 UTM, 2 MGRS (from UTM.CFG, cycled by Ctrl+U),
  // and the metres added to every projected UTM easting and northing.
  int utmmode = 0;
  double utmeoff = 0, utmnoff = 0;

  // Grid-square table of MAPS.CCC: the letter code and the south-west corner (frame km) of each
  // 100-km square, slots 1..ccccount (slot 0 unused).
  static constexpr int cccmax = 200;
  int ccccount = 0;
  std::array<std::string, cccmax + 1> ccccode{};
  std::array<float, cccmax + 1> cccx{}, cccy{};
  // The square parsepos found last: runs of references in one square skip the table search.
  // Empty at start; never cleared.
  std::string sqcache;
  float sqcachex = 0, sqcachey = 0;

  // Calibration of the six-digit XY sheet references (ZARNXYLL.CFG): latitude and Y of the
  // origin and degrees per Y unit, longitude and X of the origin and degrees per X unit.
  float xylat0 = 1.3599590f, xyy0 = 38.0f, xylatstep = 0.0090437494f;
  float xylon0 = 103.85132f, xyx0 = 30.0f, xylonstep = 0.0089857355f;
};

}  // namespace zarn
