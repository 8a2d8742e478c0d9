// Route guidance instructions and the further-information file, as start-up and the main
// tick call them.
#pragma once

#include <string>

namespace zarn {
struct App;

// Looks key up in ZARN.MOR, then in files named after the 6-figure form of gridref and the
// found place's kind; returns the prompt and text found (wav empty when nothing is found).
void moreinfo(App& app, const std::string& a1, const std::string& gridref, const std::string& key,
              std::string& wav, std::string& text);
// Reads the route-guidance base file named by rgifile and sets rgiexists.
void readrgb(App& app);
// One route-guidance step: loads instructions when needed, measures the distance to the next
// instruction point, shows and queues it.
void rgistep(App& app);

}  // namespace zarn
