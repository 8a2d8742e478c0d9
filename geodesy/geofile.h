// Names of the landmark cell files (.GEO): one file per 1 km grid square, or per 2-minute
// latitude/longitude cell.
#pragma once

#include <string>

namespace zarn {

// The landmark cell file name for a position text: 14-character grid references give square
// letters and kilometre digits + ".GEO" (SU 12345 67890 -> SU1267.GEO), 13-character Irish
// references the same with one letter, and the 15-character compact latitude/longitude form
// degrees, hemispheres and two band characters (".GE" between them). Any other text leaves
// `file` as it was: a caller that must not take a name left from an earlier position passes an
// empty string and takes an empty result as "no landmark file".
void geofilename(const std::string& gridref, std::string& file);

}  // namespace zarn
