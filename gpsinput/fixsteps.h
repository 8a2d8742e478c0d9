// Steps that every writer of the own fix shares: storing a received position with its
// read-outs, the heading and velocity rules, and whole numbers taken from received values.
#pragma once

#include <string_view>

namespace zarn {
struct App;

// A received latitude/longitude (degrees) becomes the own position: the user's GPS correction
// applied, the frame position, the grid-reference and latitude/longitude read-outs, and the
// previous position.
void storeposition(App& app, float lat, float lon);
// The read-outs and the previous position of the own position already stored.
void showposition(App& app);

// A course becomes the heading, in whole degrees rounded down, only above the heading speed.
void headingrule(App& app, float course);
// The velocity components from the speed of the sentence and the stored whole-degree heading
// (also when it is -1, no heading); rad is the degree-to-radian factor of the caller.
void velocityrule(App& app, double rad);

// A received value as a 16-bit whole number: false, and out left alone, when it does not fit
// (the old runtime's overflow, after which the statement was skipped).
bool store16(double v, int& out);

}  // namespace zarn
