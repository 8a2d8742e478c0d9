// The keys that work on places: stored locations by number, the nearest objects of a kind, and
// more information about the last found place.
#pragma once

#include <string>

namespace zarn {
struct App;

// A digit key 0..9: extends the stored-location number, marks and speaks that entry of ZARN.LOC.
void lockey(App& app, int digit);
// A find-nearest key (F, E, S, R, P, I, #, ]): the nearest objects of its kind.
void findnearestkey(App& app, const std::string& key);
// Key M: the extra information of the last found place (text, picture, sound, video).
void morekey(App& app);

}  // namespace zarn
