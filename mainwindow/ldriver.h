// The learner-driver (lesson) mode: the lesson pictures of ZARN.LDR on the picture key pad.
#pragma once

namespace zarn {
struct App;

// Switches the lesson mode off, or on with the pictures of ZARN.LDR on the key pad (a beep
// when there is no such file).
void ldriver(App& app);

}  // namespace zarn
