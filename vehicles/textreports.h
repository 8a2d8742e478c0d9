// Free-text vehicle reports: any text, " from ", an identity, " at ", the report time, the place
// and a code. The own unit's "P:" report line (owndecode, declared with the link handler) is
// decoded here too.
#pragma once

#include <string>

#include "vehicles/linkreport.h"

namespace zarn {
struct GeoState;
struct VehicleTable;

// One free-text report line of length n, as a report of the vehicle found by its label (or
// added): taken in, it moves the vehicle to the place, and a code raises an acknowledgement
// ("A" first) or an alert. A place that does not read drops the line, as do the trip log's own
// lines of decoded reports.
[[nodiscard]] LinkReport textreport(GeoState& geo, VehicleTable& v, const std::string& line, long n);

}  // namespace zarn
