// State of GPS input, the serial links and the logs, with the own fix.
#pragma once

namespace zarn {

struct GpsState {
  // Filled as the serial poll, the sentence parser and the logs are built.
};

}  // namespace zarn
