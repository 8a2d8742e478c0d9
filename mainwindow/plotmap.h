// The map side of the playback window's filter runs, wired to the plotmap hook.
#pragma once

namespace zarn {
struct App;
struct PlotStep;

// Does one step of a run on the map, the trail, the car and the read-outs.
void plotmap(App& app, const PlotStep& step);

}  // namespace zarn
