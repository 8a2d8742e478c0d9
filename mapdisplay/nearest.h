// The nearest named objects (ZARN.NOF): the nearest, and then the next nearest, said.
#pragma once

namespace zarn {
struct App;

// kind 0: the nearest object; otherwise the next nearest not yet reported (hitlist).
void saynearest(App& app, int kind);

}  // namespace zarn
